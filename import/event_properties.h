/*
** The property values that an import takes from one event: UID, SUMMARY, DTSTART and
** DTEND, read from the event's own content lines after unfolding. Lines of components
** nested in the event (alarms) never supply them.
*/
#ifndef IMPORT_EVENT_PROPERTIES_H
#define IMPORT_EVENT_PROPERTIES_H

#include <string>

#include "content_line.h"

/* One property of the event. The writer's form (upper-case name, no parameters) wins
   wherever it stands; without it, the first line of that name in any other form that
   RFC 5545 allows (any letter case, parameters) supplies the property. */
struct EventProperty {
    bool present;
    bool plainForm;          /* taken from the writer's form */
    bool unreadable;         /* a line of this name has no ":" after its parameters */
    std::wstring parameters; /* as written, for a reading that understands them */
    std::wstring value;      /* as written: escapes are not undone */
};

struct EventProperties {
    EventProperty uid, summary, start, end;
};

/* Fills properties from the event text (lines ending in "\n", as gathered from the
   calendar). The strings keep their capacity between calls, so one EventProperties
   serves a whole import. */
void TakeEventProperties(const wchar_t *eventText, EventProperties *properties);

/* Whether a content line is the property of the given name in the writer's form. */
bool AcceptsProperty(const ContentLine &line, const char *name, size_t nameLength);

/* Releases the memory kept between calls. */
void ReleaseEventProperties(EventProperties *properties);

#endif /* IMPORT_EVENT_PROPERTIES_H */
