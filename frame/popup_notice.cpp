/*
** ShowPopupNotice: escapes the message for XML, places it in the notice's XAML and hands
** that to the host. A notice that fails (out of memory, an exception raised by the host)
** is simply not shown: its callers go on with their work.
*/
#include "popup_notice.h"

#include <cwchar>

#include "command_guard.h"
#include "zv_plugins.h"

/* How long the host shows the notice, in milliseconds. */
static const int NoticeShowMilliseconds = 3000;

/* The fixed layout around the message. Attribute values stand in single quotes, so the
   apostrophe is escaped in the message as well as the quotation mark. */
static const wchar_t NoticeHead[] =
    L"<Border xmlns='http://schemas.microsoft.com/winfx/2006/xaml/presentation'"
    L" xmlns:x='http://schemas.microsoft.com/winfx/2006/xaml'"
    L" VerticalAlignment='Center' HorizontalAlignment='Center' Padding='4' BorderThickness='1'"
    L" BorderBrush='#767676' MaxWidth='212'>"
    L" <Border.Background>"
    L"  <LinearGradientBrush StartPoint='0, 0' EndPoint='0, 1'>"
    L"   <GradientStop Color='#ffffff' Offset='0'/>"
    L"   <GradientStop Color='#c9d9ef' Offset='1'/>"
    L"  </LinearGradientBrush>"
    L" </Border.Background>"
    L" <StackPanel TextBlock.FontFamily='Tahoma'>"
    L"  <TextBlock Padding='9, 6, 30, 7' TextWrapping='Wrap'>";
static const wchar_t NoticeTail[] =
    L"  </TextBlock>"
    L" </StackPanel>"
    L"</Border>";

/* The escaping passes, in order. The ampersand goes first so that the entities the later
   passes insert keep their own ampersand; "\r\n" goes before "\n" so that either line
   break becomes one XML line feed, which the text block shows as a new line. */
static const struct {
    const wchar_t *from;
    const wchar_t *to;
} EscapePasses[] = {
    {L"&", L"&amp;"},  {L"<", L"&lt;"},     {L">", L"&gt;"},      {L"'", L"&apos;"},
    {L"\"", L"&quot;"}, {L"\r\n", L"&#x0a;"}, {L"\n", L"&#x0a;"},
};

/* One pass builds the result in a second string: every unit of text is looked at once
   per unit of from, whatever the number of replacements. */
void ReplaceAllWide(std::wstring &text, const wchar_t *from, const wchar_t *to)
{
    size_t fromLength = wcslen(from);
    if (fromLength == 0)
        return;
    size_t found = text.find(from, 0, fromLength);
    if (found == std::wstring::npos)
        return;
    std::wstring result;
    result.reserve(text.size());
    size_t copied = 0;
    while (found != std::wstring::npos) {
        result.append(text, copied, found - copied);
        result.append(to);
        copied = found + fromLength;
        found = text.find(from, copied, fromLength);
    }
    result.append(text, copied, std::wstring::npos);
    text.swap(result);
}

/* XML 1.0 allows neither these characters nor references to them (control characters
   other than tab and the line breaks, unpaired surrogates, U+FFFE and U+FFFF): one in a
   title would make the whole notice unreadable to the host's XAML parser. Each becomes
   U+FFFD, the mark for a character that cannot be shown. */
static void MarkCharactersOutsideXml(std::wstring &text)
{
    const wchar_t Replacement = 0xFFFD;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c < 0x20) {
            if (c != L'\t' && c != L'\n' && c != L'\r')
                text[i] = Replacement;
        } else if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
                ++i; /* a whole pair: a character beyond the first plane */
            else
                text[i] = Replacement;
        } else if ((c >= 0xDC00 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) {
            text[i] = Replacement;
        }
    }
}

std::wstring BuildNoticeXaml(const wchar_t *message)
{
    std::wstring escaped = message ? message : L"";
    MarkCharactersOutsideXml(escaped);
    for (const auto &pass : EscapePasses)
        ReplaceAllWide(escaped, pass.from, pass.to);
    std::wstring xaml;
    xaml.reserve(wcslen(NoticeHead) + escaped.size() + wcslen(NoticeTail));
    xaml.append(NoticeHead).append(escaped).append(NoticeTail);
    return xaml;
}

/* The XAML being handed to the host: RunGuarded takes a command without arguments. */
static const wchar_t *PendingXaml;

static void HandXamlToHost()
{
    AddinZV_ShowPopupCustom(PendingXaml, NoticeShowMilliseconds);
}

void ShowPopupNotice(const wchar_t *message)
{
    try {
        std::wstring xaml = BuildNoticeXaml(message);
        /* The host's call is the only one that can raise here; the guard keeps its
           exception from skipping the release of xaml. */
        PendingXaml = xaml.c_str();
        RunGuarded(HandXamlToHost);
        PendingXaml = nullptr;
    } catch (...) {
        /* Out of memory for the XAML: the notice is not shown. */
    }
}
