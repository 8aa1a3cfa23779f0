// The tooltip's photo caption: a short HTML-like text with links, wrapped in
// a rectangle, drawn with each link underlined in the link colour, and asked
// which link lies under a point.
#pragma once

#include <windows.h>

#include <vector>

#include "taskbar/tooltip/LinkWords.h"

class CLinkText {
public:
    CLinkText() = default;
    CLinkText(const CLinkText&) = delete;
    CLinkText& operator=(const CLinkText&) = delete;

    // Replaces the text and its words and links; null or empty leaves nothing.
    void SetText(const WCHAR* text);
    void Reset();
    // Places the words inside `rect` with the DC's font. The text may run
    // below the rectangle; a word wider than it stays on its own line.
    void Measure(HDC dc, const RECT& rect);
    void Offset(int dx, int dy);
    // The extent the words reached: left and top of the layout rectangle,
    // the largest right and bottom.
    RECT GetRect() const;
    // The link of the first link word holding (x, y); null when none. Valid
    // until the text changes.
    const LinkTarget* HitTest(int x, int y) const;
    // Plain words in the DC's text colour, links in the link colour with one
    // underline per link and line; the DC's colour and pen are restored.
    void Draw(HDC dc) const;

    COLORREF LinkColor() const { return m_linkColor; }
    int WordCount() const { return (int)m_words.size(); }
    const LinkWord& Word(int index) const { return m_words[index]; }
    int LinkCount() const { return (int)m_links.size(); }
    const LinkTarget& Link(int index) const { return m_links[index]; }

private:
    LinkString m_text;
    std::vector<LinkWord> m_words;
    std::vector<LinkTarget> m_links;
    RECT m_layout = {};
    RECT m_extent = {};
    SIZE m_blank = {};
    COLORREF m_linkColor = RGB(0, 0, 0xC0);  // 0xC00000, a dark blue
};
