/*
** ZoneTimeToUtc: finds the zone a TZID names (the calendar's own, a Windows zone, an
** IANA name mapped to one) and converts a wall-clock time there to UTC; and the civil
** calendar arithmetic that the zone parts share.
*/
#include "time_zones.h"

#include "timestamps.h"
#include "zone_parts.h"

long long FloorDivide(long long value, long long divisor)
{
    long long quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

/* The proleptic Gregorian calendar in eras of 400 years (146,097 days), shifted so
   that a year starts in March and leap days fall at its end. */
long long DaysFromCivil(long long year, int month, int day)
{
    year -= month <= 2;
    long long era = FloorDivide(year, 400);
    long long yearOfEra = year - era * 400;
    long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    /* 0001-01-01 is day 306 of era 0 counted from 0000-03-01. */
    return era * 146097 + dayOfEra - 306;
}

void CivilFromDays(long long days, long long *year, int *month, int *day)
{
    days += 306;
    long long era = FloorDivide(days, 146097);
    long long dayOfEra = days - era * 146097;
    long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long long shiftedMonth = (5 * dayOfYear + 2) / 153;
    *day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    *month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    *year = yearOfEra + era * 400 + (*month <= 2);
}

int DaysInMonth(long long year, int month)
{
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    bool leap = FloorDivide(year, 4) * 4 == year && (FloorDivide(year, 100) * 100 != year || FloorDivide(year, 400) * 400 == year);
    return lengths[month - 1] + (month == 2 && leap);
}

int WeekdayOfDays(long long days)
{
    /* 0001-01-01 was a Monday. */
    return static_cast<int>(days + 1 - FloorDivide(days + 1, 7) * 7);
}

bool WallClockToSeconds(const SYSTEMTIME &time, CivilSeconds *seconds)
{
    if (time.wMonth < 1 || time.wMonth > 12 || time.wDay < 1 || time.wDay > DaysInMonth(time.wYear, time.wMonth) ||
        time.wHour > 23 || time.wMinute > 59 || time.wSecond > 59)
        return false;
    *seconds = DaysFromCivil(time.wYear, time.wMonth, time.wDay) * 86400 + time.wHour * 3600 + time.wMinute * 60 +
               time.wSecond;
    return true;
}

bool SecondsToSystemTime(CivilSeconds seconds, SYSTEMTIME *time)
{
    long long days = FloorDivide(seconds, 86400), year;
    int month, day;
    CivilFromDays(days, &year, &month, &day);
    if (year < 1601 || year > 30827)
        return false;
    int secondOfDay = static_cast<int>(seconds - days * 86400);
    SYSTEMTIME result = {};
    result.wYear = static_cast<WORD>(year);
    result.wMonth = static_cast<WORD>(month);
    result.wDay = static_cast<WORD>(day);
    result.wDayOfWeek = static_cast<WORD>(WeekdayOfDays(days));
    result.wHour = static_cast<WORD>(secondOfDay / 3600);
    result.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    result.wSecond = static_cast<WORD>(secondOfDay % 60);
    *time = result;
    return true;
}

ZoneConversion ZoneTimeToUtc(const wchar_t *tzid, size_t length, const SYSTEMTIME &wallClock, SYSTEMTIME *utcTime)
{
    CivilSeconds wall;
    if (!IsValidTime(wallClock) || !WallClockToSeconds(wallClock, &wall))
        return ZoneInvalidTime;
    /* Some writers quote a TZID that needs no quotes; the quotes are not the name. */
    if (length >= 2 && tzid[0] == L'"' && tzid[length - 1] == L'"') {
        tzid++;
        length -= 2;
    }
    if (length == 0)
        return ZoneUnknown;
    std::wstring name(tzid, length);
    CivilSeconds utc;
    if (CalendarZoneToUtc(name, wall, &utc))
        return SecondsToSystemTime(utc, utcTime) ? ZoneConverted : ZoneInvalidTime;
    bool converted = false;
    if (WindowsZoneToUtc(name, wallClock, utcTime, &converted))
        return converted ? ZoneConverted : ZoneInvalidTime;
    const wchar_t *windowsName = WindowsZoneForIanaName(name);
    if (windowsName != nullptr && WindowsZoneToUtc(windowsName, wallClock, utcTime, &converted))
        return converted ? ZoneConverted : ZoneInvalidTime;
    return ZoneUnknown;
}
