/*
** plandra-host.exe: runs a plug-in's commands against the stand-in host and a task file,
** printing what a user would see (popup notices, message boxes) and, on request, the
** host calls and the time the main command took. Output is UTF-8.
*/
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <map>
#include <string>
#include <vector>

#include "plugin_harness.h"
#include "utf8_text.h"
#include "plugin_heap.h"
#include "plugin_profile.h"
#include "popup_text.h"
#include "standin_control.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  plandra-host captions <module>...\n"
    "  plandra-host run <module> --tasks FILE [--file PATH | --cancel] [--language NAME]\n"
    "                   [--save-tasks FILE] [--calls] [--time] [--no-record] [--heap]\n"
    "                   [--profile]\n"
    "  plandra-host changed <module> --tasks FILE --uid UID [--language NAME] [--calls]\n"
    "  plandra-host contacts <module> --tasks FILE --list \"c1+c2\" [--language NAME] [--calls]\n";

/* Bytes go out unchanged (stdout is binary), so the output is UTF-8 whatever the
   console's code page; "\r\n" in plug-in texts is shown as a line break. */
void Print(const std::string &text)
{
    fwrite(text.data(), 1, text.size(), stdout);
}

void PrintError(const std::string &text)
{
    fflush(stdout);
    std::string line = "plandra-host: " + text + "\n";
    fwrite(line.data(), 1, line.size(), stderr);
    fflush(stderr);
}

/* After a usage error the usage goes where the error went. */
void PrintUsageError(const std::string &text)
{
    PrintError(text);
    fwrite(kUsage, 1, sizeof kUsage - 1, stderr);
    fflush(stderr);
}

/* The text with every line after the first indented, and "\r\n" made "\n". */
std::string Indented(const std::wstring &text, const char *indent)
{
    std::string out = indent;
    for (char c : Utf8(text)) {
        if (c == '\r')
            continue;
        out += c;
        if (c == '\n')
            out += indent;
    }
    return out + "\n";
}

struct Options {
    std::wstring command, tasks, file, language, saveTasks, uid, list;
    std::vector<std::wstring> modules;
    bool cancel = false, calls = false, time = false, noRecord = false, heap = false, profile = false, hasLanguage = false,
         hasFile = false;
};

/* Plain argv parsing: options may come in any order after the subcommand. */
bool ParseOptions(int argc, wchar_t **argv, Options *o, std::string *error)
{
    if (argc < 2) {
        *error = "no command given";
        return false;
    }
    o->command = argv[1];
    const std::map<std::wstring, std::wstring *> valued = {{L"--tasks", &o->tasks},      {L"--file", &o->file},
                                                           {L"--language", &o->language}, {L"--save-tasks", &o->saveTasks},
                                                           {L"--uid", &o->uid},          {L"--list", &o->list}};
    for (int i = 2; i < argc; ++i) {
        std::wstring arg = argv[i];
        auto it = valued.find(arg);
        if (it != valued.end()) {
            if (i + 1 >= argc) {
                *error = Utf8(arg) + " needs a value";
                return false;
            }
            *it->second = argv[++i];
            o->hasLanguage |= arg == L"--language";
            o->hasFile |= arg == L"--file";
        } else if (arg == L"--cancel") {
            o->cancel = true;
        } else if (arg == L"--calls") {
            o->calls = true;
        } else if (arg == L"--time") {
            o->time = true;
        } else if (arg == L"--no-record") {
            o->noRecord = true; /* benchmarks: the stand-in only counts its calls */
        } else if (arg == L"--profile") {
            o->profile = true; /* where the time goes: file, time zone and conversion calls */
        } else if (arg == L"--heap") {
            o->heap = true; /* benchmarks: the plug-in's own heap, not the host model's */
        } else if (arg.size() > 2 && arg.compare(0, 2, L"--") == 0) {
            *error = "unknown option " + Utf8(arg);
            return false;
        } else {
            o->modules.push_back(arg);
        }
    }
    if (o->hasFile && o->cancel) {
        *error = "--file and --cancel exclude each other";
        return false;
    }
    return true;
}

int Captions(const Options &o)
{
    if (o.modules.empty()) {
        PrintError("captions needs at least one module");
        return 2;
    }
    int status = 0;
    for (const std::wstring &path : o.modules) {
        std::string error;
        std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(path, &error);
        if (!plugin) {
            PrintError(error);
            status = 1;
            continue;
        }
        Print(Utf8(path) + ":\n");
        Print("  main command:           " + Utf8(plugin->MainCommandName()) + "\n");
        Print("  contact menu:           " + Utf8(plugin->ContactMenuCommandName()) + "\n");
        plugin->SetLanguage(L"Russian");
        Print("  main command (Russian): " + Utf8(plugin->MainCommandName()) + "\n");
        Print("  contact menu (Russian): " + Utf8(plugin->ContactMenuCommandName()) + "\n");
    }
    return status;
}

void PrintWhatTheUserSaw(const Options &o)
{
    for (const SeenFileDialog &d : SeenFileDialogs())
        Print(std::string(d.save ? "save" : "open") + " dialog shown\n");
    for (int i = 0; i < StandIn_PopupCount(); ++i) {
        std::wstring xaml = Wide(StandIn_PopupXaml(i));
        Print("popup notice (" + std::to_string(StandIn_PopupMilliseconds(i)) + " ms):\n");
        Print(Indented(ReadablePopupText(xaml), "  "));
        if (o.calls)
            Print("  xaml: " + Utf8(xaml) + "\n");
    }
    for (const SeenMessageBox &box : SeenMessageBoxes()) {
        Print("message box \"" + Utf8(box.caption) + "\" (style " + std::to_string(box.style) + "):\n");
        Print(Indented(box.text, "  "));
    }
    if (o.calls) {
        Print("host calls:\n");
        for (int i = 0; i < StandIn_CallCount(); ++i)
            Print(std::string("  ") + StandIn_Call(i) + "\n");
    }
}

int RunCommand(const Options &o)
{
    if (o.modules.size() != 1) {
        PrintError(Utf8(o.command) + " needs exactly one module");
        return 2;
    }
    if (o.tasks.empty()) {
        PrintError(Utf8(o.command) + " needs --tasks FILE");
        return 2;
    }
    if (o.command == L"changed" && o.uid.empty()) {
        PrintError("changed needs --uid UID");
        return 2;
    }
    if (o.command == L"contacts" && o.list.empty()) {
        PrintError("contacts needs --list \"c1+c2\"");
        return 2;
    }
    if (!StandIn_LoadTaskFile(o.tasks.c_str())) {
        PrintError(StandIn_LastError());
        return 1;
    }
    std::string error;
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(o.modules[0], &error);
    if (!plugin) {
        PrintError(error);
        return 1;
    }
    StandIn_ClearCalls(); // only the command's own calls, not the module's loading
    if (o.profile && !ProfilePluginCalls(plugin->Module())) {
        PrintError("the module imports none of the profiled functions");
        return 1;
    }
    if (o.heap && !CountPluginHeap(plugin->Module())) {
        PrintError("the module imports no allocation function of msvcrt.dll to count");
        return 1;
    }
    if (o.noRecord)
        StandIn_SetRecording(0);
    if (o.hasLanguage)
        plugin->SetLanguage(o.language.c_str());

    double elapsedMs = 0;
    long hostCalls = 0;
    unsigned long long hostTicks = 0;
    if (o.command == L"run") {
        if (o.hasFile)
            QueueDialogAnswer(DialogAnswer{false, o.file, nullptr, false});
        LARGE_INTEGER frequency, start, stop;
        QueryPerformanceFrequency(&frequency);
        ResetPluginHeapPeak();
        ResetPluginProfile();
        long hostCallsBefore = StandIn_TotalCalls();
        unsigned long long hostTicksBefore = StandIn_HostTicks();
        QueryPerformanceCounter(&start);
        plugin->ExecuteMainCommand();
        QueryPerformanceCounter(&stop);
        hostCalls = StandIn_TotalCalls() - hostCallsBefore;
        hostTicks = StandIn_HostTicks() - hostTicksBefore;
        elapsedMs = 1000.0 * (double)(stop.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
    } else if (o.command == L"changed") {
        plugin->ChangedTask(o.uid.c_str());
    } else {
        plugin->ContactMenuCommandExecute(o.list.c_str());
    }

    PrintWhatTheUserSaw(o);
    if (StandIn_AppliedChanges() > 0) {
        const std::wstring &target = o.saveTasks.empty() ? o.tasks : o.saveTasks;
        if (!StandIn_SaveTaskFile(target.c_str())) {
            PrintError(StandIn_LastError());
            return 1;
        }
        Print("tasks saved to " + Utf8(target) + " (" + std::to_string(StandIn_AppliedChanges()) + " change(s))\n");
    }
    if (o.time && o.command == L"run") {
        char line[64];
        snprintf(line, sizeof line, "main command: %.3f ms\n", elapsedMs);
        Print(line);
    }
    if (o.profile && o.command == L"run") {
        char line[128];
        snprintf(line, sizeof line, "  %-32s %9ld calls %10.3f ms\n", "host (AddinZV_ functions)", hostCalls,
                 ProfileTicksToMilliseconds(hostTicks));
        Print("calls made by the plug-in during the main command:\n" + PluginProfileReport() + line);
    }
    if (o.heap && o.command == L"run") {
        char line[160];
        snprintf(line, sizeof line, "plug-in heap: peak %lld bytes, live at the end %lld bytes, %lld allocations\n",
                 PluginHeapPeak(), PluginHeapLive(), PluginHeapAllocations());
        Print(line);
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        PrintUsageError(error);
        return 2;
    }
    if (options.command == L"captions")
        return Captions(options);
    if (options.command == L"run" || options.command == L"changed" || options.command == L"contacts")
        return RunCommand(options);
    if (options.command == L"help" || options.command == L"--help") {
        Print(kUsage);
        return 0;
    }
    PrintUsageError("unknown command " + Utf8(options.command));
    return 2;
}
