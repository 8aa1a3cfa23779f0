#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/alarms/AlarmSeams.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Paths.h"
#include "map/MapExports.h"
#include "windows/CityList.h"
#include "windows/map/CityListPane.h"
#include "windows/map/WorldMap.h"
#include "windows/map/WorldMapValues.h"
#include "tests/support/FakeLanguage.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/StubMapMessages.h"
#include "tests/support/TestFiles.h"

namespace {

std::wstring ErrorText(DWORD code, int chars = kMapErrorTextChars)
{
    std::vector<WCHAR> text(chars, L'#');
    MapErrorText(code, text.data(), chars);
    return text.data();
}

std::wstring SystemMessage(DWORD error)
{
    WCHAR text[1024] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, LANG_USER_DEFAULT, text,
                   1024, nullptr);
    return text;
}

struct Box {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

class CRecordedBoxes : public IAlarmMessageBox {
public:
    int Show(const WCHAR* text, const WCHAR* caption, UINT type) override
    {
        boxes.push_back({text, caption, type});
        if (whileShown)
            whileShown();
        return IDOK;
    }
    std::vector<Box> boxes;
    // runs in place of the box's modal loop
    std::function<void()> whileShown;
};

DWORD WINAPI ClassAlreadyExists()
{
    return ERROR_CLASS_ALREADY_EXISTS;
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

class CCountedDesktop : public IDesktopClocks {
public:
    bool Hide() override
    {
        ++hides;
        return true;
    }
    bool Show() override
    {
        ++shows;
        return true;
    }
    int hides = 0, shows = 0;
};

}  // namespace

TEST(WorldMapValues, ErrorTexts)
{
    struct Case {
        DWORD code;
        const wchar_t* text;
    } cases[] = {
        {0, L""},
        {MAPERR_LOADLIBRARY, L"Can not load orbex.dll"},
        {MAPERR_IMPORTS, L"Can not import required functions from orbex.dll"},
        {MAPERR_TEXTURETOOBIG, L"Can not load and adjust earth texture"},
        {MAPERR_BADTEXTURE, L"Illegal earth texture format"},
        {MAPERR_COPYTEXTURE, L"Can not copy earth texture"},
        {MAPERR_REGISTERCLASS, L"Error while registering window class"},
        {MAPERR_CHOOSEPIXELFORMAT, L"ChoosePixelFormat() failed"},
        {MAPERR_SETPIXELFORMAT, L"SetPixelFormat() failed"},
        {MAPERR_MAKECURRENT, L"wglMakeCurrent() failed"},
        // beyond the family's known causes, and outside it: bit 29 cleared
        {0x2000000A, L"Unknown error 10"},
        {0x20000000, L"Unknown error 0"},
        {5, L"Unknown error 5"},
        {0xA0000001, L"Unknown error 2147483649"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.text, ErrorText(c.code));
    }
    // cut to the buffer, always terminated
    EXPECT_EQ(L"Can not", ErrorText(MAPERR_LOADLIBRARY, 8));
    EXPECT_EQ(L"Unkno", ErrorText(0x2000000A, 6));
}

TEST(WorldMapValues, SavedPositionNeedsFourWholeNumbers)
{
    struct Case {
        const wchar_t* text;
        bool valid;
        MapWindowPos pos;
    } cases[] = {
        {L"100 80 700 500", true, {100, 80, 700, 500}},
        // a monitor left of the main one: the whole number, not its first four characters
        {L"-1920 40 800 600", true, {-1920, 40, 800, 600}},
        {L"12345 -67890 23456 7890", true, {12345, -67890, 23456, 7890}},
        {L"  5   6 7 8 and more", true, {5, 6, 7, 8}},
        {L"100 80 700", false, {}},
        {L"", false, {}},
        {L"a b c d", false, {}},
        {L"1 2 3 99999999999", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::wstring(c.text) << "\"");
        MapWindowPos pos = {-7, -7, -7, -7};
        ASSERT_EQ(c.valid, ParseMapWindowPos(c.text, &pos));
        if (!c.valid)
            continue;
        EXPECT_EQ(c.pos.left, pos.left);
        EXPECT_EQ(c.pos.top, pos.top);
        EXPECT_EQ(c.pos.width, pos.width);
        EXPECT_EQ(c.pos.height, pos.height);
    }
}

TEST(WorldMapValues, MapChildTakesWhatThePaneLeaves)
{
    struct Case {
        int client;
        int child;
    } cases[] = {{1000, 680}, {321, 1}, {320, 1}, {300, 1}, {0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.client);
        EXPECT_EQ(c.child, MapChildWidth(c.client, kCityListPaneWidth));
    }
}

// The box's text: the code's text, and for the codes with a Win32 cause the
// system's message behind it on a line of its own.
TEST(WorldMapError, BoxTextAddsTheSystemMessageOfLaterCodes)
{
    const std::wstring registration = SystemMessage(ERROR_CLASS_ALREADY_EXISTS);
    ASSERT_FALSE(registration.empty());
    struct Case {
        DWORD code;
        GetLastSysErrorProc lastSysError;
        std::wstring text;
    } cases[] = {
        {MAPERR_REGISTERCLASS, ClassAlreadyExists, L"Error while registering window class\r\n" + registration},
        {MAPERR_MAKECURRENT, ClassAlreadyExists, L"wglMakeCurrent() failed\r\n" + registration},
        {0x2000000A, ClassAlreadyExists, L"Unknown error 10\r\n" + registration},
        // the texture codes have no Win32 error behind them
        {MAPERR_TEXTURETOOBIG, ClassAlreadyExists, L"Can not load and adjust earth texture"},
        {MAPERR_BADTEXTURE, ClassAlreadyExists, L"Illegal earth texture format"},
        // a library that did not load has no GetLastSysError
        {MAPERR_REGISTERCLASS, nullptr, L"Error while registering window class"},
        {MAPERR_LOADLIBRARY, nullptr, L"Can not load orbex.dll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CRecordedBoxes messages;
        ShowMapError(c.code, c.lastSysError, messages);
        ASSERT_EQ(1u, messages.boxes.size());
        EXPECT_EQ(c.text, messages.boxes[0].text);
        EXPECT_EQ(L"World Map Error", messages.boxes[0].caption);
        EXPECT_EQ((UINT)MB_ICONERROR, messages.boxes[0].type);
    }
    CRecordedBoxes none;
    ShowMapError(0, ClassAlreadyExists, none);
    EXPECT_TRUE(none.boxes.empty());
}

// The template makes a resizable captioned popup without controls, its
// title cut to 97 characters.
TEST(WorldMapWindow, TemplateMakesAnEmptySizableDialog)
{
    std::wstring title(120, L'x');
    title[96] = L'y';
    std::vector<WORD> words = BuildMapDialogTemplate(title.c_str());
    DLGTEMPLATE* head = (DLGTEMPLATE*)words.data();
    EXPECT_EQ(0, head->cdit);
    // not shown here: no window of this test reaches the screen
    head->style &= ~WS_VISIBLE;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), head, nullptr, NoDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    WCHAR text[200] = {};
    GetWindowTextW(dialog, text, 200);
    EXPECT_EQ(title.substr(0, 97), text);
    DWORD style = (DWORD)GetWindowLongW(dialog, GWL_STYLE);
    for (DWORD bit : std::initializer_list<DWORD>{WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_MAXIMIZEBOX, WS_CLIPCHILDREN}) {
        SCOPED_TRACE(bit);
        EXPECT_EQ(bit, style & bit);
    }
    EXPECT_EQ(0u, style & WS_MINIMIZEBOX);
    EXPECT_EQ(nullptr, GetWindow(dialog, GW_CHILD));
    DestroyWindow(dialog);
}

namespace {

const char kCities[] =
    "Berlin\tBerlin\tGermany\t52.52\t13.405\tW. Europe Standard Time\r\n"
    "Sydney\tSydney\tAustralia\t-33.87\t151.21\tUTC\n";

// A program folder without the map library, its user "tester".
class WorldMapHost : public testing::Test {
protected:
    WorldMapHost() : zones(system), cities(zones), map(Services()) {}
    void SetUp() override
    {
        ASSERT_TRUE(zones.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        ASSERT_TRUE(folder.WriteBytes(L"cities.txt", kCities));
        settings.options = kOptMapInitialized;
        map.SetSettings(&settings);
    }
    WorldMapServices Services()
    {
        BuildIniPathsFor(folder.Path().c_str(), L"tester", &paths);
        WorldMapServices services = {};
        services.paths = &paths;
        services.strings = &strings;
        services.program = GetModuleHandleW(nullptr);
        services.cities = &cities;
        services.zones = &zones;
        services.desktop = &desktop;
        services.messages = &messages;
        return services;
    }
    std::wstring Key(const wchar_t* section, const wchar_t* key)
    {
        WCHAR value[128] = {};
        GetPrivateProfileStringW(section, key, L"(none)", value, 128, paths.userIni);
        return value;
    }
    void WriteMainKey(const wchar_t* key, const wchar_t* value)
    {
        WritePrivateProfileStringW(L"tester:main", key, value, paths.userIni);
    }

    CTempFolder folder;
    SettingsPaths paths = {};
    CFakeSystemZone system;
    CZoneDatabase zones;
    CCityList cities;
    CFakeLanguage strings;
    CCountedDesktop desktop;
    CRecordedBoxes messages;
    SettingsBlock settings = {};
    CWorldMap map;
};

}  // namespace

// Without the library: the box, then the window with the list alone; the
// map is marked as not available; a second open raises the same window; the
// close saves the placement and shows the desktop clocks again.
TEST_F(WorldMapHost, WithoutTheLibraryTheWindowOpensAlone)
{
    ASSERT_TRUE(map.ShowWorldMap(L"sydney, australia"));
    HWND window = map.Window();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(nullptr, map.MapChild());
    ASSERT_EQ(1u, messages.boxes.size());
    EXPECT_EQ(L"Can not load orbex.dll", messages.boxes[0].text);
    EXPECT_EQ(2, cities.Count());
    EXPECT_EQ(1, desktop.hides);
    EXPECT_EQ(0, desktop.shows);
    EXPECT_EQ(L"0", Key(L"map", L"initialized"));
    EXPECT_EQ(0u, settings.options & kOptMapInitialized);
    WCHAR title[128] = {};
    GetWindowTextW(window, title, 128);
    EXPECT_STREQ(L"Tempolan World Map", title);
    // no saved place: maximised
    EXPECT_TRUE(IsZoomed(window));
    // (its size is the window manager's, and the tests run without one)

    // the list is not read again while the map is open
    ASSERT_TRUE(folder.WriteBytes(L"cities.txt", std::string(kCities) + kCities));
    ASSERT_TRUE(map.ShowWorldMap(nullptr));
    EXPECT_EQ(window, map.Window());
    EXPECT_EQ(1u, messages.boxes.size());
    EXPECT_EQ(1, desktop.hides);
    EXPECT_EQ(1, map.OpenCount());
    EXPECT_EQ(2, cities.Count());

    map.Close();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, map.Window());
    EXPECT_EQ(0, map.OpenCount());
    EXPECT_EQ(1, desktop.shows);
    EXPECT_EQ(L"1", Key(L"tester:main", L"MapWindowMax"));
    MapWindowPos pos;
    EXPECT_TRUE(ParseMapWindowPos(Key(L"tester:main", L"MapWindowPos").c_str(), &pos));

    // a new window reads the list again; a second close does nothing
    ASSERT_TRUE(map.ShowWorldMap(nullptr));
    EXPECT_EQ(4, cities.Count());
    map.Close();
    map.Close();
    EXPECT_EQ(2, desktop.hides);
    EXPECT_EQ(2, desktop.shows);
}

// The program's exit closes the map while the library's error box is up:
// no window is made after it, and the desktop clocks are shown again.
TEST_F(WorldMapHost, CloseDuringTheErrorBoxLeavesNothingOpen)
{
    messages.whileShown = [this] { map.Close(); };
    EXPECT_FALSE(map.ShowWorldMap(nullptr));
    EXPECT_EQ(1u, messages.boxes.size());
    EXPECT_EQ(nullptr, map.Window());
    // (only this process's: a program of another test may show its map)
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32770", L"Tempolan World Map")) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(found, &pid);
        EXPECT_NE(GetCurrentProcessId(), pid) << "a map window was made";
    }
    EXPECT_EQ(0, map.OpenCount());
    EXPECT_EQ(1, desktop.hides);
    EXPECT_EQ(1, desktop.shows);
    // and a later open works
    messages.whileShown = nullptr;
    ASSERT_TRUE(map.ShowWorldMap(nullptr));
    EXPECT_NE(nullptr, map.Window());
    map.Close();
}

// A saved normal place is taken whole, far left included; three numbers are
// no place and the window opens maximised.
TEST_F(WorldMapHost, SavedPlacementComesBack)
{
    struct Case {
        const wchar_t* pos;
        const wchar_t* max;
        bool zoomed;
        RECT rect;
    } cases[] = {
        // five characters: "%4d" would read -100 and take the 0 for the top; a
        // window wholly off the one screen of the tests would be moved onto it
        {L"-1000 40 1200 600", L"0", false, {-1000, 40, 200, 640}},
        {L"100 80 700 500", L"0", false, {100, 80, 800, 580}},
        {L"100 80 700", L"0", true, {}},
        {L"100 80 700 500", L"1", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.pos) << " max " << std::wstring(c.max));
        WriteMainKey(L"MapWindowPos", c.pos);
        WriteMainKey(L"MapWindowMax", c.max);
        ASSERT_TRUE(map.ShowWorldMap(nullptr));
        HWND window = map.Window();
        EXPECT_EQ(c.zoomed, IsZoomed(window) != FALSE);
        if (!c.zoomed) {
            RECT r;
            GetWindowRect(window, &r);
            EXPECT_EQ(c.rect.left, r.left);
            EXPECT_EQ(c.rect.top, r.top);
            EXPECT_EQ(c.rect.right, r.right);
            EXPECT_EQ(c.rect.bottom, r.bottom);
        }
        map.Close();
        if (!c.zoomed) {
            EXPECT_EQ(c.pos, Key(L"tester:main", L"MapWindowPos"));
        }
        EXPECT_EQ(c.zoomed ? L"1" : L"0", Key(L"tester:main", L"MapWindowMax"));
    }
}

#ifdef TL_TEST_BINARIES
namespace {

// The stand-in library whose map child notes the host's messages.
class WorldMapChild : public WorldMapHost {
protected:
    void SetUp() override
    {
        WorldMapHost::SetUp();
        ASSERT_TRUE(CopyFileW(TL_TEST_BINARIES L"mapstub_child\\orbex.dll", folder.File(L"orbex.dll").c_str(), FALSE));
    }
    // The child's messages of kind `message` since the last look.
    std::vector<StubMapMessage> Noted(UINT message) { return OfKind(TakeStubMapMessages(), message); }
    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    // The pane's list once the pane is built: it has its columns then.
    HWND PaneList()
    {
        HWND list = GetDlgItem(map.Window(), kIdPaneList);
        HWND header = list ? (HWND)SendMessageW(list, LVM_GETHEADER, 0, 0) : nullptr;
        return header && SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) > 0 ? list : nullptr;
    }
    LPARAM Record(int index) { return (LPARAM)(cities.Cities() + index); }
};

void ExpectOne(const std::vector<StubMapMessage>& noted, WPARAM wParam, LPARAM lParam)
{
    ASSERT_EQ(1u, noted.size());
    EXPECT_EQ(wParam, noted[0].wParam);
    EXPECT_EQ(lParam, noted[0].lParam);
}

}  // namespace

// With a map child: the map is marked available, the child gets the cloud
// switch and the current clock's city, the main window's overlay change, and
// the wheel in its own coordinates; the close unloads the library.
TEST_F(WorldMapChild, HostRelaysToTheMapChild)
{
    settings.options = 0;
    settings.cloudOverlay = 1;
    ASSERT_TRUE(map.ShowWorldMap(L"sydney, australia"));
    HWND window = map.Window(), child = map.MapChild();
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(window, GetParent(child));
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(L"1", Key(L"map", L"initialized"));
    EXPECT_NE(0u, settings.options & kOptMapInitialized);
    {
        SCOPED_TRACE("on creation");
        ExpectOne(Noted(UM_MAPSETOVERLAY), 0, 1);
    }
    {
        SCOPED_TRACE("the current clock's city");
        ASSERT_TRUE(map.ShowWorldMap(L"Sydney, Australia"));
        ExpectOne(Noted(UM_MAPSELECTCITY), 1, Record(1));
    }
    {
        SCOPED_TRACE("the main window's overlay change");
        SendMessageW(window, UM_MAPOVERLAYCHANGED, 0, 0);
        ExpectOne(Noted(UM_MAPSETOVERLAY), 0, 0);
    }
    {
        SCOPED_TRACE("the wheel");
        POINT origin = {0, 0};
        ClientToScreen(child, &origin);
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(origin.x + 10, origin.y + 20));
        ExpectOne(Noted(WM_MOUSEWHEEL), MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(10, 20));
    }
    map.Close();
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"orbex.dll"));
    EXPECT_EQ(1, desktop.shows);
}

// The current clock's city is selected in the list; a click on a city row
// shows that city's photos: the map child acts only with the record's address
// beside the index; a double click and "show on map" fly there.
TEST_F(WorldMapChild, ListRowsGoToTheMapWithTheirRecords)
{
    ASSERT_TRUE(map.ShowWorldMap(L"sydney, australia"));
    HWND window = map.Window();
    HWND list = PaneList();
    ASSERT_NE(nullptr, list);
    // the current clock's city is the list's selected row
    EXPECT_EQ(1, SendMessageW(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED));
    Noted(UM_MAPSHOWCITY);
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ASSERT_TRUE(SendMessageW(list, LVM_SETITEMSTATE, 1, (LPARAM)&item));
    NMHDR click = {list, (UINT_PTR)kIdPaneList, (UINT)NM_CLICK};
    SendMessageW(window, WM_NOTIFY, kIdPaneList, (LPARAM)&click);
    Pump();
    ExpectOne(Noted(UM_MAPSHOWCITY), 1, Record(1));

    NMHDR doubleClick = {list, (UINT_PTR)kIdPaneList, (UINT)NM_DBLCLK};
    SendMessageW(window, WM_NOTIFY, kIdPaneList, (LPARAM)&doubleClick);
    ExpectOne(Noted(UM_MAPSELECTCITY), 1, Record(1));
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(kIdPaneShowOnMap, BN_CLICKED), 0);
    ExpectOne(Noted(UM_MAPSELECTCITY), 1, Record(1));
    EXPECT_EQ(map.MapChild(), GetFocus());
    map.Close();
}
#endif
