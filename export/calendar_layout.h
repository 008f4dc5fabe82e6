/*
** The fixed texts of the calendar file that both plug-ins share: the header and footer
** lines the writer puts around the events, the names of the event properties, and the
** markers that open and close an event.
*/
#ifndef EXPORT_CALENDAR_LAYOUT_H
#define EXPORT_CALENDAR_LAYOUT_H

/* Header and footer, written as module texts. */
extern const wchar_t *const CalendarHeaderLines[3]; /* BEGIN:VCALENDAR, PRODID, VERSION */
extern const wchar_t CalendarFooterLine[];          /* END:VCALENDAR */

/* Event markers and the property names with their colon, as byte strings. */
extern const char EventBeginMarker[]; /* "BEGIN:VEVENT" */
extern const char EventEndMarker[];   /* "END:VEVENT" */
extern const char SummaryProperty[];  /* "SUMMARY:" */
extern const char UidProperty[];      /* "UID:" */
extern const char StartProperty[];    /* "DTSTART:" */
extern const char EndProperty[];      /* "DTEND:" */
extern const char CreatedProperty[];  /* "CREATED:" */
extern const char ModifiedProperty[]; /* "LAST-MODIFIED:" */

#endif /* EXPORT_CALENDAR_LAYOUT_H */
