/*
** CalendarStream: the one open calendar file of a running command. The writer stores
** UTF-8 with a byte order mark and CR LF line ends; the reader decodes UTF-8 (with or
** without the mark) or UTF-16 LE (FF FE) and hands out lines ending in a single "\n".
** The bytes are produced and decoded here, not by the C runtime's text modes, so they
** are the same on every runtime.
*/
#ifndef FRAME_CALENDAR_FILE_H
#define FRAME_CALENDAR_FILE_H

#include <cstddef>

/* Creates (or empties) the file and writes EF BB BF. False when it cannot be created:
   no stream is then open and every later write does nothing. */
bool OpenCalendarForWrite(const wchar_t *path);

/* Writes a byte-string line (system ANSI code page) as UTF-8 followed by CR LF, then
   flushes, so every line is on disk before the next one is built. */
void WriteCalendarLine(const char *line);

/* Writes a module text (header, footer) as UTF-8 followed by CR LF, without a flush. */
void WriteCalendarWideLine(const wchar_t *line);

enum CalendarOpenResult {
    CalendarOpened,
    CalendarNotFound,      /* cannot be opened: missing, locked, a folder, no access */
    CalendarBigEndian      /* starts with FE FF: UTF-16 big-endian is not read */
};

/* Opens the file for reading and decides its decoding from the first bytes. */
CalendarOpenResult OpenCalendarForRead(const wchar_t *path);

/* The longest portion of a line that one read delivers, in UTF-16 units. */
const size_t CalendarLinePortion = 32766;

/* Reads the next line, up to and including its "\n" but at most CalendarLinePortion
   units, into line (room for CalendarLinePortion + 1 units) and terminates it. A CR LF
   pair arrives as "\n"; a unit 0x1A ends the content. Returns the number of units, or 0
   at the end of the content. */
size_t ReadCalendarLine(wchar_t *line);

/* Closes CalendarStream if it is open; safe to call at any time. */
void CloseCalendarFile();
bool IsCalendarOpen();

#endif /* FRAME_CALENDAR_FILE_H */
