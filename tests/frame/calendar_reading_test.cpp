/*
** How a calendar file's bytes become lines for the reader: the encoding from the first
** bytes, CR LF folded, 0x1A ending the content, malformed UTF-8 replaced, long lines in
** bounded portions, and every case that straddles the reader's 64 KiB refills.
*/
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "calendar_file.h"
#include "test_support.h"

namespace {

/* All lines of the file, each with its "\n" where it had one. */
std::vector<std::wstring> ReadAllLines(const std::wstring &path)
{
    std::vector<std::wstring> lines;
    EXPECT_EQ(OpenCalendarForRead(path.c_str()), CalendarOpened);
    std::vector<wchar_t> line(CalendarLinePortion + 1);
    while (size_t length = ReadCalendarLine(line.data())) {
        EXPECT_EQ(line[length], L'\0');
        lines.emplace_back(line.data(), length);
    }
    CloseCalendarFile();
    return lines;
}

struct DecodingRow {
    const char *name;
    std::string bytes;
    std::vector<std::wstring> lines;
};

void PrintTo(const DecodingRow &row, std::ostream *out) { *out << row.name; }

const DecodingRow DecodingRows[] = {
    {"Utf8WithMark", "\xEF\xBB\xBF" "A:1\r\nB:\xC3\xA9\r\n", {L"A:1\n", L"B:\xE9\n"}},
    {"Utf8WithoutMark", "A:1\nB:\xC3\xA9", {L"A:1\n", L"B:\xE9"}},
    {"Utf16LittleEndian", std::string("\xFF\xFE" "A\0:\0\r\0\n\0\x14\x04\n\0", 14), {L"A:\n", L"\x0414\n"}},
    {"LoneCarriageReturnIsText", "A\rB\r\r\nC\r", {L"A\rB\r\n", L"C\r"}},
    {"SubstituteEndsTheContent", "A\r\nB\x1A" "C\r\nD\r\n", {L"A\n", L"B"}},
    {"SubstituteInUtf16", std::string("\xFF\xFE" "A\0\x1A\0B\0", 8), {L"A"}},
    {"OddByteAfterUtf16Mark", std::string("\xFF\xFE" "A\0B", 5), {L"A\xFFFD"}},
    /* a cut sequence, a stray continuation byte, an impossible lead byte (C0) followed by
       a stray one, an encoded surrogate (one replacement for the whole sequence) */
    {"MalformedUtf8IsReplaced", "\xC3" "A\x80" "B\xC0\xAF" "C\xED\xA0\x80" "D",
     {L"\xFFFD" L"A\xFFFD" L"B\xFFFD\xFFFD" L"C\xFFFD" L"D"}},
    {"FourByteUtf8BecomesASurrogatePair", "\xF0\x9F\x98\x80!", {L"\xD83D\xDE00!"}},
    {"EmptyFile", "", {}},
    {"MarkOnly", "\xEF\xBB\xBF", {}},
};

class Decoding : public testing::TestWithParam<DecodingRow> {};

TEST_P(Decoding, LinesAsTheReaderSeesThem)
{
    const DecodingRow &row = GetParam();
    ScratchFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.File(L"c.ics"), row.bytes));
    EXPECT_EQ(ReadAllLines(folder.File(L"c.ics")), row.lines);
}

INSTANTIATE_TEST_SUITE_P(Files, Decoding, testing::ValuesIn(DecodingRows),
                         [](const testing::TestParamInfo<DecodingRow> &info) { return info.param.name; });

TEST(Opening, BigEndianMarkIsRefused)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.File(L"be.ics"), std::string("\xFE\xFF\0A\0\n", 6)));
    EXPECT_EQ(OpenCalendarForRead(folder.File(L"be.ics").c_str()), CalendarBigEndian);
    EXPECT_FALSE(IsCalendarOpen());
}

TEST(Opening, FolderAndMissingFileAreNotFound)
{
    ScratchFolder folder;
    EXPECT_EQ(OpenCalendarForRead(folder.Path().c_str()), CalendarNotFound);
    EXPECT_EQ(OpenCalendarForRead(folder.File(L"missing.ics").c_str()), CalendarNotFound);
    EXPECT_FALSE(IsCalendarOpen());
    std::vector<wchar_t> line(CalendarLinePortion + 1);
    EXPECT_EQ(ReadCalendarLine(line.data()), 0u); /* reading without a stream is harmless */
}

TEST(Portions, ALongLineComesInPortionsAndNothingIsLost)
{
    ScratchFolder folder;
    std::string text(100000, 'x');
    text[70000] = 'y';
    text += "\r\nEND\r\n";
    ASSERT_TRUE(WriteFileBytes(folder.File(L"long.ics"), text));
    std::vector<std::wstring> lines = ReadAllLines(folder.File(L"long.ics"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].size(), CalendarLinePortion);
    EXPECT_EQ(lines[1].size(), CalendarLinePortion);
    EXPECT_EQ(lines[2].size(), CalendarLinePortion);
    EXPECT_EQ(lines[3].size(), 100000 - 3 * CalendarLinePortion + 1);
    EXPECT_EQ(lines[3].back(), L'\n');
    EXPECT_EQ(lines[4], L"END\n");
    std::wstring joined = lines[0] + lines[1] + lines[2] + lines[3];
    EXPECT_EQ(joined[70000], L'y');
}

/* Every sequence that can be cut by a refill: a two-, three- and four-byte character
   and a CR LF pair, each placed across every offset of the 64 KiB boundary. */
TEST(Refills, SequencesAcrossTheBoundaryStayWhole)
{
    const size_t Boundary = 64 * 1024;
    const struct {
        const char *bytes;
        std::wstring units;
    } pieces[] = {{"\xC3\xA9", L"\xE9"}, {"\xE2\x82\xAC", L"\x20AC"}, {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
                  {"\r\n", L"\n"}};
    ScratchFolder folder;
    for (const auto &piece : pieces) {
        for (size_t shift = 0; shift < 4; shift++) {
            std::string bytes(Boundary - shift, 'a');
            for (size_t i = 100; i < bytes.size(); i += 100)
                bytes[i] = '\n'; /* keep lines short of a portion */
            bytes += piece.bytes;
            bytes += "z";
            ASSERT_TRUE(WriteFileBytes(folder.File(L"r.ics"), bytes));
            std::wstring all;
            for (const std::wstring &line : ReadAllLines(folder.File(L"r.ics")))
                all += line;
            std::wstring tail = piece.units + L"z";
            ASSERT_GE(all.size(), tail.size());
            EXPECT_EQ(all.substr(all.size() - tail.size()), tail) << "shift " << shift;
        }
    }
}

} // namespace
