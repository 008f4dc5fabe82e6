/*
** ExportTaskTree: the depth-first walk over a task and everything below it, one event
** per qualifying task, parent before children.
*/
#ifndef EXPORT_TASK_WALK_H
#define EXPORT_TASK_WALK_H

#include "zv_plugins.h"

/* Visits task and its whole subtree. The walk holds one level per depth of the tree on
   a stack of its own, so a chain of any depth exports without exhausting the thread's
   stack. */
void ExportTaskTree(TaskUid task);

/* Releases the walk's stack; called at the end of a run and after an exception. */
void ReleaseTaskWalk();

#endif /* EXPORT_TASK_WALK_H */
