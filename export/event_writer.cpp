/*
** WriteTaskEvent: SUMMARY, UID (checked, and repaired when unusable) and the four UTC
** timestamps of a task, written as one eight-line event once every value is known.
*/
#include "event_writer.h"

#include <cstring>

#include "calendar_file.h"
#include "calendar_layout.h"
#include "diagnostic_log.h"
#include "text_convert.h"
#include "timestamps.h"
#include "uid_repair.h"

namespace {

struct DateProperty {
    const char *name;
    OleDate(__cdecl *read)(TaskUid);
};

const DateProperty EventDates[4] = {
    {StartProperty, AddinZV_Task_GetDateBegin},
    {EndProperty, AddinZV_Task_GetDateEnd},
    {CreatedProperty, AddinZV_Task_GetDateCreate},
    {ModifiedProperty, AddinZV_Task_GetDateModification},
};

/* Appends the UTC timestamp of one of the task's dates; false when the host's date is
   not a valid time or its UTC year has not four digits. */
bool AppendTimestamp(TaskUid task, const DateProperty &date, std::string *line)
{
    SYSTEMTIME record = {};
    const SYSTEMTIME *local = AddinZV_GetSystemTimeFromOleDate(&record, date.read(task));
    if (local == nullptr)
        return false;
    AnsiText timestamp(FormatUtcTimestamp(*local));
    if (timestamp == nullptr)
        return false;
    *line += timestamp.get();
    return true;
}

void LogSkippedEvent(const char *propertyName)
{
    /* Follows the task's UID entry on its log line, as a repair entry does. */
    std::string entry(" Event skipped: the date for ");
    entry.append(propertyName, strlen(propertyName) - 1); /* without the colon */
    entry += " cannot be written as a UTC time\n";
    AppendLog(entry.c_str());
}

} // namespace

void AppendEscapingLineBreaks(const char *text, std::string *out)
{
    for (const char *at = text; *at != 0; at++) {
        if (*at == '\r' || *at == '\n') {
            out->append("\\n", 2);
            if (at[0] == '\r' && at[1] == '\n')
                at++;
        } else {
            out->push_back(*at);
        }
    }
}

void WriteTaskEvent(TaskUid task)
{
    std::string summary(SummaryProperty);
    AnsiText title(WideToAnsiNoApostrophe(AddinZV_Task_GetTitle(task)));
    AppendEscapingLineBreaks(title.get(), &summary);
    title.reset();

    std::string uidLine(UidProperty);
    AnsiText uid(WideToAnsiNoApostrophe(task));
    bool repaired = IsUidUnusable(uid.get());
    if (repaired)
        uid.reset(MakeReplacementUid());
    AppendEscapingLineBreaks(uid.get(), &uidLine);
    uid.reset();

    std::string dateLines[4];
    for (int i = 0; i < 4; i++) {
        dateLines[i] = EventDates[i].name;
        if (!AppendTimestamp(task, EventDates[i], &dateLines[i])) {
            LogSkippedEvent(EventDates[i].name);
            return;
        }
    }

    /* Announced only for an event that is written, before its UID line goes out. */
    if (repaired)
        AnnounceUidRepair(task, summary.c_str() + strlen(SummaryProperty));

    WriteCalendarLine(EventBeginMarker);
    WriteCalendarLine(summary.c_str());
    WriteCalendarLine(uidLine.c_str());
    for (const std::string &line : dateLines)
        WriteCalendarLine(line.c_str());
    WriteCalendarLine(EventEndMarker);
}
