/*
** Captions and the language rule, through both deliverables as the host loads them.
*/
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "plugin_harness.h"
#include "test_support.h"

namespace {

const wchar_t WriterEnglish[] = L"Export tasks to iCal format";
const wchar_t WriterRussian[] = L"Экспорт задач в формат iCal";
const wchar_t ReaderEnglish[] = L"Import tasks from iCal format";
const wchar_t ReaderRussian[] = L"Импорт задач из формата iCal";
const wchar_t ContactEnglish[] = L"Say hello to contact";
const wchar_t ContactRussian[] = L"Привет, контакт!";

struct LanguageRow {
    const char *name;
    const wchar_t *module;
    const wchar_t *languages[3]; /* given to SetLanguage in order; the first null ends them */
    bool callWithNull;           /* SetLanguage(nullptr) after the names */
    const wchar_t *mainCaption;
    const wchar_t *contactCaption;
};

void PrintTo(const LanguageRow &row, std::ostream *out) { *out << row.name; }

const LanguageRow LanguageRows[] = {
    {"WriterBeforeAnySetLanguage", L"ics_writer.zvdll", {}, false, WriterEnglish, ContactEnglish},
    {"ReaderBeforeAnySetLanguage", L"ics_reader.zvdll", {}, false, ReaderEnglish, ContactEnglish},
    {"WriterRussian", L"ics_writer.zvdll", {L"Russian"}, false, WriterRussian, ContactRussian},
    {"ReaderRussian", L"ics_reader.zvdll", {L"Russian"}, false, ReaderRussian, ContactRussian},
    {"LowerCaseIsEnglish", L"ics_reader.zvdll", {L"russian"}, false, ReaderEnglish, ContactEnglish},
    {"UpperCaseIsEnglish", L"ics_writer.zvdll", {L"RUSSIAN"}, false, WriterEnglish, ContactEnglish},
    {"TrailingBlankIsEnglish", L"ics_writer.zvdll", {L"Russian "}, false, WriterEnglish, ContactEnglish},
    {"RegionIsEnglish", L"ics_reader.zvdll", {L"Russian (Russia)"}, false, ReaderEnglish, ContactEnglish},
    {"EmptyIsEnglish", L"ics_writer.zvdll", {L""}, false, WriterEnglish, ContactEnglish},
    {"LastCallWins", L"ics_reader.zvdll", {L"Russian", L"English"}, false, ReaderEnglish, ContactEnglish},
    {"BackToRussian", L"ics_writer.zvdll", {L"German", L"Russian"}, false, WriterRussian, ContactRussian},
    {"NullMeansEnglish", L"ics_writer.zvdll", {L"Russian"}, true, WriterEnglish, ContactEnglish},
};

class Captions : public testing::TestWithParam<LanguageRow> {};

TEST_P(Captions, FollowTheLastLanguageGiven)
{
    const LanguageRow &row = GetParam();
    std::string error;
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(BesideTestProgram(row.module), &error);
    ASSERT_TRUE(plugin) << error;
    for (const wchar_t *language : row.languages) {
        if (language == nullptr)
            break;
        /* The module keeps its own copy: the caller's buffer is gone before the next call. */
        std::wstring transient(language);
        plugin->SetLanguage(transient.c_str());
        transient.assign(transient.size(), L'#');
    }
    if (row.callWithNull)
        plugin->SetLanguage(nullptr);
    EXPECT_STREQ(plugin->MainCommandName(), row.mainCaption);
    EXPECT_STREQ(plugin->ContactMenuCommandName(), row.contactCaption);
}

INSTANTIATE_TEST_SUITE_P(BothModules, Captions, testing::ValuesIn(LanguageRows),
                         [](const testing::TestParamInfo<LanguageRow> &info) { return info.param.name; });

TEST(Captions, AreConstantsOfTheModule)
{
    std::string error;
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(BesideTestProgram(L"ics_writer.zvdll"), &error);
    ASSERT_TRUE(plugin) << error;
    const wchar_t *first = plugin->MainCommandName();
    EXPECT_EQ(plugin->MainCommandName(), first);
    plugin->SetLanguage(L"Russian");
    const wchar_t *russian = plugin->MainCommandName();
    plugin->SetLanguage(L"English");
    EXPECT_EQ(plugin->MainCommandName(), first);
    plugin->SetLanguage(L"Russian");
    EXPECT_EQ(plugin->MainCommandName(), russian);
}

} // namespace
