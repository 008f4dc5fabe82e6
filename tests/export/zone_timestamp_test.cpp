/*
** Event timestamps in three time zones. This program is registered once per zone with
** TZ set and a filter on the matching suite; each suite first proves its zone arrived.
*/
#include <windows.h>

#include <ostream>

#include "export_fixture.h"

namespace {

struct ZoneRow {
    const char *name;
    nlohmann::json local; /* as the task file takes it */
    const char *utc;
};

void PrintTo(const ZoneRow &row, std::ostream *out)
{
    *out << row.name;
}

/* 2024-03-05 09:07:03.250 as an OleDate: the milliseconds must be dropped, not rounded. */
const double March5WithMilliseconds = 45356.37989872685;

} // namespace

class ZoneTest : public ExportTest {
protected:
    /* Exports a task whose four dates are all local, and checks every timestamp line. */
    void ExpectTimestamps(const ZoneRow &row)
    {
        TaskRow t{"Z"};
        t.begin = t.end = t.created = t.modified = row.local;
        LoadTasks({t});
        ExportTo(CalendarPath());
        std::vector<std::string> lines = CalendarLines(ReadFileBytes(CalendarPath()));
        for (const char *property : {"DTSTART:", "DTEND:", "CREATED:", "LAST-MODIFIED:"})
            EXPECT_EQ(std::vector<std::string>{row.utc}, PropertyValues(lines, property)) << property;
    }
    static TIME_ZONE_INFORMATION Zone()
    {
        TIME_ZONE_INFORMATION zone;
        GetTimeZoneInformation(&zone);
        return zone;
    }
};

class UtcZone : public ZoneTest, public ::testing::WithParamInterface<ZoneRow> {};
class MoscowZone : public ZoneTest, public ::testing::WithParamInterface<ZoneRow> {};
class BerlinZone : public ZoneTest, public ::testing::WithParamInterface<ZoneRow> {};

TEST_P(UtcZone, TimestampIsLocalTime)
{
    TIME_ZONE_INFORMATION zone = Zone();
    ASSERT_EQ(0, zone.Bias);
    ASSERT_EQ(0, zone.DaylightDate.wMonth) << "no daylight saving";
    ExpectTimestamps(GetParam());
}

TEST_P(MoscowZone, TimestampIsThreeHoursEarlier)
{
    TIME_ZONE_INFORMATION zone = Zone();
    ASSERT_EQ(-180, zone.Bias) << "TZ=Europe/Moscow did not arrive";
    ASSERT_EQ(0, zone.DaylightDate.wMonth) << "no daylight saving";
    ExpectTimestamps(GetParam());
}

TEST_P(BerlinZone, TimestampFollowsDaylightSaving)
{
    TIME_ZONE_INFORMATION zone = Zone();
    ASSERT_EQ(-60, zone.Bias) << "TZ=Europe/Berlin did not arrive";
    ASSERT_EQ(-60, zone.DaylightBias);
    ASSERT_EQ(3, zone.DaylightDate.wMonth);
    ExpectTimestamps(GetParam());
}

static const ZoneRow UtcRows[] = {
    {"EveryFieldBelowTen", "2024-01-02 03:04:05", "20240102T030405Z"},
    {"MillisecondsDropped", March5WithMilliseconds, "20240305T090703Z"},
    {"LastSecondOfYear", "2023-12-31 23:59:59", "20231231T235959Z"},
};
static const ZoneRow MoscowRows[] = {
    {"MillisecondsDropped", March5WithMilliseconds, "20240305T060703Z"},
    {"PreviousDayInUtc", "2024-01-01 01:30:00", "20231231T223000Z"},
    {"SummerHasNoShift", "2024-07-01 12:00:00", "20240701T090000Z"},
};
static const ZoneRow BerlinRows[] = {
    {"Winter", "2024-01-15 09:30:00", "20240115T083000Z"},
    {"LastSecondBeforeSpringChange", "2024-03-31 01:59:59", "20240331T005959Z"},
    {"FirstHourAfterSpringChange", "2024-03-31 03:00:00", "20240331T010000Z"},
    {"Summer", "2024-07-01 12:00:00", "20240701T100000Z"},
    {"AfterAutumnChange", "2024-10-27 04:00:00", "20241027T030000Z"},
};

static std::string RowName(const ::testing::TestParamInfo<ZoneRow> &info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rows, UtcZone, ::testing::ValuesIn(UtcRows), RowName);
INSTANTIATE_TEST_SUITE_P(Rows, MoscowZone, ::testing::ValuesIn(MoscowRows), RowName);
INSTANTIATE_TEST_SUITE_P(Rows, BerlinZone, ::testing::ValuesIn(BerlinRows), RowName);
