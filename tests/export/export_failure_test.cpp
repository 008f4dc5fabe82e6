/*
** An export that cannot go as planned: the host raising an exception in the middle of the
** walk, a calendar that cannot be created, and a path that the ANSI code page cannot carry.
*/
#include <windows.h>

#include <ostream>

#include "export_fixture.h"
#include "standin_control.h"

namespace {

std::vector<TaskRow> ThreeLevels()
{
    TaskRow a{"A"}, a1{"A1"}, a11{"A11"}, b{"B"};
    a1.parent = "A", a11.parent = "A1";
    a.title = "first", a1.title = "second", a11.title = "third", b.title = "fourth";
    return {a, a1, a11, b};
}

/* The names of the files and folders directly in folder. */
std::vector<std::wstring> FolderEntries(const std::wstring &folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

/* ---- The guard -------------------------------------------------------------------- */

struct RaiseRow {
    const char *name;
    const char *call;
    int nth;
};

void PrintTo(const RaiseRow &row, std::ostream *out)
{
    *out << row.name;
}

static const RaiseRow RaiseRows[] = {
    {"TitleOfSecondTask", "AddinZV_Task_GetTitle", 2},
    {"DateOfThirdTask", "AddinZV_GetSystemTimeFromOleDate", 11},
    {"ChildOfSecondLevel", "AddinZV_Task_GetChildUID", 2},
    {"StateOfLastTask", "AddinZV_Task_GetState", 10},
};

class HostRaiseTest : public ExportTest, public ::testing::WithParamInterface<RaiseRow> {};

TEST_P(HostRaiseTest, CalendarEndsWithLastWholeLineAndNothingStaysOpen)
{
    LoadTasks(ThreeLevels());
    std::wstring whole = scratch_.File(L"whole.ics");
    ExportTo(whole);
    std::string wholeBytes = ReadFileBytes(whole);

    LoadTasks(ThreeLevels());
    StandIn_FailOnCall(GetParam().call, GetParam().nth, STANDIN_FAIL_RAISE);
    ExportTo(CalendarPath()); /* returns normally */

    std::string cut = ReadFileBytes(CalendarPath());
    ASSERT_GT(cut.size(), 3u);
    EXPECT_LT(cut.size(), wholeBytes.size());
    EXPECT_EQ(wholeBytes.substr(0, cut.size()), cut) << "not a beginning of the whole calendar";
    EXPECT_EQ("\r\n", cut.substr(cut.size() - 2)) << "ends inside a line";
    EXPECT_EQ(std::string::npos, ReadFileBytes(LogPathOf(CalendarPath())).find("Footer printed"));

    /* Nothing holds the files: both can be renamed at once. */
    EXPECT_TRUE(MoveFileW(CalendarPath().c_str(), scratch_.File(L"moved.ics").c_str()));
    EXPECT_TRUE(MoveFileW(LogPathOf(CalendarPath()).c_str(), scratch_.File(L"moved.ics.log").c_str()));

    /* The next run starts clean. */
    LoadTasks(ThreeLevels());
    ExportTo(CalendarPath());
    EXPECT_EQ(wholeBytes, ReadFileBytes(CalendarPath()));
}

INSTANTIATE_TEST_SUITE_P(Rows, HostRaiseTest, ::testing::ValuesIn(RaiseRows),
                         [](const ::testing::TestParamInfo<RaiseRow> &info) { return info.param.name; });

/* ---- A calendar that cannot be created -------------------------------------------- */

struct UncreatableRow {
    const char *name;
    bool makeFolder;     /* a folder stands at the calendar's path */
    bool missingFolder;  /* the calendar's folder does not exist */
    bool lockedFile;     /* an old calendar is open elsewhere without sharing */
};

void PrintTo(const UncreatableRow &row, std::ostream *out)
{
    *out << row.name;
}

static const UncreatableRow UncreatableRows[] = {
    {"FolderOfThatName", true, false, false},
    {"MissingFolder", false, true, false},
    {"LockedFile", false, false, true},
};

class UncreatableCalendarTest : public ExportTest, public ::testing::WithParamInterface<UncreatableRow> {};

TEST_P(UncreatableCalendarTest, LoggedToldAndEnded)
{
    const UncreatableRow &row = GetParam();
    std::wstring calendar = row.missingFolder ? scratch_.File(L"gone\\tasks.ics") : CalendarPath();
    if (row.makeFolder) {
        ASSERT_TRUE(CreateDirectoryW(calendar.c_str(), nullptr));
    }
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (row.lockedFile) {
        ASSERT_TRUE(WriteFileBytes(calendar, "old calendar"));
        lock = CreateFileW(calendar.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    }
    LoadTasks(ThreeLevels());

    ExportTo(calendar);

    if (lock != INVALID_HANDLE_VALUE)
        CloseHandle(lock);
    EXPECT_EQ(std::vector<std::string>{}, CallsTo("AddinZV_Task_")) << "the walk must not run";
    ASSERT_EQ(1, StandIn_PopupCount());
    EXPECT_NE(std::string::npos, std::string(StandIn_PopupXaml(0)).find(Utf8(calendar)));
    if (row.missingFolder) {
        EXPECT_FALSE(FileExists(scratch_.File(L"gone")));
        return;
    }
    EXPECT_EQ("Trying open dest file\r\nDest file cannot be created\r\n", ReadFileBytes(LogPathOf(calendar)));
    if (row.makeFolder) {
        EXPECT_TRUE(FolderEntries(calendar).empty());
    }
    if (row.lockedFile) {
        EXPECT_EQ("old calendar", ReadFileBytes(calendar));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, UncreatableCalendarTest, ::testing::ValuesIn(UncreatableRows),
                         [](const ::testing::TestParamInfo<UncreatableRow> &info) { return info.param.name; });

/* ---- A path outside the ANSI code page -------------------------------------------- */

TEST_F(ExportTest, PathOutsideAnsiCodePageNamesExactlyTheChosenFile)
{
    const std::wstring folderName = L"\u041A\u0430\u043B\u0435\u043D\u0434\u0430\u0440\u044C \u65E5\u7A0B";
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, folderName.c_str(), -1, nullptr, 0, nullptr, &lossy);
    ASSERT_TRUE(lossy) << "code page " << GetACP() << " carries the folder's name; the test proves nothing";

    std::wstring folder = scratch_.File(folderName);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    TaskRow t{"A"};
    LoadTasks({t});

    ExportTo(folder + L"\\\u65E5\u7A0B.ics");

    EXPECT_EQ((std::vector<std::wstring>{folderName}), FolderEntries(scratch_.Path()));
    EXPECT_EQ((std::vector<std::wstring>{L"\u65E5\u7A0B.ics", L"\u65E5\u7A0B.ics.log"}), FolderEntries(folder));
    EXPECT_EQ(std::vector<std::string>{"A"},
              PropertyValues(CalendarLines(ReadFileBytes(folder + L"\\\u65E5\u7A0B.ics")), "UID:"));
    EXPECT_EQ("Trying open dest file\r\nFile opened\r\nHeader printed\r\n\r\nAFooter printed\r\n",
              ReadFileBytes(folder + L"\\\u65E5\u7A0B.ics.log"));
}
