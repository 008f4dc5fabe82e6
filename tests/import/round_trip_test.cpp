/*
** Round trips through both deliverables: a task tree exported by ics_writer and imported
** back into the same tree keeps every title (less apostrophes) and date and inserts
** nothing; imported into an empty tree, every event becomes one new task under root.
*/
#include "import_fixture.h"
#include "standin_control.h"

#include <nlohmann/json.hpp>

namespace {

/* Three levels, an apostrophe, a title holding property names and the end marker,
   Cyrillic and an accent. Dates in winter and summer. */
const char TreeJson[] = R"({"now": "2026-12-11 10:00:00", "tasks": [
{"uid":"A","title":"Bob's plan","begin":"2024-01-15 09:30:00","end":"2024-01-15 10:30:00"},
{"uid":"A1","parent":"A","title":"Fix UID: handling","begin":"2024-07-01 08:00:00","end":"2024-07-02 18:45:30"},
{"uid":"A11","parent":"A1","title":"Parse END:VEVENT and DTSTART: lines","begin":"2024-03-31 12:00:00","end":"2024-04-01 12:00:00"},
{"uid":"B","title":"Caf\u00e9, \\ and ; kept","begin":"2025-12-31 23:59:59","end":"2026-01-01 00:00:01"}
]})";

nlohmann::json TasksByUid()
{
    nlohmann::json byUid = nlohmann::json::object();
    nlohmann::json model = nlohmann::json::parse(StandIn_TaskJson());
    for (const nlohmann::json &task : model["tasks"])
        byUid[task["uid"].get<std::string>()] = task;
    return byUid;
}

class RoundTrip : public ImportTest {
protected:
    void Export()
    {
        LoadTasks(TreeJson);
        QueueDialogAnswer(DialogAnswer{false, Calendar(), nullptr, false});
        Writer().ExecuteMainCommand();
        ASSERT_TRUE(FileExists(Calendar()));
    }
};

TEST_F(RoundTrip, SameTreeKeepsTitlesAndDatesAndInsertsNothing)
{
    Export();
    nlohmann::json before = TasksByUid();
    ImportFrom(Calendar());
    nlohmann::json after = TasksByUid();
    ASSERT_EQ(after.size(), before.size());
    for (auto &[uid, task] : before.items()) {
        std::string title = task["title"];
        title.erase(std::remove(title.begin(), title.end(), '\''), title.end());
        EXPECT_EQ(after[uid]["title"], title) << uid;
        EXPECT_EQ(after[uid]["begin"], task["begin"]) << uid;
        EXPECT_EQ(after[uid]["end"], task["end"]) << uid;
        EXPECT_EQ(after[uid]["parent"], task["parent"]) << uid;
    }
    for (const std::string &change : TaskChanges())
        EXPECT_EQ(change.find("AddinZV_Task_Insert"), std::string::npos) << change;
    EXPECT_EQ(TaskChanges().size(), 4u * before.size());
}

TEST_F(RoundTrip, EmptyTreeGetsOneNewTaskPerEventUnderRoot)
{
    Export();
    nlohmann::json exported = TasksByUid();
    LoadTasks(TaskFileWith({}));
    ImportFrom(Calendar());
    nlohmann::json tasks = nlohmann::json::parse(StandIn_TaskJson())["tasks"];
    ASSERT_EQ(tasks.size(), exported.size());
    for (const nlohmann::json &task : tasks) {
        EXPECT_EQ(task["parent"], "root");
        EXPECT_FALSE(exported.contains(task["uid"].get<std::string>())) << "the event's UID went to the host";
    }
    EXPECT_EQ(tasks[1]["title"], "Fix UID: handling");
    EXPECT_EQ(tasks[1]["begin"], "2024-07-01 08:00:00");
    EXPECT_EQ(tasks[1]["end"], "2024-07-02 18:45:30");
}

} // namespace
