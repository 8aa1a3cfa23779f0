// The calendar popup and the time table of the real program, seen from
// outside: opened by the main window's messages and commands, found by
// title and class, their lists read across the process.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Paths.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/RemoteListView.h"

namespace {

const DWORD kWaitMs = kProgramWaitMs;

struct FindWindows {
    DWORD pid;
    const WCHAR* cls;
    const WCHAR* title;
    std::vector<HWND> found;
};

BOOL CALLBACK FindWindowsProc(HWND hwnd, LPARAM lParam)
{
    FindWindows* find = (FindWindows*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WCHAR name[64] = {}, title[128] = {};
    GetClassNameW(hwnd, name, 64);
    GetWindowTextW(hwnd, title, 128);
    if (pid == find->pid && lstrcmpW(name, find->cls) == 0 && lstrcmpW(title, find->title) == 0 &&
        IsWindowVisible(hwnd))
        find->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> WindowsOf(DWORD pid, const WCHAR* cls, const WCHAR* title)
{
    FindWindows find = {pid, cls, title, {}};
    EnumWindows(FindWindowsProc, (LPARAM)&find);
    return find.found;
}

HWND WaitForWindow(DWORD pid, const WCHAR* cls, const WCHAR* title)
{
    std::vector<HWND> found;
    PumpUntil([&] { return !(found = WindowsOf(pid, cls, title)).empty(); }, kWaitMs);
    return found.empty() ? nullptr : found[0];
}

std::wstring MainKey(const CDesktopProgram& program, const WCHAR* key)
{
    SettingsPaths paths = {};
    BuildIniPaths(program.Path().c_str(), &paths);
    WCHAR value[64] = L"";
    GetPrivateProfileStringW((std::wstring(paths.userPrefix) + L":main").c_str(), key, L"(none)", value, 64,
                             paths.userIni);
    return value;
}

int HeaderColumns(HWND list)
{
    DWORD_PTR header = 0, count = 0;
    SendMessageTimeoutW(list, LVM_GETHEADER, 0, 0, SMTO_NORMAL, 5000, &header);
    SendMessageTimeoutW((HWND)header, HDM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &count);
    return (int)count;
}

const WCHAR kDialogClass[] = L"#32770";

}  // namespace

// UM_SHOWCALENDAR opens the popup titled by the library; again raises the
// same one; Escape closes it and its corner is written.
TEST(ClockDialogsProcess, CalendarPopupOpensOnceAndEscapeClosesIt)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    program.WriteClock(1, PlainClock(L"First"));
    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    ASSERT_NE(-1, Query(main, UM_SHOWCALENDAR));
    HWND popup = WaitForWindow(pid, kDialogClass, L"Calendar");
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(main, GetWindow(popup, GW_OWNER));
    RECT client;
    GetClientRect(popup, &client);
    EXPECT_GT(client.right, 100);
    EXPECT_GT(client.bottom, 100);
    ASSERT_NE(-1, Query(main, UM_SHOWCALENDAR));
    PumpUntil([] { return false; }, 300);
    std::vector<HWND> popups = WindowsOf(pid, kDialogClass, L"Calendar");
    ASSERT_EQ(1u, popups.size());
    EXPECT_EQ(popup, popups[0]);

    RECT place;
    GetWindowRect(popup, &place);
    SetForegroundWindow(popup);
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(popup); }, kWaitMs));
    EXPECT_EQ(std::to_wstring(place.left), MainKey(program, L"calendar_x"));
    EXPECT_EQ(std::to_wstring(place.top), MainKey(program, L"calendar_y"));
    EXPECT_TRUE(program.ExitProgram());
}

// Command 432 opens the time table at the stored interval and format; a
// settings change that adds clocks gives it their columns; its choices are
// written when it closes.
TEST(ClockDialogsProcess, TimeTableFollowsTheSettings)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    program.WriteClock(1, PlainClock(L"First"));
    program.WriteClock(2, PlainClock(L"Second"));
    program.WriteClock(3, PlainClock(L"Third"));
    program.WriteMainKey(L"ttable_interval", L"15");
    program.WriteMainKey(L"ttable_format", L"24 hours");
    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    PostMessageW(main, WM_COMMAND, kCmdTimeTable, 0);
    HWND table = WaitForWindow(pid, kGenericWindowClass, L"Tempolan Time Table");
    ASSERT_NE(nullptr, table);
    HWND list = FindWindowExW(table, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(4, HeaderColumns(list));
    std::vector<std::vector<std::wstring>> rows;
    ASSERT_TRUE(ReadRemoteListTexts(program.Started().Handle(), list, 4, &rows));
    ASSERT_EQ(96u, rows.size());
    EXPECT_EQ(L"0:00", rows[0][0].substr(4));
    EXPECT_EQ(L"23:45", rows[95][0].substr(4));
    // the clocks keep UTC
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    int minute = ((int)zone.Bias % 1440 + 1440) % 1440;
    WCHAR expected[16];
    wsprintfW(expected, L"%d:%02d", minute / 60, minute % 60);
    EXPECT_EQ(expected, rows[0][1].substr(4));

    program.WriteClock(4, PlainClock(L"Fourth"));
    program.WriteClock(5, PlainClock(L"Fifth"));
    ASSERT_NE(-1, Query(main, UM_SETTINGSCHANGED));
    EXPECT_TRUE(PumpUntil([&] { return HeaderColumns(list) == 6; }, kWaitMs));
    ASSERT_TRUE(ReadRemoteListTexts(program.Started().Handle(), list, 6, &rows));
    ASSERT_EQ(96u, rows.size());
    EXPECT_EQ(rows[10][1], rows[10][5]);

    PostMessageW(table, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(table); }, kWaitMs));
    EXPECT_EQ(L"24 hours", MainKey(program, L"ttable_format"));
    EXPECT_EQ(L"15", MainKey(program, L"ttable_interval"));
    EXPECT_TRUE(program.ExitProgram());
}
