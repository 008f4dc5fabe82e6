/*
** Reading a popup notice's XAML back as the text a user sees.
*/
#include <gtest/gtest.h>

#include "popup_text.h"

namespace {

struct PopupTextRow {
    const char *name;
    const wchar_t *xaml;
    const wchar_t *text;
};

void PrintTo(const PopupTextRow &row, std::ostream *os)
{
    *os << row.name;
}

const PopupTextRow kPopupTexts[] = {
    {"text_block_content_only",
     L"<Border xmlns='x'> <StackPanel>  <TextBlock Padding='9, 6, 30, 7' TextWrapping='Wrap'>Task changed:"
     L"&#x0a;&#x0a;Plan  </TextBlock> </StackPanel></Border>",
     L"Task changed:\n\nPlan"},
    {"named_entities", L"<TextBlock>&amp;lt; &lt;&gt;&apos;&quot;</TextBlock>", L"&lt; <>'\""},
    {"numeric_references", L"<TextBlock>&#65;&#x42;&#x1F600;</TextBlock>", L"AB\U0001F600"},
    {"broken_entities_stay", L"<TextBlock>a & b &bogus; &#xZZ; &</TextBlock>", L"a & b &bogus; &#xZZ; &"},
    {"empty_message", L"<TextBlock a='1'>  </TextBlock>", L""},
    {"no_text_block", L"plain &amp; simple", L"plain & simple"},
};

class ReadablePopup : public testing::TestWithParam<PopupTextRow> {};

TEST_P(ReadablePopup, DecodesTheTextBlock)
{
    EXPECT_EQ(ReadablePopupText(GetParam().xaml), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadablePopup, testing::ValuesIn(kPopupTexts),
                         [](const testing::TestParamInfo<PopupTextRow> &info) { return info.param.name; });

} // namespace
