/*
** The exports that make ics_reader: its caption, the guarded import command and a
** task-change notice that shows nothing.
*/
#include "command_guard.h"
#include "import_command.h"
#include "language.h"
#include "plugin_exports.h"

static const wchar_t MainCaptionEnglish[] = L"Import tasks from iCal format";
static const wchar_t MainCaptionRussian[] = L"Импорт задач из формата iCal";

extern "C" const wchar_t *__cdecl GetMainCommandName(void)
{
    return IsLanguageRussian() ? MainCaptionRussian : MainCaptionEnglish;
}

extern "C" void __cdecl ExecuteMainCommand(void)
{
    /* The file and the host's change bracket are closed on every path. The closing calls
       the host too, so it runs guarded as well: nothing may leave this export. */
    if (!RunGuarded(ImportCalendar))
        RunGuarded(AbandonImport);
}

extern "C" void __cdecl ChangedTask(const wchar_t *)
{
    /* The import plug-in shows no notice of its own. */
}
