/*
** Failures injected into the stand-in host: a structured exception raised from the
** chosen call (and only from it), and the host process dying on the spot.
*/
#include <gtest/gtest.h>

#include <windows.h>

#include "standin_control.h"
#include "test_support.h"
#include "zv_plugins.h"

namespace {

LONG raisedCount = 0;

/* Counts the host's exception and lets the call go on (it is raised continuable). */
LONG CALLBACK CountHostException(EXCEPTION_POINTERS *info)
{
    if (info->ExceptionRecord->ExceptionCode != STANDIN_HOST_EXCEPTION)
        return EXCEPTION_CONTINUE_SEARCH;
    ++raisedCount;
    return EXCEPTION_CONTINUE_EXECUTION;
}

class InjectedFailure : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(StandIn_LoadTaskJson(R"({"tasks":[{"uid":"A","title":"Plan"}]})"), 1);
        raisedCount = 0;
        handler_ = AddVectoredExceptionHandler(1, CountHostException);
    }
    void TearDown() override
    {
        StandIn_FailOnCall(nullptr, 0, 0);
        RemoveVectoredExceptionHandler(handler_);
    }
    void *handler_ = nullptr;
};

TEST_F(InjectedFailure, RaiseHitsOnlyTheNthCallOfTheNamedFunction)
{
    StandIn_FailOnCall("AddinZV_Task_GetTitle", 2, STANDIN_FAIL_RAISE);
    AddinZV_Task_GetTitle(L"A");
    AddinZV_Task_GetState(L"A");
    EXPECT_EQ(raisedCount, 0);
    AddinZV_Task_GetTitle(L"A");
    EXPECT_EQ(raisedCount, 1);
    AddinZV_Task_GetTitle(L"A");
    EXPECT_EQ(raisedCount, 1) << "the rule is spent after it fired";
    EXPECT_EQ(StandIn_CallCount(), 4) << "the failing call is recorded too";
}

TEST_F(InjectedFailure, ClearedRuleRaisesNothing)
{
    StandIn_FailOnCall("AddinZV_GetMinDate", 1, STANDIN_FAIL_RAISE);
    StandIn_FailOnCall(nullptr, 1, STANDIN_FAIL_RAISE);
    AddinZV_GetMinDate();
    EXPECT_EQ(raisedCount, 0);
}

TEST(InjectedFailureDeathTest, TerminateEndsTheProcessWithCodeThree)
{
    EXPECT_EXIT(
        {
            StandIn_FailOnCall("AddinZV_ChangesEnd", 1, STANDIN_FAIL_TERMINATE);
            AddinZV_ChangesStart();
            AddinZV_ChangesEnd();
            fprintf(stderr, "still alive\n");
            exit(0);
        },
        testing::ExitedWithCode(3), "^$");
}

} // namespace
