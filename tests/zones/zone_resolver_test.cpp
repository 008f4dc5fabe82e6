/*
** The zone resolver on its own: zones a calendar defines (rules, single changes,
** RDATE lists, UNTIL, year 1, escaped names, malformed parts), Windows zone names from
** the registry with their yearly history, IANA names and the forms writers give them,
** and names that nothing defines. Each row carries its own zone; none trusts the
** machine's.
*/
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

#include "time_zones.h"

namespace {

/* Zones as calendars write them; fed line by line, events around them as in a file. */
const char ZoneCalendar[] =
    "BEGIN:VCALENDAR\n"
    "BEGIN:VEVENT\n"
    "DTSTART;TZID=Europe/Berlin:20240115T083000\n"
    "END:VEVENT\n"
    /* Written the way eM Client and Thunderbird write it. */
    "BEGIN:VTIMEZONE\n"
    "TZID:Europe/Berlin\n"
    "BEGIN:DAYLIGHT\n"
    "DTSTART:19810329T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\n"
    "TZOFFSETFROM:+0100\n"
    "TZOFFSETTO:+0200\n"
    "END:DAYLIGHT\n"
    "BEGIN:STANDARD\n"
    "DTSTART:19961027T030000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\n"
    "TZOFFSETFROM:+0200\n"
    "TZOFFSETTO:+0100\n"
    "END:STANDARD\n"
    "END:VTIMEZONE\n"
    /* Exchange: 1601 starts, second Sunday of March, first of November. */
    "BEGIN:VTIMEZONE\n"
    "TZID:Exchange Pacific\n"
    "BEGIN:STANDARD\n"
    "DTSTART:16010101T020000\n"
    "TZOFFSETFROM:-0700\n"
    "TZOFFSETTO:-0800\n"
    "RRULE:FREQ=YEARLY;INTERVAL=1;BYDAY=1SU;BYMONTH=11\n"
    "END:STANDARD\n"
    "BEGIN:DAYLIGHT\n"
    "DTSTART:16010101T020000\n"
    "TZOFFSETFROM:-0800\n"
    "TZOFFSETTO:-0700\n"
    "RRULE:FREQ=YEARLY;INTERVAL=1;BYDAY=2SU;BYMONTH=3\n"
    "END:DAYLIGHT\n"
    "END:VTIMEZONE\n"
    /* US rules before and after 2007, ended by UNTIL. */
    "BEGIN:VTIMEZONE\n"
    "TZID:US Eastern History\n"
    "BEGIN:DAYLIGHT\n"
    "DTSTART:19870405T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU;UNTIL=20060402T070000Z\n"
    "TZOFFSETFROM:-0500\n"
    "TZOFFSETTO:-0400\n"
    "END:DAYLIGHT\n"
    "BEGIN:DAYLIGHT\n"
    "DTSTART:20070311T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\n"
    "TZOFFSETFROM:-0500\n"
    "TZOFFSETTO:-0400\n"
    "END:DAYLIGHT\n"
    "BEGIN:STANDARD\n"
    "DTSTART:19671029T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU;UNTIL=20061029T060000Z\n"
    "TZOFFSETFROM:-0400\n"
    "TZOFFSETTO:-0500\n"
    "END:STANDARD\n"
    "BEGIN:STANDARD\n"
    "DTSTART:20071104T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\n"
    "TZOFFSETFROM:-0400\n"
    "TZOFFSETTO:-0500\n"
    "END:STANDARD\n"
    "END:VTIMEZONE\n"
    /* Changes listed one by one, without rules. */
    "BEGIN:VTIMEZONE\n"
    "TZID:Listed Changes\n"
    "BEGIN:STANDARD\n"
    "DTSTART:19700101T000000\n"
    "RDATE:20241001T030000,20251001T030000\n"
    "TZOFFSETFROM:+0200\n"
    "TZOFFSETTO:+0100\n"
    "END:STANDARD\n"
    "BEGIN:DAYLIGHT\n"
    "DTSTART:20240401T020000\n"
    "RDATE:20250401T020000\n"
    "TZOFFSETFROM:+0100\n"
    "TZOFFSETTO:+0200\n"
    "END:DAYLIGHT\n"
    "END:VTIMEZONE\n"
    /* Outlook escapes the comma in the name; events quote the name unescaped. */
    "BEGIN:VTIMEZONE\n"
    "TZID:Kuala Lumpur\\, Singapore\n"
    "BEGIN:STANDARD\n"
    "DTSTART:16010101T000000\n"
    "TZOFFSETFROM:+0900\n"
    "TZOFFSETTO:+0800\n"
    "END:STANDARD\n"
    "END:VTIMEZONE\n"
    /* eM Client's second zone starts in year 1. */
    "BEGIN:VTIMEZONE\n"
    "TZID:Year One\n"
    "X-EM-DISPLAYNAME:(UTC+01:00) Amsterdam\\, Berlin\n"
    "BEGIN:DAYLIGHT\n"
    "DTSTART:00010325T020000\n"
    "TZOFFSETFROM:+0100\n"
    "TZOFFSETTO:+0200\n"
    "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\n"
    "END:DAYLIGHT\n"
    "BEGIN:STANDARD\n"
    "DTSTART:00011028T030000\n"
    "TZOFFSETFROM:+0200\n"
    "TZOFFSETTO:+0100\n"
    "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\n"
    "END:STANDARD\n"
    "END:VTIMEZONE\n"
    /* A calendar's zone wins over the registry's zone of the same name. */
    "BEGIN:VTIMEZONE\n"
    "TZID:Tokyo Standard Time\n"
    "BEGIN:STANDARD\n"
    "DTSTART:19700101T000000\n"
    "TZOFFSETFROM:+0500\n"
    "TZOFFSETTO:+0500\n"
    "END:STANDARD\n"
    "END:VTIMEZONE\n"
    /* Broken parts are dropped, the rest of the zone stays. */
    "BEGIN:VTIMEZONE\n"
    "TZID:Partly Broken\n"
    "BEGIN:STANDARD\n"
    "DTSTART:not a time\n"
    "TZOFFSETFROM:+0100\n"
    "TZOFFSETTO:+0100\n"
    "END:STANDARD\n"
    "BEGIN:DAYLIGHT\n"
    "DTSTART:20000101T000000\n"
    "TZOFFSETFROM:+2500\n"
    "TZOFFSETTO:+0300\n"
    "RRULE:FREQ=YEARLY;BYDAY=XX;BYMONTH=13\n"
    "END:DAYLIGHT\n"
    "END:VTIMEZONE\n"
    /* Nothing usable at all: the name stays unknown. */
    "BEGIN:VTIMEZONE\n"
    "TZID:Nothing Usable\n"
    "BEGIN:STANDARD\n"
    "TZOFFSETTO:+9999\n"
    "END:STANDARD\n"
    "END:VTIMEZONE\n"
    /* Exchange's blank TZID defines nothing. */
    "BEGIN:VTIMEZONE\n"
    "TZID:\n"
    "BEGIN:STANDARD\n"
    "DTSTART:16010101T000000\n"
    "TZOFFSETFROM:+0000\n"
    "TZOFFSETTO:+0000\n"
    "END:STANDARD\n"
    "END:VTIMEZONE\n"
    "END:VCALENDAR\n";

void CollectCalendar(const char *calendar)
{
    ForgetCalendarZones();
    const char *line = calendar;
    while (*line != 0) {
        const char *end = strchr(line, '\n');
        std::wstring wide(line, end); /* ASCII */
        CollectZoneLine(wide.c_str(), wide.size());
        line = end + 1;
    }
}

SYSTEMTIME TimeFromText(const char *text)
{
    SYSTEMTIME time = {};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    sscanf(text, "%4d%2d%2dT%2d%2d%2d", &year, &month, &day, &hour, &minute, &second);
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    return time;
}

std::string TextFromTime(const SYSTEMTIME &time)
{
    char text[32];
    snprintf(text, sizeof text, "%04u%02u%02uT%02u%02u%02uZ", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond);
    return text;
}

struct ZoneRow {
    const char *name;
    const wchar_t *tzid;
    const char *wallClock;
    ZoneConversion result;
    const char *utc; /* when converted */
};

void PrintTo(const ZoneRow &row, std::ostream *out)
{
    *out << row.name;
}

const ZoneRow ZoneRows[] = {
    /* A calendar's rules on both sides of both changes of 2024. */
    {"berlin_winter", L"Europe/Berlin", "20240115T083000", ZoneConverted, "20240115T073000Z"},
    {"berlin_summer", L"Europe/Berlin", "20240701T120000", ZoneConverted, "20240701T100000Z"},
    {"berlin_last_second_before_spring", L"Europe/Berlin", "20240331T015959", ZoneConverted, "20240331T005959Z"},
    {"berlin_first_second_after_spring", L"Europe/Berlin", "20240331T030000", ZoneConverted, "20240331T010000Z"},
    {"berlin_skipped_hour_keeps_winter_offset", L"Europe/Berlin", "20240331T023000", ZoneConverted,
     "20240331T013000Z"},
    {"berlin_repeated_hour_is_first_occurrence", L"Europe/Berlin", "20241027T023000", ZoneConverted,
     "20241027T003000Z"},
    {"berlin_after_autumn", L"Europe/Berlin", "20241027T030000", ZoneConverted, "20241027T020000Z"},
    {"berlin_before_first_change", L"Europe/Berlin", "19700101T120000", ZoneConverted, "19700101T110000Z"},
    {"quoted_name", L"\"Europe/Berlin\"", "20240701T120000", ZoneConverted, "20240701T100000Z"},
    {"exchange_before_second_sunday_of_march", L"Exchange Pacific", "20200308T015959", ZoneConverted,
     "20200308T095959Z"},
    {"exchange_after_second_sunday_of_march", L"Exchange Pacific", "20200308T030000", ZoneConverted,
     "20200308T100000Z"},
    {"exchange_november", L"Exchange Pacific", "20201102T120000", ZoneConverted, "20201102T200000Z"},
    {"until_old_rules_april", L"US Eastern History", "20040401T120000", ZoneConverted, "20040401T170000Z"},
    {"until_old_rules_late_october", L"US Eastern History", "20041030T120000", ZoneConverted, "20041030T160000Z"},
    {"until_new_rules_march", L"US Eastern History", "20240320T120000", ZoneConverted, "20240320T160000Z"},
    {"until_new_rules_early_november", L"US Eastern History", "20241102T120000", ZoneConverted, "20241102T160000Z"},
    {"until_new_rules_winter", L"US Eastern History", "20241201T120000", ZoneConverted, "20241201T170000Z"},
    {"listed_first_summer", L"Listed Changes", "20240601T120000", ZoneConverted, "20240601T100000Z"},
    {"listed_winter_between", L"Listed Changes", "20241201T120000", ZoneConverted, "20241201T110000Z"},
    {"listed_second_summer", L"Listed Changes", "20250601T120000", ZoneConverted, "20250601T100000Z"},
    {"listed_before_any_summer", L"Listed Changes", "20230601T120000", ZoneConverted, "20230601T110000Z"},
    {"escaped_comma_in_name", L"Kuala Lumpur, Singapore", "20081031T093000", ZoneConverted, "20081031T013000Z"},
    {"year_one_rules", L"Year One", "20240601T100000", ZoneConverted, "20240601T080000Z"},
    {"year_one_rules_winter", L"Year One", "20241201T100000", ZoneConverted, "20241201T090000Z"},
    {"calendar_zone_before_registry", L"Tokyo Standard Time", "20240601T100000", ZoneConverted, "20240601T050000Z"},
    {"broken_parts_dropped", L"Partly Broken", "20240601T100000", ZoneConverted, "20240601T070000Z"},
    /* Windows zone names from the registry, with the rules of the time's year. */
    {"windows_winter", L"W. Europe Standard Time", "20240115T083000", ZoneConverted, "20240115T073000Z"},
    {"windows_summer", L"W. Europe Standard Time", "20240701T120000", ZoneConverted, "20240701T100000Z"},
    {"windows_letter_case", L"pacific standard time", "20240701T120000", ZoneConverted, "20240701T190000Z"},
    {"windows_2004_rules_april", L"Pacific Standard Time", "20040401T120000", ZoneConverted, "20040401T200000Z"},
    {"windows_2024_rules_april", L"Pacific Standard Time", "20240401T120000", ZoneConverted, "20240401T190000Z"},
    /* IANA names the calendar does not define. */
    {"iana", L"America/Chicago", "20240701T120000", ZoneConverted, "20240701T170000Z"},
    {"iana_winter", L"Asia/Tokyo", "20240115T090000", ZoneConverted, "20240115T000000Z"},
    {"iana_vendor_prefix", L"/mozilla.org/20050126_1/Europe/Vienna", "20240701T120000", ZoneConverted,
     "20240701T100000Z"},
    {"iana_libical_prefix", L"/freeassociation.sourceforge.net/Tzfile/Europe/London", "20240701T120000",
     ZoneConverted, "20240701T110000Z"},
    {"utc_name", L"UTC", "20240701T120000", ZoneConverted, "20240701T120000Z"},
    /* Names nothing defines. */
    {"undefined_name", L"FOO", "20140409T093000", ZoneUnknown, nullptr},
    {"exchange_custom", L"tzone://Microsoft/Custom", "20210325T103500", ZoneUnknown, nullptr},
    {"blank_name", L"", "20150826T090000", ZoneUnknown, nullptr},
    {"quoted_blank_name", L"\"\"", "20150826T090000", ZoneUnknown, nullptr},
    {"registry_path_is_no_name", L"..\\Time Zones\\UTC", "20240701T120000", ZoneUnknown, nullptr},
    {"zone_without_usable_part", L"Nothing Usable", "20240701T120000", ZoneUnknown, nullptr},
    {"iana_city_alone", L"Berlin", "20240701T120000", ZoneUnknown, nullptr},
    /* Fields that are no time. */
    {"month_13", L"Europe/Berlin", "20241301T120000", ZoneInvalidTime, nullptr},
    {"february_30", L"W. Europe Standard Time", "20240230T120000", ZoneInvalidTime, nullptr},
    {"hour_24_unknown_zone", L"FOO", "20240101T240000", ZoneInvalidTime, nullptr},
};

class ZoneResolverTest : public testing::TestWithParam<ZoneRow> {
protected:
    void SetUp() override { CollectCalendar(ZoneCalendar); }
    void TearDown() override { ForgetCalendarZones(); }
};

TEST_P(ZoneResolverTest, ConvertsWallClockToUtc)
{
    const ZoneRow &row = GetParam();
    SYSTEMTIME utc;
    memset(&utc, 0xCC, sizeof utc); /* poison: a field left unset shows */
    ZoneConversion result = ZoneTimeToUtc(row.tzid, wcslen(row.tzid), TimeFromText(row.wallClock), &utc);
    ASSERT_EQ(row.result, result);
    if (row.result == ZoneConverted) {
        EXPECT_EQ(row.utc, TextFromTime(utc));
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, ZoneResolverTest, testing::ValuesIn(ZoneRows),
                         [](const testing::TestParamInfo<ZoneRow> &info) { return std::string(info.param.name); });

TEST(ZoneCollection, ForgottenZonesAreUnknown)
{
    CollectCalendar(ZoneCalendar);
    ForgetCalendarZones();
    SYSTEMTIME utc;
    EXPECT_EQ(ZoneUnknown, ZoneTimeToUtc(L"Listed Changes", 14, TimeFromText("20240601T120000"), &utc));
}

TEST(ZoneCollection, ZoneLeftOpenByCutOffFileIsNotKept)
{
    CollectCalendar("BEGIN:VTIMEZONE\n"
                    "TZID:Cut Off\n"
                    "BEGIN:STANDARD\n"
                    "DTSTART:19700101T000000\n"
                    "TZOFFSETFROM:+0300\n"
                    "TZOFFSETTO:+0300\n");
    SYSTEMTIME utc;
    EXPECT_EQ(ZoneUnknown, ZoneTimeToUtc(L"Cut Off", 7, TimeFromText("20240601T120000"), &utc));
    ForgetCalendarZones();
}

TEST(ZoneCollection, ZonesDefinedWithLowerCaseNamesAndParameters)
{
    CollectCalendar("begin:vtimezone\n"
                    "tzid;x-source=tzinfo:Lower Case\n"
                    "begin:standard\n"
                    "dtstart;value=date-time:19700101T000000\n"
                    "tzoffsetfrom:+0330\n"
                    "tzoffsetto:+0330\n"
                    "end:standard\n"
                    "end:vtimezone\n");
    SYSTEMTIME utc;
    ASSERT_EQ(ZoneConverted, ZoneTimeToUtc(L"Lower Case", 10, TimeFromText("20240601T120000"), &utc));
    EXPECT_EQ("20240601T083000Z", TextFromTime(utc));
    ForgetCalendarZones();
}

/* The first definition of a name counts; a later one does not replace it. */
TEST(ZoneCollection, FirstDefinitionOfANameCounts)
{
    CollectCalendar("BEGIN:VTIMEZONE\nTZID:Twice\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
                    "TZOFFSETFROM:+0100\nTZOFFSETTO:+0100\nEND:STANDARD\nEND:VTIMEZONE\n"
                    "BEGIN:VTIMEZONE\nTZID:Twice\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
                    "TZOFFSETFROM:+0500\nTZOFFSETTO:+0500\nEND:STANDARD\nEND:VTIMEZONE\n");
    SYSTEMTIME utc;
    ASSERT_EQ(ZoneConverted, ZoneTimeToUtc(L"Twice", 5, TimeFromText("20240601T120000"), &utc));
    EXPECT_EQ("20240601T110000Z", TextFromTime(utc));
    ForgetCalendarZones();
}

/* Thunderbird writes a zone's whole history: dozens of rules ended by UNTIL before the
   two that hold today. None of them may crowd out the current ones. */
TEST(ZoneCollection, LongHistoryKeepsTheCurrentRules)
{
    std::string calendar = "BEGIN:VTIMEZONE\nTZID:Long History\n";
    for (int year = 1920; year < 1960; year += 2) {
        char lines[512];
        snprintf(lines, sizeof lines,
                 "BEGIN:DAYLIGHT\nTZOFFSETFROM:+0000\nTZOFFSETTO:+0100\nDTSTART:%d0401T020000\n"
                 "RRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU;UNTIL=%d0501T020000\nEND:DAYLIGHT\n"
                 "BEGIN:STANDARD\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0000\nDTSTART:%d1001T030000\n"
                 "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=1SU;UNTIL=%d1101T030000\nEND:STANDARD\n",
                 year, year + 1, year, year + 1);
        calendar += lines;
    }
    calendar += "BEGIN:DAYLIGHT\nTZOFFSETFROM:+0000\nTZOFFSETTO:+0100\nDTSTART:19970330T010000\n"
                "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\nEND:DAYLIGHT\n"
                "BEGIN:STANDARD\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0000\nDTSTART:19971026T020000\n"
                "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\nEND:STANDARD\nEND:VTIMEZONE\n";
    CollectCalendar(calendar.c_str());
    SYSTEMTIME utc;
    ASSERT_EQ(ZoneConverted, ZoneTimeToUtc(L"Long History", 12, TimeFromText("20241023T150000"), &utc));
    EXPECT_EQ("20241023T140000Z", TextFromTime(utc)) << "summer time of 2024";
    ASSERT_EQ(ZoneConverted, ZoneTimeToUtc(L"Long History", 12, TimeFromText("19410701T120000"), &utc));
    EXPECT_EQ("19410701T110000Z", TextFromTime(utc)) << "summer time of an ended rule";
    ForgetCalendarZones();
}

} // namespace
