// The timer panel of the real program beside a timer clock of the stand-in
// taskbar: where it opens, how it looks, what its buttons do and when it goes.
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

const wchar_t kCaption[] = L"Egg timer";

HWND PanelOf(DWORD pid)
{
    return FindTitledWindow(pid, kLayeredWindowClass, kCaption);
}

struct PanelRun {
    CStandinTaskbar taskbar;
    CDesktopProgram program;
    DWORD pid = 0;
    HWND main = nullptr;

    // A plain clock, then a stopped ten-minute countdown, both in the taskbar.
    bool Start()
    {
        if (FindWindowW(kMainWindowClass, nullptr) || !program.Ready() || !program.AddProgramFile(L"tbuttons.png"))
            return false;
        program.WriteClock(1, PlainClock(L"Plain"));
        program.WriteClock(2, {L"enabled=1", L"timer_mode=-1", L"skin=Standard System Clock", L"duration=600",
                               L"remaining=600000", L"running=0", std::wstring(L"prefix=") + kCaption});
        if (!taskbar.Start())
            return false;
        pid = program.StartProgram(L"");
        if (!pid || !taskbar.WaitAttached(kProgramWaitMs))
            return false;
        main = FindWindowW(kMainWindowClass, nullptr);
        // the tray clock knows both clocks once it has drawn them
        return main && PumpUntil([&] { return Query(taskbar.clock, UM_TRAYCLOCKPOPUPPOS, 2, MAKELPARAM(10, 10)) != 0; },
                                 kProgramWaitMs);
    }
    // The mouse over the timer clock's button, as the tray clock reports it.
    HWND Open()
    {
        Query(main, UM_TRAYCLOCKMOUSE + 1, WM_MOUSEMOVE, (LPARAM)taskbar.clock);
        HWND panel = nullptr;
        PumpUntil([&] { return (panel = PanelOf(pid)) != nullptr && IsWindowVisible(panel); }, 5000);
        return panel;
    }
    ~PanelRun()
    {
        if (program.Ready() && pid)
            program.ExitProgram();
    }
};

// Pixels of `rgb` (w x h, RGB) within `box` that are nearly white.
int WhitePixels(const std::vector<uint8_t>& rgb, int width, const RECT& box)
{
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
            count += p[0] > 235 && p[1] > 235 && p[2] > 235;
        }
    return count;
}

}  // namespace

TEST(TimerPanelProcess, BesideTheTrayTimerItStartsTheTimerAndGoesWhenTheMouseHasLeft)
{
    PanelRun run;
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(0, Query(run.main, UM_QUERYCLOCKBUSY));

    HWND panel = run.Open();
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ(1, Query(run.main, UM_QUERYCLOCKBUSY));
    DWORD exStyle = (DWORD)GetWindowLongPtrW(panel, GWL_EXSTYLE);
    DWORD wanted = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED;
    EXPECT_EQ(exStyle & wanted, wanted);
    RECT rect;
    GetWindowRect(panel, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    // where the tray clock puts a popup of that size
    LRESULT at = Query(run.taskbar.clock, UM_TRAYCLOCKPOPUPPOS, 2, MAKELPARAM(width, height));
    POINT expected = {(short)LOWORD(at), (short)HIWORD(at)};
    ClientToScreen(run.taskbar.clock, &expected);
    EXPECT_EQ(expected.x, rect.left);
    EXPECT_EQ(expected.y, rect.top);

    // the shipped buttons: 3 x 2 cells; start on the left, reset beside it
    RgbPicture buttons;
    ASSERT_TRUE(ReadPngPicture(std::wstring(TL_PROGRAM_FOLDER) + L"tbuttons.png", &buttons));
    int cellWidth = buttons.width / 3, cellHeight = buttons.height / 2;
    EXPECT_EQ(width, 2 * cellWidth + 12);
    std::vector<uint8_t> rgb;
    RECT start = {4, 4, 4 + cellWidth, 4 + cellHeight}, reset = {8 + cellWidth, 4, 8 + 2 * cellWidth, 4 + cellHeight};
    // the start glyph is opaque white in the image: it shows as such whatever lies below
    PumpUntil([&] {
        rgb = GrabScreenRgb(rect);
        return !rgb.empty() && WhitePixels(rgb, width, start) > 20;
    }, 3000);
    ASSERT_FALSE(rgb.empty());
    WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"timer_panel.png", width, height, 3, rgb.data());
    int startWhite = WhitePixels(rgb, width, start), resetWhite = WhitePixels(rgb, width, reset);
    EXPECT_GT(startWhite, 20);
    EXPECT_GT(resetWhite, 20);
    // the tiles are the image's: its white pixels in the start cell, row 0
    int imageWhite = 0;
    for (int y = 0; y < cellHeight; ++y)
        for (int x = 2 * cellWidth; x < 3 * cellWidth; ++x)
            imageWhite += (buttons.At(x, y) & 0xF0F0F0) == 0xF0F0F0;
    EXPECT_NEAR(startWhite, imageWhite, imageWhite / 4 + 2);

    // down and up on start: the timer runs, and the panel closed
    PostMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4 + cellWidth / 2, 4 + cellHeight / 2));
    PostMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(4 + cellWidth / 2, 4 + cellHeight / 2));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(panel); }, 5000));
    PostMessageW(run.main, UM_SAVESTATE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return run.program.ClockKey(2, L"running") == L"1"; }, 5000));
    EXPECT_EQ(0, Query(run.main, UM_QUERYCLOCKBUSY));

    // the mouse leaving the panel closes it at once
    panel = run.Open();
    ASSERT_NE(nullptr, panel);
    PostMessageW(panel, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(panel); }, 1000));

    // the mouse is on neither the panel nor the clock: the tray clock says so and the panel goes
    panel = run.Open();
    ASSERT_NE(nullptr, panel);
    DWORD opened = GetTickCount();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(panel); }, 2500));
    EXPECT_LT(GetTickCount() - opened, 2000u);
    EXPECT_EQ(0, Query(run.main, UM_QUERYCLOCKBUSY));
}
