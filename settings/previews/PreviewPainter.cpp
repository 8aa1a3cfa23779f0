#include "settings/previews/PreviewPainter.h"

#include "graphics/image/Bitmap.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/skin/Graphics.h"
#include "graphics/window/Theme.h"
#include "settings/frame/Preview.h"
#include "windows/TaskbarColours.h"

namespace {

// The clocks keep this far from the taskbar's far end.
const int kEndGap = 4;

void DefaultNow(SYSTEMTIME* utc)
{
    GetSystemTime(utc);
}

HWND SystemTaskbar()
{
    return FindWindowW(kTaskbarClass, nullptr);
}

bool IsBuiltInLook(const CGraphics* skin)
{
    return skin && (skin->GetKind() == kKindStandard || skin->GetKind() == kKindClassic);
}

void Fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    if (right <= left || bottom <= top)
        return;
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, brush);
}

// Theme functions for a painter without visual styles: every call fails,
// and without a theme handle none is made.
IThemeApi& NoThemeApi()
{
    static CUxThemeApi none;
    return none;
}

// A style's colours, put back when the painting is over: the styles are
// shared with the other clocks of the page.
struct SavedColours {
    CGraphics* skin;
    COLORREF text;
    COLORREF back;
};

}  // namespace

CPreviewPainter::CPreviewPainter(CVisualStyles* styles)
    : m_styles(styles), m_wallpaper(), m_findTaskbar(SystemTaskbar), m_now(DefaultNow), m_dateKey(-1), m_second(-1),
      m_taskbarSize{-1, -1}, m_redraws(0), m_environment(), m_copies(), m_clockCopies(), m_panel()
{
    m_environment.styles = styles;
}

CPreviewPainter::~CPreviewPainter()
{
    // the panel's clocks point into the copies
    m_panel.Clear();
}

void CPreviewPainter::SetClockSource(void (*now)(SYSTEMTIME* utc))
{
    m_now = now ? now : DefaultNow;
    m_panel.SetClockSource(m_now);
}

HWND CPreviewPainter::Taskbar() const
{
    HWND taskbar = m_findTaskbar ? m_findTaskbar() : nullptr;
    return IsWindow(taskbar) ? taskbar : nullptr;
}

bool CPreviewPainter::SecondChanged(bool force)
{
    SYSTEMTIME utc;
    m_now(&utc);
    int32_t dateKey = ((int32_t)utc.wYear * 16 + utc.wMonth) * 32 + utc.wDay - 33;
    int32_t second = utc.wHour * 3600 + utc.wMinute * 60 + utc.wSecond;
    if (!force && dateKey == m_dateKey && second == m_second)
        return false;
    m_dateKey = dateKey;
    m_second = second;
    return true;
}

void CPreviewPainter::RefreshWallpaper(HWND control, CPreviewClock& preview)
{
    if (!preview.WallpaperStale())
        return;
    preview.ClearWallpaperStale();
    RECT client = {};
    GetClientRect(control, &client);
    m_wallpaper.Capture(client.right, client.bottom);
}

bool CPreviewPainter::RedrawClock(HWND control, CPreviewClock& preview, bool force)
{
    CClock* clock = preview.Clock();
    if (!clock || !control)
        return false;
    RefreshWallpaper(control, preview);
    CGraphics* skin = clock->GetSkin();
    HWND taskbar = Taskbar();
    RECT client = {};
    GetClientRect(control, &client);
    HTHEME theme = m_styles ? m_styles->OpenThemeIfActive(control, L"TASKBAR") : nullptr;
    int width = client.right, height = client.bottom;
    if (preview.Record().flags & kClockOnDesktop) {
        TakeTaskbarColours(skin, control, m_styles);
        width = GetSystemMetrics(SM_CXSCREEN);
    } else {
        if (IsBuiltInLook(skin)) {
            skin->SetTextColor(kDefaultColor);
            skin->SetBackColor(kNoColor);
        }
        if (taskbar) {
            RECT bar = {};
            GetClientRect(taskbar, &bar);
            GetPreviewPanelSize(bar, theme != nullptr, &width, &height);
        }
    }
    bool changed = SecondChanged(force);
    if (changed) {
        RECT bar = {};
        if (taskbar)
            GetClientRect(taskbar, &bar);
        m_taskbarSize = {bar.right, bar.bottom};
        SYSTEMTIME utc;
        m_now(&utc);
        clock->Update(utc);
        HDC dc = GetDC(control);
        clock->Measure(dc, width, height, theme, nullptr);
        ReleaseDC(control, dc);
        ++m_redraws;
        InvalidateRect(control, nullptr, FALSE);
    }
    if (m_styles)
        m_styles->CloseTheme(&theme);
    return changed;
}

void CPreviewPainter::PaintClock(const DRAWITEMSTRUCT& item, CPreviewClock& preview)
{
    const RECT& area = item.rcItem;
    int width = area.right - area.left, height = area.bottom - area.top;
    CClock* clock = preview.Clock();
    if (width <= 0 || height <= 0)
        return;
    if (!clock) {
        FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    RECT box = clock->GetRect();
    int clockWidth = box.right - box.left, clockHeight = box.bottom - box.top;
    if (!(preview.Record().flags & kClockOnDesktop)) {
        HWND taskbar = Taskbar();
        if (!taskbar) {
            FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
            return;
        }
        RECT bar = {};
        GetClientRect(taskbar, &bar);
        if (bar.right != m_taskbarSize.cx || bar.bottom != m_taskbarSize.cy) {
            RedrawClock(item.hwndItem, preview, true);
            box = clock->GetRect();
            clockWidth = box.right - box.left;
            clockHeight = box.bottom - box.top;
        }
        PaintStrip(item, taskbar, clockWidth, clockHeight, [&](HDC strip, int x, int y, HTHEME theme) {
            RECT at = {x, y, x + clockWidth, y + clockHeight};
            clock->SetRect(at);
            clock->Paint(strip, theme);
            clock->SetRect(box);
        });
        return;
    }

    CBitmap canvas;
    if (!canvas.Create(width, height))
        return;
    HDC dc = canvas.GetDC();
    if (m_wallpaper.Valid())
        m_wallpaper.Picture().Draw(dc, 0, 0, width, height, 0, 0);
    else
        FillRect(dc, &area, GetSysColorBrush(COLOR_DESKTOP));
    CDibSection buffer;
    if (clockWidth > 0 && clockHeight > 0 && buffer.Create(clockWidth, clockHeight)) {
        // a clock wider than the control shows its right part
        int x = clockWidth > width ? width - clockWidth : (width - clockWidth) / 2;
        int y = (height - clockHeight) / 2;
        BitBlt(buffer.GetDC(), 0, 0, clockWidth, clockHeight, dc, x, y, SRCCOPY);
        CGraphics* skin = clock->GetSkin();
        COLORREF back = skin ? skin->GetBackColor() : kNoColor;
        bool opaque = skin && back == kNoColor && !(preview.Record().flags & kClockTransparent);
        if (opaque)
            skin->SetBackColor(GetSysColor(COLOR_BTNFACE));
        RECT at = {0, 0, clockWidth, clockHeight};
        clock->SetRect(at);
        clock->Paint(buffer.GetDC(), nullptr);
        clock->SetRect(box);
        if (opaque)
            skin->SetBackColor(back);
        GdiFlush();
        // GDI leaves the alpha bytes at 0; the blend is by the constant alone
        buffer.SetAlphaRect(0, 0, clockWidth, clockHeight, 255);
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, preview.Record().alpha, 0};
        AlphaBlend(dc, x, y, clockWidth, clockHeight, buffer.GetDC(), 0, 0, clockWidth, clockHeight, blend);
    }
    BitBlt(item.hDC, area.left, area.top, width, height, dc, 0, 0, SRCCOPY);
}

void CPreviewPainter::PaintStrip(const DRAWITEMSTRUCT& item, HWND taskbar, int itemWidth, int itemHeight,
                                 const std::function<void(HDC strip, int x, int y, HTHEME theme)>& draw)
{
    const RECT& area = item.rcItem;
    int width = area.right - area.left, height = area.bottom - area.top;
    RECT bar = {};
    GetClientRect(taskbar, &bar);
    bool horizontal = bar.bottom < bar.right;
    int stripWidth = horizontal ? width : bar.right;
    int stripHeight = horizontal ? bar.bottom : height;
    CBitmap canvas, strip;
    if (stripWidth < 1)
        stripWidth = 1;
    if (stripHeight < 1)
        stripHeight = 1;
    if (!canvas.Create(width, height) || !strip.Create(stripWidth, stripHeight))
        return;
    HTHEME theme = m_styles ? m_styles->OpenThemeIfActive(item.hwndItem, L"TASKBAR") : nullptr;
    IThemeApi& api = m_styles ? m_styles->Api() : NoThemeApi();
    PaintTaskbarBackground(strip, taskbar, theme, api);
    int x = horizontal ? stripWidth - kEndGap - itemWidth : (stripWidth - itemWidth) / 2;
    int y = horizontal ? (stripHeight - itemHeight) / 2 : stripHeight - kEndGap - itemHeight;
    draw(strip.GetDC(), x, y, theme);

    HDC dc = canvas.GetDC();
    HBRUSH desktop = GetSysColorBrush(COLOR_DESKTOP);
    RECT after;
    if (horizontal) {
        int top = (height - stripHeight) / 2;
        Fill(dc, 0, 0, width, top, desktop);
        BitBlt(dc, 0, top, stripWidth, stripHeight, strip.GetDC(), 0, 0, SRCCOPY);
        SetRect(&after, 0, top + stripHeight, width, height);
    } else {
        int left = (width - stripWidth) / 2;
        Fill(dc, 0, 0, left, height, desktop);
        BitBlt(dc, left, 0, stripWidth, stripHeight, strip.GetDC(), 0, 0, SRCCOPY);
        SetRect(&after, left + stripWidth, 0, width, height);
    }
    if (after.right > after.left && after.bottom > after.top) {
        if (!theme || FAILED(api.DrawThemeParentBackground(item.hwndItem, dc, &after)))
            FillRect(dc, &after, GetSysColorBrush(COLOR_BTNFACE));
    }
    if (m_styles)
        m_styles->CloseTheme(&theme);
    BitBlt(item.hDC, area.left, area.top, width, height, dc, 0, 0, SRCCOPY);
}

void CPreviewPainter::RebuildPanel(const SettingsBlock& settings, const ClockRecord* clocks, int count,
                                   const ClockContext& context)
{
    m_panel.Clear();
    if (count < 0 || !clocks)
        count = 0;
    if (count > kMaxClocks)
        count = kMaxClocks;
    m_clockCopies.assign(clocks, clocks + count);
    // the alarms stay with the settings' own records
    for (ClockRecord& copy : m_clockCopies) {
        copy.alarms.raw = 0;
        copy.alarmCount = 0;
    }
    m_copies = TrayCopies();
    m_copies.settings = settings;
    m_copies.settings.clockCount = (uint32_t)count;
    m_copies.clocks = m_clockCopies.empty() ? nullptr : m_clockCopies.data();
    m_copies.clockRecords = (uint32_t)count;
    m_environment.context = context;
    m_environment.styles = m_styles;
    m_panel.SetEnvironment(&m_environment);
    m_panel.SetClockSource(m_now);
    m_panel.Rebuild(m_copies);
    m_taskbarSize = {-1, -1};
}

bool CPreviewPainter::RedrawPanel(HWND control, CPreviewClock& preview, bool force)
{
    HWND taskbar = Taskbar();
    if (!m_panel.Count() || !taskbar || !control)
        return false;
    RECT bar = {};
    GetClientRect(taskbar, &bar);
    bool horizontal = bar.bottom < bar.right;
    int edges = horizontal ? kEdgeLeft : kEdgeTop;
    RefreshWallpaper(control, preview);
    CGraphics* skin = m_panel.Object(0)->GetSkin();
    if (IsBuiltInLook(skin)) {
        skin->SetTextColor(kDefaultColor);
        skin->SetBackColor(kNoColor);
    }
    if (!m_panel.Tick(force) && !force)
        return false;
    m_taskbarSize = {bar.right, bar.bottom};
    HTHEME theme = m_styles ? m_styles->OpenThemeIfActive(control, L"TASKBAR") : nullptr;
    int width, height;
    GetPreviewPanelSize(bar, theme != nullptr, &width, &height);
    HDC dc = GetDC(control);
    m_panel.Layout(dc, theme, width, height, horizontal, edges);
    ReleaseDC(control, dc);
    if (m_styles)
        m_styles->CloseTheme(&theme);
    ++m_redraws;
    InvalidateRect(control, nullptr, FALSE);
    return true;
}

void CPreviewPainter::PaintPanel(const DRAWITEMSTRUCT& item, CPreviewClock& preview, const WCHAR* noClocks)
{
    const RECT& area = item.rcItem;
    HWND taskbar = Taskbar();
    if (!m_panel.Count() || !taskbar) {
        FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
        if (!m_panel.Count() && noClocks && noClocks[0]) {
            RECT text = area;
            int mode = SetBkMode(item.hDC, TRANSPARENT);
            COLORREF color = SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(item.hDC, noClocks, -1, &text, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK);
            SetTextColor(item.hDC, color);
            SetBkMode(item.hDC, mode);
        }
        return;
    }
    RECT bar = {};
    GetClientRect(taskbar, &bar);
    if (bar.right != m_taskbarSize.cx || bar.bottom != m_taskbarSize.cy)
        RedrawPanel(item.hwndItem, preview, true);
    RECT extent = m_panel.GetRect();
    int panelWidth = extent.right - extent.left, panelHeight = extent.bottom - extent.top;

    // the built-in looks take the text colour of the taskbar's style
    std::vector<SavedColours> saved;
    for (int i = 0; i < m_panel.Count(); ++i) {
        CGraphics* skin = m_panel.Object(i)->GetSkin();
        bool known = false;
        for (const SavedColours& s : saved)
            known = known || s.skin == skin;
        if (!skin || known)
            continue;
        saved.push_back({skin, skin->GetTextColor(), skin->GetBackColor()});
        TakeTaskbarColours(skin, item.hwndItem, m_styles);
        skin->SetBackColor(saved.back().back);
    }
    PaintStrip(item, taskbar, panelWidth, panelHeight, [&](HDC strip, int x, int y, HTHEME theme) {
        CBitmap part;
        if (panelWidth <= 0 || panelHeight <= 0 || !part.Create(panelWidth, panelHeight))
            return;
        // the panel draws over what lies under it at its own origin
        BitBlt(part.GetDC(), 0, 0, panelWidth, panelHeight, strip, x, y, SRCCOPY);
        m_panel.Paint(nullptr, part.GetDC(), theme, theme != nullptr);
        BitBlt(strip, x, y, panelWidth, panelHeight, part.GetDC(), 0, 0, SRCCOPY);
    });
    for (const SavedColours& s : saved) {
        s.skin->SetTextColor(s.text);
        s.skin->SetBackColor(s.back);
    }
}
