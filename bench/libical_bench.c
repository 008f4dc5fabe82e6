/*
** The yardstick for the plug-ins' own work: libical, natively, doing the same jobs.
** read: parses a calendar and reads UID, SUMMARY, DTSTART and DTEND of every event;
** write: builds and writes as many eight-line events as the calendar holds.
**
**   cc -O2 bench/libical_bench.c -o libical_bench $(pkg-config --cflags --libs libical)
**   libical_bench read CALENDAR
**   libical_bench write CALENDAR OUT      (writes OUT from CALENDAR's events)
**
** Prints "libical <what>: N.NNN ms, M events" (CLOCK_MONOTONIC around the work).
*/
#include <libical/ical.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

struct EventValues {
    char *uid, *summary;
    struct icaltimetype start, end;
};

static double Now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static char *ReadLine(char *s, size_t size, void *data)
{
    return fgets(s, (int)size, (FILE *)data);
}

/* libical does not skip a byte order mark: without this its BEGIN:VCALENDAR is unknown. */
static void SkipByteOrderMark(FILE *in)
{
    unsigned char head[3];
    if (fread(head, 1, 3, in) != 3 || head[0] != 0xEF || head[1] != 0xBB || head[2] != 0xBF)
        rewind(in);
}

/* Parses the file and keeps the four values of every event in events (may be null). */
static long ParseEvents(const char *path, struct EventValues **events)
{
    FILE *in = fopen(path, "rb");
    if (in == NULL)
        return -1;
    SkipByteOrderMark(in);
    icalparser *parser = icalparser_new();
    icalparser_set_gen_data(parser, in);
    icalcomponent *calendar = icalparser_parse(parser, ReadLine);
    icalparser_free(parser);
    fclose(in);
    if (calendar == NULL)
        return -1;
    long count = 0, capacity = 1024;
    if (events != NULL)
        *events = malloc(capacity * sizeof **events);
    for (icalcomponent *event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event != NULL;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        const char *uid = icalcomponent_get_uid(event);
        const char *summary = icalcomponent_get_summary(event);
        struct icaltimetype start = icalcomponent_get_dtstart(event);
        struct icaltimetype end = icalcomponent_get_dtend(event);
        if (events != NULL) {
            if (count == capacity)
                *events = realloc(*events, (capacity *= 2) * sizeof **events);
            (*events)[count].uid = strdup(uid ? uid : "");
            (*events)[count].summary = strdup(summary ? summary : "");
            (*events)[count].start = start;
            (*events)[count].end = end;
        }
        count++;
    }
    icalcomponent_free(calendar);
    return count;
}

/* One event at a time, as the export writes them: built, turned into text, written. */
static long WriteEvents(const char *path, const struct EventValues *events, long count)
{
    FILE *out = fopen(path, "wb");
    if (out == NULL)
        return -1;
    fputs("BEGIN:VCALENDAR\r\nPRODID:Plandra Export plugin\r\nVERSION:2.0\r\n", out);
    for (long i = 0; i < count; i++) {
        icalcomponent *event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
        icalcomponent_add_property(event, icalproperty_new_summary(events[i].summary));
        icalcomponent_add_property(event, icalproperty_new_uid(events[i].uid));
        icalcomponent_add_property(event, icalproperty_new_dtstart(events[i].start));
        icalcomponent_add_property(event, icalproperty_new_dtend(events[i].end));
        icalcomponent_add_property(event, icalproperty_new_created(events[i].start));
        icalcomponent_add_property(event, icalproperty_new_lastmodified(events[i].end));
        char *text = icalcomponent_as_ical_string_r(event);
        fputs(text, out);
        free(text);
        icalcomponent_free(event);
    }
    fputs("END:VCALENDAR\r\n", out);
    fclose(out);
    return count;
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "read") == 0) {
        double start = Now();
        long count = ParseEvents(argv[2], NULL);
        double stop = Now();
        if (count < 0)
            return 1;
        printf("libical read: %.3f ms, %ld events\n", stop - start, count);
        return 0;
    }
    if (argc == 4 && strcmp(argv[1], "write") == 0) {
        struct EventValues *events = NULL;
        long count = ParseEvents(argv[2], &events);
        if (count < 0)
            return 1;
        double start = Now();
        WriteEvents(argv[3], events, count);
        double stop = Now();
        printf("libical write: %.3f ms, %ld events\n", stop - start, count);
        return 0;
    }
    fprintf(stderr, "usage: libical_bench read CALENDAR | write CALENDAR OUT\n");
    return 2;
}
