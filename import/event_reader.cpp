/*
** ImportEvent: the values of one event checked, turned into the host's forms and
** written to the task with its UID, or to a new task under "root". Skipped events are
** logged with their place in the file, their UID when they have one, and the reason.
*/
#include "event_reader.h"

#include <cstring>
#include <string>

#include "diagnostic_log.h"
#include "event_properties.h"
#include "text_convert.h"
#include "time_zones.h"
#include "timestamps.h"
#include "zv_plugins.h"

namespace {

/* The top of the task tree: a UID that is never updated from a calendar. */
const wchar_t RootTask[] = L"root";

/* Longest value quoted in a log entry; the rest is shown as "...". */
const size_t LoggedValueLimit = 80;

/* Kept between events so that a long import allocates once, and module-wide so that a
   host call that raises an exception leaves nothing that cannot be released. */
EventProperties Properties;
std::string UidText, TimeText, TitleText; /* byte text, as the writer's would be */
std::wstring TaskIdentifier, Title;       /* what the host is given */

std::string QuotedForLog(const char *bytes)
{
    std::string quoted = "\"";
    size_t length = strlen(bytes);
    if (length > LoggedValueLimit)
        quoted.append(bytes, LoggedValueLimit).append("...");
    else
        quoted.append(bytes, length);
    return quoted + "\"";
}

void LogSkippedEvent(int eventNumber, const char *uid, const std::string &reason)
{
    std::string entry = "Event " + std::to_string(eventNumber) + " skipped";
    if (uid != nullptr)
        entry += " (UID " + QuotedForLog(uid) + ")";
    entry += ": " + reason;
    AppendLogLine(entry.c_str());
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

/* A DATE-TIME (or DATE) value to local time. The fields sit at fixed positions, read
   as ParseTimestamp reads them; a field that holds anything but digits, or a date of
   fewer than eight digits, would be read as a number it does not say, so it fails. */
bool ReadEventTime(const char *value, SYSTEMTIME *localTime)
{
    size_t length = strlen(value);
    if (length < 8)
        return false;
    for (size_t i = 0; i < 8; i++)
        if (!IsDigit(value[i]))
            return false;
    for (size_t i = 9; i < 15 && i < length; i++)
        if (!IsDigit(value[i]))
            return false;
    return UtcToLocal(ParseTimestamp(value), localTime);
}

/* How an event time is to be read, beyond its value. */
struct EventTime {
    SYSTEMTIME local;
    bool date; /* VALUE=DATE: a day in the user's calendar */
};

bool IsDigitUnit(wchar_t unit)
{
    return unit >= L'0' && unit <= L'9';
}

bool AllDigits(const std::wstring &value, size_t from, size_t to)
{
    for (size_t i = from; i < to; i++)
        if (!IsDigitUnit(value[i]))
            return false;
    return true;
}

WORD FieldOf(const std::wstring &value, size_t at, size_t length)
{
    int number = 0;
    for (size_t i = at; i < at + length; i++)
        number = number * 10 + (value[i] - L'0');
    return static_cast<WORD>(number);
}

/* A time written in a form other than the writer's (RFC 5545 3.3.4, 3.3.5):
   VALUE=DATE is local midnight of that day; a UTC time ("Z") is converted to local
   time; a time with TZID is converted from that zone, and from a zone nothing defines
   it is taken as local time (said in the log); a floating time is local time.
   reason receives why a time cannot be read. */
bool ReadOtherFormTime(const EventProperty &property, const char *name, int eventNumber, EventTime *time,
                       std::string *reason)
{
    const std::wstring &value = property.value;
    std::wstring valueType, zone;
    bool declaredDate = FindParameter(property.parameters.data(), property.parameters.size(), "VALUE", &valueType) &&
                        valueType.size() == 4 && _wcsicmp(valueType.c_str(), L"DATE") == 0;
    bool hasZone = FindParameter(property.parameters.data(), property.parameters.size(), "TZID", &zone);
    SYSTEMTIME fields = {};
    bool dateForm = value.size() == 8 && AllDigits(value, 0, 8);
    bool dateTimeForm = (value.size() == 15 || (value.size() == 16 && value[15] == L'Z')) &&
                        AllDigits(value, 0, 8) && value[8] == L'T' && AllDigits(value, 9, 15);
    if (!dateForm && !(dateTimeForm && !declaredDate)) {
        *reason = declaredDate ? "is not a date" : "is not a date or a date and time";
        return false;
    }
    fields.wYear = FieldOf(value, 0, 4);
    fields.wMonth = FieldOf(value, 4, 2);
    fields.wDay = FieldOf(value, 6, 2);
    time->date = dateForm;
    if (dateTimeForm) {
        fields.wHour = FieldOf(value, 9, 2);
        fields.wMinute = FieldOf(value, 11, 2);
        fields.wSecond = FieldOf(value, 13, 2);
    }
    if (!IsValidTime(fields)) {
        *reason = "is not a valid time";
        return false;
    }
    time->local = fields;
    if (dateForm)
        return true;
    if (value.size() == 16) {
        if (!UtcToLocal(fields, &time->local)) {
            *reason = "cannot be converted to local time";
            return false;
        }
        return true;
    }
    if (!hasZone)
        return true; /* floating: the same wall clock everywhere */
    SYSTEMTIME utc;
    switch (ZoneTimeToUtc(zone.data(), zone.size(), fields, &utc)) {
    case ZoneConverted:
        if (!UtcToLocal(utc, &time->local)) {
            *reason = "cannot be converted to local time";
            return false;
        }
        return true;
    case ZoneUnknown: {
        AnsiText zoneName(WideToAnsi(zone.c_str()));
        std::string entry = "Event " + std::to_string(eventNumber) + ": " + name + " names the zone " +
                            QuotedForLog(zoneName.get()) +
                            ", which neither the calendar nor Windows defines; the time is taken as local time";
        AppendLogLine(entry.c_str());
        return true;
    }
    case ZoneInvalidTime:
        break;
    }
    *reason = "is not a valid time in its zone";
    return false;
}

/* DTSTART or DTEND to local time: the writer's form exactly as it always was read
   (UTC, "Z" or not), any other form by ReadOtherFormTime. */
bool ReadPropertyTime(const EventProperty &property, const char *name, int eventNumber, EventTime *time,
                      std::string *reason)
{
    if (!property.plainForm)
        return ReadOtherFormTime(property, name, eventNumber, time, reason);
    time->date = false;
    WideToAnsiNoApostropheInto(property.value.c_str(), &TimeText);
    if (!ReadEventTime(TimeText.c_str(), &time->local)) {
        *reason = "is not a valid time";
        return false;
    }
    return true;
}

/* A local time moved by a number of seconds, through the platform's file time. */
SYSTEMTIME AddSeconds(const SYSTEMTIME &time, long long seconds)
{
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    ULARGE_INTEGER ticks;
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart += seconds * 10000000LL;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME moved = time;
    FileTimeToSystemTime(&file, &moved);
    return moved;
}

bool IsBefore(const SYSTEMTIME &a, const SYSTEMTIME &b)
{
    FILETIME fa, fb;
    SystemTimeToFileTime(&a, &fa);
    SystemTimeToFileTime(&b, &fb);
    return CompareFileTime(&fa, &fb) < 0;
}

std::string PropertyValueForLog(const EventProperty &property)
{
    AnsiText value(WideToAnsiNoApostrophe(property.value.c_str()));
    return QuotedForLog(value.get());
}

} // namespace

void ImportEvent(const wchar_t *eventText, int eventNumber)
{
    if (eventText[0] == 0) {
        LogSkippedEvent(eventNumber, nullptr, "the event has no lines");
        return;
    }
    TakeEventProperties(eventText, &Properties);

    /* Task text reaches the host as the writer's byte text would: through the ANSI code
       page, without apostrophes. */
    WideToAnsiNoApostropheInto(Properties.uid.value.c_str(), &UidText);
    const char *uidForLog = Properties.uid.present ? UidText.c_str() : nullptr;
    if (!Properties.start.present) {
        LogSkippedEvent(eventNumber, uidForLog,
                        Properties.start.unreadable ? "DTSTART has no value after its parameters (a quote left open)"
                                                    : "no DTSTART");
        return;
    }
    EventTime startTime, endTime;
    std::string reason;
    if (!ReadPropertyTime(Properties.start, "DTSTART", eventNumber, &startTime, &reason)) {
        LogSkippedEvent(eventNumber, uidForLog, "DTSTART " + PropertyValueForLog(Properties.start) + " " + reason);
        return;
    }
    SYSTEMTIME start = startTime.local, end;
    if (Properties.end.present) {
        if (!ReadPropertyTime(Properties.end, "DTEND", eventNumber, &endTime, &reason)) {
            LogSkippedEvent(eventNumber, uidForLog, "DTEND " + PropertyValueForLog(Properties.end) + " " + reason);
            return;
        }
        end = endTime.local;
        /* A date end is the day after the last one (RFC 5545 3.6.1); the task ends at
           the last second of its last day, and never before it starts. */
        if (endTime.date) {
            end = AddSeconds(end, -1);
            if (IsBefore(end, start))
                end = start;
        }
    } else if (startTime.date) {
        end = AddSeconds(start, 86399); /* a date without an end is that one day */
    } else {
        end = start; /* an event without an end ends when it starts */
    }
    WideToAnsiNoApostropheInto(Properties.summary.value.c_str(), &TitleText);
    AnsiToWideInto(UidText.c_str(), &TaskIdentifier);
    AnsiToWideInto(TitleText.c_str(), &Title);

    /* An event without a UID, and one that names the top of the tree, is a new task. */
    const wchar_t *task = TaskIdentifier.c_str();
    bool named = task[0] != 0 && wcscmp(task, RootTask) != 0;
    if (named && AddinZV_Task_IsPresent(task)) {
        AddinZV_Task_SetDateBegin(task, AddinZV_GetOleDateFromSystemTime(start));
        AddinZV_Task_SetDateEnd(task, AddinZV_GetOleDateFromSystemTime(end));
        AddinZV_Task_SetTitle(task, Title.c_str());
        AddinZV_Task_SaveChanges(task);
    } else {
        OleDate endDate = AddinZV_GetOleDateFromSystemTime(end);
        OleDate startDate = AddinZV_GetOleDateFromSystemTime(start);
        OleDate now = AddinZV_GetCurrDate();
        AddinZV_Task_Insert(L"", RootTask, Title.c_str(), now, 0, L"", startDate, endDate);
    }
}

void ReleaseEventReader()
{
    ReleaseEventProperties(&Properties);
    for (std::string *text : {&UidText, &TimeText, &TitleText})
        std::string().swap(*text);
    std::wstring().swap(TaskIdentifier);
    std::wstring().swap(Title);
}
