/*
** The popup notice as the host receives it from ics_writer (through its task-change
** notice, whose title can be any text): the XAML byte for byte, the escaping of every
** kind of message, and that a real XML parser reads the message back.
*/
#include <gtest/gtest.h>

#include <string>

#include "notice_fixture.h"
#include "standin_control.h"
#include "test_support.h"
#include "xml_check.h"

namespace {

const wchar_t PresentationNamespace[] = L"http://schemas.microsoft.com/winfx/2006/xaml/presentation";

std::wstring GoldenPath(const char *name)
{
    /* The source tree, seen through Wine's drive for the Unix root. */
    return L"Z:" + Wide(NOTICE_GOLDEN_DIR) + L"/" + Wide(name);
}

/* The task-change notice for a task titled title, as the writer shows it. */
class PopupNoticeTest : public NoticeTest {
protected:
    static std::wstring NoticeXamlForTitle(const std::wstring &title)
    {
        LoadTasks("{\"tasks\":[{\"uid\":\"T1\",\"title\":" + JsonString(title) + "}]}");
        Writer().ChangedTask(L"T1");
        std::vector<std::wstring> xamls = PopupXamls();
        return xamls.size() == 1 ? xamls[0] : L"<" + std::to_wstring(xamls.size()) + L" popups>";
    }
};

TEST_F(PopupNoticeTest, TaskChangeWithAmpersandMatchesGoldenXamlAndIsShownFor3000)
{
    std::string golden = ReadFileBytes(GoldenPath("task_changed_ampersand.xaml"));
    ASSERT_FALSE(golden.empty()) << "golden file missing";
    LoadTasks(R"({"tasks":[{"uid":"T1","title":"Q3 report & review"}]})");
    Writer().ChangedTask(L"T1");

    ASSERT_EQ(1, StandIn_PopupCount());
    EXPECT_EQ(golden, StandIn_PopupXaml(0));
    EXPECT_EQ(3000, StandIn_PopupMilliseconds(0));
    EXPECT_EQ(std::vector<std::string>{"AddinZV_ShowPopupCustom(\"" + golden + "\", 3000)"},
              CallsTo("AddinZV_ShowPopupCustom"));
}

struct EscapeRow {
    const char *name;
    const wchar_t *title;
    const wchar_t *escaped; /* the title as it stands in the XAML */
    const wchar_t *shown = nullptr; /* the title as the parser reads it back, when not the title */
};

void PrintTo(const EscapeRow &row, std::ostream *os)
{
    *os << row.name;
}

/* Line breaks in a parsed document: XML turns "\r\n" and a lone "\r" into "\n". */
std::wstring NormalizeLineBreaks(const std::wstring &text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            out += L'\n';
            if (i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

static const EscapeRow EscapeRows[] = {
    {"plain", L"Plan", L"Plan"},
    {"every_markup_character", L"<b class=\"x\">Tom's & Jerry's</b>",
     L"&lt;b class=&quot;x&quot;&gt;Tom&apos;s &amp; Jerry&apos;s&lt;/b&gt;"},
    {"entity_text_shown_literally", L"&amp; &lt; &#x0a; &#65; &bogus;",
     L"&amp;amp; &amp;lt; &amp;#x0a; &amp;#65; &amp;bogus;"},
    {"quotes_inside_words", L"it's a \"so-called\" plan", L"it&apos;s a &quot;so-called&quot; plan"},
    {"apostrophe_ending_attribute_would_break_out", L"' Offset='1", L"&apos; Offset=&apos;1"},
    {"closing_tags_cannot_end_the_block", L"  </TextBlock></StackPanel></Border><x>",
     L"  &lt;/TextBlock&gt;&lt;/StackPanel&gt;&lt;/Border&gt;&lt;x&gt;"},
    {"cdata_and_comment_markers", L"<![CDATA[x]]> <!-- c --> <?pi?>",
     L"&lt;![CDATA[x]]&gt; &lt;!-- c --&gt; &lt;?pi?&gt;"},
    {"lone_line_feed", L"a\nb", L"a&#x0a;b"},
    {"crlf", L"a\r\nb", L"a&#x0a;b"},
    {"cr_before_crlf_stays", L"a\r\r\nb", L"a\r&#x0a;b"},
    {"lone_cr_stays", L"a\rb", L"a\rb"},
    {"lf_cr", L"a\n\rb", L"a&#x0a;\rb"},
    {"breaks_at_both_ends", L"\r\n\nmiddle\n\r\n", L"&#x0a;&#x0a;middle&#x0a;&#x0a;"},
    {"tab_kept", L"a\tb", L"a\tb"},
    {"empty_title", L"", L""},
    {"cyrillic_and_beyond_first_plane", L"Задача \U0001F600 ©", L"Задача \U0001F600 ©"},
    /* Characters XML cannot carry, even as references, would make the whole notice
       unreadable: each is shown as U+FFFD. */
    {"control_characters", L"a\x01" L"b\x0B" L"c\x1F" L"d\x7F" L"e", L"a\xFFFD" L"b\xFFFD" L"c\xFFFD" L"d\x7F" L"e",
     L"a\xFFFD" L"b\xFFFD" L"c\xFFFD" L"d\x7F" L"e"},
    {"noncharacters", L"a\xFFFE" L"b\xFFFF", L"a\xFFFD" L"b\xFFFD", L"a\xFFFD" L"b\xFFFD"},
};

class PopupEscaping : public PopupNoticeTest, public ::testing::WithParamInterface<EscapeRow> {};

TEST_P(PopupEscaping, EscapesTheMessageAndParsesBackToIt)
{
    const EscapeRow &row = GetParam();
    std::wstring xaml = NoticeXamlForTitle(row.title);

    EXPECT_EQ(std::wstring(L"Task changed:&#x0a;&#x0a;") + row.escaped, TextBlockContent(xaml));
    EXPECT_EQ(std::wstring::npos, xaml.find(L'\n')) << "the XAML is one line";

    ParsedNotice parsed = ParseNoticeXaml(xaml);
    ASSERT_TRUE(parsed.wellFormed) << parsed.error;
    EXPECT_EQ(L"Border", parsed.rootName);
    EXPECT_EQ(PresentationNamespace, parsed.rootNamespace);
    EXPECT_EQ(1, parsed.textBlockCount);
    /* The host reads back exactly what the user typed, line breaks as XML has them; the
       two blanks are the template's, before the closing tag. */
    std::wstring shown = row.shown ? row.shown : row.title;
    EXPECT_EQ(L"Task changed:\n\n" + NormalizeLineBreaks(shown) + L"  ", parsed.textBlockText);
}

INSTANTIATE_TEST_SUITE_P(Messages, PopupEscaping, ::testing::ValuesIn(EscapeRows),
                         [](const ::testing::TestParamInfo<EscapeRow> &info) { return std::string(info.param.name); });

} // namespace
