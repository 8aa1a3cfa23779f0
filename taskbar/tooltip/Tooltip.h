// The clock tooltip: a layered popup in the taskbar's process that shows one
// taskbar clock's caption and date, optionally a month calendar above it,
// or, in the plain form, a table of every clock. The tray clock window shows
// it on a hover and hides it after the mouse leaves. Taskbar GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/calendar/CalendarWidget.h"
#include "graphics/image/Bitmap.h"
#include "graphics/photos/PhotoStore.h"
#include "graphics/system/Handles.h"
#include "graphics/window/Window.h"
#include "taskbar/tooltip/LinkText.h"
#include "taskbar/tooltip/TooltipText.h"
#include "taskbar/tray/TrayCopies.h"

class CClockPanel;
class CUnitNames;
class ILanguageStrings;
class IWebOpener;

// What the tooltip reads; everything outlives the tooltip's window.
struct TooltipEnvironment {
    const TrayCopies* copies;
    const ILanguageStrings* language;
    const CUnitNames* unitNames;    // timer texts; may be null
    HMODULE resources;              // the language library (bitmap 218), may be null
    const WCHAR* folder;            // the program folder with a trailing backslash
    const CClockPanel* panel;       // highlight labels; may be null
    HWND mainWindow;                // photo requests go there; may be null
    const WCHAR* photoRoot;         // the photo store's root; null: the process's
    IWebOpener* shell;              // opens the site's pages
    void (*now)(SYSTEMTIME* utc);   // GetSystemTime unless a test sets another
};

class CTooltip : public CAlphaWindow {
public:
    // The margin around and between the parts, in pixels.
    static constexpr int kMargin = 4;
    static constexpr UINT_PTR kHideTimer = 1;

    explicit CTooltip(const ILanguageStrings& language);
    bool OnMessage(WindowMessage& message) override;
    ~CTooltip() override;
    void Destroy() override;
    // Draws everything into the back buffer and puts it on the screen.
    virtual void Paint(HDC dc);

    // Must be set before Create; `environment` outlives the tooltip.
    void SetEnvironment(const TooltipEnvironment* environment) { m_env = environment; }
    // "Tempoler Tooltip", a top-most layered tool window without a parent.
    bool CreateTooltip();

    int ClockIndex() const { return m_clock; }
    int PhotoCity() const { return m_photoCity; }
    bool IsShown() const;
    void SetClock(int index);
    // Forgets the photo, then chooses one of the clock's city from the store
    // and asks the main window to fetch missing or outdated ones. Returns the
    // city index, -1 when no city was found or photos are not shown.
    int LoadPhoto();
    bool HasPhoto() const { return m_photoCity >= 0 && m_photoBitmap.IsValid(); }
    const RECT& PhotoRect() const { return m_photoRect; }
    const CLinkText& Caption() const { return m_caption; }
    // Measures, places at the taskbar clock `anchor` (screen coordinates),
    // paints and shows.
    void ShowAt(const RECT& anchor, bool horizontal);
    void Hide();
    // While visible, (re)starts the hide timer; else kills it.
    void StartHideTimer(UINT ms);
    void KillHideTimer();
    UINT HideDelay() const { return m_hideDelay; }
    void ApplySettings(const TooltipStyle& style);
    SIZE MeasureLayout();
    void ResetPhoto();
    void CreateHint();
    void ActivateHint(bool on);
    HWND HintWindow() const { return m_hint; }

    const WCHAR* Text() const { return m_text; }
    const Calendar::CCalendarWidget& CalendarWidget() const { return m_calendar; }

private:
    uint32_t Options() const;
    bool ValidClock(int index) const;
    void NowUtc(SYSTEMTIME* utc) const;
    // The shown clock's time, else the computer's local time.
    void ShownTime(SYSTEMTIME* time) const;
    // The table of every clock at (x, y): drawn, or only measured.
    SIZE MeasureText(HDC dc, int x, int y, bool draw);
    void BuildText();
    void OnMouseMove(LPARAM lParam);
    // The site path under a client point: the photo's page or a caption link; null when none.
    const WCHAR* LinkAt(int x, int y) const;
    bool OnClick(LPARAM lParam);
    void OnPhotoReady(WPARAM wParam, LPARAM lParam);
    void RequestPhoto(int city) const;
    PhotoStore Store() const;
    // Photo at the text area's left, the text and the caption beside it; the size of the three.
    SIZE LayoutPhoto(HDC dc, SIZE text, int areaRight);

    int m_clock;
    int m_photoCity;
    UINT_PTR m_hideTimer;
    UINT m_hideDelay;
    HWND m_hint;
    BYTE m_styleAlpha;
    CGdiObject<HFONT> m_font;
    Calendar::CCalendarWidget m_calendar;
    RECT m_calendarRect;
    RECT m_textRect;
    WCHAR m_text[kTooltipTextChars];
    PhotoChoice m_photo;
    CLinkText m_caption;
    WCHAR m_captionFormat[100];
    CBitmap m_photoBitmap;
    RECT m_photoRect;
    COLORREF m_textColor;
    COLORREF m_background;
    HCURSOR m_hand;
    bool m_tracking;
    const TooltipEnvironment* m_env;
};
