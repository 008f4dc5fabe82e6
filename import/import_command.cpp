/*
** ImportCalendar: reads the chosen calendar line by line inside the host's change
** bracket and hands every event to ImportEvent.
*/
#include "import_command.h"

#include "calendar_file.h"
#include "diagnostic_log.h"

void ImportCalendar()
{
    /* to be written with the import */
}

void AbandonImport()
{
    CloseCalendarFile();
    CloseLogIfOpen();
    ClearLogPath();
}
