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
    property->plainForm = false;
    property->unreadable = false;
    property->parameters.clear();
    property->value.clear();
}

/* UnfoldedLines keeps its line buffer between events, as EventProperties does. */
UnfoldedLines EventLines;

/* A line that starts like one of the four properties but has no value (a quote left
   open in its parameters, as in DTSTART;TZID="Zone:20200609T090000"): noted so that the
   log can say why the property is missing. */
void NoteUnreadableLine(const std::wstring &text, EventProperties *properties)
{
    size_t nameEnd = text.find_first_of(L";:");
    if (nameEnd == std::wstring::npos)
        return;
    for (const PropertyRow &row : PropertyRows)
        if (SpanEqualsIgnoringCase(text.data(), nameEnd, row.nameWithColon, strlen(row.nameWithColon) - 1))
            (properties->*row.property).unreadable = true;
}

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
        if (!SplitContentLine(EventLines.line.data(), EventLines.line.size(), &line)) {
            if (nestedDepth == 0)
                NoteUnreadableLine(EventLines.line, properties);
            continue;
        }
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
            if (property.plainForm)
                continue;
            bool plain = AcceptsProperty(line, row.nameWithColon, nameLength);
            /* Another form is kept only until the writer's form turns up. */
            if (plain || (!property.present && SpanEqualsIgnoringCase(line.name, line.nameLength, row.nameWithColon,
                                                                      nameLength))) {
                property.present = true;
                property.plainForm = plain;
                property.parameters.assign(line.parameters, line.parametersLength);
                property.value.assign(line.value, line.valueLength);
            }
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
