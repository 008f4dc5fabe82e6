/*
** The stand-in host's in-memory world: the task tree under "root", the contacts, the
** boundary dates and "now", the change bracket and the popups shown. One Model lives in
** the DLL (CurrentModel); a task file load builds a new one and swaps it in whole.
*/
#ifndef STANDIN_TASK_MODEL_H
#define STANDIN_TASK_MODEL_H

#include <array>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

extern const wchar_t kRootUid[]; /* L"root" */

struct Task {
    const std::wstring *parent = nullptr; /* key of the parent's node; null for "root" */
    std::wstring title;
    std::wstring notes;
    int state = 0;
    double begin = 0, end = 0, created = 0, modified = 0;
    bool present = true;
    /* Keys of the children's nodes, in order. Node keys of an unordered_map never move,
       which is what lets AddinZV_Task_GetChildUID hand them out. */
    std::vector<const std::wstring *> children;
    /* Set by the AddinZV_Task_Set* calls, applied by AddinZV_Task_SaveChanges. */
    std::optional<std::wstring> stagedTitle;
    std::optional<double> stagedBegin, stagedEnd;
};

struct Contact {
    std::wstring uid;
    std::wstring name;
    bool present = true;
    std::vector<std::array<std::wstring, 3>> communications; /* kind, label, value */
};

struct Popup {
    std::wstring xaml;
    int milliseconds = 0;
};

struct Model {
    Model(); /* holds only "root"; dates at their defaults */

    std::unordered_map<std::wstring, Task> tasks; /* includes "root" */
    std::vector<Contact> contacts;                /* file order */
    std::unordered_map<std::wstring, size_t> contactIndex;
    double minDate, maxDate, now;

    int changesDepth = 0;
    long appliedChanges = 0; /* successful SaveChanges and Insert calls */
    std::vector<Popup> popups;

    Task *FindTask(const wchar_t *uid);
    Contact *FindContact(const wchar_t *uid);
    /* Adds a task as the last child of parent, which must exist; null when uid is taken
       or parent unknown. */
    Task *AddTask(const std::wstring &uid, const std::wstring &parent);
    /* Children of every task, depth first, parents before children: the task file order.
       Iterative, so a chain 100,000 deep costs no stack. */
    std::vector<const std::wstring *> TasksInFileOrder() const;
};

Model &CurrentModel();

/* The defaults documented in README.md. */
extern const double kDefaultMinDate; /* 1900-01-01 00:00:00 */
extern const double kDefaultMaxDate; /* 9999-12-31 00:00:00 */
extern const char kDefaultNowText[]; /* "2026-12-11 10:00:00" */

#endif
