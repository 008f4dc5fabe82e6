/*
** What the export tests share: ics_writer loaded once through the harness, task files
** built from rows and put into the stand-in, an export run to a chosen path, and readers
** for the calendar's lines, the log and the host calls.
*/
#ifndef EXPORT_FIXTURE_H
#define EXPORT_FIXTURE_H

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

#include "plugin_harness.h"
#include "test_support.h"

/* One task of a task file; dates as the task file takes them (text, "min"/"max", or a
   raw OleDate number). */
struct TaskRow {
    std::string uid;
    std::string parent = "root";
    std::string title = "Task";
    int state = 0;
    nlohmann::json begin = "2024-01-15 09:30:00";
    nlohmann::json end = "2024-01-15 10:30:00";
    nlohmann::json created = "2024-01-10 08:00:00";
    nlohmann::json modified = "2024-01-12 17:45:30";
    bool present = true;
};

std::string TaskFileJson(const std::vector<TaskRow> &tasks);

class ExportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static LoadedPlugin &Writer() { return *writer_; }
    /* Puts the tasks into the stand-in (clearing its record) and clears the harness's. */
    static void LoadTasks(const std::vector<TaskRow> &tasks);
    /* Answers the save dialog with path and runs the export command. */
    static void ExportTo(const std::wstring &path);

    /* The calendar path of the test's scratch folder, and its log. */
    std::wstring CalendarPath() const { return scratch_.File(L"tasks.ics"); }
    std::wstring LogPathOf(const std::wstring &calendar) const { return calendar + L".log"; }

    ScratchFolder scratch_;

private:
    static std::unique_ptr<LoadedPlugin> writer_;
};

/* The lines of a calendar written by the export: after its byte order mark, split at
   CR LF. Adds a test failure when the mark is missing, a line end is not CR LF, or the
   last line lacks its end. */
std::vector<std::string> CalendarLines(const std::string &bytes);

/* The values of every line that starts with property (e.g. "SUMMARY:"), in order. */
std::vector<std::string> PropertyValues(const std::vector<std::string> &lines, const std::string &property);

/* The host calls recorded since the model was loaded whose name starts with prefix. */
std::vector<std::string> CallsTo(const std::string &prefix);

/* A file of tests/export/golden. */
std::string GoldenBytes(const char *name);

#endif
