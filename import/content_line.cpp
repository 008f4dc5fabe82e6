/*
** Content lines of an event's text: unfolding (RFC 5545 3.1), the name/parameters/
** value split with quoted parameter values, and the marker test. Every function makes
** one pass over its text.
*/
#include "content_line.h"

#include <cstring>

bool SplitContentLine(const wchar_t *line, size_t length, ContentLine *split)
{
    size_t at = 0;
    while (at < length && line[at] != L';' && line[at] != L':')
        at++;
    if (at == length)
        return false;
    split->name = line;
    split->nameLength = at;
    size_t parametersStart = line[at] == L';' ? at + 1 : at;
    /* RFC 5545 3.2: a parameter value in double quotes may hold ":" and ";". */
    bool quoted = false;
    while (at < length && (quoted || line[at] != L':')) {
        if (line[at] == L'"')
            quoted = !quoted;
        at++;
    }
    if (at == length)
        return false;
    split->parameters = line + parametersStart;
    split->parametersLength = at - parametersStart;
    split->value = line + at + 1;
    split->valueLength = length - at - 1;
    return true;
}

bool FindParameter(const wchar_t *parameters, size_t length, const char *name, std::wstring *value)
{
    size_t nameLength = strlen(name);
    size_t at = 0;
    while (at < length) {
        /* One parameter: up to the next ";" outside double quotes. */
        size_t end = at;
        bool quoted = false;
        while (end < length && (quoted || parameters[end] != L';')) {
            if (parameters[end] == L'"')
                quoted = !quoted;
            end++;
        }
        size_t equals = at;
        while (equals < end && parameters[equals] != L'=')
            equals++;
        if (equals < end && SpanEqualsIgnoringCase(parameters + at, equals - at, name, nameLength)) {
            const wchar_t *text = parameters + equals + 1;
            size_t textLength = end - equals - 1;
            if (textLength >= 2 && text[0] == L'"' && text[textLength - 1] == L'"') {
                text++;
                textLength -= 2;
            }
            value->assign(text, textLength);
            return true;
        }
        at = end + 1;
    }
    return false;
}

bool SpanEquals(const wchar_t *span, size_t length, const char *ascii, size_t asciiLength)
{
    if (length != asciiLength)
        return false;
    for (size_t i = 0; i < length; i++)
        if (span[i] != static_cast<unsigned char>(ascii[i]))
            return false;
    return true;
}

static wchar_t LowerAscii(wchar_t unit)
{
    return unit >= L'A' && unit <= L'Z' ? static_cast<wchar_t>(unit - L'A' + L'a') : unit;
}

bool SpanEqualsIgnoringCase(const wchar_t *span, size_t length, const char *ascii, size_t asciiLength)
{
    if (length != asciiLength)
        return false;
    for (size_t i = 0; i < length; i++)
        if (LowerAscii(span[i]) != LowerAscii(static_cast<unsigned char>(ascii[i])))
            return false;
    return true;
}

void StartUnfolding(UnfoldedLines *lines, const wchar_t *text)
{
    lines->text = text;
    lines->position = 0;
    lines->line.clear();
}

bool NextUnfoldedLine(UnfoldedLines *lines)
{
    const wchar_t *text = lines->text;
    size_t at = lines->position;
    if (text[at] == 0)
        return false;
    lines->line.clear();
    for (;;) {
        size_t start = at;
        while (text[at] != 0 && text[at] != L'\n')
            at++;
        lines->line.append(text + start, at - start);
        if (text[at] == 0)
            break;
        at++; /* the line feed */
        /* RFC 5545 3.1: a line end followed by one blank or tab is removed with it. */
        if (text[at] != L' ' && text[at] != L'\t')
            break;
        at++;
    }
    lines->position = at;
    return true;
}

bool IsMarkerLine(const wchar_t *line, size_t length, const char *marker)
{
    size_t markerLength = strlen(marker);
    if (length < markerLength)
        return false;
    for (size_t i = 0; i < markerLength; i++)
        if (line[i] != static_cast<unsigned char>(marker[i]))
            return false;
    for (size_t i = markerLength; i < length; i++)
        if (line[i] != L' ' && line[i] != L'\t' && line[i] != L'\r' && line[i] != L'\n')
            return false;
    return true;
}
