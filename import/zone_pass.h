/*
** CollectZonesFromCalendar: the first of an import's two passes over the calendar,
** handing every unfolded line to the zone collector (time_zones.h).
*/
#ifndef IMPORT_ZONE_PASS_H
#define IMPORT_ZONE_PASS_H

/* Reads the open CalendarStream to its end. The caller opens the file again for the
   pass that reads the events. */
void CollectZonesFromCalendar();

#endif /* IMPORT_ZONE_PASS_H */
