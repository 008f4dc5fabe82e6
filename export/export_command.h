/*
** ExportCalendar, the main command of ics_writer: the save dialog, the calendar's
** header and footer around the walk of the task tree, and the log beside the calendar.
*/
#ifndef EXPORT_EXPORT_COMMAND_H
#define EXPORT_EXPORT_COMMAND_H

void ExportCalendar();

/* Closes and releases whatever a run left open; called after an exception left it. */
void AbandonExport();

#endif /* EXPORT_EXPORT_COMMAND_H */
