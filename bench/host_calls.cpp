/*
** The host's share of an export or an import: the very host calls that the plug-ins
** make for every task or event, made bare against the stand-in zv_plugins.dll (record
** off) with no file work and no text work of ours, to separate the host's time from
** the plug-ins' own.
**
**   host_calls.exe export TASKFILE          (the walk's calls for every task)
**   host_calls.exe update TASKFILE           (an update's calls for every task)
**   host_calls.exe insert TASKFILE COUNT     (COUNT inserts under root)
**
** Prints "host calls <what>: N.NNN ms, M calls".
*/
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "standin_control.h"
#include "zv_plugins.h"

namespace {

struct Level {
    TaskUid task;
    int count, next;
};

/* What the export asks of the host for one task: the tests, the event's values, the
   children. Every task of the benchmark's task files qualifies. */
void VisitForExport(TaskUid task, std::vector<Level> *stack)
{
    if (AddinZV_Task_IsPresent(task) && AddinZV_Task_GetState(task) != 1 && AddinZV_Task_GetState(task) != 7 &&
        AddinZV_Task_GetState(task) != 3 && AddinZV_Task_GetDateBegin(task) != AddinZV_GetMinDate() &&
        AddinZV_Task_GetDateEnd(task) != AddinZV_GetMaxDate()) {
        AddinZV_Task_GetTitle(task);
        OleDate (__cdecl *const dates[4])(TaskUid) = {AddinZV_Task_GetDateBegin, AddinZV_Task_GetDateEnd,
                                                     AddinZV_Task_GetDateCreate, AddinZV_Task_GetDateModification};
        for (auto date : dates) {
            SYSTEMTIME record;
            AddinZV_GetSystemTimeFromOleDate(&record, date(task));
        }
    }
    stack->push_back(Level{task, AddinZV_Task_GetChildsCount(task), 0});
}

/* Every task of the tree, depth first, as the export walks it. */
template <class Visit>
void WalkTree(Visit visit)
{
    std::vector<Level> stack;
    stack.push_back(Level{L"root", AddinZV_Task_GetChildsCount(L"root"), 0});
    while (!stack.empty()) {
        Level &level = stack.back();
        if (level.next >= level.count) {
            stack.pop_back();
            continue;
        }
        TaskUid child = AddinZV_Task_GetChildUID(level.task, level.next++);
        visit(child, &stack);
    }
}

/* What an import asks of the host for an event that updates its task. */
void UpdateTask(TaskUid task)
{
    SYSTEMTIME start = {2024, 1, 1, 15, 8, 30, 0, 0}, end = {2024, 1, 1, 15, 9, 30, 0, 0};
    if (AddinZV_Task_IsPresent(task)) {
        AddinZV_Task_SetDateBegin(task, AddinZV_GetOleDateFromSystemTime(start));
        AddinZV_Task_SetDateEnd(task, AddinZV_GetOleDateFromSystemTime(end));
        AddinZV_Task_SetTitle(task, L"Task 12345: review, plan; follow up with Zoe");
        AddinZV_Task_SaveChanges(task);
    }
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: host_calls export|update TASKFILE | insert TASKFILE COUNT\n");
        return 2;
    }
    if (!StandIn_LoadTaskFile(argv[2])) {
        fprintf(stderr, "host_calls: %s\n", StandIn_LastError());
        return 1;
    }
    StandIn_SetRecording(0);
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (wcscmp(argv[1], L"export") == 0) {
        WalkTree(VisitForExport);
    } else if (wcscmp(argv[1], L"update") == 0) {
        AddinZV_ChangesStart();
        /* The UIDs are gathered first, so the walk's own calls stay out of the time. */
        std::vector<std::wstring> uids;
        WalkTree([&uids](TaskUid task, std::vector<Level> *stack) {
            uids.push_back(task);
            stack->push_back(Level{task, AddinZV_Task_GetChildsCount(task), 0});
        });
        long before = StandIn_TotalCalls();
        QueryPerformanceCounter(&start);
        for (const std::wstring &uid : uids)
            UpdateTask(uid.c_str());
        AddinZV_ChangesEnd();
        QueryPerformanceCounter(&stop);
        printf("host calls update: %.3f ms, %ld calls\n",
               1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart),
               StandIn_TotalCalls() - before);
        return 0;
    } else if (wcscmp(argv[1], L"insert") == 0 && argc > 3) {
        long count = wcstol(argv[3], nullptr, 10);
        SYSTEMTIME time = {2024, 1, 1, 15, 8, 30, 0, 0};
        AddinZV_ChangesStart();
        for (long i = 0; i < count; i++) {
            AddinZV_Task_IsPresent(L"T012345");
            OleDate end = AddinZV_GetOleDateFromSystemTime(time);
            OleDate begin = AddinZV_GetOleDateFromSystemTime(time);
            AddinZV_Task_Insert(L"", L"root", L"Task 12345: review, plan; follow up with Zoe", AddinZV_GetCurrDate(), 0,
                                L"", begin, end);
        }
        AddinZV_ChangesEnd();
    } else {
        return 2;
    }
    QueryPerformanceCounter(&stop);
    printf("host calls %ls: %.3f ms, %ld calls\n", argv[1],
           1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart),
           StandIn_TotalCalls());
    return 0;
}
