/*
** The check of a task's UID as it goes into the calendar, and its repair: a fresh
** GUID-shaped identifier for the file, a log entry and a notice to the user. The task
** keeps its own UID in the host.
*/
#ifndef EXPORT_UID_REPAIR_H
#define EXPORT_UID_REPAIR_H

#include "zv_plugins.h"

/* True when the converted UID holds any of the sixteen bytes ' : . " > < { } [ ] / \ + = ( ). */
bool IsUidUnusable(const char *uid);

/* A new identifier of 36 characters, 8-4-4-4-12 upper-case hex digits, in a new heap
   buffer (free()). Never fails to make one: when the platform cannot make a GUID, a
   version-4 value is drawn from the system's random generator instead. */
char *MakeReplacementUid();

/* Tells of a task whose UID was replaced: appends the repair entry (logTitle is the
   title as it stands on the SUMMARY line) and shows the notice with the title as the
   host returns it. */
void AnnounceUidRepair(TaskUid task, const char *logTitle);

#endif /* EXPORT_UID_REPAIR_H */
