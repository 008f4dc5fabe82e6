/*
** Where a plug-in's time goes: its imports of the kernel32 functions that reach the
** file system or the time zone, and of the text conversions, are pointed at wrappers
** that count the calls and add up the time spent inside them.
*/
#ifndef PLUGIN_PROFILE_H
#define PLUGIN_PROFILE_H

#include <windows.h>

#include <string>

/* Redirects the module's imports; false when it imports none of the profiled functions. */
bool ProfilePluginCalls(HMODULE module);

/* Starts a measurement afresh. */
void ResetPluginProfile();

/* One line per profiled function that was called: name, calls, total milliseconds. */
std::string PluginProfileReport();

/* Time-stamp counter ticks (as the wrappers and the stand-in count them) in
   milliseconds, by the rate measured since ResetPluginProfile. */
double ProfileTicksToMilliseconds(unsigned long long ticks);

#endif
