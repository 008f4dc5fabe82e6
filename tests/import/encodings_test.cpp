/*
** One calendar stored five ways (UTF-8 with and without the byte order mark, CR LF and
** LF, UTF-16 little-endian with FF FE) gives the same log and the same host calls.
*/
#include "import_fixture.h"
#include "standin_control.h"

namespace {

/* "Café Ж" (U+00E9 LATIN SMALL LETTER E WITH ACUTE, U+0416 CYRILLIC CAPITAL LETTER ZHE)
   as UTF-16: the code page decides what the host gets, the same for every encoding. */
const std::wstring Text = L"BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:Caf\x00E9 \x0416\nUID:T1\n"
                          L"DTSTART:20240115T083000Z\nDTEND:20240115T093000Z\nEND:VEVENT\nEND:VCALENDAR\n";

std::string WithCrLf(const std::string &text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

std::string Utf16LittleEndian(const std::wstring &text)
{
    std::string out = "\xFF\xFE";
    for (wchar_t unit : text)
        out += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return out;
}

struct EncodingRow {
    const char *name;
    std::string bytes;
};

void PrintTo(const EncodingRow &row, std::ostream *out) { *out << row.name; }

const EncodingRow EncodingRows[] = {
    {"Utf8WithMarkCrLf", "\xEF\xBB\xBF" + WithCrLf(Utf8(Text))},
    {"Utf8WithMarkLf", "\xEF\xBB\xBF" + Utf8(Text)},
    {"Utf8CrLf", WithCrLf(Utf8(Text))},
    {"Utf8Lf", Utf8(Text)},
    {"Utf16LittleEndianCrLf", Utf16LittleEndian(Wide(WithCrLf(Utf8(Text))))},
    {"Utf16LittleEndianLf", Utf16LittleEndian(Text)},
};

class Encodings : public ImportTest, public testing::WithParamInterface<EncodingRow> {};

TEST_P(Encodings, SameResultAsPlainUtf8)
{
    LoadTasks(TaskFileWith({{"T1", "Old"}}));
    ImportBytes(Utf8(Text), L"plain.ics");
    std::vector<std::string> expected = RecordedCalls();
    ASSERT_EQ(TaskChanges().size(), 4u);

    LoadTasks(TaskFileWith({{"T1", "Old"}}));
    ImportBytes(GetParam().bytes);
    EXPECT_EQ(RecordedCalls(), expected);
    EXPECT_EQ(LogLines(), LogLines(Calendar(L"plain.ics")));
}

INSTANTIATE_TEST_SUITE_P(Import, Encodings, testing::ValuesIn(EncodingRows),
                         [](const testing::TestParamInfo<EncodingRow> &info) { return std::string(info.param.name); });

} // namespace
