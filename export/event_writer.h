/*
** The eight calendar lines of one task's event, built whole before any is written, so
** that a task whose data cannot stand in the file gets no event at all.
*/
#ifndef EXPORT_EVENT_WRITER_H
#define EXPORT_EVENT_WRITER_H

#include <string>

#include "zv_plugins.h"

/* Writes the event of a qualifying task, or, when one of its dates cannot be written
   as a timestamp, appends the reason to the log and writes nothing. uidText is the
   task's UID as byte text without apostrophes, as its log entry shows it. */
void WriteTaskEvent(TaskUid task, const char *uidText);

/* Releases the lines that WriteTaskEvent keeps between tasks; called at the end of a
   run and after an exception. */
void ReleaseEventWriter();

/* Appends text (a byte string) to out with every line break (CR LF, LF or CR) written
   as the two characters \n, RFC 5545's escape, and nothing else changed: a title or
   UID then stays on its one line of the calendar and of the log. */
void AppendEscapingLineBreaks(const char *text, std::string *out);

#endif /* EXPORT_EVENT_WRITER_H */
