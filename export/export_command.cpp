/*
** ExportCalendar: asks where to save, writes the calendar's header, the walk's events
** and its footer, and keeps the log beside the calendar. The chosen path stays in
** UTF-16 throughout, so a name the ANSI code page cannot carry still names that file.
*/
#include "export_command.h"

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "calendar_file.h"
#include "calendar_layout.h"
#include "diagnostic_log.h"
#include "event_writer.h"
#include "language.h"
#include "popup_notice.h"
#include "task_walk.h"
#include "timestamps.h"
#include "zv_plugins.h"

namespace {

const DWORD SaveDialogFileUnits = 1024;
const wchar_t SaveDialogFilter[] = L"iCal\0*.ics\0"; /* the literal's own NUL closes the list */
const wchar_t RootTask[] = L"root";

const wchar_t CannotCreateEnglish[] = L"The calendar file could not be created:\n";
const wchar_t CannotCreateRussian[] = L"Не удалось создать файл календаря:\n";

/* The chosen calendar path, from the dialog's return to the end of the run. */
std::wstring CalendarPath;

/* The save dialog; false when it returned no file. */
bool AskCalendarPath()
{
    wchar_t file[SaveDialogFileUnits] = {0};
    OPENFILENAMEW dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof dialog; /* 88: the full record */
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = SaveDialogFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = SaveDialogFileUnits;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    dialog.lpstrDefExt = L"ics";
    if (!GetSaveFileNameW(&dialog))
        return false;
    file[SaveDialogFileUnits - 1] = 0;
    CalendarPath = file;
    return !CalendarPath.empty();
}

void TellCalendarNotCreated()
{
    AppendLog("Dest file cannot be created\n");
    std::wstring notice(IsLanguageRussian() ? CannotCreateRussian : CannotCreateEnglish);
    notice += CalendarPath;
    ShowPopupNotice(notice.c_str());
}

void EndRun()
{
    ReleaseTimeZone();
    CloseCalendarFile();
    ReleaseTaskWalk();
    ReleaseEventWriter();
    ClearLogPath();
    std::wstring().swap(CalendarPath);
}

} // namespace

void ExportCalendar()
{
    if (!AskCalendarPath())
        return;
    SetLogPath(CalendarPath.c_str());
    /* The open below replaces the file anyway; deleting first also drops what a failed
       open would otherwise leave of an old calendar. */
    DeleteFileW(CalendarPath.c_str());
    AppendLog("Trying open dest file\n");
    if (!OpenCalendarForWrite(CalendarPath.c_str())) {
        TellCalendarNotCreated();
        EndRun();
        return;
    }
    AppendLog("File opened\n");

    int rootChildren = AddinZV_Task_GetChildsCount(RootTask);
    if (rootChildren > 0) {
        /* Four timestamps a task: the zone is read once for the whole calendar. */
        HoldTimeZone();
        for (const wchar_t *line : CalendarHeaderLines)
            WriteCalendarWideLine(line);
        AppendLog("Header printed\n");
        for (int index = 0; index < rootChildren; index++)
            ExportTaskTree(AddinZV_Task_GetChildUID(RootTask, index));
        WriteCalendarWideLine(CalendarFooterLine);
        AppendLog("Footer printed\n");
    }
    EndRun();
}

void AbandonExport()
{
    /* Every line went out whole (one write per line), so closing now leaves the
       calendar ending with the last line written. */
    CloseLogIfOpen();
    EndRun();
}
