/*
** The AddinZV_ functions of the stand-in zv_plugins.dll, over the in-memory Model.
** Every function times and records itself first (call_record.h). Null strings from a plug-in
** count as empty, unknown UIDs give empty answers: nothing here crashes on bad input.
*/
#include "zv_plugins.h"

#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "call_record.h"
#include "task_model.h"

namespace {

const wchar_t kEmpty[] = L"";

const wchar_t *OrEmpty(const wchar_t *text)
{
    return text ? text : kEmpty;
}

Task *FindTask(TaskUid uid)
{
    return CurrentModel().FindTask(OrEmpty(uid));
}

/* A fresh GUID in the host's UID style, without braces; never one already in use. */
std::wstring FreshTaskUid(const Model &model)
{
    for (unsigned attempt = 1;; ++attempt) {
        GUID guid = {};
        wchar_t text[40] = {};
        std::wstring uid;
        if (SUCCEEDED(CoCreateGuid(&guid)) && StringFromGUID2(guid, text, 40) == 39)
            uid.assign(text + 1, 36);
        else
            uid = L"new-" + std::to_wstring(attempt);
        if (!model.tasks.count(uid))
            return uid;
    }
}

} // namespace

extern "C" {

int __cdecl AddinZV_Task_IsPresent(TaskUid task)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_IsPresent", task);
    Task *t = FindTask(task);
    return t && t->present ? 1 : 0;
}

const wchar_t *__cdecl AddinZV_Task_GetTitle(TaskUid task)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_GetTitle", task);
    Task *t = FindTask(task);
    return t ? t->title.c_str() : kEmpty;
}

int __cdecl AddinZV_Task_GetState(TaskUid task)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_GetState", task);
    Task *t = FindTask(task);
    return t ? t->state : 0;
}

OleDate __cdecl AddinZV_Task_GetDateBegin(TaskUid task)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_GetDateBegin", task);
    Task *t = FindTask(task);
    return t ? t->begin : 0.0;
}

OleDate __cdecl AddinZV_Task_GetDateEnd(TaskUid task)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_GetDateEnd", task);
    Task *t = FindTask(task);
    return t ? t->end : 0.0;
}

OleDate __cdecl AddinZV_Task_GetDateCreate(TaskUid task)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_GetDateCreate", task);
    Task *t = FindTask(task);
    return t ? t->created : 0.0;
}

OleDate __cdecl AddinZV_Task_GetDateModification(TaskUid task)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_GetDateModification", task);
    Task *t = FindTask(task);
    return t ? t->modified : 0.0;
}

int __cdecl AddinZV_Task_GetChildsCount(TaskUid task)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_GetChildsCount", task);
    Task *t = FindTask(task);
    return t ? (int)t->children.size() : 0;
}

TaskUid __cdecl AddinZV_Task_GetChildUID(TaskUid parent, int index)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_GetChildUID", parent, index);
    Task *t = FindTask(parent);
    if (!t || index < 0 || (size_t)index >= t->children.size())
        return kEmpty;
    return t->children[index]->c_str(); // the child node's key: stable while it exists
}

OleDate __cdecl AddinZV_GetMinDate(void)
{
    HostCallTimer timer;
    NoteCall("AddinZV_GetMinDate");
    return CurrentModel().minDate;
}

OleDate __cdecl AddinZV_GetMaxDate(void)
{
    HostCallTimer timer;
    NoteCall("AddinZV_GetMaxDate");
    return CurrentModel().maxDate;
}

OleDate __cdecl AddinZV_GetCurrDate(void)
{
    HostCallTimer timer;
    NoteCall("AddinZV_GetCurrDate");
    return CurrentModel().now;
}

SYSTEMTIME *__cdecl AddinZV_GetSystemTimeFromOleDate(SYSTEMTIME *out, OleDate date)
{
    HostCallTimer timer;
    NoteCall("AddinZV_GetSystemTimeFromOleDate", date);
    if (!out)
        return nullptr;
    // A date oleaut32 cannot convert leaves an all-zero record, not garbage.
    if (!VariantTimeToSystemTime(date, out))
        *out = SYSTEMTIME();
    return out;
}

OleDate __cdecl AddinZV_GetOleDateFromSystemTime(SYSTEMTIME time)
{
    HostCallTimer timer;
    NoteCall("AddinZV_GetOleDateFromSystemTime", time);
    double date = 0.0;
    if (!SystemTimeToVariantTime(&time, &date))
        date = 0.0; // an invalid record: 0.0, 1899-12-30 00:00:00
    return date;
}

int __cdecl AddinZV_Task_Insert(const wchar_t *after, TaskUid parent, const wchar_t *title, OleDate created,
                                int state, const wchar_t *notes, OleDate begin, OleDate end)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_Insert", after, parent, title, created, state, notes, begin, end);
    Model &model = CurrentModel();
    Task *parentTask = FindTask(parent);
    if (!parentTask)
        return 0;
    std::wstring uid = FreshTaskUid(model);
    Task *task = model.AddTask(uid, OrEmpty(parent));
    task->title = OrEmpty(title);
    task->notes = OrEmpty(notes);
    task->state = state;
    task->created = created;
    task->modified = model.now;
    task->begin = begin;
    task->end = end;
    // A named sibling moves the new task to just after it; an unknown one leaves it last.
    std::wstring afterUid = OrEmpty(after);
    auto &siblings = parentTask->children;
    for (size_t i = 0; !afterUid.empty() && i + 1 < siblings.size(); ++i) {
        if (*siblings[i] == afterUid) {
            const std::wstring *added = siblings.back();
            siblings.pop_back();
            siblings.insert(siblings.begin() + i + 1, added);
            break;
        }
    }
    ++model.appliedChanges;
    return 1;
}

int __cdecl AddinZV_Task_SetTitle(TaskUid task, const wchar_t *title)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_SetTitle", task, title);
    Task *t = FindTask(task);
    if (!t)
        return 0;
    t->stagedTitle = OrEmpty(title);
    return 1;
}

int __cdecl AddinZV_Task_SetDateBegin(TaskUid task, OleDate date)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_SetDateBegin", task, date);
    Task *t = FindTask(task);
    if (!t)
        return 0;
    t->stagedBegin = date;
    return 1;
}

int __cdecl AddinZV_Task_SetDateEnd(TaskUid task, OleDate date)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_SetDateEnd", task, date);
    Task *t = FindTask(task);
    if (!t)
        return 0;
    t->stagedEnd = date;
    return 1;
}

int __cdecl AddinZV_Task_SaveChanges(TaskUid task)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Task_SaveChanges", task);
    Model &model = CurrentModel();
    Task *t = FindTask(task);
    if (!t || std::wstring(OrEmpty(task)) == kRootUid)
        return 0;
    if (t->stagedTitle)
        t->title = *t->stagedTitle;
    if (t->stagedBegin)
        t->begin = *t->stagedBegin;
    if (t->stagedEnd)
        t->end = *t->stagedEnd;
    t->stagedTitle.reset();
    t->stagedBegin.reset();
    t->stagedEnd.reset();
    t->modified = model.now;
    ++model.appliedChanges;
    return 1;
}

int __cdecl AddinZV_ChangesStart(void)
{
    HostCallTimer timer;
    NoteCall("AddinZV_ChangesStart");
    return ++CurrentModel().changesDepth;
}

int __cdecl AddinZV_ChangesEnd(void)
{
    HostCallTimer timer;
    NoteCall("AddinZV_ChangesEnd");
    // Unbalanced ends go below zero on purpose: StandIn_ChangesDepth shows them.
    return --CurrentModel().changesDepth;
}

int __cdecl AddinZV_ShowPopupCustom(const wchar_t *xaml, int showMilliseconds)
{
    HostCallTimer timer;
    NoteCall("AddinZV_ShowPopupCustom", xaml, showMilliseconds);
    CurrentModel().popups.push_back(Popup{OrEmpty(xaml), showMilliseconds});
    return 1;
}

int __cdecl AddinZV_Contact_IsPresent(ContactUid contact)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Contact_IsPresent", contact);
    Contact *c = CurrentModel().FindContact(OrEmpty(contact));
    return c && c->present ? 1 : 0;
}

const wchar_t *__cdecl AddinZV_Contact_GetTitle(ContactUid contact)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Contact_GetTitle", contact);
    Contact *c = CurrentModel().FindContact(OrEmpty(contact));
    return c ? c->name.c_str() : kEmpty;
}

int __cdecl AddinZV_Contact_GetCommunicationsCount(ContactUid contact)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Contact_GetCommunicationsCount", contact);
    Contact *c = CurrentModel().FindContact(OrEmpty(contact));
    return c ? (int)c->communications.size() : 0;
}

int __cdecl AddinZV_Contact_GetCommunication(ContactUid contact, int index, const wchar_t **kind,
                                             const wchar_t **label, const wchar_t **value)
{
    HostCallTimer timer;
    NoteCall("AddinZV_Contact_GetCommunication", contact, index);
    Contact *c = CurrentModel().FindContact(OrEmpty(contact));
    bool found = c && index >= 0 && (size_t)index < c->communications.size();
    const wchar_t *texts[3] = {kEmpty, kEmpty, kEmpty};
    if (found)
        for (int i = 0; i < 3; ++i)
            texts[i] = c->communications[index][i].c_str();
    if (kind)
        *kind = texts[0];
    if (label)
        *label = texts[1];
    if (value)
        *value = texts[2];
    return found ? 1 : 0;
}

} // extern "C"
