// The world map window of the real program, opened by its menu command and
// looked at from outside: the real map library or stand-ins for it in the
// program folder, the desktop clocks, the saved placement and the boxes of
// the library's failures.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"
#include "windows/map/CityListPane.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/ScreenGrab.h"

namespace {

const DWORD kWaitMs = kProgramWaitMs;
const WCHAR kErrorCaption[] = L"World Map Error";
const WCHAR kDialogClass[] = L"#32770";
const int kCities = 5;

// String 174 of the English language library, else the program's own title.
std::wstring MapTitle()
{
    WCHAR text[101] = {};
    if (HMODULE res = LoadLibraryExW(TL_RES_EN_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        LoadStringW(res, 174, text, 101);
        FreeLibrary(res);
    }
    return text[0] ? text : L"Tempolan World Map";
}

struct FindMapWindows {
    DWORD pid;
    std::wstring title;
    std::vector<HWND> found;
};

BOOL CALLBACK FindMapWindowsProc(HWND hwnd, LPARAM lParam)
{
    FindMapWindows* find = (FindMapWindows*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WCHAR title[128] = {};
    GetWindowTextW(hwnd, title, 128);
    if (pid == find->pid && HasWindowClass(hwnd, kDialogClass) && find->title == title)
        find->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> MapWindows(DWORD pid)
{
    FindMapWindows find = {pid, MapTitle(), {}};
    EnumWindows(FindMapWindowsProc, (LPARAM)&find);
    return find.found;
}

// The one map window once it is shown and its creation is over; null when
// none came.
HWND WaitForMapWindow(DWORD pid, HWND main)
{
    HWND window = nullptr;
    PumpUntil([&] {
        std::vector<HWND> found = MapWindows(pid);
        window = found.size() == 1 && IsWindowVisible(found[0]) ? found[0] : nullptr;
        return window != nullptr;
    }, kWaitMs);
    // the program answers once it is back in its message loop
    Query(main, WM_NULL);
    return window;
}

bool WaitForNoMapWindow(DWORD pid)
{
    return PumpUntil([&] { return MapWindows(pid).empty(); }, kWaitMs);
}

// How often a module of that name is in the process; -1 when its modules
// cannot be read. Through the handle of its start: the program opens itself
// to others for queries and reads only, which a module snapshot exceeds.
int CountModules(HANDLE process, const wchar_t* name)
{
    HMODULE modules[1024];
    DWORD bytes = 0;
    if (!EnumProcessModulesEx(process, modules, sizeof(modules), &bytes, LIST_MODULES_ALL))
        return -1;
    int count = 0;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 1024; ++i) {
        WCHAR module[MAX_PATH] = {};
        if (GetModuleBaseNameW(process, modules[i], module, MAX_PATH))
            count += lstrcmpiW(module, name) == 0;
    }
    return count;
}

HWND MapChild(HWND window)
{
    return FindWindowExW(window, nullptr, kMapWindowClass, nullptr);
}

int ClientWidth(HWND window)
{
    RECT r = {};
    GetClientRect(window, &r);
    return r.right;
}

// The pane's list once the pane is built: it has its columns then.
HWND PaneList(HWND window)
{
    HWND list = GetDlgItem(window, kIdPaneList);
    HWND header = list ? (HWND)Query(list, LVM_GETHEADER) : nullptr;
    return header && header != (HWND)-1 && Query(header, HDM_GETITEMCOUNT) > 0 ? list : nullptr;
}

std::wstring MapKey(const CProgramFolder& program, const wchar_t* key)
{
    WCHAR value[64] = {};
    GetPrivateProfileStringW(L"map", key, L"(none)", value, 64, program.File(L"tempolan.ini").c_str());
    return value;
}

std::wstring SystemMessage(DWORD error)
{
    WCHAR text[1024] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, LANG_USER_DEFAULT, text,
                   1024, nullptr);
    return text;
}

// The program with a desktop clock, the first cities of the list, and the
// real map library with its pictures when asked for.
class WorldMapProcess : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
        ASSERT_TRUE(program.Ready());
        ASSERT_TRUE(program.WriteCities(kCities));
        program.WriteClock(1, PlainClock(L"Watch", {L"dsk_pos_x=900", L"dsk_pos_y=60"}));
    }
    void AddMapLibrary()
    {
        for (const wchar_t* file : {L"orbex.dll", L"map.jpg", L"clouds.jpg", L"buttons.png"})
            ASSERT_TRUE(program.AddProgramFile(file)) << file;
    }
    void Start()
    {
        pid = program.StartWithoutHook();
        ASSERT_NE(0u, pid);
        main = FindWindowW(kMainWindowClass, nullptr);
        ASSERT_NE(nullptr, main);
        ASSERT_TRUE(WaitForClockWindows(pid, 1, true, &clocks));
    }
    HWND OpenMap()
    {
        PostMessageW(main, WM_COMMAND, kCmdWorldMap, 0);
        return WaitForMapWindow(pid, main);
    }
    // By its close box, as the user closes it.
    bool CloseMap(HWND window)
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitForNoMapWindow(pid);
    }

    CDesktopProgram program;
    DWORD pid = 0;
    HWND main = nullptr;
    ClockWindows clocks;
};

// Saved as a picture, cut from the screen; the pane's side shows the
// button-face fill between its controls. A busy machine may grab the screen
// before the program has painted: the picture is taken again, for a while.
void SaveShot(HWND window)
{
    const DWORD kPaintedWaitMs = 10000;
    int faces = 0, pixels = 0;
    std::vector<uint8_t> rgb;
    RECT r = {};
    for (DWORD start = GetTickCount(); GetTickCount() - start < kPaintedWaitMs;) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        PumpUntil([] { return false; }, 500);
        GetWindowRect(window, &r);
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        IntersectRect(&r, &r, &screen);
        rgb = GrabScreenRgb(r);
        ASSERT_FALSE(rgb.empty());
        int width = r.right - r.left;
        RECT client;
        GetClientRect(window, &client);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        faces = 0;
        pixels = 0;
        for (int y = origin.y; y < origin.y + client.bottom; ++y) {
            for (int x = origin.x + client.right - kCityListPaneWidth; x < origin.x + client.right; ++x) {
                if (x < r.left || x >= r.right || y < r.top || y >= r.bottom)
                    continue;
                const uint8_t* p = &rgb[((size_t)(y - r.top) * width + (x - r.left)) * 3];
                faces += RGB(p[0], p[1], p[2]) == face;
                ++pixels;
            }
        }
        if (pixels > 0 && faces >= pixels / 50)
            break;
    }
    EXPECT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"worldmap-process.png", r.right - r.left,
                               r.bottom - r.top, 3, rgb.data()));
    ASSERT_GT(pixels, 0);
    EXPECT_GE(faces, pixels / 50) << "of " << pixels;
}

}  // namespace

// The menu command opens the map window with the real library's map in it;
// a second one raises the same window, the library loaded once; the desktop
// clock hides meanwhile; the close unloads the library, shows the clock and
// saves the placement.
TEST_F(WorldMapProcess, OpensRaisesAndClosesWithTheRealLibrary)
{
    AddMapLibrary();
    Start();
    EXPECT_EQ(0, CountModules(program.Started().Handle(), L"orbex.dll"));
    HWND window = OpenMap();
    ASSERT_NE(nullptr, window);
    HWND child = MapChild(window);
    ASSERT_NE(nullptr, child);
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_EQ(1, CountModules(program.Started().Handle(), L"orbex.dll"));
    EXPECT_TRUE(WaitForClockWindows(pid, 1, false, &clocks));
    EXPECT_EQ(L"1", MapKey(program, L"initialized"));
    // no saved place: maximised (the size is the window manager's, and the
    // tests run without one)
    EXPECT_TRUE(IsZoomed(window));

    PostMessageW(main, WM_COMMAND, kCmdWorldMap, 0);
    EXPECT_EQ(window, WaitForMapWindow(pid, main));
    EXPECT_EQ(1u, MapWindows(pid).size());
    EXPECT_EQ(1, CountModules(program.Started().Handle(), L"orbex.dll"));
    SaveShot(window);
    EXPECT_TRUE(IsZoomed(window));

    EXPECT_TRUE(CloseMap(window));
    EXPECT_EQ(0, CountModules(program.Started().Handle(), L"orbex.dll"));
    EXPECT_TRUE(WaitForClockWindows(pid, 1, true, &clocks));
    EXPECT_EQ(L"1", program.UserMainKey(L"MapWindowMax"));
    std::wstring pos = program.UserMainKey(L"MapWindowPos");
    int values[4];
    EXPECT_EQ(4, swscanf(pos.c_str(), L"%d %d %d %d", &values[0], &values[1], &values[2], &values[3])) << pos;
    EXPECT_TRUE(program.ExitProgram());
}

// A saved normal place comes back whole, far left included, and is written
// back so at the close; three numbers are no place and the window opens
// maximised; the main window's "hide the desktop clocks" closes the map.
TEST_F(WorldMapProcess, SavedPlacementAndTheMainWindowsClose)
{
    AddMapLibrary();
    Start();
    {
        // reaching into the screen from the left: a window wholly off the one
        // screen of the tests would be moved onto it
        SCOPED_TRACE("a place mostly left of the screen");
        program.WriteMainKey(L"MapWindowPos", L"-1000 40 1200 600");
        program.WriteMainKey(L"MapWindowMax", L"0");
        HWND window = OpenMap();
        ASSERT_NE(nullptr, window);
        EXPECT_FALSE(IsZoomed(window));
        RECT r;
        GetWindowRect(window, &r);
        EXPECT_EQ(-1000, r.left);
        EXPECT_EQ(40, r.top);
        EXPECT_EQ(1200, r.right - r.left);
        EXPECT_EQ(600, r.bottom - r.top);
        EXPECT_TRUE(CloseMap(window));
        EXPECT_EQ(L"-1000 40 1200 600", program.UserMainKey(L"MapWindowPos"));
        EXPECT_EQ(L"0", program.UserMainKey(L"MapWindowMax"));
    }
    {
        SCOPED_TRACE("three numbers");
        program.WriteMainKey(L"MapWindowPos", L"100 80 700");
        HWND window = OpenMap();
        ASSERT_NE(nullptr, window);
        EXPECT_TRUE(IsZoomed(window));
        EXPECT_NE(-1, Query(main, UM_HIDEDESKTOPCLOCKS, 1));
        EXPECT_TRUE(WaitForNoMapWindow(pid));
        EXPECT_EQ(0, CountModules(program.Started().Handle(), L"orbex.dll"));
        // the map's own hide is undone, the main window's stays
        EXPECT_TRUE(WaitForClockWindows(pid, 1, false, &clocks));
        EXPECT_NE(-1, Query(main, UM_HIDEDESKTOPCLOCKS, 0));
        EXPECT_TRUE(WaitForClockWindows(pid, 1, true, &clocks));
    }
    EXPECT_TRUE(program.ExitProgram());
}

// The map child and the pane share the client area: the child 320 pixels
// narrower, the list one row per city; a client 300 pixels wide leaves a
// child of one pixel; the close saves the list's columns.
TEST_F(WorldMapProcess, MapChildAndPaneShareTheClient)
{
    AddMapLibrary();
    Start();
    HWND window = OpenMap();
    ASSERT_NE(nullptr, window);
    HWND list = PaneList(window);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(kCities, Query(list, LVM_GETITEMCOUNT));
    HWND child = MapChild(window);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(ClientWidth(window) - kCityListPaneWidth, ClientWidth(child));
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    const int border = (frame.right - frame.left) - client.right;
    EXPECT_TRUE(CloseMap(window));
    EXPECT_NE(L"", program.UserMainKey(L"citylistcolumns"));

    program.WriteMainKey(L"MapWindowPos", L"50 50 " + std::to_wstring(300 + border) + L" 400");
    program.WriteMainKey(L"MapWindowMax", L"0");
    window = OpenMap();
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(300, ClientWidth(window));
    child = MapChild(window);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(1, ClientWidth(child));
    EXPECT_TRUE(CloseMap(window));
    EXPECT_TRUE(program.ExitProgram());
}

// The library's failures in words, each followed by the window with the
// city list alone; the library file can be changed between the opens since
// each close unloads it.
TEST_F(WorldMapProcess, LibraryFailuresAreShownInWords)
{
    Start();
    struct Case {
        const char* name;
        const wchar_t* stub;  // the orbex.dll put in the program folder; null: none
        std::wstring text;
        bool prefixOnly;
    } cases[] = {
        {"no library", nullptr, L"Can not load orbex.dll", false},
        {"an export missing", L"mapstub_noimports\\orbex.dll", L"Can not import required functions from orbex.dll",
         false},
        {"class registration", L"mapstub_regclass\\orbex.dll",
         L"Error while registering window class\r\n" + SystemMessage(ERROR_CLASS_ALREADY_EXISTS), false},
        {"a code it does not know", L"mapstub_unknown\\orbex.dll", L"Unknown error 10\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring library = program.File(L"orbex.dll");
        if (c.stub)
            ASSERT_TRUE(program.AddTestBinary(c.stub, L"orbex.dll"));
        else
            DeleteFileW(library.c_str());
        WritePrivateProfileStringW(L"map", L"initialized", L"1", program.File(L"tempolan.ini").c_str());
        PostMessageW(main, WM_COMMAND, kCmdWorldMap, 0);
        std::wstring text = CloseMessageBox(kErrorCaption, kWaitMs);
        if (c.prefixOnly)
            EXPECT_EQ(c.text, text.substr(0, c.text.size())) << text;
        else
            EXPECT_EQ(c.text, text);
        HWND window = WaitForMapWindow(pid, main);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(nullptr, MapChild(window));
        EXPECT_EQ(L"0", MapKey(program, L"initialized"));
        EXPECT_TRUE(CloseMap(window));
        EXPECT_EQ(0, CountModules(program.Started().Handle(), L"orbex.dll"));
    }
    EXPECT_TRUE(program.ExitProgram());
}
