/*
** The host's popup notice: a plain-text message made safe for XML inside a fixed XAML
** layout, handed to AddinZV_ShowPopupCustom. Carried by ics_writer only.
*/
#ifndef FRAME_POPUP_NOTICE_H
#define FRAME_POPUP_NOTICE_H

#include <string>

/* Replaces, left to right and without overlap, every occurrence of from by to; text that a
   replacement inserted is not searched again. An empty from changes nothing. */
void ReplaceAllWide(std::wstring &text, const wchar_t *from, const wchar_t *to);

/* The XAML text for a message (null is taken as empty): the message escaped for XML inside
   the notice's fixed layout, on one line. A character that XML cannot carry at all
   becomes U+FFFD. Throws std::bad_alloc when memory runs out. */
std::wstring BuildNoticeXaml(const wchar_t *message);

/* Shows the message; returns when the host has taken it. Nothing leaves it: when memory
   runs out or the host raises an exception, the notice is not shown and the caller goes
   on. */
void ShowPopupNotice(const wchar_t *message);

#endif /* FRAME_POPUP_NOTICE_H */
