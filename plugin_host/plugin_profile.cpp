/*
** The timing wrappers behind ProfilePluginCalls: each calls the real function between
** two readings of the processor's time-stamp counter and adds the difference to its own
** counter. The time-stamp counter costs about 10 ns a reading under Wine, where
** QueryPerformanceCounter costs about 90: at a dozen calls a task the wrappers' own
** cost would otherwise be a large part of what the plug-in seems to spend. The counter
** is converted to milliseconds by QueryPerformanceCounter over the whole measurement
** (the processors this runs on keep the counter at a constant rate).
*/
#include "plugin_profile.h"

#include <x86intrin.h>

#include <cstdio>

#include "plugin_harness.h"

namespace {

struct Counter {
    const char *name;
    long long calls;
    long long ticks;
};

enum {
    kCreateFileW,
    kWriteFile,
    kReadFile,
    kCloseHandle,
    kGetFileAttributesW,
    kDeleteFileW,
    kGetTimeZoneInformation,
    kSystemTimeToTzSpecificLocalTime,
    kTzSpecificLocalTimeToSystemTime,
    kMultiByteToWideChar,
    kWideCharToMultiByte,
    kCounterCount
};

/* The start of the measurement on both clocks, to convert counter ticks. */
unsigned long long StartStamp;
LARGE_INTEGER StartCount;

Counter Counters[kCounterCount] = {
    {"CreateFileW", 0, 0},
    {"WriteFile", 0, 0},
    {"ReadFile", 0, 0},
    {"CloseHandle", 0, 0},
    {"GetFileAttributesW", 0, 0},
    {"DeleteFileW", 0, 0},
    {"GetTimeZoneInformation", 0, 0},
    {"SystemTimeToTzSpecificLocalTime", 0, 0},
    {"TzSpecificLocalTimeToSystemTime", 0, 0},
    {"MultiByteToWideChar", 0, 0},
    {"WideCharToMultiByte", 0, 0},
};

/* Times one call of the real function. */
template <class Call>
auto Timed(int which, Call call) -> decltype(call())
{
    unsigned long long start = __rdtsc();
    auto result = call();
    unsigned long long stop = __rdtsc();
    Counters[which].calls++;
    Counters[which].ticks += static_cast<long long>(stop - start);
    return result;
}

HANDLE WINAPI ProfiledCreateFileW(LPCWSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e, DWORD f, HANDLE g)
{
    return Timed(kCreateFileW, [&] { return CreateFileW(a, b, c, d, e, f, g); });
}
BOOL WINAPI ProfiledWriteFile(HANDLE a, LPCVOID b, DWORD c, LPDWORD d, LPOVERLAPPED e)
{
    return Timed(kWriteFile, [&] { return WriteFile(a, b, c, d, e); });
}
BOOL WINAPI ProfiledReadFile(HANDLE a, LPVOID b, DWORD c, LPDWORD d, LPOVERLAPPED e)
{
    return Timed(kReadFile, [&] { return ReadFile(a, b, c, d, e); });
}
BOOL WINAPI ProfiledCloseHandle(HANDLE a)
{
    return Timed(kCloseHandle, [&] { return CloseHandle(a); });
}
DWORD WINAPI ProfiledGetFileAttributesW(LPCWSTR a)
{
    return Timed(kGetFileAttributesW, [&] { return GetFileAttributesW(a); });
}
BOOL WINAPI ProfiledDeleteFileW(LPCWSTR a)
{
    return Timed(kDeleteFileW, [&] { return DeleteFileW(a); });
}
DWORD WINAPI ProfiledGetTimeZoneInformation(LPTIME_ZONE_INFORMATION a)
{
    return Timed(kGetTimeZoneInformation, [&] { return GetTimeZoneInformation(a); });
}
BOOL WINAPI ProfiledSystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION *a, const SYSTEMTIME *b, LPSYSTEMTIME c)
{
    return Timed(kSystemTimeToTzSpecificLocalTime, [&] { return SystemTimeToTzSpecificLocalTime(a, b, c); });
}
BOOL WINAPI ProfiledTzSpecificLocalTimeToSystemTime(const TIME_ZONE_INFORMATION *a, const SYSTEMTIME *b, LPSYSTEMTIME c)
{
    return Timed(kTzSpecificLocalTimeToSystemTime, [&] { return TzSpecificLocalTimeToSystemTime(a, b, c); });
}
int WINAPI ProfiledMultiByteToWideChar(UINT a, DWORD b, LPCCH c, int d, LPWSTR e, int f)
{
    return Timed(kMultiByteToWideChar, [&] { return MultiByteToWideChar(a, b, c, d, e, f); });
}
int WINAPI ProfiledWideCharToMultiByte(UINT a, DWORD b, LPCWCH c, int d, LPSTR e, int f, LPCCH g, LPBOOL h)
{
    return Timed(kWideCharToMultiByte, [&] { return WideCharToMultiByte(a, b, c, d, e, f, g, h); });
}

} // namespace

bool ProfilePluginCalls(HMODULE module)
{
    struct Redirect {
        const char *name;
        void *wrapper;
    };
    const Redirect redirects[] = {
        {"CreateFileW", reinterpret_cast<void *>(ProfiledCreateFileW)},
        {"WriteFile", reinterpret_cast<void *>(ProfiledWriteFile)},
        {"ReadFile", reinterpret_cast<void *>(ProfiledReadFile)},
        {"CloseHandle", reinterpret_cast<void *>(ProfiledCloseHandle)},
        {"GetFileAttributesW", reinterpret_cast<void *>(ProfiledGetFileAttributesW)},
        {"DeleteFileW", reinterpret_cast<void *>(ProfiledDeleteFileW)},
        {"GetTimeZoneInformation", reinterpret_cast<void *>(ProfiledGetTimeZoneInformation)},
        {"SystemTimeToTzSpecificLocalTime", reinterpret_cast<void *>(ProfiledSystemTimeToTzSpecificLocalTime)},
        {"TzSpecificLocalTimeToSystemTime", reinterpret_cast<void *>(ProfiledTzSpecificLocalTimeToSystemTime)},
        {"MultiByteToWideChar", reinterpret_cast<void *>(ProfiledMultiByteToWideChar)},
        {"WideCharToMultiByte", reinterpret_cast<void *>(ProfiledWideCharToMultiByte)},
    };
    int patched = 0;
    for (const Redirect &redirect : redirects)
        patched += PatchModuleImport(module, "kernel32.dll", redirect.name, redirect.wrapper);
    ResetPluginProfile();
    return patched > 0;
}

void ResetPluginProfile()
{
    for (Counter &counter : Counters)
        counter.calls = counter.ticks = 0;
    QueryPerformanceCounter(&StartCount);
    StartStamp = __rdtsc();
}

double ProfileTicksToMilliseconds(unsigned long long ticks)
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    double stamps = static_cast<double>(__rdtsc() - StartStamp);
    double seconds = static_cast<double>(now.QuadPart - StartCount.QuadPart) / static_cast<double>(frequency.QuadPart);
    return stamps > 0 ? static_cast<double>(ticks) * seconds * 1000.0 / stamps : 0.0;
}

std::string PluginProfileReport()
{
    std::string report;
    for (const Counter &counter : Counters) {
        if (counter.calls == 0)
            continue;
        char line[128];
        snprintf(line, sizeof line, "  %-32s %9lld calls %10.3f ms\n", counter.name, counter.calls,
                 ProfileTicksToMilliseconds(static_cast<unsigned long long>(counter.ticks)));
        report += line;
    }
    return report;
}
