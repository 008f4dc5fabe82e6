/*
** Rewrites a loaded module's import address table, so that calls it makes to a system
** function land in a function of ours instead. Only the module's own imports change;
** every other module still reaches the real function.
*/
#include "plugin_harness.h"

#include <cstring>

namespace {

template <class T>
T *AtRva(HMODULE module, DWORD rva)
{
    return reinterpret_cast<T *>(reinterpret_cast<BYTE *>(module) + rva);
}

bool PatchSlot(IMAGE_THUNK_DATA *slot, void *replacement)
{
    DWORD oldProtect = 0;
    if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &oldProtect))
        return false;
    slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
    VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, oldProtect, &oldProtect);
    return true;
}

} // namespace

int PatchModuleImport(HMODULE module, const char *dllName, const char *functionName, void *replacement)
{
    if (!module || !dllName || !functionName)
        return 0;
    auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(module);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return 0;
    auto *nt = AtRva<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0 || dir.Size == 0)
        return 0;

    // Without a name table (bound imports, some linkers) the slot is recognised by the
    // address the loader put there.
    HMODULE target = GetModuleHandleA(dllName);
    FARPROC realAddress = target ? GetProcAddress(target, functionName) : nullptr;

    int patched = 0;
    for (auto *desc = AtRva<IMAGE_IMPORT_DESCRIPTOR>(module, dir.VirtualAddress); desc->Name != 0; ++desc) {
        if (_stricmp(AtRva<char>(module, desc->Name), dllName) != 0)
            continue;
        auto *slot = AtRva<IMAGE_THUNK_DATA>(module, desc->FirstThunk);
        IMAGE_THUNK_DATA *name = desc->OriginalFirstThunk ? AtRva<IMAGE_THUNK_DATA>(module, desc->OriginalFirstThunk)
                                                          : nullptr;
        for (; slot->u1.Function != 0; ++slot) {
            bool match;
            if (name) {
                match = !IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) &&
                        strcmp(reinterpret_cast<char *>(AtRva<IMAGE_IMPORT_BY_NAME>(module, name->u1.AddressOfData)->Name),
                               functionName) == 0;
                ++name;
            } else {
                match = realAddress && slot->u1.Function == reinterpret_cast<ULONG_PTR>(realAddress);
            }
            if (match && PatchSlot(slot, replacement))
                ++patched;
        }
    }
    return patched;
}
