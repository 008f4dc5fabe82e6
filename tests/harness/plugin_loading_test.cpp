/*
** Loading plug-ins through the harness: the error text for each way a module can be
** unusable, and a good module's exports and redirected imports.
*/
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "plugin_harness.h"
#include "test_support.h"

namespace {

struct LoadFailureRow {
    const char *name;
    std::function<std::wstring(const ScratchFolder &)> module; /* makes the module to load */
    const char *error;                                         /* expected part of the error */
};

void PrintTo(const LoadFailureRow &row, std::ostream *os)
{
    *os << row.name;
}

const LoadFailureRow kLoadFailures[] = {
    {"missing_file", [](const ScratchFolder &f) { return f.File(L"absent.zvdll"); }, "absent.zvdll\" not found"},
    {"empty_path", [](const ScratchFolder &) { return std::wstring(); }, "not found"},
    {"folder", [](const ScratchFolder &f) { return f.Path(); }, "is a folder, not a DLL"},
    {"text_file",
     [](const ScratchFolder &f) {
         WriteFileBytes(f.File(L"notes.zvdll"), "not a program\r\n");
         return f.File(L"notes.zvdll");
     },
     "notes.zvdll\" cannot be loaded as a DLL: "},
    {"dll_without_plugin_exports", [](const ScratchFolder &) { return BesideTestProgram(L"zv_plugins.dll"); },
     "lacks the export(s) GetMainCommandName, ExecuteMainCommand, SetLanguage, GetContactMenuCommandName, "
     "ChangedTask, ContactMenuCommandExecute"},
    {"plugin_missing_two_exports", [](const ScratchFolder &) { return BesideTestProgram(L"partial_plugin.zvdll"); },
     "partial_plugin.zvdll\" lacks the export(s) ExecuteMainCommand, ContactMenuCommandExecute"},
};

class PluginLoadFailure : public testing::TestWithParam<LoadFailureRow> {};

TEST_P(PluginLoadFailure, SaysWhatIsWrong)
{
    ScratchFolder folder;
    std::string error = "poison";
    EXPECT_EQ(LoadedPlugin::Load(GetParam().module(folder), &error), nullptr);
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Rows, PluginLoadFailure, testing::ValuesIn(kLoadFailures),
                         [](const testing::TestParamInfo<LoadFailureRow> &info) { return info.param.name; });

TEST(PluginLoad, GoodModuleGivesItsCaptionsAndHasItsDialogsRedirected)
{
    std::string error = "poison";
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(BesideTestProgram(L"fake_plugin.zvdll"), &error);
    ASSERT_NE(plugin, nullptr) << error;
    EXPECT_EQ(error, "");
    EXPECT_STREQ(plugin->MainCommandName(), L"Fake command");
    EXPECT_STREQ(plugin->ContactMenuCommandName(), L"Fake contact command");
    plugin->SetLanguage(L"Russian");
    EXPECT_STREQ(plugin->MainCommandName(), L"\u041f\u043e\u0434\u0434\u0435\u043b\u044c\u043d\u0430\u044f "
                                            L"\u043a\u043e\u043c\u0430\u043d\u0434\u0430");

    // The module imports each of these once; the slot now holds the harness's function.
    HMODULE comdlg = GetModuleHandleW(L"comdlg32.dll");
    ASSERT_NE(comdlg, nullptr);
    void *real = reinterpret_cast<void *>(GetProcAddress(comdlg, "GetSaveFileNameW"));
    EXPECT_EQ(PatchModuleImport(plugin->Module(), "COMDLG32.DLL", "GetSaveFileNameW", real), 1);
    EXPECT_EQ(PatchModuleImport(plugin->Module(), "user32.dll", "MessageBoxA", real), 0);
    EXPECT_EQ(PatchModuleImport(plugin->Module(), "kernel32.dll", "GetSaveFileNameW", real), 0);
}

} // namespace
