/*
** How the reader takes one event's values: markers and properties only at the start of
** a line, nested alarms passed over, folded lines joined, escapes kept, update or insert
** by the UID alone, and every event that cannot become a task skipped with its reason
** while the import goes on. Times are written for a zone at UTC+1 in January.
*/
#include "import_fixture.h"
#include "standin_control.h"

#include <nlohmann/json.hpp>

namespace {

const char Begin[] = "2024-01-15 09:30:00";
const char End[] = "2024-01-15 10:30:00";

std::vector<std::string> Update(const std::string &uid, const std::string &title, const std::string &begin = Begin,
                                const std::string &end = End)
{
    return {"AddinZV_Task_SetDateBegin(\"" + uid + "\", " + begin + ")",
            "AddinZV_Task_SetDateEnd(\"" + uid + "\", " + end + ")",
            "AddinZV_Task_SetTitle(\"" + uid + "\", \"" + title + "\")", "AddinZV_Task_SaveChanges(\"" + uid + "\")"};
}

std::vector<std::string> Insert(const std::string &title, const std::string &begin = Begin,
                                const std::string &end = End)
{
    return {"AddinZV_Task_Insert(\"\", \"root\", \"" + title + "\", 2026-12-11 10:00:00, 0, \"\", " + begin + ", " +
            end + ")"};
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

/* LF-terminated lines, inside a calendar's header and footer. */
std::string Calendar(const std::vector<std::string> &lines)
{
    std::string text = "BEGIN:VCALENDAR\nVERSION:2.0\n";
    for (const std::string &line : lines)
        text += line + "\n";
    return text + "END:VCALENDAR\n";
}

const std::vector<std::string> OneEventLog = {"Start changes", "Event start found", "Event end found"};
const std::string Start = "DTSTART:20240115T083000Z", Finish = "DTEND:20240115T093000Z";

struct EventRow {
    const char *name;
    std::string calendar;
    std::vector<std::string> changes;
    std::vector<std::string> log;
};

void PrintTo(const EventRow &row, std::ostream *out) { *out << row.name; }

const std::string LongTitle(40000, 'x'); /* longer than one line portion */

const EventRow EventRows[] = {
    {"UidNamesATaskUpdatesIt", Calendar({"BEGIN:VEVENT", "SUMMARY:New", "UID:T1", Start, Finish, "END:VEVENT"}),
     Update("T1", "New"), OneEventLog},
    {"UidNamesNoTaskInserts", Calendar({"BEGIN:VEVENT", "SUMMARY:New", "UID:T9", Start, Finish, "END:VEVENT"}),
     Insert("New"), OneEventLog},
    {"ApostropheLeavesTheUid", Calendar({"BEGIN:VEVENT", "UID:T'1", "SUMMARY:New", Start, Finish, "END:VEVENT"}),
     Update("T1", "New"), OneEventLog},
    /* Property names count at the start of a line only. */
    {"TitleHoldingUidIsNoUid",
     Calendar({"BEGIN:VEVENT", "SUMMARY:Fix UID: handling", "UID:T1", Start, Finish, "END:VEVENT"}),
     Update("T1", "Fix UID: handling"), OneEventLog},
    {"TitleHoldingDatesIsNoDate",
     Calendar({"BEGIN:VEVENT", "SUMMARY:Move DTSTART:20990101 and DTEND:20990101", "UID:T1", Start, Finish,
               "END:VEVENT"}),
     Update("T1", "Move DTSTART:20990101 and DTEND:20990101"), OneEventLog},
    {"TitleHoldingTheEndMarkerDoesNotEndTheEvent",
     Calendar({"BEGIN:VEVENT", "SUMMARY:Parse END:VEVENT lines", "UID:T1", Start, Finish, "END:VEVENT"}),
     Update("T1", "Parse END:VEVENT lines"), OneEventLog},
    {"NoteHoldingTheBeginMarkerStartsNoEvent",
     Calendar({"X-NOTE:BEGIN:VEVENT", "SUMMARY:Phantom", "UID:T1", Start, Finish, "X-NOTE:END:VEVENT"}), {},
     {"Start changes"}},
    {"AlarmSuppliesNothing",
     Calendar({"BEGIN:VEVENT", "BEGIN:VALARM", "SUMMARY:Alarm", "UID:alarm", "DTSTART:20990101T000000Z",
               "END:VALARM", "SUMMARY:Meeting", "UID:T1", Start, Finish, "END:VEVENT"}),
     Update("T1", "Meeting"), OneEventLog},
    /* RFC 5545 3.1: the line end and one blank or tab go; a second blank stays. */
    {"FoldedTitleArrivesWhole",
     Calendar({"BEGIN:VEVENT", "SUMMARY:Quarterly", "  review", "\tof plans", "UID:T1", Start, Finish, "END:VEVENT"}),
     Update("T1", "Quarterly reviewof plans"), OneEventLog},
    {"FoldedUidAndDate",
     Calendar({"BEGIN:VEVENT", "SUMMARY:New", "UID:T", " 1", "DTSTART:20240115", " T083000Z", Finish, "END:VEVENT"}),
     Update("T1", "New"), OneEventLog},
    {"EscapesStayAsWritten",
     Calendar({"BEGIN:VEVENT", "SUMMARY:Milk\\, eggs\\; bread\\nC:\\\\Data", "UID:T1", Start, Finish, "END:VEVENT"}),
     Update("T1", "Milk\\, eggs\\; bread\\nC:\\\\Data"), OneEventLog},
    {"TitleLongerThanALinePortion",
     Calendar({"BEGIN:VEVENT", "SUMMARY:" + LongTitle, "UID:T1", Start, Finish, "END:VEVENT"}),
     Update("T1", LongTitle), OneEventLog},
    /* The second portion of a long line starts with the marker: still inside the line. */
    {"EndMarkerAtAPortionBoundaryIsText",
     Calendar({"BEGIN:VEVENT", "X-DESC:" + std::string(32766 - 7, 'y') + "END:VEVENT", "SUMMARY:New", "UID:T1",
               Start, Finish, "END:VEVENT"}),
     Update("T1", "New"), OneEventLog},
    {"NoDtendEndsWhenItStarts", Calendar({"BEGIN:VEVENT", "SUMMARY:New", "UID:T1", Start, "END:VEVENT"}),
     Update("T1", "New", Begin, Begin), OneEventLog},
    {"NoSummaryGivesAnEmptyTitle", Calendar({"BEGIN:VEVENT", "UID:T9", Start, Finish, "END:VEVENT"}), Insert(""),
     OneEventLog},
    {"NoUidInserts", Calendar({"BEGIN:VEVENT", "SUMMARY:New", Start, Finish, "END:VEVENT"}), Insert("New"),
     OneEventLog},
    {"RootIsNeverUpdated", Calendar({"BEGIN:VEVENT", "SUMMARY:New", "UID:root", Start, Finish, "END:VEVENT"}),
     Insert("New"), OneEventLog},
    {"DateOnlyIsMidnightUtc",
     Calendar({"BEGIN:VEVENT", "SUMMARY:New", "UID:T1", "DTSTART:20240115", "DTEND:20240116", "END:VEVENT"}),
     Update("T1", "New", "2024-01-15 01:00:00", "2024-01-16 01:00:00"), OneEventLog},
    {"WithoutZIsUtc",
     Calendar({"BEGIN:VEVENT", "SUMMARY:New", "UID:T1", "DTSTART:20240115T083000", "DTEND:20240115T093000",
               "END:VEVENT"}),
     Update("T1", "New"), OneEventLog},
    /* Skipped, with the reason, and the import goes on with the next event. */
    {"NoDtstart",
     Calendar({"BEGIN:VEVENT", "SUMMARY:New", "UID:T1", Finish, "END:VEVENT", "BEGIN:VEVENT", "UID:T9", Start,
               "END:VEVENT"}),
     Insert("", Begin, Begin),
     OneEventLog + std::vector<std::string>{"Event 1 skipped (UID \"T1\"): no DTSTART", "Event start found",
                                            "Event end found"}},
    {"DtstartWithParametersIsRead",
     Calendar({"BEGIN:VEVENT", "UID:T1", "DTSTART;TZID=Europe/Berlin:20240115T083000", "END:VEVENT"}),
     Update("T1", "", "2024-01-15 08:30:00", "2024-01-15 08:30:00"), OneEventLog},
    {"MonthThirteen", Calendar({"BEGIN:VEVENT", "UID:T1", "DTSTART:20241315T083000Z", "END:VEVENT"}), {},
     OneEventLog + std::vector<std::string>{"Event 1 skipped (UID \"T1\"): DTSTART \"20241315T083000Z\" is not a "
                                            "valid time"}},
    {"DayZero", Calendar({"BEGIN:VEVENT", Start, "DTEND:20240100T083000Z", "END:VEVENT"}), {},
     OneEventLog + std::vector<std::string>{"Event 1 skipped: DTEND \"20240100T083000Z\" is not a valid time"}},
    {"LettersInTheTime", Calendar({"BEGIN:VEVENT", "UID:T1", "DTSTART:20240115T08AB00Z", "END:VEVENT"}), {},
     OneEventLog + std::vector<std::string>{"Event 1 skipped (UID \"T1\"): DTSTART \"20240115T08AB00Z\" is not a "
                                            "valid time"}},
    {"ExtendedLayout", Calendar({"BEGIN:VEVENT", "UID:T1", "DTSTART:2024-01-15T08:30:00Z", "END:VEVENT"}), {},
     OneEventLog + std::vector<std::string>{"Event 1 skipped (UID \"T1\"): DTSTART \"2024-01-15T08:30:00Z\" is not "
                                            "a valid time"}},
    {"EmptyEventAtTheEnd", "BEGIN:VCALENDAR\nBEGIN:VEVENT\n", {},
     OneEventLog + std::vector<std::string>{"Event 1 skipped: the event has no lines"}},
    {"EventTooLongIsSkippedWhole",
     Calendar(std::vector<std::string>{"BEGIN:VEVENT", "SUMMARY:Huge", "UID:T1", Start} +
              std::vector<std::string>(40, "X-DATA:" + std::string(30000, 'z')) +
              std::vector<std::string>{"END:VEVENT", "BEGIN:VEVENT", "SUMMARY:Small", "UID:T1", Start, Finish,
                                       "END:VEVENT"}),
     Update("T1", "Small"),
     OneEventLog + std::vector<std::string>{"Event 1 skipped: longer than 1048576 characters", "Event start found",
                                            "Event end found"}},
};

class EventReading : public ImportTest, public testing::WithParamInterface<EventRow> {};

TEST_P(EventReading, ChangesAndLog)
{
    const EventRow &row = GetParam();
    LoadTasks(TaskFileWith({{"T1", "Old"}}));
    ImportBytes(row.calendar);
    EXPECT_EQ(TaskChanges(), row.changes);
    EXPECT_EQ(LogLines(), row.log);
    EXPECT_EQ(StandIn_ChangesDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(Import, EventReading, testing::ValuesIn(EventRows),
                         [](const testing::TestParamInfo<EventRow> &info) { return std::string(info.param.name); });

/* The model after the import: task uid -> title, and the number of tasks. */
nlohmann::json TasksByUid()
{
    nlohmann::json byUid = nlohmann::json::object();
    nlohmann::json model = nlohmann::json::parse(StandIn_TaskJson());
    for (const nlohmann::json &task : model["tasks"])
        byUid[task["uid"].get<std::string>()] = task;
    return byUid;
}

TEST_F(ImportTest, SameUidTwiceLeavesTheLaterValues)
{
    LoadTasks(TaskFileWith({{"T1", "Old"}}));
    ImportBytes(WriterCalendar(WriterEvent("First", "T1", "20240115T083000Z", "20240115T093000Z") +
                               WriterEvent("Later", "T1", "20240116T083000Z", "20240116T093000Z")));
    nlohmann::json tasks = TasksByUid();
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks["T1"]["title"], "Later");
    EXPECT_EQ(tasks["T1"]["begin"], "2024-01-16 09:30:00");
    EXPECT_EQ(tasks["T1"]["end"], "2024-01-16 10:30:00");
}

TEST_F(ImportTest, ImportingTwiceChangesNothingMore)
{
    LoadTasks(TaskFileWith({{"T1", "Old"}}));
    ImportBytes(WriterCalendar(WriterEvent("New", "T1", "20240115T083000Z", "20240115T093000Z")));
    std::string once = StandIn_TaskJson();
    ImportFrom(Calendar());
    EXPECT_EQ(StandIn_TaskJson(), once);
}

/* What ImportEvent is handed for a writer's event: its seven lines from SUMMARY to
   END:VEVENT. Seen through the host: an update would take a SUMMARY the text lacked. */
TEST_F(ImportTest, WritersEventArrivesWhole)
{
    LoadTasks(TaskFileWith({{"T1", "Old"}}));
    ImportBytes(WriterCalendar(WriterEvent("Bob's list, part 1", "T1", "20240115T083000Z", "20240115T093000Z")));
    EXPECT_EQ(TaskChanges(), Update("T1", "Bobs list, part 1"));
}

} // namespace
