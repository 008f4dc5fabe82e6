/*
** UTF-8 <-> UTF-16 conversion for the stand-in: task files and the call record are
** UTF-8, the host interface is UTF-16. Invalid input is replaced, never rejected.
*/
#ifndef STANDIN_TEXT_UTF_H
#define STANDIN_TEXT_UTF_H

#include <string>

std::wstring Utf8ToWide(const std::string &text);
std::string WideToUtf8(const std::wstring &text);
/* A null pointer converts like an empty string. */
std::string WideToUtf8(const wchar_t *text);

#endif
