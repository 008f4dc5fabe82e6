/*
** Bridges between the host's UTF-16 strings and the byte strings (system ANSI code page)
** in which the plug-ins assemble, search and cut all task text.
**
** The functions that return a pointer return a new heap buffer (malloc) that the caller
** releases with free(); wrap it at once in AnsiText / WideText. The ...Into forms fill a
** string the caller keeps. A null input is taken as the empty string.
*/
#ifndef FRAME_TEXT_CONVERT_H
#define FRAME_TEXT_CONVERT_H

#include <cstdlib>
#include <memory>
#include <string>

/* The capacity, in bytes or UTF-16 units, that the design gives its text buffers. The
   conversions below size their results to the text instead, so a longer text is carried
   whole; the constant remains the limit of a calendar line portion on reading. */
const int TextCapacity = 32767;

struct FreeDeleter {
    void operator()(void *memory) const { free(memory); }
};
typedef std::unique_ptr<char, FreeDeleter> AnsiText;
typedef std::unique_ptr<wchar_t, FreeDeleter> WideText;

/* Byte string (CP_ACP) to UTF-16. Never null: empty when the input is not convertible. */
wchar_t *AnsiToWide(const char *text);

/* UTF-16 to byte string (CP_ACP). A character the code page lacks becomes its best-fit
   character or the default character, as the platform converts without flags. */
char *WideToAnsi(const wchar_t *text);

/* WideToAnsi with every apostrophe (byte 0x27) removed. */
char *WideToAnsiNoApostrophe(const wchar_t *text);

/* The same three conversions into a string that the caller keeps, so that a command
   converting a text per task or event reuses its room instead of allocating each time.
   A null input gives the empty text. */
void AnsiToWideInto(const char *text, std::wstring *out);
void WideToAnsiInto(const wchar_t *text, std::string *out);
void WideToAnsiNoApostropheInto(const wchar_t *text, std::string *out);

/* Replaces every occurrence of pattern (not empty) in text by replacement, left to right
   in one pass. Takes over text, which must come from malloc: returns that very buffer
   when nothing matches, else a new one holding exactly the result (the old one is
   freed). The result equals that of replacing the first occurrence over and over as long
   as a replacement cannot join its neighbours into a new occurrence, which holds for the
   one use, a one-byte pattern that the replacement lacks. */
char *ReplaceAll(const char *pattern, const char *replacement, char *text);

#endif /* FRAME_TEXT_CONVERT_H */
