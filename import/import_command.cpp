/*
** ImportCalendar: the open dialog, then the chosen calendar read line by line inside
** the host's change bracket; every event is handed to ImportEvent as soon as its last
** line has been read. One line portion and one event's text are held at a time.
*/
#include "import_command.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "calendar_file.h"
#include "calendar_layout.h"
#include "content_line.h"
#include "diagnostic_log.h"
#include "timestamps.h"
#include "event_reader.h"
#include "time_zones.h"
#include "zone_pass.h"
#include "zv_plugins.h"

namespace {

/* The chosen path's buffer, in UTF-16 units, terminator included. */
const DWORD ChosenPathCapacity = 1024;

/* The longest event text that is held, in UTF-16 units. Other programs' events carry
   descriptions, HTML and inline attachments far beyond one line portion; a longer
   event is read to its end and skipped whole, never imported in part. */
const size_t EventTextCapacity = 1024 * 1024;

const wchar_t ReplacementCharacter = 0xFFFD;

/* The state of a running import, module-wide so that AbandonImport can close and
   release it after an exception. */
struct ImportRun {
    std::vector<wchar_t> line; /* one portion of a line and its terminator */
    std::wstring eventText;    /* kept between events: one allocation for a long import */
    bool eventTooLong = false;
    int eventNumber = 0;
    bool changesOpen = false; /* AddinZV_ChangesStart returned, AddinZV_ChangesEnd has not */
};

ImportRun Run;

bool ChooseCalendar(wchar_t *chosenPath)
{
    OPENFILENAMEW dialog;
    ZeroMemory(&dialog, sizeof dialog);
    static_assert(sizeof(OPENFILENAMEW) == 88, "the dialog record of the full size");
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = L"iCal\0*.ics\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosenPath;
    dialog.nMaxFile = ChosenPathCapacity;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    dialog.lpstrDefExt = L"ics";
    return GetOpenFileNameW(&dialog) != FALSE;
}

const char *OpenFailureEntry(CalendarOpenResult result)
{
    if (result == CalendarBigEndian)
        return "Calendar not read: it is stored as UTF-16 big-endian (starts with FE FF), which is not read";
    return "Calendar not read: the file cannot be opened (missing, locked, a folder or not readable)";
}

/* Appends a portion of an event line unless the event has outgrown its capacity, in
   which case the text is dropped and the event is only read to its end. */
void AppendToEvent(const wchar_t *portion, size_t length)
{
    if (Run.eventTooLong)
        return;
    if (Run.eventText.size() + length > EventTextCapacity) {
        Run.eventTooLong = true;
        Run.eventText.clear();
        return;
    }
    size_t at = Run.eventText.size();
    Run.eventText.append(portion, length);
    /* A NUL unit would end the text early for everything that reads it. */
    for (size_t i = at; i < Run.eventText.size(); i++)
        if (Run.eventText[i] == 0)
            Run.eventText[i] = ReplacementCharacter;
}

void FinishEvent()
{
    AppendLogLine("Event end found");
    if (Run.eventTooLong) {
        std::string entry = "Event " + std::to_string(Run.eventNumber) + " skipped: longer than " +
                            std::to_string(EventTextCapacity) + " characters";
        AppendLogLine(entry.c_str());
    } else {
        ImportEvent(Run.eventText.c_str(), Run.eventNumber);
    }
    Run.eventText.clear();
    Run.eventTooLong = false;
}

/* Lines are read in portions; only a portion that starts a line can be a marker, so a
   marker text inside a long line, or later in any line, is text. */
void ScanCalendar()
{
    Run.line.assign(CalendarLinePortion + 1, 0);
    bool gathering = false;
    bool atLineStart = true;
    size_t length;
    while ((length = ReadCalendarLine(Run.line.data())) > 0) {
        const wchar_t *portion = Run.line.data();
        bool startsLine = atLineStart;
        atLineStart = portion[length - 1] == L'\n';
        if (!gathering) {
            if (startsLine && IsMarkerLine(portion, length, EventBeginMarker)) {
                AppendLogLine("Event start found");
                gathering = true;
                Run.eventNumber++;
            }
            continue;
        }
        AppendToEvent(portion, length);
        if (startsLine && IsMarkerLine(portion, length, EventEndMarker)) {
            FinishEvent();
            gathering = false;
        }
    }
    if (gathering)
        FinishEvent(); /* cut off by the end of the file: imported from the lines it has */
}

void ReleaseRun()
{
    std::vector<wchar_t>().swap(Run.line);
    std::wstring().swap(Run.eventText);
    Run.eventTooLong = false;
    Run.eventNumber = 0;
    ReleaseEventReader();
    ForgetCalendarZones();
}

} // namespace

void ImportCalendar()
{
    wchar_t chosenPath[ChosenPathCapacity] = {0};
    if (!ChooseCalendar(chosenPath))
        return;
    /* The path stays in UTF-16 all the way, so a name the ANSI code page cannot carry is
       opened as chosen and its log lands beside it. */
    SetLogPath(chosenPath);
    CalendarOpenResult opened = OpenCalendarForRead(chosenPath);
    if (opened == CalendarOpened) {
        /* Zones first: an event may name a zone that the file defines after it. */
        ForgetCalendarZones();
        CollectZonesFromCalendar();
        CloseCalendarFile();
        opened = OpenCalendarForRead(chosenPath);
    }
    if (opened != CalendarOpened) {
        ForgetCalendarZones();
        /* Nothing to change: the host's change bracket is not opened at all. */
        AppendLogLine(OpenFailureEntry(opened));
        ClearLogPath();
        return;
    }
    AddinZV_ChangesStart();
    Run.changesOpen = true;
    AppendLogLine("Start changes");
    /* Two local times an event: the zone is read once for the whole calendar. */
    HoldTimeZone();
    ScanCalendar();
    ReleaseTimeZone();
    AddinZV_ChangesEnd();
    Run.changesOpen = false;
    ReleaseRun();
    CloseCalendarFile();
    ClearLogPath();
}

void AbandonImport()
{
    ReleaseTimeZone();
    CloseCalendarFile();
    CloseLogIfOpen();
    AppendLogLine("Import stopped: an error left the command; the changes made so far are kept");
    ReleaseRun();
    ClearLogPath();
    /* Last, since it calls the host, which may fail once more. */
    if (Run.changesOpen) {
        Run.changesOpen = false;
        AddinZV_ChangesEnd();
    }
}
