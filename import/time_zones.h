/*
** Times written in a named zone (TZID): the zones a calendar defines in its VTIMEZONE
** components, Windows zone names the platform knows, and IANA names mapped to those.
** Zones collected from a calendar stay until ForgetCalendarZones; one import at a time.
*/
#ifndef IMPORT_TIME_ZONES_H
#define IMPORT_TIME_ZONES_H

#include <windows.h>

#include <cstddef>

/* Drops every zone collected so far; an import calls it before reading a new calendar. */
void ForgetCalendarZones();

/* Takes one unfolded content line of the calendar (no line end), in file order. Lines
   from "BEGIN:VTIMEZONE" to "END:VTIMEZONE" define a zone, which is kept when its
   END line arrives with a non-empty TZID; every other line is passed over, so a
   reader may feed it the whole file. A malformed part (an offset or a date that does
   not parse, an unknown rule) drops that part only; nothing here fails. */
void CollectZoneLine(const wchar_t *line, size_t length);

enum ZoneConversion {
    ZoneConverted,   /* the UTC time is set */
    ZoneUnknown,     /* no zone of that name: the caller decides (the import takes local time) */
    ZoneInvalidTime  /* the wall-clock fields do not form a time, or its UTC is out of range */
};

/* Converts a wall-clock time in the zone named tzid (length units, as the TZID
   parameter gives it, surrounding double quotes allowed) to UTC. The name is looked up
   among the calendar's zones first, then as a Windows zone name, then as an IANA name
   (also in the forms "/vendor/.../Area/City"). A time that a daylight-saving change
   skips is read with the offset before the change, and one that it repeats as its
   first occurrence (RFC 5545 3.3.5). */
ZoneConversion ZoneTimeToUtc(const wchar_t *tzid, size_t length, const SYSTEMTIME &wallClock, SYSTEMTIME *utcTime);

#endif /* IMPORT_TIME_ZONES_H */
