/*
** The export tests' fixture: loading ics_writer, building task files, running an export
** and reading back what it wrote.
*/
#include "export_fixture.h"

#include "standin_control.h"

std::unique_ptr<LoadedPlugin> ExportTest::writer_;

std::string TaskFileJson(const std::vector<TaskRow> &tasks)
{
    nlohmann::json list = nlohmann::json::array();
    for (const TaskRow &t : tasks) {
        list.push_back({{"uid", t.uid},         {"parent", t.parent}, {"title", t.title},
                        {"state", t.state},     {"begin", t.begin},   {"end", t.end},
                        {"created", t.created}, {"modified", t.modified}, {"present", t.present}});
    }
    return nlohmann::json{{"tasks", list}}.dump();
}

void ExportTest::SetUpTestSuite()
{
    std::string error;
    writer_ = LoadedPlugin::Load(BesideTestProgram(L"ics_writer.zvdll"), &error);
    ASSERT_TRUE(writer_) << error;
}

void ExportTest::TearDownTestSuite()
{
    writer_.reset();
}

void ExportTest::SetUp()
{
    ASSERT_TRUE(writer_);
    writer_->SetLanguage(L"");
    StandIn_FailOnCall(nullptr, 0, 0);
    StandIn_SetRecording(1);
    ClearHarnessRecord();
}

void ExportTest::TearDown()
{
    StandIn_FailOnCall(nullptr, 0, 0);
    StandIn_SetRecording(1);
}

void ExportTest::LoadTasks(const std::vector<TaskRow> &tasks)
{
    ASSERT_EQ(1, StandIn_LoadTaskJson(TaskFileJson(tasks).c_str())) << StandIn_LastError();
    ClearHarnessRecord();
}

void ExportTest::ExportTo(const std::wstring &path)
{
    QueueDialogAnswer(DialogAnswer{false, path, nullptr, false});
    writer_->ExecuteMainCommand();
}

std::vector<std::string> CalendarLines(const std::string &bytes)
{
    std::vector<std::string> lines;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") != 0) {
        ADD_FAILURE() << "no byte order mark";
        return lines;
    }
    size_t at = 3;
    while (at < bytes.size()) {
        size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line without CR LF: " << bytes.substr(at);
            end = bytes.size();
        }
        std::string line = bytes.substr(at, end - at);
        if (line.find_first_of("\r\n") != std::string::npos)
            ADD_FAILURE() << "stray CR or LF in line: " << line;
        lines.push_back(line);
        at = end + 2;
    }
    return lines;
}

std::vector<std::string> PropertyValues(const std::vector<std::string> &lines, const std::string &property)
{
    std::vector<std::string> values;
    for (const std::string &line : lines)
        if (line.compare(0, property.size(), property) == 0)
            values.push_back(line.substr(property.size()));
    return values;
}

std::vector<std::string> CallsTo(const std::string &prefix)
{
    std::vector<std::string> calls;
    for (const std::string &call : RecordedCalls())
        if (call.compare(0, prefix.size(), prefix) == 0)
            calls.push_back(call);
    return calls;
}

std::string GoldenBytes(const char *name)
{
    std::wstring path = Wide(std::string(EXPORT_GOLDEN_DIR "/") + name);
    EXPECT_TRUE(FileExists(path)) << "golden file missing: " << name;
    return ReadFileBytes(path);
}
