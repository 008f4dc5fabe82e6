/*
** The files an export leaves: the calendar and log bytes of a small tree against golden
** files, a root without children, a second export to the same path, and the save dialog
** (its record, and a cancel that leaves everything as it was).
*/
#include <windows.h>

#include "export_fixture.h"
#include "standin_control.h"

namespace {

/* Root has A and B; A has A1 (completed, so only logged) and A2. */
std::vector<TaskRow> SmallTree()
{
    TaskRow a{"A"}, a1{"A1"}, a2{"A2"}, b{"B"};
    a.title = "Plan the week";
    a1.parent = "A", a1.title = "Done already", a1.state = 1;
    a2.parent = "A", a2.title = "Call Zo\xC3\xAB; book 3 rooms, then relax"; /* U+00EB in UTF-8 */
    b.title = "Bob's list, part 1";
    b.begin = "2024-07-01 08:05:09", b.end = "2024-07-02 18:00:00";
    return {a, a1, a2, b};
}

} // namespace

class ExportFileTest : public ExportTest {};

TEST_F(ExportFileTest, SmallTreeWritesGoldenCalendarAndLog)
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    ASSERT_EQ(0, zone.Bias) << "this program runs with TZ=UTC";
    ASSERT_EQ(1252u, GetACP()) << "the golden title holds U+00EB, which code page 1252 carries";

    LoadTasks(SmallTree());
    ExportTo(CalendarPath());

    EXPECT_EQ(GoldenBytes("small_tree.ics"), ReadFileBytes(CalendarPath()));
    /* The last UID and "Footer printed" share a line. */
    EXPECT_EQ(GoldenBytes("small_tree.ics.log"), ReadFileBytes(LogPathOf(CalendarPath())));
}

TEST_F(ExportFileTest, RootWithoutChildrenGivesByteOrderMarkAndTwoLogEntries)
{
    LoadTasks({});
    ExportTo(CalendarPath());

    EXPECT_EQ("\xEF\xBB\xBF", ReadFileBytes(CalendarPath()));
    EXPECT_EQ("Trying open dest file\r\nFile opened\r\n", ReadFileBytes(LogPathOf(CalendarPath())));
}

TEST_F(ExportFileTest, SecondExportReplacesCalendarAndAppendsToLog)
{
    LoadTasks(SmallTree());
    ExportTo(CalendarPath());
    TaskRow only{"Z"};
    only.title = "Only task";
    LoadTasks({only});
    ExportTo(CalendarPath());

    std::vector<std::string> lines = CalendarLines(ReadFileBytes(CalendarPath()));
    EXPECT_EQ(std::vector<std::string>{"Only task"}, PropertyValues(lines, "SUMMARY:"));
    EXPECT_EQ("END:VCALENDAR", lines.back());
    EXPECT_EQ(GoldenBytes("small_tree.ics.log") +
                  "Trying open dest file\r\nFile opened\r\nHeader printed\r\n\r\nZFooter printed\r\n",
              ReadFileBytes(LogPathOf(CalendarPath())));
}

TEST_F(ExportFileTest, SaveDialogIsAskedAsSet)
{
    LoadTasks({});
    ExportTo(CalendarPath());

    ASSERT_EQ(1u, SeenFileDialogs().size());
    const SeenFileDialog &d = SeenFileDialogs()[0];
    EXPECT_TRUE(d.save);
    EXPECT_EQ(88u, d.structSize);
    EXPECT_EQ(nullptr, d.owner);
    EXPECT_EQ(std::wstring(L"iCal\0*.ics\0\0", 12), d.filter);
    EXPECT_EQ(1u, d.filterIndex);
    EXPECT_TRUE(d.fileBufferAllZero);
    EXPECT_EQ(1024u, d.maxFile);
    EXPECT_TRUE(d.fileTitleNull && d.initialDirNull && d.titleNull);
    EXPECT_EQ(0x8806u, d.flags);
    EXPECT_FALSE(d.defaultExtensionNull);
    EXPECT_EQ(L"ics", d.defaultExtension);
    EXPECT_TRUE(d.otherFieldsZero);
}

TEST_F(ExportFileTest, CancelledDialogLeavesEveryFileAndLogsNothing)
{
    ASSERT_TRUE(WriteFileBytes(CalendarPath(), "old calendar"));
    ASSERT_TRUE(WriteFileBytes(LogPathOf(CalendarPath()), "old log\r\n"));
    LoadTasks(SmallTree());

    QueueDialogAnswer(DialogAnswer{true, L"", nullptr, false});
    Writer().ExecuteMainCommand();

    EXPECT_EQ(1u, SeenFileDialogs().size());
    EXPECT_EQ("old calendar", ReadFileBytes(CalendarPath()));
    EXPECT_EQ("old log\r\n", ReadFileBytes(LogPathOf(CalendarPath())));
    EXPECT_EQ(std::vector<std::string>{}, RecordedCalls());
}

TEST_F(ExportFileTest, NameTypedWithoutExtensionGetsIcs)
{
    LoadTasks(SmallTree());
    QueueDialogAnswer(DialogAnswer{false, scratch_.File(L"tasks"), nullptr, true});
    Writer().ExecuteMainCommand();

    EXPECT_EQ(GoldenBytes("small_tree.ics"), ReadFileBytes(scratch_.File(L"tasks.ics")));
    EXPECT_TRUE(FileExists(scratch_.File(L"tasks.ics.log")));
}
