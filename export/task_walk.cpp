/*
** The walk of the task tree: a log entry for every task, the qualification tests in
** their fixed order against the host, the event of a qualifying task, then its children
** in index order whatever the task's own fate.
*/
#include "task_walk.h"

#include <string>
#include <vector>

#include "diagnostic_log.h"
#include "event_writer.h"
#include "text_convert.h"

namespace {

const int CompletedState = 1;
const int TemplateState = 7;
const int CancelledState = 3;

/* One level of the walk: a visited task, its child count (read once) and the index of
   the next child to visit. */
struct WalkLevel {
    TaskUid task;
    int childCount;
    int nextChild;
};

/* The running command's walk and the log entry of the visited task; module-wide so
   that an abandoned run can release them, and the entry keeps its room between tasks. */
std::vector<WalkLevel> WalkStack;
std::string LogEntry;
/* The visited task's UID as the calendar and the log carry it, converted once for both. */
std::string VisitedUid;

/* The tests stop at the first that fails; the host is asked in this order. */
bool IsTaskExported(TaskUid task)
{
    if (AddinZV_Task_IsPresent(task) == 0)
        return false;
    if (AddinZV_Task_GetState(task) == CompletedState)
        return false;
    if (AddinZV_Task_GetState(task) == TemplateState)
        return false;
    if (AddinZV_Task_GetState(task) == CancelledState)
        return false;
    OleDate begin = AddinZV_Task_GetDateBegin(task);
    if (begin == AddinZV_GetMinDate())
        return false;
    OleDate end = AddinZV_Task_GetDateEnd(task);
    if (end == AddinZV_GetMaxDate())
        return false;
    return true;
}

/* Everything a task gets before its children: the log entry, the event if it
   qualifies, and its level on the stack. */
void VisitTask(TaskUid task)
{
    LogEntry.assign("\n");
    WideToAnsiNoApostropheInto(task, &VisitedUid);
    AppendEscapingLineBreaks(VisitedUid.c_str(), &LogEntry);
    AppendLog(LogEntry.c_str());

    if (IsTaskExported(task))
        WriteTaskEvent(task, VisitedUid.c_str());

    WalkStack.push_back(WalkLevel{task, AddinZV_Task_GetChildsCount(task), 0});
}

} // namespace

void ExportTaskTree(TaskUid task)
{
    WalkStack.clear();
    VisitTask(task);
    while (!WalkStack.empty()) {
        WalkLevel &level = WalkStack.back();
        if (level.nextChild >= level.childCount) {
            WalkStack.pop_back();
            continue;
        }
        int index = level.nextChild++;
        /* The host keeps a child's UID valid while the task exists, so the stack may
           hold the pointer until that child's subtree is done. */
        VisitTask(AddinZV_Task_GetChildUID(level.task, index));
    }
}

void ReleaseTaskWalk()
{
    std::vector<WalkLevel>().swap(WalkStack);
    std::string().swap(LogEntry);
    std::string().swap(VisitedUid);
}
