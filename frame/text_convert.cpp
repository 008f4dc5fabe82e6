/*
** Text conversion between UTF-16 and the system ANSI code page, and the byte-string
** ReplaceAll that removes apostrophes. Results are sized to their text: a title of any
** length converts whole and nothing is ever written past a buffer.
*/
#include "text_convert.h"

#include <windows.h>

#include <cstring>
#include <new>

static const wchar_t EmptyWide[] = L"";

/* Most texts (titles, UIDs, timestamps) are short: they are converted in one call into
   a buffer on the stack and copied out at their size. A longer text, or one that does
   not convert, takes the two-call form (ask for the size, then convert). */
const int ShortTextUnits = 512;

/* Units and bytes below 0x80 are ASCII in every ANSI code page Windows uses, and they
   convert one for one: a text of them alone is copied without asking the platform,
   which is most UIDs, times and titles, several times an event or task. Each returns
   null, having allocated nothing, for any other text. */
static wchar_t *AsciiToWide(const char *text)
{
    size_t length = 0;
    for (; text[length] != 0; length++)
        if (static_cast<unsigned char>(text[length]) >= 0x80)
            return nullptr;
    wchar_t *result = static_cast<wchar_t *>(malloc((length + 1) * sizeof(wchar_t)));
    if (result == nullptr)
        throw std::bad_alloc();
    for (size_t i = 0; i <= length; i++)
        result[i] = static_cast<unsigned char>(text[i]);
    return result;
}

static char *WideAsciiToBytes(const wchar_t *text)
{
    size_t length = 0;
    for (; text[length] != 0; length++)
        if (text[length] >= 0x80)
            return nullptr;
    char *result = static_cast<char *>(malloc(length + 1));
    if (result == nullptr)
        throw std::bad_alloc();
    for (size_t i = 0; i <= length; i++)
        result[i] = static_cast<char>(text[i]);
    return result;
}

wchar_t *AnsiToWide(const char *text)
{
    if (text == nullptr)
        text = "";
    if (wchar_t *ascii = AsciiToWide(text))
        return ascii;
    wchar_t shortText[ShortTextUnits];
    int converted = MultiByteToWideChar(CP_ACP, 0, text, -1, shortText, ShortTextUnits);
    if (converted > 0) {
        wchar_t *result = static_cast<wchar_t *>(malloc(converted * sizeof(wchar_t)));
        if (result == nullptr)
            throw std::bad_alloc();
        memcpy(result, shortText, converted * sizeof(wchar_t));
        return result;
    }
    /* The size counts the terminator. */
    int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (needed <= 0)
        needed = 1;
    wchar_t *result = static_cast<wchar_t *>(calloc(needed, sizeof(wchar_t)));
    if (result == nullptr)
        throw std::bad_alloc();
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, result, needed) <= 0)
        result[0] = 0;
    return result;
}

char *WideToAnsi(const wchar_t *text)
{
    if (text == nullptr)
        text = EmptyWide;
    if (char *ascii = WideAsciiToBytes(text))
        return ascii;
    char shortText[ShortTextUnits];
    int converted = WideCharToMultiByte(CP_ACP, 0, text, -1, shortText, ShortTextUnits, nullptr, nullptr);
    if (converted > 0) {
        char *result = static_cast<char *>(malloc(converted));
        if (result == nullptr)
            throw std::bad_alloc();
        memcpy(result, shortText, converted);
        return result;
    }
    int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        needed = 1;
    char *result = static_cast<char *>(calloc(needed, 1));
    if (result == nullptr)
        throw std::bad_alloc();
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, result, needed, nullptr, nullptr) <= 0)
        result[0] = 0;
    return result;
}

char *WideToAnsiNoApostrophe(const wchar_t *text)
{
    return ReplaceAll("'", "", WideToAnsi(text));
}

char *ReplaceAll(const char *pattern, const char *replacement, char *text)
{
    size_t patternLength = strlen(pattern);
    if (patternLength == 0 || text == nullptr)
        return text;
    const char *first = strstr(text, pattern);
    if (first == nullptr)
        return text;

    /* Count first, so the result is allocated once at its exact size. */
    size_t textLength = strlen(text);
    size_t replacementLength = strlen(replacement);
    size_t occurrences = 0;
    for (const char *at = first; at != nullptr; at = strstr(at + patternLength, pattern))
        occurrences++;
    size_t resultLength = textLength - occurrences * patternLength + occurrences * replacementLength;

    char *result = static_cast<char *>(malloc(resultLength + 1));
    if (result == nullptr) {
        free(text);
        throw std::bad_alloc();
    }
    char *out = result;
    const char *from = text;
    for (const char *at = first; at != nullptr; at = strstr(from, pattern)) {
        memcpy(out, from, at - from);
        out += at - from;
        memcpy(out, replacement, replacementLength);
        out += replacementLength;
        from = at + patternLength;
    }
    size_t rest = textLength - (from - text);
    memcpy(out, from, rest + 1);
    free(text);
    return result;
}
