// The main window's message table, driven in this process: each private
// message must reach the part it names, with its parameters, and give that
// part's answer. The parts are recording stand-ins.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "app/main/MainProgram.h"
#include "app/main/MainWindow.h"
#include "app/startup/BuildInfo.h"
#include "app/settings/SettingsIni.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/system/Paths.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"
#include "windows/CityList.h"

namespace {

std::vector<std::string> g_calls;

void Call(const char* format, long long a = 0, long long b = 0)
{
    char line[128];
    snprintf(line, sizeof(line), format, a, b);
    g_calls.push_back(line);
}

class CRecordingMenu : public IMainMenu {
public:
    void OnCommand(WORD id) override { Call("menu command %lld", id); }
    void ShowMainMenu() override { Call("menu show"); }
    LRESULT OnClockMouse(int index, WPARAM event, HWND) override
    {
        Call("menu clock %lld event %lld", index, (long long)event);
        return index == 0 ? 0 : 77;  // clock 0: the caller shows the menu
    }
    void SetClockCountFlags(bool canAdd, bool canDelete) override { Call("menu flags %lld %lld", canAdd, canDelete); }
    void UpdateTrayTip() override { Call("menu tip"); }
};

class CTimers : public ITimerClocks {
public:
    void SaveTimerState() override { Call("timers save"); }
    bool IsPanelVisible() override { return true; }
    void SendSettingsChanged(WPARAM wParam, LPARAM lParam) override
    {
        Call("timers changed %lld %lld", (long long)wParam, (long long)lParam);
    }
};

class CLog : public IReminderLog {
public:
    void Show() override { Call("log show"); }
    void Relocalize() override { Call("log relocalize"); }
};

class CDesktop : public IDesktopClocks {
public:
    bool GiveTime(bool force) override
    {
        Call(force ? "desktop time forced" : "desktop time");
        return true;
    }
    bool BringForward(bool toDesktop) override
    {
        Call("desktop forward");
        return true;
    }
    bool Hide() override
    {
        Call("desktop hide");
        return true;
    }
    bool Show() override
    {
        Call("desktop show");
        return true;
    }
    int CountOutsideWorkArea() override { return 3; }
    void SavePositions() override { Call("desktop save"); }
};

class CDialogs : public IClockDialogs {
public:
    void ShowCalendar() override { Call("calendar"); }
    void ReopenCalendar() override { Call("calendar reopen"); }
    bool ShowAllClocks() override
    {
        Call("all clocks");
        return true;
    }
    void PostAllClocks(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        Call("all clocks post %llx %llx", message, (long long)lParam);
    }
    void UpdateTimeTable() override { Call("time table"); }
};

class CMap : public IWorldMap {
public:
    void Close() override { Call("map close"); }
};

class CNews : public INewsReader {
public:
    LRESULT OnProgress(WPARAM status, LPARAM progress) override
    {
        Call("news progress %lld %lld", (long long)status, (long long)progress);
        return 42;
    }
    void HidePopup() override { Call("news hide"); }
    void SendSettingsChanged(WPARAM wParam, LPARAM lParam) override
    {
        Call("news changed %lld %lld", (long long)wParam, (long long)lParam);
    }
};

class CPhotos : public ICityPhotos {
public:
    void Request(int32_t cityIndex, HWND requester) override { Call("photo %lld", cityIndex); }
};

class CLanguageReload : public ILanguageReload {
public:
    void Reload() override { Call("language reload"); }
};

const WCHAR kTestClass[] = L"TL_TestMainProgram";

// A program folder with one clock and city photos on; the window is
// message-only, so that no other test's search for the real one finds it.
class MainWindow : public testing::Test {
protected:
    MainWindow() : m_zones(m_system), m_cities(m_zones) {}

    void SetUp() override
    {
        g_calls.clear();
        ASSERT_TRUE(BuildIniPathsFor(m_folder.Path().c_str(), L"user", &m_paths));
        ASSERT_TRUE(m_folder.WriteBytes(L"tempolan.ini", "[user:main]\r\nplaceviews=1\r\n[user:clock1]\r\nenabled=1\r\n"));
        MainSeams seams = {};
        seams.menu = &m_menu;
        seams.timers = &m_timers;
        seams.log = &m_log;
        seams.desktop = &m_desktop;
        seams.dialogs = &m_dialogs;
        seams.map = &m_map;
        seams.news = &m_news;
        seams.photos = &m_photos;
        seams.language = &m_reload;
        BuildInfo build = {};
        build.buildDate.wYear = 2026;
        build.fileVersion.dwSignature = 0xFEEF04BD;
        build.fileVersion.dwFileVersionMS = 0x00050003;
        m_program = new CMainProgram(m_paths, m_language, m_zones, m_cities, build, true, "", seams);

        WNDCLASSW wc = {};
        wc.lpfnWndProc = MainWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kTestClass;
        RegisterClassW(&wc);
        m_window = CreateWindowW(kTestClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, m_program);
        ASSERT_NE(nullptr, m_window);
        KillTimer(m_window, kMainTimerId);  // the tick is not under test here
        g_calls.clear();
    }

    void TearDown() override
    {
        if (IsWindow(m_window))
            DestroyWindow(m_window);
        delete m_program;
        UnregisterClassW(kTestClass, GetModuleHandleW(nullptr));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ;  // the WM_QUIT of the destroyed window
    }

    // The window's answer and the calls it made, the posted ones included.
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
    {
        g_calls.clear();
        LRESULT result = SendMessageW(m_window, message, wParam, lParam);
        MSG msg;
        while (PeekMessageW(&msg, m_window, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        return result;
    }

    CTempFolder m_folder;
    SettingsPaths m_paths;
    CFakeSystemZone m_system;
    CZoneDatabase m_zones;
    CCityList m_cities;
    CLanguage m_language;
    CRecordingMenu m_menu;
    CTimers m_timers;
    CLog m_log;
    CDesktop m_desktop;
    CDialogs m_dialogs;
    CMap m_map;
    CNews m_news;
    CPhotos m_photos;
    CLanguageReload m_reload;
    CMainProgram* m_program = nullptr;
    HWND m_window = nullptr;
};

using Calls = std::vector<std::string>;

TEST_F(MainWindow, EachPrivateMessageReachesItsPart)
{
    struct Row {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
        Calls calls;
    } table[] = {
        {"settings changed", UM_SETTINGSCHANGED, 0, 5, 0,
         {"log relocalize", "time table", "all clocks post 800a 800a", "calendar reopen", "timers changed 0 5",
          "news changed 0 5", "menu tip"}},
        {"settings changed, bit 0", UM_SETTINGSCHANGED, 1, 5, 0, {}},
        {"log window", UM_SHOWLOGWINDOW, 0, 0, 0, {"log show"}},
        {"clock count 5", UM_TRAYCLOCKCOUNT, 5, 0, 0, {"menu flags 1 1"}},
        {"clock count 30", UM_TRAYCLOCKCOUNT, 30, 0, 0, {"menu flags 0 1"}},
        {"clock count: the own one", UM_TRAYCLOCKCOUNT, 0, 0, 0, {"menu flags 1 0"}},
        {"tray icon left button", UM_TRAYNOTIFY, 1, WM_LBUTTONDOWN, 0,
         {"desktop forward", "menu clock 0 event 123", "menu show"}},
        {"tray icon move", UM_TRAYNOTIFY, 1, WM_MOUSEMOVE, 0, {}},
        {"save state", UM_SAVESTATE, 0, 0, 0, {"timers save", "desktop save"}},
        {"hide desktop clocks", UM_HIDEDESKTOPCLOCKS, 1, 0, 0, {"news hide", "desktop hide", "map close"}},
        {"show desktop clocks", UM_HIDEDESKTOPCLOCKS, 0, 0, 0, {"desktop show"}},
        {"calendar", UM_SHOWCALENDAR, 0, 0, 0, {"calendar"}},
        {"all clocks", UM_SHOWALLCLOCKS, 0, 0, 0, {"all clocks"}},
        {"news progress", UM_RSSPROGRESS, 200, 7, 42, {"news progress 200 7"}},
        {"timer panel shown", UM_QUERYCLOCKBUSY, 0, 0, 1, {}},
        {"desktop clocks outside", UM_QUERYDESKTOPCLOCKS, 0, 0, 3, {}},
        {"photo of a country", UM_REQUESTPHOTO, (WPARAM)(DWORD)-5, 0, 1, {"photo -5"}},
        {"clock 29 clicked", UM_TRAYCLOCKMOUSE + 29, 2, 0, 77, {"menu clock 29 event 2"}},
        {"past the last clock", UM_TRAYCLOCKMOUSE + kTrayClockMouseCount, 2, 0, 0, {}},
        {"a menu command", WM_COMMAND, 200, 0, 0, {"menu command 200"}},
        {"time change", WM_TIMECHANGE, 0, 0, 0, {"desktop time forced", "time table", "all clocks post 800a 1e"}},
        {"system settings", WM_SETTINGCHANGE, 0, 0, 0, {"language reload"}},
    };
    ASSERT_EQ(1, m_program->Settings().ClockCount());
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.result, Send(row.message, row.wParam, row.lParam));
        EXPECT_EQ(row.calls, g_calls);
    }
}

// with /nh and no tray clock nothing writes "last_build"; the block has the build anyway
TEST_F(MainWindow, TheSettingsBlockCarriesTheBuild)
{
    const SettingsBlock& block = m_program->Settings().Block();
    EXPECT_EQ(0x00050003u, block.fileVersion.dwFileVersionMS);
    EXPECT_EQ(2026, block.buildDate.wYear);
    Send(UM_SETTINGSCHANGED, 0, 0);  // a reload keeps it
    EXPECT_EQ(0x00050003u, block.fileVersion.dwFileVersionMS);
    EXPECT_EQ(2026, block.buildDate.wYear);
}

TEST_F(MainWindow, SaveStateWritesTheLastAlarmCheck)
{
    std::wstring ini = m_folder.Path() + L"tempolan.ini";
    WCHAR text[64] = {};
    // before the first tick the stored check stays for the next start
    m_program->AlarmState().ticked = false;
    Send(UM_SAVESTATE, 0, 0);
    GetPrivateProfileStringW(L"user:main", L"lastalarmcheck", L"", text, 64, ini.c_str());
    EXPECT_EQ(0u, wcslen(text)) << text;
    m_program->AlarmState().ticked = true;
    Send(UM_SAVESTATE, 0, 0);
    GetPrivateProfileStringW(L"user:main", L"lastalarmcheck", L"", text, 64, ini.c_str());
    EXPECT_EQ(19u, wcslen(text)) << text;
}

// The close command saves, closes the map and posts the window its end.
TEST_F(MainWindow, TheCloseCommandEndsTheWindow)
{
    Send(WM_COMMAND, kCloseCommand, 0);
    EXPECT_FALSE(IsWindow(m_window));
    ASSERT_GE(g_calls.size(), 3u);
    EXPECT_EQ("map close", g_calls[0]);
    EXPECT_EQ("timers save", g_calls[1]);
}

}  // namespace
