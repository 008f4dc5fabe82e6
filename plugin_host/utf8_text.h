/*
** UTF-8 <-> UTF-16 for the harness, the command-line host and the tests: task files,
** call records and printed output are UTF-8, the plug-ins and Windows speak UTF-16.
*/
#ifndef PLUGIN_HOST_UTF8_TEXT_H
#define PLUGIN_HOST_UTF8_TEXT_H

#include <string>

std::string Utf8(const std::wstring &text);
std::wstring Wide(const std::string &utf8);

#endif /* PLUGIN_HOST_UTF8_TEXT_H */
