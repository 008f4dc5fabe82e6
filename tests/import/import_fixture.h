/*
** What the import tests share: ics_reader (and ics_writer, for round trips) loaded once
** through the harness, a scratch folder per test, an import of a calendar given as
** bytes, and readers for the log and for the host calls made.
*/
#ifndef IMPORT_FIXTURE_H
#define IMPORT_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "both_plugins_test.h"
#include "plugin_harness.h"
#include "test_support.h"

class ImportTest : public BothPluginsTest {
protected:
    void SetUp() override;
    void TearDown() override;

    /* Replaces the stand-in's model (clearing its call record); fails the test when the
       stand-in refuses the task file. */
    static void LoadTasks(const std::string &utf8Json);

    /* Runs the import with the dialog answering path; the call record is cleared first. */
    static void ImportFrom(const std::wstring &path);
    /* Writes bytes to name in the scratch folder and imports that file. */
    void ImportBytes(const std::string &bytes, const std::wstring &name = L"team.ics");

    /* The lines of the log beside the calendar (without their CR LF). */
    static std::vector<std::string> LogLines(const std::wstring &calendarPath);
    std::vector<std::string> LogLines() const { return LogLines(Calendar()); }
    std::wstring Calendar(const std::wstring &name = L"team.ics") const { return folder_->File(name); }

    /* The host calls that change tasks (setters, SaveChanges, Insert), in order. */
    static std::vector<std::string> TaskChanges();

    std::unique_ptr<ScratchFolder> folder_;
};

/* Lines joined by CR LF, each ending in one: a calendar as the writer stores it. */
std::string CrLfLines(const std::vector<std::string> &lines);

/* An event of the writer's eight lines. */
std::vector<std::string> WriterEvent(const std::string &summary, const std::string &uid, const std::string &start,
                                     const std::string &end);

/* Header, the given event lines and footer, with the byte order mark and CR LF. */
std::string WriterCalendar(const std::vector<std::string> &eventLines);

/* A task file with the given tasks under root (uid, title) and fixed dates. */
std::string TaskFileWith(const std::vector<std::pair<std::string, std::string>> &tasks);

#endif
