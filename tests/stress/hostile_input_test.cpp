/*
** Hostile calendars and task trees through the shipped deliverables: huge lines, titles
** and UIDs, broken encodings, NUL and 0x1A, random bytes, a folder, a file that vanishes
** after the dialog, a tree 10,000 deep, every unusable UID byte. Each must leave the
** process whole, the bracket closed, the files closed and the log telling the story.
*/
#include <windows.h>

#include <random>

#include "standin_control.h"
#include "stress_fixture.h"

namespace {

const std::string Bom = "\xEF\xBB\xBF";
const std::string Head = "BEGIN:VCALENDAR\r\nPRODID:Plandra Export plugin\r\nVERSION:2.0\r\n";
const std::string Foot = "END:VCALENDAR\r\n";

std::string Event(const std::string &summary, const std::string &uid, const std::string &extra = "")
{
    return "BEGIN:VEVENT\r\nSUMMARY:" + summary + "\r\nUID:" + uid + "\r\n" + extra +
           "DTSTART:20240115T083000Z\r\nDTEND:20240115T093000Z\r\nCREATED:20240110T070000Z\r\n"
           "LAST-MODIFIED:20240110T070000Z\r\nEND:VEVENT\r\n";
}

std::string WholeCalendar(const std::string &events)
{
    return Bom + Head + events + Foot;
}

std::string RandomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char &c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string Utf16LittleEndian(const std::string &ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

/* How the import must treat the calendar. */
enum Expect {
    Accepted, /* at least one event changes a task */
    Rejected, /* every event is refused: no task changes */
    Either    /* any outcome, as long as the invariants hold */
};

struct HostileCalendar {
    const char *name;
    std::string (*bytes)();
    Expect expect;
};

void PrintTo(const HostileCalendar &row, std::ostream *out)
{
    *out << row.name;
}

const HostileCalendar HostileCalendars[] = {
    {"LineOfMillionCharactersOutsideEvents",
     [] { return WholeCalendar("X-JUNK:" + std::string(1000000, 'x') + "\r\n" + Event("Kept", "T1")); }, Accepted},
    {"SummaryOfMillionCharacters", [] { return WholeCalendar(Event(std::string(1000000, 'y'), "T1")); }, Either},
    {"SummaryOfMillionApostrophes", [] { return WholeCalendar(Event(std::string(1000000, '\''), "T1")); }, Accepted},
    {"LineOfMillionCharactersWithoutLineEnd",
     [] { return Bom + Head + "BEGIN:VEVENT\r\nSUMMARY:" + std::string(1000000, 'z'); }, Rejected},
    {"EventOfHundredThousandShortLines",
     [] {
         std::string lines;
         for (int i = 0; i < 100000; i++)
             lines += "X-A:1\r\n";
         return WholeCalendar(Event("Many lines", "T1", lines));
     },
     Accepted},
    {"EventOfHundredThousandLongLines",
     [] {
         std::string lines;
         for (int i = 0; i < 100000; i++)
             lines += "DESCRIPTION:some text\r\n";
         return WholeCalendar(Event("Too long", "T1", lines));
     },
     Rejected},
    {"SummaryFoldedHundredThousandTimes",
     [] {
         std::string folds;
         for (int i = 0; i < 100000; i++)
             folds += "\r\n a";
         return WholeCalendar(Event("Folded" + folds, "T1"));
     },
     Accepted},
    {"UidOfHundredThousandCharacters", [] { return WholeCalendar(Event("Long UID", std::string(100000, 'u'))); }, Accepted},
    {"TitleOfHundredThousandCharacters", [] { return WholeCalendar(Event(std::string(100000, 't'), "T2")); }, Accepted},
    {"RandomBytes", [] { return RandomBytes(1 << 20, 20240115); }, Either},
    {"RandomBytesAfterUtf8Mark", [] { return Bom + RandomBytes(1 << 16, 7); }, Either},
    {"RandomBytesInsideEvent",
     [] { return WholeCalendar("BEGIN:VEVENT\r\n" + RandomBytes(1 << 16, 11) + "\r\nEND:VEVENT\r\n"); }, Either},
    {"Utf8CutInSummaryLine", [] { return WholeCalendar(Event("Zo\xC3", "T1")); }, Accepted},
    {"Utf8CutAtEndOfFile", [] { return Bom + Head + "BEGIN:VEVENT\r\nUID:T1\r\nSUMMARY:\xE2\x82"; }, Rejected},
    {"Utf8CutInUid", [] { return WholeCalendar(Event("Cut UID", "T1\xF0\x9F")); }, Accepted},
    {"OddByteAfterUtf16Mark", [] { return Utf16LittleEndian(Head + Event("Wide", "T1") + Foot) + "X"; }, Accepted},
    {"Utf16MarkAndOneByte", [] { return std::string("\xFF\xFE\x41", 3); }, Rejected},
    {"Utf16LoneSurrogates",
     [] { return Utf16LittleEndian(Head + "BEGIN:VEVENT\r\nSUMMARY:") + std::string("\x00\xD8\x00\xDC\x00\xDC", 6) +
                 Utf16LittleEndian(Event("", "T1")).substr(2); },
     Either},
    {"NulInUid", [] { return WholeCalendar(Event("Nul", std::string("T\0" "1", 3))); }, Either},
    {"NulInMarkerLine", [] { return WholeCalendar(std::string("BEGIN:VEV\0ENT\r\n", 15) + Event("After", "T1")); }, Either},
    {"NulBytesEverywhere", [] { return std::string(4096, '\0'); }, Rejected},
    {"SubstituteEndsContentInsideEvent",
     [] { return WholeCalendar("BEGIN:VEVENT\r\nSUMMARY:Cut\x1A\r\n" + Event("Never read", "T2")); }, Rejected},
    {"SubstituteBeforeEverything", [] { return "\x1A" + WholeCalendar(Event("Never read", "T1")); }, Rejected},
    {"SubstituteInDate",
     [] { return WholeCalendar("BEGIN:VEVENT\r\nUID:T1\r\nSUMMARY:x\r\nDTSTART:2024\x1A" "0115T083000Z\r\n"); }, Rejected},
    {"BigEndianMark", [] { return std::string("\xFE\xFF\x00" "B", 4); }, Rejected},
    {"EveryByteValueInSummary",
     [] {
         std::string all;
         for (int b = 1; b < 256; b++)
             if (b != '\r' && b != '\n' && b != 0x1A)
                 all += static_cast<char>(b);
         return WholeCalendar(Event(all, "T1"));
     },
     Accepted},
    {"BareCarriageReturnsOnly", [] { return std::string("BEGIN:VEVENT\rUID:T1\rEND:VEVENT\r", 31); }, Either},
    {"ThousandsOfUnclosedEvents",
     [] {
         std::string text;
         for (int i = 0; i < 5000; i++)
             text += "BEGIN:VEVENT\r\n";
         return WholeCalendar(text);
     },
     Rejected},
};

class HostileCalendarTest : public StressTest, public ::testing::WithParamInterface<HostileCalendar> {};

TEST_P(HostileCalendarTest, ImportSurvivesAndLogsWhatHappened)
{
    const HostileCalendar &row = GetParam();
    ASSERT_TRUE(WriteFileBytes(Calendar(), row.bytes()));
    std::string before = StandIn_TaskJson();
    ImportFrom(Calendar());
    ImportOutcome outcome = CheckImport(Calendar(), before);
    if (row.expect == Accepted) {
        EXPECT_GT(outcome.appliedChanges, 0) << "no event was taken";
    }
    if (row.expect == Rejected) {
        EXPECT_EQ(0, outcome.appliedChanges);
        EXPECT_EQ(before, StandIn_TaskJson());
    }
}

INSTANTIATE_TEST_SUITE_P(Stress, HostileCalendarTest, ::testing::ValuesIn(HostileCalendars),
                         [](const ::testing::TestParamInfo<HostileCalendar> &info) { return info.param.name; });

TEST_F(StressTest, CalendarThatIsAFolderIsNotRead)
{
    ASSERT_TRUE(CreateDirectoryW(Calendar(L"folder.ics").c_str(), nullptr));
    std::string before = StandIn_TaskJson();
    ImportFrom(Calendar(L"folder.ics"));
    ImportOutcome outcome = CheckImport(Calendar(L"folder.ics"), before);
    EXPECT_TRUE(outcome.notRead);
    EXPECT_TRUE(RemoveDirectoryW(Calendar(L"folder.ics").c_str()));
}

TEST_F(StressTest, CalendarRemovedAfterTheDialogIsNotRead)
{
    ASSERT_TRUE(WriteFileBytes(Calendar(), WholeCalendar(Event("Gone", "T1"))));
    std::string before = StandIn_TaskJson();
    std::wstring path = Calendar();
    ImportFrom(path, [path] { ASSERT_TRUE(DeleteFileW(path.c_str())); });
    ImportOutcome outcome = CheckImport(path, before);
    EXPECT_TRUE(outcome.notRead);
    EXPECT_EQ(0, StandIn_CallCount()) << "the host was called for a calendar that is not there";
}

TEST_F(StressTest, ExportToAFolderCreatesNothingAndSaysSo)
{
    ASSERT_TRUE(CreateDirectoryW(Calendar(L"folder.ics").c_str(), nullptr));
    ExportTo(Calendar(L"folder.ics"));
    EXPECT_TRUE(ProcessHeapsValid());
    std::vector<std::string> log = CrLfSplit(ReadFileBytes(Calendar(L"folder.ics") + L".log"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("Dest file cannot be created", log.back());
    EXPECT_TRUE(DeleteFileW((Calendar(L"folder.ics") + L".log").c_str()));
}

/* A task row of a task file, JSON-escaped where it must be. */
std::string TaskLine(const std::string &uid, const std::string &parent, const std::string &title)
{
    return "{\"uid\":\"" + uid + "\",\"parent\":\"" + parent + "\",\"title\":\"" + title +
           "\",\"begin\":\"2024-01-15 09:30:00\",\"end\":\"2024-01-15 10:30:00\"}";
}

/* The calendar an export left: whole CR LF lines after the mark, nothing else. */
std::vector<std::string> ExportedLines(const std::wstring &path)
{
    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(0u, bytes.compare(0, 3, "\xEF\xBB\xBF"));
    std::vector<std::string> lines = CrLfSplit(bytes.size() >= 3 ? bytes.substr(3) : "");
    EXPECT_FALSE(lines.empty());
    if (!lines.empty()) {
        EXPECT_EQ("END:VCALENDAR", lines.back());
    }
    return lines;
}

TEST_F(StressTest, ExportOfHostileTitlesAndUids)
{
    std::string apostrophes(1000000, '\'');
    std::string longTitle(100000, 't'), longUid(100000, 'u');
    LoadTasks("{\"tasks\": [" + TaskLine("A", "root", apostrophes) + "," + TaskLine(longUid, "root", longTitle) +
              "," + TaskLine("B", "root", "Line\\r\\nbreak and \\u0001 control") + "]}");
    ExportTo(Calendar());
    EXPECT_TRUE(ProcessHeapsValid());
    std::vector<std::string> lines = ExportedLines(Calendar());
    ASSERT_EQ(3u + 3 * 8 + 1, lines.size());
    EXPECT_EQ("SUMMARY:", lines[4]) << "a title of apostrophes only is empty";
    EXPECT_EQ("SUMMARY:" + longTitle, lines[12]);
    EXPECT_EQ("UID:" + longUid, lines[13]);
    EXPECT_EQ("SUMMARY:Line\\nbreak and \x01 control", lines[20]);
    std::vector<std::string> log = CrLfSplit(ReadFileBytes(Calendar() + L".log"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("B" "Footer printed", log.back());
    EXPECT_TRUE(DeleteFileW(Calendar().c_str()));
    EXPECT_TRUE(DeleteFileW((Calendar() + L".log").c_str()));
}

TEST_F(StressTest, ExportRepairsEveryUnusableUidByteAndImportsItBack)
{
    const std::string unusable = "':.\"><{}[]/\\+=()";
    std::string tasks = "{\"tasks\": [";
    for (size_t i = 0; i < unusable.size(); i++) {
        std::string byte(1, unusable[i]);
        if (byte == "\"" || byte == "\\")
            byte = "\\" + byte;
        tasks += (i ? "," : "") + TaskLine("U" + byte + std::to_string(i), "root", "Task " + std::to_string(i));
    }
    LoadTasks(tasks + "]}");
    ExportTo(Calendar());
    EXPECT_TRUE(ProcessHeapsValid());
    std::vector<std::string> lines = ExportedLines(Calendar());
    int repaired = 0;
    for (const std::string &line : lines) {
        if (line.compare(0, 4, "UID:") != 0)
            continue;
        /* The apostrophe is removed, not repaired: "U'0" is written as U0. */
        if (line == "UID:U0")
            continue;
        EXPECT_EQ(4u + 36, line.size()) << line;
        EXPECT_EQ(std::string::npos, line.find_first_of(unusable, 4)) << line;
        repaired++;
    }
    EXPECT_EQ(static_cast<int>(unusable.size()) - 1, repaired);
    EXPECT_EQ(repaired, StandIn_PopupCount());

    std::string before = StandIn_TaskJson();
    ImportFrom(Calendar());
    ImportOutcome outcome = CheckImport(Calendar(), before);
    EXPECT_EQ(static_cast<int>(unusable.size()), outcome.eventsFound);
    EXPECT_EQ(0, outcome.eventsSkipped);
}

/* Under the heap checks every allocation costs time in proportion to the heap, so the
   chain here is 10,000 deep: deep enough that a recursive walk would overflow the
   stack. The export's own tests run the chain of 100,000 without the checks. */
TEST_F(StressTest, ChainTenThousandDeepExportsAndImportsBack)
{
    const int depth = 10000;
    std::string tasks = "{\"tasks\": [";
    for (int i = 0; i < depth; i++)
        tasks += (i ? ",\n" : "") + TaskLine("C" + std::to_string(i), i ? "C" + std::to_string(i - 1) : "root",
                                            "Level " + std::to_string(i));
    LoadTasks(tasks + "]}");
    StandIn_SetRecording(0);
    ExportTo(Calendar());
    EXPECT_TRUE(ProcessHeapsValid());
    std::vector<std::string> lines = ExportedLines(Calendar());
    ASSERT_EQ(3u + 8u * depth + 1, lines.size());
    EXPECT_EQ("UID:C" + std::to_string(depth - 1), lines[3 + 8 * (depth - 1) + 2]);

    std::string before = StandIn_TaskJson();
    ImportFrom(Calendar());
    ImportOutcome outcome = CheckImport(Calendar(), before);
    EXPECT_EQ(depth, outcome.eventsFound);
    EXPECT_EQ(0, outcome.eventsSkipped);
    EXPECT_EQ(depth, outcome.appliedChanges);
}

TEST(StressEnvironment, HeapCheckingIsOn)
{
    /* A one-byte overrun on a private heap must be seen, or the other tests prove
       nothing about overruns. */
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(nullptr, heap);
    char *block = static_cast<char *>(HeapAlloc(heap, 0, 13));
    ASSERT_NE(nullptr, block);
    EXPECT_TRUE(HeapValidate(heap, 0, nullptr));
    volatile char *overrun = block;
    overrun[13] = 'x';
    EXPECT_FALSE(HeapValidate(heap, 0, nullptr)) << "run under WINEDEBUG=warn+heap: Wine's heap checks are off";
    HeapDestroy(heap);
}

} // namespace
