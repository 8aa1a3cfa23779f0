// The clock tooltip inside the stand-in taskbar, driven by the real program:
// shown at a hovered clock, hidden some time after the mouse leaves.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/StandinTaskbar.h"
#include "tests/support/TestMessages.h"
#include "tools/standin-taskbar/StandinQueries.h"

namespace {

// The tooltip window of the taskbar's process, its only layered window.
HWND TooltipOf(DWORD pid)
{
    HWND window = FindProcessWindow(pid, kLayeredWindowClass);
    WCHAR title[64] = {};
    GetWindowTextW(window, title, 64);
    return lstrcmpW(title, L"Tempoler Tooltip") == 0 ? window : nullptr;
}

struct TooltipRun {
    CStandinTaskbar taskbar;
    CDesktopProgram program;
    HWND tooltip = nullptr;
    RECT clock = {};

    // The program with one taskbar clock attached to a taskbar at `edge`.
    bool Start(const wchar_t* edge, bool calendar)
    {
        if (FindWindowW(kMainWindowClass, nullptr) || !taskbar.Start(edge) || !program.Ready())
            return false;
        LRESULT ownSize = Query(taskbar.clock, UM_MAINWINDOWREADY);
        program.WriteClock(1, {L"enabled=1", L"zone=UTC", L"timeformat=HH:mm", L"prefix=R&D"});
        program.WriteMainKey(L"tooltips", L"1");
        program.WriteMainKey(L"tooltip_calendar", calendar ? L"1" : L"0");
        if (!program.StartProgram(L""))
            return false;
        if (!PumpUntil([&] {
                LRESULT size = Query(taskbar.clock, UM_MAINWINDOWREADY);
                return size != ownSize && LOWORD(size) > 0 && Query(taskbar.clock, SQ_OWNPROC) == 0;
            }, 20000))
            return false;
        tooltip = TooltipOf(taskbar.Pid());
        GetWindowRect(taskbar.clock, &clock);
        return tooltip != nullptr;
    }
    bool Hover()
    {
        POINT centre = {(clock.right - clock.left) / 2, (clock.bottom - clock.top) / 2};
        PostMessageW(taskbar.clock, WM_MOUSEHOVER, 0, MAKELPARAM(centre.x, centre.y));
        return PumpUntil([&] { return IsWindowVisible(tooltip) != FALSE; }, 5000);
    }
    ~TooltipRun()
    {
        if (program.Ready())
            program.ExitProgram();
    }
};

// Dark pixels of the caption under the calendar on the screen: below the
// today line's mark (the highlight colour), the last thing the calendar
// draws; -1 without the mark.
int CaptionPixels(const RECT& tip, std::vector<uint8_t>* grabbed)
{
    std::vector<uint8_t>& rgb = *grabbed;
    rgb = GrabScreenRgb(tip);
    int width = tip.right - tip.left, height = tip.bottom - tip.top, dark = 0, mark = -1;
    if (rgb.empty())
        return -1;
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
            if (p[0] == GetRValue(highlight) && p[1] == GetGValue(highlight) && p[2] == GetBValue(highlight))
                mark = y;
        }
    if (mark < 0)
        return -1;
    for (int y = mark + 1; y < height - 1; ++y)
        for (int x = 1; x < width - 1; ++x) {
            const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
            dark += p[0] + p[1] + p[2] < 3 * 80;
        }
    return dark;
}

TEST(TrayTooltip, AboveABottomTaskbarsClockUntilTheMouseLeaves)
{
    TooltipRun run;
    ASSERT_TRUE(run.Start(L"bottom", true));
    ASSERT_FALSE(IsWindowVisible(run.tooltip));
    ASSERT_TRUE(run.Hover());
    RECT tip;
    GetWindowRect(run.tooltip, &tip);
    int middleY = (run.clock.top + run.clock.bottom) / 2;
    // its bottom on the clock's top edge, its right edge at the clock's centre
    EXPECT_GE(tip.bottom, run.clock.top);
    EXPECT_LT(tip.bottom, middleY);
    EXPECT_GT(tip.right, run.clock.left);
    EXPECT_LT(tip.right, run.clock.right);
    // a calendar of a month at least: taller than a few lines of text
    EXPECT_GT(tip.bottom - tip.top, 100);
    // taken again until the window has reached the screen
    std::vector<uint8_t> rgb;
    int captionPixels = CaptionPixels(tip, &rgb);
    PumpUntil([&] { return (captionPixels = CaptionPixels(tip, &rgb)) > 10; }, 3000);
    ASSERT_FALSE(rgb.empty());
    WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"tooltip.png", tip.right - tip.left, tip.bottom - tip.top, 3,
                   rgb.data());
    EXPECT_GT(captionPixels, 10);

    PostMessageW(run.taskbar.clock, WM_MOUSELEAVE, 0, 0);
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(IsWindowVisible(run.tooltip));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(run.tooltip); }, 3000));
}

TEST(TrayTooltip, BelowATopTaskbarsClock)
{
    TooltipRun run;
    ASSERT_TRUE(run.Start(L"top", false));
    ASSERT_TRUE(run.Hover());
    RECT tip;
    GetWindowRect(run.tooltip, &tip);
    int middleY = (run.clock.top + run.clock.bottom) / 2;
    EXPECT_LE(tip.top, run.clock.bottom);
    EXPECT_GT(tip.top, middleY);
    // no calendar: the caption and the date line
    EXPECT_LT(tip.bottom - tip.top, 100);
}

}  // namespace
