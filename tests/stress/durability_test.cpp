/*
** A host that dies in the middle of a command: the test program runs itself as a child
** that starts an export or an import and has the stand-in end the process on a chosen
** host call. What the child leaves on disk must be whole lines up to that moment.
*/
#include <windows.h>

#include <cstdlib>

#include "standin_control.h"
#include "stress_fixture.h"

namespace {

const wchar_t ChildVariable[] = L"STRESS_DURABILITY_CHILD";
const int Tasks = 2000;
const int DieAtCall = 1234; /* the nth task's dates, the nth event's save */

std::string ManyTasks()
{
    std::string json = "{\"tasks\": [";
    for (int i = 0; i < Tasks; i++)
        json += std::string(i ? "," : "") + "{\"uid\":\"D" + std::to_string(i) + "\",\"title\":\"Task " +
                std::to_string(i) + "\",\"begin\":\"2024-01-15 09:30:00\",\"end\":\"2024-01-15 10:30:00\"}";
    return json + "]}";
}

/* Runs this program as a child with the variable set to "mode|path"; its exit code. */
DWORD RunChild(const std::wstring &mode, const std::wstring &path)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=DurabilityChild.*";
    SetEnvironmentVariableW(ChildVariable, (mode + L"|" + path).c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(ChildVariable, nullptr);
    if (!started)
        return 0xFFFFFFFF;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

/* The child's side: does nothing unless run as a child. */
TEST(DurabilityChild, RunsAndDies)
{
    wchar_t setting[4096];
    if (GetEnvironmentVariableW(ChildVariable, setting, 4096) == 0)
        GTEST_SKIP() << "runs only as the child of a durability test";
    std::wstring value(setting);
    std::wstring mode = value.substr(0, value.find(L'|')), path = value.substr(value.find(L'|') + 1);
    std::string error;
    std::unique_ptr<LoadedPlugin> plugin =
        LoadedPlugin::Load(BesideTestProgram(mode == L"export" ? L"ics_writer.zvdll" : L"ics_reader.zvdll"), &error);
    ASSERT_TRUE(plugin) << error;
    ASSERT_EQ(1, StandIn_LoadTaskJson(ManyTasks().c_str()));
    StandIn_SetRecording(0);
    StandIn_FailOnCall(mode == L"export" ? "AddinZV_Task_GetDateCreate" : "AddinZV_Task_SaveChanges", DieAtCall,
                       STANDIN_FAIL_TERMINATE);
    QueueDialogAnswer(DialogAnswer{false, path, nullptr, false});
    plugin->ExecuteMainCommand();
    FAIL() << "the stand-in did not end the process";
}

class DurabilityTest : public StressTest {};

TEST_F(DurabilityTest, ExportCutShortLeavesWholeLinesAndEveryLogEntry)
{
    ASSERT_EQ(3u, RunChild(L"export", Calendar()));
    std::string bytes = ReadFileBytes(Calendar());
    ASSERT_EQ(0u, bytes.compare(0, 3, "\xEF\xBB\xBF"));
    std::vector<std::string> lines = CrLfSplit(bytes.substr(3));
    /* Header, then the whole events of the tasks before the one whose creation date
       was being asked for: its event was never begun. */
    ASSERT_EQ(3u + 8u * (DieAtCall - 1), lines.size());
    EXPECT_EQ("END:VEVENT", lines.back());
    EXPECT_EQ("UID:D" + std::to_string(DieAtCall - 2), lines[lines.size() - 6]);
    std::vector<std::string> log = CrLfSplit(ReadFileBytes(Calendar() + L".log"));
    /* "Trying open dest file", "File opened", "Header printed", an empty line (each
       task's entry starts with a line feed), then one line per visited task, the dying
       task's UID last and without a line end. */
    ASSERT_EQ(4u + DieAtCall, log.size());
    EXPECT_EQ("Header printed", log[2]);
    EXPECT_EQ("D" + std::to_string(DieAtCall - 1) + "<no line end>", log.back());
    EXPECT_TRUE(DeleteFileW(Calendar().c_str()));
}

TEST_F(DurabilityTest, ImportCutShortLeavesEveryLogEntry)
{
    LoadTasks(ManyTasks());
    ExportTo(Calendar());
    ASSERT_TRUE(DeleteFileW((Calendar() + L".log").c_str()));
    ASSERT_EQ(3u, RunChild(L"import", Calendar()));
    std::vector<std::string> log = CrLfSplit(ReadFileBytes(Calendar() + L".log"));
    /* "Start changes", then found/end pairs up to the event whose save ended it. */
    ASSERT_EQ(1u + 2u * DieAtCall, log.size());
    EXPECT_EQ("Start changes", log[0]);
    EXPECT_EQ("Event start found", log[log.size() - 2]);
    EXPECT_EQ("Event end found", log.back());
    EXPECT_TRUE(DeleteFileW(Calendar().c_str()));
}

} // namespace
