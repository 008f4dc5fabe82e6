/*
** ImportEvent: one calendar event becomes one task of the host, updated when its UID
** names a task and inserted under "root" otherwise. An event that cannot become a task
** makes no host call; the log says which one it was and why.
*/
#ifndef IMPORT_EVENT_READER_H
#define IMPORT_EVENT_READER_H

/* eventText: the lines after the event's "BEGIN:VEVENT" line, each with its "\n", up to
   its "END:VEVENT" line or the end of the file; the caller's, only read here.
   eventNumber: the event's place in the file from 1, named in the log. */
void ImportEvent(const wchar_t *eventText, int eventNumber);

/* Releases what ImportEvent keeps between events (and what a host call that raised an
   exception left behind). */
void ReleaseEventReader();

#endif /* IMPORT_EVENT_READER_H */
