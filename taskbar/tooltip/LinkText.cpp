#include "taskbar/tooltip/LinkText.h"

#include "graphics/system/Handles.h"

namespace {

RECT ToRect(const LinkBox& box)
{
    return RECT{box.left, box.top, box.right, box.bottom};
}

}  // namespace

void CLinkText::Reset()
{
    m_text.clear();
    m_words.clear();
    m_links.clear();
    m_layout = RECT{};
    m_extent = RECT{};
    m_blank = SIZE{};
}

void CLinkText::SetText(const WCHAR* text)
{
    Reset();
    if (!text || !*text)
        return;
    m_text = text;
    ParseLinkWords(m_text.c_str(), &m_words, &m_links);
}

void CLinkText::Measure(HDC dc, const RECT& rect)
{
    m_layout = rect;
    if (!GetTextExtentPoint32W(dc, L" ", 1, &m_blank))
        m_blank = SIZE{};
    for (LinkWord& word : m_words) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, word.text.c_str(), (int)word.text.size(), &size);
        word.box = LinkBox{0, 0, size.cx, size.cy};
    }
    m_extent = ToRect(PlaceLinkWords(&m_words, rect.left, rect.top, rect.right, m_blank.cx, m_blank.cy));
}

void CLinkText::Offset(int dx, int dy)
{
    OffsetRect(&m_layout, dx, dy);
    OffsetRect(&m_extent, dx, dy);
    for (LinkWord& word : m_words)
        word.box = LinkBox{word.box.left + dx, word.box.top + dy, word.box.right + dx, word.box.bottom + dy};
}

RECT CLinkText::GetRect() const
{
    return m_extent;
}

const LinkTarget* CLinkText::HitTest(int x, int y) const
{
    POINT point = {x, y};
    for (const LinkWord& word : m_words) {
        RECT box = ToRect(word.box);
        if (word.link >= 0 && word.link < (int)m_links.size() && PtInRect(&box, point))
            return &m_links[word.link];
    }
    return nullptr;
}

void CLinkText::Draw(HDC dc) const
{
    CGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, m_linkColor));
    HGDIOBJ oldPen = SelectObject(dc, pen.Get());
    COLORREF textColor = GetTextColor(dc);
    for (size_t i = 0; i < m_words.size(); ++i) {
        const LinkWord& word = m_words[i];
        if (word.link < 0) {
            TextOutW(dc, word.box.left, word.box.top, word.text.c_str(), (int)word.text.size());
            continue;
        }
        SetTextColor(dc, m_linkColor);
        TextOutW(dc, word.box.left, word.box.top, word.text.c_str(), (int)word.text.size());
        SetTextColor(dc, textColor);
        // LineTo leaves out its end point: the underline covers left to end - 1
        int y = word.box.bottom - 1;
        MoveToEx(dc, word.box.left, y, nullptr);
        LineTo(dc, UnderlineEnd(m_words, i), y);
    }
    SelectObject(dc, oldPen);
}
