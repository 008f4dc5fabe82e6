/*
** The counting wrappers behind CountPluginHeap. A block's size is asked of the runtime
** (_msize) when it is freed or reallocated, so no table of blocks is kept.
*/
#include "plugin_heap.h"

#include <cstring>

#include "plugin_harness.h"

namespace {

typedef void *(__cdecl *MallocFunction)(size_t);
typedef void *(__cdecl *CallocFunction)(size_t, size_t);
typedef void *(__cdecl *ReallocFunction)(void *, size_t);
typedef void(__cdecl *FreeFunction)(void *);
typedef size_t(__cdecl *SizeFunction)(void *);
typedef char *(__cdecl *StrdupFunction)(const char *);

MallocFunction RealMalloc;
CallocFunction RealCalloc;
ReallocFunction RealRealloc;
FreeFunction RealFree;
SizeFunction RealSize;
StrdupFunction RealStrdup;

long long Live, Peak, Allocations;

/* Through void *: FARPROC's own type says nothing of the function's. */
template <class Function>
Function RuntimeFunction(HMODULE runtime, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(runtime, name)));
}

void Grew(long long bytes)
{
    Live += bytes;
    if (Live > Peak)
        Peak = Live;
}

void *__cdecl CountingMalloc(size_t size)
{
    void *block = RealMalloc(size);
    if (block != nullptr) {
        Allocations++;
        Grew(static_cast<long long>(RealSize(block)));
    }
    return block;
}

void *__cdecl CountingCalloc(size_t count, size_t size)
{
    void *block = RealCalloc(count, size);
    if (block != nullptr) {
        Allocations++;
        Grew(static_cast<long long>(RealSize(block)));
    }
    return block;
}

void *__cdecl CountingRealloc(void *old, size_t size)
{
    long long before = old != nullptr ? static_cast<long long>(RealSize(old)) : 0;
    void *block = RealRealloc(old, size);
    if (block != nullptr) {
        Allocations++;
        Grew(static_cast<long long>(RealSize(block)) - before);
    } else if (size == 0) {
        Live -= before; /* realloc(p, 0) freed p */
    }
    return block;
}

void __cdecl CountingFree(void *block)
{
    if (block != nullptr)
        Live -= static_cast<long long>(RealSize(block));
    RealFree(block);
}

char *__cdecl CountingStrdup(const char *text)
{
    char *copy = RealStrdup(text);
    if (copy != nullptr) {
        Allocations++;
        Grew(static_cast<long long>(RealSize(copy)));
    }
    return copy;
}

} // namespace

bool CountPluginHeap(HMODULE module)
{
    HMODULE runtime = GetModuleHandleA("msvcrt.dll");
    if (runtime == nullptr)
        return false;
    RealMalloc = RuntimeFunction<MallocFunction>(runtime, "malloc");
    RealCalloc = RuntimeFunction<CallocFunction>(runtime, "calloc");
    RealRealloc = RuntimeFunction<ReallocFunction>(runtime, "realloc");
    RealFree = RuntimeFunction<FreeFunction>(runtime, "free");
    RealSize = RuntimeFunction<SizeFunction>(runtime, "_msize");
    RealStrdup = RuntimeFunction<StrdupFunction>(runtime, "_strdup");
    if (!RealMalloc || !RealCalloc || !RealRealloc || !RealFree || !RealSize || !RealStrdup)
        return false;
    int patched = 0;
    patched += PatchModuleImport(module, "msvcrt.dll", "malloc", reinterpret_cast<void *>(CountingMalloc));
    patched += PatchModuleImport(module, "msvcrt.dll", "calloc", reinterpret_cast<void *>(CountingCalloc));
    patched += PatchModuleImport(module, "msvcrt.dll", "realloc", reinterpret_cast<void *>(CountingRealloc));
    patched += PatchModuleImport(module, "msvcrt.dll", "free", reinterpret_cast<void *>(CountingFree));
    patched += PatchModuleImport(module, "msvcrt.dll", "_strdup", reinterpret_cast<void *>(CountingStrdup));
    ResetPluginHeapPeak();
    return patched > 0;
}

void ResetPluginHeapPeak()
{
    Live = 0;
    Peak = 0;
    Allocations = 0;
}

long long PluginHeapLive()
{
    return Live;
}

long long PluginHeapPeak()
{
    return Peak;
}

long long PluginHeapAllocations()
{
    return Allocations;
}
