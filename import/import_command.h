/*
** ImportCalendar, the main command of ics_reader: the open dialog, the change bracket
** around the whole run, and one ImportEvent per event of the chosen calendar.
*/
#ifndef IMPORT_IMPORT_COMMAND_H
#define IMPORT_IMPORT_COMMAND_H

void ImportCalendar();

/* Closes the file and the change bracket and releases what a run left; called after an
   exception left it. */
void AbandonImport();

#endif /* IMPORT_IMPORT_COMMAND_H */
