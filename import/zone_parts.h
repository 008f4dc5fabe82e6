/*
** What the parts of the zone resolver share: civil-time arithmetic in seconds, and the
** three ways a zone name is found (calendar VTIMEZONE, Windows registry, IANA table).
*/
#ifndef IMPORT_ZONE_PARTS_H
#define IMPORT_ZONE_PARTS_H

#include <windows.h>

#include <string>

/* Seconds since 0001-01-01 00:00:00 of the proleptic Gregorian calendar. */
typedef long long CivilSeconds;

/* Days since 0001-01-01 (negative before it) and back. */
long long DaysFromCivil(long long year, int month, int day);
void CivilFromDays(long long days, long long *year, int *month, int *day);
/* Division rounding toward minus infinity, for times before the epoch. */
long long FloorDivide(long long value, long long divisor);
int DaysInMonth(long long year, int month);
/* 0 = Sunday ... 6 = Saturday. */
int WeekdayOfDays(long long days);

/* False when the fields are not a date and time (month 13, day 31 in April, hour 24). */
bool WallClockToSeconds(const SYSTEMTIME &time, CivilSeconds *seconds);

/* False when the year falls outside what a SYSTEMTIME can hold as a valid time. */
bool SecondsToSystemTime(CivilSeconds seconds, SYSTEMTIME *time);

/* A zone defined by the calendar: false when none has that name. */
bool CalendarZoneToUtc(const std::wstring &name, CivilSeconds wallClock, CivilSeconds *utc);

/* A zone of the platform's registry ("Time Zones"): false when no key has that name.
   *converted tells whether the platform could convert the time. */
bool WindowsZoneToUtc(const std::wstring &name, const SYSTEMTIME &wallClock, SYSTEMTIME *utc, bool *converted);

/* The Windows zone for an IANA name (exact, or the tail of "/vendor/.../Area/City"),
   or null. */
const wchar_t *WindowsZoneForIanaName(const std::wstring &name);

#endif /* IMPORT_ZONE_PARTS_H */
