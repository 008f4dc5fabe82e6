/*
** LogPath and the appends to it. Each entry opens the log, appends and closes it again:
** durability of every entry is chosen over speed. Written through Win32 handles with
** the line ends made here, as the C runtime's text mode would make them.
*/
#include "diagnostic_log.h"

#include <windows.h>

#include <cstring>
#include <string>

static std::wstring LogPath;
static HANDLE OpenLog = INVALID_HANDLE_VALUE;
/* The bytes of the entry being appended, kept while the path is set so that a run of
   many entries allocates once. */
static std::string EntryBytes;

void SetLogPath(const wchar_t *calendarPath)
{
    LogPath = calendarPath;
    LogPath += L".log";
}

void ClearLogPath()
{
    std::wstring().swap(LogPath);
    std::string().swap(EntryBytes);
}

static void AppendBytes(const char *bytes, size_t length)
{
    DWORD written = 0;
    while (length > 0 && WriteFile(OpenLog, bytes, static_cast<DWORD>(length), &written, nullptr) && written > 0) {
        bytes += written;
        length -= written;
    }
}

/* The entry with every "\n" as CR LF, in one buffer, so that it reaches the file with
   one write: under some platforms every write to a freshly opened file is costly. */
static void AppendToLog(const char *entry, bool withLineEnd)
{
    if (LogPath.empty())
        return;
    std::string &bytes = EntryBytes;
    bytes.clear();
    for (const char *at = entry != nullptr ? entry : ""; *at != 0; at++) {
        if (*at == '\n')
            bytes += '\r';
        bytes += *at;
    }
    if (withLineEnd)
        bytes += "\r\n";
    OpenLog = CreateFileW(LogPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (OpenLog == INVALID_HANDLE_VALUE)
        return; /* a log that cannot be written never stops the command */
    AppendBytes(bytes.data(), bytes.size());
    CloseLogIfOpen();
}

void AppendLog(const char *entry)
{
    AppendToLog(entry, false);
}

void AppendLogLine(const char *entry)
{
    AppendToLog(entry, true);
}

void CloseLogIfOpen()
{
    if (OpenLog != INVALID_HANDLE_VALUE)
        CloseHandle(OpenLog);
    OpenLog = INVALID_HANDLE_VALUE;
}
