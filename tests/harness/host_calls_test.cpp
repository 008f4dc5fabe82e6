/*
** The stand-in host's AddinZV_ functions: the line each call leaves in the record, and
** the behaviour the plug-ins rely on (presence, stable child UIDs, staged changes,
** inserts, contacts, date conversion, never a null string).
*/
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "standin_control.h"
#include "test_support.h"
#include "zv_plugins.h"

namespace {

const char kModel[] = R"({"now":"2026-12-11 10:00:00","tasks":[
  {"uid":"A","title":"Plan","begin":"2024-01-15 09:30:00","end":"2024-01-15 10:30:00",
   "modified":"2024-01-01 00:00:00"},
  {"uid":"A1","parent":"A","title":"Step"},
  {"uid":"A2","parent":"A","title":"Gone","present":false},
  {"uid":"B","title":"Other"}],
 "contacts":[{"uid":"c1","name":"Ann","communications":[["phone","work","+1 555"],["mail","home","a@b.c"]]},
             {"uid":"c2","name":"Bob","present":false}]})";

class HostCalls : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(StandIn_LoadTaskJson(kModel), 1) << StandIn_LastError(); }
};

SYSTEMTIME Time(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s, WORD ms = 0)
{
    SYSTEMTIME t = {};
    t.wYear = y, t.wMonth = mo, t.wDay = d, t.wHour = h, t.wMinute = mi, t.wSecond = s, t.wMilliseconds = ms;
    return t;
}

OleDate Date(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s)
{
    SYSTEMTIME t = Time(y, mo, d, h, mi, s);
    double date = 0;
    SystemTimeToVariantTime(&t, &date);
    return date;
}

struct RecordRow {
    const char *name;
    std::function<void()> call;
    const char *line;
};

void PrintTo(const RecordRow &row, std::ostream *os)
{
    *os << row.name;
}

const RecordRow kRecordRows[] = {
    {"strings_quoted", [] { AddinZV_Task_SetTitle(L"A1", L"Plan"); }, R"(AddinZV_Task_SetTitle("A1", "Plan"))"},
    {"utf8_text",
     [] { AddinZV_Task_SetTitle(L"A1", L"\u041f\u043b\u0430\u043d"); }, // CYRILLIC "План"
     "AddinZV_Task_SetTitle(\"A1\", \"\xD0\x9F\xD0\xBB\xD0\xB0\xD0\xBD\")"},
    {"null_string", [] { AddinZV_Task_GetTitle(nullptr); }, "AddinZV_Task_GetTitle(null)"},
    {"no_arguments", [] { AddinZV_GetMinDate(); }, "AddinZV_GetMinDate()"},
    {"int_argument", [] { AddinZV_Task_GetChildUID(L"root", -1); }, R"(AddinZV_Task_GetChildUID("root", -1))"},
    {"insert_with_every_argument",
     [] {
         AddinZV_Task_Insert(L"", L"root", L"Bobs list", Date(2026, 12, 11, 10, 0, 0), 0, L"",
                             Date(2024, 1, 15, 9, 30, 0), Date(2024, 1, 15, 10, 30, 0));
     },
     R"(AddinZV_Task_Insert("", "root", "Bobs list", 2026-12-11 10:00:00, 0, "", 2024-01-15 09:30:00, 2024-01-15 10:30:00))"},
    {"date_off_the_second_as_number", [] { AddinZV_Task_SetDateBegin(L"A", 45306.123456789); },
     R"(AddinZV_Task_SetDateBegin("A", 45306.12346))"},
    {"out_pointer_left_out", [] { SYSTEMTIME t; AddinZV_GetSystemTimeFromOleDate(&t, Date(2024, 1, 15, 9, 30, 0)); },
     "AddinZV_GetSystemTimeFromOleDate(2024-01-15 09:30:00)"},
    {"systemtime_by_value", [] { AddinZV_GetOleDateFromSystemTime(Time(2024, 1, 15, 8, 30, 0, 7)); },
     "AddinZV_GetOleDateFromSystemTime({2024-1-15 8:30:0.7})"},
    {"three_out_pointers_left_out",
     [] {
         const wchar_t *a, *b, *c;
         AddinZV_Contact_GetCommunication(L"c1", 1, &a, &b, &c);
     },
     R"(AddinZV_Contact_GetCommunication("c1", 1))"},
    {"popup_text_unescaped", [] { AddinZV_ShowPopupCustom(L"<Border a='1'>\"x\"</Border>", 3000); },
     R"(AddinZV_ShowPopupCustom("<Border a='1'>"x"</Border>", 3000))"},
};

class CallRecordLine : public HostCalls, public testing::WithParamInterface<RecordRow> {};

TEST_P(CallRecordLine, IsNameAndArgumentsAsGiven)
{
    StandIn_ClearCalls();
    GetParam().call();
    ASSERT_EQ(StandIn_CallCount(), 1);
    EXPECT_STREQ(StandIn_Call(0), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Rows, CallRecordLine, testing::ValuesIn(kRecordRows),
                         [](const testing::TestParamInfo<RecordRow> &info) { return info.param.name; });

TEST_F(HostCalls, RecordKeepsOrderAndStopsWhenRecordingIsOff)
{
    StandIn_ClearCalls();
    AddinZV_ChangesStart();
    AddinZV_Task_SaveChanges(L"A");
    StandIn_SetRecording(0);
    AddinZV_ChangesEnd();
    StandIn_SetRecording(1);
    EXPECT_EQ(RecordedCalls(), (std::vector<std::string>{"AddinZV_ChangesStart()", R"(AddinZV_Task_SaveChanges("A"))"}));
    EXPECT_EQ(StandIn_TotalCalls(), 3);
    EXPECT_STREQ(StandIn_Call(2), "");
    EXPECT_STREQ(StandIn_Call(-1), "");
}

/* The host's share of a benchmark is read from this counter: it must grow with the
   host's own calls and with nothing else. */
TEST_F(HostCalls, HostTimeGrowsWithHostCallsOnly)
{
    unsigned long long before = StandIn_HostTicks();
    StandIn_ClearCalls();
    StandIn_SetRecording(1);
    EXPECT_EQ(StandIn_HostTicks(), before);
    for (int i = 0; i < 100; i++)
        AddinZV_Task_GetTitle(L"A");
    EXPECT_GT(StandIn_HostTicks(), before);
}

TEST_F(HostCalls, PresenceAndEmptyAnswersForUnknownTasks)
{
    EXPECT_EQ(AddinZV_Task_IsPresent(L"root"), 1);
    EXPECT_EQ(AddinZV_Task_IsPresent(L"A1"), 1);
    EXPECT_EQ(AddinZV_Task_IsPresent(L"A2"), 0); // exists, flag cleared
    EXPECT_EQ(AddinZV_Task_IsPresent(L"nope"), 0);
    EXPECT_EQ(AddinZV_Task_IsPresent(nullptr), 0);
    ASSERT_NE(AddinZV_Task_GetTitle(L"nope"), nullptr);
    EXPECT_STREQ(AddinZV_Task_GetTitle(L"nope"), L"");
    EXPECT_STREQ(AddinZV_Task_GetTitle(L"A2"), L"Gone");
    ASSERT_NE(AddinZV_Task_GetChildUID(L"A", 2), nullptr);
    EXPECT_STREQ(AddinZV_Task_GetChildUID(L"A", 2), L"");
    EXPECT_STREQ(AddinZV_Task_GetChildUID(nullptr, 0), L"");
    EXPECT_EQ(AddinZV_Task_GetChildsCount(L"nope"), 0);
    EXPECT_EQ(AddinZV_Task_GetChildsCount(L"root"), 2);
}

TEST_F(HostCalls, ChildUidStaysValidWhileTheTreeGrows)
{
    TaskUid first = AddinZV_Task_GetChildUID(L"A", 0);
    TaskUid second = AddinZV_Task_GetChildUID(L"A", 1);
    // Enough inserts to make the model rehash its table several times.
    for (int i = 0; i < 2000; ++i)
        AddinZV_Task_Insert(L"", L"A", L"more", 0, 0, L"", 0, 0);
    EXPECT_STREQ(first, L"A1");
    EXPECT_STREQ(second, L"A2");
    EXPECT_EQ(AddinZV_Task_GetChildUID(L"A", 0), first);
}

TEST_F(HostCalls, SettersWaitForSaveChangesWhichStampsNow)
{
    AddinZV_Task_SetTitle(L"A", L"Renamed");
    AddinZV_Task_SetDateBegin(L"A", Date(2025, 3, 1, 8, 0, 0));
    AddinZV_Task_SetDateEnd(L"A", Date(2025, 3, 1, 9, 0, 0));
    EXPECT_STREQ(AddinZV_Task_GetTitle(L"A"), L"Plan");
    EXPECT_EQ(AddinZV_Task_GetDateBegin(L"A"), Date(2024, 1, 15, 9, 30, 0));
    EXPECT_EQ(AddinZV_Task_GetDateModification(L"A"), Date(2024, 1, 1, 0, 0, 0));
    EXPECT_EQ(StandIn_AppliedChanges(), 0);

    EXPECT_EQ(AddinZV_Task_SaveChanges(L"A"), 1);
    EXPECT_STREQ(AddinZV_Task_GetTitle(L"A"), L"Renamed");
    EXPECT_EQ(AddinZV_Task_GetDateBegin(L"A"), Date(2025, 3, 1, 8, 0, 0));
    EXPECT_EQ(AddinZV_Task_GetDateEnd(L"A"), Date(2025, 3, 1, 9, 0, 0));
    EXPECT_EQ(AddinZV_Task_GetDateModification(L"A"), AddinZV_GetCurrDate());
    EXPECT_EQ(StandIn_AppliedChanges(), 1);
    EXPECT_EQ(AddinZV_Task_SaveChanges(L"nope"), 0);
    EXPECT_EQ(AddinZV_Task_SetTitle(nullptr, L"x"), 0);
}

TEST_F(HostCalls, InsertPlacesAFreshTaskAfterItsSiblingOrLast)
{
    ASSERT_EQ(AddinZV_Task_Insert(L"A", L"root", L"Middle", Date(2026, 1, 2, 3, 4, 5), 2, L"note",
                                  Date(2024, 1, 15, 9, 30, 0), Date(2024, 1, 15, 10, 30, 0)),
              1);
    ASSERT_EQ(AddinZV_Task_Insert(L"", L"root", L"Last", 0, 0, nullptr, 0, 0), 1);
    ASSERT_EQ(AddinZV_Task_GetChildsCount(L"root"), 4);
    std::wstring middle = AddinZV_Task_GetChildUID(L"root", 1), last = AddinZV_Task_GetChildUID(L"root", 3);
    EXPECT_STREQ(AddinZV_Task_GetChildUID(L"root", 2), L"B");
    EXPECT_NE(middle, last);
    EXPECT_EQ(middle.size(), 36u) << "a GUID without braces";
    EXPECT_STREQ(AddinZV_Task_GetTitle(middle.c_str()), L"Middle");
    EXPECT_STREQ(AddinZV_Task_GetTitle(last.c_str()), L"Last");
    EXPECT_EQ(AddinZV_Task_GetState(middle.c_str()), 2);
    EXPECT_EQ(AddinZV_Task_GetDateCreate(middle.c_str()), Date(2026, 1, 2, 3, 4, 5));
    EXPECT_EQ(AddinZV_Task_GetDateEnd(middle.c_str()), Date(2024, 1, 15, 10, 30, 0));
    EXPECT_EQ(AddinZV_Task_IsPresent(middle.c_str()), 1);
    EXPECT_NE(std::string(StandIn_TaskJson()).find("\"notes\":\"note\""), std::string::npos);

    EXPECT_EQ(AddinZV_Task_Insert(L"", L"nope", L"Orphan", 0, 0, L"", 0, 0), 0);
    EXPECT_EQ(StandIn_AppliedChanges(), 2);
}

TEST_F(HostCalls, ChangeBracketCountsDepth)
{
    AddinZV_ChangesStart();
    AddinZV_ChangesStart();
    AddinZV_ChangesEnd();
    EXPECT_EQ(StandIn_ChangesDepth(), 1);
    AddinZV_ChangesEnd();
    AddinZV_ChangesEnd();
    EXPECT_EQ(StandIn_ChangesDepth(), -1);
}

TEST_F(HostCalls, ContactsAnswerAndBadIndexGivesEmptyTexts)
{
    EXPECT_EQ(AddinZV_Contact_IsPresent(L"c1"), 1);
    EXPECT_EQ(AddinZV_Contact_IsPresent(L"c2"), 0);
    EXPECT_EQ(AddinZV_Contact_IsPresent(L"c9"), 0);
    EXPECT_STREQ(AddinZV_Contact_GetTitle(L"c1"), L"Ann");
    EXPECT_STREQ(AddinZV_Contact_GetTitle(L"c9"), L"");
    EXPECT_EQ(AddinZV_Contact_GetCommunicationsCount(L"c1"), 2);
    EXPECT_EQ(AddinZV_Contact_GetCommunicationsCount(nullptr), 0);

    const wchar_t *poison = L"poison";
    const wchar_t *kind = poison, *label = poison, *value = poison;
    AddinZV_Contact_GetCommunication(L"c1", 1, &kind, &label, &value);
    EXPECT_STREQ(kind, L"mail");
    EXPECT_STREQ(label, L"home");
    EXPECT_STREQ(value, L"a@b.c");
    for (int index : {-1, 2}) {
        kind = label = value = poison;
        AddinZV_Contact_GetCommunication(L"c1", index, &kind, &label, &value);
        EXPECT_STREQ(kind, L"") << index;
        EXPECT_STREQ(label, L"") << index;
        EXPECT_STREQ(value, L"") << index;
    }
    AddinZV_Contact_GetCommunication(L"c1", 0, nullptr, nullptr, nullptr); // must not crash
}

TEST_F(HostCalls, DatesConvertThroughOleAutomation)
{
    EXPECT_EQ(AddinZV_GetMinDate(), Date(1900, 1, 1, 0, 0, 0));
    EXPECT_EQ(AddinZV_GetMaxDate(), Date(9999, 12, 31, 0, 0, 0));
    EXPECT_EQ(AddinZV_GetCurrDate(), Date(2026, 12, 11, 10, 0, 0));

    SYSTEMTIME filled;
    memset(&filled, 0xA5, sizeof filled);
    EXPECT_EQ(AddinZV_GetSystemTimeFromOleDate(&filled, Date(2024, 1, 15, 9, 30, 0)), &filled);
    EXPECT_EQ(filled.wYear, 2024);
    EXPECT_EQ(filled.wMonth, 1);
    EXPECT_EQ(filled.wDay, 15);
    EXPECT_EQ(filled.wHour, 9);
    EXPECT_EQ(filled.wMinute, 30);
    EXPECT_EQ(filled.wSecond, 0);
    EXPECT_EQ(AddinZV_GetOleDateFromSystemTime(filled), Date(2024, 1, 15, 9, 30, 0));

    EXPECT_EQ(AddinZV_GetOleDateFromSystemTime(Time(2024, 13, 1, 0, 0, 0)), 0.0) << "month 13";
    memset(&filled, 0xA5, sizeof filled);
    AddinZV_GetSystemTimeFromOleDate(&filled, 1e12);
    EXPECT_EQ(filled.wYear, 0) << "unconvertible date gives a zero record";
    EXPECT_EQ(AddinZV_GetSystemTimeFromOleDate(nullptr, 2.0), nullptr);
}

TEST_F(HostCalls, PopupsAreKeptInOrder)
{
    AddinZV_ShowPopupCustom(L"<Border>\u00e9</Border>", 3000);
    AddinZV_ShowPopupCustom(nullptr, 5);
    ASSERT_EQ(StandIn_PopupCount(), 2);
    EXPECT_STREQ(StandIn_PopupXaml(0), "<Border>\xC3\xA9</Border>"); // LATIN SMALL LETTER E WITH ACUTE
    EXPECT_EQ(StandIn_PopupMilliseconds(0), 3000);
    EXPECT_STREQ(StandIn_PopupXaml(1), "");
    EXPECT_EQ(StandIn_PopupMilliseconds(1), 5);
    EXPECT_STREQ(StandIn_PopupXaml(2), "");
}

} // namespace
