/*
** iCalendar content lines (RFC 5545 3.1) in the UTF-16 text of one event: unfolding,
** the split of a line into name, parameters and value, and the start-of-line test for
** the markers that open and close an event.
*/
#ifndef IMPORT_CONTENT_LINE_H
#define IMPORT_CONTENT_LINE_H

#include <cstddef>
#include <string>

/* One content line, name *(";" param) ":" value, as spans of the line it was split
   from (valid while that line is). The parameters are the text between the name's ";"
   and the ":" that ends them, empty when the line has none. */
struct ContentLine {
    const wchar_t *name;
    size_t nameLength;
    const wchar_t *parameters;
    size_t parametersLength;
    const wchar_t *value;
    size_t valueLength;
};

/* Splits line (length units, no line end). The name ends at the first ";" or ":"; the
   parameters end at the first ":" outside a quoted parameter value. False when no such
   ":" exists: the line is not a content line. */
bool SplitContentLine(const wchar_t *line, size_t length, ContentLine *split);

/* The value of the first parameter called name (any letter case) among parameters
   (as ContentLine gives them), without the double quotes around it; false when no
   parameter has that name. "TZID=\"Kuala Lumpur, Singapore\"" gives the text
   between the quotes; a list value ("a","b") is given whole. */
bool FindParameter(const wchar_t *parameters, size_t length, const char *name, std::wstring *value);

/* True when span (length units) is exactly the ASCII text ascii. */
bool SpanEquals(const wchar_t *span, size_t length, const char *ascii, size_t asciiLength);

/* The same without regard to the case of ASCII letters. */
bool SpanEqualsIgnoringCase(const wchar_t *span, size_t length, const char *ascii, size_t asciiLength);

/* A walk over the logical lines of a text whose physical lines end in "\n". */
struct UnfoldedLines {
    const wchar_t *text;
    size_t position;
    std::wstring line; /* the current logical line, without its line end */
};

void StartUnfolding(UnfoldedLines *lines, const wchar_t *text);

/* Moves to the next logical line: a physical line together with every following line
   that starts with a blank or a tab, each of those joined without its line end and
   its first character. False at the end of the text. */
bool NextUnfoldedLine(UnfoldedLines *lines);

/* True when the physical line line (length units, its "\n" included when it has one)
   is the marker (e.g. "BEGIN:VEVENT") at its very start, followed by nothing but blanks,
   tabs and carriage returns before its end. A marker elsewhere in a line is text. */
bool IsMarkerLine(const wchar_t *line, size_t length, const char *marker);

#endif /* IMPORT_CONTENT_LINE_H */
