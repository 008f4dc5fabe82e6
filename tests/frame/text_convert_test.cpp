/*
** The text bridges under a real ANSI code page: this program is built twice, once for
** code page 1252 and once for 1251 (LC_ALL=ru_RU.UTF-8), and each build runs the rows of
** its own code page.
*/
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "text_convert.h"

#ifndef EXPECTED_CODE_PAGE
#error "EXPECTED_CODE_PAGE names the code page this build is run under"
#endif

namespace {

struct ConversionRow {
    const char *name;
    unsigned codePage;
    const wchar_t *wide;
    const char *ansi;            /* WideToAnsi */
    const char *withoutApostrophe; /* WideToAnsiNoApostrophe */
    bool roundTrips;             /* AnsiToWide(ansi) == wide */
};

void PrintTo(const ConversionRow &row, std::ostream *out) { *out << row.name; }

const ConversionRow ConversionRows[] = {
    {"Empty1252", 1252, L"", "", "", true},
    {"Empty1251", 1251, L"", "", "", true},
    {"DontLosesApostrophe", 1252, L"Don't", "Don't", "Dont", true},
    {"OnlyApostrophes", 1252, L"'''", "'''", "", true},
    {"ApostrophesAtEdgesAndSideBySide", 1252, L"'a''b'", "'a''b'", "ab", true},
    {"PathKeepsApostropheInWideToAnsi", 1252, L"C:\\Data\\O'Neil\\tasks.ics", "C:\\Data\\O'Neil\\tasks.ics",
     "C:\\Data\\ONeil\\tasks.ics", true},
    {"RightQuoteIsNoApostrophe1252", 1252, L"Don\x2019t", "Don\x92t", "Don\x92t", true},
    {"RightQuoteIsNoApostrophe1251", 1251, L"Don\x2019t", "Don\x92t", "Don\x92t", true},
    {"AccentsIn1252", 1252, L"Caf\xE9 cr\xE8me", "Caf\xE9 cr\xE8me", "Caf\xE9 cr\xE8me", true},
    /* Привет, мир' : the Cyrillic letters are single bytes of code page 1251 */
    {"CyrillicIn1251", 1251, L"\x041F\x0440\x0438\x0432\x0435\x0442, \x043C\x0438\x0440'",
     "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0'", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0", true},
    /* 中 (U+4E2D) exists in neither code page: it becomes the default character */
    {"IdeographBecomesDefault1251", 1251, L"a\x4E2D" L"b", "a?b", "a?b", false},
    {"IdeographBecomesDefault1252", 1252, L"a\x4E2D" L"b", "a?b", "a?b", false},
};

std::vector<ConversionRow> RowsOfThisCodePage()
{
    std::vector<ConversionRow> rows;
    for (const ConversionRow &row : ConversionRows)
        if (row.codePage == EXPECTED_CODE_PAGE)
            rows.push_back(row);
    return rows;
}

class Conversion : public testing::TestWithParam<ConversionRow> {};

TEST(CodePage, TheEnvironmentReachedTheProcess)
{
    ASSERT_EQ(GetACP(), static_cast<UINT>(EXPECTED_CODE_PAGE));
}

TEST_P(Conversion, BothDirections)
{
    const ConversionRow &row = GetParam();
    AnsiText ansi(WideToAnsi(row.wide));
    EXPECT_STREQ(ansi.get(), row.ansi);
    AnsiText stripped(WideToAnsiNoApostrophe(row.wide));
    EXPECT_STREQ(stripped.get(), row.withoutApostrophe);
    WideText back(AnsiToWide(ansi.get()));
    if (row.roundTrips)
        EXPECT_STREQ(back.get(), row.wide);
    else
        EXPECT_STRNE(back.get(), row.wide);
}

INSTANTIATE_TEST_SUITE_P(ThisCodePage, Conversion, testing::ValuesIn(RowsOfThisCodePage()),
                         [](const testing::TestParamInfo<ConversionRow> &info) { return info.param.name; });

TEST(Conversion, NullInputIsTheEmptyText)
{
    AnsiText ansi(WideToAnsi(nullptr));
    WideText wide(AnsiToWide(nullptr));
    EXPECT_STREQ(ansi.get(), "");
    EXPECT_STREQ(wide.get(), L"");
}

/* Longer than the design's fixed capacity of 32767: converted whole, in both directions. */
TEST(Conversion, TextLongerThanTheCapacityIsCarriedWhole)
{
    std::wstring title(40000, L'x');
    title[39999] = L'\'';
    title[20000] = L'y';
    AnsiText ansi(WideToAnsiNoApostrophe(title.c_str()));
    ASSERT_EQ(strlen(ansi.get()), 39999u);
    EXPECT_EQ(ansi.get()[20000], 'y');
    WideText back(AnsiToWide(ansi.get()));
    EXPECT_EQ(std::wstring(back.get()), title.substr(0, 39999));
}

/* ASCII text is copied without the platform's help: every character on both sides of
   that boundary, alone and among ASCII, must still come out as the platform converts
   it in this code page (best-fit and default characters included). */
TEST(Conversion, EveryCharacterConvertsAsThePlatformConvertsIt)
{
    for (unsigned unit = 1; unit < 0x180; unit++) {
        std::wstring wide = std::wstring(L"ab") + static_cast<wchar_t>(unit) + L"c";
        char expected[16] = {};
        ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, expected, sizeof expected, nullptr, nullptr), 0);
        AnsiText ansi(WideToAnsi(wide.c_str()));
        EXPECT_STREQ(ansi.get(), expected) << "unit " << unit;
    }
    for (unsigned byte = 1; byte < 0x100; byte++) {
        const char bytes[] = {'a', 'b', static_cast<char>(byte), 'c', 0};
        wchar_t expected[16] = {};
        ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, bytes, -1, expected, 16), 0);
        WideText wide(AnsiToWide(bytes));
        EXPECT_STREQ(wide.get(), expected) << "byte " << byte;
    }
}

/* Short texts convert through a fixed buffer and longer ones by asking for their size
   first: every length around that buffer's capacity comes back whole, both ways. */
TEST(Conversion, LengthsAroundTheShortTextBufferConvertWhole)
{
    for (size_t length = 505; length <= 520; length++) {
        std::wstring wide(length, L'w');
        wide[length - 1] = L'\xA9'; /* ©, in both code pages: the last character must not be cut either */
        AnsiText ansi(WideToAnsi(wide.c_str()));
        ASSERT_EQ(strlen(ansi.get()), length) << "length " << length;
        WideText back(AnsiToWide(ansi.get()));
        EXPECT_EQ(std::wstring(back.get()), wide) << "length " << length;
    }
}

TEST(ReplaceAll, NoOccurrenceReturnsTheVeryBuffer)
{
    char *text = static_cast<char *>(malloc(64));
    strcpy(text, "no apostrophe here");
    char *result = ReplaceAll("'", "", text);
    EXPECT_EQ(result, text);
    EXPECT_STREQ(result, "no apostrophe here");
    free(result);
}

TEST(ReplaceAll, EveryOccurrenceLeftToRight)
{
    char *text = strdup("a--b--c----");
    AnsiText result(ReplaceAll("--", "+", text));
    EXPECT_STREQ(result.get(), "a+b+c++");
}

TEST(ReplaceAll, OneHundredThousandApostrophesAreAllRemoved)
{
    std::string text(100000, '\'');
    text += "end";
    AnsiText result(ReplaceAll("'", "", strdup(text.c_str())));
    EXPECT_STREQ(result.get(), "end");
}

} // namespace
