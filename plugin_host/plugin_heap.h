/*
** Measures a loaded plug-in's own heap: its imports of the C runtime's allocation
** functions (msvcrt.dll malloc, calloc, realloc, free, _strdup) are pointed at counting
** wrappers, so the live bytes and their peak are the plug-in's, not the host model's.
*/
#ifndef PLUGIN_HEAP_H
#define PLUGIN_HEAP_H

#include <windows.h>

#include <cstddef>

/* Redirects the module's allocation imports; false when it imports none of them. */
bool CountPluginHeap(HMODULE module);

/* Starts a measurement: the peak becomes the bytes live now. */
void ResetPluginHeapPeak();

/* Bytes the plug-in holds now and held at most since the reset (counted from the reset,
   so blocks allocated before it and freed after it can make live fall below zero). */
long long PluginHeapLive();
long long PluginHeapPeak();
/* Allocations (malloc, calloc, realloc, _strdup) since the reset. */
long long PluginHeapAllocations();

#endif
