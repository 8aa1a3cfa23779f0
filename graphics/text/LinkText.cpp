#include "graphics/text/LinkText.h"

#include <string.h>
#include <wchar.h>

#include "graphics/window/Theme.h"

namespace {

const WCHAR kLinkStart[] = L"<a href=\"";
const WCHAR kLinkEnd[] = L"</a>";
const WCHAR kBreak[] = L"<br>";
const int kLinkStartLength = ARRAYSIZE(kLinkStart) - 1;
const int kLinkEndLength = ARRAYSIZE(kLinkEnd) - 1;
const int kBreakLength = ARRAYSIZE(kBreak) - 1;

// The first "<br>" in [begin, end), or null.
const WCHAR* FindBreak(const WCHAR* begin, const WCHAR* end)
{
    for (const WCHAR* p = begin; end - p >= kBreakLength; ++p)
        if (wcsncmp(p, kBreak, kBreakLength) == 0)
            return p;
    return nullptr;
}

class CRunBuilder {
public:
    CRunBuilder(std::vector<LinkTextRun>& runs, int capacity, int x, int y, HDC dc, HTHEME theme, IThemeApi* api)
        : m_runs(runs), m_capacity(capacity), m_originX(x), m_x(x), m_y(y), m_dc(dc), m_theme(theme), m_api(api)
    {
    }

    bool Full() const { return (int)m_runs.size() >= m_capacity; }

    // One run per line of [begin, end); false when the capacity ran out.
    bool AddPiece(const WCHAR* begin, const WCHAR* end, const WCHAR* target)
    {
        for (const WCHAR* start = begin;;) {
            const WCHAR* lineBreak = FindBreak(start, end);
            const WCHAR* stop = lineBreak ? lineBreak : end;
            if (Full())
                return false;
            LinkTextRun& run = Add(start, (int)(stop - start), target);
            if (!lineBreak)
                return true;
            m_x = m_originX;
            m_y += run.rect.bottom - run.rect.top;
            start = lineBreak + kBreakLength;
        }
    }

private:
    LinkTextRun& Add(const WCHAR* text, int length, const WCHAR* target)
    {
        SIZE size;
        MeasureTextRun(text, length, m_dc, m_theme, m_api, &size);
        LinkTextRun run = {text, length, {m_x, m_y, m_x + size.cx, m_y + size.cy}, target};
        m_x += size.cx;
        m_runs.push_back(run);
        return m_runs.back();
    }

    std::vector<LinkTextRun>& m_runs;
    const int m_capacity;
    const int m_originX;
    int m_x;
    int m_y;
    HDC m_dc;
    HTHEME m_theme;
    IThemeApi* m_api;
};

}  // namespace

bool MeasureTextRun(const WCHAR* text, int length, HDC dc, HTHEME theme, IThemeApi* api, SIZE* size)
{
    // an empty run still has the height of its line
    bool empty = length <= 0;
    if (empty) {
        text = L" ";
        length = 1;
    }
    *size = SIZE();
    bool measured = false;
    if (theme && api) {
        RECT extent = {};
        if (SUCCEEDED(api->GetThemeTextExtent(theme, dc, 1, 1, text, length, DT_NOCLIP, nullptr, &extent))) {
            size->cx = extent.right - extent.left;
            size->cy = extent.bottom - extent.top;
            measured = true;
        }
    }
    if (!measured)
        measured = GetTextExtentPoint32W(dc, text, length, size) != FALSE;
    if (!measured)
        *size = SIZE();
    if (empty)
        size->cx = 0;
    return measured;
}

int LayoutLinkText(const WCHAR* text, int x, int y, HDC dc, HTHEME theme, IThemeApi* api, CLinkTextLayout* layout,
                   int capacity)
{
    layout->m_runs.clear();
    if (!text)
        text = L"";
    // the copy is made once: the runs point into it
    layout->m_text.assign(text, text + wcslen(text) + 1);
    CRunBuilder builder(layout->m_runs, capacity, x, y, dc, theme, api);
    WCHAR* p = layout->m_text.data();
    while (*p && !builder.Full()) {
        WCHAR* link = wcsstr(p, kLinkStart);
        WCHAR* plainEnd = link ? link : p + wcslen(p);
        if (plainEnd > p && !builder.AddPiece(p, plainEnd, nullptr))
            break;
        if (!link)
            break;
        WCHAR* target = link + kLinkStartLength;
        WCHAR* quote = wcschr(target, '"');
        WCHAR* close = quote ? wcschr(quote + 1, '>') : nullptr;
        WCHAR* end = close ? wcsstr(close + 1, kLinkEnd) : nullptr;
        if (!end)
            break;
        *quote = 0;
        if (!builder.AddPiece(close + 1, end, target))
            break;
        p = end + kLinkEndLength;
    }
    return layout->Count();
}

int HitTestLinkText(HDC dc, HFONT font, int x, int y, const WCHAR* text, int px, int py, CLinkTextLayout* layout,
                    int capacity)
{
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    int count = LayoutLinkText(text, x, y, dc, nullptr, nullptr, layout, capacity);
    if (previous)
        SelectObject(dc, previous);
    for (int i = count - 1; i >= 0; --i) {
        const LinkTextRun& run = layout->Run(i);
        if (run.target && px >= run.rect.left && px < run.rect.right && py >= run.rect.top && py < run.rect.bottom)
            return i;
    }
    return -1;
}
