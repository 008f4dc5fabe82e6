/*
** The zones a calendar defines (VTIMEZONE, RFC 5545 3.6.5): collected line by line,
** kept as sorted fixed changes (DTSTART, RDATE) and yearly rules (RRULE), and asked for
** the UTC offset in force at a wall-clock time.
*/
#include "time_zones.h"

#include <algorithm>
#include <map>
#include <vector>

#include "content_line.h"
#include "zone_parts.h"

namespace {

/* A change of offset at a known moment. key is the latest wall-clock reading at which
   the old offset still applies plus one: the UTC moment plus the larger of the two
   offsets, so that a skipped time keeps the offset before the change and a repeated
   one means its first occurrence. */
struct ZoneChange {
    CivilSeconds key;
    int offsetFrom;
    int offsetTo;
};

/* A STANDARD or DAYLIGHT whose changes recur yearly (FREQ=YEARLY). */
struct ZoneRule {
    int offsetFrom;
    int offsetTo;
    CivilSeconds start;      /* DTSTART, wall clock before the change */
    long long startYear;
    int startDay;
    int month;               /* BYMONTH, else the month of DTSTART */
    int weekday;             /* BYDAY: 0 Sunday .. 6 Saturday; -1 none */
    int ordinal;             /* BYDAY's week: 1..5 or -1..-5; 0 none */
    int monthDay;            /* BYMONTHDAY's first value (negative from the end); 0 none */
    int secondOfDay;         /* DTSTART's time, or BYHOUR/BYMINUTE/BYSECOND */
    int interval;
    long long lastYear;      /* from COUNT */
    bool hasUntil;
    CivilSeconds until;      /* UTC */
};

struct CalendarZone {
    std::vector<ZoneChange> changes; /* sorted by key */
    std::vector<ZoneRule> rules;
};

/* An open-ended rule beyond this many in one zone is dropped: real zones have two, and
   each one costs a little on every converted time. A rule that ends (UNTIL, COUNT)
   within ExpandedYearsLimit years is listed as single changes instead, as a zone's
   full history (Thunderbird writes dozens of such rules) needs. */
const size_t MaxRulesPerZone = 16;
const long long ExpandedYearsLimit = 1000;

struct PendingTime {
    CivilSeconds seconds;
    bool utc;
};

/* The STANDARD or DAYLIGHT being read. */
struct PendingObservance {
    bool hasFrom, hasTo, hasStart, hasRule;
    int offsetFrom, offsetTo;
    CivilSeconds start;
    std::wstring rule;
    std::vector<PendingTime> dates; /* RDATE */
};

enum CollectState { OutsideZone, InZone, InObservance };

struct Collector {
    CollectState state = OutsideZone;
    int skippedDepth = 0; /* inside a component of a zone that is not an observance */
    std::wstring name;
    CalendarZone zone;
    PendingObservance observance;
};

std::map<std::wstring, CalendarZone> Zones;
Collector Collecting;

bool IsDigits(const wchar_t *text, size_t count)
{
    for (size_t i = 0; i < count; i++)
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    return true;
}

int DigitsValue(const wchar_t *text, size_t count)
{
    int value = 0;
    for (size_t i = 0; i < count; i++)
        value = value * 10 + (text[i] - L'0');
    return value;
}

/* "+HHMM" or "+HHMMSS" (RFC 5545 3.3.14) to seconds east of UTC. */
bool ParseOffset(const wchar_t *text, size_t length, int *seconds)
{
    if ((length != 5 && length != 7) || (text[0] != L'+' && text[0] != L'-') || !IsDigits(text + 1, length - 1))
        return false;
    int hours = DigitsValue(text + 1, 2), minutes = DigitsValue(text + 3, 2);
    int secs = length == 7 ? DigitsValue(text + 5, 2) : 0;
    if (hours > 23 || minutes > 59 || secs > 59)
        return false;
    int total = hours * 3600 + minutes * 60 + secs;
    *seconds = text[0] == L'-' ? -total : total;
    return true;
}

/* "YYYYMMDD" or "YYYYMMDDTHHMMSS" with an optional "Z". A date alone is its midnight. */
bool ParseDateTime(const wchar_t *text, size_t length, PendingTime *time)
{
    if (length < 8 || !IsDigits(text, 8))
        return false;
    long long year = DigitsValue(text, 4);
    int month = DigitsValue(text + 4, 2), day = DigitsValue(text + 6, 2);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    int hour = 0, minute = 0, second = 0;
    time->utc = false;
    if (length > 8) {
        if (length < 15 || length > 16 || text[8] != L'T' || !IsDigits(text + 9, 6))
            return false;
        if (length == 16 && text[15] != L'Z')
            return false;
        hour = DigitsValue(text + 9, 2);
        minute = DigitsValue(text + 11, 2);
        second = DigitsValue(text + 13, 2);
        if (hour > 23 || minute > 59 || second > 59)
            return false;
        time->utc = length == 16;
    }
    time->seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

int WeekdayFromName(const wchar_t *text)
{
    static const char *const names[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    for (int i = 0; i < 7; i++)
        if (SpanEqualsIgnoringCase(text, 2, names[i], 2))
            return i;
    return -1;
}

/* A signed number of at most six digits filling the span. */
bool ParseSmallNumber(const wchar_t *text, size_t length, int *number)
{
    bool negative = length > 0 && text[0] == L'-';
    size_t skip = length > 0 && (text[0] == L'-' || text[0] == L'+') ? 1 : 0;
    if (length - skip == 0 || length - skip > 6 || !IsDigits(text + skip, length - skip))
        return false;
    int value = DigitsValue(text + skip, length - skip);
    *number = negative ? -value : value;
    return true;
}

/* The first item of a comma-separated list value. */
size_t FirstItemLength(const wchar_t *text, size_t length)
{
    size_t at = 0;
    while (at < length && text[at] != L',')
        at++;
    return at;
}

/* Reads the observance's RRULE into rule; false for anything but a yearly rule of the
   kind zones use (a month, a weekday with its week or a day of the month). */
bool ParseZoneRule(const PendingObservance &o, ZoneRule *rule)
{
    long long year;
    int month, day;
    CivilFromDays(FloorDivide(o.start, 86400), &year, &month, &day);
    *rule = ZoneRule();
    rule->offsetFrom = o.offsetFrom;
    rule->offsetTo = o.offsetTo;
    rule->start = o.start;
    rule->startYear = year;
    rule->startDay = day;
    rule->month = month;
    rule->weekday = -1;
    rule->secondOfDay = static_cast<int>(o.start - FloorDivide(o.start, 86400) * 86400);
    rule->interval = 1;
    rule->lastYear = 1LL << 40;
    int count = 0;
    bool yearly = false;
    int hour = -1, minute = -1, second = -1;
    const wchar_t *text = o.rule.c_str();
    size_t length = o.rule.size(), at = 0;
    while (at < length) {
        size_t end = at;
        while (end < length && text[end] != L';')
            end++;
        size_t equals = at;
        while (equals < end && text[equals] != L'=')
            equals++;
        if (equals == end)
            return false;
        const wchar_t *name = text + at, *value = text + equals + 1;
        size_t nameLength = equals - at, valueLength = end - equals - 1;
        size_t first = FirstItemLength(value, valueLength);
        int number = 0;
        if (SpanEqualsIgnoringCase(name, nameLength, "FREQ", 4)) {
            yearly = SpanEqualsIgnoringCase(value, valueLength, "YEARLY", 6);
        } else if (SpanEqualsIgnoringCase(name, nameLength, "BYMONTH", 7)) {
            if (!ParseSmallNumber(value, first, &number) || number < 1 || number > 12)
                return false;
            rule->month = number;
        } else if (SpanEqualsIgnoringCase(name, nameLength, "BYDAY", 5)) {
            if (first < 2 || (rule->weekday = WeekdayFromName(value + first - 2)) < 0)
                return false;
            if (first > 2 && (!ParseSmallNumber(value, first - 2, &rule->ordinal) || rule->ordinal < -5 ||
                              rule->ordinal > 5))
                return false;
        } else if (SpanEqualsIgnoringCase(name, nameLength, "BYMONTHDAY", 10)) {
            if (!ParseSmallNumber(value, first, &number) || number == 0 || number < -31 || number > 31)
                return false;
            rule->monthDay = number;
        } else if (SpanEqualsIgnoringCase(name, nameLength, "BYHOUR", 6)) {
            if (!ParseSmallNumber(value, first, &hour) || hour < 0 || hour > 23)
                return false;
        } else if (SpanEqualsIgnoringCase(name, nameLength, "BYMINUTE", 8)) {
            if (!ParseSmallNumber(value, first, &minute) || minute < 0 || minute > 59)
                return false;
        } else if (SpanEqualsIgnoringCase(name, nameLength, "BYSECOND", 8)) {
            if (!ParseSmallNumber(value, first, &second) || second < 0 || second > 59)
                return false;
        } else if (SpanEqualsIgnoringCase(name, nameLength, "INTERVAL", 8)) {
            if (!ParseSmallNumber(value, valueLength, &rule->interval) || rule->interval < 1)
                return false;
        } else if (SpanEqualsIgnoringCase(name, nameLength, "COUNT", 5)) {
            if (!ParseSmallNumber(value, valueLength, &count) || count < 1)
                return false;
        } else if (SpanEqualsIgnoringCase(name, nameLength, "UNTIL", 5)) {
            PendingTime until;
            if (!ParseDateTime(value, valueLength, &until))
                return false;
            rule->hasUntil = true;
            /* A floating UNTIL is read in the offset before the change. */
            rule->until = until.utc ? until.seconds : until.seconds - o.offsetFrom;
            if (valueLength == 8)
                rule->until += 86399;
        } else if (!SpanEqualsIgnoringCase(name, nameLength, "WKST", 4)) {
            return false; /* BYSETPOS, BYYEARDAY, BYWEEKNO: not a zone's rule */
        }
        at = end + 1;
    }
    if (hour >= 0 || minute >= 0 || second >= 0)
        rule->secondOfDay = (hour >= 0 ? hour : rule->secondOfDay / 3600) * 3600 +
                            (minute >= 0 ? minute : rule->secondOfDay / 60 % 60) * 60 +
                            (second >= 0 ? second : rule->secondOfDay % 60);
    /* One change a year from DTSTART's year on, INTERVAL years apart. */
    if (count > 0)
        rule->lastYear = year + static_cast<long long>(count - 1) * rule->interval;
    return yearly;
}

/* The change of a rule in a year, as a wall-clock time before the change; false when
   the year has none (a fifth Sunday that the month lacks, 31 in a short month). */
bool RuleChangeInYear(const ZoneRule &rule, long long year, CivilSeconds *change)
{
    int length = DaysInMonth(year, rule.month);
    long long firstDay = DaysFromCivil(year, rule.month, 1);
    int day;
    if (rule.weekday >= 0 && rule.monthDay != 0) {
        /* Weekday among days of the month, e.g. BYMONTHDAY=8..14 with BYDAY=SU; only
           the first listed day's week is looked at. */
        int from = rule.monthDay > 0 ? rule.monthDay : length + 1 + rule.monthDay;
        if (from < 1 || from > length)
            return false;
        day = from + (rule.weekday - WeekdayOfDays(firstDay + from - 1) + 7) % 7;
    } else if (rule.weekday >= 0 && rule.ordinal < 0) {
        int lastWeekday = WeekdayOfDays(firstDay + length - 1);
        day = length - (lastWeekday - rule.weekday + 7) % 7 + (rule.ordinal + 1) * 7;
    } else if (rule.weekday >= 0) {
        int ordinal = rule.ordinal > 0 ? rule.ordinal : 1;
        day = 1 + (rule.weekday - WeekdayOfDays(firstDay) + 7) % 7 + (ordinal - 1) * 7;
    } else if (rule.monthDay != 0) {
        day = rule.monthDay > 0 ? rule.monthDay : length + 1 + rule.monthDay;
    } else {
        day = rule.startDay;
    }
    if (day < 1 || day > length)
        return false;
    *change = (firstDay + day - 1) * 86400 + rule.secondOfDay;
    return true;
}

CivilSeconds KeyOfWallChange(CivilSeconds wall, int from, int to)
{
    return wall + (to > from ? to - from : 0);
}

/* The latest change of a rule whose key is at most wallClock, DTSTART included. */
bool LatestRuleChange(const ZoneRule &rule, CivilSeconds wallClock, CivilSeconds *key)
{
    bool found = false;
    CivilSeconds startKey = KeyOfWallChange(rule.start, rule.offsetFrom, rule.offsetTo);
    if (startKey <= wallClock) {
        *key = startKey;
        found = true;
    }
    long long year, untilYear;
    int month, day;
    CivilFromDays(FloorDivide(wallClock, 86400), &year, &month, &day);
    if (year > rule.lastYear)
        year = rule.lastYear;
    if (rule.hasUntil) {
        /* The local year of the last change is at most one past UNTIL's UTC year. */
        CivilFromDays(FloorDivide(rule.until, 86400), &untilYear, &month, &day);
        if (year > untilYear + 1)
            year = untilYear + 1;
    }
    year -= ((year - rule.startYear) % rule.interval + rule.interval) % rule.interval;
    /* A month without its fifth weekday can skip a year or two; no more is looked at. */
    for (int tries = 0; tries < 8 && year >= rule.startYear; tries++, year -= rule.interval) {
        CivilSeconds change;
        if (!RuleChangeInYear(rule, year, &change) || change <= rule.start)
            continue;
        CivilSeconds changeKey = KeyOfWallChange(change, rule.offsetFrom, rule.offsetTo);
        if (changeKey > wallClock || (rule.hasUntil && change - rule.offsetFrom > rule.until))
            continue;
        if (!found || changeKey > *key)
            *key = changeKey;
        return true;
    }
    return found;
}

/* The year of a rule's last change, when UNTIL or COUNT gives one. */
long long LastYearOfRule(const ZoneRule &rule)
{
    long long last = rule.lastYear;
    if (rule.hasUntil) {
        long long untilYear;
        int month, day;
        CivilFromDays(FloorDivide(rule.until, 86400), &untilYear, &month, &day);
        last = std::min(last, untilYear + 1);
    }
    return last;
}

bool EndsWithin(const ZoneRule &rule, long long years)
{
    return LastYearOfRule(rule) - rule.startYear <= years;
}

/* Every change of a rule that ends, DTSTART first, as single changes. */
void ExpandRule(const ZoneRule &rule, std::vector<ZoneChange> *changes)
{
    changes->push_back({KeyOfWallChange(rule.start, rule.offsetFrom, rule.offsetTo), rule.offsetFrom, rule.offsetTo});
    long long last = LastYearOfRule(rule);
    for (long long year = rule.startYear; year <= last; year += rule.interval) {
        CivilSeconds change;
        if (!RuleChangeInYear(rule, year, &change) || change <= rule.start ||
            (rule.hasUntil && change - rule.offsetFrom > rule.until))
            continue;
        changes->push_back({KeyOfWallChange(change, rule.offsetFrom, rule.offsetTo), rule.offsetFrom, rule.offsetTo});
    }
}

void StartObservance()
{
    Collecting.observance.hasFrom = Collecting.observance.hasTo = false;
    Collecting.observance.hasStart = Collecting.observance.hasRule = false;
    Collecting.observance.rule.clear();
    Collecting.observance.dates.clear();
    Collecting.state = InObservance;
}

/* Turns the observance just read into changes and a rule of the zone being read. An
   observance without DTSTART or TZOFFSETTO says nothing usable and is dropped. */
void FinishObservance()
{
    PendingObservance &o = Collecting.observance;
    Collecting.state = InZone;
    if (!o.hasStart || !o.hasTo)
        return;
    if (!o.hasFrom)
        o.offsetFrom = o.offsetTo;
    CalendarZone &zone = Collecting.zone;
    ZoneRule rule;
    bool ruled = o.hasRule && ParseZoneRule(o, &rule);
    if (ruled && EndsWithin(rule, ExpandedYearsLimit))
        ExpandRule(rule, &zone.changes);
    else if (ruled && zone.rules.size() < MaxRulesPerZone)
        zone.rules.push_back(rule);
    else
        zone.changes.push_back({KeyOfWallChange(o.start, o.offsetFrom, o.offsetTo), o.offsetFrom, o.offsetTo});
    for (const PendingTime &date : o.dates) {
        CivilSeconds key = date.utc ? date.seconds + std::max(o.offsetFrom, o.offsetTo)
                                    : KeyOfWallChange(date.seconds, o.offsetFrom, o.offsetTo);
        zone.changes.push_back({key, o.offsetFrom, o.offsetTo});
    }
}

void FinishZone()
{
    Collecting.state = OutsideZone;
    CalendarZone &zone = Collecting.zone;
    if (Collecting.name.empty() || (zone.changes.empty() && zone.rules.empty()))
        return;
    std::stable_sort(zone.changes.begin(), zone.changes.end(),
                     [](const ZoneChange &a, const ZoneChange &b) { return a.key < b.key; });
    /* The first definition of a name counts, as for any property read once. */
    Zones.emplace(Collecting.name, std::move(zone));
}

/* A TEXT value with its escapes undone (RFC 5545 3.3.11): "Kuala Lumpur\, Singapore". */
std::wstring UnescapeText(const wchar_t *text, size_t length)
{
    std::wstring result;
    result.reserve(length);
    for (size_t i = 0; i < length; i++) {
        if (text[i] == L'\\' && i + 1 < length) {
            i++;
            result += text[i] == L'n' || text[i] == L'N' ? L'\n' : text[i];
        } else {
            result += text[i];
        }
    }
    return result;
}

void TakeObservanceLine(const ContentLine &line)
{
    PendingObservance &o = Collecting.observance;
    if (SpanEqualsIgnoringCase(line.name, line.nameLength, "TZOFFSETFROM", 12)) {
        o.hasFrom = ParseOffset(line.value, line.valueLength, &o.offsetFrom) || o.hasFrom;
    } else if (SpanEqualsIgnoringCase(line.name, line.nameLength, "TZOFFSETTO", 10)) {
        o.hasTo = ParseOffset(line.value, line.valueLength, &o.offsetTo) || o.hasTo;
    } else if (SpanEqualsIgnoringCase(line.name, line.nameLength, "DTSTART", 7)) {
        PendingTime start;
        /* DTSTART of an observance is local time before the change; a "Z" is tolerated. */
        if (ParseDateTime(line.value, line.valueLength, &start)) {
            o.start = start.seconds;
            o.hasStart = true;
        }
    } else if (SpanEqualsIgnoringCase(line.name, line.nameLength, "RRULE", 5)) {
        if (!o.hasRule)
            o.rule.assign(line.value, line.valueLength);
        o.hasRule = true;
    } else if (SpanEqualsIgnoringCase(line.name, line.nameLength, "RDATE", 5)) {
        const wchar_t *item = line.value;
        size_t left = line.valueLength;
        for (;;) {
            size_t itemLength = FirstItemLength(item, left);
            /* A PERIOD "start/end" counts from its start. */
            size_t startLength = 0;
            while (startLength < itemLength && item[startLength] != L'/')
                startLength++;
            PendingTime date;
            if (ParseDateTime(item, startLength, &date))
                o.dates.push_back(date);
            if (itemLength == left)
                break;
            item += itemLength + 1;
            left -= itemLength + 1;
        }
    }
}

} // namespace

void ForgetCalendarZones()
{
    Zones.clear();
    Collecting.state = OutsideZone;
    Collecting.skippedDepth = 0;
    Collecting.name.clear();
    Collecting.zone = CalendarZone();
}

void CollectZoneLine(const wchar_t *text, size_t length)
{
    ContentLine line;
    if (!SplitContentLine(text, length, &line))
        return;
    bool begins = SpanEqualsIgnoringCase(line.name, line.nameLength, "BEGIN", 5);
    bool ends = SpanEqualsIgnoringCase(line.name, line.nameLength, "END", 3);
    switch (Collecting.state) {
    case OutsideZone:
        if (begins && SpanEqualsIgnoringCase(line.value, line.valueLength, "VTIMEZONE", 9)) {
            Collecting.state = InZone;
            Collecting.skippedDepth = 0;
            Collecting.name.clear();
            Collecting.zone = CalendarZone();
        }
        return;
    case InObservance:
        if (ends && (SpanEqualsIgnoringCase(line.value, line.valueLength, "STANDARD", 8) ||
                     SpanEqualsIgnoringCase(line.value, line.valueLength, "DAYLIGHT", 8))) {
            FinishObservance();
            return;
        }
        if (!ends || !SpanEqualsIgnoringCase(line.value, line.valueLength, "VTIMEZONE", 9)) {
            if (Collecting.skippedDepth == 0 && !begins && !ends)
                TakeObservanceLine(line);
            else if (begins)
                Collecting.skippedDepth++;
            else if (ends && Collecting.skippedDepth > 0)
                Collecting.skippedDepth--;
            return;
        }
        /* END:VTIMEZONE with the observance left open: it ends there too. */
        FinishObservance();
        FinishZone();
        return;
    case InZone:
        if (ends && SpanEqualsIgnoringCase(line.value, line.valueLength, "VTIMEZONE", 9)) {
            FinishZone();
        } else if (Collecting.skippedDepth > 0) {
            if (begins)
                Collecting.skippedDepth++;
            else if (ends)
                Collecting.skippedDepth--;
        } else if (begins && (SpanEqualsIgnoringCase(line.value, line.valueLength, "STANDARD", 8) ||
                              SpanEqualsIgnoringCase(line.value, line.valueLength, "DAYLIGHT", 8))) {
            StartObservance();
        } else if (begins && (SpanEqualsIgnoringCase(line.value, line.valueLength, "VEVENT", 6) ||
                              SpanEqualsIgnoringCase(line.value, line.valueLength, "VTODO", 5) ||
                              SpanEqualsIgnoringCase(line.value, line.valueLength, "VCALENDAR", 9))) {
            /* A zone left open before the next component: keep what it defined. */
            FinishZone();
        } else if (begins) {
            Collecting.skippedDepth++;
        } else if (SpanEqualsIgnoringCase(line.name, line.nameLength, "TZID", 4) && Collecting.name.empty()) {
            Collecting.name = UnescapeText(line.value, line.valueLength);
        }
        return;
    }
}

bool CalendarZoneToUtc(const std::wstring &name, CivilSeconds wallClock, CivilSeconds *utc)
{
    auto found = Zones.find(name);
    if (found == Zones.end())
        return false;
    const CalendarZone &zone = found->second;
    /* The offset after the latest change at or before wallClock; before the first
       change, the offset that the first change leaves. */
    bool any = false;
    CivilSeconds bestKey = 0;
    int offset = 0;
    auto after = std::upper_bound(zone.changes.begin(), zone.changes.end(), wallClock,
                                  [](CivilSeconds wall, const ZoneChange &c) { return wall < c.key; });
    if (after != zone.changes.begin()) {
        const ZoneChange &latest = *(after - 1);
        any = true;
        bestKey = latest.key;
        offset = latest.offsetTo;
    }
    CivilSeconds earliestKey = zone.changes.empty() ? 0 : zone.changes.front().key;
    int earliestOffset = zone.changes.empty() ? 0 : zone.changes.front().offsetFrom;
    bool haveEarliest = !zone.changes.empty();
    for (const ZoneRule &rule : zone.rules) {
        CivilSeconds key = 0;
        if (LatestRuleChange(rule, wallClock, &key) && (!any || key > bestKey)) {
            any = true;
            bestKey = key;
            offset = rule.offsetTo;
        }
        CivilSeconds startKey = KeyOfWallChange(rule.start, rule.offsetFrom, rule.offsetTo);
        if (!haveEarliest || startKey < earliestKey) {
            haveEarliest = true;
            earliestKey = startKey;
            earliestOffset = rule.offsetFrom;
        }
    }
    if (!any)
        offset = earliestOffset;
    *utc = wallClock - offset;
    return true;
}
