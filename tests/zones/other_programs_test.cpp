/*
** Events as other programs write them, through the shipped ics_reader: all-day dates,
** times in a zone the calendar defines (after the events too) on both sides of a
** daylight-saving change, Windows and IANA zone names, a zone nothing defines, names in
** any letter case and properties with parameters. The computer is in Paris (UTC+1 in
** winter, UTC+2 in summer).
*/
#include "import_fixture.h"

#include <ostream>

namespace {

std::string Insert(const std::string &title, const std::string &begin, const std::string &end)
{
    return "AddinZV_Task_Insert(\"\", \"root\", \"" + title + "\", 2026-12-11 10:00:00, 0, \"\", " + begin + ", " +
           end + ")";
}

std::string Calendar(const std::vector<std::string> &lines)
{
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text + "END:VCALENDAR\r\n";
}

/* US Eastern as Thunderbird writes it; the file puts it after its events. */
const std::vector<std::string> EasternZone = {
    "BEGIN:VTIMEZONE",        "TZID:America/New_York", "BEGIN:DAYLIGHT",   "TZOFFSETFROM:-0500",
    "TZOFFSETTO:-0400",       "DTSTART:19700308T020000", "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU",
    "END:DAYLIGHT",           "BEGIN:STANDARD",        "TZOFFSETFROM:-0400", "TZOFFSETTO:-0500",
    "DTSTART:19701101T020000", "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU", "END:STANDARD", "END:VTIMEZONE"};

std::vector<std::string> Event(const std::string &summary, const std::vector<std::string> &times)
{
    std::vector<std::string> lines = {"BEGIN:VEVENT", "SUMMARY:" + summary};
    lines.insert(lines.end(), times.begin(), times.end());
    lines.push_back("END:VEVENT");
    return lines;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> OneEventLog = {"Start changes", "Event start found", "Event end found"};

struct FormRow {
    const char *name;
    std::string calendar;
    std::vector<std::string> changes;
    std::vector<std::string> log;
};

void PrintTo(const FormRow &row, std::ostream *out) { *out << row.name; }

const FormRow FormRows[] = {
    /* All-day events: a day of the user's calendar, ending at its last second. */
    {"AllDayOneDay", Calendar(Event("Day", {"DTSTART;VALUE=DATE:20240115", "DTEND;VALUE=DATE:20240116"})),
     {Insert("Day", "2024-01-15 00:00:00", "2024-01-15 23:59:59")}, OneEventLog},
    {"AllDayThreeDaysAcrossMonths",
     Calendar(Event("Trip", {"DTEND;VALUE=DATE:20240302", "DTSTART;VALUE=DATE:20240228"})),
     {Insert("Trip", "2024-02-28 00:00:00", "2024-03-01 23:59:59")}, OneEventLog},
    {"AllDayWithoutEndIsOneDay", Calendar(Event("Birthday", {"DTSTART;VALUE=DATE:20240701"})),
     {Insert("Birthday", "2024-07-01 00:00:00", "2024-07-01 23:59:59")}, OneEventLog},
    {"AllDayEndOnStartDayEndsAtStart",
     Calendar(Event("Zero", {"DTSTART;VALUE=DATE:20240115", "DTEND;VALUE=DATE:20240115"})),
     {Insert("Zero", "2024-01-15 00:00:00", "2024-01-15 00:00:00")}, OneEventLog},
    /* A zone defined after the events, on both sides of its spring change (10 March
       2024, 02:00 New York); Paris changes three weeks later. */
    {"CalendarZoneBeforeAndAfterItsChange",
     Calendar(Event("Before", {"DTSTART;TZID=America/New_York:20240310T013000",
                               "DTEND;TZID=America/New_York:20240310T015959"}) +
              Event("After", {"DTSTART;TZID=America/New_York:20240310T033000",
                              "DTEND;TZID=America/New_York:20240310T040000"}) +
              EasternZone),
     {Insert("Before", "2024-03-10 07:30:00", "2024-03-10 07:59:59"),
      Insert("After", "2024-03-10 08:30:00", "2024-03-10 09:00:00")},
     OneEventLog + std::vector<std::string>{"Event start found", "Event end found"}},
    /* Exchange names zones by their Windows names; without a VTIMEZONE the registry's
       zone serves. */
    {"WindowsZoneName",
     Calendar(Event("Standup", {"DTSTART;TZID=Pacific Standard Time:20240701T090000",
                                "DTEND;TZID=\"Pacific Standard Time\":20240701T093000"})),
     {Insert("Standup", "2024-07-01 18:00:00", "2024-07-01 18:30:00")}, OneEventLog},
    {"IanaNameWithWriterPrefix",
     Calendar(Event("Call", {"DTSTART;TZID=/mozilla.org/20050126_1/Asia/Tokyo:20240115T170000"})),
     {Insert("Call", "2024-01-15 09:00:00", "2024-01-15 09:00:00")}, OneEventLog},
    {"ZoneNothingDefinesIsLocalTimeAndLogged",
     Calendar(Event("Odd", {"DTSTART;TZID=FOO;VALUE=DATE-TIME:20140409T093000",
                            "DTEND;TZID=FOO;VALUE=DATE-TIME:20140409T103000"})),
     {Insert("Odd", "2014-04-09 09:30:00", "2014-04-09 10:30:00")},
     OneEventLog + std::vector<std::string>{
                       "Event 1: DTSTART names the zone \"FOO\", which neither the calendar nor Windows defines; "
                       "the time is taken as local time",
                       "Event 1: DTEND names the zone \"FOO\", which neither the calendar nor Windows defines; the "
                       "time is taken as local time"}},
    /* Names in any letter case; parameters on every property. */
    {"LowerCaseNamesAndLanguage",
     Calendar({"BEGIN:VEVENT", "summary;LANGUAGE=en-us:Review", "uid:X1", "dtstart:20240115T083000Z",
               "DtEnd;VALUE=DATE-TIME:20240115T100000", "END:VEVENT"}),
     {Insert("Review", "2024-01-15 09:30:00", "2024-01-15 10:00:00")}, OneEventLog},
    /* The writer's form wins wherever it stands and is read as it always was. */
    {"WritersFormWins",
     Calendar(Event("Both", {"DTSTART;TZID=Asia/Tokyo:20990101T000000", "DTSTART:20240115T083000",
                             "DTEND:20240115T093000Z"})),
     {Insert("Both", "2024-01-15 09:30:00", "2024-01-15 10:30:00")}, OneEventLog},
    /* Exchange 2010 closes the quote after the value: no value is left to read. */
    {"QuoteLeftOpenIsSkippedWithReason",
     Calendar(Event("Jira", {"DTSTART;TZID=\"W. Europe Standard Time:20200609T090000\"",
                             "DTEND;TZID=W. Europe Standard Time:20200609T093000"})),
     {},
     OneEventLog + std::vector<std::string>{"Event 1 skipped: DTSTART has no value after its parameters (a quote "
                                            "left open)"}},
    {"DateWithTimeFieldsIsSkipped", Calendar(Event("Bad", {"DTSTART;VALUE=DATE:20240115T083000"})), {},
     OneEventLog + std::vector<std::string>{"Event 1 skipped: DTSTART \"20240115T083000\" is not a date"}},
};

class OtherProgramsTest : public ImportTest, public testing::WithParamInterface<FormRow> {};

TEST_P(OtherProgramsTest, EventsBecomeTasks)
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    ASSERT_EQ(-60, zone.Bias) << "the tests run in Paris (TZ=Europe/Paris)";
    const FormRow &row = GetParam();
    ImportBytes(row.calendar);
    EXPECT_EQ(row.changes, TaskChanges());
    EXPECT_EQ(row.log, LogLines());
}

INSTANTIATE_TEST_SUITE_P(Forms, OtherProgramsTest, testing::ValuesIn(FormRows),
                         [](const testing::TestParamInfo<FormRow> &info) { return std::string(info.param.name); });

} // namespace
