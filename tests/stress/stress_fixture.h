/*
** What the stress, fuzz and durability tests share: both deliverables loaded once, a
** scratch folder per test, runs of the import and the export on a chosen path, and the
** checks every hostile input must pass (heaps intact, change bracket closed, files
** closed, a log that says what happened, no task changed by a rejected event).
*/
#ifndef STRESS_FIXTURE_H
#define STRESS_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "both_plugins_test.h"
#include "plugin_harness.h"
#include "test_support.h"

/* Every heap of the process validates. Under WINEDEBUG=warn+heap (set for these tests)
   a write past the end of a block, even by one byte, makes a heap fail. */
bool ProcessHeapsValid();

/* The tasks the import tests start from: T1 and T2 under root, fixed titles and dates. */
extern const char BaseTasks[];

/* What one import left behind, read from its log and the stand-in. */
struct ImportOutcome {
    int eventsFound = 0;    /* "Event start found" */
    int eventsSkipped = 0;  /* "Event N skipped..." */
    bool opened = false;    /* "Start changes" */
    bool notRead = false;   /* "Calendar not read: ..." */
    long appliedChanges = 0;
};

class StressTest : public BothPluginsTest {
protected:
    void SetUp() override;
    void TearDown() override;

    static void LoadTasks(const std::string &utf8Json);

    /* Runs the import on path (the dialog answers it, then runs beforeReturn). */
    static void ImportFrom(const std::wstring &path, std::function<void()> beforeReturn = nullptr);
    /* Runs the export to path. */
    static void ExportTo(const std::wstring &path);

    /* Checks the invariants after an import of calendar and returns what its log says:
       heaps valid, bracket depth 0, calendar and log deletable (so closed), a log that
       either opened and read the calendar or says why not, no more changes applied than
       events accepted, and the task model unchanged when no event was accepted. */
    ImportOutcome CheckImport(const std::wstring &calendar, const std::string &tasksBefore);

    std::wstring Calendar(const std::wstring &name = L"hostile.ics") const { return folder_->File(name); }

    std::unique_ptr<ScratchFolder> folder_;
};

#endif
