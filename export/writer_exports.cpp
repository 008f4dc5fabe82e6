/*
** The exports that make ics_writer: its caption and the guarded export command (the
** task-change notice is in task_change_notice.cpp).
*/
#include "command_guard.h"
#include "export_command.h"
#include "language.h"
#include "plugin_exports.h"

static const wchar_t MainCaptionEnglish[] = L"Export tasks to iCal format";
static const wchar_t MainCaptionRussian[] = L"Экспорт задач в формат iCal";

extern "C" const wchar_t *__cdecl GetMainCommandName(void)
{
    return IsLanguageRussian() ? MainCaptionRussian : MainCaptionEnglish;
}

extern "C" void __cdecl ExecuteMainCommand(void)
{
    /* Whatever leaves the command, the host sees a normal return and the calendar keeps
       the lines written so far. */
    if (!RunGuarded(ExportCalendar))
        AbandonExport();
}
