// A month calendar painted into a host's DC: one or more months with a
// title, day names, optional week numbers, today highlighted, four
// navigation buttons and an optional "Today is" line. It has no window: the
// host gives it a DC and a rectangle, forwards messages and repaints when
// HandleMessage says so. GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/calendar/CalendarGrid.h"
#include "graphics/image/Bitmap.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Handles.h"
#include "graphics/time/ZoneTime.h"

class CPixelBuffer;
class ILanguageStrings;

namespace Calendar {

// Flags the host sets.
const DWORD kShowWeekNumbers = 1u << 0;
const DWORD kShowTodayLine = 1u << 1;
const DWORD kWheelOverWidgetOnly = 1u << 2;

// Flags of DrawAlignedText; without them the text sits at the top left.
const UINT kAlignCenter = 1;
const UINT kAlignRight = 2;
const UINT kAlignMiddle = 4;
const UINT kAlignBottom = 8;

// One line of text placed in `rect` with the DC's font, colour and mode.
void DrawAlignedText(HDC dc, const WCHAR* text, const RECT& rect, UINT flags);

// The navigation buttons of the language library, when no image file replaces them.
const WORD kNavButtonsBitmap = 218;
// The "Today is " prefix of the language library.
const UINT kTodayPrefixString = 274;

// The shared table of abbreviated day names, Sunday first.
const int kDayNameChars = 32;
void LoadDayNames(LCID lcid);
// "" before LoadDayNames; `weekday` 0 = Sunday.
const WCHAR* GetDayName(int weekday);

class CCalendarWidget {
public:
    // `language` (the date texts and their locale) outlives the widget;
    // `today` is the host's local date.
    CCalendarWidget(const ILanguageStrings& language, const SYSTEMTIME& today);
    CCalendarWidget(const CCalendarWidget&) = delete;
    CCalendarWidget& operator=(const CCalendarWidget&) = delete;

    // The virtual operations, in this order for hosts that draw their own cells.
    // Measures cells and titles on the DC.
    virtual void MeasureCell();
    // Into the DC's current pen, brush and text colour.
    virtual void DrawDay(const SYSTEMTIME& date, const RECT& cell, bool hideNumber);
    virtual void DrawWeekNumber(const SYSTEMTIME& date, const RECT& rect, bool hide);
    virtual void DrawButtons(int pressed, int hover);
    virtual void DrawToday();
    virtual ~CCalendarWidget();
    // 1 when the message was taken and the widget invalidated on `window`
    // (the host repaints), else 0. Coordinates are `window`'s client ones.
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Colours of kDefaultColor become system colours; empty formats the defaults.
    void SetStyle(const TooltipStyle& style);
    const TooltipStyle& GetStyle() const { return m_style; }
    void SetToday(const SYSTEMTIME& today);
    // Shows today's month.
    void ShowToday();
    // Not owned; used for measuring and painting.
    void SetDC(HDC dc) { m_dc = dc; }
    // The text before the date of the "Today is" line (cut to 19 characters).
    void SetTodayPrefix(const WCHAR* prefix);

    void SetRect(const RECT& rect) { m_rect = rect; }
    const RECT& GetRect() const { return m_rect; }
    void SetMonths(int across, int down);
    void SetFlags(DWORD flags) { m_flags = flags; }
    DWORD GetFlags() const { return m_flags; }
    // 0 = Sunday .. 6 = Saturday.
    void SetFirstDay(int firstDay) { m_firstDay = NormalWeekday(firstDay); }
    int GetFirstDay() const { return m_firstDay; }
    // The week numbering rule of the settings (1 = first week with four days).
    void SetWeekNumbering(uint32_t numbering) { m_weekNumbering = numbering; }

    // Measures on the DC; 0 x 0 without one.
    void GetSize(int* width, int* height);
    int GetTitleHeight() const;
    // One month block.
    void GetMonthSize(int* width, int* height) const;
    // The "Today is" line in the DC's coordinates; empty without it.
    RECT GetTodayRect() const;
    // The geometry as last measured, relative to the rectangle's corner.
    CGridLayout GetLayout() const { return CGridLayout(Metrics()); }
    // Grid column of the 1st of `date`'s month.
    int GetFirstColumn(const SYSTEMTIME& date) const;
    // Day 1 of the first month shown.
    const SYSTEMTIME& GetShownMonth() const { return m_shownMonth; }
    const SYSTEMTIME& GetToday() const { return m_today; }
    const WCHAR* GetTodayText() const { return m_todayText; }

    void Paint();

    // A copy of `bitmap` (not taken over; no DC may hold it): pixels equal
    // to its bottom-left pixel become transparent. False when it cannot be read.
    bool SetButtonsBitmap(HBITMAP bitmap);
    // A copy of a 32-bit image with premultiplied alpha, as it is.
    bool SetButtonsImage(const CPixelBuffer& image);

private:
    HFONT DayFont() const;
    HFONT TitleFont() const;
    HFONT WeekFont() const;
    GridMetrics Metrics() const;
    void MoveMonths(int months);
    // The DC rectangle of a box relative to the widget, or to a block's corner.
    RECT ToRect(const Box& box, int x = 0, int y = 0) const;
    void Invalidate(HWND window, const Box& box) const;
    void PaintMonth(const SYSTEMTIME& month, int x, int y, bool severalMonths);
    void RebuildTodayText();
    LRESULT HandleMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Invalidates what changes when the buttons' states change.
    void SetButtonStates(HWND window, int pressed, int hover);

    int m_hover;
    int m_pressed;
    HDC m_dc;
    TooltipStyle m_style;
    SYSTEMTIME m_today;
    SYSTEMTIME m_shownMonth;
    SYSTEMTIME m_paintMonth;        // the month PaintMonth draws, for DrawDay
    WCHAR m_todayPrefix[20];
    WCHAR m_todayText[240];
    int m_cellWidth, m_cellHeight;
    SIZE m_dayTextSize;
    int m_weekTextWidth;
    int m_titleTextHeight;
    SIZE m_todayTextSize;
    CGdiObject<HFONT> m_dayFont, m_titleFont, m_weekFont;   // null: the stock GUI font
    CDibSection m_image;
    DWORD m_flags;
    int m_firstDay;
    uint32_t m_weekNumbering;
    RECT m_rect;
    int m_across, m_down;
    const ILanguageStrings& m_language;
};

// The buttons from "nav_btns.png" in `folder` (with a trailing backslash;
// may be null) when it loads, else from bitmap kNavButtonsBitmap of
// `resources` (may be null). False when neither gave an image.
bool LoadNavigationButtons(CCalendarWidget& widget, const WCHAR* folder, HMODULE resources);

}  // namespace Calendar
