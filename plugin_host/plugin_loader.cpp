/*
** LoadedPlugin: loads a deliverable as the host does, resolves its six exports by name
** and redirects its dialog and message-box imports to the fake ones, with error texts
** that say which of those steps failed.
*/
#include "plugin_harness.h"

#include "fake_dialogs.h"
#include "utf8_text.h"

namespace {

/* The system's text for a Win32 error, without its trailing line break. */
std::string SystemMessage(DWORD code)
{
    wchar_t *buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.'))
        text.pop_back();
    // Some texts keep an insert we asked not to fill ("Bad EXE format for %1").
    size_t insert = text.find(L"%1");
    if (insert != std::wstring::npos)
        text.replace(insert, 2, L"the module");
    return Utf8(text) + " (error " + std::to_string(code) + ")";
}

template <class F>
void Resolve(HMODULE module, const char *name, F *slot, std::string *missing)
{
    *slot = reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
    if (!*slot)
        *missing += (missing->empty() ? "" : ", ") + std::string(name);
}

} // namespace

std::unique_ptr<LoadedPlugin> LoadedPlugin::Load(const std::wstring &modulePath, std::string *error)
{
    std::string dummy;
    if (!error)
        error = &dummy;
    // A full path, so that the module checked is the module loaded, not one found
    // elsewhere on the search path.
    wchar_t full[MAX_PATH * 4];
    DWORD n = GetFullPathNameW(modulePath.c_str(), sizeof full / sizeof full[0], full, nullptr);
    std::wstring path = n > 0 && n < sizeof full / sizeof full[0] ? std::wstring(full, n) : modulePath;
    std::string shown = "\"" + Utf8(modulePath) + "\"";

    DWORD attributes = GetFileAttributesW(path.c_str());
    if (modulePath.empty() || attributes == INVALID_FILE_ATTRIBUTES) {
        *error = "plug-in module " + shown + " not found";
        return nullptr;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        *error = "plug-in module " + shown + " is a folder, not a DLL";
        return nullptr;
    }
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryW(path.c_str());
    DWORD loadError = GetLastError();
    SetErrorMode(oldMode);
    if (!module) {
        *error = "plug-in module " + shown + " cannot be loaded as a DLL: " + SystemMessage(loadError);
        return nullptr;
    }

    std::unique_ptr<LoadedPlugin> plugin(new LoadedPlugin());
    plugin->module_ = module; // from here on the destructor frees it
    std::string missing;
    Resolve(module, "GetMainCommandName", &plugin->getMainCommandName_, &missing);
    Resolve(module, "ExecuteMainCommand", &plugin->executeMainCommand_, &missing);
    Resolve(module, "SetLanguage", &plugin->setLanguage_, &missing);
    Resolve(module, "GetContactMenuCommandName", &plugin->getContactMenuCommandName_, &missing);
    Resolve(module, "ChangedTask", &plugin->changedTask_, &missing);
    Resolve(module, "ContactMenuCommandExecute", &plugin->contactMenuCommandExecute_, &missing);
    if (!missing.empty()) {
        *error = "plug-in module " + shown + " lacks the export(s) " + missing;
        return nullptr;
    }

    PatchModuleImport(module, "comdlg32.dll", "GetSaveFileNameW", reinterpret_cast<void *>(&FakeGetSaveFileNameW));
    PatchModuleImport(module, "comdlg32.dll", "GetOpenFileNameW", reinterpret_cast<void *>(&FakeGetOpenFileNameW));
    PatchModuleImport(module, "user32.dll", "MessageBoxW", reinterpret_cast<void *>(&FakeMessageBoxW));
    error->clear();
    return plugin;
}

LoadedPlugin::~LoadedPlugin()
{
    if (module_)
        FreeLibrary(module_);
}

const wchar_t *LoadedPlugin::MainCommandName()
{
    return getMainCommandName_();
}

const wchar_t *LoadedPlugin::ContactMenuCommandName()
{
    return getContactMenuCommandName_();
}

void LoadedPlugin::SetLanguage(const wchar_t *language)
{
    setLanguage_(language);
}

void LoadedPlugin::ExecuteMainCommand()
{
    executeMainCommand_();
}

void LoadedPlugin::ChangedTask(const wchar_t *taskUid)
{
    changedTask_(taskUid);
}

void LoadedPlugin::ContactMenuCommandExecute(const wchar_t *contactUids)
{
    contactMenuCommandExecute_(contactUids);
}
