/*
** IsUidUnusable, MakeReplacementUid and the announcement of a repair (log entry and
** popup notice).
*/
#include "uid_repair.h"

#include <windows.h>
#include <objbase.h>
#include <ntsecapi.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "diagnostic_log.h"
#include "popup_notice.h"
#include "text_convert.h"

namespace {

/* In the order the bytes are tested; the order does not change the answer. */
const char UnusableUidBytes[] = "':.\"><{}[]/\\+=()";

/* The repair entry's fixed words are Windows-1251 bytes whatever the system's code
   page: "UID Задачи \"" and "\" создан заново.\n". */
const char RepairEntryHead[] = "UID \xC7\xE0\xE4\xE0\xF7\xE8 \"";
const char RepairEntryTail[] = "\" \xF1\xEE\xE7\xE4\xE0\xED \xE7\xE0\xED\xEE\xE2\xEE.\n";

const wchar_t NoticeHead[] = L"Задача ";
const wchar_t NoticeTail[] = L" имела некорректный UID. Исправлено.";

const size_t ReplacementLength = 36;

/* A random GUID with the version-4 and variant bits set, for when CoCreateGuid fails.
   RtlGenRandom (advapi32!SystemFunction036) exists on every Windows since XP and in Wine. */
bool MakeRandomGuid(GUID *guid)
{
    if (!RtlGenRandom(guid, sizeof *guid))
        return false;
    guid->Data3 = static_cast<unsigned short>((guid->Data3 & 0x0FFF) | 0x4000);
    guid->Data4[0] = static_cast<unsigned char>((guid->Data4[0] & 0x3F) | 0x80);
    return true;
}

/* The GUID as StringFromCLSID writes it, without its braces. */
void FormatGuidWithoutBraces(const GUID &guid, char *text)
{
    snprintf(text, ReplacementLength + 1, "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}

} // namespace

bool IsUidUnusable(const char *uid)
{
    for (const char *unusable = UnusableUidBytes; *unusable != 0; unusable++) {
        if (strchr(uid, *unusable) != nullptr)
            return true;
    }
    return false;
}

char *MakeReplacementUid()
{
    GUID guid;
    if (FAILED(CoCreateGuid(&guid)) && !MakeRandomGuid(&guid)) {
        /* Neither source answered: a value that still differs per call and per process,
           so an unusable UID is never written. */
        static LONG calls = 0;
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        guid.Data1 = GetCurrentProcessId() ^ static_cast<unsigned long>(InterlockedIncrement(&calls));
        guid.Data2 = static_cast<unsigned short>(counter.LowPart);
        guid.Data3 = static_cast<unsigned short>(0x4000 | ((counter.LowPart >> 16) & 0x0FFF));
        memcpy(guid.Data4, &counter, sizeof guid.Data4);
        guid.Data4[0] = static_cast<unsigned char>((guid.Data4[0] & 0x3F) | 0x80);
    }

    char *replacement = static_cast<char *>(calloc(ReplacementLength + 1, 1));
    if (replacement == nullptr)
        throw std::bad_alloc();
    LPOLESTR braced = nullptr;
    if (SUCCEEDED(StringFromCLSID(guid, &braced)) && braced != nullptr && wcslen(braced) == ReplacementLength + 2) {
        AnsiText converted(WideToAnsiNoApostrophe(braced));
        CoTaskMemFree(braced);
        /* The braces go; the 36 characters between them stay. */
        if (strlen(converted.get()) == ReplacementLength + 2) {
            memcpy(replacement, converted.get() + 1, ReplacementLength);
            return replacement;
        }
    } else if (braced != nullptr) {
        CoTaskMemFree(braced);
    }
    FormatGuidWithoutBraces(guid, replacement);
    return replacement;
}

void AnnounceUidRepair(TaskUid task, const char *logTitle)
{
    {
        /* Concatenated, not formatted: a "%" in the title is text. */
        std::string entry(RepairEntryHead);
        entry += logTitle;
        entry += RepairEntryTail;
        AppendLog(entry.c_str());
    }

    /* The host is asked while this frame owns nothing: a structured exception from it
       abandons the frame without running destructors. */
    const wchar_t *title = AddinZV_Task_GetTitle(task);
    std::wstring notice(NoticeHead);
    if (title != nullptr)
        notice += title;
    notice += NoticeTail;
    ShowPopupNotice(notice.c_str());
}
