#include <gtest/gtest.h>

#include <string.h>
#include <windows.h>

#include <vector>

#include "graphics/clock/Clock.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "tests/support/FaultCounter.h"
#include "tests/windows/DesktopClockFixture.h"

namespace {

using DesktopClocks = DesktopClockFixture;

const WORD kGroupCommand = 101;
const WORD kOnTopCommand = 103;

bool IsTopmost(const CClockWnd* window)
{
    return (GetWindowLongPtrW(window->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

RECT WorkArea()
{
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

void MoveTo(CClockWnd* window, int x, int y)
{
    SetWindowPos(window->GetHandle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// Dragging one window of a group drags the group; others stay.
TEST_F(DesktopClocks, DraggingMovesTheWholeGroup)
{
    WriteKey(1, L"dsk_group", 1);
    WriteKey(2, L"dsk_group", 1);
    ASSERT_TRUE(Create({Clock(1, kTextSkin), Clock(2, kTextSkin), Clock(3, kTextSkin)}));
    MoveTo(Window(1), 200, 300);
    MoveTo(Window(2), 400, 300);
    MoveTo(Window(3), 600, 300);
    RECT before[3] = {Bounds(Window(1)), Bounds(Window(2)), Bounds(Window(3))};

    HWND grabbed = Window(1)->GetHandle();
    SendMessageW(grabbed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    // the client point moves with the cursor: 40 left and 30 up of the grab
    SendMessageW(grabbed, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((WORD)(5 - 40), (WORD)(5 - 30)));
    SendMessageW(grabbed, WM_LBUTTONUP, 0, MAKELPARAM((WORD)(5 - 40), (WORD)(5 - 30)));

    const POINT moved[3] = {{-40, -30}, {-40, -30}, {0, 0}};
    for (uint32_t id = 1; id <= 3; ++id) {
        SCOPED_TRACE(id);
        RECT after = Bounds(Window(id));
        EXPECT_EQ(before[id - 1].left + moved[id - 1].x, after.left);
        EXPECT_EQ(before[id - 1].top + moved[id - 1].y, after.top);
    }
}

// The menu's group and on-top commands reach the window of their clock
// index; on-top goes for the whole group.
TEST_F(DesktopClocks, CommandsGroupAndRaiseTheWindowsOfTheirClock)
{
    WriteKey(1, L"dsk_group", 1);
    WriteKey(1, L"dsk_on_top", 1);
    ASSERT_TRUE(Create({Clock(1, kTextSkin), Clock(2, kTextSkin), Clock(3, kTextSkin)}));
    CClockWnd* windows[3] = {Window(1), Window(2), Window(3)};
    EXPECT_TRUE(IsTopmost(windows[0]));
    EXPECT_FALSE(IsTopmost(windows[1]));

    struct Step {
        const char* name;
        WORD command, index;
        int taker;  // index of the window returned, -1: none
        int groups[3];
        bool topmost[3];
    } steps[] = {
        {"joins the group and takes its on-top", kGroupCommand, 1, 1, {1, 1, 0}, {true, true, false}},
        {"group for no window", kGroupCommand, 7, -1, {1, 1, 0}, {true, true, false}},
        {"on-top for no window", kOnTopCommand, 7, -1, {1, 1, 0}, {true, true, false}},
        {"on-top off for the group", kOnTopCommand, 0, 0, {1, 1, 0}, {false, false, false}},
        {"on-top for a window alone", kOnTopCommand, 2, 2, {1, 1, 0}, {false, false, true}},
        {"not a desktop command", 200, 0, -1, {1, 1, 0}, {false, false, true}},
        {"leaves the group", kGroupCommand, 1, 1, {1, 0, 0}, {false, false, true}},
        {"on-top of a group of one", kOnTopCommand, 0, 0, {1, 0, 0}, {true, false, true}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        HWND taker = clocks->DispatchCommand(MAKEWPARAM(s.command, s.index));
        EXPECT_EQ(s.taker < 0 ? nullptr : windows[s.taker]->GetHandle(), taker);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(s.groups[i], windows[i]->Group());
            EXPECT_EQ(s.topmost[i], IsTopmost(windows[i]));
            EXPECT_EQ(s.topmost[i], windows[i]->IsOnTop());
        }
    }
}

// Without saved places the windows stack up from the work area's corner.
TEST_F(DesktopClocks, NewWindowsStackUpFromTheWorkAreaCorner)
{
    ASSERT_TRUE(Create({Clock(1, kTextSkin), Clock(2, kOtherTextSkin), Clock(3, kTextSkin)}));
    RECT work = WorkArea();
    LONG bottom = work.bottom;
    for (uint32_t id = 1; id <= 3; ++id) {
        SCOPED_TRACE(id);
        RECT r = Bounds(Window(id));
        EXPECT_EQ(work.right, r.right);
        EXPECT_EQ(bottom, r.bottom);
        bottom = r.top;
    }
}

TEST_F(DesktopClocks, KeepsWindowsOnTheWorkArea)
{
    // where a minimised window is
    WriteKey(1, L"dsk_pos_x", -32000);
    WriteKey(1, L"dsk_pos_y", -32000);
    ASSERT_TRUE(Create({Clock(1, kTextSkin), Clock(2, kTextSkin)}));
    RECT work = WorkArea();
    RECT first = Bounds(Window(1));
    EXPECT_EQ(work.left, first.left);
    EXPECT_EQ(work.top, first.top);
    EXPECT_EQ(0, clocks->CountOutsideWorkArea());

    // three quarters off the left edge
    int width = first.right - first.left;
    MoveTo(Window(1), work.left - (width - width / 4), 300);
    EXPECT_EQ(1, clocks->CountOutsideWorkArea());
    RECT second = Bounds(Window(2));
    clocks->KeepOnScreen();
    EXPECT_EQ(0, clocks->CountOutsideWorkArea());
    RECT kept = Bounds(Window(1));
    EXPECT_EQ(work.left, kept.left);
    EXPECT_EQ(300, kept.top);
    RECT still = Bounds(Window(2));
    EXPECT_TRUE(EqualRect(&second, &still));
}

// A reload while the windows are hidden (a map is open) keeps them hidden
// until the map goes.
TEST_F(DesktopClocks, HideCountOutlivesARebuild)
{
    std::vector<ClockRecord> records = {Clock(1, kTextSkin), Clock(2, kFaceSkin)};
    ASSERT_TRUE(Create(records));
    EXPECT_TRUE(IsWindowVisible(Window(1)->GetHandle()));
    EXPECT_TRUE(clocks->Hide());
    clocks->Destroy();
    ASSERT_TRUE(Create(records));
    ASSERT_EQ(2, clocks->Count());
    for (int i = 0; i < clocks->Count(); ++i)
        EXPECT_FALSE(IsWindowVisible(clocks->At(i)->GetHandle())) << i;
    EXPECT_TRUE(clocks->Show());
    for (int i = 0; i < clocks->Count(); ++i)
        EXPECT_TRUE(IsWindowVisible(clocks->At(i)->GetHandle())) << i;
}

namespace {

const UINT kDeleteClock = WM_APP + 1;
const UINT_PTR kMenuTimeout = 1;

// The clock menu with the desktop items in its first submenu.
class CClockMenu : public IMainMenu {
public:
    CClockMenu() : m_menu(CreatePopupMenu())
    {
        HMENU items = CreatePopupMenu();
        AppendMenuW(items, MF_STRING, kGroupCommand, L"Group");
        AppendMenuW(items, MF_STRING, 102, L"Desktop");
        AppendMenuW(items, MF_STRING, kOnTopCommand, L"On top");
        AppendMenuW(m_menu, MF_POPUP, (UINT_PTR)items, L"Clock");
    }
    ~CClockMenu() override { DestroyMenu(m_menu); }
    HMENU BuildClockMenu(int, bool, bool) override
    {
        ++built;
        return m_menu;
    }
    int built = 0;

private:
    HMENU m_menu;
};

// A window whose memory is filled with garbage when it is deleted and kept
// from reuse: a use after the deletion faults.
class CPoisonedWindow : public CClockWnd {
public:
    using CClockWnd::CClockWnd;
    static void operator delete(void* p, size_t size)
    {
        memset(p, 0xCC, size);
        s_graves.push_back(p);
    }
    static void FreeGraves()
    {
        for (void* p : s_graves)
            ::operator delete(p);
        s_graves.clear();
    }

private:
    static inline std::vector<void*> s_graves;
};

// The main window: lets the clock show its menu and, inside the menu's loop,
// deletes the clock's window as a reload does.
struct MainWindowState {
    CDesktopClocks* clocks;
    uint32_t clockId;
    bool deleted, timedOut;
};

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = (MainWindowState*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (state && message >= UM_TRAYCLOCKMOUSE && message < UM_TRAYCLOCKMOUSE + kTrayClockMouseCount)
        return 0;
    if (state && message == kDeleteClock) {
        state->clocks->DestroyOne(state->clockId);
        state->deleted = true;
        EndMenu();
        return 0;
    }
    if (state && message == WM_TIMER && wParam == kMenuTimeout) {
        KillTimer(hwnd, kMenuTimeout);
        state->timedOut = true;
        EndMenu();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

// The clock's menu loop may run a reload that deletes the window it was
// opened on: the window must not touch itself afterwards.
TEST_F(DesktopClocks, SurvivesDeletionInsideItsOwnMenu)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DesktopClocksTestMain";
    RegisterClassW(&wc);
    HWND main = CreateWindowExW(0, wc.lpszClassName, L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(nullptr, main);
    CClockMenu menu;
    host.mainWindow = main;
    host.menu = &menu;
    host.clocks = {Clock(4, kTextSkin)};
    ASSERT_TRUE((new CPoisonedWindow(*clocks))->LoadSettings(nullptr, host.clocks[0], 0));
    MainWindowState state = {clocks.get(), 4, false, false};
    SetWindowLongPtrW(main, GWLP_USERDATA, (LONG_PTR)&state);

    {
        CFaultCounter faults;
        HWND hwnd = Window(4)->GetHandle();
        PostMessageW(main, kDeleteClock, 0, 0);
        SetTimer(main, kMenuTimeout, 5000, nullptr);
        SendMessageW(hwnd, WM_CONTEXTMENU, (WPARAM)hwnd, MAKELPARAM(100, 100));
        EXPECT_EQ(0, faults.Faults());
        EXPECT_FALSE(IsWindow(hwnd));
    }
    EXPECT_EQ(1, menu.built);
    EXPECT_TRUE(state.deleted);
    EXPECT_FALSE(state.timedOut);
    EXPECT_EQ(0, clocks->Count());
    KillTimer(main, kMenuTimeout);
    SetWindowLongPtrW(main, GWLP_USERDATA, 0);
    DestroyWindow(main);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
    CPoisonedWindow::FreeGraves();
}

// A desktop stopwatch and the array's record are one timer.
TEST_F(DesktopClocks, TimerStateIsSharedWithTheArray)
{
    ASSERT_TRUE(Create({Stopwatch(1, kTextSkin)}));
    CClockWnd* window = Window(1);
    ClockRecord& shared = host.clocks[0];
    uint64_t started = shared.timerValue;
    // the value counts whole seconds of the system time
    Sleep(1100);
    ASSERT_TRUE(clocks->GiveTime(true));
    EXPECT_GT(shared.timerValue, started) << "the window writes the running value back";

    // stopped from the array (the timer panel): the window's clock stops too
    const uint64_t kStoppedAt = 42 * 10000000ull;
    shared.timerRunning = 0;
    shared.timerValue = kStoppedAt;
    Sleep(50);
    clocks->GiveTime(true);
    EXPECT_EQ(0u, window->Clock()->Record().timerRunning);
    EXPECT_EQ(kStoppedAt, window->Clock()->Record().timerValue);
    EXPECT_EQ(kStoppedAt, shared.timerValue);
}

TEST_F(DesktopClocks, SavesTheCentreAndReadsItBack)
{
    ASSERT_TRUE(Create({Clock(1, kTextSkin)}));
    MoveTo(Window(1), 250, 180);
    POINT centre = Centre(Bounds(Window(1)));
    // a place counted from another corner is replaced by the centre
    WriteKey(1, L"dsk_org", 2);
    clocks->SavePositions();
    EXPECT_EQ(centre.x, ReadKey(1, L"dsk_pos_x", 32767));
    EXPECT_EQ(centre.y, ReadKey(1, L"dsk_pos_y", 32767));
    EXPECT_FALSE(HasKey(1, L"dsk_org"));
    EXPECT_FALSE(HasKey(1, L"dsk_pos_z")) << "no stacking place yet";

    Window(1)->SetZPosition(3);
    clocks->SavePositions();
    EXPECT_EQ(3, ReadKey(1, L"dsk_pos_z", -1));

    clocks->Destroy();
    ASSERT_TRUE(Create({Clock(1, kTextSkin)}));
    POINT again = Centre(Bounds(Window(1)));
    EXPECT_EQ(centre.x, again.x);
    EXPECT_EQ(centre.y, again.y);
    EXPECT_EQ(3, Window(1)->ZPosition());
}

// A size saved for another skin is not taken, and a face on the desktop
// starts no larger than 150 pixels.
TEST_F(DesktopClocks, FaceSizeIsTakenOnlyFromItsOwnSkin)
{
    struct {
        const wchar_t* savedSkin;
        int savedSize, faceSize;
    } cases[] = {
        {kTextSkin, 200, 150},
        {kTextSkin, 64, 150},
        {kFaceSkin, 64, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.savedSize);
        WriteText(1, L"dsk_skin", c.savedSkin);
        WriteKey(1, L"dsk_size", c.savedSize);
        ASSERT_TRUE(Create({Clock(1, kFaceSkin)}));
        auto* face = dynamic_cast<CMechClock*>(Window(1)->Clock());
        ASSERT_NE(nullptr, face);
        EXPECT_EQ(c.faceSize, face->GetFaceSize());
        clocks->Destroy();
    }
}
