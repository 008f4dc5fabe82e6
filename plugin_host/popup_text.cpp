/*
** Reading a popup notice's XAML for people: find the TextBlock's content and decode the
** five named XML entities and numeric character references.
*/
#include "popup_text.h"

#include <cwchar>

namespace {

/* Decodes &amp; &lt; &gt; &apos; &quot; &#NN; &#xHH;. An unknown or broken entity is
   kept as it stands. */
std::wstring DecodeEntities(const std::wstring &text)
{
    static const struct {
        const wchar_t *name;
        wchar_t ch;
    } named[] = {{L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"apos", L'\''}, {L"quot", L'"'}};
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t semi = text[i] == L'&' ? text.find(L';', i) : std::wstring::npos;
        if (semi == std::wstring::npos || semi - i > 10) {
            out += text[i];
            continue;
        }
        std::wstring entity = text.substr(i + 1, semi - i - 1);
        bool decoded = false;
        for (const auto &n : named)
            if (entity == n.name) {
                out += n.ch;
                decoded = true;
            }
        if (!decoded && entity.size() > 1 && entity[0] == L'#') {
            bool hex = entity[1] == L'x' || entity[1] == L'X';
            std::wstring digits = entity.substr(hex ? 2 : 1);
            wchar_t *end = nullptr;
            unsigned long code = digits.empty() ? 0 : wcstoul(digits.c_str(), &end, hex ? 16 : 10);
            if (!digits.empty() && end && *end == 0 && code > 0 && code <= 0x10FFFF) {
                if (code >= 0x10000) {
                    code -= 0x10000;
                    out += (wchar_t)(0xD800 + (code >> 10));
                    out += (wchar_t)(0xDC00 + (code & 0x3FF));
                } else {
                    out += (wchar_t)code;
                }
                decoded = true;
            }
        }
        if (decoded)
            i = semi;
        else
            out += text[i];
    }
    return out;
}

} // namespace

std::wstring ReadablePopupText(const std::wstring &xaml)
{
    size_t open = xaml.find(L"<TextBlock");
    size_t start = open == std::wstring::npos ? std::wstring::npos : xaml.find(L'>', open);
    size_t close = start == std::wstring::npos ? std::wstring::npos : xaml.find(L"</TextBlock>", start);
    if (close == std::wstring::npos)
        return DecodeEntities(xaml);
    std::wstring content = xaml.substr(start + 1, close - start - 1);
    while (!content.empty() && content.back() == L' ')
        content.pop_back();
    return DecodeEntities(content);
}
