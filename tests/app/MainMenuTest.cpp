#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/menu/MainMenu.h"
#include "app/menu/ServiceControl.h"
#include "app/menu/WebPages.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Paths.h"
#include "tests/support/HandlerWindow.h"
#include "tests/support/MenuRecord.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"

namespace {

std::vector<std::string> g_calls;

void Call(const std::string& text)
{
    g_calls.push_back(text);
}

std::string Narrow(const WCHAR* text)
{
    std::string out;
    for (; text && *text; ++text)
        out += *text < 128 ? (char)*text : '?';
    return out;
}

// The ids of the items with their marks ("/g" grey, "/c" checked), each
// followed by a comma; submenus give 0, separators nothing.
std::string Ids(const MenuItems& items)
{
    std::string out;
    for (const MenuItem& item : items) {
        if (item.Has('-'))
            continue;
        std::string marks;
        if (item.Has('g'))
            marks += "g";
        if (item.Has('c'))
            marks += "c";
        out += std::to_string(item.id) + (marks.empty() ? "" : "/" + marks) + ",";
    }
    return out;
}

// The text of item `id` at `depth`; "(none)" without one.
std::string TextAt(const MenuItems& items, UINT id, int depth)
{
    const MenuItem* item = FindItem(items, id);
    return item && item->depth == depth ? item->text : "(none)";
}

class MenuResources {
public:
    MenuResources() : m_module(LoadLibraryExW(TL_PROGRAM_FOLDER L"res_en.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
        m_language.SetResources(m_module.Get(), nullptr);
    }
    HMODULE Module() const { return m_module.Get(); }
    const CLanguage& Language() const { return m_language; }

private:
    CModule m_module;
    CLanguage m_language;
};

}  // namespace

TEST(MainMenuBuild, ShapedForTheClock)
{
    MenuResources resources;
    ASSERT_NE(nullptr, resources.Module());

    LocalZoneState local = {};
    CopyFixed(local.zone.zoneName, FIELD_WIDTH(local.zone.zoneName), L"Here");
    ClockRecord taskbar = MenuClock(7);
    taskbar.zone.tzi.Bias = -60;  // not the local zone, no daylight saving
    std::vector<AlarmRecord> alarms(25);
    for (int i = 0; i < 25; ++i)
        CopyFixed(alarms[i].comment, FIELD_WIDTH(alarms[i].comment), (L"Alarm " + std::to_wstring(i)).c_str());
    taskbar.alarms.ptr = alarms.data();
    taskbar.alarmCount = 25;
    taskbar.profileCount = 3;
    for (int i = 0; i < 3; ++i)
        CopyFixed(taskbar.profiles[i].label, FIELD_WIDTH(taskbar.profiles[i].label), (L"Profile " + std::to_wstring(i)).c_str());
    ClockRecord desktop = MenuClock(8);
    desktop.flags |= kClockOnDesktop;
    ClockRecord localClock = MenuClock(9);  // bias 0 like the local zone
    ClockRecord systemClock = MenuClock(10);
    systemClock.zone.zoneId = 0;
    CopyFixed(systemClock.zone.zoneName, FIELD_WIDTH(systemClock.zone.zoneName), kLocalZoneName);
    ClockRecord fixedRules = taskbar;
    fixedRules.alarms.ptr = nullptr;
    fixedRules.zone.tzi.StandardDate = {2020, 10, 0, 25, 3, 0, 0, 0};  // a fixed date, the other a rule
    fixedRules.zone.tzi.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
    ClockRecord timer = MenuClock(11, kClockTimer);

    const uint32_t all = kOptSetLocalInMenu | kOptMapInitialized;
    struct Case {
        const char* name;
        const ClockRecord* clock;
        int count;
        uint32_t options;
        int outside;
        bool onTop, grouped;
        // pieces of Ids() that must be there, and ids that must not
        std::vector<std::string> present, absent;
    } cases[] = {
        {"tray icon", nullptr, 3, all, 0, false, false, {"107,414/g,"},
         {"424", "101,", "102,", "103,", "420", "401,", "439", "455", "4000", "3000"}},
        {"taskbar clock", &taskbar, 3, all, 2, false, false,
         {"107,424,429,426,0,4000,", "4019,", "3000,3001,3002,", "102,", "401,", "455,", "410,", "414,"},
         {"425,", "4020", "3003", "101,", "103,", "420", "439"}},
        {"desktop clock", &desktop, 3, all, 2, true, false, {"425,", "102,103/c,101,"}, {"420", "429,426", "439"}},
        {"desktop clock grouped", &desktop, 3, all, 2, false, true, {"102,103,101/c,"}, {}},
        {"thirty clocks", &taskbar, 30, all, 0, false, false, {"450/g,451/g,453/g,"}, {"455"}},
        {"twenty-nine", &taskbar, 29, all, 0, false, false, {"450,451,453,"}, {}},
        {"local zone", &localClock, 3, all, 0, false, false, {"401/g,"}, {}},
        {"Local System Time", &systemClock, 3, all, 0, false, false, {"401/g,"}, {}},
        {"rules of two kinds", &fixedRules, 3, all, 0, false, false, {"401/g,"}, {}},
        {"no setlocalinmenu", &taskbar, 3, kOptMapInitialized, 0, false, false, {}, {"401,"}},
        {"timer", &timer, 3, all, 0, false, false, {"443,445,448,"}, {"401,"}},
        {"map off", &taskbar, 3, kOptSetLocalInMenu, 0, false, false, {"410/g,"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MainMenuState state = {c.clock, CanAddClock(c.count), c.options, &local, c.outside, c.onTop, c.grouped};
        CMenu menu(BuildMainMenu(resources.Module(), &resources.Language(), state));
        ASSERT_TRUE(menu);
        MenuItems items = ReadMenu(GetSubMenu(menu.Get(), 0));
        std::string ids = "," + Ids(items);
        for (const std::string& p : c.present)
            EXPECT_NE(std::string::npos, ids.find("," + p)) << p << " in " << ids;
        // whole ids only
        for (const std::string& a : c.absent) {
            bool whole = a.back() == ',';
            EXPECT_EQ(std::string::npos, ids.find("," + a + (whole ? "" : ","))) << a << " in " << ids;
            if (!whole) {
                EXPECT_EQ(std::string::npos, ids.find("," + a + "/")) << a << " in " << ids;
            }
        }
        if (c.clock == &taskbar && c.count == 3) {
            // the lists carry the alarms' and profiles' names
            EXPECT_EQ("Alarm 19", TextAt(items, 4019, 2));
            EXPECT_EQ("Profile 2", TextAt(items, 3002, 2));
        }
        if (c.clock == &desktop) {
            // the desktop's item keeps its own text under the toggle's id
            EXPECT_EQ("Back to the &taskbar", TextAt(items, 102, 0));
        }
    }
    MainMenuState state = {};
    EXPECT_EQ(nullptr, BuildMainMenu(nullptr, nullptr, state));
    EXPECT_EQ(nullptr, BuildMainMenu(GetModuleHandleW(nullptr), nullptr, state));  // no such menu
}

namespace {

class CRecordingStarter : public IProgramStarter {
public:
    bool Start(const WCHAR* file, const WCHAR* parameters, const WCHAR* folder) override
    {
        Call("start " + Narrow(file) + "|" + Narrow(parameters) + "|" + Narrow(folder));
        return true;
    }
};

class CRecordingClipboard : public IClipboard {
public:
    bool SetText(HWND, const WCHAR* text) override
    {
        Call("clipboard " + Narrow(text));
        return true;
    }
};

class CRecordingTrayApi : public ITrayIconApi {
public:
    bool Notify(DWORD message, NOTIFYICONDATAW* data) override
    {
        Call("tray " + std::to_string(message) + " size " + std::to_string(data->cbSize) + " id " +
             std::to_string(data->uID) + " flags " + std::to_string(data->uFlags));
        last = *data;
        return succeed;
    }
    bool succeed = true;
    NOTIFYICONDATAW last = {};
};

class CRecordingRunner : public ICommandRunner {
public:
    bool Run(const WCHAR* text) override
    {
        Call("run " + Narrow(text));
        return runs;
    }
    bool runs = true;
};

class CRecordingBoxes : public IAlarmMessageBox {
public:
    int Show(const WCHAR* text, const WCHAR* caption, UINT type) override
    {
        Call("box " + Narrow(caption) + "|" + Narrow(text) + "|" + std::to_string(type));
        return IDOK;
    }
};

class CDesktop : public IDesktopClocks {
public:
    bool BringForward(bool toDesktop) override
    {
        Call("desktop forward");
        return true;
    }
    void KeepOnScreen() override { Call("desktop keep"); }
    HWND DispatchCommand(WPARAM wParam) override
    {
        Call("desktop command " + std::to_string(LOWORD(wParam)) + ":" + std::to_string(HIWORD(wParam)));
        return nullptr;
    }
    bool CreateOne(ClockRecord& clock, int index) override
    {
        Call("desktop create " + std::to_string(clock.id) + " at " + std::to_string(index));
        return true;
    }
    void DestroyOne(uint32_t clockId) override { Call("desktop destroy " + std::to_string(clockId)); }
    int CountOutsideWorkArea() override { return 0; }
};

class CDialogs : public IClockDialogs {
public:
    void ShowTimeTable() override { Call("time table"); }
    bool ShowAbout() override
    {
        Call("about");
        return aboutWorks;
    }
    bool RaiseAbout() override { return aboutOpen; }
    bool aboutWorks = true, aboutOpen = false;
};

class CMap : public IWorldMap {
public:
    void Open(const ClockRecord* clock) override { Call(clock ? "map " + std::to_string(clock->id) : "map"); }
};

class CNews : public INewsReader {
public:
    void ShowChannelWindow() override { Call("news window"); }
    void RefreshAllFeeds() override { Call("news refresh"); }
};

class CTimers : public ITimerClocks {
public:
    void ControlTimerClock(int index, int operation) override
    {
        Call("timer " + std::to_string(index) + " " + std::to_string(operation));
    }
    bool IsPanelVisible() override { return false; }
    void ShowPanel(int index, HWND beside) override { Call("panel " + std::to_string(index)); }
};

class CHost : public IMenuHost {
public:
    CHost() : window([](UINT, WPARAM, LPARAM) { return false; })
    {
        BuildIniPaths(folder.Path().c_str(), &paths);
        seams.desktop = &desktop;
        seams.dialogs = &dialogs;
        seams.map = &map;
        seams.news = &news;
        seams.timers = &timers;
        for (int i = 0; i < 3; ++i)
            clocks.push_back(MenuClock(5 + i));
    }
    HWND MainWindow() override { return window.Window(); }
    ClockRecord* Clocks() override { return clocks.empty() ? nullptr : clocks.data(); }
    int ClockCount() override { return (int)clocks.size(); }
    const SettingsBlock& ProgramSettings() override { return settings; }
    const SettingsPaths& Paths() override { return paths; }
    const LocalZoneState& LocalZone() override { return local; }
    bool IsTaskbarHookInPlace() override { return hook; }
    int TaskbarClockCount() override { return taskbarCount; }
    void SetTaskbarClockCount(int count) override
    {
        Call("count " + std::to_string(count));
        taskbarCount = count;
    }
    void SaveState() override { Call("save"); }
    void SendDataToTrayClock() override { Call("push"); }
    void SetSystemZone(const ClockRecord& clock) override { Call("system zone " + std::to_string(clock.id)); }
    SYSTEMTIME NowUtc() override { return now; }
    const MainSeams& Seams() override { return seams; }

    // What was posted to the main window: "message wParam".
    std::vector<std::string> Posted()
    {
        std::vector<std::string> posted;
        MSG msg;
        while (PeekMessageW(&msg, window.Window(), 0, 0, PM_REMOVE))
            posted.push_back(std::to_string(msg.message) + " " + std::to_string(msg.wParam));
        return posted;
    }

    CTempFolder folder;
    SettingsPaths paths = {};
    SettingsBlock settings = {};
    LocalZoneState local = {};
    bool hook = true;
    int taskbarCount = 3;
    SYSTEMTIME now = MakeTime(2026, 3, 2, 12, 34, 56);
    std::vector<ClockRecord> clocks;
    CDesktop desktop;
    CDialogs dialogs;
    CMap map;
    CNews news;
    CTimers timers;
    MainSeams seams = {};
    CHandlerWindow window;
};

class MainMenu : public ::testing::Test {
protected:
    MainMenu() : m_menu(Services())
    {
        m_menu.SetHost(&m_host);
        g_calls.clear();
    }
    MainMenuServices Services()
    {
        MainMenuServices services = {};
        services.language = &m_resources.Language();
        services.program = (HINSTANCE)m_program.Get();
        services.programFolder = L"C:\\Program\\";
        services.starter = &m_starter;
        services.clipboard = &m_clipboard;
        services.tray = &m_tray;
        services.runner = &m_runner;
        services.messages = &m_boxes;
        return services;
    }
    // The calls of running `action`, joined.
    template <class F>
    std::string CallsOf(F action)
    {
        g_calls.clear();
        action();
        std::string text;
        for (const std::string& c : g_calls)
            text += (text.empty() ? "" : "; ") + c;
        for (const std::string& p : m_host.Posted())
            text += (text.empty() ? "" : "; ") + std::string("post ") + p;
        return text;
    }

    MenuResources m_resources;
    // the program's icon and own strings
    CModule m_program{LoadLibraryExW(TL_PROGRAM_FOLDER L"tempolan.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE)};
    CRecordingStarter m_starter;
    CRecordingClipboard m_clipboard;
    CRecordingTrayApi m_tray;
    CRecordingRunner m_runner;
    CRecordingBoxes m_boxes;
    CHost m_host;
    CMainMenu m_menu;
};

const std::string kSettings = "save; start C:\\Program\\settings.exe|";
const std::string kFolder = "|C:\\Program\\";

}  // namespace

TEST_F(MainMenu, EveryCommandReachesItsTarget)
{
    const std::string log = std::to_string(UM_SHOWLOGWINDOW), all = std::to_string(UM_SHOWALLCLOCKS),
                      calendar = std::to_string(UM_SHOWCALENDAR);
    struct Case {
        WORD id;
        std::string calls;
    } cases[] = {
        {kCmdDesktopGroup, "desktop command 101:1"},
        {kCmdDesktopOnTop, "desktop command 103:1"},
        {kCmdClockSettings, kSettings + " /6" + kFolder},
        {kCmdAbout, "about"},
        {kCmdUpdatePage, "start https://tempolan.kestrin-group.com/cms/update.htm||"},
        {kCmdUserGuide, "start https://tempolan.kestrin-group.com/cms/user_guide.htm||"},
        {kCmdDateTimePanel, "start rundll32.exe|shell32.dll,Control_RunDLL TIMEDATE.CPL|"},
        {kCmdSetSystemZone, "system zone 6"},
        {kCmdShowLog, "post " + log + " 0"},
        {kCmdAllClocks, "post " + all + " 0"},
        {kCmdCalendar, "post " + calendar + " 0"},
        {kCmdWorldMap, "map 6"},
        {kCmdCityPhotos, "start https://places.tempolan.example/cms//||"},
        {kCmdNewAlarm, kSettings + " /new_alarm6" + kFolder},
        {kCmdZoneSettings, kSettings + " /zone6" + kFolder},
        {kCmdSkinSettings, kSettings + " /skin6" + kFolder},
        {kCmdFormatSettings, kSettings + " /formats6" + kFolder},
        {kCmdAlarmSettings, kSettings + " /alarms6" + kFolder},
        {kCmdProfileSettings, kSettings + " /profiles6" + kFolder},
        {kCmdTaskbarSettings, kSettings + " /taskbar" + kFolder},
        {kCmdSyncSettings, kSettings + " /sync" + kFolder},
        {kCmdGeneralSettings, kSettings + " /general" + kFolder},
        {kCmdNewsSettings, kSettings + " /rss" + kFolder},
        {kCmdTimeTable, "time table"},
        {kCmdNewsWindow, "news window"},
        {kCmdRefreshNews, "news refresh"},
        {kCmdStartTimer, "timer 1 2"},
        {kCmdStopTimer, "timer 1 1"},
        {kCmdResetTimer, "timer 1 0"},
        {kCmdNewClock, kSettings + " /new" + kFolder},
        {kCmdNewTimer, kSettings + " /new_timer" + kFolder},
        {kCmdNewStopwatch, kSettings + " /new_stopwatch" + kFolder},
        {kCmdShowDesktopClocks, "desktop keep; desktop forward"},
        {kCmdFirstProfile + 1, kSettings + " /profile6.1" + kFolder},
        {kCmdFirstAlarm + 19, kSettings + " /alarm6.19" + kFolder},
        {kCmdFirstAlarm + 20, ""},
        {kCmdFirstProfile + 12, ""},
        {999, ""},
    };
    // clock 1 made current by a click, as the tray clock does
    ASSERT_EQ(0, m_menu.OnClockMouse(1, WM_LBUTTONUP, nullptr));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.calls, CallsOf([&] { m_menu.OnCommand(c.id); }));
    }

    // the array shrank in a menu loop: the clock's commands do nothing
    m_host.clocks.resize(1);
    for (WORD id : {kCmdZoneSettings, kCmdNewAlarm, kCmdSetSystemZone, kCmdFirstAlarm, kCmdToggleDesktop}) {
        SCOPED_TRACE(id);
        EXPECT_EQ("", CallsOf([&] { m_menu.OnCommand(id); }));
    }
    EXPECT_EQ(kSettings + kFolder, CallsOf([&] { m_menu.OnCommand(kCmdClockSettings); }));
}

TEST_F(MainMenu, ClickActions)
{
    const std::string command = std::to_string(WM_COMMAND) + " ";
    struct Case {
        const char* name;
        uint32_t kind, action;
        const wchar_t* text;
        bool runnerFinds, running;
        std::string calls;
    } cases[] = {
        {"calendar", 0, 0, L"", true, false, "post " + command + "408"},
        {"address", 0, 1, L"  https://x.example/", true, false, "start https://x.example/||"},
        {"program with blanks", 0, 1, L"a b\\p.exe x", true, false, "run a b\\p.exe x"},
        {"mail link", 0, 1, L"mailto:me@x.example", false, false,
         "run mailto:me@x.example; start mailto:me@x.example||"},
        {"nothing to open", 0, 1, L"   ", true, false, ""},
        {"settings", 0, 2, L"", true, false, kSettings + " /5" + kFolder},
        {"all clocks", 0, 3, L"", true, false, "post " + command + "407"},
        {"date and time", 0, 4, L"", true, false, "post " + command + "115"},
        {"time table", 0, 6, L"", true, false, "post " + command + "432"},
        {"stopped timer", kClockTimer, 7, L"", true, false, "timer 0 2"},
        {"running timer", kClockTimer, 7, L"", true, true, "timer 0 1"},
        {"time clock", 0, 7, L"", true, false, ""},
        {"other", 0, 9, L"", true, false, kSettings + kFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClockRecord& clock = m_host.clocks[0];
        clock.kind = c.kind;
        clock.clickAction = c.action;
        clock.timerRunning = c.running;
        CopyFixed(clock.clickUrl, FIELD_WIDTH(clock.clickUrl), c.text);
        m_runner.runs = c.runnerFinds;
        EXPECT_EQ(c.calls, CallsOf([&] { m_menu.OnClockMouse(0, WM_LBUTTONDBLCLK, nullptr); }));
        EXPECT_EQ(0, m_menu.CurrentClock());
    }
}

TEST_F(MainMenu, CopyPutsTheClocksTextOnTheClipboard)
{
    ClockRecord& clock = m_host.clocks[0];
    clock.clickAction = kClickCopy;
    CopyFixed(clock.prefix, FIELD_WIDTH(clock.prefix), L"Paris");
    CopyFixed(clock.timeFormat, FIELD_WIDTH(clock.timeFormat), L"HH:mm");
    CopyFixed(clock.dateFormat, FIELD_WIDTH(clock.dateFormat), L"yyyy-MM-dd");
    clock.zone.tzi.Bias = -60;
    EXPECT_EQ("clipboard Paris 13:34 2026-03-02", CallsOf([&] { m_menu.OnClockClick(0); }));

    // a desktop clock's own time counts
    clock.flags |= kClockOnDesktop;
    clock.localTime = MakeTime(2026, 3, 3, 0, 5);
    EXPECT_EQ("clipboard Paris 00:05 2026-03-03", CallsOf([&] { m_menu.OnClockClick(0); }));

    ClockRecord& timer = m_host.clocks[1];
    timer.kind = kClockTimer;
    timer.clickAction = kClickCopy;
    CopyFixed(timer.prefix, FIELD_WIDTH(timer.prefix), L"Tea");
    CopyFixed(timer.timerFormat, FIELD_WIDTH(timer.timerFormat), L"%M:%02s");
    timer.timerValue = 150ull * 10000000;
    EXPECT_EQ("clipboard Tea 2:30", CallsOf([&] { m_menu.OnClockClick(1); }));
}

TEST_F(MainMenu, ClockMouseEvents)
{
    // any process may send these: a clock that does not exist is nobody's
    EXPECT_EQ("", CallsOf([&] { EXPECT_EQ(0, m_menu.OnClockMouse(3, WM_LBUTTONDOWN, nullptr)); }));
    EXPECT_EQ(-1, m_menu.CurrentClock());
    EXPECT_EQ(0, m_menu.OnClockMouse(2, kTrayIconClick, nullptr));
    EXPECT_EQ(2, m_menu.CurrentClock());
    m_host.dialogs.aboutOpen = true;
    EXPECT_EQ(1, m_menu.OnClockMouse(1, kTrayIconClick, nullptr));
    EXPECT_EQ("desktop forward", CallsOf([&] { m_menu.OnClockMouse(0, WM_LBUTTONDOWN, nullptr); }));
    EXPECT_EQ(0, m_menu.CurrentClock());

    // the timer panel opens beside a timer's window only
    HWND beside = m_host.window.Window();
    EXPECT_EQ("", CallsOf([&] { m_menu.OnClockMouse(1, WM_MOUSEMOVE, beside); }));
    m_host.clocks[1].kind = kClockTimer;
    EXPECT_EQ("", CallsOf([&] { m_menu.OnClockMouse(1, WM_MOUSEMOVE, nullptr); }));
    EXPECT_EQ("panel 1", CallsOf([&] { m_menu.OnClockMouse(1, WM_MOUSEMOVE, beside); }));
}

namespace {

// A settings program's window as FindWindowW sees it, noting UM_SETCLOCKONDESKTOP.
class CSettingsWindow {
public:
    CSettingsWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kSettingsWindowClass;
        RegisterClassW(&wc);
        m_window = CreateWindowW(kSettingsWindowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~CSettingsWindow()
    {
        DestroyWindow(m_window);
        UnregisterClassW(kSettingsWindowClass, GetModuleHandleW(nullptr));
    }
    std::string Received()
    {
        std::string text;
        MSG msg;
        while (PeekMessageW(&msg, m_window, UM_SETCLOCKONDESKTOP, UM_SETCLOCKONDESKTOP, PM_REMOVE))
            text += std::to_string(msg.wParam) + " " + std::to_string((int)msg.lParam) + ";";
        return text;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    HWND m_window;
};

}  // namespace

TEST_F(MainMenu, ToggleOnDesktopMovesTheClockBothWays)
{
    CSettingsWindow settings;
    m_host.taskbarCount = 1;
    ASSERT_EQ(0, m_menu.OnClockMouse(2, WM_LBUTTONUP, nullptr));
    std::wstring section = std::wstring(m_host.paths.userPrefix) + L":clock7";
    auto onDesktop = [&] {
        WCHAR value[16] = {};
        GetPrivateProfileStringW(section.c_str(), L"on_desktop", L"none", value, 16, m_host.paths.userIni);
        return Narrow(value);
    };

    // the last taskbar clock leaves: the tray icon comes
    std::string calls = CallsOf([&] { m_menu.OnCommand(kCmdToggleDesktop); });
    EXPECT_EQ(0u, calls.find("desktop destroy 7; push; count 0; tray 0 size 952 id 1 flags 7; desktop create 7 at 2; "
                             "desktop forward"))
        << calls;
    EXPECT_TRUE(m_host.clocks[2].flags & kClockOnDesktop);
    EXPECT_EQ("-1", onDesktop());
    EXPECT_EQ("7 -1;", settings.Received());
    EXPECT_TRUE(m_menu.TrayIcon().IsAdded());
    EXPECT_EQ(UM_TRAYNOTIFY, m_tray.last.uCallbackMessage);
    EXPECT_EQ(std::string("Tempolan World Clock"), Narrow(m_tray.last.szTip));

    // back to the taskbar: the icon goes
    calls = CallsOf([&] { m_menu.OnCommand(kCmdToggleDesktop); });
    EXPECT_EQ("desktop destroy 7; push; tray 2 size 952 id 1 flags 0; count 1", calls);
    EXPECT_FALSE(m_host.clocks[2].flags & kClockOnDesktop);
    EXPECT_EQ("0", onDesktop());
    EXPECT_EQ("7 0;", settings.Received());
    EXPECT_FALSE(m_menu.TrayIcon().IsAdded());

    // without the taskbar hook there is no taskbar to go back to
    m_host.hook = false;
    EXPECT_EQ("", CallsOf([&] { m_menu.OnCommand(kCmdToggleDesktop); }));
}

TEST_F(MainMenu, TrayIconOnlyWithoutTaskbarClocks)
{
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    CTrayIcon tray(m_tray);
    EXPECT_FALSE(tray.Add(m_host.window.Window(), icon, 2));
    EXPECT_FALSE(tray.Add(m_host.window.Window(), nullptr, 0));
    m_tray.succeed = false;
    EXPECT_EQ("tray 0 size 952 id 1 flags 7", CallsOf([&] { EXPECT_FALSE(tray.Add(m_host.window.Window(), icon, 0)); }));
    EXPECT_EQ("", CallsOf([&] { tray.Update(); tray.Delete(); }));  // nothing to change
    m_tray.succeed = true;
    EXPECT_TRUE(tray.Add(m_host.window.Window(), icon, 0));
    EXPECT_EQ("tray 1 size 952 id 1 flags 4", CallsOf([&] { tray.Update(); }));
    EXPECT_EQ("tray 2 size 952 id 1 flags 0", CallsOf([&] { tray.Delete(); }));
    EXPECT_FALSE(tray.IsAdded());
}

TEST_F(MainMenu, AFailedMenuOrAboutIsReportedInTheProgramsWords)
{
    ASSERT_TRUE(m_program);
    CLanguage noLibrary;  // no resource library, so no menu
    MainMenuServices services = Services();
    services.language = &noLibrary;
    CMainMenu broken(services);
    broken.SetHost(&m_host);
    const std::string close = "post " + std::to_string(WM_COMMAND) + " " + std::to_string(kCloseCommand);
    EXPECT_EQ("box Tempolan Error|Can't load menu from resource file!\nPlease restart Tempolan!|16; " + close,
              CallsOf([&] { broken.ShowMainMenu(); }));

    m_host.dialogs.aboutWorks = false;
    EXPECT_EQ("about; box Tempolan Error|Failed to create About dialog|16", CallsOf([&] { m_menu.OnCommand(kCmdAbout); }));
}

TEST(WebPages, UrlEncodeTable)
{
    struct Case {
        const wchar_t* text;
        int chars;
        const wchar_t* encoded;
    } cases[] = {
        {L"a b&c", 64, L"a+b%26c"},
        {L"S\u00e3o Paulo", 64, L"S%E3o+Paulo"},
        {L"A-z_0.9", 64, L"A-z_0.9"},
        {L"\u6771", 64, L"%E6%9D%B1"},
        {L"\U0001F600", 64, L"%F0%9F%98%80"},
        {L"\xD800x", 64, L"%EF%BF%BDx"},
        {L"a&b", 6, L"a%26b"},
        {L"a&b", 5, L"a%26"},
        {L"a&b", 4, L"a"},  // a reference is never cut
        {L"ab", 2, L"a"},
        {L"\u6771", 9, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.encoded));
        WCHAR out[64];
        int length = UrlEncode(c.text, out, c.chars);
        EXPECT_EQ(std::wstring(c.encoded), out);
        EXPECT_EQ(lstrlenW(c.encoded), length);
    }
}

TEST(WebPages, AddressesWithAndWithoutAffiliate)
{
    WCHAR address[kWebAddressChars];
    ASSERT_TRUE(FormatWebPage(kPageUpdates, 0, address));
    EXPECT_EQ(std::wstring(L"https://tempolan.kestrin-group.com/cms/update.htm"), address);
    ASSERT_TRUE(FormatWebPage(kPageFeatureRequest, 42, address));
    EXPECT_EQ(std::wstring(L"https://tempolan.kestrin-group.com/cms/42/forms/feature_request.htm"), address);
    ASSERT_TRUE(FormatWebPage(kPageForum, 42, address));
    EXPECT_EQ(std::wstring(L"https://www.kestrin-group.com/forum/viewforum.php?f=2"), address);
    EXPECT_FALSE(FormatWebPage(0, 0, address));
    EXPECT_FALSE(FormatWebPage(12, 0, address));

    FormatCityPhotoPage(L"New York State", nullptr, 0, address);
    EXPECT_EQ(std::wstring(L"https://places.tempolan.example/cms/new_york_state/"), address);
    FormatCityPhotoPage(L"S\u00e3o Tom\u00e9", nullptr, 0, address);
    EXPECT_EQ(std::wstring(L"https://places.tempolan.example/cms/s%E3o_tom%E9/"), address);
    std::wstring longLocation(3000, L'&');
    FormatCityPhotoPage(longLocation.c_str(), nullptr, 0, address);
    std::wstring cut = address;
    EXPECT_LE(cut.size(), 2047u);
    EXPECT_GT(cut.size(), 2040u);
    // whole references only, then the closing "/" when it still fits
    const std::wstring site = L"https://places.tempolan.example/cms/";
    ASSERT_EQ(site, cut.substr(0, site.size()));
    std::wstring part = cut.substr(site.size());
    if (part.back() == L'/')
        part.pop_back();
    EXPECT_EQ(0u, part.size() % 3);
    EXPECT_EQ(L"%26", part.substr(part.size() - 3));
}

TEST(TimeServiceControl, AMissingServiceReportsItsError)
{
    EXPECT_EQ((DWORD)ERROR_SERVICE_DOES_NOT_EXIST, ControlSyncService(kServiceControlSyncNow));
}
