// The settings program's taskbar preview: the clock object the desktop,
// formats and background pages show their unsaved edits with, the size of
// its panel and the taskbar's background behind it. GUI thread only.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "graphics/clock/Clock.h"
#include "graphics/records/ClockRecord.h"

class CBitmap;
class CGraphics;
class CSkinManager;
class IThemeApi;
struct SettingsBlock;

class CPreviewClock {
public:
    // `skins` and `settings` (the taskbar options) outlive the preview.
    CPreviewClock(CSkinManager& skins, const SettingsBlock& settings);
    ~CPreviewClock();
    CPreviewClock(const CPreviewClock&) = delete;
    CPreviewClock& operator=(const CPreviewClock&) = delete;

    // What the pages fill before they call RebuildPreview.
    ClockRecord& Record() { return m_record; }
    // The taskbar skin the preview draws with (copied, cut to the field).
    void SetSkinName(const WCHAR* name);
    const WCHAR* SkinName() const { return m_skinName; }

    // Builds the clock object for the record and skin; the standard look
    // when that skin cannot be had. False when there is no clock.
    // `context` outlives the clock.
    bool CreatePreviewClock(const ClockContext& context);
    // Deletes the clock object and gives its skin back.
    void DeletePreviewClock();
    CClock* Clock() const { return m_clock; }
    CGraphics* Skin() const { return m_skin; }

    // The captured wallpaper no longer matches the desktop.
    void MarkWallpaperStale() { m_wallpaperStale = true; }
    bool WallpaperStale() const { return m_wallpaperStale; }
    void ClearWallpaperStale() { m_wallpaperStale = false; }

private:
    CSkinManager& m_skins;
    const SettingsBlock& m_settings;
    ClockRecord m_record;
    WCHAR m_skinName[80];
    CGraphics* m_skin;
    CClock* m_clock;
    bool m_wallpaperStale;
};

// After a page changed the preview record: the clock object built again.
bool RebuildPreview(CPreviewClock& preview, const ClockContext& context);

// The preview panel for a taskbar of this client size: half its length and
// its thickness, less the frame a classic taskbar draws; at least 1 x 1.
void GetPreviewPanelSize(const RECT& taskbarClient, bool themed, int* width, int* height);

// Fills the whole bitmap with the background of `taskbar`: with a theme a
// line of the real taskbar stretched (or the theme's taskbar part when the
// taskbar is off screen), without one the button face with a raised edge.
void PaintTaskbarBackground(CBitmap& preview, HWND taskbar, HTHEME theme, IThemeApi& api);
