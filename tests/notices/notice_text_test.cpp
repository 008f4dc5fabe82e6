/*
** The notice's text functions called directly, for what the host record cannot show: the
** replacement rule itself, the empty message, a lone surrogate and a very long message.
*/
#include <gtest/gtest.h>

#include <string>

#include "notice_fixture.h"
#include "popup_notice.h"
#include "xml_check.h"

namespace {

struct ReplaceRow {
    const char *name;
    const wchar_t *text, *from, *to, *result;
};

void PrintTo(const ReplaceRow &row, std::ostream *os)
{
    *os << row.name;
}

static const ReplaceRow ReplaceRows[] = {
    {"inserted_text_not_searched_again", L"a&&b&", L"&", L"&amp;", L"a&amp;&amp;b&amp;"},
    {"replacement_holds_the_pattern", L"xax", L"a", L"aa", L"xaax"},
    {"left_to_right_without_overlap", L"aaaaa", L"aa", L"b", L"bba"},
    {"join_after_replacement_not_matched", L"aabb", L"ab", L"", L"ab"},
    {"empty_pattern_changes_nothing", L"abc", L"", L"x", L"abc"},
    {"pattern_longer_than_text", L"ab", L"abc", L"x", L"ab"},
    {"replaced_by_nothing", L"-a-b-", L"-", L"", L"ab"},
    {"empty_text", L"", L"a", L"b", L""},
};

class ReplaceAllWideRows : public ::testing::TestWithParam<ReplaceRow> {};

TEST_P(ReplaceAllWideRows, Replaces)
{
    const ReplaceRow &row = GetParam();
    std::wstring text = row.text;
    ReplaceAllWide(text, row.from, row.to);
    EXPECT_EQ(row.result, text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceAllWideRows, ::testing::ValuesIn(ReplaceRows),
                         [](const ::testing::TestParamInfo<ReplaceRow> &info) { return std::string(info.param.name); });

TEST(NoticeXaml, EmptyMessageLeavesNothingBetweenTheTextBlockTags)
{
    std::wstring xaml = BuildNoticeXaml(L"");
    EXPECT_EQ(L"", TextBlockContent(xaml));
    EXPECT_TRUE(ParseNoticeXaml(xaml).wellFormed);
    EXPECT_EQ(xaml, BuildNoticeXaml(nullptr));
}

TEST(NoticeXaml, UnpairedSurrogatesBecomeReplacementCharacters)
{
    const wchar_t message[] = {L'a', 0xD800, L'b', 0xDC00, 0xD83D, 0xDE00, 0xDBFF, 0};
    const wchar_t expected[] = {L'a', 0xFFFD, L'b', 0xFFFD, 0xD83D, 0xDE00, 0xFFFD, 0};
    EXPECT_EQ(expected, TextBlockContent(BuildNoticeXaml(message)));
}

TEST(NoticeXaml, HundredThousandAmpersandsAreEachEscapedOnce)
{
    std::wstring message(100000, L'&');
    std::wstring content = TextBlockContent(BuildNoticeXaml(message.c_str()));
    ASSERT_EQ(500000u, content.size());
    for (size_t i = 0; i < content.size(); i += 5)
        ASSERT_EQ(0, content.compare(i, 5, L"&amp;")) << "at " << i;
}

} // namespace
