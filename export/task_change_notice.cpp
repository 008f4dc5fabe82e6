/*
** ChangedTask of ics_writer: a popup notice with the title of the task that changed.
*/
#include "plugin_exports.h"

extern "C" void __cdecl ChangedTask(const wchar_t *)
{
    /* to be written with the notices */
}
