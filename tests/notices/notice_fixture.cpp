/*
** The notice tests' fixture: loading the deliverables and the task file, and reading the
** stand-in's record of popups and calls.
*/
#include "notice_fixture.h"

#include <cstdio>

#include "standin_control.h"
#include "test_support.h"

void NoticeTest::SetUp()
{
    ASSERT_TRUE(BothLoaded());
    /* Every test starts in English, whatever the test before it set. */
    Writer().SetLanguage(L"");
    Reader().SetLanguage(L"");
    StandIn_FailOnCall(nullptr, 0, 0);
    ClearHarnessRecord();
}

void NoticeTest::LoadTasks(const std::string &utf8Json)
{
    ASSERT_EQ(1, StandIn_LoadTaskJson(utf8Json.c_str())) << StandIn_LastError();
    ClearHarnessRecord();
}

std::vector<std::wstring> NoticeTest::PopupXamls()
{
    std::vector<std::wstring> xamls;
    for (int i = 0; i < StandIn_PopupCount(); ++i)
        xamls.push_back(Wide(StandIn_PopupXaml(i)));
    return xamls;
}

std::vector<std::string> NoticeTest::CallsTo(const std::string &prefix)
{
    std::vector<std::string> calls;
    for (const std::string &call : RecordedCalls())
        if (call.compare(0, prefix.size(), prefix) == 0)
            calls.push_back(call);
    return calls;
}

std::wstring TextBlockContent(const std::wstring &xaml)
{
    static const wchar_t Open[] = L"<TextBlock Padding='9, 6, 30, 7' TextWrapping='Wrap'>";
    static const wchar_t Close[] = L"  </TextBlock> </StackPanel></Border>";
    size_t start = xaml.find(Open);
    size_t close = xaml.rfind(Close);
    if (start == std::wstring::npos || close == std::wstring::npos || close + wcslen(Close) != xaml.size())
        return L"<no text block in: " + xaml + L">";
    start += wcslen(Open);
    return xaml.substr(start, close - start);
}

std::string JsonString(const std::wstring &text)
{
    std::string out = "\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) {
            /* Escaped, so that a lone surrogate reaches the stand-in as it is. */
            char unit[8];
            snprintf(unit, sizeof unit, "\\u%04X", (unsigned)c);
            out += unit;
        } else {
            out += Utf8(std::wstring(1, c));
        }
    }
    return out + "\"";
}
