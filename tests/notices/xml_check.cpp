/*
** ParseNoticeXaml: MSXML 6 through COM, found by its ProgID, so no class identifier is
** needed from the import libraries.
*/
#include "xml_check.h"

#include <windows.h>
#include <msxml2.h>

#include <memory>

#include "test_support.h"

namespace {

struct ComReleaser {
    void operator()(IUnknown *object) const { object->Release(); }
};
template <typename T> using ComPtr = std::unique_ptr<T, ComReleaser>;

struct BstrText {
    BSTR text = nullptr;
    ~BstrText() { SysFreeString(text); }
    std::wstring Get() const { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }
};

/* The character data directly inside element, text and CDATA children joined. */
std::wstring CharacterData(IXMLDOMNode *element)
{
    std::wstring text;
    IXMLDOMNodeList *rawChildren = nullptr;
    if (FAILED(element->get_childNodes(&rawChildren)) || !rawChildren)
        return text;
    ComPtr<IXMLDOMNodeList> children(rawChildren);
    long count = 0;
    children->get_length(&count);
    for (long i = 0; i < count; ++i) {
        IXMLDOMNode *rawChild = nullptr;
        if (FAILED(children->get_item(i, &rawChild)) || !rawChild)
            continue;
        ComPtr<IXMLDOMNode> child(rawChild);
        DOMNodeType type;
        child->get_nodeType(&type);
        if (type != NODE_TEXT && type != NODE_CDATA_SECTION)
            continue;
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(child->get_nodeValue(&value)) && value.vt == VT_BSTR && value.bstrVal)
            text.append(value.bstrVal, SysStringLen(value.bstrVal));
        VariantClear(&value);
    }
    return text;
}

} // namespace

ParsedNotice ParseNoticeXaml(const std::wstring &xaml)
{
    ParsedNotice parsed;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID documentClass;
    if (FAILED(CLSIDFromProgID(L"Msxml2.DOMDocument.6.0", &documentClass))) {
        parsed.error = "MSXML 6 is not registered";
        return parsed;
    }
    IXMLDOMDocument *rawDocument = nullptr;
    if (FAILED(CoCreateInstance(documentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                reinterpret_cast<void **>(&rawDocument)))) {
        parsed.error = "no DOMDocument";
        return parsed;
    }
    ComPtr<IXMLDOMDocument> document(rawDocument);
    document->put_async(VARIANT_FALSE);
    document->put_preserveWhiteSpace(VARIANT_TRUE);

    BSTR source = SysAllocStringLen(xaml.data(), (UINT)xaml.size());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    HRESULT result = document->loadXML(source, &loaded);
    SysFreeString(source);
    if (FAILED(result) || loaded != VARIANT_TRUE) {
        IXMLDOMParseError *rawError = nullptr;
        BstrText reason;
        if (SUCCEEDED(document->get_parseError(&rawError)) && rawError) {
            ComPtr<IXMLDOMParseError> error(rawError);
            error->get_reason(&reason.text);
        }
        parsed.error = "not well-formed: " + Utf8(reason.Get());
        return parsed;
    }
    parsed.wellFormed = true;

    IXMLDOMElement *rawRoot = nullptr;
    if (SUCCEEDED(document->get_documentElement(&rawRoot)) && rawRoot) {
        ComPtr<IXMLDOMElement> root(rawRoot);
        BstrText name, space;
        root->get_nodeName(&name.text);
        root->get_namespaceURI(&space.text);
        parsed.rootName = name.Get();
        parsed.rootNamespace = space.Get();
    }
    BSTR tag = SysAllocString(L"TextBlock");
    IXMLDOMNodeList *rawBlocks = nullptr;
    HRESULT found = document->getElementsByTagName(tag, &rawBlocks);
    SysFreeString(tag);
    if (SUCCEEDED(found) && rawBlocks) {
        ComPtr<IXMLDOMNodeList> blocks(rawBlocks);
        long count = 0;
        blocks->get_length(&count);
        parsed.textBlockCount = (int)count;
        IXMLDOMNode *rawBlock = nullptr;
        if (count > 0 && SUCCEEDED(blocks->get_item(0, &rawBlock)) && rawBlock) {
            ComPtr<IXMLDOMNode> block(rawBlock);
            parsed.textBlockText = CharacterData(block.get());
        }
    }
    return parsed;
}
