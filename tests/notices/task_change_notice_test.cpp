/*
** ChangedTask of both deliverables: the writer's notice in either language with the whole
** title, nothing for a task that is not there, nothing at all from the reader, and a
** normal return when the host raises an exception.
*/
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notice_fixture.h"
#include "standin_control.h"
#include "test_support.h"

namespace {

const char TaskFile[] = R"({"tasks":[
{"uid":"T1","title":"Plan"},
{"uid":"T2","title":""},
{"uid":"T3","title":"Gone","present":false}]})";

class TaskChangeNotice : public NoticeTest {
protected:
    void SetUp() override
    {
        NoticeTest::SetUp();
        LoadTasks(TaskFile);
    }
    static std::vector<std::wstring> NoticeTexts()
    {
        std::vector<std::wstring> texts;
        for (const std::wstring &xaml : PopupXamls())
            texts.push_back(TextBlockContent(xaml));
        return texts;
    }
};

struct ChangeRow {
    const char *name;
    const wchar_t *language;
    const wchar_t *uid;
    const wchar_t *notice; /* the text block's content; null: no notice */
};

void PrintTo(const ChangeRow &row, std::ostream *os)
{
    *os << row.name;
}

static const ChangeRow ChangeRows[] = {
    {"english", L"", L"T1", L"Task changed:&#x0a;&#x0a;Plan"},
    {"russian", L"Russian", L"T1", L"Задача изменена:&#x0a;&#x0a;Plan"},
    {"russian_in_lower_case_is_english", L"russian", L"T1", L"Task changed:&#x0a;&#x0a;Plan"},
    {"russian_with_region_is_english", L"Russian (Russia)", L"T1", L"Task changed:&#x0a;&#x0a;Plan"},
    {"empty_title", L"", L"T2", L"Task changed:&#x0a;&#x0a;"},
    {"empty_title_russian", L"Russian", L"T2", L"Задача изменена:&#x0a;&#x0a;"},
    {"task_not_present", L"", L"T3", nullptr},
    {"unknown_task", L"Russian", L"nobody", nullptr},
};

class TaskChangeRows : public TaskChangeNotice, public ::testing::WithParamInterface<ChangeRow> {};

TEST_P(TaskChangeRows, WriterShowsTheNoticeOnlyForAPresentTask)
{
    const ChangeRow &row = GetParam();
    Writer().SetLanguage(row.language);
    Writer().ChangedTask(row.uid);

    std::string uid = Utf8(row.uid);
    std::vector<std::string> asked = {"AddinZV_Task_IsPresent(\"" + uid + "\")"};
    if (row.notice) {
        asked.push_back("AddinZV_Task_GetTitle(\"" + uid + "\")");
        EXPECT_EQ(std::vector<std::wstring>{row.notice}, NoticeTexts());
    } else {
        EXPECT_EQ(0, StandIn_PopupCount());
    }
    EXPECT_EQ(asked, CallsTo("AddinZV_Task_"));
}

INSTANTIATE_TEST_SUITE_P(Tasks, TaskChangeRows, ::testing::ValuesIn(ChangeRows),
                         [](const ::testing::TestParamInfo<ChangeRow> &info) { return std::string(info.param.name); });

TEST_F(TaskChangeNotice, WriterCarriesATitleLongerThanTheTextCapacityWhole)
{
    std::wstring title(40000, L'x');
    title += L"end";
    LoadTasks("{\"tasks\":[{\"uid\":\"T1\",\"title\":" + JsonString(title) + "}]}");
    Writer().ChangedTask(L"T1");
    EXPECT_EQ(std::vector<std::wstring>{L"Task changed:&#x0a;&#x0a;" + title}, NoticeTexts());
}

TEST_F(TaskChangeNotice, WriterAsksTheLanguageAfreshForEveryNotice)
{
    Writer().SetLanguage(L"Russian");
    Writer().ChangedTask(L"T1");
    Writer().SetLanguage(L"English");
    Writer().ChangedTask(L"T1");
    EXPECT_EQ((std::vector<std::wstring>{L"Задача изменена:&#x0a;&#x0a;Plan", L"Task changed:&#x0a;&#x0a;Plan"}),
              NoticeTexts());
}

TEST_F(TaskChangeNotice, ReaderShowsNothingAndAsksTheHostNothing)
{
    Reader().SetLanguage(L"Russian");
    Reader().ChangedTask(L"T1");
    EXPECT_EQ(0, StandIn_PopupCount());
    EXPECT_EQ(std::vector<std::string>{}, RecordedCalls());
}

class TaskChangeHostException : public TaskChangeNotice, public ::testing::WithParamInterface<const char *> {};

TEST_P(TaskChangeHostException, WriterReturnsNormallyAndTheNextNoticeIsWhole)
{
    StandIn_FailOnCall(GetParam(), 1, STANDIN_FAIL_RAISE);
    Writer().ChangedTask(L"T1"); /* returning here at all is the point */
    ASSERT_TRUE(CallsTo(std::string(GetParam()) + "(").size() == 1) << "the failing call was made";

    LoadTasks(TaskFile);
    Writer().ChangedTask(L"T1");
    EXPECT_EQ(std::vector<std::wstring>{L"Task changed:&#x0a;&#x0a;Plan"}, NoticeTexts());
}

INSTANTIATE_TEST_SUITE_P(HostCalls, TaskChangeHostException,
                         ::testing::Values("AddinZV_Task_IsPresent", "AddinZV_Task_GetTitle", "AddinZV_ShowPopupCustom"));

} // namespace
