// The desktop clock windows of the real program. With /nh there is no
// taskbar hook, so every enabled clock goes to the desktop.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "tests/support/DesktopProgram.h"

namespace {

RECT WorkArea()
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// The centre as the program saves it.
POINT Centre(const RECT& r)
{
    return {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
}

}  // namespace

// Three clocks without saved places stack up from the work area's corner;
// their on-top keys and group decide WS_EX_TOPMOST; the main window hides,
// shows and counts them.
TEST(DesktopClocks, DefaultStackStylesAndTheMainWindowsMessages)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    program.WriteClock(1, PlainClock(L"First"));
    // the group's first member gives its on-top to the next
    program.WriteClock(2, PlainClock(L"Second", {L"dsk_on_top=1", L"dsk_group=1"}));
    program.WriteClock(3, PlainClock(L"Third", {L"dsk_on_top=0", L"dsk_group=1"}));
    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    ClockWindows windows;
    ASSERT_TRUE(WaitForClockWindows(pid, 3, true, &windows));
    const RECT work = WorkArea();
    const RECT first = windows[L"First"].rect, second = windows[L"Second"].rect, third = windows[L"Third"].rect;

    {
        SCOPED_TRACE("default stacking");
        EXPECT_EQ(work.right, first.right);
        EXPECT_EQ(work.bottom, first.bottom);
        EXPECT_EQ(first.top, second.bottom);
        EXPECT_EQ(first.right, second.right);
        EXPECT_EQ(second.top, third.bottom);
        EXPECT_EQ(first.right, third.right);
        EXPECT_GT(first.bottom - first.top, 0);
    }
    {
        SCOPED_TRACE("extended styles");
        struct Case {
            const wchar_t* title;
            bool topmost;
        } cases[] = {{L"First", false}, {L"Second", true}, {L"Third", true}};
        for (const Case& c : cases) {
            SCOPED_TRACE(c.title);
            DWORD exStyle = windows[c.title].exStyle;
            EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
            EXPECT_EQ(c.topmost, (exStyle & WS_EX_TOPMOST) != 0);
        }
    }

    HWND main = FindWindowW(kMainWindowClass, nullptr);
    {
        SCOPED_TRACE("hidden through a reload, then shown");
        ASSERT_NE(-1, Query(main, UM_HIDEDESKTOPCLOCKS, 1));
        EXPECT_TRUE(WaitForClockWindows(pid, 3, false, &windows));
        // the reload makes new windows: they stay hidden
        HWND old = windows[L"First"].window;
        ASSERT_NE(-1, Query(main, UM_SETTINGSCHANGED));
        EXPECT_TRUE(WaitForClockWindows(pid, 3, false, &windows));
        EXPECT_NE(old, windows[L"First"].window);
        ASSERT_NE(-1, Query(main, UM_HIDEDESKTOPCLOCKS, 0));
        ASSERT_TRUE(WaitForClockWindows(pid, 3, true, &windows));
        EXPECT_EQ(first.right, windows[L"First"].rect.right);
        EXPECT_EQ(third.top, windows[L"Third"].rect.top);
    }
    {
        SCOPED_TRACE("windows lying off the work area");
        EXPECT_EQ(0, Query(main, UM_QUERYDESKTOPCLOCKS));
        // a quarter of the width must stay on the work area
        HWND moved = windows[L"Second"].window;
        RECT r = windows[L"Second"].rect;
        int width = r.right - r.left;
        int offLeft = work.left - (width - width / 4);
        SetWindowPos(moved, nullptr, offLeft + 1, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(0, Query(main, UM_QUERYDESKTOPCLOCKS));
        SetWindowPos(moved, nullptr, offLeft, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(1, Query(main, UM_QUERYDESKTOPCLOCKS));
    }
    EXPECT_TRUE(program.ExitProgram());
}

// Saved centres counted from any corner, one off every screen and one not
// saved; on exit the centres are written back counted from the top left.
TEST(DesktopClocks, SavedPlacesAreTakenAndWrittenBackOnExit)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(program.AddSkin(L"Classic Analog"));
    enum Expect { kCentre, kTopLeftOfWork, kBottomRightOfWork };
    struct Case {
        const wchar_t* x;
        const wchar_t* y;
        const wchar_t* origin;  // nullptr: no key
        Expect expect;
        int cx;
        bool cxFromRight;  // cx counts back from the work area's right edge
        int cy;
        bool cyFromBottom;
    } cases[] = {
        // no saved place: the first clock takes the default corner
        {L"32767", L"100", nullptr, kBottomRightOfWork, 0, false, 0, false},
        {L"200", L"150", L"0", kCentre, 200, false, 150, false},
        {L"210", L"160", nullptr, kCentre, 210, false, 160, false},
        {L"10", L"300", L"1", kCentre, 11, true, 300, false},
        {L"10", L"20", L"2", kCentre, 11, true, 21, true},
        {L"300", L"20", L"3", kCentre, 300, false, 21, true},
        {L"400", L"250", L"9", kCentre, 400, false, 250, false},
        // a minimised window's place comes back onto the work area
        {L"-32000", L"-32000", L"0", kTopLeftOfWork, 0, false, 0, false},
    };
    const int count = (int)(sizeof(cases) / sizeof(cases[0]));
    for (int i = 0; i < count; ++i) {
        const Case& c = cases[i];
        std::vector<std::wstring> more = {std::wstring(L"dsk_pos_x=") + c.x, std::wstring(L"dsk_pos_y=") + c.y};
        if (c.origin)
            more.push_back(std::wstring(L"dsk_org=") + c.origin);
        program.WriteClock(i + 1, PlainClock(L"Clock " + std::to_wstring(i + 1), more));
    }
    // a face larger than the desktop takes, with sizes saved for another skin
    const int face = count + 1;
    program.WriteClock(face, {L"enabled=1", L"skin=Classic Analog", L"zone=UTC", L"timeformat=HH:mm",
                              L"prefix=Face", L"dsk_skin=Blue LCD", L"dsk_size=200", L"dsk_pos_x=700",
                              L"dsk_pos_y=400", L"dsk_pos_z=3"});

    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    ClockWindows windows;
    ASSERT_TRUE(WaitForClockWindows(pid, (size_t)count + 1, true, &windows));
    const RECT work = WorkArea();
    for (int i = 0; i < count; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i + 1);
        RECT r = windows[L"Clock " + std::to_wstring(i + 1)].rect;
        POINT centre = Centre(r);
        if (c.expect == kBottomRightOfWork) {
            EXPECT_EQ(work.right, r.right);
            EXPECT_EQ(work.bottom, r.bottom);
        } else if (c.expect == kTopLeftOfWork) {
            EXPECT_EQ(work.left, r.left);
            EXPECT_EQ(work.top, r.top);
        } else {
            EXPECT_EQ(c.cxFromRight ? work.right - c.cx : c.cx, centre.x);
            EXPECT_EQ(c.cyFromBottom ? work.bottom - c.cy : c.cy, centre.y);
        }
    }
    RECT faceRect = windows[L"Face"].rect;
    EXPECT_EQ(700, Centre(faceRect).x);
    EXPECT_EQ(400, Centre(faceRect).y);
    // the face's height; its width carries a pixel of margin each side
    EXPECT_EQ(150, faceRect.bottom - faceRect.top);

    ASSERT_TRUE(program.ExitProgram());
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i + 1);
        POINT centre = Centre(windows[L"Clock " + std::to_wstring(i + 1)].rect);
        EXPECT_EQ(centre.x, program.ClockInt(i + 1, L"dsk_pos_x"));
        EXPECT_EQ(centre.y, program.ClockInt(i + 1, L"dsk_pos_y"));
        EXPECT_EQ(L"(none)", program.ClockKey(i + 1, L"dsk_org"));
        // no stacking place was ever given
        EXPECT_EQ(L"(none)", program.ClockKey(i + 1, L"dsk_pos_z"));
    }
    EXPECT_EQ(700, program.ClockInt(face, L"dsk_pos_x"));
    EXPECT_EQ(400, program.ClockInt(face, L"dsk_pos_y"));
    EXPECT_EQ(L"3", program.ClockKey(face, L"dsk_pos_z"));
    EXPECT_EQ(L"150", program.ClockKey(face, L"dsk_size"));
    EXPECT_EQ(L"Classic Analog", program.ClockKey(face, L"dsk_skin"));
}

// Four kinds of desktop clock on the screen, saved as a picture to look at:
// each window shows something over the desktop, and the desktop elsewhere
// is left as it was.
TEST(DesktopClocks, ScreenShowsEveryKindOfClock)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    for (const wchar_t* skin : {L"Blue LCD", L"Amber Type", L"Classic Analog"})
        ASSERT_TRUE(program.AddSkin(skin));
    program.WriteClock(1, {L"enabled=1", L"skin=Blue LCD", L"transparent=0", L"zone=UTC", L"timeformat=HH:mm:ss",
                           L"dateformat=None", L"prefix=LCD", L"dsk_pos_x=250", L"dsk_pos_y=200"});
    program.WriteClock(2, {L"enabled=1", L"skin=Amber Type", L"transparent=0", L"zone=UTC", L"timeformat=HH:mm",
                           L"dateformat=None", L"prefix=Amber", L"dsk_pos_x=650", L"dsk_pos_y=200"});
    program.WriteClock(3, {L"enabled=1", L"skin=Classic Analog", L"transparent=0", L"zone=UTC",
                           L"timeformat=HH:mm", L"seconds_hand=1", L"prefix=Analogue", L"dsk_pos_x=250",
                           L"dsk_pos_y=500"});
    program.WriteClock(4, {L"enabled=1", L"timer_mode=-1", L"skin=Standard System Clock", L"transparent=0",
                           L"duration=600", L"remaining=125000", L"running=0", L"prefix=Tea", L"dsk_pos_x=650",
                           L"dsk_pos_y=500"});
    RgbPicture before = CaptureScreen(program.File(L"before.png"));
    ASSERT_GT(before.width, 0);

    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    ClockWindows windows;
    ASSERT_TRUE(WaitForClockWindows(pid, 4, true, &windows));
    // away from every clock, and from the top left corner, where Wine's
    // shell shows the program's notification icon in a window of its own
    const RECT work = WorkArea();
    const RECT away = {work.left + 20, work.bottom - 80, work.left + 120, work.bottom - 20};
    for (auto& w : windows) {
        RECT overlap;
        ASSERT_FALSE(IntersectRect(&overlap, &away, &w.second.rect)) << "window over the quiet region";
    }

    std::wstring shot = std::wstring(TL_SHOTS_FOLDER) + L"desktop-clocks.png";
    RgbPicture after;
    // opaque clocks: their backgrounds cover the desktop, bitmap cells and
    // frames included; only dark text or hands may match it
    auto covered = [&](const RECT& r) {
        return ChangedPixels(before, after, r) >= (r.right - r.left) * (r.bottom - r.top) * 3 / 4;
    };
    after = CaptureScreenUntil(shot, [&](const RgbPicture& p) {
        if (p.width != before.width || p.height != before.height)
            return false;
        after = p;
        bool all = true;
        for (auto& w : windows)
            all = all && covered(w.second.rect);
        return all;
    });
    ASSERT_EQ(before.width, after.width);
    ASSERT_EQ(before.height, after.height);
    for (auto& w : windows) {
        SCOPED_TRACE(w.first.c_str());
        const RECT& r = w.second.rect;
        ASSERT_GT(r.right - r.left, 0);
        ASSERT_GT(r.bottom - r.top, 0);
        EXPECT_TRUE(covered(r)) << ChangedPixels(before, after, r) << " pixels changed";
    }
    EXPECT_EQ(0, ChangedPixels(before, after, away));
    EXPECT_TRUE(program.ExitProgram());
}
