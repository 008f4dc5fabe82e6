/*
** Windows zone names: the platform's registry of zones (HKLM\SOFTWARE\Microsoft\
** Windows NT\CurrentVersion\Time Zones), with the rules of the time's year where the
** zone keeps a "Dynamic DST" history, converted by the platform itself.
*/
#include <windows.h>

#include <cstdio>

#include "zone_parts.h"

namespace {

const wchar_t ZonesKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

/* The registry's binary rule record (REG_TZI_FORMAT), 44 bytes. */
struct RegistryZoneRules {
    LONG Bias;
    LONG StandardBias;
    LONG DaylightBias;
    SYSTEMTIME StandardDate;
    SYSTEMTIME DaylightDate;
};

struct KeyCloser {
    HKEY key;
    ~KeyCloser()
    {
        if (key != nullptr)
            RegCloseKey(key);
    }
};

bool ReadRules(HKEY key, const wchar_t *valueName, RegistryZoneRules *rules)
{
    DWORD type = 0, size = sizeof(*rules);
    return RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE *>(rules), &size) == ERROR_SUCCESS &&
           type == REG_BINARY && size == sizeof(*rules);
}

bool ReadNumber(HKEY key, const wchar_t *valueName, DWORD *number)
{
    DWORD type = 0, size = sizeof(*number);
    return RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE *>(number), &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
}

/* The rules of the given year from "Dynamic DST" (years before its first entry take
   the first, after its last the last); false when the zone keeps no history. */
bool ReadRulesOfYear(HKEY zoneKey, WORD year, RegistryZoneRules *rules)
{
    KeyCloser history{nullptr};
    if (RegOpenKeyExW(zoneKey, L"Dynamic DST", 0, KEY_READ, &history.key) != ERROR_SUCCESS)
        return false;
    DWORD first = 0, last = 0;
    if (!ReadNumber(history.key, L"FirstEntry", &first) || !ReadNumber(history.key, L"LastEntry", &last) ||
        first > last)
        return false;
    DWORD chosen = year < first ? first : year > last ? last : year;
    wchar_t valueName[16];
    swprintf(valueName, 16, L"%lu", static_cast<unsigned long>(chosen));
    return ReadRules(history.key, valueName, rules);
}

} // namespace

bool WindowsZoneToUtc(const std::wstring &name, const SYSTEMTIME &wallClock, SYSTEMTIME *utc, bool *converted)
{
    *converted = false;
    /* A key name holds no backslash (it would name a deeper key) and at most 255 units. */
    if (name.empty() || name.size() > 255 || name.find(L'\\') != std::wstring::npos)
        return false;
    KeyCloser zones{nullptr}, zone{nullptr};
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZonesKey, 0, KEY_READ, &zones.key) != ERROR_SUCCESS ||
        RegOpenKeyExW(zones.key, name.c_str(), 0, KEY_READ, &zone.key) != ERROR_SUCCESS)
        return false;
    RegistryZoneRules rules;
    if (!ReadRulesOfYear(zone.key, wallClock.wYear, &rules) && !ReadRules(zone.key, L"TZI", &rules))
        return false;
    TIME_ZONE_INFORMATION information = {};
    information.Bias = rules.Bias;
    information.StandardBias = rules.StandardBias;
    information.DaylightBias = rules.DaylightBias;
    information.StandardDate = rules.StandardDate;
    information.DaylightDate = rules.DaylightDate;
    SYSTEMTIME local = wallClock;
    *converted = TzSpecificLocalTimeToSystemTime(&information, &local, utc) != FALSE;
    return true;
}
