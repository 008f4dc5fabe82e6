/*
** Calendar times as the host receives them in a zone one hour ahead of UTC in January
** (two in July): the value with and without "Z", the date alone, and daylight saving
** time taken from the date itself. The test program runs with TZ=Europe/Paris.
*/
#include <windows.h>

#include "import_fixture.h"
#include "standin_control.h"

namespace {

TEST(Zone, ParisArrived)
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    EXPECT_EQ(zone.Bias, -60);
    EXPECT_EQ(zone.StandardBias, 0);
    EXPECT_EQ(zone.DaylightBias, -60);
}

struct TimeRow {
    const char *name;
    const char *start;
    const char *local;   /* the record the host converts */
    const char *oleDate; /* the date the task receives */
};

void PrintTo(const TimeRow &row, std::ostream *out) { *out << row.name; }

const TimeRow TimeRows[] = {
    {"Utc", "20240115T083000Z", "{2024-1-15 9:30:0.0}", "2024-01-15 09:30:00"},
    {"WithoutZ", "20240115T083000", "{2024-1-15 9:30:0.0}", "2024-01-15 09:30:00"},
    {"DateOnly", "20240115", "{2024-1-15 1:0:0.0}", "2024-01-15 01:00:00"},
    {"SummerTime", "20240715T083000Z", "{2024-7-15 10:30:0.0}", "2024-07-15 10:30:00"},
    {"NewYearInUtcIsNextYearLocally", "20231231T233000Z", "{2024-1-1 0:30:0.0}", "2024-01-01 00:30:00"},
    {"LeapDay", "20240229T120000Z", "{2024-2-29 13:0:0.0}", "2024-02-29 13:00:00"},
};

class EventTime : public ImportTest, public testing::WithParamInterface<TimeRow> {};

TEST_P(EventTime, ReachesTheHostAsLocalTime)
{
    ImportBytes(CrLfLines({"BEGIN:VEVENT", "UID:T1", std::string("DTSTART:") + GetParam().start, "END:VEVENT"}));
    std::string date = GetParam().oleDate;
    std::string conversion = std::string("AddinZV_GetOleDateFromSystemTime(") + GetParam().local + ")";
    EXPECT_EQ(RecordedCalls(), (std::vector<std::string>{"AddinZV_ChangesStart()", "AddinZV_Task_IsPresent(\"T1\")",
                                                         conversion, conversion, "AddinZV_GetCurrDate()",
                                                         "AddinZV_Task_Insert(\"\", \"root\", \"\", 2026-12-11 10:00:00, "
                                                         "0, \"\", " + date + ", " + date + ")",
                                                         "AddinZV_ChangesEnd()"}));
}

INSTANTIATE_TEST_SUITE_P(Import, EventTime, testing::ValuesIn(TimeRows),
                         [](const testing::TestParamInfo<TimeRow> &info) { return std::string(info.param.name); });

/* The event text of the example: no BEGIN line, each line with its line feed. */
TEST_F(ImportTest, BobsListExample)
{
    LoadTasks(TaskFileWith({{"abc", "Old"}}));
    ImportBytes("BEGIN:VEVENT\nSUMMARY:Bob's list\nUID:4711\nDTSTART:20240115T083000Z\nDTEND:20240115T093000Z\n"
                "END:VEVENT\nBEGIN:VEVENT\nUID:ab'c\nDTSTART:20240115\nEND:VEVENT\n");
    EXPECT_EQ(RecordedCalls(),
              (std::vector<std::string>{
                  "AddinZV_ChangesStart()", "AddinZV_Task_IsPresent(\"4711\")",
                  "AddinZV_GetOleDateFromSystemTime({2024-1-15 10:30:0.0})",
                  "AddinZV_GetOleDateFromSystemTime({2024-1-15 9:30:0.0})", "AddinZV_GetCurrDate()",
                  "AddinZV_Task_Insert(\"\", \"root\", \"Bobs list\", 2026-12-11 10:00:00, 0, \"\", 2024-01-15 09:30:00, "
                  "2024-01-15 10:30:00)",
                  "AddinZV_Task_IsPresent(\"abc\")", "AddinZV_GetOleDateFromSystemTime({2024-1-15 1:0:0.0})",
                  "AddinZV_Task_SetDateBegin(\"abc\", 2024-01-15 01:00:00)",
                  "AddinZV_GetOleDateFromSystemTime({2024-1-15 1:0:0.0})",
                  "AddinZV_Task_SetDateEnd(\"abc\", 2024-01-15 01:00:00)", "AddinZV_Task_SetTitle(\"abc\", \"\")",
                  "AddinZV_Task_SaveChanges(\"abc\")", "AddinZV_ChangesEnd()"}));
}

} // namespace
