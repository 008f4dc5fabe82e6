/*
** Loads a plug-in the way the host does (LoadLibrary, the six exports by name) and
** answers its file dialogs and message boxes itself: after loading, the module's imports
** of GetSaveFileNameW, GetOpenFileNameW and MessageBoxW are pointed at functions of this
** harness, so the shipped module runs unchanged and no window ever opens.
** Used by the command-line host, the tests and the benchmarks.
*/
#ifndef PLUGIN_HARNESS_H
#define PLUGIN_HARNESS_H

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

/* How the next file dialog is answered. */
struct DialogAnswer {
    bool cancel = false;
    std::wstring path;                  /* copied into the dialog's buffer when not cancelled */
    std::function<void()> beforeReturn; /* runs just before the dialog returns (e.g. remove the file) */
    /* true: path is what the user typed into the name box, so the dialog adds "." and
       lpstrDefExt when its file name has no extension, as the real dialog does. */
    bool typed = false;
};

/* What a plug-in passed to GetSaveFileNameW / GetOpenFileNameW. */
struct SeenFileDialog {
    bool save = false; /* true: GetSaveFileNameW */
    DWORD structSize = 0;
    HWND owner = nullptr;
    std::wstring filter; /* the whole double-NUL-terminated list, NULs included */
    DWORD filterIndex = 0;
    bool fileBufferAllZero = false; /* every unit of lpstrFile[0..nMaxFile) was 0 on entry */
    DWORD maxFile = 0;
    bool fileTitleNull = false, initialDirNull = false, titleNull = false;
    DWORD flags = 0;
    std::wstring defaultExtension;
    bool defaultExtensionNull = true;
    bool otherFieldsZero = false; /* every field not listed above was 0 */
};

/* What a plug-in passed to MessageBoxW. */
struct SeenMessageBox {
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT style = 0;
};

class LoadedPlugin {
public:
    /* Loads the module and resolves the six exports; null with *error set when the file is
       missing, is no DLL, or lacks any of the six. */
    static std::unique_ptr<LoadedPlugin> Load(const std::wstring &modulePath, std::string *error);
    ~LoadedPlugin(); /* FreeLibrary */

    const wchar_t *MainCommandName();
    const wchar_t *ContactMenuCommandName();
    void SetLanguage(const wchar_t *language);
    void ExecuteMainCommand();
    void ChangedTask(const wchar_t *taskUid);
    void ContactMenuCommandExecute(const wchar_t *contactUids);

    HMODULE Module() const { return module_; }

private:
    LoadedPlugin() = default;
    HMODULE module_ = nullptr;
    const wchar_t *(__cdecl *getMainCommandName_)() = nullptr;
    void(__cdecl *executeMainCommand_)() = nullptr;
    void(__cdecl *setLanguage_)(const wchar_t *) = nullptr;
    const wchar_t *(__cdecl *getContactMenuCommandName_)() = nullptr;
    void(__cdecl *changedTask_)(const wchar_t *) = nullptr;
    void(__cdecl *contactMenuCommandExecute_)(const wchar_t *) = nullptr;
};

/* Dialog answers are taken in order; with none queued a dialog is cancelled. */
void QueueDialogAnswer(DialogAnswer answer);
const std::vector<SeenFileDialog> &SeenFileDialogs();
const std::vector<SeenMessageBox> &SeenMessageBoxes();
void ClearHarnessRecord(); /* forgets queued answers and everything seen */

/* Points every import of dllName!functionName in module at replacement (the names are
   compared without regard to case for the DLL, exactly for the function). Returns the
   number of import slots changed; 0 when the module does not import it. */
int PatchModuleImport(HMODULE module, const char *dllName, const char *functionName, void *replacement);

#endif /* PLUGIN_HARNESS_H */
