/*
** The first pass over a calendar: its VTIMEZONE components are collected before any
** event is read, since a zone may be defined after the events that name it. Only the
** current logical line is held, never an event.
*/
#include "zone_pass.h"

#include <string>
#include <vector>

#include "calendar_file.h"
#include "time_zones.h"

namespace {

/* A logical line is passed on cut at this many units: zone lines are short, and a
   long line (an attachment, a description) is never a zone's. */
const size_t ZoneLineLimit = 65536;

void PassOn(std::wstring *line)
{
    if (!line->empty())
        CollectZoneLine(line->data(), line->size());
    line->clear();
}

void Append(std::wstring *line, const wchar_t *text, size_t length)
{
    if (line->size() + length > ZoneLineLimit)
        length = ZoneLineLimit - line->size();
    line->append(text, length);
}

} // namespace

void CollectZonesFromCalendar()
{
    std::vector<wchar_t> portion(CalendarLinePortion + 1, 0);
    std::wstring line;
    bool atLineStart = true;
    size_t length;
    while ((length = ReadCalendarLine(portion.data())) > 0) {
        const wchar_t *text = portion.data();
        bool startsLine = atLineStart;
        atLineStart = text[length - 1] == L'\n';
        size_t contentLength = atLineStart ? length - 1 : length;
        if (!startsLine) {
            Append(&line, text, contentLength); /* the rest of a long physical line */
        } else if (text[0] == L' ' || text[0] == L'\t') {
            /* RFC 5545 3.1: a line end followed by one blank or tab is removed with it. */
            Append(&line, text + 1, contentLength - 1);
        } else {
            PassOn(&line);
            Append(&line, text, contentLength);
        }
    }
    PassOn(&line);
}
