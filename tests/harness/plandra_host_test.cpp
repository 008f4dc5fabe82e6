/*
** plandra-host.exe run as a user would: what it prints and its exit status for each
** subcommand, bad module and bad task file, and the task file it saves after a change.
*/
#include <gtest/gtest.h>

#include <windows.h>

#include "test_support.h"

namespace {

struct ProgramResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output; /* stdout and stderr together */
};

/* Runs plandra-host.exe with the arguments (one command-line string) and waits for it.
   The output comes through a pipe that is read until the child has exited, not until
   end of file: a process the child starts (Wine's desktop process, on first use of
   user32) can inherit the write end and keep it open long after. */
ProgramResult RunHost(const std::wstring &arguments)
{
    ProgramResult result;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::wstring program = BesideTestProgram(L"plandra-host.exe");
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        for (bool exited = false; !exited;) {
            exited = WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0;
            DWORD available = 0, got = 0;
            char chunk[4096];
            while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
                   ReadFile(readEnd, chunk, sizeof chunk < available ? sizeof chunk : available, &got, nullptr))
                result.output.append(chunk, got);
        }
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return result;
}

std::wstring Quoted(const std::wstring &path)
{
    return L"\"" + path + L"\"";
}

class PlandraHost : public testing::Test {
protected:
    void SetUp() override
    {
        plugin_ = Quoted(BesideTestProgram(L"fake_plugin.zvdll"));
        tasks_ = folder_.File(L"tasks.json");
        ASSERT_TRUE(WriteFileBytes(tasks_, R"({"tasks":[{"uid":"A","title":"Plan & do"}],
            "contacts":[{"uid":"c1","name":"Ann"}]})"));
    }
    ScratchFolder folder_;
    std::wstring plugin_, tasks_;
};

TEST_F(PlandraHost, CaptionsInBothLanguagesAsUtf8)
{
    ProgramResult r = RunHost(L"captions " + plugin_);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_NE(r.output.find("  main command:           Fake command\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("  main command (Russian): \xD0\x9F\xD0\xBE"), std::string::npos) // "По"
        << r.output;
}

TEST_F(PlandraHost, RunAnswersTheDialogShowsTheNoticeAndSavesTheChangedTasks)
{
    std::wstring saved = folder_.File(L"after.json");
    ProgramResult r = RunHost(L"run " + plugin_ + L" --tasks " + Quoted(tasks_) +
                                           L" --file C:\\Cal\\team.ics --save-tasks " + Quoted(saved) +
                                           L" --calls --time");
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_NE(r.output.find("save dialog shown\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("popup notice (1 ms):\n  C:\\Cal\\team.ics\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("host calls:\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\n  AddinZV_Task_Insert(\"\", \"root\", \"C:\\Cal\\team.ics\", 2026-12-11 10:00:00"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("main command: "), std::string::npos) << r.output;
    EXPECT_NE(ReadFileBytes(saved).find("\"title\":\"C:\\\\Cal\\\\team.ics\""), std::string::npos);
    EXPECT_EQ(ReadFileBytes(tasks_).find("team.ics"), std::string::npos) << "--save-tasks spares the input";
}

TEST_F(PlandraHost, CancelledRunChangesNothing)
{
    std::string before = ReadFileBytes(tasks_);
    ProgramResult r = RunHost(L"run " + plugin_ + L" --tasks " + Quoted(tasks_) + L" --cancel");
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_NE(r.output.find("popup notice (0 ms):\n  (no file)\n"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("tasks saved"), std::string::npos) << r.output;
    EXPECT_EQ(ReadFileBytes(tasks_), before);
}

TEST_F(PlandraHost, ChangedAndContactsShowWhatTheUserWouldSee)
{
    ProgramResult changed = RunHost(L"changed " + plugin_ + L" --tasks " + Quoted(tasks_) + L" --uid A");
    EXPECT_EQ(changed.exitCode, 0u) << changed.output;
    EXPECT_NE(changed.output.find("popup notice (3000 ms):\n  Plan & do\n"), std::string::npos) << changed.output;

    ProgramResult contacts =
        RunHost(L"contacts " + plugin_ + L" --tasks " + Quoted(tasks_) + L" --list \"c1+c2\"");
    EXPECT_EQ(contacts.exitCode, 0u) << contacts.output;
    EXPECT_NE(contacts.output.find("message box \"Hello\" (style 0):\n  c1+c2\n"), std::string::npos)
        << contacts.output;
}

struct HostErrorRow {
    const char *name;
    /* %P: the fake plug-in, %S: the stand-in zv_plugins.dll, %T: the good task file,
       %F: the scratch folder */
    const wchar_t *arguments;
    DWORD exitCode;
    const char *message;
};

void PrintTo(const HostErrorRow &row, std::ostream *os)
{
    *os << row.name;
}

const HostErrorRow kHostErrors[] = {
    {"missing_module", L"captions %F\\absent.zvdll", 1, "plug-in module \""},
    {"module_without_exports", L"run %S --tasks %T", 1, "lacks the export(s) GetMainCommandName"},
    {"missing_task_file", L"run %P --tasks %F\\absent.json", 1, "cannot open task file"},
    {"malformed_task_file", L"run %P --tasks %F\\bad.json", 1, "task 1: parent \"X\" is not listed before it"},
    {"unknown_command", L"frobnicate", 2, "unknown command frobnicate"},
    {"unknown_option", L"run %P --tasks %T --fast", 2, "unknown option --fast"},
    {"option_without_value", L"run %P --tasks", 2, "--tasks needs a value"},
    {"changed_without_uid", L"changed %P --tasks %T", 2, "changed needs --uid UID"},
    {"file_and_cancel", L"run %P --tasks %T --file x --cancel", 2, "--file and --cancel exclude each other"},
};

class PlandraHostError : public PlandraHost, public testing::WithParamInterface<HostErrorRow> {};

TEST_P(PlandraHostError, ExitsWithAClearMessage)
{
    ASSERT_TRUE(WriteFileBytes(folder_.File(L"bad.json"), R"({"tasks":[{"uid":"A","parent":"X"}]})"));
    std::wstring arguments = GetParam().arguments;
    auto expand = [&](const wchar_t *mark, const std::wstring &value) {
        for (size_t at; (at = arguments.find(mark)) != std::wstring::npos;)
            arguments.replace(at, 2, value);
    };
    expand(L"%P", plugin_);
    expand(L"%T", Quoted(tasks_));
    expand(L"%S", Quoted(BesideTestProgram(L"zv_plugins.dll")));
    expand(L"%F", folder_.Path());
    ProgramResult r = RunHost(arguments);
    EXPECT_EQ(r.exitCode, GetParam().exitCode) << r.output;
    EXPECT_EQ(r.output.compare(0, 14, "plandra-host: "), 0) << r.output;
    EXPECT_NE(r.output.find(GetParam().message), std::string::npos) << r.output;
}

INSTANTIATE_TEST_SUITE_P(Rows, PlandraHostError, testing::ValuesIn(kHostErrors),
                         [](const testing::TestParamInfo<HostErrorRow> &info) { return info.param.name; });

} // namespace
