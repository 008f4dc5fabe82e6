/*
** The I/O that the plug-ins' durability asks for, done bare under the same Windows (or
** Wine) and in the plug-ins' own order, as a floor to measure the plug-ins against: log
** entries each opened, appended and closed; calendar lines each handed to the system
** with one WriteFile; and, for the import, the calendar read in 64 KiB portions.
**
**   bare_io.exe export-pattern PATH TASKS        (per task an entry in PATH.log, then
**                                                 eight lines of PATH)
**   bare_io.exe import-pattern PATH EVENTS       (PATH read through, then read again
**                                                 among the events' entries in PATH.log)
**
** Prints "<what>: N.NNN ms" (QueryPerformanceCounter around the I/O alone).
*/
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Milliseconds(const LARGE_INTEGER &start, const LARGE_INTEGER &stop)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

/* The export's lines average about 25 bytes (20,188,968 bytes in 800,004 lines). */
const char CalendarLine[] = "DTSTART:20240115T083000Z\r\n";
const DWORD PortionBytes = 64 * 1024;

/* One log entry as the plug-ins append it: the log opened, the entry written, closed. */
bool AppendEntry(const std::wstring &logPath, const char *entry)
{
    HANDLE log = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(log, entry, static_cast<DWORD>(strlen(entry)), &written, nullptr);
    CloseHandle(log);
    return true;
}

/* The export's I/O in the export's order: for every task its log entry ("\n" and a UID,
   9 bytes with the CR LF), then its event's eight lines written to the open calendar. */
int ExportPattern(const wchar_t *path, long tasks)
{
    std::wstring logPath = std::wstring(path) + L".log";
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    bool ok = true;
    for (long i = 0; ok && i < tasks; i++) {
        ok = AppendEntry(logPath, "\r\nT012345");
        for (int line = 0; line < 8; line++)
            WriteFile(file, CalendarLine, sizeof CalendarLine - 1, &written, nullptr);
    }
    CloseHandle(file);
    return ok ? 0 : 1;
}

/* The import's I/O in the import's order: the calendar read through once (the zone
   pass), then read again in 64 KiB portions among "Start changes" and the two entries
   of each event, the portions spread evenly over the events. */
int ImportPattern(const wchar_t *path, long events)
{
    auto open = [path] {
        return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                           nullptr);
    };
    std::wstring logPath = std::wstring(path) + L".log";
    std::vector<char> portion(PortionBytes);
    DWORD got = 0;
    long bytes = 0;
    HANDLE file = open();
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    while (ReadFile(file, portion.data(), PortionBytes, &got, nullptr) && got > 0)
        bytes += got;
    CloseHandle(file); /* the plug-in, too, opens the calendar afresh for its second pass */
    file = open();
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    long eventsPerPortion = events / (bytes / static_cast<long>(PortionBytes) + 1) + 1;
    bool ok = AppendEntry(logPath, "Start changes\r\n");
    for (long i = 0; ok && i < events; i++) {
        if (i % eventsPerPortion == 0)
            ReadFile(file, portion.data(), PortionBytes, &got, nullptr);
        ok = AppendEntry(logPath, "Event start found\r\n") && AppendEntry(logPath, "Event end found\r\n");
    }
    CloseHandle(file);
    return ok ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: bare_io export-pattern PATH TASKS | import-pattern PATH EVENTS\n");
        return 2;
    }
    const wchar_t *mode = argv[1], *path = argv[2];
    long count = wcstol(argv[3], nullptr, 10);
    LARGE_INTEGER start, stop;
    int status;
    QueryPerformanceCounter(&start);
    if (wcscmp(mode, L"export-pattern") == 0)
        status = ExportPattern(path, count);
    else if (wcscmp(mode, L"import-pattern") == 0)
        status = ImportPattern(path, count);
    else
        return 2;
    QueryPerformanceCounter(&stop);
    if (status != 0) {
        fprintf(stderr, "bare_io: cannot open the file\n");
        return 1;
    }
    printf("%ls: %.3f ms\n", mode, Milliseconds(start, stop));
    return 0;
}
