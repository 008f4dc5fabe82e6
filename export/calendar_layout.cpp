/*
** The calendar's fixed texts. Property names are upper case and followed directly by
** the colon: the writer never adds parameters.
*/
#include "calendar_layout.h"

const wchar_t *const CalendarHeaderLines[3] = {L"BEGIN:VCALENDAR", L"PRODID:Plandra Export plugin", L"VERSION:2.0"};
const wchar_t CalendarFooterLine[] = L"END:VCALENDAR";

const char EventBeginMarker[] = "BEGIN:VEVENT";
const char EventEndMarker[] = "END:VEVENT";
const char SummaryProperty[] = "SUMMARY:";
const char UidProperty[] = "UID:";
const char StartProperty[] = "DTSTART:";
const char EndProperty[] = "DTEND:";
const char CreatedProperty[] = "CREATED:";
const char ModifiedProperty[] = "LAST-MODIFIED:";
