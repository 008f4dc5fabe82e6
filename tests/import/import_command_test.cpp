/*
** The import command through the shipped module: the dialog it shows, the log and the
** host calls of whole calendars, events handed over one at a time, and what happens
** when the file cannot be read or the host raises an exception.
*/
#include <windows.h>

#include "import_fixture.h"
#include "standin_control.h"

namespace {

const std::vector<std::string> BobsListEvent = WriterEvent("Bob's list", "4711", "20240115T083000Z", "20240115T093000Z");
const std::vector<std::string> SecondEvent = WriterEvent("Second", "4712", "20240116T083000Z", "20240116T093000Z");

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

/* The calls of an import of BobsListEvent as a new task, in a zone at UTC+1 in January. */
const std::vector<std::string> BobsListInsertCalls = {
    "AddinZV_Task_IsPresent(\"4711\")",
    "AddinZV_GetOleDateFromSystemTime({2024-1-15 10:30:0.0})",
    "AddinZV_GetOleDateFromSystemTime({2024-1-15 9:30:0.0})",
    "AddinZV_GetCurrDate()",
    "AddinZV_Task_Insert(\"\", \"root\", \"Bobs list\", 2026-12-11 10:00:00, 0, \"\", 2024-01-15 09:30:00, "
    "2024-01-15 10:30:00)",
};
const std::vector<std::string> SecondInsertCalls = {
    "AddinZV_Task_IsPresent(\"4712\")",
    "AddinZV_GetOleDateFromSystemTime({2024-1-16 10:30:0.0})",
    "AddinZV_GetOleDateFromSystemTime({2024-1-16 9:30:0.0})",
    "AddinZV_GetCurrDate()",
    "AddinZV_Task_Insert(\"\", \"root\", \"Second\", 2026-12-11 10:00:00, 0, \"\", 2024-01-16 09:30:00, "
    "2024-01-16 10:30:00)",
};

std::vector<std::string> Bracketed(const std::vector<std::string> &calls)
{
    return Concat(Concat({"AddinZV_ChangesStart()"}, calls), {"AddinZV_ChangesEnd()"});
}

struct CalendarRow {
    const char *name;
    std::string bytes;
    std::vector<std::string> log;
    std::vector<std::string> calls;
};

void PrintTo(const CalendarRow &row, std::ostream *out) { *out << row.name; }

const CalendarRow CalendarRows[] = {
    {"EmptyFile", "", {"Start changes"}, Bracketed({})},
    {"HeaderAndFooterOnly", WriterCalendar({}), {"Start changes"}, Bracketed({})},
    {"TwoEvents", WriterCalendar(Concat(BobsListEvent, SecondEvent)),
     {"Start changes", "Event start found", "Event end found", "Event start found", "Event end found"},
     Bracketed(Concat(BobsListInsertCalls, SecondInsertCalls))},
    /* The file ends after the event's DTEND line: imported from the lines it has. */
    {"EventCutOffByTheEndOfTheFile",
     "\xEF\xBB\xBF" + CrLfLines({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "SUMMARY:Bob's list", "UID:4711",
                                 "DTSTART:20240115T083000Z", "DTEND:20240115T093000Z"}),
     {"Start changes", "Event start found", "Event end found"}, Bracketed(BobsListInsertCalls)},
    /* ... and after a DTEND value without its line end. */
    {"LastLineWithoutLineEnd",
     "BEGIN:VEVENT\nSUMMARY:Bob's list\nUID:4711\nDTSTART:20240115T083000Z\nDTEND:20240115T093000Z",
     {"Start changes", "Event start found", "Event end found"}, Bracketed(BobsListInsertCalls)},
};

class WholeCalendar : public ImportTest, public testing::WithParamInterface<CalendarRow> {};

TEST_P(WholeCalendar, LogAndHostCalls)
{
    const CalendarRow &row = GetParam();
    ImportBytes(row.bytes);
    EXPECT_EQ(LogLines(), row.log);
    EXPECT_EQ(RecordedCalls(), row.calls);
    EXPECT_EQ(StandIn_ChangesDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(Import, WholeCalendar, testing::ValuesIn(CalendarRows),
                         [](const testing::TestParamInfo<CalendarRow> &info) { return std::string(info.param.name); });

TEST_F(ImportTest, CancelledDialogLogsNothingAndCallsNoHost)
{
    ASSERT_TRUE(WriteFileBytes(Calendar(), WriterCalendar(BobsListEvent)));
    StandIn_ClearCalls();
    QueueDialogAnswer(DialogAnswer{true, L"", nullptr, false});
    Reader().ExecuteMainCommand();
    EXPECT_EQ(SeenFileDialogs().size(), 1u);
    EXPECT_EQ(StandIn_CallCount(), 0);
    EXPECT_FALSE(FileExists(Calendar() + L".log"));
}

TEST_F(ImportTest, OpenDialogIsSetExactly)
{
    ImportBytes("");
    ASSERT_EQ(SeenFileDialogs().size(), 1u);
    const SeenFileDialog &dialog = SeenFileDialogs()[0];
    EXPECT_FALSE(dialog.save);
    EXPECT_EQ(dialog.structSize, 88u);
    EXPECT_EQ(dialog.owner, nullptr);
    EXPECT_EQ(dialog.filter, std::wstring(L"iCal\0*.ics\0\0", 12));
    EXPECT_EQ(dialog.filterIndex, 1u);
    EXPECT_TRUE(dialog.fileBufferAllZero);
    EXPECT_EQ(dialog.maxFile, 1024u);
    EXPECT_TRUE(dialog.fileTitleNull && dialog.initialDirNull && dialog.titleNull);
    EXPECT_EQ(dialog.flags, 0x1804u);
    EXPECT_FALSE(dialog.defaultExtensionNull);
    EXPECT_EQ(dialog.defaultExtension, L"ics");
    EXPECT_TRUE(dialog.otherFieldsZero);
}

/* The first insert raises: had the second event's first line been read before the
   first event went to the host, its "Event start found" would be in the log. The
   exception closes the bracket and the file. */
TEST_F(ImportTest, FirstEventGoesToTheHostBeforeTheSecondIsRead)
{
    StandIn_FailOnCall("AddinZV_Task_Insert", 1, STANDIN_FAIL_RAISE);
    ImportBytes(WriterCalendar(Concat(BobsListEvent, SecondEvent)));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Start changes", "Event start found", "Event end found",
                              "Import stopped: an error left the command; the changes made so far are kept"}));
    EXPECT_EQ(RecordedCalls(), Concat(Concat({"AddinZV_ChangesStart()"}, BobsListInsertCalls), {"AddinZV_ChangesEnd()"}));
    EXPECT_EQ(StandIn_ChangesDepth(), 0);
    EXPECT_TRUE(DeleteFileW(Calendar().c_str())) << "the calendar is still open";
}

struct FailingCallRow {
    const char *name;
    const char *function;
    std::vector<std::string> calls;
};

void PrintTo(const FailingCallRow &row, std::ostream *out) { *out << row.name; }

const FailingCallRow FailingCallRows[] = {
    /* Raised before the bracket opened: nothing to close. */
    {"ChangesStart", "AddinZV_ChangesStart", {"AddinZV_ChangesStart()"}},
    /* The closing call itself failed: it is made once more. */
    {"ChangesEnd", "AddinZV_ChangesEnd",
     Concat(Concat({"AddinZV_ChangesStart()"}, BobsListInsertCalls), {"AddinZV_ChangesEnd()", "AddinZV_ChangesEnd()"})},
    {"IsPresent", "AddinZV_Task_IsPresent",
     {"AddinZV_ChangesStart()", "AddinZV_Task_IsPresent(\"4711\")", "AddinZV_ChangesEnd()"}},
};

class HostRaises : public ImportTest, public testing::WithParamInterface<FailingCallRow> {};

TEST_P(HostRaises, BracketBalancedAndFileClosed)
{
    StandIn_FailOnCall(GetParam().function, 1, STANDIN_FAIL_RAISE);
    ImportBytes(WriterCalendar(BobsListEvent));
    EXPECT_EQ(RecordedCalls(), GetParam().calls);
    EXPECT_EQ(StandIn_ChangesDepth(), 0);
    EXPECT_TRUE(DeleteFileW(Calendar().c_str())) << "the calendar is still open";
    /* The module is usable again afterwards. */
    ImportBytes(WriterCalendar(BobsListEvent), L"again.ics");
    EXPECT_EQ(RecordedCalls(), Bracketed(BobsListInsertCalls));
}

INSTANTIATE_TEST_SUITE_P(Import, HostRaises, testing::ValuesIn(FailingCallRows),
                         [](const testing::TestParamInfo<FailingCallRow> &info) { return std::string(info.param.name); });

const char NotOpened[] = "Calendar not read: the file cannot be opened (missing, locked, a folder or not readable)";

TEST_F(ImportTest, FileRemovedAfterTheDialogChangesNothing)
{
    ASSERT_TRUE(WriteFileBytes(Calendar(), WriterCalendar(BobsListEvent)));
    StandIn_ClearCalls();
    std::wstring path = Calendar();
    QueueDialogAnswer(DialogAnswer{false, path, [path] { DeleteFileW(path.c_str()); }, false});
    Reader().ExecuteMainCommand();
    EXPECT_EQ(LogLines(), std::vector<std::string>{NotOpened});
    EXPECT_EQ(StandIn_CallCount(), 0);
}

TEST_F(ImportTest, LockedFileChangesNothing)
{
    ASSERT_TRUE(WriteFileBytes(Calendar(), WriterCalendar(BobsListEvent)));
    HANDLE lock = CreateFileW(Calendar().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ImportFrom(Calendar());
    CloseHandle(lock);
    EXPECT_EQ(LogLines(), std::vector<std::string>{NotOpened});
    EXPECT_EQ(StandIn_CallCount(), 0);
}

TEST_F(ImportTest, FolderChangesNothing)
{
    std::wstring folder = Calendar(L"folder.ics");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ImportFrom(folder);
    EXPECT_EQ(LogLines(folder), std::vector<std::string>{NotOpened});
    EXPECT_EQ(StandIn_CallCount(), 0);
}

TEST_F(ImportTest, BigEndianFileIsRefused)
{
    std::string text = WriterCalendar(BobsListEvent).substr(3);
    std::string bigEndian = "\xFE\xFF";
    for (char c : text)
        bigEndian += std::string(1, '\0') + c;
    ImportBytes(bigEndian);
    EXPECT_EQ(LogLines(), std::vector<std::string>{"Calendar not read: it is stored as UTF-16 big-endian (starts with "
                                                   "FE FF), which is not read"});
    EXPECT_EQ(StandIn_CallCount(), 0);
    EXPECT_EQ(StandIn_ChangesDepth(), 0);
}

/* A name the ANSI code page cannot carry: opened as chosen, its log beside it. */
TEST_F(ImportTest, PathOutsideTheAnsiCodePage)
{
    const std::wstring name = L"\x65E5\x672C \x03A9 O'Neil.ics"; // CJK "Japan", GREEK CAPITAL OMEGA
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, nullptr, 0, nullptr, &lost);
    ASSERT_TRUE(lost) << "code page " << GetACP() << " carries the name";
    ImportBytes(WriterCalendar(BobsListEvent), name);
    EXPECT_EQ(LogLines(Calendar(name)),
              (std::vector<std::string>{"Start changes", "Event start found", "Event end found"}));
    EXPECT_EQ(RecordedCalls(), Bracketed(BobsListInsertCalls));
}

TEST_F(ImportTest, TwoRunsAppendToOneLog)
{
    ImportBytes(WriterCalendar(BobsListEvent));
    ImportFrom(Calendar());
    std::vector<std::string> once = {"Start changes", "Event start found", "Event end found"};
    EXPECT_EQ(LogLines(), Concat(once, once));
}

} // namespace
