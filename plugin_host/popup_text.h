/*
** Turns the XAML of a popup notice back into the text a user would read: the content of
** its TextBlock with the XML entities decoded and &#x0a; as a line break.
*/
#ifndef POPUP_TEXT_H
#define POPUP_TEXT_H

#include <string>

/* The decoded text of the first TextBlock element; the whole XAML, decoded, when there
   is none. Trailing blanks before the closing tag are the template's and are dropped. */
std::wstring ReadablePopupText(const std::wstring &xaml);

#endif
