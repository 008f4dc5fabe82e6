/*
** The StandIn_ control functions: task files in and out, the call record, the failure
** rule and the counters that tests and the command-line host read.
*/
#include "standin_control.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "call_record.h"
#include "task_file.h"
#include "task_model.h"
#include "text_utf.h"

namespace {

std::string lastError;
std::string taskJson;
std::string popupXaml;

struct FileCloser {
    void operator()(FILE *f) const { fclose(f); }
};

void ResetAfterLoad()
{
    CallRecord &record = TheCallRecord();
    record.lines.clear();
    record.totalCalls = 0;
    lastError.clear();
}

} // namespace

extern "C" {

int __cdecl StandIn_LoadTaskFile(const wchar_t *path)
{
    try {
        std::string name = WideToUtf8(path);
        std::unique_ptr<FILE, FileCloser> file(_wfopen(path ? path : L"", L"rb"));
        if (!file) {
            lastError = "cannot open task file \"" + name + "\"";
            return 0;
        }
        std::string bytes;
        char chunk[65536];
        size_t got;
        while ((got = fread(chunk, 1, sizeof chunk, file.get())) > 0)
            bytes.append(chunk, got);
        std::string error;
        if (!ReadTaskJson(bytes, &CurrentModel(), &error)) {
            lastError = "task file \"" + name + "\": " + error;
            return 0;
        }
        ResetAfterLoad();
        return 1;
    } catch (const std::exception &e) {
        lastError = e.what();
        return 0;
    }
}

int __cdecl StandIn_LoadTaskJson(const char *utf8Json)
{
    try {
        std::string error;
        if (!ReadTaskJson(utf8Json ? utf8Json : "", &CurrentModel(), &error)) {
            lastError = "task JSON: " + error;
            return 0;
        }
        ResetAfterLoad();
        return 1;
    } catch (const std::exception &e) {
        lastError = e.what();
        return 0;
    }
}

const char *__cdecl StandIn_TaskJson(void)
{
    try {
        taskJson = WriteTaskJson(CurrentModel());
    } catch (const std::exception &e) {
        lastError = e.what();
        taskJson.clear();
    }
    return taskJson.c_str();
}

int __cdecl StandIn_SaveTaskFile(const wchar_t *path)
{
    try {
        std::string bytes = WriteTaskJson(CurrentModel());
        std::string name = WideToUtf8(path);
        std::unique_ptr<FILE, FileCloser> file(_wfopen(path ? path : L"", L"wb"));
        if (!file || fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
            lastError = "cannot write task file \"" + name + "\"";
            return 0;
        }
        if (fclose(file.release()) != 0) {
            lastError = "cannot write task file \"" + name + "\"";
            return 0;
        }
        return 1;
    } catch (const std::exception &e) {
        lastError = e.what();
        return 0;
    }
}

const char *__cdecl StandIn_LastError(void)
{
    return lastError.c_str();
}

int __cdecl StandIn_CallCount(void)
{
    return (int)TheCallRecord().lines.size();
}

const char *__cdecl StandIn_Call(int index)
{
    const auto &lines = TheCallRecord().lines;
    if (index < 0 || (size_t)index >= lines.size())
        return "";
    return lines[index].c_str();
}

void __cdecl StandIn_ClearCalls(void)
{
    TheCallRecord().lines.clear();
}

void __cdecl StandIn_SetRecording(int on)
{
    TheCallRecord().recording = on != 0;
}

void __cdecl StandIn_FailOnCall(const char *functionName, int nth, int mode)
{
    CallRecord &record = TheCallRecord();
    record.failName = functionName ? functionName : "";
    record.failCountdown = functionName ? nth : 0;
    record.failMode = mode;
}

int __cdecl StandIn_ChangesDepth(void)
{
    return CurrentModel().changesDepth;
}

long __cdecl StandIn_TotalCalls(void)
{
    return TheCallRecord().totalCalls;
}

unsigned long long __cdecl StandIn_HostTicks(void)
{
    return TheHostTicks();
}

long __cdecl StandIn_AppliedChanges(void)
{
    return CurrentModel().appliedChanges;
}

int __cdecl StandIn_PopupCount(void)
{
    return (int)CurrentModel().popups.size();
}

const char *__cdecl StandIn_PopupXaml(int index)
{
    const auto &popups = CurrentModel().popups;
    popupXaml = index >= 0 && (size_t)index < popups.size() ? WideToUtf8(popups[index].xaml) : std::string();
    return popupXaml.c_str();
}

int __cdecl StandIn_PopupMilliseconds(int index)
{
    const auto &popups = CurrentModel().popups;
    return index >= 0 && (size_t)index < popups.size() ? popups[index].milliseconds : 0;
}

} // extern "C"
