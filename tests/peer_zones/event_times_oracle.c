/*
** Native (Linux) oracle for the import of other programs' calendars: reads a calendar
** with libical and prints, per VEVENT in file order, its number, UID, SUMMARY and the
** local wall-clock start and end in the zone of the TZ variable, as one JSON object a
** line. The reader's rules for what a time means are restated here independently:
**   - a date (VALUE=DATE) starts at local midnight; a date end is exclusive, so the
**     task ends one second before that day's midnight (never before its start); a date
**     start without an end lasts its one day;
**   - a UTC time (Z) and a time in a zone are converted to local time; the zone is
**     the calendar's VTIMEZONE of that name, else an IANA name of the system's zone
**     database (also its tail after a writer's "/vendor/.../" prefix); a zone nothing
**     defines leaves the time as local time;
**   - a time with neither Z nor TZID is UTC when written in the plug-ins' own form
**     ("DTSTART:value" at a line start), local time otherwise;
**   - no end: the task ends when it starts (DURATION is not read).
** Usage: event_times_oracle FILE.ics
*/
#define _GNU_SOURCE
#include <libical/ical.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

static char *ReadWholeFile(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file == NULL)
        return NULL;
    size_t capacity = 1 << 16, length = 0;
    char *text = malloc(capacity + 1);
    size_t got;
    while ((got = fread(text + length, 1, capacity - length, file)) > 0) {
        length += got;
        if (length == capacity) {
            capacity *= 2;
            text = realloc(text, capacity + 1);
        }
    }
    fclose(file);
    text[length] = 0;
    return text;
}

static void PrintJsonString(const char *text)
{
    putchar('"');
    for (const unsigned char *c = (const unsigned char *)text; *c != 0; c++) {
        if (*c == '"' || *c == '\\')
            printf("\\%c", *c);
        else if (*c < 0x20)
            printf("\\u%04x", *c);
        else
            putchar(*c);
    }
    putchar('"');
}

/* The calendar's raw text: whether a time was written in the plug-ins' own form
   ("DTSTART:" at a line start, no parameters) is a matter of how it was written, which
   libical does not keep. */
static char *RawText;

/* The text with every line end that a blank or tab follows removed with that one
   character (RFC 5545 3.1), in a new buffer. */
static char *Unfolded(const char *text)
{
    char *result = malloc(strlen(text) + 1), *out = result;
    for (const char *c = text; *c != 0; c++) {
        if (c[0] == '\r' && c[1] == '\n' && (c[2] == ' ' || c[2] == '\t')) {
            c += 2;
            continue;
        }
        if (c[0] == '\n' && (c[1] == ' ' || c[1] == '\t')) {
            c += 1;
            continue;
        }
        *out++ = *c;
    }
    *out = 0;
    return result;
}

static int WrittenPlain(icalproperty *property, struct icaltimetype value)
{
    char needle[64];
    snprintf(needle, sizeof needle, "\n%s:%s", icalproperty_kind_to_string(icalproperty_isa(property)),
             icaltime_as_ical_string(value));
    return strstr(RawText, needle) != NULL;
}

/* An IANA name the system's zone database holds, or NULL. Writers' prefixes such as
   "/mozilla.org/20050126_1/Europe/Berlin" are cut at each "/" in turn. */
static const char *SystemZoneName(const char *name)
{
    for (const char *tail = name; tail != NULL; tail = strchr(tail + 1, '/')) {
        const char *candidate = *tail == '/' ? tail + 1 : tail;
        if (*candidate == 0 || strstr(candidate, "..") != NULL)
            continue;
        char path[1024];
        struct stat info;
        snprintf(path, sizeof path, "/usr/share/zoneinfo/%s", candidate);
        if (stat(path, &info) == 0 && S_ISREG(info.st_mode))
            return candidate;
    }
    return NULL;
}

/* Wall clock in an IANA zone to UTC seconds, by the C library's own zone rules. */
static time_t SystemZoneToUtc(const char *zone, struct icaltimetype wall)
{
    char *saved = getenv("TZ") ? strdup(getenv("TZ")) : NULL;
    setenv("TZ", zone, 1);
    tzset();
    struct tm fields = {0};
    fields.tm_year = wall.year - 1900;
    fields.tm_mon = wall.month - 1;
    fields.tm_mday = wall.day;
    fields.tm_hour = wall.hour;
    fields.tm_min = wall.minute;
    fields.tm_sec = wall.second;
    fields.tm_isdst = -1;
    time_t utc = mktime(&fields);
    if (saved != NULL) {
        setenv("TZ", saved, 1);
        free(saved);
    } else {
        unsetenv("TZ");
    }
    tzset();
    return utc;
}

static void FormatLocal(time_t utc, char *text, size_t size)
{
    struct tm local;
    localtime_r(&utc, &local);
    strftime(text, size, "%Y-%m-%d %H:%M:%S", &local);
}


/* Seconds of a wall-clock reading, for comparing and shifting local readings. */
static time_t WallSeconds(struct icaltimetype wall)
{
    struct tm fields = {0};
    fields.tm_year = wall.year - 1900;
    fields.tm_mon = wall.month - 1;
    fields.tm_mday = wall.day;
    fields.tm_hour = wall.hour;
    fields.tm_min = wall.minute;
    fields.tm_sec = wall.second;
    return timegm(&fields);
}

static void FormatWallSeconds(time_t seconds, char *text, size_t size)
{
    struct tm fields;
    gmtime_r(&seconds, &fields);
    strftime(text, size, "%Y-%m-%d %H:%M:%S", &fields);
}

/* The local wall clock of a DTSTART or DTEND property as seconds (read as UTC
   fields); zoneNote receives how the zone was found. Returns 0 when the property
   holds no time libical could read. */
static int LocalTimeOf(icalcomponent *calendar, icalproperty *property, time_t *local, const char **zoneNote)
{
    struct icaltimetype value = icalvalue_get_datetime(icalproperty_get_value(property));
    if (icaltime_is_null_time(value) || !icaltime_is_valid_time(value))
        return 0;
    char text[64];
    *zoneNote = "";
    if (value.is_date) {
        value.hour = value.minute = value.second = 0;
        *local = WallSeconds(value);
        *zoneNote = "date";
        return 1;
    }
    icalparameter *tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    const char *tzidText = tzid != NULL ? icalparameter_get_tzid(tzid) : NULL;
    time_t utc;
    if (icaltime_is_utc(value)) {
        utc = icaltime_as_timet(value);
        *zoneNote = "utc";
    } else if (tzidText != NULL && *tzidText != 0) {
        icaltimezone *zone = calendar != NULL ? icalcomponent_get_timezone(calendar, tzidText) : NULL;
        const char *systemZone = zone == NULL ? SystemZoneName(tzidText) : NULL;
        if (zone != NULL) {
            struct icaltimetype converted = value;
            icaltimezone_convert_time(&converted, zone, icaltimezone_get_utc_timezone());
            converted.zone = icaltimezone_get_utc_timezone();
            utc = icaltime_as_timet(converted);
            *zoneNote = "vtimezone";
        } else if (systemZone != NULL) {
            utc = SystemZoneToUtc(systemZone, value);
            *zoneNote = "iana";
        } else {
            *local = WallSeconds(value);
            *zoneNote = "unknown zone";
            return 1;
        }
    } else if (icalproperty_count_parameters(property) == 0 && WrittenPlain(property, value)) {
        value.zone = icaltimezone_get_utc_timezone();
        utc = icaltime_as_timet(value);
        *zoneNote = "plain utc";
    } else {
        *local = WallSeconds(value);
        *zoneNote = "floating";
        return 1;
    }
    FormatLocal(utc, text, sizeof text);
    struct icaltimetype localFields = icaltime_from_string("19700101T000000");
    sscanf(text, "%d-%d-%d %d:%d:%d", &localFields.year, &localFields.month, &localFields.day, &localFields.hour,
           &localFields.minute, &localFields.second);
    *local = WallSeconds(localFields);
    return 1;
}

static void PrintEvent(icalcomponent *calendar, icalcomponent *event, int number)
{
    printf("{\"event\":%d", number);
    icalproperty *uid = icalcomponent_get_first_property(event, ICAL_UID_PROPERTY);
    if (uid != NULL) {
        printf(",\"uid\":");
        PrintJsonString(icalproperty_get_uid(uid));
    }
    icalproperty *summary = icalcomponent_get_first_property(event, ICAL_SUMMARY_PROPERTY);
    printf(",\"summary\":");
    PrintJsonString(summary != NULL ? icalproperty_get_summary(summary) : "");
    icalproperty *start = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    icalproperty *end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY);
    time_t startLocal = 0, endLocal = 0;
    const char *startNote = "", *endNote = "";
    if (start == NULL || !LocalTimeOf(calendar, start, &startLocal, &startNote)) {
        printf(",\"start\":null}\n");
        return;
    }
    if (end == NULL || !LocalTimeOf(calendar, end, &endLocal, &endNote)) {
        endLocal = startLocal;
        endNote = "no end";
        if (strcmp(startNote, "date") == 0) {
            endLocal = startLocal + 86399; /* a day-long event */
            endNote = "one day";
        }
    } else if (strcmp(endNote, "date") == 0) {
        endLocal -= 1;
        if (endLocal < startLocal)
            endLocal = startLocal;
    }
    char startText[64], endText[64];
    FormatWallSeconds(startLocal, startText, sizeof startText);
    FormatWallSeconds(endLocal, endText, sizeof endText);
    printf(",\"start\":\"%s\",\"end\":\"%s\",\"start_zone\":\"%s\",\"end_zone\":\"%s\"}\n", startText, endText,
           startNote, endNote);
}

/* Every VEVENT in document order, with the VCALENDAR that holds it (for its zones). */
static void WalkComponents(icalcomponent *component, icalcomponent *calendar, int *number)
{
    if (icalcomponent_isa(component) == ICAL_VCALENDAR_COMPONENT)
        calendar = component;
    if (icalcomponent_isa(component) == ICAL_VEVENT_COMPONENT) {
        (*number)++;
        PrintEvent(calendar, component, *number);
    }
    for (icalcomponent *child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child != NULL;
         child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        WalkComponents(child, calendar, number);
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: event_times_oracle FILE.ics\n");
        return 2;
    }
    char *text = ReadWholeFile(argv[1]);
    if (text == NULL) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    RawText = Unfolded(text);
    icalcomponent *root = icalparser_parse_string(text);
    int number = 0;
    if (root != NULL) {
        WalkComponents(root, NULL, &number);
        icalcomponent_free(root);
    }
    free(RawText);
    free(text);
    return 0;
}
