/*
** The diagnostic log beside a calendar: the calendar's path followed by ".log". The
** file is opened, appended to and closed for every entry, so whatever has been logged
** is on disk even if the host dies midway. Entries are bytes; every "\n" reaches the
** disk as CR LF.
*/
#ifndef FRAME_DIAGNOSTIC_LOG_H
#define FRAME_DIAGNOSTIC_LOG_H

/* Names the log of the calendar at calendarPath. The path is kept in UTF-16 so that the
   log lands beside the chosen file whatever characters its name holds. */
void SetLogPath(const wchar_t *calendarPath);
void ClearLogPath();

/* Appends the entry's bytes unchanged (but for "\n" becoming CR LF). */
void AppendLog(const char *entry);

/* Appends the entry and a line end. */
void AppendLogLine(const char *entry);

/* Closes the log if an entry was being written when an exception struck. */
void CloseLogIfOpen();

#endif /* FRAME_DIAGNOSTIC_LOG_H */
