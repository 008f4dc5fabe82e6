/*
** UTF-8 <-> UTF-16 conversion with the two-call MultiByteToWideChar idiom: the first
** call measures, the second fills a buffer of exactly that size.
*/
#include "text_utf.h"

#include <windows.h>

std::wstring Utf8ToWide(const std::string &text)
{
    if (text.empty())
        return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(units, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &wide[0], units);
    return wide;
}

std::string WideToUtf8(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string narrow(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &narrow[0], bytes, nullptr, nullptr);
    return narrow;
}

std::string WideToUtf8(const wchar_t *text)
{
    return text ? WideToUtf8(std::wstring(text)) : std::string();
}
