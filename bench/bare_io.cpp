/*
** The I/O that the plug-ins' durability asks for, done bare under the same Windows (or
** Wine), as a floor to measure the plug-ins against: log entries each opened, appended
** and closed; calendar lines each handed to the system with one WriteFile; and, for the
** import, the calendar read through in 64 KiB portions.
**
**   bare_io.exe write-calendar PATH LINES        (one WriteFile per 25-byte line)
**   bare_io.exe read-calendar PATH               (ReadFile in 64 KiB portions)
**   bare_io.exe log PATH ENTRIES                 (open, append one entry, close)
**   bare_io.exe export-pattern PATH TASKS        (both, in the export's order: per task
**                                                 an entry in PATH.log, then 8 lines)
**   bare_io.exe import-pattern PATH EVENTS       (the import's: PATH read through, then
**                                                 read again among the events' entries)
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

int WriteCalendar(const wchar_t *path, long lines)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    for (long i = 0; i < lines; i++)
        WriteFile(file, CalendarLine, sizeof CalendarLine - 1, &written, nullptr);
    CloseHandle(file);
    return 0;
}

int ReadCalendar(const wchar_t *path, long *bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::vector<char> portion(64 * 1024);
    DWORD got = 0;
    *bytes = 0;
    while (ReadFile(file, portion.data(), static_cast<DWORD>(portion.size()), &got, nullptr) && got > 0)
        *bytes += got;
    CloseHandle(file);
    return 0;
}

/* The export's entries are "\n" and a UID: 9 bytes with the CR LF. */
int AppendEntries(const wchar_t *path, long entries)
{
    static const char Entry[] = "\r\nT012345";
    for (long i = 0; i < entries; i++) {
        HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE)
            return 1;
        DWORD written = 0;
        WriteFile(log, Entry, sizeof Entry - 1, &written, nullptr);
        CloseHandle(log);
    }
    return 0;
}

/* The export's I/O in the export's order: for every task its log entry opened, appended
   and closed, then its event's eight lines written to the open calendar. */
int ExportPattern(const wchar_t *path, long tasks)
{
    std::wstring logPath = std::wstring(path) + L".log";
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    static const char Entry[] = "\r\nT012345";
    DWORD written = 0;
    for (long i = 0; i < tasks; i++) {
        HANDLE log = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE)
            return 1;
        WriteFile(log, Entry, sizeof Entry - 1, &written, nullptr);
        CloseHandle(log);
        for (int line = 0; line < 8; line++)
            WriteFile(file, CalendarLine, sizeof CalendarLine - 1, &written, nullptr);
    }
    CloseHandle(file);
    return 0;
}

/* The import's I/O in the import's order: the calendar read through once (the zone
   pass), then read again in 64 KiB portions among "Start changes" and the two entries
   of each event, opened, appended and closed, the portions spread evenly over the
   events. */
int ImportPattern(const wchar_t *path, long events)
{
    long bytes = 0;
    if (ReadCalendar(path, &bytes) != 0)
        return 1;
    std::wstring logPath = std::wstring(path) + L".log";
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::vector<char> portion(64 * 1024);
    long portions = bytes / static_cast<long>(portion.size()) + 1;
    long eventsPerPortion = events / portions + 1;
    auto append = [&](const char *entry) {
        HANDLE log = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        WriteFile(log, entry, static_cast<DWORD>(strlen(entry)), &written, nullptr);
        CloseHandle(log);
        return true;
    };
    DWORD got = 0;
    bool ok = append("Start changes\r\n");
    for (long i = 0; ok && i < events; i++) {
        if (i % eventsPerPortion == 0)
            ReadFile(file, portion.data(), static_cast<DWORD>(portion.size()), &got, nullptr);
        ok = append("Event start found\r\n") && append("Event end found\r\n");
    }
    CloseHandle(file);
    return ok ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: bare_io write-calendar PATH LINES | read-calendar PATH | log PATH ENTRIES"
                        " | export-pattern PATH TASKS | import-pattern PATH EVENTS\n");
        return 2;
    }
    const wchar_t *mode = argv[1], *path = argv[2];
    long count = argc > 3 ? wcstol(argv[3], nullptr, 10) : 0;
    LARGE_INTEGER start, stop;
    int status;
    long bytes = 0;
    QueryPerformanceCounter(&start);
    if (wcscmp(mode, L"write-calendar") == 0)
        status = WriteCalendar(path, count);
    else if (wcscmp(mode, L"read-calendar") == 0)
        status = ReadCalendar(path, &bytes);
    else if (wcscmp(mode, L"log") == 0)
        status = AppendEntries(path, count);
    else if (wcscmp(mode, L"export-pattern") == 0)
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
