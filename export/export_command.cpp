/*
** ExportCalendar: asks where to save, writes the calendar and keeps its log.
*/
#include "export_command.h"

#include "calendar_file.h"
#include "diagnostic_log.h"

void ExportCalendar()
{
    /* to be written with the export */
}

void AbandonExport()
{
    CloseCalendarFile();
    CloseLogIfOpen();
    ClearLogPath();
}
