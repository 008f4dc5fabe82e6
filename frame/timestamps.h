/*
** Calendar timestamps: the UTC DATE-TIME text YYYYMMDDTHHMMSSZ that the calendar
** carries for every date, and the conversions between it and local SYSTEMTIMEs.
*/
#ifndef FRAME_TIMESTAMPS_H
#define FRAME_TIMESTAMPS_H

#include <windows.h>

/* The length of a UTC timestamp text, e.g. 20240305T060703Z, without its terminator. */
const size_t UtcTimestampLength = 16;

/* Local time to its UTC text in text (room for UtcTimestampLength + 1 bytes);
   milliseconds are dropped. False, text untouched, when the time is not a valid local
   time or its UTC year lies outside 1000-9999, so that no malformed timestamp is ever
   written. */
bool FormatUtcTimestamp(SYSTEMTIME localTime, char *text);

/* While held, FormatUtcTimestamp and UtcToLocal use the zone read at HoldTimeZone instead
   of asking the system for every timestamp (a costly call under some platforms): a
   command that converts many timestamps holds it for its run, so all of them share one
   zone. */
void HoldTimeZone();
void ReleaseTimeZone();

/* Copies length bytes from source + start to destination, stopping early at the end of
   source (the rest of destination is left as it is, zero in a fresh buffer). */
void CopySubstring(const char *source, char *destination, size_t start, size_t length);

/* The fields at fixed positions of a timestamp value, read as atoi reads them (so a
   missing or non-digit field gives 0); "T" and "Z" are not examined. Taken as UTC. */
SYSTEMTIME ParseTimestamp(const char *value);

/* True when the fields form a real date and time (month 1-12, day within the month,
   hour 0-23, ...). */
bool IsValidTime(const SYSTEMTIME &time);

/* UTC to the computer's current time zone. False when the time is not valid or cannot
   be converted. */
bool UtcToLocal(const SYSTEMTIME &utcTime, SYSTEMTIME *localTime);

#endif /* FRAME_TIMESTAMPS_H */
