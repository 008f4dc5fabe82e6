/*
** Task files of the stand-in host: what a save writes for a given file (defaults,
** boundary words, exact numbers, parents-first order), which files are refused and why,
** and a chain 100,000 deep going in and out.
*/
#include <gtest/gtest.h>

#include <string>

#include "standin_control.h"
#include "test_support.h"
#include "zv_plugins.h"

namespace {

const char kHead[] =
    "{\"min_date\": \"1900-01-01 00:00:00\", \"max_date\": \"9999-12-31 00:00:00\", \"now\": \"2024-01-15 "
    "09:30:00\",\n\"tasks\": [";
const char kNoContacts[] = "\n],\n\"contacts\": [\n]}\n";

struct RoundTripRow {
    const char *name;
    const char *input;
    std::string saved; /* the whole saved text; empty: only the order is checked */
    const char *order; /* the UIDs in the saved file, each after a "|" */
};

void PrintTo(const RoundTripRow &row, std::ostream *os)
{
    *os << row.name;
}

const RoundTripRow kRoundTrips[] = {
    {"defaults_fill_a_bare_task",
     R"({"now":"2024-01-15 09:30:00","tasks":[{"uid":"A"}]})",
     std::string(kHead) +
         "\n{\"uid\":\"A\",\"parent\":\"root\",\"title\":\"\",\"state\":0,\"begin\":\"2024-01-15 09:30:00\","
         "\"end\":\"2024-01-15 09:30:00\",\"created\":\"2024-01-15 09:30:00\",\"modified\":\"2024-01-15 09:30:00\","
         "\"present\":true}" +
         kNoContacts,
     "|A"},
    {"boundary_dates_stay_words_and_odd_dates_stay_exact_numbers",
     R"({"now":"2024-01-15 09:30:00","tasks":[{"uid":"A","begin":"min","end":"max",
         "created":2.0,"modified":45306.123456789,"state":7,"present":false,"notes":"n"}]})",
     std::string(kHead) +
         "\n{\"uid\":\"A\",\"parent\":\"root\",\"title\":\"\",\"state\":7,\"begin\":\"min\",\"end\":\"max\","
         "\"created\":\"min\",\"modified\":45306.123456789,\"present\":false,\"notes\":\"n\"}" +
         kNoContacts,
     "|A"},
    {"children_follow_their_parent_in_file_order",
     R"({"now":"2024-01-15 09:30:00","tasks":[{"uid":"A"},{"uid":"B"},{"uid":"A2","parent":"A"},
         {"uid":"A1","parent":"A"}]})",
     "", "|A|A2|A1|B"},
    {"utf8_titles_and_contacts",
     "{\"now\":\"2024-01-15 09:30:00\",\"tasks\":[{\"uid\":\"A\",\"title\":\"\xD0\x9F\xD0\xBB\xD0\xB0\xD0\xBD\"}],"
     "\"contacts\":[{\"uid\":\"c1\",\"name\":\"Ann\",\"communications\":[[\"phone\",\"work\",\"+1 555\"]]},"
     "{\"uid\":\"c2\",\"present\":false}]}",
     std::string(kHead) +
         "\n{\"uid\":\"A\",\"parent\":\"root\",\"title\":\"\xD0\x9F\xD0\xBB\xD0\xB0\xD0\xBD\",\"state\":0," // "План"
         "\"begin\":\"2024-01-15 09:30:00\",\"end\":\"2024-01-15 09:30:00\",\"created\":\"2024-01-15 09:30:00\","
         "\"modified\":\"2024-01-15 09:30:00\",\"present\":true}\n],\n\"contacts\": [\n"
         "{\"uid\":\"c1\",\"name\":\"Ann\",\"communications\":[[\"phone\",\"work\",\"+1 555\"]]},\n"
         "{\"uid\":\"c2\",\"name\":\"\",\"present\":false,\"communications\":[]}\n]}\n",
     "|A|c1|c2"},
};

/* The UIDs of the saved file's entries in order, each after a "|". */
std::string UidOrder(const std::string &json)
{
    std::string order;
    for (size_t at = json.find("{\"uid\":\""); at != std::string::npos; at = json.find("{\"uid\":\"", at + 1)) {
        size_t start = at + 8;
        order += "|" + json.substr(start, json.find('"', start) - start);
    }
    return order;
}

class TaskFileRoundTrip : public testing::TestWithParam<RoundTripRow> {};

TEST_P(TaskFileRoundTrip, SavesTheModelAndReadsItsOwnOutputBack)
{
    const RoundTripRow &row = GetParam();
    ASSERT_EQ(StandIn_LoadTaskJson(row.input), 1) << StandIn_LastError();
    std::string saved = StandIn_TaskJson();
    if (!row.saved.empty()) {
        EXPECT_EQ(saved, row.saved);
    }
    EXPECT_EQ(UidOrder(saved), row.order);
    ASSERT_EQ(StandIn_LoadTaskJson(saved.c_str()), 1) << StandIn_LastError();
    EXPECT_EQ(StandIn_TaskJson(), saved);
}

INSTANTIATE_TEST_SUITE_P(Rows, TaskFileRoundTrip, testing::ValuesIn(kRoundTrips),
                         [](const testing::TestParamInfo<RoundTripRow> &info) { return info.param.name; });

struct RefusalRow {
    const char *name;
    const char *input;
    const char *error; /* expected part of StandIn_LastError() */
};

void PrintTo(const RefusalRow &row, std::ostream *os)
{
    *os << row.name;
}

const RefusalRow kRefusals[] = {
    {"not_json", R"({"tasks":[{"uid":"A"})", "not valid JSON"},
    {"not_an_object", R"([1,2])", "must be a JSON object"},
    {"task_without_uid", R"({"tasks":[{"title":"x"}]})", "task 1: needs a non-empty \"uid\""},
    {"task_named_root", R"({"tasks":[{"uid":"root"}]})", "task 1: \"root\" is the top of the tree"},
    {"uid_twice", R"({"tasks":[{"uid":"A"},{"uid":"A"}]})", "task 2: uid \"A\" appears twice"},
    {"parent_listed_after_child", R"({"tasks":[{"uid":"B","parent":"A"},{"uid":"A"}]})",
     "task 1: parent \"A\" is not listed before it"},
    {"impossible_date", R"({"tasks":[{"uid":"A","begin":"2024-02-30 00:00:00"}]})",
     "task 1: date \"2024-02-30 00:00:00\" is not YYYY-MM-DD HH:MM:SS"},
    {"date_without_time", R"({"tasks":[{"uid":"A","end":"2024-02-03"}]})", "task 1: date \"2024-02-03\""},
    {"boundary_word_as_now", R"({"now":"min"})", "\"now\": date \"min\""},
    {"state_as_text", R"({"tasks":[{"uid":"A","state":"1"}]})", "task 1: \"state\" must be an integer"},
    {"communication_of_two_texts", R"({"contacts":[{"uid":"c1","communications":[["phone","+1"]]}]})",
     "contact 1: each communication must be three texts"},
    {"contact_twice", R"({"contacts":[{"uid":"c1"},{"uid":"c1"}]})", "contact 2: uid \"c1\" appears twice"},
};

class TaskFileRefusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(TaskFileRefusal, NamesTheFaultAndKeepsTheModel)
{
    const RefusalRow &row = GetParam();
    ASSERT_EQ(StandIn_LoadTaskJson(R"({"tasks":[{"uid":"Kept","title":"still here"}]})"), 1);
    EXPECT_EQ(StandIn_LoadTaskJson(row.input), 0);
    EXPECT_NE(std::string(StandIn_LastError()).find(row.error), std::string::npos) << StandIn_LastError();
    EXPECT_STREQ(AddinZV_Task_GetTitle(L"Kept"), L"still here");
}

INSTANTIATE_TEST_SUITE_P(Rows, TaskFileRefusal, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<RefusalRow> &info) { return info.param.name; });

TEST(TaskFileOnDisk, ReadsUtf8WithByteOrderMarkAndSavesWhatItRead)
{
    ScratchFolder folder;
    std::wstring in = folder.File(L"t\u00e2ches.json"), out = folder.File(L"saved.json");
    ASSERT_TRUE(WriteFileBytes(in, "\xEF\xBB\xBF" // byte order mark
                                   R"({"tasks":[{"uid":"A","title":"Caf)"
                                   "\xC3\xA9" // LATIN SMALL LETTER E WITH ACUTE
                                   R"("}]})"));
    ASSERT_EQ(StandIn_LoadTaskFile(in.c_str()), 1) << StandIn_LastError();
    EXPECT_STREQ(AddinZV_Task_GetTitle(L"A"), L"Caf\u00e9");
    ASSERT_EQ(StandIn_SaveTaskFile(out.c_str()), 1) << StandIn_LastError();
    EXPECT_EQ(ReadFileBytes(out), StandIn_TaskJson());
}

TEST(TaskFileOnDisk, MissingFileIsNamedInTheError)
{
    ScratchFolder folder;
    EXPECT_EQ(StandIn_LoadTaskFile(folder.File(L"absent.json").c_str()), 0);
    EXPECT_NE(std::string(StandIn_LastError()).find("cannot open task file"), std::string::npos);
    EXPECT_NE(std::string(StandIn_LastError()).find("absent.json"), std::string::npos);
}

TEST(TaskFileDepth, ChainOfOneHundredThousandLoadsWalksAndSaves)
{
    const int depth = 100000;
    std::string json = R"({"tasks":[{"uid":"t0"})";
    for (int i = 1; i < depth; ++i)
        json += ",{\"uid\":\"t" + std::to_string(i) + "\",\"parent\":\"t" + std::to_string(i - 1) + "\"}";
    json += "]}";
    ASSERT_EQ(StandIn_LoadTaskJson(json.c_str()), 1) << StandIn_LastError();

    StandIn_SetRecording(0);
    int levels = 0;
    for (const wchar_t *uid = L"root"; AddinZV_Task_GetChildsCount(uid) == 1; ++levels)
        uid = AddinZV_Task_GetChildUID(uid, 0);
    StandIn_SetRecording(1);
    EXPECT_EQ(levels, depth);

    std::string saved = StandIn_TaskJson();
    ASSERT_EQ(StandIn_LoadTaskJson(saved.c_str()), 1) << StandIn_LastError();
    EXPECT_EQ(StandIn_TaskJson(), saved);
    EXPECT_NE(saved.find("{\"uid\":\"t99999\",\"parent\":\"t99998\""), std::string::npos);
}

} // namespace
