/*
** The stress tests' fixture: loading the deliverables, running their commands on a
** path, and the invariant checks that follow every hostile input.
*/
#include "stress_fixture.h"

#include <windows.h>

#include <cstring>

#include "standin_control.h"

const char BaseTasks[] =
    "{\"now\": \"2026-12-11 10:00:00\", \"tasks\": ["
    "{\"uid\":\"T1\",\"title\":\"First\",\"begin\":\"2024-01-01 08:00:00\",\"end\":\"2024-01-01 09:00:00\"},"
    "{\"uid\":\"T2\",\"title\":\"Second\",\"begin\":\"2024-02-01 08:00:00\",\"end\":\"2024-02-01 09:00:00\"}]}";

bool ProcessHeapsValid()
{
    HANDLE heaps[256];
    DWORD count = GetProcessHeaps(256, heaps);
    bool valid = true;
    for (DWORD i = 0; i < count && i < 256; i++)
        if (!HeapValidate(heaps[i], 0, nullptr))
            valid = false;
    return valid;
}

void StressTest::SetUp()
{
    ASSERT_TRUE(BothLoaded());
    StandIn_FailOnCall(nullptr, 0, 0);
    StandIn_SetRecording(1);
    ClearHarnessRecord();
    folder_.reset(new ScratchFolder);
    LoadTasks(BaseTasks);
}

void StressTest::TearDown()
{
    StandIn_FailOnCall(nullptr, 0, 0);
    StandIn_SetRecording(1);
    folder_.reset();
}

void StressTest::LoadTasks(const std::string &utf8Json)
{
    ASSERT_EQ(1, StandIn_LoadTaskJson(utf8Json.c_str())) << StandIn_LastError();
}

void StressTest::ImportFrom(const std::wstring &path, std::function<void()> beforeReturn)
{
    StandIn_ClearCalls();
    QueueDialogAnswer(DialogAnswer{false, path, beforeReturn, false});
    Reader().ExecuteMainCommand();
}

void StressTest::ExportTo(const std::wstring &path)
{
    StandIn_ClearCalls();
    QueueDialogAnswer(DialogAnswer{false, path, nullptr, false});
    Writer().ExecuteMainCommand();
}

static bool StartsWith(const std::string &text, const char *prefix)
{
    return text.compare(0, strlen(prefix), prefix) == 0;
}

/* Removes the file if it exists; false when it exists and cannot be removed (a handle
   to it is still open without delete sharing). */
static bool RemovableOrAbsent(const std::wstring &path)
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
        return true;
    return DeleteFileW(path.c_str()) != FALSE;
}

ImportOutcome StressTest::CheckImport(const std::wstring &calendar, const std::string &tasksBefore)
{
    ImportOutcome outcome;
    EXPECT_TRUE(ProcessHeapsValid()) << "a heap block was overrun";
    EXPECT_EQ(0, StandIn_ChangesDepth()) << "the change bracket was left open";
    for (const std::string &line : CrLfSplit(ReadFileBytes(calendar + L".log"))) {
        if (line == "Start changes")
            outcome.opened = true;
        else if (line == "Event start found")
            outcome.eventsFound++;
        else if (StartsWith(line, "Calendar not read"))
            outcome.notRead = true;
        else if (StartsWith(line, "Event ") && line.find(" skipped") != std::string::npos)
            outcome.eventsSkipped++;
        EXPECT_EQ(std::string::npos, line.find("<no line end>")) << "a log entry was cut: " << line.substr(0, 200);
    }
    EXPECT_TRUE(outcome.opened != outcome.notRead) << "the log says neither that the calendar was read nor why not";
    outcome.appliedChanges = StandIn_AppliedChanges();
    EXPECT_LE(outcome.appliedChanges, outcome.eventsFound - outcome.eventsSkipped)
        << "more tasks changed than events accepted";
    if (outcome.eventsFound == outcome.eventsSkipped) {
        EXPECT_EQ(tasksBefore, StandIn_TaskJson()) << "a rejected event changed a task";
    }
    EXPECT_TRUE(RemovableOrAbsent(calendar)) << "the calendar was left open";
    EXPECT_TRUE(RemovableOrAbsent(calendar + L".log")) << "the log was left open";
    return outcome;
}
