/*
** ChangedTask of ics_writer: a popup notice with the title of the task that changed,
** worded in the interface language.
*/
#include <string>

#include "command_guard.h"
#include "language.h"
#include "plugin_exports.h"
#include "popup_notice.h"
#include "zv_plugins.h"

/* The task of the running notification: RunGuarded takes a command without arguments. */
static const wchar_t *ChangedTaskUid;

/* The host is asked everything before any text is allocated, so an exception raised by
   the host leaves nothing behind; ShowPopupNotice contains its own. */
static void ShowTaskChangeNotice()
{
    if (AddinZV_Task_IsPresent(ChangedTaskUid) == 0)
        return;
    const wchar_t *title = AddinZV_Task_GetTitle(ChangedTaskUid);
    std::wstring text = IsLanguageRussian() ? L"Задача изменена:" : L"Task changed:";
    text += L"\r\n\r\n";
    text += title ? title : L"";
    ShowPopupNotice(text.c_str());
}

extern "C" void __cdecl ChangedTask(const wchar_t *taskUid)
{
    ChangedTaskUid = taskUid ? taskUid : L"";
    RunGuarded(ShowTaskChangeNotice);
    ChangedTaskUid = nullptr;
}
