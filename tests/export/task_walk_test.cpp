/*
** The walk over the task tree: which tasks get an event (each exclusion with a child that
** still gets its own), the depth-first order and the host calls behind it, a chain deeper
** than any thread stack, and what becomes of long titles, line breaks and dates that
** cannot be written.
*/
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ostream>

#include "export_fixture.h"
#include "standin_control.h"

class TaskWalkTest : public ExportTest {
protected:
    std::vector<std::string> ExportedLines()
    {
        ExportTo(CalendarPath());
        return CalendarLines(ReadFileBytes(CalendarPath()));
    }
    std::string LogText() { return ReadFileBytes(LogPathOf(CalendarPath())); }
};

/* ---- Qualification ---------------------------------------------------------------- */

struct ExclusionRow {
    const char *name;
    void (*change)(TaskRow *parent);
    bool parentExported;
};

void PrintTo(const ExclusionRow &row, std::ostream *out)
{
    *out << row.name;
}

static const ExclusionRow ExclusionRows[] = {
    {"state 1", [](TaskRow *t) { t->state = 1; }, false},
    {"state 7", [](TaskRow *t) { t->state = 7; }, false},
    {"state 3", [](TaskRow *t) { t->state = 3; }, false},
    {"begin equal to the minimum", [](TaskRow *t) { t->begin = "min"; }, false},
    {"end equal to the maximum", [](TaskRow *t) { t->end = "max"; }, false},
    {"reported absent", [](TaskRow *t) { t->present = false; }, false},
    {"state 2 is exported", [](TaskRow *t) { t->state = 2; }, true},
    {"begin a second after the minimum", [](TaskRow *t) { t->begin = "1900-01-01 00:00:01"; }, true},
    {"end a second before the maximum", [](TaskRow *t) { t->end = "9999-12-30 23:59:59"; }, true},
};

class QualificationTest : public TaskWalkTest, public ::testing::WithParamInterface<ExclusionRow> {};

TEST_P(QualificationTest, ChildOfAnyParentStillGetsItsEvent)
{
    TaskRow parent{"P"}, child{"P1"}, sibling{"Q"};
    GetParam().change(&parent);
    child.parent = "P";
    LoadTasks({parent, child, sibling});

    std::vector<std::string> uids = PropertyValues(ExportedLines(), "UID:");

    std::vector<std::string> expected = {"P", "P1", "Q"};
    if (!GetParam().parentExported)
        expected.erase(expected.begin());
    EXPECT_EQ(expected, uids);
    /* Every visited task is logged, whatever its fate. */
    EXPECT_NE(std::string::npos, LogText().find("Header printed\r\n\r\nP\r\nP1\r\nQFooter printed\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Rows, QualificationTest, ::testing::ValuesIn(ExclusionRows),
                         [](const ::testing::TestParamInfo<ExclusionRow> &info) {
                             std::string name;
                             for (const char *c = info.param.name; *c; c++)
                                 name += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST_F(TaskWalkTest, DepthFirstParentBeforeChildrenWithHostCallsInOrder)
{
    TaskRow a{"A"}, a1{"A1"}, a2{"A2"}, b{"B"};
    a1.parent = a2.parent = "A";
    LoadTasks({a, a1, a2, b});

    std::vector<std::string> lines = ExportedLines();
    EXPECT_EQ((std::vector<std::string>{"A", "A1", "A2", "B"}), PropertyValues(lines, "UID:"));
    EXPECT_NE(std::string::npos, LogText().find("\r\nA\r\nA1\r\nA2\r\nBFooter printed"));
    ASSERT_EQ(3u + 4 * 8 + 1, lines.size());

    /* The host calls of one qualifying task, from its first test to its children. */
    std::vector<std::string> calls = RecordedCalls();
    std::vector<std::string> expected = {
        "AddinZV_Task_IsPresent(\"A1\")",
        "AddinZV_Task_GetState(\"A1\")",
        "AddinZV_Task_GetState(\"A1\")",
        "AddinZV_Task_GetState(\"A1\")",
        "AddinZV_Task_GetDateBegin(\"A1\")",
        "AddinZV_GetMinDate()",
        "AddinZV_Task_GetDateEnd(\"A1\")",
        "AddinZV_GetMaxDate()",
        "AddinZV_Task_GetTitle(\"A1\")",
        "AddinZV_Task_GetDateBegin(\"A1\")",
        "AddinZV_GetSystemTimeFromOleDate(2024-01-15 09:30:00)",
        "AddinZV_Task_GetDateEnd(\"A1\")",
        "AddinZV_GetSystemTimeFromOleDate(2024-01-15 10:30:00)",
        "AddinZV_Task_GetDateCreate(\"A1\")",
        "AddinZV_GetSystemTimeFromOleDate(2024-01-10 08:00:00)",
        "AddinZV_Task_GetDateModification(\"A1\")",
        "AddinZV_GetSystemTimeFromOleDate(2024-01-12 17:45:30)",
        "AddinZV_Task_GetChildsCount(\"A1\")",
        "AddinZV_Task_GetChildUID(\"A\", 1)",
        "AddinZV_Task_IsPresent(\"A2\")",
    };
    auto first = std::find(calls.begin(), calls.end(), expected[0]);
    ASSERT_NE(calls.end(), first);
    ASSERT_GE(calls.end() - first, static_cast<long>(expected.size()));
    EXPECT_EQ(expected, std::vector<std::string>(first, first + expected.size()));
    EXPECT_EQ("AddinZV_Task_GetChildsCount(\"root\")", calls[0]);
    EXPECT_EQ(1, std::count(calls.begin(), calls.end(), "AddinZV_Task_GetChildsCount(\"A\")"));
}

TEST_F(TaskWalkTest, ChainOfHundredThousandExportsInOrder)
{
    const int depth = 100000;
    std::string json = "{\"tasks\":[";
    char row[160];
    for (int i = 0; i < depth; i++) {
        snprintf(row, sizeof row, "%s{\"uid\":\"T%d\",\"parent\":\"%s%d\",\"title\":\"t%d\"}", i ? "," : "", i,
                 i ? "T" : "root", i ? i - 1 : 0, i);
        json += row;
    }
    json.replace(json.find("\"root0\""), 7, "\"root\"");
    json += "]}";
    ASSERT_EQ(1, StandIn_LoadTaskJson(json.c_str())) << StandIn_LastError();
    StandIn_SetRecording(0);

    std::vector<std::string> uids = PropertyValues(ExportedLines(), "UID:");

    ASSERT_EQ(static_cast<size_t>(depth), uids.size());
    for (int i = 0; i < depth; i++)
        ASSERT_EQ("T" + std::to_string(i), uids[i]) << "at position " << i;
    std::string log = LogText();
    EXPECT_NE(std::string::npos, log.find("Header printed\r\n\r\nT0\r\nT1\r\nT2\r\n"));
    EXPECT_NE(std::string::npos, log.find("\r\nT99998\r\nT99999Footer printed\r\n"));
}

/* ---- Values ----------------------------------------------------------------------- */

TEST_F(TaskWalkTest, TitleOfFortyThousandCharactersIsWrittenWhole)
{
    TaskRow t{"LONG"};
    t.title = std::string(39999, 'x') + "\xC3\xA9"; /* U+00E9 last */
    LoadTasks({t});

    std::vector<std::string> summaries = PropertyValues(ExportedLines(), "SUMMARY:");

    ASSERT_EQ(1u, summaries.size());
    EXPECT_EQ(t.title, summaries[0]);
}

struct LineBreakRow {
    const char *name;
    const char *title;
    const char *written;
};

void PrintTo(const LineBreakRow &row, std::ostream *out)
{
    *out << row.name;
}

static const LineBreakRow LineBreakRows[] = {
    {"CR LF", "one\r\ntwo", "one\\ntwo"},
    {"LF", "one\ntwo", "one\\ntwo"},
    {"CR", "one\rtwo", "one\\ntwo"},
    {"LF CR is two breaks", "one\n\rtwo", "one\\n\\ntwo"},
    {"marker after the break", "x\r\nEND:VEVENT\r\nUID:evil", "x\\nEND:VEVENT\\nUID:evil"},
    {"nothing else is escaped", "a,b;c\\d\\n", "a,b;c\\d\\n"},
};

class LineBreakTest : public TaskWalkTest, public ::testing::WithParamInterface<LineBreakRow> {};

TEST_P(LineBreakTest, EventKeepsItsEightLines)
{
    TaskRow t{"T"}, next{"N"};
    t.title = GetParam().title;
    LoadTasks({t, next});

    std::vector<std::string> lines = ExportedLines();

    ASSERT_EQ(3u + 2 * 8 + 1, lines.size());
    EXPECT_EQ(std::string("SUMMARY:") + GetParam().written, lines[4]);
    EXPECT_EQ((std::vector<std::string>{"T", "N"}), PropertyValues(lines, "UID:"));
}

INSTANTIATE_TEST_SUITE_P(Rows, LineBreakTest, ::testing::ValuesIn(LineBreakRows),
                         [](const ::testing::TestParamInfo<LineBreakRow> &info) {
                             std::string name;
                             for (const char *c = info.param.name; *c; c++)
                                 name += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST_F(TaskWalkTest, LineBreakInUidStaysOnOneLineOfCalendarAndLog)
{
    TaskRow t{"u1\nu2"};
    LoadTasks({t});

    EXPECT_EQ(std::vector<std::string>{"u1\\nu2"}, PropertyValues(ExportedLines(), "UID:"));
    EXPECT_NE(std::string::npos, LogText().find("Header printed\r\n\r\nu1\\nu2Footer printed\r\n"));
}

/* The stand-in fills a date it cannot convert with zeros, which no timestamp can carry. */
TEST_F(TaskWalkTest, TaskWithUnwritableDateIsSkippedWholeAndLogged)
{
    TaskRow before{"B0"}, bad{"BAD"}, child{"C"}, after{"B1"};
    bad.created = 1e12;
    child.parent = "BAD";
    LoadTasks({before, bad, child, after});

    std::vector<std::string> lines = ExportedLines();

    EXPECT_EQ((std::vector<std::string>{"B0", "C", "B1"}), PropertyValues(lines, "UID:"));
    EXPECT_EQ(3u + 3 * 8 + 1, lines.size());
    EXPECT_NE(std::string::npos,
              LogText().find("\r\nB0\r\nBAD Event skipped: the date for CREATED cannot be written as a UTC time\r\n"
                             "\r\nC\r\nB1Footer printed\r\n"));
}
