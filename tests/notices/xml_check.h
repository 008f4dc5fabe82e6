/*
** A real XML parser for the tests: MSXML's DOM document (Wine's is built on libxml2),
** loaded from the XAML text of a notice.
*/
#ifndef XML_CHECK_H
#define XML_CHECK_H

#include <string>

/* What the parser made of a notice's XAML. */
struct ParsedNotice {
    bool wellFormed = false;
    std::string error;              /* the parser's reason when not well-formed */
    std::wstring rootNamespace;     /* namespace URI of the root element */
    std::wstring rootName;          /* its qualified name */
    int textBlockCount = 0;         /* TextBlock elements in the document */
    std::wstring textBlockText;     /* the character data of the first one, as parsed */
};

/* Parses xaml with whitespace preserved. Initialises COM on the calling thread. */
ParsedNotice ParseNoticeXaml(const std::wstring &xaml);

#endif
