#include "windows/news/FeedParser.h"

#include "graphics/system/Handles.h"
#include "windows/news/HtmlEntities.h"

#include <msxml2.h>

#include <memory>

const CLSID kDomDocument30 = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
const IID kIXMLDOMDocument = {0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

namespace {

const IID kIXMLDOMDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

// A real feed's prolog is a few hundred bytes: the first read is small, and
// a prolog past the second is refused.
const DWORD kHeadReads[] = {64 * 1024, 1024 * 1024};

void Notify(const RSS::Channel* channel, WPARAM code, RSS::Element* object)
{
    if (channel->subscribers)
        channel->subscribers->Notify(code, object);
}

// Starts with `literal` at `at`?
bool At(const std::vector<WCHAR>& text, size_t at, const char* literal)
{
    for (; *literal; ++literal, ++at)
        if (at >= text.size() || text[at] != (WCHAR)*literal)
            return false;
    return true;
}

size_t Skip(const std::vector<WCHAR>& text, size_t at, const char* end)
{
    while (at < text.size() && !At(text, at, end))
        ++at;
    return at;
}

// The head as code units: UTF-16 by its BOM or its zero bytes, bytes
// otherwise (what is not ASCII never matters to the scan). Empty for UCS-4.
bool HeadUnits(const std::string& bytes, std::vector<WCHAR>* units)
{
    auto b = [&](size_t i) { return i < bytes.size() ? (unsigned char)bytes[i] : 1u; };
    if ((b(0) == 0 && b(1) == 0) || (b(2) == 0 && b(3) == 0 && b(1) == 0))
        return false;  // UCS-4 or worse: no feed comes like that
    bool bigEndian = b(0) == 0 || (b(0) == 0xFE && b(1) == 0xFF);
    bool littleEndian = b(1) == 0 || (b(0) == 0xFF && b(1) == 0xFE);
    if (bigEndian || littleEndian) {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            units->push_back(bigEndian ? (WCHAR)(b(i) << 8 | b(i + 1)) : (WCHAR)(b(i + 1) << 8 | b(i)));
    } else {
        for (char c : bytes)
            units->push_back((WCHAR)(unsigned char)c);
    }
    return true;
}

enum class Prolog { Clean, DeclaresEntities, Unfinished };

// Whether the prolog declares entities. Wine's msxml3 takes neither
// resolveExternals nor ProhibitDTD into account, so an entity declaration
// (external files and URLs, the exponential "billion laughs") never reaches
// the parser; a plain DOCTYPE such as RSS 0.91's is harmless.
Prolog ScanProlog(const std::string& bytes)
{
    std::vector<WCHAR> text;
    if (!HeadUnits(bytes, &text))
        return Prolog::DeclaresEntities;
    size_t i = 0;
    while (i < text.size()) {
        if (At(text, i, "<!--")) {
            i = Skip(text, i + 4, "-->") + 3;
        } else if (At(text, i, "<?")) {
            i = Skip(text, i + 2, "?>") + 2;
        } else if (At(text, i, "<!DOCTYPE")) {
            bool subset = false;
            for (i += 9; i < text.size(); ++i) {
                WCHAR c = text[i];
                if (c == '"' || c == '\'') {
                    i = Skip(text, i + 1, c == '"' ? "\"" : "'");
                } else if (At(text, i, "<!--")) {
                    i = Skip(text, i + 4, "-->") + 2;
                } else if (At(text, i, "<!ENTITY")) {
                    return Prolog::DeclaresEntities;
                } else if (c == '[') {
                    subset = true;
                } else if (c == ']') {
                    subset = false;
                } else if (c == '>' && !subset) {
                    break;
                }
            }
            ++i;
        } else if (text[i] == '<') {
            return Prolog::Clean;  // the root element: the prolog is over
        } else {
            ++i;
        }
    }
    return Prolog::Unfinished;
}

BSTR TextOf(IXMLDOMNode* node)
{
    BSTR text = nullptr;
    if (FAILED(node->get_text(&text)))
        return nullptr;
    return text ? text : SysAllocString(L"");
}

// The element's name (nodeName) into `name`; false for other nodes.
// Moves `node` on to its next sibling (empty after the last); false when the
// DOM fails.
bool StepToNextSibling(CComRef<IXMLDOMNode>* node)
{
    CComRef<IXMLDOMNode> next;
    if (FAILED(node->Get()->get_nextSibling(next.Receive())))
        return false;
    *node = std::move(next);
    return true;
}

bool ElementName(IXMLDOMNode* node, CBstr* name)
{
    DOMNodeType type;
    if (FAILED(node->get_nodeType(&type)) || type != NODE_ELEMENT)
        return false;
    return SUCCEEDED(node->get_nodeName(name->Receive())) && *name;
}

// The first element child of `parent` named `name` (case ignored), with its text.
bool ChildText(IXMLDOMNode* parent, const WCHAR* name, std::wstring* text)
{
    CComRef<IXMLDOMNode> child;
    if (FAILED(parent->get_firstChild(child.Receive())))
        return false;
    while (child) {
        CBstr childName;
        if (ElementName(child.Get(), &childName) && lstrcmpiW(childName.Get(), name) == 0) {
            CBstr value(TextOf(child.Get()));
            if (!value)
                return false;
            text->assign(value.Get(), SysStringLen(value.Get()));
            return true;
        }
        if (!StepToNextSibling(&child))
            return false;
    }
    return false;
}

// The item's texts from its children; a later child of a name wins.
bool ReadItem(IXMLDOMNode* element, RSS::Item* item)
{
    CComRef<IXMLDOMNode> child;
    if (FAILED(element->get_firstChild(child.Receive())))
        return false;
    while (child) {
        CBstr name;
        if (ElementName(child.Get(), &name)) {
            std::wstring* field = nullptr;
            if (lstrcmpiW(name.Get(), L"title") == 0)
                field = &item->title;
            else if (lstrcmpiW(name.Get(), L"description") == 0)
                field = &item->description;
            else if (lstrcmpiW(name.Get(), L"link") == 0)
                field = &item->link;
            else if (lstrcmpiW(name.Get(), L"guid") == 0)
                field = &item->guid;
            if (field) {
                CBstr value(TextOf(child.Get()));
                if (!value)
                    return false;
                field->assign(value.Get(), SysStringLen(value.Get()));
            }
        }
        if (!StepToNextSibling(&child))
            return false;
    }
    DecodeHtmlEntities(item->title);
    return true;
}

// Leading decimal digits as minutes, at least 3 (so "abc" is 3); digits
// past the largest value stay at it instead of wrapping.
INT32 ReadTtl(const std::wstring& text)
{
    const INT32 kMax = 0x7FFFFFFF;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    INT32 ttl = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        ttl = ttl > (kMax - digit) / 10 ? kMax : ttl * 10 + digit;
    }
    return ttl < 3 ? 3 : ttl;
}

// Opens the file and takes its time into the channel; false when it cannot
// be read or its prolog declares entities (or is too long to tell).
bool CheckFile(RSS::Channel* channel, const WCHAR* path)
{
    CKernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    FILETIME written;
    LARGE_INTEGER size;
    if (!GetFileTime(file.Get(), nullptr, nullptr, &written) || !FileTimeToSystemTime(&written, &channel->fileTime) ||
        !GetFileSizeEx(file.Get(), &size))
        return false;
    for (DWORD limit : kHeadReads) {
        std::string head(limit, '\0');
        DWORD read = 0;
        LARGE_INTEGER start = {};
        if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) ||
            !ReadFile(file.Get(), &head[0], limit, &read, nullptr))
            return false;
        head.resize(read);
        Prolog prolog = ScanProlog(head);
        if (prolog != Prolog::Unfinished)
            return prolog == Prolog::Clean;
        if (size.QuadPart <= (LONGLONG)read)
            return true;  // no root at all: the load fails on its own
    }
    return false;
}

bool LoadDocument(const WCHAR* path, CComRef<IXMLDOMDocument>* document)
{
    CComRef<IUnknown> unknown;
    if (FAILED(CoCreateInstance(kDomDocument30, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                (void**)unknown.Receive())) ||
        FAILED(OleRun(unknown.Get())) ||
        FAILED(unknown.Get()->QueryInterface(kIXMLDOMDocument, (void**)document->Receive())))
        return false;
    IXMLDOMDocument* doc = document->Get();
    if (FAILED(doc->put_async(VARIANT_FALSE)) || FAILED(doc->put_resolveExternals(VARIANT_FALSE)) ||
        FAILED(doc->put_validateOnParse(VARIANT_FALSE)))
        return false;
    CComRef<IXMLDOMDocument2> doc2;
    if (SUCCEEDED(doc->QueryInterface(kIXMLDOMDocument2, (void**)doc2.Receive()))) {
        // MSXML 3.0 on Windows refuses the property; that refusal is no error
        VARIANT prohibit;
        VariantInit(&prohibit);
        prohibit.vt = VT_BOOL;
        prohibit.boolVal = VARIANT_TRUE;
        CBstr name(SysAllocString(L"ProhibitDTD"));
        doc2.Get()->setProperty(name.Get(), prohibit);
    }
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(path);
    if (!source.bstrVal)
        return false;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    HRESULT hr = doc->load(source, &loaded);
    VariantClear(&source);
    return hr == S_OK && loaded == VARIANT_TRUE;
}

// The root element's first element child, when it is a "channel" with children.
bool FindChannelElement(IXMLDOMDocument* doc, RSS::Channel* channel, CComRef<IXMLDOMNode>* found)
{
    CComRef<IXMLDOMElement> root;
    if (doc->get_documentElement(root.Receive()) != S_OK || !root)
        return false;
    VARIANT version;
    VariantInit(&version);
    CBstr versionName(SysAllocString(L"version"));
    HRESULT hr = root.Get()->getAttribute(versionName.Get(), &version);
    if (FAILED(hr))
        return false;
    channel->version.clear();
    if (hr == S_OK && version.vt == VT_BSTR && version.bstrVal)
        channel->version.assign(version.bstrVal, SysStringLen(version.bstrVal));
    VariantClear(&version);

    // whitespace and comments may come before the channel
    CComRef<IXMLDOMNode> child;
    if (FAILED(root.Get()->get_firstChild(child.Receive())))
        return false;
    while (child) {
        CBstr name;
        if (ElementName(child.Get(), &name)) {
            VARIANT_BOOL hasChildren = VARIANT_FALSE;
            if (lstrcmpiW(name.Get(), L"channel") != 0 || FAILED(child.Get()->hasChildNodes(&hasChildren)) ||
                hasChildren != VARIANT_TRUE)
                return false;
            *found = std::move(child);
            return true;
        }
        if (!StepToNextSibling(&child))
            return false;
    }
    return false;
}

void Merge(RSS::Channel* channel, std::vector<std::unique_ptr<RSS::Item>>& parsed, bool quiet)
{
    for (auto& entry : channel->itemsByKey)
        entry.second->seen = 0;
    channel->itemsInOrder.clear();
    int newCount = 0;
    for (auto& read : parsed) {
        read->channel = channel;
        auto found = channel->itemsByKey.find(read->GetKey());
        RSS::Item* item;
        if (found == channel->itemsByKey.end()) {
            item = read.release();
            item->isNew = quiet ? 0 : 1;
            item->position = (INT32)channel->itemsInOrder.size();
            channel->itemsByKey.emplace(item->GetKey(), item);
            channel->itemsInOrder.push_back(item);
            Notify(channel, kRssItemAdded, item);
        } else {
            item = found->second;
            if (item->seen)
                continue;  // the key came earlier in this feed: the first one stands
            if (item->IsSame(*read)) {
                item->isNew = 0;
                item->seen = 1;
            } else {
                item->Assign(*read);
            }
            item->position = (INT32)channel->itemsInOrder.size();
            item->channel = channel;
            channel->itemsInOrder.push_back(item);
            if (item->isNew)
                Notify(channel, kRssItemChanged, item);
        }
        if (item->isNew)
            ++newCount;
    }
    channel->isNew = newCount > 0;
    for (auto it = channel->itemsByKey.begin(); it != channel->itemsByKey.end();) {
        RSS::Item* item = it->second;
        if (item->seen) {
            ++it;
            continue;
        }
        Notify(channel, kRssItemRemoved, item);
        it = channel->itemsByKey.erase(it);
        delete item;
    }
}

bool Parse(RSS::Channel* channel, const WCHAR* path, bool quiet)
{
    if (!CheckFile(channel, path))
        return false;
    CComRef<IXMLDOMDocument> doc;
    if (!LoadDocument(path, &doc))
        return false;
    CComRef<IXMLDOMNode> channelElement;
    if (!FindChannelElement(doc.Get(), channel, &channelElement))
        return false;

    // the channel's own texts: an item's or the image's title is no channel title
    std::wstring title, description, link, ttl;
    if (!ChildText(channelElement.Get(), L"title", &title) ||
        !ChildText(channelElement.Get(), L"description", &description) ||
        !ChildText(channelElement.Get(), L"link", &link))
        return false;
    bool hasTtl = ChildText(channelElement.Get(), L"ttl", &ttl);

    // RDF puts the items beside the channel, so they come from the whole document
    CComRef<IXMLDOMNodeList> elements;
    CBstr itemName(SysAllocString(L"item"));
    long count = 0;
    if (FAILED(doc.Get()->getElementsByTagName(itemName.Get(), elements.Receive())) || !elements ||
        FAILED(elements.Get()->get_length(&count)) || count < 1)
        return false;
    std::vector<std::unique_ptr<RSS::Item>> parsed;
    for (long i = 0; i < count; ++i) {
        CComRef<IXMLDOMNode> element;
        if (elements.Get()->get_item(i, element.Receive()) != S_OK || !element)
            return false;
        std::unique_ptr<RSS::Item> item(new RSS::Item);
        if (!ReadItem(element.Get(), item.get()))
            return false;
        if (!item->title.empty() || !item->description.empty())
            parsed.push_back(std::move(item));
    }

    DecodeHtmlEntities(title);
    channel->title = title;
    channel->description = description;
    channel->link = link;
    channel->feedTtl = hasTtl ? ReadTtl(ttl) : 60;
    Merge(channel, parsed, quiet);
    channel->seen = 1;
    channel->parsed = 1;
    Notify(channel, kRssChannelParsed, channel);
    return true;
}

}  // namespace

bool ParseFeedFile(RSS::Channel* channel, const WCHAR* path, bool quiet)
{
    if (!channel || !path)
        return false;
    channel->parsed = 0;
    return Parse(channel, path, quiet);
}
