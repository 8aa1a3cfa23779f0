// The main menu, the tray icon, the clocks' click actions and timers of the
// real program, seen from outside. The menus are read inside the program by
// menuhook.dll, hooked into its GUI thread; the program's settings program
// is the stand-in that notes its command line.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <stdio.h>

#include <map>
#include <string>
#include <vector>

#include "app/menu/AboutDialog.h"
#include "app/menu/TrayIcon.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/MenuRecord.h"
#include "tests/support/StandinTaskbar.h"
#include "tests/support/TestFiles.h"
#include "tools/standin-taskbar/StandinQueries.h"

namespace {

const DWORD kWaitMs = kProgramWaitMs;

// menuhook.dll from the program's folder, hooked into one thread of the
// program; the hook goes before the library.
class CMenuRecorder {
public:
    bool Install(const CProgramFolder& folder, DWORD thread)
    {
        m_file = folder.File(L"menus.txt");
        if (!folder.AddTestBinary(L"menuhook.dll", L"menuhook.dll"))
            return false;
        m_module.Reset(LoadLibraryW(folder.File(L"menuhook.dll").c_str()));
        HOOKPROC proc = m_module ? (HOOKPROC)(void*)GetProcAddress(m_module.Get(), "RecordMenuProc") : nullptr;
        if (!proc)
            return false;
        m_hook.Reset(SetWindowsHookExW(WH_CALLWNDPROC, proc, m_module.Get(), thread));
        return (bool)m_hook;
    }
    std::vector<MenuItems> Menus() const { return ParseMenus(ReadFileBytes(m_file)); }
    // Waits for the menu number `count` (from 1); false when it did not come.
    bool WaitForMenu(size_t count, MenuItems* menu) const
    {
        std::vector<MenuItems> menus;
        bool came = PumpUntil([&] {
            menus = Menus();
            return menus.size() >= count;
        }, kWaitMs);
        if (came)
            *menu = menus[count - 1];
        return came;
    }

private:
    std::wstring m_file;
    CModule m_module;
    CWindowsHook m_hook;
};

HWND WaitForMenuWindow(DWORD pid)
{
    HWND window = nullptr;
    PumpUntil([&] { return (window = MenuWindowOf(pid)) != nullptr; }, kWaitMs);
    return window;
}

// The shell's answer to a change of nothing of the program's icon: true
// while the icon is there.
bool TrayIconExists(HWND main)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = main;
    data.uID = kTrayIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// A settings program's window as the main program looks for it: top-level
// (FindWindow does not see message-only windows) and hidden.
class CSettingsWindow {
public:
    struct Posted {
        WPARAM clockId;
        LPARAM onDesktop;
    };

    CSettingsWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kSettingsWindowClass;
        RegisterClassW(&wc);  // fails harmlessly for the second window
        m_window = CreateWindowW(kSettingsWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                                 this);
    }
    ~CSettingsWindow()
    {
        if (IsWindow(m_window))
            DestroyWindow(m_window);
    }
    CSettingsWindow(const CSettingsWindow&) = delete;
    CSettingsWindow& operator=(const CSettingsWindow&) = delete;

    HWND Window() const { return m_window; }
    std::vector<Posted> posted;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lParam)->lpCreateParams);
        auto* self = (CSettingsWindow*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
        if (self && message == UM_SETCLOCKONDESKTOP) {
            self->posted.push_back({wParam, lParam});
            return 0;
        }
        if (message == WM_NCDESTROY)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND m_window = nullptr;
};

// A countdown of ten minutes, stopped, with `more` keys.
std::vector<std::wstring> StoppedTimer(const std::wstring& caption, std::vector<std::wstring> more)
{
    std::vector<std::wstring> keys = {L"enabled=1", L"timer_mode=-1", L"skin=Standard System Clock",
                                      L"duration=600", L"remaining=600000", L"running=0", L"prefix=" + caption};
    keys.insert(keys.end(), more.begin(), more.end());
    return keys;
}

// The stand-in settings program's command line once it has run; empty when
// it did not within the wait.
std::wstring WaitForSettingsArguments(const CProgramFolder& folder)
{
    std::string bytes;
    PumpUntil([&] { return !(bytes = ReadFileBytes(folder.File(L"settings_args.txt"))).empty(); }, kWaitMs);
    return std::wstring((const WCHAR*)bytes.data(), bytes.size() / sizeof(WCHAR));
}

DWORD ThreadOf(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr);
}

}  // namespace

// With /nh every clock is on the desktop: the icon is in the notification
// area while the program runs, its right click opens the program's menu
// (without a clock's items), saved as a picture, and the icon goes at /exit.
TEST(MainMenuProcess, TrayIconOpensTheProgramsMenu)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    program.WriteClock(1, PlainClock(L"Only", {L"dsk_pos_x=900", L"dsk_pos_y=60"}));
    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    ClockWindows windows;
    ASSERT_TRUE(WaitForClockWindows(pid, 1, true, &windows));
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return TrayIconExists(main); }, kWaitMs));

    CMenuRecorder recorder;
    ASSERT_TRUE(recorder.Install(program, ThreadOf(main)));
    RgbPicture before = CaptureScreen(program.File(L"before.png"));
    ASSERT_GT(before.width, 0);
    ASSERT_TRUE(PostMessageW(main, UM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONDOWN));
    MenuItems menu;
    ASSERT_TRUE(recorder.WaitForMenu(1, &menu));
    HWND menuWindow = WaitForMenuWindow(pid);
    ASSERT_NE(nullptr, menuWindow);

    {
        SCOPED_TRACE("the picture of the open menu");
        RECT r;
        GetWindowRect(menuWindow, &r);
        ASSERT_GT(r.right - r.left, 0);
        ASSERT_GT(r.bottom - r.top, 0);
        const int area = (r.right - r.left) * (r.bottom - r.top);
        std::wstring shot = std::wstring(TL_SHOTS_FOLDER) + L"main-menu.png";
        RgbPicture after = CaptureScreenUntil(shot, [&](const RgbPicture& p) {
            return p.width == before.width && ChangedPixels(before, p, r) >= area / 2;
        });
        ASSERT_EQ(before.width, after.width);
        EXPECT_GE(ChangedPixels(before, after, r), area / 2) << "of " << area;
    }
    {
        SCOPED_TRACE("the items of the program's menu");
        ASSERT_FALSE(menu.empty());
        EXPECT_EQ(0, menu[0].depth);
        EXPECT_EQ(kCmdClockSettings, menu[0].id);
        EXPECT_FALSE(menu[0].Has('s'));
        for (UINT id : {kCmdDesktopGroup, kCmdToggleDesktop, kCmdDesktopOnTop, kCmdZoneSettings, kCmdSkinSettings,
                        kCmdFormatSettings, kCmdAlarmSettings, kCmdProfileSettings, kCmdRefreshNews,
                        kCmdBackToTaskbar}) {
            EXPECT_EQ(nullptr, FindItem(menu, id)) << id;
        }
        // a clock can be added; an alarm needs a clock
        const MenuItem* newClock = FindItem(menu, kCmdNewClock);
        ASSERT_NE(nullptr, newClock);
        EXPECT_FALSE(newClock->Has('g'));
        const MenuItem* newAlarm = FindItem(menu, kCmdNewAlarm);
        ASSERT_NE(nullptr, newAlarm);
        EXPECT_TRUE(newAlarm->Has('g'));
    }
    EXPECT_TRUE(EndOpenMenu(pid, kWaitMs));
    EXPECT_TRUE(program.ExitProgram());
    // (Wine's shell also drops the icons of windows that are gone: whether
    // the program deleted it shows where a clock goes back to the taskbar)
    EXPECT_FALSE(TrayIconExists(main));
}

// A desktop clock's right click opens the menu with the clock's items: its
// on-top and group checks as its keys say, and "back to the taskbar" greyed
// while no taskbar hook is in place.
TEST(MainMenuProcess, DesktopClockMenusShowTheirChecks)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    struct Case {
        const wchar_t* caption;
        const wchar_t* onTop;
        const wchar_t* group;
        bool checkedOnTop;
        bool checkedGroup;
    } cases[] = {
        {L"On top", L"dsk_on_top=1", L"dsk_group=0", true, false},
        {L"Grouped", L"dsk_on_top=0", L"dsk_group=2", false, true},
    };
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    int number = 0;
    for (const Case& c : cases) {
        ++number;
        std::wstring x = L"dsk_pos_x=" + std::to_wstring(300 * number);
        program.WriteClock(number, PlainClock(c.caption, {c.onTop, c.group, x, L"dsk_pos_y=100"}));
    }
    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    ClockWindows windows;
    ASSERT_TRUE(WaitForClockWindows(pid, 2, true, &windows));
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    CMenuRecorder recorder;
    ASSERT_TRUE(recorder.Install(program, ThreadOf(main)));

    size_t shown = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        const ClockWindow& clock = windows[c.caption];
        ASSERT_NE(nullptr, clock.window);
        POINT at = {(clock.rect.left + clock.rect.right) / 2, (clock.rect.top + clock.rect.bottom) / 2};
        ASSERT_TRUE(PostMessageW(clock.window, WM_CONTEXTMENU, (WPARAM)clock.window, MAKELPARAM(at.x, at.y)));
        MenuItems menu;
        ASSERT_TRUE(recorder.WaitForMenu(++shown, &menu));
        EXPECT_NE(nullptr, WaitForMenuWindow(pid));
        EXPECT_TRUE(EndOpenMenu(pid, kWaitMs));

        // the clock's own popup leads
        ASSERT_FALSE(menu.empty());
        EXPECT_TRUE(menu[0].Has('s'));
        const MenuItem* onTop = FindItem(menu, kCmdDesktopOnTop);
        const MenuItem* group = FindItem(menu, kCmdDesktopGroup);
        const MenuItem* toggle = FindItem(menu, kCmdToggleDesktop);
        ASSERT_NE(nullptr, onTop);
        ASSERT_NE(nullptr, group);
        ASSERT_NE(nullptr, toggle);
        EXPECT_EQ(c.checkedOnTop, onTop->Has('c'));
        EXPECT_EQ(c.checkedGroup, group->Has('c'));
        EXPECT_TRUE(toggle->Has('g'));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdBackToTaskbar));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdRefreshNews));
    }
    EXPECT_TRUE(program.ExitProgram());
}

// With the hook in the stand-in taskbar: a double click runs each clock's
// action (the settings program for one clock, start for a taskbar timer and
// a desktop timer, saved at /exit); "to the desktop" moves each taskbar
// clock, tells the settings program, and once none is left in the taskbar
// the icon comes, through the stand-in to the shell's own notification area;
// it goes again when a clock is moved back.
TEST(MainMenuProcess, ClickActionsAndMovingClocksToTheDesktop)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(program.AddTestBinary(L"standin_settings.exe", L"settings.exe"));
    program.WriteClock(1, PlainClock(L"Settings", {L"action=2"}));
    program.WriteClock(2, StoppedTimer(L"Tray timer", {L"action=7"}));
    program.WriteClock(3, StoppedTimer(L"Desk timer", {L"action=7", L"on_desktop=-1", L"dsk_pos_x=300",
                                                       L"dsk_pos_y=100"}));
    program.WriteClock(4, PlainClock(L"Plain"));
    const int taskbarClocks[] = {1, 2, 4};

    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start());
    DWORD pid = program.StartProgram(L"");
    ASSERT_NE(0u, pid);
    ASSERT_TRUE(taskbar.WaitAttached(kWaitMs));
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    ClockWindows windows;
    ASSERT_TRUE(WaitForClockWindows(pid, 1, true, &windows));
    EXPECT_FALSE(TrayIconExists(main));

    {
        SCOPED_TRACE("a double click on a taskbar clock opens its settings");
        EXPECT_NE(-1, Query(main, UM_TRAYCLOCKMOUSE + 0, WM_LBUTTONDBLCLK));
        // the command line as the program sees it, without the blank before
        EXPECT_EQ(L"/1", WaitForSettingsArguments(program));
    }
    {
        SCOPED_TRACE("a double click starts a timer");
        // the start is a command the program posts itself: it is done, and
        // saved, once a save posted after it has run
        auto startsAfter = [&](int number) {
            PostMessageW(main, UM_SAVESTATE, 0, 0);
            return PumpUntil([&] { return program.ClockKey(number, L"running") == L"1"; }, kWaitMs);
        };
        EXPECT_EQ(L"0", program.ClockKey(2, L"running"));
        EXPECT_NE(-1, Query(main, UM_TRAYCLOCKMOUSE + 1, WM_LBUTTONDBLCLK));
        EXPECT_TRUE(startsAfter(2));
        HWND desk = windows[L"Desk timer"].window;
        ASSERT_NE(nullptr, desk) << "no desktop window titled so";
        EXPECT_EQ(L"0", program.ClockKey(3, L"running"));
        EXPECT_NE(-1, Query(desk, WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5)));
        EXPECT_TRUE(startsAfter(3));
    }
    {
        SCOPED_TRACE("to the desktop");
        CSettingsWindow settings;
        ASSERT_NE(nullptr, settings.Window());
        size_t moved = 0;
        for (int number : taskbarClocks) {
            SCOPED_TRACE(number);
            EXPECT_FALSE(TrayIconExists(main));
            EXPECT_NE(-1, Query(main, UM_TRAYCLOCKMOUSE + number - 1, kTrayIconClick));
            EXPECT_NE(-1, Query(main, WM_COMMAND, kCmdToggleDesktop));
            ++moved;
            EXPECT_EQ(L"-1", program.ClockKey(number, L"on_desktop"));
            ASSERT_TRUE(PumpUntil([&] { return settings.posted.size() >= moved; }, kWaitMs));
            EXPECT_EQ((WPARAM)number, settings.posted.back().clockId);
            EXPECT_EQ(-1, settings.posted.back().onDesktop);
            EXPECT_TRUE(WaitForClockWindows(pid, 1 + moved, true, &windows));
        }
        EXPECT_TRUE(PumpUntil([&] { return TrayIconExists(main); }, kWaitMs));

        // the first one back: the taskbar has a clock again, the icon goes
        EXPECT_NE(-1, Query(main, UM_TRAYCLOCKMOUSE + 0, kTrayIconClick));
        EXPECT_NE(-1, Query(main, WM_COMMAND, kCmdToggleDesktop));
        EXPECT_EQ(L"0", program.ClockKey(1, L"on_desktop"));
        ASSERT_TRUE(PumpUntil([&] { return settings.posted.size() > moved; }, kWaitMs));
        EXPECT_EQ(1u, settings.posted.back().clockId);
        EXPECT_EQ(0, settings.posted.back().onDesktop);
        EXPECT_TRUE(WaitForClockWindows(pid, moved, true, &windows));
        EXPECT_FALSE(TrayIconExists(main));
    }
    // still running when the program ends
    EXPECT_TRUE(program.ExitProgram());
    for (int number : {2, 3}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(L"1", program.ClockKey(number, L"running"));
    }
}

namespace {

// The keys with their zone replaced.
std::vector<std::wstring> InZone(std::vector<std::wstring> keys, const std::wstring& zone)
{
    for (std::wstring& key : keys)
        if (key.rfind(L"zone=", 0) == 0)
            key = L"zone=" + zone;
    return keys;
}

// The real program's clocks in the stand-in taskbar, whose clock window
// notes each menu it shows and ends it.
class TrayMenuRun {
public:
    // Clocks: "Alarms" in another zone with 25 alarms, "Profiles" in the
    // computer's own zone with two highlight profiles, a timer, and a
    // desktop clock "Desk"; the map not initialised.
    bool Start(bool withMenu = true)
    {
        if (FindWindowW(kMainWindowClass, nullptr) || !program.Ready() ||
            !program.AddTestBinary(L"standin_settings.exe", L"settings.exe"))
            return false;
        if (!withMenu && !program.AddTestBinary(L"res_test.dll", L"res_en.dll"))
            return false;
        program.WriteClock(1, InZone(PlainClock(L"Alarms"), L"Tokyo Standard Time"));
        for (int i = 1; i <= 25; ++i)
            program.WriteAlarm(1, i, {L"type=0", L"enabled=1", L"once=2040.01.01 10:00:00", L"action=0",
                                      L"comment=Alarm " + std::to_wstring(i)});
        program.WriteClock(2, InZone(PlainClock(L"Profiles", {L"profiles=2",
                                                              L"profile1=1, 10:00-11:00, FF0000, 80, 0123456, Morning",
                                                              L"profile2=1, 18:00-19:00, 00FF00, 80, 0123456, Evening"}),
                                     L"Local System Time"));
        program.WriteClock(3, StoppedTimer(L"Timer", {}));
        program.WriteClock(4, PlainClock(L"Desk", {L"on_desktop=-1", L"dsk_pos_x=400", L"dsk_pos_y=200"}));
        program.WriteMainKey(L"setlocalinmenu", L"1");
        SettingsPaths paths = {};
        if (!BuildIniPaths(program.Path().c_str(), &paths) ||
            !WritePrivateProfileStringW(L"map", L"initialized", L"0", paths.userIni))
            return false;
        m_menus = program.File(L"tray-menus.txt");
        if (!taskbar.Start(L"bottom", m_menus.c_str()))
            return false;
        pid = program.StartProgram(L"");
        if (!pid || !taskbar.WaitAttached(kWaitMs))
            return false;
        main = FindWindowW(kMainWindowClass, nullptr);
        // the panel is laid out once the clocks have come: the window grows
        // from the stand-in's own size
        RECT own;
        GetWindowRect(taskbar.clock, &own);
        return PumpUntil([&] {
            GetWindowRect(taskbar.clock, &clock);
            return clock.right - clock.left > own.right - own.left;
        }, kWaitMs);
    }
    ~TrayMenuRun()
    {
        if (pid)
            program.ExitProgram();
    }

    size_t MenuCount() const { return ParseMenus(ReadFileBytes(m_menus)).size(); }
    // A right click at the screen point; the menu the stand-in noted, or
    // none when it showed none within `waitMs`. The menu has closed again
    // unless it is to stay open.
    bool RightClick(POINT at, MenuItems* menu, DWORD waitMs = kWaitMs, bool staysOpen = false)
    {
        size_t before = MenuCount();
        PostMessageW(taskbar.clock, WM_CONTEXTMENU, (WPARAM)taskbar.clock, MAKELPARAM(at.x, at.y));
        std::vector<MenuItems> menus;
        bool came = PumpUntil([&] {
            menus = ParseMenus(ReadFileBytes(m_menus));
            return menus.size() > before;
        }, waitMs);
        if (came)
            *menu = menus.back();
        if (staysOpen)
            return came;
        // a click while a menu is still open would open none
        return PumpUntil([&] { return Query(taskbar.clock, SQ_MENUOPEN) == 0; }, kWaitMs) && came;
    }
    // Which clock a menu was made for: 1, 2 or 3, 0 for none.
    static int ClockOf(const MenuItems& menu)
    {
        if (menu.empty() || (menu[0].id == kCmdClockSettings && !menu[0].Has('s')))
            return 0;
        if (FindItem(menu, kCmdFirstAlarm))
            return 1;
        if (FindItem(menu, kCmdFirstProfile))
            return 2;
        return 3;
    }
    // A point on each of the three taskbar clocks, found by right clicks
    // across the clock window (the panel lays them out in rows and columns
    // by their sizes); false when one was not found.
    bool FindClocks()
    {
        // the panel may still be settling after its first layout: a few passes
        for (int pass = 0; pass < 3 && points.size() < 3; ++pass) {
            if (pass > 0)
                PumpUntil([] { return false; }, 500);
            points.clear();
            GetWindowRect(taskbar.clock, &clock);
            int width = clock.right - clock.left, height = clock.bottom - clock.top;
            for (int row = 1; row < 6 && points.size() < 3; row += 2)
                for (int column = 1; column < 16 && points.size() < 3; column += 2) {
                    POINT at = {clock.left + width * column / 16, clock.top + height * row / 6};
                    MenuItems menu;
                    if (!RightClick(at, &menu))
                        return false;
                    int number = ClockOf(menu);
                    if (number && !points.count(number))
                        points[number] = at;
                }
        }
        return points.size() == 3;
    }

    CDesktopProgram program;
    CStandinTaskbar taskbar;
    DWORD pid = 0;
    HWND main = nullptr;
    RECT clock = {};
    std::map<int, POINT> points;

private:
    std::wstring m_menus;
};

bool Grey(const MenuItems& menu, UINT id)
{
    const MenuItem* item = FindItem(menu, id);
    return item && item->Has('g');
}

bool Enabled(const MenuItems& menu, UINT id)
{
    const MenuItem* item = FindItem(menu, id);
    return item && !item->Has('g');
}

}  // namespace

// A right click on a taskbar clock, which the program leaves to the taskbar:
// the menu is shaped there for the clock under the mouse, and a chosen item
// is carried out by the program for that clock.
TEST(TrayMenuProcess, ShapedForTheClockUnderTheMouse)
{
    TrayMenuRun run;
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.FindClocks()) << run.points.size() << " clocks found";
    POINT beside = {run.clock.left - 5, (run.clock.top + run.clock.bottom) / 2};
    {
        SCOPED_TRACE("the clock with 25 alarms");
        MenuItems menu;
        ASSERT_TRUE(run.RightClick(run.points[1], &menu));
        for (UINT i = 0; i < 20; ++i)
            EXPECT_TRUE(Enabled(menu, kCmdFirstAlarm + i)) << i;
        EXPECT_EQ(nullptr, FindItem(menu, kCmdFirstAlarm + 20));
        ASSERT_NE(nullptr, FindItem(menu, kCmdFirstAlarm + 19));
        EXPECT_EQ("Alarm 20", FindItem(menu, kCmdFirstAlarm + 19)->text);
        EXPECT_NE(nullptr, FindItem(menu, kCmdTaskbarSettings));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdSkinSettings));
        EXPECT_TRUE(Enabled(menu, kCmdNewAlarm));
        EXPECT_TRUE(Enabled(menu, kCmdSetSystemZone));
        EXPECT_TRUE(Grey(menu, kCmdWorldMap));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdShowDesktopClocks));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdRefreshNews));
    }
    {
        SCOPED_TRACE("the clock in the computer's zone with two profiles");
        MenuItems menu;
        ASSERT_TRUE(run.RightClick(run.points[2], &menu));
        EXPECT_TRUE(Grey(menu, kCmdSetSystemZone));
        ASSERT_NE(nullptr, FindItem(menu, kCmdFirstProfile + 1));
        EXPECT_EQ("Evening", FindItem(menu, kCmdFirstProfile + 1)->text);
        EXPECT_EQ(nullptr, FindItem(menu, kCmdFirstProfile + 2));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdFirstAlarm));
    }
    {
        SCOPED_TRACE("the timer");
        MenuItems menu;
        ASSERT_TRUE(run.RightClick(run.points[3], &menu));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdSetSystemZone));
    }
    {
        SCOPED_TRACE("beside all clocks");
        MenuItems menu;
        ASSERT_TRUE(run.RightClick(beside, &menu));
        ASSERT_FALSE(menu.empty());
        EXPECT_EQ(kCmdClockSettings, menu[0].id);
        EXPECT_FALSE(menu[0].Has('s'));
        EXPECT_TRUE(Grey(menu, kCmdNewAlarm));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdFirstAlarm));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdFirstProfile));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdSetSystemZone));
    }
    {
        SCOPED_TRACE("thirty clocks told");
        PostMessageW(run.taskbar.clock, UM_TRAYCLOCKCOUNT, 30, 0);
        MenuItems menu;
        ASSERT_TRUE(run.RightClick(run.points[1], &menu));
        for (UINT id : {kCmdNewClock, kCmdNewTimer, kCmdNewStopwatch})
            EXPECT_TRUE(Grey(menu, id)) << id;
        PostMessageW(run.taskbar.clock, UM_TRAYCLOCKCOUNT, 4, 0);
        ASSERT_TRUE(run.RightClick(run.points[1], &menu));
        for (UINT id : {kCmdNewClock, kCmdNewTimer, kCmdNewStopwatch})
            EXPECT_TRUE(Enabled(menu, id)) << id;
    }
    {
        SCOPED_TRACE("a desktop clock off the work area");
        ClockWindows windows;
        ASSERT_TRUE(WaitForClockWindows(run.pid, 1, true, &windows));
        HWND desk = windows[L"Desk"].window;
        RECT r = windows[L"Desk"].rect;
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        SetWindowPos(desk, nullptr, work.left - (r.right - r.left) + 2, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        MenuItems menu;
        ASSERT_TRUE(run.RightClick(run.points[1], &menu));
        EXPECT_TRUE(Enabled(menu, kCmdShowDesktopClocks));
        SetWindowPos(desk, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(run.RightClick(run.points[1], &menu));
        EXPECT_EQ(nullptr, FindItem(menu, kCmdShowDesktopClocks));
    }
    {
        SCOPED_TRACE("a chosen item acts on the clock under the mouse");
        MenuItems menu;
        ASSERT_TRUE(run.RightClick(run.points[2], &menu));
        ASSERT_EQ(1, Query(run.taskbar.clock, SQ_MENUCHOICE, kCmdFormatSettings));
        ASSERT_TRUE(run.RightClick(run.points[1], &menu));
        EXPECT_EQ(L"/formats1", WaitForSettingsArguments(run.program));
    }
}

// The menu open over the taskbar, as a picture for a person to look at.
TEST(TrayMenuProcess, PictureOfTheOpenMenu)
{
    TrayMenuRun run;
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.FindClocks());
    RgbPicture before = CaptureScreen(run.program.File(L"before.png"));
    ASSERT_GT(before.width, 0);
    ASSERT_EQ(1, Query(run.taskbar.clock, SQ_MENUCHOICE, 0, 1));
    MenuItems menu;
    ASSERT_TRUE(run.RightClick(run.points[1], &menu, kWaitMs, true));
    HWND menuWindow = WaitForMenuWindow(run.taskbar.Pid());
    ASSERT_NE(nullptr, menuWindow);
    RECT r;
    GetWindowRect(menuWindow, &r);
    const int area = (r.right - r.left) * (r.bottom - r.top);
    ASSERT_GT(area, 0);
    std::wstring shot = std::wstring(TL_SHOTS_FOLDER) + L"tray-menu.png";
    RgbPicture after = CaptureScreenUntil(shot, [&](const RgbPicture& p) {
        return p.width == before.width && ChangedPixels(before, p, r) >= area / 2;
    });
    ASSERT_EQ(before.width, after.width);
    EXPECT_GE(ChangedPixels(before, after, r), area / 2) << "of " << area;
    // opened at the clicked point, upwards from the bottom taskbar
    EXPECT_LE(r.top, run.points[1].y);
    EXPECT_TRUE(EndOpenMenu(run.taskbar.Pid(), kWaitMs));
}

// A language library without the menu: the taskbar shows nothing, and the
// program, told nothing, runs on and ends normally.
TEST(TrayMenuProcess, WithoutTheMenuNothingIsShown)
{
    TrayMenuRun run;
    ASSERT_TRUE(run.Start(false));
    POINT centre = {(run.clock.left + run.clock.right) / 2, (run.clock.top + run.clock.bottom) / 2};
    MenuItems menu;
    EXPECT_FALSE(run.RightClick(centre, &menu, 2000));
    EXPECT_EQ(nullptr, MenuWindowOf(run.taskbar.Pid()));
    EXPECT_EQ(run.main, FindWindowW(kMainWindowClass, nullptr));
    DWORD pid = run.pid;
    run.pid = 0;
    EXPECT_TRUE(run.program.ExitProgram()) << pid;
}

namespace {

// The program's About box, found by its title among the dialogs of `pid`.
HWND FindAboutBox(DWORD pid, int* count = nullptr)
{
    struct Search {
        DWORD pid;
        HWND found;
        int count;
    } search = {pid, nullptr, 0};
    EnumWindows([](HWND window, LPARAM param) -> BOOL {
        auto* s = (Search*)param;
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        WCHAR title[64] = L"", className[16] = L"";
        GetWindowTextW(window, title, ARRAYSIZE(title));
        GetClassNameW(window, className, ARRAYSIZE(className));
        if (owner == s->pid && IsWindowVisible(window) && !lstrcmpW(className, L"#32770") &&
            !lstrcmpW(title, L"About Tempolan")) {
            s->found = window;
            ++s->count;
        }
        return TRUE;
    }, (LPARAM)&search);
    if (count)
        *count = search.count;
    return search.found;
}

HWND WaitForAboutBox(DWORD pid)
{
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindAboutBox(pid)) != nullptr; }, kWaitMs);
    return found;
}

std::wstring TextOf(HWND window)
{
    WCHAR text[256] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), (LPARAM)text, SMTO_ABORTIFHUNG, kWaitMs, &copied);
    return text;
}

// Pixels of `r` in the link colour (blue; the picture is 0xRRGGBB).
int LinkPixels(const RgbPicture& picture, const RECT& r)
{
    int count = 0;
    for (int y = r.top < 0 ? 0 : r.top; y < r.bottom && y < picture.height; ++y)
        for (int x = r.left < 0 ? 0 : r.left; x < r.right && x < picture.width; ++x) {
            uint32_t c = picture.At(x, y);
            count += (c >> 16 & 0xFF) < 96 && (c >> 8 & 0xFF) < 96 && (c & 0xFF) > 160;
        }
    return count;
}

}  // namespace

// The About box of the running program: one box, brought forward by a
// second request and by a taskbar clock's right click (which then shows no
// menu), closed by OK; open, it does not keep /exit from ending the program.
TEST(AboutProcess, OneBoxThatGivesWayToExit)
{
    TrayMenuRun run;
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(PostMessageW(run.main, WM_COMMAND, kCmdAbout, 0));
    HWND about = WaitForAboutBox(run.pid);
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(L"Version 5.3.1", TextOf(GetDlgItem(about, kIdcAboutVersion)));
    {
        SCOPED_TRACE("a second request");
        ASSERT_TRUE(PostMessageW(run.main, WM_COMMAND, kCmdAbout, 0));
        // the main window has taken it once it answers a send again
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutW(run.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &answer));
        int count = 0;
        EXPECT_EQ(about, FindAboutBox(run.pid, &count));
        EXPECT_EQ(1, count);
    }
    {
        SCOPED_TRACE("a right click on a taskbar clock");
        SetForegroundWindow(run.taskbar.clock);
        POINT centre = {(run.clock.left + run.clock.right) / 2, (run.clock.top + run.clock.bottom) / 2};
        MenuItems menu;
        EXPECT_FALSE(run.RightClick(centre, &menu, 2000));
        EXPECT_EQ(nullptr, MenuWindowOf(run.taskbar.Pid()));
        EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == about; }, kWaitMs));
    }
    {
        SCOPED_TRACE("the picture, with the link drawn in the link colour");
        ASSERT_EQ(0, RunCapture(Quoted(std::wstring(TL_SHOTS_FOLDER) + L"about.png") + L" #32770 \"About Tempolan\""));
        RECT link;
        ASSERT_TRUE(GetWindowRect(GetDlgItem(about, kIdcAboutLink), &link));
        RgbPicture screen = CaptureScreenUntil(run.program.File(L"about-screen.png"),
                                               [&](const RgbPicture& p) { return LinkPixels(p, link) > 20; });
        EXPECT_GT(LinkPixels(screen, link), 20);
        // the version line is plain text
        RECT version;
        ASSERT_TRUE(GetWindowRect(GetDlgItem(about, kIdcAboutVersion), &version));
        EXPECT_EQ(0, LinkPixels(screen, version));
    }
    ASSERT_TRUE(PostMessageW(about, WM_COMMAND, IDOK, 0));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(about); }, kWaitMs));

    ASSERT_TRUE(PostMessageW(run.main, WM_COMMAND, kCmdAbout, 0));
    ASSERT_NE(nullptr, WaitForAboutBox(run.pid));
    DWORD pid = run.pid;
    run.pid = 0;
    EXPECT_TRUE(run.program.ExitProgram()) << pid;
}
