// The small link text of the taskbar panel: plain text, "<br>" line breaks
// and links written <a href="target">text</a>.
#pragma once

#include <vector>

#include <windows.h>
#include <uxtheme.h>

class IThemeApi;

// One laid-out piece: its characters and link target point into the layout's
// own copy of the text.
struct LinkTextRun {
    const WCHAR* text;    // not terminated; `length` characters
    int length;
    RECT rect;
    const WCHAR* target;  // terminated; null for plain text
};

// The extent of `length` characters of `text` in the DC's font, through the
// theme (part 1, state 1) when `theme` is not 0 and `api` is given. An empty
// run has width 0 and the height of a blank. False when measuring failed
// (*size is then 0 x 0).
bool MeasureTextRun(const WCHAR* text, int length, HDC dc, HTHEME theme, IThemeApi* api, SIZE* size);

// A copy of a link text and its runs, which point into the copy; the caller's
// text is never changed, and laying out the same text again gives the same runs.
class CLinkTextLayout {
public:
    CLinkTextLayout() = default;
    CLinkTextLayout(const CLinkTextLayout&) = delete;
    CLinkTextLayout& operator=(const CLinkTextLayout&) = delete;

    int Count() const { return (int)m_runs.size(); }
    const LinkTextRun& Run(int index) const { return m_runs[index]; }

private:
    friend int LayoutLinkText(const WCHAR*, int, int, HDC, HTHEME, IThemeApi*, CLinkTextLayout*, int);
    std::vector<WCHAR> m_text;
    std::vector<LinkTextRun> m_runs;
};

// Lays out `text` with its top left at (x, y) into `layout` (replacing what it
// held), at most `capacity` runs. A link without its closing quote, ">" or
// "</a>" ends the layout after the runs before it. Returns the number of runs.
int LayoutLinkText(const WCHAR* text, int x, int y, HDC dc, HTHEME theme, IThemeApi* api, CLinkTextLayout* layout,
                   int capacity);

// Lays out `text` at (x, y) in `font` (the DC's when null, restored after)
// without a theme, and returns the index in `layout` of the last link run
// whose rectangle holds (px, py) (right and bottom edges excluded); -1 when none.
int HitTestLinkText(HDC dc, HFONT font, int x, int y, const WCHAR* text, int px, int py, CLinkTextLayout* layout,
                    int capacity);
