/*
** The property values that an import takes from one event: UID, SUMMARY, DTSTART and
** DTEND, read from the event's own content lines after unfolding. Lines of components
** nested in the event (alarms) never supply them.
*/
#ifndef IMPORT_EVENT_PROPERTIES_H
#define IMPORT_EVENT_PROPERTIES_H

#include <string>

#include "content_line.h"

/* One property of the event: its first accepted line. */
struct EventProperty {
    bool present;
    std::wstring parameters; /* as written, for a reading that understands them */
    std::wstring value;      /* as written: escapes are not undone */
    bool seenUnread;         /* a line of this name was passed over: parameters, letter case */
};

struct EventProperties {
    EventProperty uid, summary, start, end;
};

/* Fills properties from the event text (lines ending in "\n", as gathered from the
   calendar). The strings keep their capacity between calls, so one EventProperties
   serves a whole import. */
void TakeEventProperties(const wchar_t *eventText, EventProperties *properties);

/* Whether a content line supplies the property of the given name. The calendars this
   reader takes write names in upper case without parameters; a reading of other
   programs' calendars widens this rule (letter case, VALUE=DATE, TZID). */
bool AcceptsProperty(const ContentLine &line, const char *name, size_t nameLength);

/* Releases the memory kept between calls. */
void ReleaseEventProperties(EventProperties *properties);

#endif /* IMPORT_EVENT_PROPERTIES_H */
