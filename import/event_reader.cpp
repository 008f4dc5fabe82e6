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
WideText TaskIdentifier;
WideText Title;

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

std::string MissingStartReason()
{
    if (Properties.start.seenUnread)
        return "DTSTART is written in a form not read (parameters or letter case)";
    return "no DTSTART";
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
    AnsiText uid(WideToAnsiNoApostrophe(Properties.uid.value.c_str()));
    const char *uidForLog = Properties.uid.present ? uid.get() : nullptr;
    if (!Properties.start.present) {
        LogSkippedEvent(eventNumber, uidForLog, MissingStartReason());
        return;
    }
    SYSTEMTIME start, end;
    AnsiText startValue(WideToAnsiNoApostrophe(Properties.start.value.c_str()));
    if (!ReadEventTime(startValue.get(), &start)) {
        LogSkippedEvent(eventNumber, uidForLog, "DTSTART " + QuotedForLog(startValue.get()) + " is not a valid time");
        return;
    }
    if (Properties.end.present) {
        AnsiText endValue(WideToAnsiNoApostrophe(Properties.end.value.c_str()));
        if (!ReadEventTime(endValue.get(), &end)) {
            LogSkippedEvent(eventNumber, uidForLog, "DTEND " + QuotedForLog(endValue.get()) + " is not a valid time");
            return;
        }
    } else {
        end = start; /* an event without an end ends when it starts */
    }
    AnsiText title(WideToAnsiNoApostrophe(Properties.summary.value.c_str()));
    TaskIdentifier.reset(AnsiToWide(uid.get()));
    Title.reset(AnsiToWide(title.get()));
    uid.reset();
    title.reset();

    /* An event without a UID, and one that names the top of the tree, is a new task. */
    bool named = TaskIdentifier.get()[0] != 0 && wcscmp(TaskIdentifier.get(), RootTask) != 0;
    if (named && AddinZV_Task_IsPresent(TaskIdentifier.get())) {
        AddinZV_Task_SetDateBegin(TaskIdentifier.get(), AddinZV_GetOleDateFromSystemTime(start));
        AddinZV_Task_SetDateEnd(TaskIdentifier.get(), AddinZV_GetOleDateFromSystemTime(end));
        AddinZV_Task_SetTitle(TaskIdentifier.get(), Title.get());
        AddinZV_Task_SaveChanges(TaskIdentifier.get());
    } else {
        OleDate endDate = AddinZV_GetOleDateFromSystemTime(end);
        OleDate startDate = AddinZV_GetOleDateFromSystemTime(start);
        OleDate now = AddinZV_GetCurrDate();
        AddinZV_Task_Insert(L"", RootTask, Title.get(), now, 0, L"", startDate, endDate);
    }
    TaskIdentifier.reset();
    Title.reset();
}

void ReleaseEventReader()
{
    ReleaseEventProperties(&Properties);
    TaskIdentifier.reset();
    Title.reset();
}
