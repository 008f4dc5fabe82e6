/*
** ContactMenuCommandExecute, the contact-menu command of both plug-ins: greets the
** chosen contacts in a message box and lists their communications.
*/
#include <windows.h>

#include "plugin_exports.h"
#include "zv_plugins.h"

extern "C" void __cdecl ContactMenuCommandExecute(const wchar_t *)
{
    /* to be written with the notices */
}
