#include "taskbar/tooltip/LinkWords.h"

namespace {

bool IsBlank(WCHAR c)
{
    return c == ' ' || c == '\t';
}

WCHAR LowerAscii(WCHAR c)
{
    return c >= 'A' && c <= 'Z' ? (WCHAR)(c - 'A' + 'a') : c;
}

// `tag` in lower case, matched ignoring case.
bool StartsWith(const WCHAR* p, const char* tag)
{
    for (; *tag; ++p, ++tag)
        if (LowerAscii(*p) != (WCHAR)*tag)
            return false;
    return true;
}

bool IsLetterOrDigit(WCHAR c)
{
    c = LowerAscii(c);
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Past the next ">" (or at the end).
const WCHAR* SkipTag(const WCHAR* p)
{
    while (*p && *p != '>')
        ++p;
    return *p ? p + 1 : p;
}

// A quoted value runs to its closing quote; an unquoted one to a blank or the
// tag's end.
const WCHAR* ReadValue(const WCHAR* p, LinkString* value)
{
    const WCHAR* start;
    if (*p == '"' || *p == '\'') {
        WCHAR quote = *p++;
        start = p;
        while (*p && *p != quote)
            ++p;
        value->assign(start, p - start);
        return *p ? p + 1 : p;
    }
    start = p;
    while (*p && !IsBlank(*p) && *p != '>')
        ++p;
    value->assign(start, p - start);
    return p;
}

// The attributes of "<a ", p after the blank; returns past the ">".
const WCHAR* ReadLinkTag(const WCHAR* p, LinkTarget* link)
{
    while (*p && *p != '>') {
        if (IsBlank(*p))
            ++p;
        else if (StartsWith(p, "href="))
            p = ReadValue(p + 5, &link->target);
        else if (StartsWith(p, "title="))
            p = ReadValue(p + 6, &link->title);
        else
            ++p;
    }
    return *p ? p + 1 : p;
}

}  // namespace

void ParseLinkWords(const WCHAR* text, std::vector<LinkWord>* words, std::vector<LinkTarget>* links)
{
    words->clear();
    links->clear();
    if (!text)
        return;
    bool inLink = false;
    int breaks = 0;
    const WCHAR* p = text;
    for (;;) {
        while (IsBlank(*p))
            ++p;
        if (!*p)
            break;
        if (inLink && StartsWith(p, "</a>")) {
            inLink = false;
            p += 4;
        } else if (!inLink && StartsWith(p, "<a ")) {
            LinkTarget link;
            p = ReadLinkTag(p + 3, &link);
            links->push_back(link);
            inLink = true;
        } else if (StartsWith(p, "<br") && !IsLetterOrDigit(p[3])) {
            p = SkipTag(p + 3);
            ++breaks;
        } else if (*p == '<') {
            p = SkipTag(p + 1);
        } else {
            const WCHAR* start = p;
            while (*p && !IsBlank(*p) && *p != '<')
                ++p;
            LinkWord word = {LinkString(start, p - start), breaks, inLink ? (int)links->size() - 1 : -1, {}};
            words->push_back(word);
            breaks = 0;
        }
    }
}

LinkBox PlaceLinkWords(std::vector<LinkWord>* words, int32_t left, int32_t top, int32_t right, int32_t blankWidth,
                       int32_t lineHeight)
{
    LinkBox extent = {left, top, left, top};
    int32_t x = left, y = top;
    for (size_t i = 0; i < words->size(); ++i) {
        LinkWord& word = (*words)[i];
        int32_t width = word.box.right - word.box.left;
        int32_t height = word.box.bottom - word.box.top;
        int32_t gap = i + 1 < words->size() ? blankWidth : 0;
        if (word.breaks > 0) {
            x = left;
            y += word.breaks * lineHeight;
        } else if (x > left && x + width + gap > right) {
            x = left;
            y += lineHeight;
        }
        word.box = LinkBox{x, y, x + width, y + height};
        if (word.box.right > extent.right)
            extent.right = word.box.right;
        if (word.box.bottom > extent.bottom)
            extent.bottom = word.box.bottom;
        x += width + gap;
    }
    return extent;
}

int32_t UnderlineEnd(const std::vector<LinkWord>& words, size_t index)
{
    const LinkWord& word = words[index];
    if (index + 1 < words.size()) {
        const LinkWord& next = words[index + 1];
        if (word.link >= 0 && next.link == word.link && next.box.top == word.box.top && next.box.left > word.box.left)
            return next.box.left;
    }
    return word.box.right;
}

bool IsSafeSitePath(const WCHAR* path)
{
    if (!path || path[0] != '/' || path[1] == '/')
        return false;
    for (; *path; ++path)
        if (*path <= ' ' || *path == 127 || (*path >= 0x80 && *path <= 0x9F) || *path == '\\')
            return false;
    return true;
}
