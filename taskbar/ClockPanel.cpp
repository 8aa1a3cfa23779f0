#include "ClockPanel.h"

#include "../graphics/ZoneConvert.h"

namespace {

const int kPadding = 4;

bool IsPanelCandidate(const ClockRecord& clock)
{
    return clock.enabled && !(clock.flags & kClockOnDesktop);
}

bool Contains(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

CClockPanel::CClockPanel()
    : m_copies(nullptr), m_dayKey(0), m_seconds(0), m_clocks(), m_count(0), m_spacing(2), m_extent(),
      m_background(nullptr)
{
}

void CClockPanel::Clear()
{
    m_dayKey = 0;
    m_seconds = 0;
    m_count = 0;
    m_copies = nullptr;
    SetRectEmpty(&m_extent);
    if (m_background)
        DeleteObject(m_background);
    m_background = nullptr;
}

void CClockPanel::Rebuild(const TrayCopies& copies)
{
    Clear();
    m_copies = &copies;
    WCHAR path[MAX_PATH + 16];
    wsprintfW(path, L"%.259sskins\\bkg.bmp", copies.settings.programFolder);
    m_background = (HBITMAP)LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);

    int n = ClockCopyCount(copies);
    int selected[kMaxClocks];
    int count = 0;
    for (int i = 0; i < n; ++i)
        if (IsPanelCandidate(copies.clocks[i]))
            selected[count++] = i;
    int shown = (int)copies.settings.trayClocks;
    if (shown < 1)
        shown = 1;
    if (shown > kMaxTrayClocks)
        shown = kMaxTrayClocks;
    int first = count > shown ? count - shown : 0;
    for (int i = first; i < count; ++i) {
        PanelClock& clock = m_clocks[m_count++];
        clock = PanelClock();
        clock.index = selected[i];
    }
}

void CClockPanel::FormatClock(PanelClock& clock, const SYSTEMTIME& utc)
{
    const ClockRecord& record = m_copies->clocks[clock.index];
    SYSTEMTIME local;
    GetClockLocalTime(utc, &local, record);
    if (record.flags & kClockShowsSeconds)
        wsprintfW(clock.text, L"%02u:%02u:%02u", local.wHour, local.wMinute, local.wSecond);
    else
        wsprintfW(clock.text, L"%02u:%02u", local.wHour, local.wMinute);
}

void CClockPanel::Layout(HDC dc, HTHEME theme, int width, int height, bool horizontal, int edges)
{
    int s = m_spacing;
    int lx = (edges & kEdgeRight) ? s : 0;
    int ly = (edges & kEdgeBottom) ? s : 0;
    if (edges & kEdgeLeft)
        width -= s;
    if (edges & kEdgeTop)
        height -= s;
    // one line along the taskbar, each clock as thick as the taskbar allows
    int pos = horizontal ? lx : ly;
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (int i = 0; i < m_count; ++i) {
        PanelClock& clock = m_clocks[i];
        SIZE size = {0, 0};
        const WCHAR* sample = clock.text[0] ? clock.text : L"00:00:00";
        GetTextExtentPoint32W(dc, sample, lstrlenW(sample), &size);
        int w = size.cx + 2 * kPadding, h = size.cy + kPadding;
        if (horizontal) {
            SetRect(&clock.rect, pos, ly, pos + w, ly + (height - ly > h ? height - ly : h));
            pos += w + s;
        } else {
            SetRect(&clock.rect, lx, pos, lx + (width - lx > w ? width - lx : w), pos + h);
            pos += h + s;
        }
    }
    SelectObject(dc, old);
    Measure(dc, edges);
}

void CClockPanel::Measure(HDC dc, int edges)
{
    SetRectEmpty(&m_extent);
    for (int i = 0; i < m_count; ++i) {
        if (m_clocks[i].rect.right > m_extent.right)
            m_extent.right = m_clocks[i].rect.right;
        if (m_clocks[i].rect.bottom > m_extent.bottom)
            m_extent.bottom = m_clocks[i].rect.bottom;
    }
    if (m_count && (edges & kEdgeLeft))
        m_extent.right += m_spacing;
    if (m_count && (edges & kEdgeTop))
        m_extent.bottom += m_spacing;
}

int CClockPanel::Tick(bool force)
{
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    int32_t dayKey = (((int32_t)utc.wYear * 16 + utc.wMonth) * 32 + utc.wDay) - 33;
    int32_t seconds = utc.wHour * 3600 + utc.wMinute * 60 + utc.wSecond;
    if (!force && dayKey == m_dayKey && seconds == m_seconds)
        return 0;
    m_dayKey = dayKey;
    m_seconds = seconds;
    if (!m_copies)
        return force ? 1 : 0;
    int result = force ? 1 : 0;
    for (int i = 0; i < m_count; ++i) {
        PanelClock& clock = m_clocks[i];
        if (clock.index >= ClockCopyCount(*m_copies))
            continue;
        WCHAR before[32];
        lstrcpyW(before, clock.text);
        FormatClock(clock, utc);
        if (lstrcmpW(before, clock.text)) {
            int changed = lstrlenW(before) != lstrlenW(clock.text) ? 2 : 1;
            if (changed > result)
                result = changed;
        }
    }
    return result;
}

int CClockPanel::HitTest(int x, int y) const
{
    for (int i = 0; i < m_count; ++i)
        if (Contains(m_clocks[i].rect, x, y))
            return m_clocks[i].index;
    return -1;
}

const PanelClock* CClockPanel::ClockById(uint32_t id) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_copies && m_clocks[i].index < ClockCopyCount(*m_copies) && m_copies->clocks[m_clocks[i].index].id == id)
            return &m_clocks[i];
    return nullptr;
}

void CClockPanel::Paint(HWND window, HDC dc, HTHEME theme, bool themeActive)
{
    int w = m_extent.right - m_extent.left, h = m_extent.bottom - m_extent.top;
    if (w <= 0 || h <= 0)
        return;
    HDC memory = CreateCompatibleDC(dc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!memory || !bitmap) {
        if (bitmap)
            DeleteObject(bitmap);
        if (memory)
            DeleteDC(memory);
        return;
    }
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    RECT all = {0, 0, w, h};
    if (m_background) {
        BITMAP bm;
        GetObjectW(m_background, sizeof(bm), &bm);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, m_background);
        BitBlt(memory, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    } else if (!window) {
        BitBlt(memory, 0, 0, w, h, dc, m_extent.left, m_extent.top, SRCCOPY);
    } else {
        FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    }
    HGDIOBJ oldFont = SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, GetSysColor(COLOR_BTNTEXT));
    for (int i = 0; i < m_count; ++i) {
        RECT r = m_clocks[i].rect;
        DrawTextW(memory, m_clocks[i].text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(memory, oldFont);
    StretchBlt(dc, m_extent.left, m_extent.top, w, h, memory, 0, 0, w, h, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}
