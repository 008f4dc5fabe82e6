/*
** TakeEventProperties: one pass over an event's unfolded content lines, taking the
** first UID, SUMMARY, DTSTART and DTEND line of the event itself. The names come from
** the calendar layout that the writer uses.
*/
#include "event_properties.h"

#include <cstring>

#include "calendar_layout.h"

namespace {

struct PropertyRow {
    const char *nameWithColon; /* the writer's text, e.g. "UID:" */
    EventProperty EventProperties::*property;
};

const PropertyRow PropertyRows[] = {
    {UidProperty, &EventProperties::uid},
    {SummaryProperty, &EventProperties::summary},
    {StartProperty, &EventProperties::start},
    {EndProperty, &EventProperties::end},
};

/* "BEGIN" and "END" of the marker texts, the names that open and close a component. */
const char ComponentBegin[] = "BEGIN";
const char ComponentEnd[] = "END";

void ClearProperty(EventProperty *property)
{
    property->present = false;
    property->seenUnread = false;
    property->parameters.clear();
    property->value.clear();
}

/* UnfoldedLines keeps its line buffer between events, as EventProperties does. */
UnfoldedLines EventLines;

} // namespace

bool AcceptsProperty(const ContentLine &line, const char *name, size_t nameLength)
{
    return line.parametersLength == 0 && SpanEquals(line.name, line.nameLength, name, nameLength);
}

void TakeEventProperties(const wchar_t *eventText, EventProperties *properties)
{
    for (const PropertyRow &row : PropertyRows)
        ClearProperty(&(properties->*row.property));
    /* Depth of components nested in the event; component names are case-insensitive
       (RFC 5545 3.1), and any spelling closes an alarm's lines to the event. */
    int nestedDepth = 0;
    StartUnfolding(&EventLines, eventText);
    while (NextUnfoldedLine(&EventLines)) {
        ContentLine line;
        if (!SplitContentLine(EventLines.line.data(), EventLines.line.size(), &line))
            continue;
        if (SpanEqualsIgnoringCase(line.name, line.nameLength, ComponentBegin, sizeof ComponentBegin - 1)) {
            nestedDepth++;
            continue;
        }
        if (SpanEqualsIgnoringCase(line.name, line.nameLength, ComponentEnd, sizeof ComponentEnd - 1)) {
            if (nestedDepth == 0)
                break; /* the event's own end */
            nestedDepth--;
            continue;
        }
        if (nestedDepth > 0)
            continue;
        for (const PropertyRow &row : PropertyRows) {
            EventProperty &property = properties->*row.property;
            size_t nameLength = strlen(row.nameWithColon) - 1;
            if (property.present)
                continue;
            if (!AcceptsProperty(line, row.nameWithColon, nameLength)) {
                if (SpanEqualsIgnoringCase(line.name, line.nameLength, row.nameWithColon, nameLength))
                    property.seenUnread = true;
                continue;
            }
            property.present = true;
            property.parameters.assign(line.parameters, line.parametersLength);
            property.value.assign(line.value, line.valueLength);
        }
    }
}

void ReleaseEventProperties(EventProperties *properties)
{
    for (const PropertyRow &row : PropertyRows) {
        EventProperty &property = properties->*row.property;
        std::wstring().swap(property.parameters);
        std::wstring().swap(property.value);
    }
    std::wstring().swap(EventLines.line);
}
