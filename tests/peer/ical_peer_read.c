/*
** A native reader of an exported calendar through libical, the peer our files must
** satisfy: prints every VEVENT's SUMMARY, UID and four times, one event per line, and
** fails when libical reports a parse error or a time that is not UTC.
**   ical_peer_read FILE.ics
*/
#include <libical/ical.h>
#include <stdio.h>
#include <stdlib.h>

static char *ReadWholeFile(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file == NULL)
        return NULL;
    fseek(file, 0, SEEK_END);
    long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    char *bytes = malloc((size_t)size + 1);
    if (bytes != NULL && fread(bytes, 1, (size_t)size, file) != (size_t)size) {
        free(bytes);
        bytes = NULL;
    }
    if (bytes != NULL)
        bytes[size] = 0;
    fclose(file);
    return bytes;
}

/* Prints " NAME=value" for a time property; returns 0 when it is missing or not UTC. */
static int PrintTime(icalcomponent *event, icalproperty_kind kind, const char *name)
{
    icalproperty *property = icalcomponent_get_first_property(event, kind);
    if (property == NULL) {
        printf(" %s=(missing)", name);
        return 0;
    }
    struct icaltimetype time = icalvalue_get_datetime(icalproperty_get_value(property));
    printf(" %s=%s", name, icaltime_as_ical_string(time));
    return icaltime_is_utc(time) && !icaltime_is_date(time);
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: ical_peer_read FILE.ics\n");
        return 2;
    }
    char *bytes = ReadWholeFile(argv[1]);
    if (bytes == NULL) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    /* The calendar is handed over as stored, byte order mark included. */
    icalcomponent *calendar = icalparser_parse_string(bytes);
    free(bytes);
    if (calendar == NULL || icalcomponent_isa(calendar) != ICAL_VCALENDAR_COMPONENT) {
        fprintf(stderr, "libical found no VCALENDAR\n");
        return 1;
    }
    int faults = icalcomponent_count_errors(calendar);
    if (faults > 0)
        fprintf(stderr, "libical reports %d error(s):\n%s\n", faults, icalcomponent_as_ical_string(calendar));
    int events = 0;
    for (icalcomponent *event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event != NULL;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        const char *summary = icalcomponent_get_summary(event);
        const char *uid = icalcomponent_get_uid(event);
        printf("SUMMARY=%s UID=%s", summary ? summary : "(missing)", uid ? uid : "(missing)");
        int utc = PrintTime(event, ICAL_DTSTART_PROPERTY, "DTSTART");
        utc &= PrintTime(event, ICAL_DTEND_PROPERTY, "DTEND");
        utc &= PrintTime(event, ICAL_CREATED_PROPERTY, "CREATED");
        utc &= PrintTime(event, ICAL_LASTMODIFIED_PROPERTY, "LAST-MODIFIED");
        printf("\n");
        if (!utc || summary == NULL || uid == NULL) {
            fprintf(stderr, "event %d lacks a property or has a time that is not UTC\n", events + 1);
            faults++;
        }
        events++;
    }
    icalcomponent_free(calendar);
    printf("%d event(s)\n", events);
    return faults > 0 ? 1 : 0;
}
