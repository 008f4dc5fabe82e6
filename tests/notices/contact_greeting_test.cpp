/*
** ContactMenuCommandExecute of both deliverables: the greeting text for the contacts of a
** list, in list order, in a message box "Hello" with style 0 and no owner; whole long
** ContactUids, empty entries passed over, and a normal return when the host raises.
*/
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notice_fixture.h"
#include "standin_control.h"
#include "test_support.h"

namespace {

/* 49 characters, the most a contact entry was ever meant to hold, and 60 with the same
   start: cutting the longer one would find the shorter one's contact. */
#define UID49 "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLM"
#define UID60 UID49 "NOPQRSTUVWX"

const char ContactFile[] = R"({"contacts":[
{"uid":"c1","name":"Ann","communications":[["phone","work","+1 555"],["e-mail","home","ann@example.org"]]},
{"uid":"c2","name":"Bob","present":false,"communications":[["phone","home","2"]]},
{"uid":"c3","name":"Cy"},
{"uid":"c4","name":"Dee","communications":[["","",""]]},
{"uid":")" UID49 R"(","name":"Forty-nine"},
{"uid":")" UID60 R"(","name":"Sixty"}]})";

const wchar_t AnnGreeting[] = L"Hello, Ann!\r\nphone work +1 555\r\ne-mail home ann@example.org\r\n\r\n";
const wchar_t CyGreeting[] = L"Hello, Cy!\r\n\r\n";

class ContactGreeting : public NoticeTest {
protected:
    /* Runs the command in plugin on a fresh model; the lookups it made, by ContactUid. */
    static std::vector<std::string> Greet(LoadedPlugin &plugin, const wchar_t *list)
    {
        LoadTasks(ContactFile);
        plugin.ContactMenuCommandExecute(list);
        return CallsTo("AddinZV_Contact_IsPresent");
    }
    static void ExpectOneMessageBox(const std::wstring &text)
    {
        ASSERT_EQ(1u, SeenMessageBoxes().size());
        const SeenMessageBox &box = SeenMessageBoxes()[0];
        EXPECT_EQ(text, box.text);
        EXPECT_EQ(L"Hello", box.caption);
        EXPECT_EQ(0u, box.style);
        EXPECT_EQ(nullptr, box.owner);
    }
};

struct GreetingRow {
    const char *name;
    const wchar_t *list;
    std::wstring text;
    std::vector<std::string> lookups; /* the ContactUids asked about, in order */
};

void PrintTo(const GreetingRow &row, std::ostream *os)
{
    *os << row.name;
}

static const GreetingRow GreetingRows[] = {
    {"no_communications", L"c3", CyGreeting, {"c3"}},
    {"two_communications", L"c1", AnnGreeting, {"c1"}},
    {"absent_contact_between_two_present", L"c1+c2+c3", std::wstring(AnnGreeting) + CyGreeting, {"c1", "c2", "c3"}},
    {"list_order_kept", L"c3+c1", std::wstring(CyGreeting) + AnnGreeting, {"c3", "c1"}},
    {"all_absent", L"c2+nobody", L"Please, select contact", {"c2", "nobody"}},
    {"empty_list", L"", L"Please, select contact", {}},
    {"empty_communication_texts_keep_their_blanks", L"c4", L"Hello, Dee!\r\n  \r\n\r\n", {"c4"}},
    {"empty_entries_passed_over", L"+c1++c3+", std::wstring(AnnGreeting) + CyGreeting, {"c1", "c3"}},
    {"only_separators", L"++", L"Please, select contact", {}},
    {"uid_of_49", L"" UID49, L"Hello, Forty-nine!\r\n\r\n", {UID49}},
    {"uid_of_60_looked_up_whole", L"" UID60 L"+c3", std::wstring(L"Hello, Sixty!\r\n\r\n") + CyGreeting,
     {UID60, "c3"}},
};

class ContactGreetingRows : public ContactGreeting, public ::testing::WithParamInterface<GreetingRow> {};

TEST_P(ContactGreetingRows, BothDeliverablesGreetThePresentContactsInListOrder)
{
    const GreetingRow &row = GetParam();
    for (LoadedPlugin *plugin : {&Writer(), &Reader()}) {
        SCOPED_TRACE(plugin == &Writer() ? "ics_writer" : "ics_reader");
        plugin->SetLanguage(L"Russian"); /* the greeting is the same in every language */
        std::vector<std::string> lookups = Greet(*plugin, row.list);
        ExpectOneMessageBox(row.text);
        std::vector<std::string> expected;
        for (const std::string &uid : row.lookups)
            expected.push_back("AddinZV_Contact_IsPresent(\"" + uid + "\")");
        EXPECT_EQ(expected, lookups);
        EXPECT_EQ(0, StandIn_PopupCount());
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, ContactGreetingRows, ::testing::ValuesIn(GreetingRows),
                         [](const ::testing::TestParamInfo<GreetingRow> &info) { return std::string(info.param.name); });

class ContactHostException : public ContactGreeting, public ::testing::WithParamInterface<const char *> {};

/* The command is given up without a message box; what it had gathered must not reach
   the next greeting. */
TEST_P(ContactHostException, ReturnsNormallyAndTheNextGreetingStartsAfresh)
{
    for (LoadedPlugin *plugin : {&Writer(), &Reader()}) {
        SCOPED_TRACE(plugin == &Writer() ? "ics_writer" : "ics_reader");
        LoadTasks(ContactFile);
        StandIn_FailOnCall(GetParam(), 2, STANDIN_FAIL_RAISE);
        plugin->ContactMenuCommandExecute(L"c3+c1");
        EXPECT_EQ(2u, CallsTo(std::string(GetParam()) + "(").size()) << "the failing call was made";
        EXPECT_EQ(0u, SeenMessageBoxes().size());

        Greet(*plugin, L"c1");
        ExpectOneMessageBox(AnnGreeting);
    }
}

INSTANTIATE_TEST_SUITE_P(HostCalls, ContactHostException,
                         ::testing::Values("AddinZV_Contact_IsPresent", "AddinZV_Contact_GetTitle",
                                           "AddinZV_Contact_GetCommunicationsCount",
                                           "AddinZV_Contact_GetCommunication"));

} // namespace
