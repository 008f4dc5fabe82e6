/*
** RunGuarded contains both kinds of exception a command can meet: a C++ exception of
** the plug-in's own and a structured exception raised from inside a host call, and
** leaves the thread's exception chain as it found it.
*/
#include <gtest/gtest.h>
#include <windows.h>
#include <intrin.h>

#include <new>

#include "command_guard.h"
#include "standin_control.h"
#include "zv_plugins.h"

namespace {

int StepsDone;

void CompletingCommand() { StepsDone = 2; }

void ThrowingCommand()
{
    StepsDone = 1;
    throw std::bad_alloc();
}

void RaisingCommand()
{
    StepsDone = 1;
    RaiseException(0xE0001234, 0, 0, nullptr);
    StepsDone = 2;
}

/* The host raises from inside its own frames, as the stand-in does when told to. */
void HostRaisingCommand()
{
    StepsDone = 1;
    StandIn_FailOnCall("AddinZV_Task_GetChildsCount", 1, STANDIN_FAIL_RAISE);
    AddinZV_Task_GetChildsCount(L"root");
    StepsDone = 2;
}

void AccessViolatingCommand()
{
    StepsDone = 1;
    /* Reserved but never committed: a write there faults on every system (Wine maps page
       zero for its own use, so a null pointer would not do). */
    int *volatile nowhere = static_cast<int *>(VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS));
    *nowhere = 1;
    StepsDone = 2;
}

struct GuardRow {
    const char *name;
    void (*command)();
    bool finished;
};

void PrintTo(const GuardRow &row, std::ostream *out) { *out << row.name; }

const GuardRow GuardRows[] = {
    {"Completes", CompletingCommand, true},
    {"CxxException", ThrowingCommand, false},
    {"StructuredException", RaisingCommand, false},
    {"StructuredExceptionFromTheHost", HostRaisingCommand, false},
    {"AccessViolation", AccessViolatingCommand, false},
};

class Guard : public testing::TestWithParam<GuardRow> {};

TEST_P(Guard, ReturnsWhetherTheCommandFinished)
{
    const GuardRow &row = GetParam();
    DWORD chainBefore = __readfsdword(0);
    StepsDone = 0;
    EXPECT_EQ(RunGuarded(row.command), row.finished);
    EXPECT_EQ(StepsDone, row.finished ? 2 : 1);
    EXPECT_EQ(__readfsdword(0), chainBefore);
    /* The guard is usable again, and a normal run after a caught one still finishes. */
    EXPECT_TRUE(RunGuarded(CompletingCommand));
    StandIn_FailOnCall(nullptr, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, Guard, testing::ValuesIn(GuardRows),
                         [](const testing::TestParamInfo<GuardRow> &info) { return info.param.name; });

void NestedCommand()
{
    StepsDone = RunGuarded(RaisingCommand) ? 10 : 20;
    RaiseException(0xE0004321, 0, 0, nullptr);
}

TEST(Guard, NestedGuardsEachCatchTheirOwn)
{
    EXPECT_FALSE(RunGuarded(NestedCommand));
    EXPECT_EQ(StepsDone, 20); /* the inner guard caught the first raise, the outer the second */
}

} // namespace
