/*
** ContactMenuCommandExecute, the contact-menu command of both plug-ins: greets the
** chosen contacts in a message box and lists their communications.
*/
#include <windows.h>

#include <string>

#include "command_guard.h"
#include "plugin_exports.h"
#include "zv_plugins.h"

/* State of the running command. The texts are module-wide so that the export can release
   them even when a structured exception raised by the host abandons the command's frames
   (their destructors would not run). */
static const wchar_t *ContactList;
static std::wstring ContactEntry;
static std::wstring GreetingText;

static void AppendHostText(std::wstring &text, const wchar_t *hostText)
{
    if (hostText)
        text += hostText;
}

static void AppendGreeting(const wchar_t *contact)
{
    GreetingText += L"Hello, ";
    AppendHostText(GreetingText, AddinZV_Contact_GetTitle(contact));
    GreetingText += L"!";
    int count = AddinZV_Contact_GetCommunicationsCount(contact);
    for (int i = 0; i < count; ++i) {
        const wchar_t *kind = nullptr, *label = nullptr, *value = nullptr;
        AddinZV_Contact_GetCommunication(contact, i, &kind, &label, &value);
        GreetingText += L"\r\n";
        AppendHostText(GreetingText, kind);
        GreetingText += L" ";
        AppendHostText(GreetingText, label);
        GreetingText += L" ";
        AppendHostText(GreetingText, value);
    }
    GreetingText += L"\r\n\r\n";
}

/* The list is ContactUids separated by "+". Each entry is copied whole, whatever its
   length, to hand it to the host NUL-terminated; an empty entry (a "+" at either end, two
   in a row) names no contact and is passed over. */
static void GreetContacts()
{
    const wchar_t *entry = ContactList;
    for (;;) {
        const wchar_t *end = entry;
        while (*end != L'\0' && *end != L'+')
            ++end;
        if (end != entry) {
            ContactEntry.assign(entry, end - entry);
            if (AddinZV_Contact_IsPresent(ContactEntry.c_str()) == 1)
                AppendGreeting(ContactEntry.c_str());
        }
        if (*end == L'\0')
            break;
        entry = end + 1;
    }
    const wchar_t *text = GreetingText.empty() ? L"Please, select contact" : GreetingText.c_str();
    MessageBoxW(nullptr, text, L"Hello", 0);
}

extern "C" void __cdecl ContactMenuCommandExecute(const wchar_t *contactUids)
{
    ContactList = contactUids ? contactUids : L"";
    /* A host exception or exhausted memory ends the command without a message box. */
    RunGuarded(GreetContacts);
    ContactList = nullptr;
    std::wstring().swap(ContactEntry);
    std::wstring().swap(GreetingText);
}
