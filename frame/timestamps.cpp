/*
** FormatUtcTimestamp, ParseTimestamp and UtcToLocal: both directions go through the
** platform's time zone functions with the computer's current zone.
*/
#include "timestamps.h"

#include <cstring>

bool IsValidTime(const SYSTEMTIME &time)
{
    /* SystemTimeToFileTime checks every field, day of month and leap years included. */
    FILETIME ignored;
    return time.wYear >= 1601 && time.wYear <= 30827 && SystemTimeToFileTime(&time, &ignored);
}

static TIME_ZONE_INFORMATION HeldZone;
static bool ZoneHeld = false;

void HoldTimeZone()
{
    GetTimeZoneInformation(&HeldZone);
    ZoneHeld = true;
}

void ReleaseTimeZone()
{
    ZoneHeld = false;
}

/* Writes value as exactly count decimal digits (leading zeros) and returns the end. */
static char *PutDigits(unsigned value, int count, char *text)
{
    for (int i = count - 1; i >= 0; i--) {
        text[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return text + count;
}

bool FormatUtcTimestamp(SYSTEMTIME localTime, char *text)
{
    localTime.wDayOfWeek = 0;
    if (!IsValidTime(localTime))
        return false;
    TIME_ZONE_INFORMATION zone;
    if (ZoneHeld)
        zone = HeldZone;
    else
        GetTimeZoneInformation(&zone);
    SYSTEMTIME utc;
    if (!TzSpecificLocalTimeToSystemTime(&zone, &localTime, &utc))
        return false;
    if (utc.wYear < 1000 || utc.wYear > 9999)
        return false;
    /* Digits placed directly: the C runtime's formatting costs more than the rest of
       the timestamp, four times a task. */
    char *at = text;
    at = PutDigits(utc.wYear, 4, at);
    at = PutDigits(utc.wMonth, 2, at);
    at = PutDigits(utc.wDay, 2, at);
    *at++ = 'T';
    at = PutDigits(utc.wHour, 2, at);
    at = PutDigits(utc.wMinute, 2, at);
    at = PutDigits(utc.wSecond, 2, at);
    *at++ = 'Z';
    *at = 0;
    return true;
}

void CopySubstring(const char *source, char *destination, size_t start, size_t length)
{
    size_t available = strlen(source);
    if (start >= available)
        return;
    if (length > available - start)
        length = available - start;
    memcpy(destination, source + start, length);
}

/* The field read as atoi reads it in the C locale (blanks, a sign, then digits), done
   here because the runtime's atoi, twelve times an event, is a visible part of an
   import's time. A field has at most four characters, so the number cannot overflow. */
static WORD FieldAt(const char *value, size_t start, size_t length)
{
    char field[8] = {0};
    CopySubstring(value, field, start, length);
    const char *at = field;
    while (*at == ' ' || (*at >= '\t' && *at <= '\r'))
        at++;
    bool negative = *at == '-';
    if (*at == '+' || *at == '-')
        at++;
    int number = 0;
    while (*at >= '0' && *at <= '9')
        number = number * 10 + (*at++ - '0');
    return static_cast<WORD>(negative ? -number : number);
}

SYSTEMTIME ParseTimestamp(const char *value)
{
    SYSTEMTIME time = {};
    time.wYear = FieldAt(value, 0, 4);
    time.wMonth = FieldAt(value, 4, 2);
    time.wDay = FieldAt(value, 6, 2);
    time.wHour = FieldAt(value, 9, 2);
    time.wMinute = FieldAt(value, 11, 2);
    time.wSecond = FieldAt(value, 13, 2);
    return time;
}

bool UtcToLocal(const SYSTEMTIME &utcTime, SYSTEMTIME *localTime)
{
    if (!IsValidTime(utcTime))
        return false;
    SYSTEMTIME utc = utcTime;
    /* Without a held zone, null asks for the currently active one. */
    return SystemTimeToTzSpecificLocalTime(ZoneHeld ? &HeldZone : nullptr, &utc, localTime) != FALSE;
}
