/*
** The Model's own operations: lookup, adding a task under a parent, and the
** parents-first walk used to save it. The AddinZV_ semantics live in addin_exports.cpp.
*/
#include "task_model.h"

#include "ole_date_text.h"

const wchar_t kRootUid[] = L"root";
const double kDefaultMinDate = 2.0;       /* 1900-01-01 00:00:00 */
const double kDefaultMaxDate = 2958465.0; /* 9999-12-31 00:00:00 */
const char kDefaultNowText[] = "2026-12-11 10:00:00";

Model::Model() : minDate(kDefaultMinDate), maxDate(kDefaultMaxDate), now(46367.0)
{
    // Parsed rather than written as a constant, so it is the very double oleaut32 gives.
    ParseDateText(kDefaultNowText, &now);
    Task &root = tasks[kRootUid];
    root.begin = root.end = root.created = root.modified = now;
}

Task *Model::FindTask(const wchar_t *uid)
{
    if (!uid)
        return nullptr;
    auto it = tasks.find(uid);
    return it == tasks.end() ? nullptr : &it->second;
}

Contact *Model::FindContact(const wchar_t *uid)
{
    if (!uid)
        return nullptr;
    auto it = contactIndex.find(uid);
    return it == contactIndex.end() ? nullptr : &contacts[it->second];
}

Task *Model::AddTask(const std::wstring &uid, const std::wstring &parent)
{
    auto parentIt = tasks.find(parent);
    if (parentIt == tasks.end() || tasks.count(uid))
        return nullptr;
    auto it = tasks.emplace(uid, Task()).first;
    it->second.parent = &parentIt->first;
    parentIt->second.children.push_back(&it->first);
    return &it->second;
}

std::vector<const std::wstring *> Model::TasksInFileOrder() const
{
    std::vector<const std::wstring *> order;
    order.reserve(tasks.size());
    // Stack of (task, next child index) pairs instead of recursion.
    std::vector<std::pair<const Task *, size_t>> stack;
    stack.emplace_back(&tasks.at(kRootUid), 0);
    while (!stack.empty()) {
        auto &top = stack.back();
        if (top.second == top.first->children.size()) {
            stack.pop_back();
            continue;
        }
        const std::wstring *child = top.first->children[top.second++];
        order.push_back(child);
        stack.emplace_back(&tasks.at(*child), 0);
    }
    return order;
}

Model &CurrentModel()
{
    static Model model;
    return model;
}
