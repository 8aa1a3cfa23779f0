#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "graphics/calendar/CalendarGrid.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/Graphics.h"
#include "graphics/window/Window.h"
#include "taskbar/tooltip/Tooltip.h"
#include "tests/support/FakeLanguage.h"
#include "tests/support/PngFile.h"
#include "tests/support/TestFiles.h"

namespace {

SYSTEMTIME g_now;
void FakeNow(SYSTEMTIME* utc)
{
    *utc = g_now;
}

const COLORREF kBack = RGB(250, 250, 240);
const COLORREF kText = RGB(10, 20, 30);
const COLORREF kTodayBack = RGB(255, 200, 0);

uint32_t Rgb(COLORREF c)
{
    return (uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c);
}

TooltipStyle TestStyle()
{
    TooltipStyle s = {};  // no font name: the stock GUI font
    s.background = kBack;
    s.titleColor = s.labelColor = s.rulerColor = RGB(1, 2, 3);
    s.dayBackground = kNoColor;
    s.dayColor = kText;
    s.grayColor = RGB(150, 150, 151);
    s.saturdayColor = s.sundayColor = RGB(0, 120, 10);
    s.borderColor = kNoColor;
    s.todayColor = RGB(0, 0, 250);
    s.todayBackground = kTodayBack;
    s.todayBorderColor = kTodayBack;
    s.selectionBorderWidth = 1;
    s.daySpacing = 2;
    s.titlePadding = 2;
    s.dayPadding = 3;
    return s;
}

// A tooltip over clock copies of its own, at a fixed time: Wednesday 17 June 2026.
struct TooltipHost {
    CFakeLanguage language;
    TrayCopies copies = {};
    std::vector<ClockRecord> records = std::vector<ClockRecord>(kMaxClocks);
    TooltipEnvironment environment = {};
    CTooltip tooltip{language};

    explicit TooltipHost(uint32_t options)
    {
        g_now = MakeTime(2026, 6, 17, 10, 30, 0);
        copies.clocks = records.data();
        copies.settings.options = kOptTooltips | options;
        environment.copies = &copies;
        environment.language = &language;
        environment.now = FakeNow;
        tooltip.SetEnvironment(&environment);
    }
    ~TooltipHost() { tooltip.Destroy(); }

    void AddClock(const wchar_t* caption, uint32_t kind = 0, int hour = 0)
    {
        ClockRecord& r = records[copies.clockRecords++];
        r.id = copies.clockRecords;
        r.kind = kind;
        r.enabled = 1;
        CopyFixed(r.caption, FIELD_WIDTH(r.caption), caption);
        CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), L"Test Zone");
        // west of UTC by whole hours, no daylight saving
        r.zone.tzi.Bias = hour * 60;
        copies.settings.clockCount = copies.clockRecords;
    }

    bool Show()
    {
        if (!RegisterWindowClasses(GetModuleHandleW(nullptr)) || !tooltip.CreateTooltip())
            return false;
        tooltip.ApplySettings(TestStyle());
        tooltip.SetClock(0);
        RECT desktop;
        GetClientRect(GetDesktopWindow(), &desktop);
        anchor = {desktop.right - 120, desktop.bottom - 30, desktop.right - 20, desktop.bottom};
        tooltip.ShowAt(anchor, true);
        GdiFlush();
        return tooltip.IsShown();
    }
    // Top-down pixel of the window's picture.
    uint32_t At(int x, int y)
    {
        CDibSection& b = tooltip.BackBuffer();
        return b.GetPixel(x, b.GetHeight() - 1 - y) & 0xFFFFFF;
    }
    void Save(const wchar_t* name)
    {
#ifdef TL_SHOTS_FOLDER
        CDibSection& b = tooltip.BackBuffer();
        int w = b.GetWidth(), h = b.GetHeight();
        std::vector<uint8_t> rgb;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                uint32_t p = At(x, y);
                rgb.push_back((uint8_t)(p >> 16));
                rgb.push_back((uint8_t)(p >> 8));
                rgb.push_back((uint8_t)p);
            }
        }
        WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + name, w, h, 3, rgb.data());
#else
        (void)name;
#endif
    }

    RECT anchor = {};
};

int TextHeight(const wchar_t* text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size.cy;
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    }
}

TEST(TooltipWindow, CalendarAboveTheCaptionAtABottomTaskbar)
{
    TooltipHost host(kOptTooltipCalendar);
    host.AddClock(L"R&D");
    ASSERT_TRUE(host.Show());
    host.Save(L"tooltip_calendar.png");
    // the calendar shows the date: no date line under the caption
    EXPECT_STREQ(L"R&&D", host.tooltip.Text());

    RECT r;
    GetWindowRect(host.tooltip.GetHandle(), &r);
    SIZE size = host.tooltip.MeasureLayout();
    EXPECT_EQ(size.cx, r.right - r.left);
    EXPECT_EQ(size.cy, r.bottom - r.top);
    EXPECT_EQ(host.anchor.top, r.bottom);
    EXPECT_EQ((host.anchor.left + host.anchor.right) / 2, r.right);
    int w = r.right - r.left, h = r.bottom - r.top;
    ASSERT_EQ(w, host.tooltip.BackBuffer().GetWidth());

    // one-pixel frame, then the background
    uint32_t frame = Rgb(GetSysColor(COLOR_ACTIVEBORDER));
    ASSERT_NE(frame, Rgb(kBack));
    for (POINT p : {POINT{0, 0}, POINT{w - 1, h / 2}, POINT{w / 2, h - 1}, POINT{0, h - 1}}) {
        SCOPED_TRACE(testing::Message() << p.x << ", " << p.y);
        EXPECT_EQ(frame, host.At(p.x, p.y));
    }
    EXPECT_EQ(Rgb(kBack), host.At(1, h / 2));
    EXPECT_EQ(Rgb(kBack), host.At(w - 2, 1));
    // opaque everywhere: the screen composes a layered window by its alpha bytes
    CDibSection& buffer = host.tooltip.BackBuffer();
    int transparent = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            transparent += (buffer.GetPixel(x, y) >> 24) != 0xFF;
    EXPECT_EQ(0, transparent);

    // today's cell (Sunday first: 17 June in row 2, column 3) in the calendar's corner
    const Calendar::CCalendarWidget& calendar = host.tooltip.CalendarWidget();
    Calendar::CGridLayout layout = calendar.GetLayout();
    int x0, y0;
    layout.BlockOrigin(0, 0, &x0, &y0);
    Calendar::Box today = layout.CellBox(2, 3);
    int left = CTooltip::kMargin + x0, top = CTooltip::kMargin + y0;
    int midY = top + (today.top + today.bottom) / 2;
    EXPECT_EQ(Rgb(kTodayBack), host.At(left + today.left + 2, midY));
    EXPECT_NE(Rgb(kTodayBack), host.At(left + layout.CellBox(2, 2).left + 2, midY));

    // the caption under the calendar, in the text colour
    int textPixels = 0;
    int calendarWidth, calendarHeight;
    const_cast<Calendar::CCalendarWidget&>(calendar).GetSize(&calendarWidth, &calendarHeight);
    for (int y = calendarHeight + 2 * CTooltip::kMargin; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
            textPixels += host.At(x, y) == Rgb(kText);
    EXPECT_GT(textPixels, 0);
}

TEST(TooltipWindow, DateLineWithoutTheCalendarAndBelowATopTaskbar)
{
    TooltipHost host(0);
    host.AddClock(L"Pune");
    ASSERT_TRUE(RegisterWindowClasses(GetModuleHandleW(nullptr)));
    ASSERT_TRUE(host.tooltip.CreateTooltip());
    host.tooltip.ApplySettings(TestStyle());
    host.tooltip.SetClock(0);
    RECT anchor = {300, 0, 400, 28};
    host.tooltip.ShowAt(anchor, true);
    ASSERT_TRUE(host.tooltip.IsShown());
    host.Save(L"tooltip_date.png");
    std::wstring text = host.tooltip.Text();
    EXPECT_EQ(0u, text.find(L"Pune\n"));
    EXPECT_NE(std::wstring::npos, text.find(L"2026"));
    RECT r;
    GetWindowRect(host.tooltip.GetHandle(), &r);
    EXPECT_EQ(28, r.top);
    EXPECT_EQ(350, r.right);
    // two lines of text and the margins
    EXPECT_GE(r.bottom - r.top, 2 * TextHeight(L"Pune") + 2 * CTooltip::kMargin);
}

TEST(TooltipWindow, TableLeavesTimersOutOneRowPerClock)
{
    TooltipHost host(kOptOtherTooltip);
    host.AddClock(L"Pune");
    host.AddClock(L"Lap", kClockTimer);
    host.AddClock(L"Lima", 0, 5);
    ASSERT_TRUE(host.Show());
    host.Save(L"tooltip_table.png");
    RECT r;
    GetWindowRect(host.tooltip.GetHandle(), &r);
    EXPECT_EQ(2 * TextHeight(L"1Wqlj") + 2 * CTooltip::kMargin, r.bottom - r.top);
}

TEST(TooltipWindow, HideTimerOnlyWhileShown)
{
    TooltipHost host(0);
    host.AddClock(L"Pune");
    ASSERT_TRUE(host.Show());
    EXPECT_EQ(GetDoubleClickTime(), host.tooltip.HideDelay());
    host.tooltip.StartHideTimer(100);
    PumpFor(30);
    EXPECT_TRUE(host.tooltip.IsShown());
    PumpFor(600);
    EXPECT_FALSE(host.tooltip.IsShown());
    EXPECT_EQ(-1, host.tooltip.ClockIndex());

    // a hidden tooltip starts no timer: a later show is not cut short
    host.tooltip.StartHideTimer(50);
    host.tooltip.SetClock(0);
    host.tooltip.ShowAt(host.anchor, true);
    PumpFor(300);
    EXPECT_TRUE(host.tooltip.IsShown());
}

}  // namespace
