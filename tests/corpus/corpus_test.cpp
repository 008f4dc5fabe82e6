/*
** Every calendar of the shared corpus (real files written by other programs) imports
** without a crash or a hang, with the host's change bracket balanced, and every event
** either reaches the host or is named in the log with the reason it was skipped.
** Each file is read from a scratch copy, so that its log lands there.
*/
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "plugin_harness.h"
#include "standin_control.h"
#include "test_support.h"

namespace {

/* The corpus folder as Wine sees the build machine's file system (drive Z:). */
std::wstring CorpusFolder()
{
    std::wstring path = L"Z:" + Wide(SHARED_CORPUS_DIR);
    for (wchar_t &unit : path)
        if (unit == L'/')
            unit = L'\\';
    return path;
}

std::vector<std::string> CorpusFiles()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((CorpusFolder() + L"\\*.ics").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {"(corpus absent)"};
    do
        names.push_back(Utf8(found.cFileName));
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

size_t CountStarting(const std::vector<std::string> &lines, const std::string &prefix)
{
    size_t count = 0;
    for (const std::string &line : lines)
        count += line.compare(0, prefix.size(), prefix) == 0;
    return count;
}

class Corpus : public testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        reader_ = LoadedPlugin::Load(BesideTestProgram(L"ics_reader.zvdll"), &error);
        ASSERT_TRUE(reader_) << error;
    }
    static void TearDownTestSuite() { reader_.reset(); }
    static std::unique_ptr<LoadedPlugin> reader_;
};

std::unique_ptr<LoadedPlugin> Corpus::reader_;

TEST_P(Corpus, ImportsWithEverySkipExplained)
{
    std::wstring source = CorpusFolder() + L"\\" + Wide(GetParam());
    if (!FileExists(source))
        GTEST_SKIP() << "the shared corpus is not at " << SHARED_CORPUS_DIR;
    ASSERT_TRUE(reader_);
    ScratchFolder folder;
    std::wstring calendar = folder.File(L"copy.ics");
    ASSERT_TRUE(WriteFileBytes(calendar, ReadFileBytes(source)));
    ASSERT_EQ(1, StandIn_LoadTaskJson("{\"tasks\": []}")) << StandIn_LastError();

    QueueDialogAnswer(DialogAnswer{false, calendar, nullptr, false});
    reader_->ExecuteMainCommand();

    EXPECT_EQ(StandIn_ChangesDepth(), 0);
    std::vector<std::string> log = CrLfSplit(ReadFileBytes(calendar + L".log"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "Start changes");
    size_t events = CountStarting(log, "Event end found");
    EXPECT_EQ(CountStarting(log, "Event start found"), events);
    static const std::regex Skip("Event [0-9]+ skipped( \\(UID \".*\"\\))?: .+");
    size_t skipped = 0;
    for (const std::string &line : log)
        if (line.compare(0, 6, "Event ") == 0 && line.find(" skipped") != std::string::npos) {
            EXPECT_TRUE(std::regex_match(line, Skip)) << line;
            skipped++;
        }
    /* An imported event makes exactly one Insert (new task) or SaveChanges (update). */
    size_t imported = 0;
    for (const std::string &call : RecordedCalls())
        imported += call.compare(0, 19, "AddinZV_Task_Insert") == 0 || call.compare(0, 24, "AddinZV_Task_SaveChanges") == 0;
    EXPECT_EQ(imported + skipped, events);
}

INSTANTIATE_TEST_SUITE_P(Import, Corpus, testing::ValuesIn(CorpusFiles()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             std::string name;
                             for (char c : info.param)
                                 name += isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

} // namespace
