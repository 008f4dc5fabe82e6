/*
** The import tests' fixture: loading the deliverables, running the command on a file,
** and reading the log and the stand-in's call record.
*/
#include "import_fixture.h"

#include <cstring>

#include "standin_control.h"

void ImportTest::SetUp()
{
    ASSERT_TRUE(BothLoaded());
    StandIn_FailOnCall(nullptr, 0, 0);
    ClearHarnessRecord();
    folder_.reset(new ScratchFolder);
    LoadTasks(TaskFileWith({}));
}

void ImportTest::TearDown()
{
    StandIn_FailOnCall(nullptr, 0, 0);
    folder_.reset();
}

void ImportTest::LoadTasks(const std::string &utf8Json)
{
    ASSERT_EQ(1, StandIn_LoadTaskJson(utf8Json.c_str())) << StandIn_LastError();
}

void ImportTest::ImportFrom(const std::wstring &path)
{
    StandIn_ClearCalls();
    QueueDialogAnswer(DialogAnswer{false, path, nullptr, false});
    Reader().ExecuteMainCommand();
}

void ImportTest::ImportBytes(const std::string &bytes, const std::wstring &name)
{
    ASSERT_TRUE(WriteFileBytes(Calendar(name), bytes));
    ImportFrom(Calendar(name));
}

std::vector<std::string> ImportTest::LogLines(const std::wstring &calendarPath)
{
    return CrLfSplit(ReadFileBytes(calendarPath + L".log"));
}

std::vector<std::string> ImportTest::TaskChanges()
{
    static const char *const Changing[] = {"AddinZV_Task_Set", "AddinZV_Task_SaveChanges", "AddinZV_Task_Insert"};
    std::vector<std::string> changes;
    for (const std::string &call : RecordedCalls())
        for (const char *prefix : Changing)
            if (call.compare(0, strlen(prefix), prefix) == 0)
                changes.push_back(call);
    return changes;
}

std::string CrLfLines(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> WriterEvent(const std::string &summary, const std::string &uid, const std::string &start,
                                     const std::string &end)
{
    return {"BEGIN:VEVENT",  "SUMMARY:" + summary,           "UID:" + uid,
            "DTSTART:" + start, "DTEND:" + end,              "CREATED:20240110T070000Z",
            "LAST-MODIFIED:20240110T070000Z", "END:VEVENT"};
}

std::string WriterCalendar(const std::vector<std::string> &eventLines)
{
    std::vector<std::string> lines = {"BEGIN:VCALENDAR", "PRODID:Plandra Export plugin", "VERSION:2.0"};
    lines.insert(lines.end(), eventLines.begin(), eventLines.end());
    lines.push_back("END:VCALENDAR");
    return "\xEF\xBB\xBF" + CrLfLines(lines);
}

std::string TaskFileWith(const std::vector<std::pair<std::string, std::string>> &tasks)
{
    std::string json = "{\"now\": \"2026-12-11 10:00:00\", \"tasks\": [";
    for (size_t i = 0; i < tasks.size(); i++) {
        json += i ? ",\n" : "\n";
        json += "{\"uid\":\"" + tasks[i].first + "\",\"title\":\"" + tasks[i].second +
                "\",\"begin\":\"2024-01-01 08:00:00\",\"end\":\"2024-01-01 09:00:00\"}";
    }
    return json + "]}";
}
