#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "graphics/calendar/CalendarGrid.h"
#include "graphics/calendar/CalendarWidget.h"
#include "graphics/image/Bitmap.h"
#include "graphics/image/PixelBuffer.h"
#include "graphics/skin/Graphics.h"
#include "graphics/system/Handles.h"
#include "tests/support/BitmapFixtures.h"
#include "tests/support/FakeLanguage.h"
#include "tests/support/PngFile.h"

using Calendar::Box;
using Calendar::CCalendarWidget;
using Calendar::CGridLayout;
using Calendar::GridMetrics;

namespace {

// Wednesday 17 June 2026; 1 June is a Monday.
const SYSTEMTIME kToday = {2026, 6, 3, 17, 10, 30, 0, 0};

// Colours no system colour and no other field shares (COLORREF 0x00BBGGRR).
const COLORREF kBack = RGB(250, 250, 240);
const COLORREF kDayBack = RGB(230, 240, 250);
const COLORREF kDay = RGB(10, 20, 30);
const COLORREF kGray = RGB(150, 150, 151);
const COLORREF kSaturday = RGB(0, 120, 10);
const COLORREF kSunday = RGB(200, 0, 20);
const COLORREF kLabel = RGB(90, 0, 140);
const COLORREF kTodayBack = RGB(255, 200, 0);
const COLORREF kTodayBorder = RGB(120, 60, 0);
const COLORREF kTodayText = RGB(0, 0, 250);

TooltipStyle TestStyle()
{
    TooltipStyle s = {};     // no font name: the stock GUI font
    s.background = kBack;
    s.titleColor = s.rulerColor = RGB(1, 2, 3);
    s.labelColor = kLabel;
    s.dayBackground = kDayBack;
    s.dayColor = kDay;
    s.grayColor = kGray;
    s.saturdayColor = kSaturday;
    s.sundayColor = kSunday;
    s.borderColor = kNoColor;
    s.todayColor = kTodayText;
    s.todayBackground = kTodayBack;
    s.todayBorderColor = kTodayBorder;
    s.selectionBorderWidth = 1;
    s.monthSpacing = 8;
    s.daySpacing = 2;
    s.titlePadding = 2;
    s.dayPadding = 3;
    return s;
}

// DIB pixels are 0x00RRGGBB; the style's colours are COLORREFs.
uint32_t Rgb(COLORREF c)
{
    return (uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c);
}

// A 4 x 3 button image of 8 x 8 cells, each one opaque colour telling its
// column and state row (row 0 at the top).
uint32_t ButtonColor(int column, int state)
{
    return 0xFF000000u | (uint32_t)(0x40 * (state + 1)) << 16 | (uint32_t)(0x30 * (column + 1)) << 8 | 0x11;
}

void MakeButtonImage(CPixelBuffer& image)
{
    ASSERT_TRUE(MakeBuffer(image, 32, 24, [](int x, int y) { return ButtonColor(x / 8, 2 - y / 8); }));
}

// A widget painting into a DIB at (5, 7).
class CalendarCanvas {
public:
    CalendarCanvas(int across, int down, DWORD flags, const TooltipStyle& style = TestStyle())
        : widget(language, kToday)
    {
        widget.SetFirstDay(0);
        widget.SetMonths(across, down);
        widget.SetFlags(flags);
        widget.SetStyle(style);
    }
    // Measures on a scratch DC, then paints into a DIB of the measured size.
    void Paint()
    {
        CDibSection scratch;
        scratch.Create(1, 1);
        widget.SetDC(scratch.GetDC());
        widget.GetSize(&width, &height);
        dib.Create(width + 10, height + 14);
        widget.SetDC(dib.GetDC());
        widget.SetRect({kLeft, kTop, kLeft + width, kTop + height});
        widget.Paint();
        GdiFlush();
    }
    // At (x, y) of the widget, top-down.
    uint32_t At(int x, int y) const
    {
        return dib.GetPixel(kLeft + x, dib.GetHeight() - 1 - (kTop + y)) & 0xFFFFFF;
    }
    int Count(const Box& box, COLORREF color, int x0 = 0, int y0 = 0) const
    {
        int n = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                n += At(x0 + x, y0 + y) == Rgb(color);
        return n;
    }
    LPARAM Point(int x, int y) const { return MAKELPARAM(kLeft + x, kTop + y); }

    static const int kLeft = 5, kTop = 7;
    CFakeLanguage language;
    CCalendarWidget widget;
    CDibSection dib;
    int width = 0, height = 0;
};

int MonthsFrom(const SYSTEMTIME& from, const SYSTEMTIME& to)
{
    return (to.wYear - from.wYear) * 12 + to.wMonth - from.wMonth;
}

TEST(CalendarGrid, FirstColumnOfTheMonth)
{
    struct Case {
        int weekday, day, firstDay, column;
    } cases[] = {
        {0, 1, 1, 6},      // 1 March 2009, a Sunday, Monday first
        {0, 15, 1, 6},     // the same month from 15 March
        // 7 June 2026, a Sunday; the 1st is a Monday: each first day of the week
        {0, 7, 0, 1},
        {0, 7, 1, 0},
        {0, 7, 2, 6},
        {0, 7, 3, 5},
        {0, 7, 4, 4},
        {0, 7, 5, 3},
        {0, 7, 6, 2},      // Saturday first: was -5, a column left of the grid
        {6, 31, 6, 5},     // 31 January 2026, a Saturday; the 1st a Thursday
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.weekday << " day " << c.day << " first " << c.firstDay);
        EXPECT_EQ(c.column, Calendar::GetFirstColumn(c.weekday, c.day, c.firstDay));
    }
    CFakeLanguage language;
    CCalendarWidget widget(language, kToday);
    widget.SetFirstDay(6);
    EXPECT_EQ(2, widget.GetFirstColumn(SYSTEMTIME{2026, 6, 0, 7, 0, 0, 0, 0}));
}

GridMetrics SampleMetrics()
{
    GridMetrics m = {};
    m.cellWidth = 25;
    m.cellHeight = 21;
    m.titleTextHeight = 13;
    m.imageWidth = 64;
    m.imageHeight = 48;     // three rows of 16-pixel buttons
    m.dayPadding = 4;
    m.titlePadding = 3;
    m.daySpacing = 2;
    m.monthSpacing = 10;
    m.across = 3;
    m.down = 2;
    return m;
}

TEST(CalendarGrid, ButtonsAreOneStateRowHighAndStayInTheTitleRow)
{
    CGridLayout layout(SampleMetrics());
    EXPECT_EQ(16 + 2 * 3, layout.TitleHeight());
    int nameTop = layout.NameBox(0).top;
    for (int i = 0; i < Calendar::kButtonCount; ++i) {
        SCOPED_TRACE(i);
        Box b = layout.ButtonBox(i);
        EXPECT_EQ(16, b.right - b.left);
        EXPECT_EQ(16, b.bottom - b.top);
        EXPECT_EQ(3, b.top);
        EXPECT_LE(b.bottom, nameTop);   // never into the day names
    }
    // 0 and 1 from the left edge, 3 and 2 up to the right one
    EXPECT_EQ(3, layout.ButtonBox(0).left);
    EXPECT_EQ(layout.ButtonBox(0).right, layout.ButtonBox(1).left);
    EXPECT_EQ(layout.Width() - 3, layout.ButtonBox(3).right);
    EXPECT_EQ(layout.ButtonBox(2).right, layout.ButtonBox(3).left);
    EXPECT_EQ(-1, Calendar::HitButton(layout, layout.ButtonBox(0).left + 4, nameTop + 1));
}

TEST(CalendarGrid, SizesOfMonthsAndTheTodayLine)
{
    GridMetrics m = SampleMetrics();
    CGridLayout plain(m);
    EXPECT_EQ(7 * 25 + 6 * 2, plain.BlockWidth());
    EXPECT_EQ(7 * 21 + 6 * 2 + 1 + 22, plain.BlockHeight());
    EXPECT_EQ(3 * plain.BlockWidth() + 2 * 10, plain.Width());
    EXPECT_EQ(2 * plain.BlockHeight() + 10, plain.Height());

    m.weekTextWidth = 12;
    EXPECT_EQ(plain.BlockWidth() + 12 + 2 + 4 + 1, CGridLayout(m).BlockWidth());

    // a short line only adds its strip below the grid
    m = SampleMetrics();
    m.todayLine = true;
    m.todayTextWidth = 100;
    m.todayTextHeight = 13;
    CGridLayout shortLine(m);
    EXPECT_EQ(plain.Width(), shortLine.Width());
    EXPECT_EQ(plain.Height() + 2 + 21, shortLine.Height());
    EXPECT_EQ(0, shortLine.GridOffset());

    // a line wider than one month widens the widget and centres the grid
    m.across = m.down = 1;
    m.todayTextWidth = 400;
    CGridLayout wide(m);
    int line = 13 * 25 / 21 + 2 + 400;
    EXPECT_EQ(line, wide.Width());
    int x, y;
    wide.BlockOrigin(0, 0, &x, &y);
    EXPECT_EQ((line - plain.BlockWidth()) / 2, x);
    EXPECT_EQ(0, y);
    EXPECT_EQ(0, wide.TodayStrip().left);
}

TEST(CalendarWidget, WiderTodayLineCentresTheGrid)
{
    CalendarCanvas narrow(1, 1, Calendar::kShowTodayLine);
    narrow.widget.SetTodayPrefix(L"");
    narrow.Paint();
    CalendarCanvas wide(1, 1, Calendar::kShowTodayLine);
    wide.widget.SetTodayPrefix(L"Today is, at last and for real, ");
    wide.Paint();
    int blockWidth, blockHeight;
    wide.widget.GetMonthSize(&blockWidth, &blockHeight);
    ASSERT_GT(wide.width, blockWidth);
    EXPECT_EQ(narrow.height, wide.height);

    // the first day cell's left edge, scanning its row
    auto firstCell = [](const CalendarCanvas& c) {
        Box cell = c.widget.GetLayout().CellBox(2, 0);
        int y = (cell.top + cell.bottom) / 2;
        for (int x = 0; x < c.width; ++x)
            if (c.At(x, y) == Rgb(kDayBack))
                return x;
        return -1;
    };
    int offset = (wide.width - blockWidth) / 2;
    EXPECT_EQ(wide.widget.GetLayout().GridOffset(), offset);
    ASSERT_GE(firstCell(narrow), 0);
    EXPECT_EQ(firstCell(narrow) + offset, firstCell(wide));
    // and as much grid-free background on the right
    EXPECT_EQ(Rgb(kBack), wide.At(wide.width - offset + 1, blockHeight / 2));
}

TEST(CalendarWidget, TodaysCellAndTheWeekendHeaders)
{
    CalendarCanvas c(1, 1, 0);
    c.Paint();
    CGridLayout layout = c.widget.GetLayout();
    // Sunday first: 1 June in column 1, so 17 June in row 2, column 3
    Box today = layout.CellBox(2, 3);
    int midY = (today.top + today.bottom) / 2;
    EXPECT_EQ(Rgb(kTodayBack), c.At(today.left + 2, midY));
    EXPECT_EQ(Rgb(kTodayBack), c.At(today.right - 3, midY));
    EXPECT_EQ(Rgb(kTodayBorder), c.At((today.left + today.right) / 2, today.top));
    EXPECT_GT(c.Count(today, kTodayText), 0);
    EXPECT_EQ(Rgb(kBack), c.At(today.left - 1, midY));
    EXPECT_EQ(Rgb(kBack), c.At(today.right, midY));
    // the neighbours are plain days
    EXPECT_EQ(Rgb(kDayBack), c.At(layout.CellBox(2, 2).left + 2, midY));
    EXPECT_EQ(0, c.Count(layout.CellBox(2, 2), kTodayBack));

    EXPECT_GT(c.Count(layout.NameBox(0), kSunday), 0);
    EXPECT_GT(c.Count(layout.NameBox(6), kSaturday), 0);
    EXPECT_GT(c.Count(layout.NameBox(3), kLabel), 0);
    EXPECT_EQ(0, c.Count(layout.NameBox(3), kSunday) + c.Count(layout.NameBox(3), kSaturday));
    // weekend days of the month in their colours: 6 and 7 June
    EXPECT_GT(c.Count(layout.CellBox(0, 6), kSaturday), 0);
    EXPECT_GT(c.Count(layout.CellBox(1, 0), kSunday), 0);
}

TEST(CalendarWidget, NoGrayColourHidesOtherMonthsNumbersNotTheirCells)
{
    TooltipStyle style = TestStyle();
    CalendarCanvas gray(1, 1, 0, style);
    gray.Paint();
    style.grayColor = kNoColor;
    CalendarCanvas none(1, 1, 0, style);
    none.Paint();
    CGridLayout layout = none.widget.GetLayout();
    Box may31 = layout.CellBox(0, 0), july1 = layout.CellBox(4, 3), june10 = layout.CellBox(1, 3);
    for (const Box& b : {may31, july1}) {
        SCOPED_TRACE(b.left);
        EXPECT_GT(gray.Count(b, kGray), 0);
        int area = (b.right - b.left) * (b.bottom - b.top);
        // all cell, no text: only its rounded edge may show the background
        EXPECT_GT(none.Count(b, kDayBack), area / 2);
        EXPECT_EQ(area, none.Count(b, kDayBack) + none.Count(b, kBack));
    }
    EXPECT_GT(none.Count(june10, kDay), 0);
}

TEST(CalendarWidget, WeekNumbersOfTheLastRowsHideWithSeveralMonths)
{
    // February 2026 starts on a Sunday: rows 5 and 6 begin on 1 and 8 March
    const SYSTEMTIME february = {2026, 2, 0, 1, 0, 0, 0, 0};
    for (int across : {1, 2}) {
        SCOPED_TRACE(across);
        CalendarCanvas c(across, 1, Calendar::kShowWeekNumbers);
        c.widget.SetToday(february);
        c.widget.ShowToday();
        c.Paint();
        CGridLayout layout = c.widget.GetLayout();
        int x, y;
        layout.BlockOrigin(0, 0, &x, &y);
        EXPECT_GT(c.Count(layout.WeekBox(3), kLabel, x, y), 0);
        for (int row : {4, 5}) {
            SCOPED_TRACE(row);
            int shown = c.Count(layout.WeekBox(row), kLabel, x, y);
            if (across == 1)
                EXPECT_GT(shown, 0);
            else
                EXPECT_EQ(0, shown);
        }
        // March's own numbers (second block, 1 March a Sunday) show there
        if (across == 2) {
            layout.BlockOrigin(0, 1, &x, &y);
            EXPECT_GT(c.Count(layout.WeekBox(0), kLabel, x, y), 0);
        }
    }
}

TEST(CalendarWidget, ButtonsShowTheirStateRows)
{
    CalendarCanvas c(1, 1, 0);
    CPixelBuffer image;
    MakeButtonImage(image);
    ASSERT_TRUE(c.widget.SetButtonsImage(image));
    c.Paint();
    CGridLayout layout = c.widget.GetLayout();
    auto centre = [&](int i) {
        Box b = layout.ButtonBox(i);
        return c.At((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    };
    struct Step {
        UINT message;
        WPARAM keys;
        int button;
        int states[4];
    } steps[] = {
        {WM_MOUSEMOVE, 0, -1, {0, 0, 0, 0}},
        {WM_MOUSEMOVE, 0, 2, {0, 0, 2, 0}},                // hover
        {WM_LBUTTONDOWN, MK_LBUTTON, 1, {0, 1, 0, 0}},     // pressed, hover gone
        {WM_MOUSEMOVE, MK_LBUTTON, 3, {0, 0, 0, 1}},       // dragged onto another
        {WM_LBUTTONUP, 0, 3, {0, 0, 0, 2}},                // left hovered
        {WM_MOUSELEAVE, 0, -1, {0, 0, 0, 0}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "message " << s.message << " button " << s.button);
        Box b = s.button >= 0 ? layout.ButtonBox(s.button) : Box{0, 0, 0, 0};
        int x = s.button >= 0 ? (b.left + b.right) / 2 : c.width / 2;
        int y = s.button >= 0 ? (b.top + b.bottom) / 2 : c.height / 2;
        c.widget.HandleMessage(nullptr, s.message, s.keys, c.Point(x, y));
        c.widget.Paint();
        GdiFlush();
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(ButtonColor(i, s.states[i]) & 0xFFFFFF, centre(i));
        }
    }
}

TEST(CalendarWidget, ButtonsBitmapKeyColourTurnsTransparent)
{
    // a plain screen bitmap: magenta with an 4 x 4 green block in each 8 x 8 cell
    CDibSection source;
    ASSERT_TRUE(MakeDib(source, 32, 24, [](int x, int y) {
        return (x % 8 >= 2 && x % 8 < 6 && y % 8 >= 2 && y % 8 < 6) ? 0xFF00A000u : 0xFFFF00FFu;
    }));
    CBitmap screen;
    ASSERT_TRUE(screen.Create(32, 24));
    BitBlt(screen.GetDC(), 0, 0, 32, 24, source.GetDC(), 0, 0, SRCCOPY);
    {
        // SetButtonsBitmap selects the bitmap into its own DC: take it out of ours
        CUnselectedBitmap out(screen);
        CalendarCanvas c(1, 1, 0);
        ASSERT_TRUE(c.widget.SetButtonsBitmap(screen.GetHandle()));
        c.Paint();
        Box b = c.widget.GetLayout().ButtonBox(1);
        EXPECT_EQ(0x00A000u, c.At(b.left + 4, b.top + 4));
        EXPECT_EQ(Rgb(kBack), c.At(b.left + 1, b.top + 1));
        EXPECT_EQ(Rgb(kBack), c.At(b.right - 1, b.bottom - 1));
    }
}

struct MessageCase {
    const char* name;
    int across, down;
    DWORD flags;
    int movedFirst;         // months moved before the message
    UINT message;
    WPARAM wParam;
    int target;             // 0..3 a button, 4 the today line, 5 outside, 6 below button 0, -1 none
    LRESULT result;
    int months;             // the shown month afterwards, from today's
};

TEST(CalendarWidget, MessagesMoveTheShownMonth)
{
    const int kTodayLine = 4, kOutside = 5, kBelowButton = 6;
    const MessageCase cases[] = {
        {"page down, 2 x 1", 2, 1, 0, 0, WM_KEYDOWN, VK_NEXT, -1, 1, 2},
        {"page up, 3 x 2", 3, 2, 0, 0, WM_KEYDOWN, VK_PRIOR, -1, 1, -6},
        {"left", 1, 1, 0, 0, WM_KEYDOWN, VK_LEFT, -1, 1, -1},
        {"right", 1, 1, 0, 0, WM_KEYDOWN, VK_RIGHT, -1, 1, 1},
        {"up, 3 across", 3, 2, 0, 0, WM_KEYDOWN, VK_UP, -1, 1, -3},
        {"down, 3 across", 3, 2, 0, 0, WM_KEYDOWN, VK_DOWN, -1, 1, 3},
        {"home", 1, 1, 0, 7, WM_KEYDOWN, VK_HOME, -1, 1, 0},
        {"another key", 1, 1, 0, 0, WM_KEYDOWN, 'A', -1, 0, 0},
        {"wheel towards the user", 1, 1, 0, 0, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-120), kOutside, 1, 1},
        {"wheel two notches away", 1, 1, 0, 0, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), kOutside, 1, -2},
        {"wheel outside, over-only flag", 1, 1, Calendar::kWheelOverWidgetOnly, 0, WM_MOUSEWHEEL,
         MAKEWPARAM(0, (WORD)-120), kOutside, 0, 0},
        {"wheel inside, over-only flag", 1, 1, Calendar::kWheelOverWidgetOnly, 0, WM_MOUSEWHEEL,
         MAKEWPARAM(0, (WORD)-120), kTodayLine, 1, 1},
        {"button up, previous year", 1, 1, 0, 0, WM_LBUTTONUP, 0, 0, 1, -12},
        {"button up, previous month", 1, 1, 0, 0, WM_LBUTTONUP, 0, 1, 1, -1},
        {"button up, next month", 1, 1, 0, 0, WM_LBUTTONUP, 0, 2, 1, 1},
        {"button up, next year", 2, 1, 0, 0, WM_LBUTTONUP, 0, 3, 1, 12},
        {"button down only presses", 1, 1, 0, 0, WM_LBUTTONDOWN, MK_LBUTTON, 2, 1, 0},
        {"button up in the day names", 1, 1, 0, 0, WM_LBUTTONUP, 0, kBelowButton, 0, 0},
        {"the today line", 1, 1, Calendar::kShowTodayLine, 5, WM_LBUTTONDOWN, MK_LBUTTON, kTodayLine, 1, 0},
        {"the today line switched off", 1, 1, 0, 5, WM_LBUTTONDOWN, MK_LBUTTON, kTodayLine, 0, 5},
        {"a click elsewhere", 1, 1, Calendar::kShowTodayLine, 0, WM_LBUTTONDOWN, MK_LBUTTON, kOutside, 0, 0},
    };
    CPixelBuffer image;
    MakeButtonImage(image);
    for (const MessageCase& k : cases) {
        SCOPED_TRACE(k.name);
        // measured with the line, so that it has a place also where it is switched off;
        // short enough not to move the grid
        CalendarCanvas c(k.across, k.down, k.flags | Calendar::kShowTodayLine);
        c.widget.SetTodayPrefix(L"");
        ASSERT_TRUE(c.widget.SetButtonsImage(image));
        c.Paint();
        CGridLayout layout = c.widget.GetLayout();
        ASSERT_EQ(0, layout.GridOffset());
        c.widget.SetFlags(k.flags);
        for (int i = 0; i < k.movedFirst; ++i)
            c.widget.HandleMessage(nullptr, WM_KEYDOWN, VK_RIGHT, 0);
        int x = c.width / 2, y = c.height / 2;
        if (k.target >= 0 && k.target < 4) {
            Box b = layout.ButtonBox(k.target);
            x = (b.left + b.right) / 2;
            y = (b.top + b.bottom) / 2;
        } else if (k.target == kTodayLine) {
            Box b = layout.TodayStrip();
            x = (b.left + b.right) / 2;
            y = (b.top + b.bottom) / 2;
        } else if (k.target == kOutside) {
            x = c.width + 40;
            y = -30;
        } else if (k.target == kBelowButton) {
            x = layout.ButtonBox(0).left + 2;
            y = layout.NameBox(0).top + 2;
        }
        EXPECT_EQ(k.result, c.widget.HandleMessage(nullptr, k.message, k.wParam, c.Point(x, y)));
        EXPECT_EQ(k.months, MonthsFrom(kToday, c.widget.GetShownMonth()));
        EXPECT_EQ(1, c.widget.GetShownMonth().wDay);
    }
}

TEST(CalendarWidget, StyleDefaultsAndTodayText)
{
    CFakeLanguage language;
    CCalendarWidget widget(language, kToday);
    TooltipStyle s = {};
    s.background = s.titleColor = s.grayColor = s.todayBackground = kDefaultColor;
    s.dayBackground = kNoColor;
    widget.SetStyle(s);
    const TooltipStyle& got = widget.GetStyle();
    EXPECT_STREQ(L"MMMM yyyy", got.monthFormat);
    EXPECT_NE(L'\0', got.todayFormat[0]);
    EXPECT_EQ(8, got.fontHeight);
    EXPECT_EQ(8, got.titleFontHeight);
    EXPECT_EQ(8, got.weekFontHeight);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), got.background);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), got.titleColor);
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), got.grayColor);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), got.todayBackground);
    EXPECT_EQ(kNoColor, got.dayBackground);

    wcscpy(s.todayFormat, L"d.M.yyyy");
    widget.SetStyle(s);
    EXPECT_STREQ(L"Today is 17.6.2026", widget.GetTodayText());
    widget.SetToday(SYSTEMTIME{2027, 1, 5, 1, 0, 0, 0, 0});
    EXPECT_STREQ(L"Today is 1.1.2027", widget.GetTodayText());
    // SetToday alone leaves the month shown
    EXPECT_EQ(6, widget.GetShownMonth().wMonth);
    widget.ShowToday();
    EXPECT_EQ(2027, widget.GetShownMonth().wYear);
    EXPECT_EQ(1, widget.GetShownMonth().wMonth);
}

#ifdef TL_SHOTS_FOLDER
// Three months with the shipped buttons, for a look in build/shots.
TEST(CalendarWidget, ThreeMonthsShot)
{
    CPixelBuffer buttons;
    ASSERT_TRUE(buttons.LoadPng(TL_PROGRAM_FOLDER L"nav_btns.png"));
    EXPECT_EQ(0, buttons.GetWidth() % 4);
    EXPECT_EQ(0, buttons.GetHeight() % 3);
    CalendarCanvas c(3, 1, Calendar::kShowWeekNumbers | Calendar::kShowTodayLine);
    ASSERT_TRUE(c.widget.SetButtonsImage(buttons));
    c.Paint();
    int w = c.dib.GetWidth(), h = c.dib.GetHeight();
    std::vector<uint8_t> rgb;
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p = c.dib.GetPixel(x, y);
            rgb.push_back((uint8_t)(p >> 16));
            rgb.push_back((uint8_t)(p >> 8));
            rgb.push_back((uint8_t)p);
        }
    }
    ASSERT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"calendar.png", w, h, 3, rgb.data()));
    // the shipped buttons are opaque in their middles, transparent at the corners
    Box b = c.widget.GetLayout().ButtonBox(0);
    EXPECT_NE(Rgb(kBack), c.At((b.left + b.right) / 2, (b.top + b.bottom) / 2));
    EXPECT_EQ(Rgb(kBack), c.At(b.left, b.top));
}

// The resource library's bitmap: the same grid, with the key colour at the bottom-left.
TEST(CalendarWidget, ResourceBitmapOfTheButtons)
{
    CModule library(LoadLibraryExW(TL_RES_EN_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(library);
    CGdiObject<HBITMAP> bitmap((HBITMAP)LoadImageW(library.Get(), MAKEINTRESOURCEW(218), IMAGE_BITMAP, 0, 0,
                                                   LR_CREATEDIBSECTION));
    ASSERT_TRUE(bitmap);
    CalendarCanvas c(1, 1, 0);
    ASSERT_TRUE(c.widget.SetButtonsBitmap(bitmap.Get()));
    c.Paint();
    Box b = c.widget.GetLayout().ButtonBox(3);
    EXPECT_EQ(16, b.bottom - b.top);
    EXPECT_NE(Rgb(kBack), c.At((b.left + b.right) / 2, (b.top + b.bottom) / 2));
    EXPECT_EQ(Rgb(kBack), c.At(b.left, b.bottom - 1));
}
#endif

}  // namespace
