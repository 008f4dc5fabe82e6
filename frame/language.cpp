/*
** PluginLanguage: the module's own copy of the host's interface-language name, empty
** until the first SetLanguage and released with the module.
*/
#include "language.h"

#include <string>

static std::wstring PluginLanguage;

void StoreLanguage(const wchar_t *language)
{
    PluginLanguage = language != nullptr ? language : L"";
}

bool IsLanguageRussian()
{
    return PluginLanguage == L"Russian";
}
