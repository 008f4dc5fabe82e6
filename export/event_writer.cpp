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

/* The lines of the event being built, kept between tasks so that a long export
   allocates them once, and module-wide so that a host exception leaves nothing behind
   that ReleaseEventWriter cannot release. */
struct EventLines {
    std::string title; /* the task's title as byte text, before its escaping */
    std::string summary, uid;
    std::string dates[4];
};

EventLines Lines;

/* Appends the UTC timestamp of one of the task's dates; false when the host's date is
   not a valid time or its UTC year has not four digits. */
bool AppendTimestamp(TaskUid task, const DateProperty &date, std::string *line)
{
    SYSTEMTIME record = {};
    const SYSTEMTIME *local = AddinZV_GetSystemTimeFromOleDate(&record, date.read(task));
    if (local == nullptr)
        return false;
    char timestamp[UtcTimestampLength + 1];
    if (!FormatUtcTimestamp(*local, timestamp))
        return false;
    line->append(timestamp, UtcTimestampLength);
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

void WriteTaskEvent(TaskUid task, const char *uidText)
{
    std::string &summary = Lines.summary;
    summary.assign(SummaryProperty);
    WideToAnsiNoApostropheInto(AddinZV_Task_GetTitle(task), &Lines.title);
    AppendEscapingLineBreaks(Lines.title.c_str(), &summary);

    std::string &uidLine = Lines.uid;
    uidLine.assign(UidProperty);
    bool repaired = IsUidUnusable(uidText);
    if (repaired) {
        AnsiText replacement(MakeReplacementUid());
        AppendEscapingLineBreaks(replacement.get(), &uidLine);
    } else {
        AppendEscapingLineBreaks(uidText, &uidLine);
    }

    for (int i = 0; i < 4; i++) {
        Lines.dates[i].assign(EventDates[i].name);
        if (!AppendTimestamp(task, EventDates[i], &Lines.dates[i])) {
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
    for (const std::string &line : Lines.dates)
        WriteCalendarLine(line.c_str());
    WriteCalendarLine(EventEndMarker);
}

void ReleaseEventWriter()
{
    std::string().swap(Lines.title);
    std::string().swap(Lines.summary);
    std::string().swap(Lines.uid);
    for (std::string &line : Lines.dates)
        std::string().swap(line);
}
