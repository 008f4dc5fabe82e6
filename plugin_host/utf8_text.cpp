/*
** Utf8 and Wide: the two-call conversion idiom with code page CP_UTF8; malformed input
** becomes U+FFFD, as the platform converts without flags.
*/
#include "utf8_text.h"

#include <windows.h>

std::string Utf8(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], bytes, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string &utf8)
{
    if (utf8.empty())
        return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring out(units > 0 ? units : 0, L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &out[0], units);
    return out;
}
