/*
** The harness's answers to a plug-in's file dialogs and message box, seen from the
** plug-in's side: what it receives for each kind of answer, and what the harness notes
** about the record the plug-in passed.
*/
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <memory>

#include "plugin_harness.h"
#include "standin_control.h"
#include "test_support.h"
#include "zv_plugins.h"

namespace {

static_assert(sizeof(OPENFILENAMEW) == 88, "the full OPENFILENAMEW record on i686");

class FakeDialogs : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        plugin_ = LoadedPlugin::Load(BesideTestProgram(L"fake_plugin.zvdll"), &error);
        ASSERT_NE(plugin_, nullptr) << error;
        ASSERT_EQ(StandIn_LoadTaskJson("{}"), 1);
        ClearHarnessRecord();
    }
    /* The last popup line: the fake plug-in shows the dialog's path and result there. */
    std::string Outcome()
    {
        std::vector<std::string> calls = RecordedCalls();
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->compare(0, 23, "AddinZV_ShowPopupCustom") == 0)
                return *it;
        return "(no popup)";
    }
    std::unique_ptr<LoadedPlugin> plugin_;
};

struct AnswerRow {
    const char *name;
    const wchar_t *scenario; /* the fake plug-in's language: which dialog it shows */
    bool queue;              /* false: nothing queued */
    DialogAnswer answer;
    const char *outcome;
};

void PrintTo(const AnswerRow &row, std::ostream *os)
{
    *os << row.name;
}

const AnswerRow kAnswers[] = {
    {"nothing_queued_is_cancel", L"", false, {}, R"x(AddinZV_ShowPopupCustom("(no file)", 0))x"},
    {"cancel", L"", true, {true, L"C:\\x.ics", nullptr, false}, R"x(AddinZV_ShowPopupCustom("(no file)", 0))x"},
    {"path_as_given", L"", true, {false, L"C:\\Cal\\team", nullptr, false},
     R"x(AddinZV_ShowPopupCustom("C:\Cal\team", 1))x"},
    {"typed_name_gets_default_extension", L"", true, {false, L"C:\\Cal\\team", nullptr, true},
     R"x(AddinZV_ShowPopupCustom("C:\Cal\team.ics", 1))x"},
    {"typed_name_keeps_its_extension", L"", true, {false, L"C:\\Cal.d\\team.txt", nullptr, true},
     R"x(AddinZV_ShowPopupCustom("C:\Cal.d\team.txt", 1))x"},
    {"open_dialog", L"open", true, {false, L"/tmp/in.ics", nullptr, false},
     R"x(AddinZV_ShowPopupCustom("/tmp/in.ics", 1))x"},
    {"path_filling_the_buffer", L"short", true, {false, L"C:\\a.ic", nullptr, false},
     R"x(AddinZV_ShowPopupCustom("C:\a.ic", 1))x"},
    {"path_one_too_long_fails", L"short", true, {false, L"C:\\ab.ic", nullptr, false},
     R"x(AddinZV_ShowPopupCustom("(no file)", 0))x"},
};

class FakeDialogAnswer : public FakeDialogs, public testing::WithParamInterface<AnswerRow> {};

TEST_P(FakeDialogAnswer, ReachesThePlugin)
{
    const AnswerRow &row = GetParam();
    plugin_->SetLanguage(row.scenario);
    if (row.queue)
        QueueDialogAnswer(row.answer);
    plugin_->ExecuteMainCommand();
    EXPECT_EQ(Outcome(), row.outcome);
    ASSERT_EQ(SeenFileDialogs().size(), 1u);
    EXPECT_EQ(SeenFileDialogs()[0].save, std::wstring(row.scenario) != L"open");
}

INSTANTIATE_TEST_SUITE_P(Rows, FakeDialogAnswer, testing::ValuesIn(kAnswers),
                         [](const testing::TestParamInfo<AnswerRow> &info) { return info.param.name; });

TEST_F(FakeDialogs, NotesEveryFieldThePluginPassed)
{
    plugin_->SetLanguage(L"");
    plugin_->ExecuteMainCommand();
    plugin_->SetLanguage(L"open");
    plugin_->ExecuteMainCommand();
    ASSERT_EQ(SeenFileDialogs().size(), 2u);
    for (const SeenFileDialog &d : SeenFileDialogs()) {
        EXPECT_EQ(d.structSize, 88u);
        EXPECT_EQ(d.owner, nullptr);
        EXPECT_EQ(d.filter, std::wstring(L"iCal\0*.ics\0\0", 12));
        EXPECT_EQ(d.filterIndex, 1u);
        EXPECT_TRUE(d.fileBufferAllZero);
        EXPECT_EQ(d.maxFile, 1024u);
        EXPECT_TRUE(d.fileTitleNull);
        EXPECT_TRUE(d.initialDirNull);
        EXPECT_TRUE(d.titleNull);
        EXPECT_FALSE(d.defaultExtensionNull);
        EXPECT_EQ(d.defaultExtension, L"ics");
        EXPECT_TRUE(d.otherFieldsZero);
    }
    EXPECT_TRUE(SeenFileDialogs()[0].save);
    EXPECT_EQ(SeenFileDialogs()[0].flags, 0x8806u);
    EXPECT_FALSE(SeenFileDialogs()[1].save);
    EXPECT_EQ(SeenFileDialogs()[1].flags, 0x1804u);
}

TEST_F(FakeDialogs, AnswersAreTakenInOrderAndBeforeReturnRunsFirst)
{
    QueueDialogAnswer({false, L"C:\\one.ics", [] { AddinZV_ChangesStart(); }, false});
    QueueDialogAnswer({false, L"C:\\two.ics", nullptr, false});
    plugin_->ExecuteMainCommand();
    // The plug-in's host calls all come after the dialog returned.
    ASSERT_GE(RecordedCalls().size(), 2u);
    EXPECT_EQ(RecordedCalls()[0], "AddinZV_ChangesStart()");
    EXPECT_EQ(Outcome(), R"x(AddinZV_ShowPopupCustom("C:\one.ics", 1))x");
    plugin_->ExecuteMainCommand();
    EXPECT_EQ(Outcome(), R"x(AddinZV_ShowPopupCustom("C:\two.ics", 1))x");
    plugin_->ExecuteMainCommand();
    EXPECT_EQ(Outcome(), R"x(AddinZV_ShowPopupCustom("(no file)", 0))x");
}

TEST_F(FakeDialogs, MessageBoxIsNotedAndAnsweredOk)
{
    plugin_->ContactMenuCommandExecute(L"c1+c2");
    ASSERT_EQ(SeenMessageBoxes().size(), 1u);
    EXPECT_EQ(SeenMessageBoxes()[0].owner, nullptr);
    EXPECT_EQ(SeenMessageBoxes()[0].text, L"c1+c2");
    EXPECT_EQ(SeenMessageBoxes()[0].caption, L"Hello");
    EXPECT_EQ(SeenMessageBoxes()[0].style, 0u);
    EXPECT_EQ(Outcome(), "AddinZV_ShowPopupCustom(\"message box closed\", 1)"); // IDOK
    ClearHarnessRecord();
    EXPECT_TRUE(SeenMessageBoxes().empty());
}

} // namespace
