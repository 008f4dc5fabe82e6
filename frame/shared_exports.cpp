/*
** The exports that both deliverables share: the module entry, SetLanguage and the
** contact-menu caption. Nothing here may let an exception reach the host.
*/
#include <windows.h>

#include "language.h"
#include "plugin_exports.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

/* Captions are constants of the module: the host may keep the pointer as long as the
   module is loaded. */
static const wchar_t ContactCaptionEnglish[] = L"Say hello to contact";
static const wchar_t ContactCaptionRussian[] = L"Привет, контакт!";

extern "C" void __cdecl SetLanguage(const wchar_t *language)
{
    try {
        StoreLanguage(language);
    } catch (...) {
        /* Out of memory for the copy: keep the previous language. */
    }
}

extern "C" const wchar_t *__cdecl GetContactMenuCommandName(void)
{
    return IsLanguageRussian() ? ContactCaptionRussian : ContactCaptionEnglish;
}
