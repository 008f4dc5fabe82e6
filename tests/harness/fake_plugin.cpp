/*
** A stand-in plug-in for testing the harness: it has the six exports, shows the file
** dialogs and the message box through its own imports (which the harness must redirect)
** and reports what it got back through the stand-in host's popup, so the record shows it;
** a chosen file also becomes a new task titled with its path.
** Built twice: fake_plugin.zvdll with all six exports, and partial_plugin.zvdll
** (FAKE_PLUGIN_PARTIAL) without ExecuteMainCommand and ContactMenuCommandExecute.
*/
#include <windows.h>

#include <commdlg.h>

#include <string>

#include "zv_plugins.h"

#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#ifdef FAKE_PLUGIN_PARTIAL
#define OPTIONAL_EXPORT extern "C"
#else
#define OPTIONAL_EXPORT PLUGIN_EXPORT
#endif

namespace {

/* The language doubles as the scenario: "open" shows the open dialog, "short" a save
   dialog with an 8-unit buffer, anything else the regular save dialog. */
std::wstring scenario;

} // namespace

PLUGIN_EXPORT const wchar_t *__cdecl GetMainCommandName()
{
    return scenario == L"Russian" ? L"Поддельная команда" : L"Fake command";
}

PLUGIN_EXPORT const wchar_t *__cdecl GetContactMenuCommandName()
{
    return L"Fake contact command";
}

PLUGIN_EXPORT void __cdecl SetLanguage(const wchar_t *language)
{
    scenario = language ? language : L"";
}

OPTIONAL_EXPORT void __cdecl ExecuteMainCommand()
{
    wchar_t file[1024] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = L"iCal\0*.ics\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = scenario == L"short" ? 8 : 1024;
    ofn.lpstrDefExt = L"ics";
    BOOL chosen;
    if (scenario == L"open") {
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        chosen = GetOpenFileNameW(&ofn);
    } else {
        ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
        chosen = GetSaveFileNameW(&ofn);
    }
    // A chosen file becomes a task, so that a run changes the host's tasks.
    if (chosen)
        AddinZV_Task_Insert(L"", L"root", file, AddinZV_GetCurrDate(), 0, L"", AddinZV_GetMinDate(),
                            AddinZV_GetMaxDate());
    AddinZV_ShowPopupCustom(chosen ? file : L"(no file)", chosen);
}

PLUGIN_EXPORT void __cdecl ChangedTask(const wchar_t *taskUid)
{
    AddinZV_ShowPopupCustom(AddinZV_Task_GetTitle(taskUid), 3000);
}

OPTIONAL_EXPORT void __cdecl ContactMenuCommandExecute(const wchar_t *contactUids)
{
    int answer = MessageBoxW(nullptr, contactUids, L"Hello", 0);
    AddinZV_ShowPopupCustom(L"message box closed", answer);
}
