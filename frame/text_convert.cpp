/*
** Text conversion between UTF-16 and the system ANSI code page, and the byte-string
** ReplaceAll that removes apostrophes. Results are sized to their text: a title of any
** length converts whole and nothing is ever written past a buffer. The conversions are
** made into a caller's string; the functions that return heap buffers copy from one.
*/
#include "text_convert.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <type_traits>

/* Units and bytes below 0x80 are ASCII in every ANSI code page Windows uses, and they
   convert one for one: a text of them alone is copied without asking the platform,
   which is most UIDs, times and titles, several times an event or task.
   CopiedAsAscii measures text into *length and, when it is all ASCII (a null text
   counts as empty), copies it to out and returns true; otherwise out is left empty. */
template <class From, class To>
static bool CopiedAsAscii(const From *text, std::basic_string<To> *out, size_t *length)
{
    out->clear();
    *length = 0;
    if (text == nullptr)
        return true;
    bool ascii = true;
    for (; text[*length] != 0; ++*length)
        ascii = ascii && static_cast<typename std::make_unsigned<From>::type>(text[*length]) < 0x80;
    if (ascii) {
        out->resize(*length);
        for (size_t i = 0; i < *length; i++)
            (*out)[i] = static_cast<To>(text[i]);
    }
    return ascii;
}

/* Any other text converts in one call into room for its longest result (a unit makes at
   most three bytes, in a UTF-8 code page; a byte at most one unit); only a text too
   long for that room to be counted in an int is measured first. */
void WideToAnsiInto(const wchar_t *text, std::string *out)
{
    size_t length;
    if (CopiedAsAscii(text, out, &length))
        return;
    int units = length <= INT_MAX / 3 ? static_cast<int>(length) : -1;
    int room = units > 0 ? 3 * units
                         : WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (room <= 0)
        return;
    out->resize(room);
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &(*out)[0], room, nullptr, nullptr);
    out->resize(bytes > 0 ? bytes : 0);
}

void WideToAnsiNoApostropheInto(const wchar_t *text, std::string *out)
{
    WideToAnsiInto(text, out);
    out->erase(std::remove(out->begin(), out->end(), '\''), out->end());
}

void AnsiToWideInto(const char *text, std::wstring *out)
{
    size_t length;
    if (CopiedAsAscii(text, out, &length))
        return;
    if (length > INT_MAX)
        return;
    out->resize(length);
    int units = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), &(*out)[0], static_cast<int>(length));
    out->resize(units > 0 ? units : 0);
}

/* A heap copy (malloc) of a converted text, terminator included. */
template <class Unit>
static Unit *HeapCopy(const std::basic_string<Unit> &text)
{
    Unit *copy = static_cast<Unit *>(malloc((text.size() + 1) * sizeof(Unit)));
    if (copy == nullptr)
        throw std::bad_alloc();
    memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(Unit));
    return copy;
}

wchar_t *AnsiToWide(const char *text)
{
    std::wstring wide;
    AnsiToWideInto(text, &wide);
    return HeapCopy(wide);
}

char *WideToAnsi(const wchar_t *text)
{
    std::string bytes;
    WideToAnsiInto(text, &bytes);
    return HeapCopy(bytes);
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
