// The live previews of the settings pages in their owner-drawn control:
// the one clock being edited, on the desktop over the wallpaper or at the
// end of a picture of the taskbar, and the taskbar page's whole clock
// panel. They imitate the real taskbar's size, orientation and look and
// are laid out again only when the shown second or the taskbar's size
// changed. GUI thread only.
#pragma once

#include <functional>
#include <vector>

#include <windows.h>

#include "graphics/clock/Clock.h"
#include "graphics/records/ClockRecord.h"
#include "graphics/records/SettingsBlock.h"
#include "settings/previews/WallpaperCapture.h"
#include "taskbar/panel/ClockPanel.h"
#include "taskbar/tray/TrayCopies.h"

class CPreviewClock;
class CVisualStyles;

class CPreviewPainter {
public:
    // `styles` (null: plain GDI) outlives the painter.
    explicit CPreviewPainter(CVisualStyles* styles);
    ~CPreviewPainter();
    CPreviewPainter(const CPreviewPainter&) = delete;
    CPreviewPainter& operator=(const CPreviewPainter&) = delete;

    // Seams for tests: the UTC time, the wallpaper's path and the taskbar
    // window (by default the system's "Shell_TrayWnd").
    void SetClockSource(void (*now)(SYSTEMTIME* utc));
    void SetWallpaperSource(WallpaperPathFn path) { m_wallpaper.SetPathSource(path); }
    void SetTaskbarFinder(std::function<HWND()> find) { m_findTaskbar = std::move(find); }

    // The single clock of the desktop, formats and background pages, drawn
    // into `control`. Lays the clock out and invalidates the control when
    // forced or when the shown second changed; true when it did.
    bool RedrawClock(HWND control, CPreviewClock& preview, bool force);
    // WM_DRAWITEM of that control.
    void PaintClock(const DRAWITEMSTRUCT& item, CPreviewClock& preview);

    // The taskbar page's panel: copies of `clocks` (count records, alarms
    // dropped) shown as the taskbar would show them under `settings`.
    // `context` outlives the panel's clocks.
    void RebuildPanel(const SettingsBlock& settings, const ClockRecord* clocks, int count,
                      const ClockContext& context);
    int PanelClocks() const { return m_panel.Count(); }
    const CClockPanel& Panel() const { return m_panel; }
    bool RedrawPanel(HWND control, CPreviewClock& preview, bool force);
    // WM_DRAWITEM of the taskbar page's control; `noClocks` is written at
    // its top left when the panel is empty.
    void PaintPanel(const DRAWITEMSTRUCT& item, CPreviewClock& preview, const WCHAR* noClocks);

    // Layouts done by the redraws so far.
    int Redraws() const { return m_redraws; }

private:
    HWND Taskbar() const;
    bool SecondChanged(bool force);
    void RefreshWallpaper(HWND control, CPreviewClock& preview);
    // The strip of the taskbar as long as the control, with `draw` painting
    // the clocks into it at its far end (x, y of that end's box), blitted
    // onto the item with the rest of the control filled.
    void PaintStrip(const DRAWITEMSTRUCT& item, HWND taskbar, int itemWidth, int itemHeight,
                    const std::function<void(HDC strip, int x, int y, HTHEME theme)>& draw);

    CVisualStyles* m_styles;
    CWallpaperCapture m_wallpaper;
    std::function<HWND()> m_findTaskbar;
    void (*m_now)(SYSTEMTIME* utc);
    int32_t m_dateKey;
    int32_t m_second;
    SIZE m_taskbarSize;
    int m_redraws;

    PanelEnvironment m_environment;
    TrayCopies m_copies;
    std::vector<ClockRecord> m_clockCopies;
    CClockPanel m_panel;
};
