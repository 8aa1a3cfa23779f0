#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main/MainSeams.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/WebSites.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Handles.h"
#include "windows/CityList.h"
#include "windows/map/CityListPane.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/ListViewText.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/TestFiles.h"

namespace {

class CRecordingStarter : public IProgramStarter {
public:
    bool Start(const WCHAR* file, const WCHAR* parameters, const WCHAR*) override
    {
        started.push_back(file ? file : L"(null)");
        EXPECT_EQ(nullptr, parameters);
        return true;
    }
    std::vector<std::wstring> started;
};

std::vector<std::pair<int, std::wstring>> g_localStrings;

void WINAPI RecordLocalString(int32_t id, const WCHAR* text)
{
    g_localStrings.push_back({id, text ? text : L"(null)"});
}

// Stands in for the map window: the pane's commands, its links and its size.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pane = (CCityListPane*)GetWindowLongPtrW(window, GWLP_USERDATA);
    switch (message) {
    case WM_COMMAND:
        if (pane && pane->OnCommand(LOWORD(wParam), HIWORD(wParam)))
            return 0;
        break;
    case WM_SIZE:
        if (pane)
            pane->Layout();
        return 0;
    case WM_LBUTTONDOWN:
        if (pane) {
            POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
            pane->OpenLink(pane->LinkAt(at));
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
        if (pane)
            pane->PaintLinks(dc);
        EndPaint(window, &paint);
        return 0;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t kHostClass[] = L"TlCityListPaneTestHost";

// Cities in file order: three of Germany among countries that hold "ger"
// elsewhere than at their start, then enough of another to scroll.
std::string CityFile()
{
    std::string text =
        "Batumi\tx\tGeorgia\t41.6\t41.6\tUTC\n"
        "Algiers\tx\tAlgeria\t36.7\t3.0\tUTC\n"
        "Niamey\tx\tNiger\t13.5\t2.1\tUTC\n"
        "Berlin\tx\tGermany\t52.5\t13.4\tW. Europe Standard Time\n"
        "Bremen\tx\tgermany\t53.1\t8.8\tW. Europe Standard Time\n"
        "Hamburg\tx\tGermany\t53.6\t10.0\tW. Europe Standard Time\n"
        "S\xe3o Paulo\tx\tBrazil\t-23.5\t-46.6\tUTC\n"
        "Rio de Janeiro\tx\tBrazil\t-22.9\t-43.2\tUTC\n";
    for (int i = 0; i < 60; ++i) {
        char line[64];
        wsprintfA(line, "Town%02d\tx\tFiller\t0\t0\tUTC\n", i);
        text += line;
    }
    return text;
}

class CityListPane : public testing::Test {
protected:
    CityListPane() : zones(sys), cities(zones), cityFile(CityFile()) {}

    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        english.Reset(LoadLibraryExW(TL_RES_EN_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(english);
        language.SetResources(english.Get(), nullptr);
        ASSERT_TRUE(zones.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        ASSERT_TRUE(cities.LoadCityList(cityFile.Path()));
        ASSERT_EQ(68, cities.Count());
        settings = folder.File(L"tempolan.ini");
        WNDCLASSW wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kHostClass;
        RegisterClassW(&wc);  // once for the run
        g_localStrings.clear();
    }
    void TearDown() override
    {
        if (host)
            DestroyWindow(host);
        host = nullptr;
    }

    // The host of 1000 x 600 (client `width` when given), a map child and the built pane.
    void Open(bool photosOn = true, bool withMap = true, int width = 0)
    {
        host = CreateWindowExW(0, kHostClass, L"Pane", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 1000, 600,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(host);
        if (width > 0) {
            RECT r = {0, 0, width, 400};
            AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
            SetWindowPos(host, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
        }
        map = withMap ? CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 0, 0, 10, 10, host,
                                        nullptr, GetModuleHandleW(nullptr), nullptr)
                      : nullptr;
        CityListPaneServices services = {&language, &cities, &zones, settings.c_str(), L"tester:main", photosOn,
                                         &starter};
        pane.reset(new CCityListPane(services));
        SetWindowLongPtrW(host, GWLP_USERDATA, (LONG_PTR)pane.get());
        pane->Build(host, map, RecordLocalString);
        list = pane->List();
        ASSERT_TRUE(list);
    }

    HWND Item(int id) { return GetDlgItem(host, id); }
    HWND ZoneRadio() { return GetWindow(Item(kIdPaneMode), GW_HWNDNEXT); }
    // A click on a mode radio as the host passes it on.
    void ClickMode(bool zoneMode)
    {
        SendMessageW(Item(kIdPaneMode), BM_SETCHECK, zoneMode ? BST_UNCHECKED : BST_CHECKED, 0);
        SendMessageW(ZoneRadio(), BM_SETCHECK, zoneMode ? BST_CHECKED : BST_UNCHECKED, 0);
        SendMessageW(host, WM_COMMAND, MAKEWPARAM(kIdPaneMode, BN_CLICKED), (LPARAM)Item(kIdPaneMode));
    }
    // Typing into a box: the edit tells the host, which tells the pane.
    void Type(int id, const wchar_t* text) { SetWindowTextW(Item(id), text); }

    int Rows() { return (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); }
    std::wstring Cell(int row, int column) { return ListViewCellText(list, row, column); }
    std::wstring Title(int column) { return ListViewColumnTitle(list, column); }
    int Selected() { return (int)SendMessageW(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }
    CityRecord* City(const wchar_t* name)
    {
        for (int i = 0; i < cities.Count(); ++i)
            if (FixedEquals(cities.Cities()[i].cityName, 80, name))
                return &cities.Cities()[i];
        return nullptr;
    }
    std::wstring ReadColumnsKey()
    {
        WCHAR text[64] = {};
        GetPrivateProfileStringW(L"tester:main", L"citylistcolumns", L"(none)", text, 64, settings.c_str());
        return text;
    }
    RECT ChildRect(HWND child)
    {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, host, (POINT*)&r, 2);
        return r;
    }

    CFakeSystemZone sys;
    CZoneDatabase zones;
    CCityList cities;
    CTempFile cityFile;
    CTempFolder folder;
    std::wstring settings;
    CModule english;
    CLanguage language;
    CRecordingStarter starter;
    std::unique_ptr<CCityListPane> pane;
    HWND host = nullptr;
    HWND map = nullptr;
    HWND list = nullptr;
};

}  // namespace

// What the pane is made of, in the English library's words; the map library
// gets its two strings.
TEST_F(CityListPane, ControlsTitlesAndTheMapLibrarysStrings)
{
    Open();
    struct Control {
        int id;
        const wchar_t* text;
    } controls[] = {{kIdPaneShowOnMap, L"Show on map"}, {IDOK, L"OK"}, {IDCANCEL, L"Close"},
                    {kIdPaneMode, L"Cities"}};
    for (const Control& c : controls) {
        SCOPED_TRACE(c.id);
        WCHAR text[64] = {};
        GetWindowTextW(Item(c.id), text, 64);
        EXPECT_EQ(std::wstring(c.text), text);
    }
    WCHAR text[64] = {};
    GetWindowTextW(ZoneRadio(), text, 64);
    EXPECT_EQ(std::wstring(L"Time zones"), text);
    EXPECT_EQ(BST_CHECKED, SendMessageW(Item(kIdPaneMode), BM_GETCHECK, 0, 0));
    EXPECT_EQ(79, (int)SendMessageW(Item(kIdPaneSearch), EM_GETLIMITTEXT, 0, 0));
    EXPECT_EQ(79, (int)SendMessageW(Item(kIdPaneFilter), EM_GETLIMITTEXT, 0, 0));
    EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & LVS_SINGLESEL);

    EXPECT_EQ(L"City", Title(0));
    EXPECT_EQ(L"Country", Title(1));
    EXPECT_EQ(L"Time zone", Title(2));
    ASSERT_EQ(68, Rows());
    EXPECT_EQ(L"Berlin", Cell(3, 0));
    EXPECT_EQ(L"Germany", Cell(3, 1));
    EXPECT_EQ(L"(UTC+01:00) Amsterdam, Berlin", Cell(3, 2));

    std::vector<std::pair<int, std::wstring>> expected = {{1, L"Photos of this place"},
                                                          {2, L"Add your photo of this place"}};
    EXPECT_EQ(expected, g_localStrings);
    ASSERT_EQ(2, pane->LinkCount());
}

TEST_F(CityListPane, ZoneListRowsAndBackToCities)
{
    Open();
    ClickMode(true);
    EXPECT_FALSE(pane->CityMode());
    EXPECT_FALSE(IsWindowEnabled(Item(kIdPaneFilter)));
    EXPECT_FALSE(IsWindowEnabled(Item(kIdPaneShowOnMap)));
    EXPECT_EQ(L"Offset", Title(1));
    // record 0 (the fake system's zone, UTC+1) and the file's five
    ASSERT_EQ(zones.Count(), Rows());
    std::vector<std::wstring> names, offsets;
    for (int row = 0; row < Rows(); ++row) {
        names.push_back(Cell(row, 0));
        offsets.push_back(Cell(row, 1));
    }
    // east first; a name without "(" gets its offset as "GMT", "+" east of UTC
    std::vector<std::wstring> expectedNames = {L"A file zone that shadows record 0", L"Testland",
                                               L"Amsterdam, Berlin", FieldText(zones.Zone(0).displayName, 128),
                                               L"Coordinated Universal Time", L"Island"};
    std::vector<std::wstring> expectedOffsets = {L"GMT+05:00", L"UTC+02:00", L"UTC+01:00", L"GMT+01:00", L"UTC",
                                                 L"UTC-01:00"};
    EXPECT_EQ(expectedNames, names);
    EXPECT_EQ(expectedOffsets, offsets);
    EXPECT_EQ(L"W. Europe Standard Time", Cell(2, 2));
    EXPECT_EQ(nullptr, pane->SelectedCity());

    ClickMode(false);
    EXPECT_TRUE(pane->CityMode());
    EXPECT_TRUE(IsWindowEnabled(Item(kIdPaneFilter)));
    EXPECT_EQ(L"Country", Title(1));
    EXPECT_EQ(68, Rows());
}

// Names filling their whole field: the pane compares 80 (cities) and 128
// (zone rows) characters at most, any case.
TEST_F(CityListPane, FindByPrefixInBothModes)
{
    CityRecord& full = cities.Cities()[10];
    for (WCHAR& c : full.cityName)
        c = L'Q';
    TimeZoneRecord& wide = zones.Zone(zones.FindZoneByName(L"Island Standard Time"));
    for (WCHAR& c : wide.displayName)
        c = L'Z';
    Open();
    const std::wstring fullCity = std::wstring(80, L'q') + L"tail", shortCity = std::wstring(79, L'q') + L"x";
    const std::wstring fullZone = std::wstring(128, L'z') + L"tail";
    struct Case {
        bool zoneMode;
        const wchar_t* text;
        int row;
    } cases[] = {
        {false, L"bre", 4},
        {false, L"BERLIN", 3},
        {false, L"S\u00c3O", 6},  // the case of letters beyond ASCII too
        {false, L"", 0},
        {false, L"Berlinx", -1},
        {false, nullptr, -1},
        {false, fullCity.c_str(), 10},
        {false, shortCity.c_str(), -1},
        {true, L"coordinated", 4},
        {true, L"ISL", -1},  // the row's text was replaced
        {true, fullZone.c_str(), 5},
        {true, L"Zz", 5},
        {true, nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zoneMode << " " << (c.text ? c.text : L"(null)"));
        if (c.zoneMode != !pane->CityMode())
            ClickMode(c.zoneMode);
        EXPECT_EQ(c.row, pane->FindCityByPrefix(c.text));
    }
}

// A filter of three letters in any case keeps the countries that begin with
// them (not Algeria, Niger), and the search box then selects among those.
TEST_F(CityListPane, FilterThenSearch)
{
    Open();
    Type(kIdPaneFilter, L"gER");
    ASSERT_EQ(3, Rows());
    EXPECT_EQ(L"Berlin", Cell(0, 0));
    EXPECT_EQ(L"Bremen", Cell(1, 0));
    EXPECT_EQ(L"Hamburg", Cell(2, 0));
    Type(kIdPaneSearch, L"b");
    EXPECT_EQ(0, Selected());
    EXPECT_EQ(City(L"Berlin"), pane->SelectedCity());
    Type(kIdPaneSearch, L"BR");
    EXPECT_EQ(City(L"Bremen"), pane->SelectedCity());
    EXPECT_EQ(1, pane->FindCityIndex(City(L"Bremen")));
    EXPECT_EQ(-1, pane->FindCityIndex(City(L"Batumi")));
    EXPECT_EQ(4, pane->CityIndex(City(L"Bremen")));
    EXPECT_EQ(-1, pane->CityIndex(nullptr));

    // the search applies again to the refilled list
    Type(kIdPaneFilter, L"");
    EXPECT_EQ(68, Rows());
    EXPECT_EQ(City(L"Bremen"), pane->SelectedCity());
    Type(kIdPaneSearch, L"b");
    EXPECT_EQ(City(L"Batumi"), pane->SelectedCity());
}

TEST_F(CityListPane, PickedCityHiddenByTheFilterIsShownCentred)
{
    Open();
    ClickMode(true);
    Type(kIdPaneFilter, L"ger");  // disabled in zone mode, but it keeps its text
    ClickMode(false);
    ASSERT_EQ(3, Rows());
    CityRecord* town = City(L"Town45");
    pane->ShowPickedCity(town);
    EXPECT_TRUE(pane->CityMode());
    EXPECT_EQ(0, GetWindowTextLengthW(Item(kIdPaneFilter)));
    ASSERT_EQ(68, Rows());
    EXPECT_EQ(53, Selected());
    EXPECT_EQ(town, pane->SelectedCity());
    EXPECT_EQ(1, (int)SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
    // the row stands in the middle of the list, within a row
    RECT row = {LVIR_BOUNDS}, client;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 53, (LPARAM)&row));
    GetClientRect(list, &client);
    int height = row.bottom - row.top;
    EXPECT_GT(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 0);
    EXPECT_NEAR(client.bottom / 2, (row.top + row.bottom) / 2, 2 * height);

    // shown already: picked from zone mode, the filter stays
    Type(kIdPaneFilter, L"bra");
    ClickMode(true);
    pane->ShowPickedCity(City(L"Rio de Janeiro"));
    EXPECT_TRUE(pane->CityMode());
    EXPECT_EQ(BST_CHECKED, SendMessageW(Item(kIdPaneMode), BM_GETCHECK, 0, 0));
    EXPECT_EQ(2, Rows());
    EXPECT_EQ(1, Selected());
    pane->ShowPickedCity(nullptr);
    EXPECT_EQ(1, Selected());
}

// Link 1 opens the photo service's page of the selected city, or the
// service itself; link 2 the city list's page.
TEST_F(CityListPane, LinkAddresses)
{
    const std::wstring photos = kCityPhotoSite;
    struct Case {
        const char* what;
        bool withMap;
        const wchar_t* city;  // selected, null for none
        bool zoneMode;
        int link;
        std::wstring address;
    } cases[] = {
        {"city page", true, L"S\u00e3o Paulo", false, 0, photos + L"brazil/s%E3o_paulo.htm"},
        {"blanks", true, L"Rio de Janeiro", false, 0, photos + L"brazil/rio_de_janeiro.htm"},
        {"lower case", true, L"Bremen", false, 0, photos + L"germany/bremen.htm"},
        {"no row", true, nullptr, false, 0, photos},
        {"zone mode", true, nullptr, true, 0, photos},
        {"no map", false, L"Berlin", false, 0, photos},
        {"city list page", true, L"Berlin", false, 1, kCityZoneSite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        starter.started.clear();
        Open(true, c.withMap);
        if (c.city)
            pane->SelectCityRow(pane->FindCityIndex(City(c.city)));
        if (c.zoneMode)
            ClickMode(true);
        pane->OpenLink(c.link);
        EXPECT_EQ(std::vector<std::wstring>{c.address}, starter.started);
        TearDown();
    }
}

// Without city photos only the city list's link is there, and a click on it opens that page.
TEST_F(CityListPane, PhotosOffLeavesTheCityListLink)
{
    Open(false);
    ASSERT_EQ(1, pane->LinkCount());
    RECT link = pane->LinkRect(0);
    POINT middle = {(link.left + link.right) / 2, (link.top + link.bottom) / 2};
    EXPECT_EQ(0, pane->LinkAt(middle));
    EXPECT_EQ(-1, pane->LinkAt(POINT{link.right + 2, middle.y}));
    pane->SelectCityRow(3);
    SendMessageW(host, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
    EXPECT_EQ(std::vector<std::wstring>{kCityZoneSite}, starter.started);
    starter.started.clear();
    pane->OpenLink(1);
    EXPECT_TRUE(starter.started.empty());
}

TEST_F(CityListPane, ColumnWidthsSavedAndReadBack)
{
    // missing numbers keep their defaults
    WritePrivateProfileStringW(L"tester:main", L"citylistcolumns", L"120", settings.c_str());
    Open();
    EXPECT_EQ(120, (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(100, (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_EQ(114, (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, 0);  // a hidden column keeps its remembered width
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, 150);
    pane->SaveColumns();
    EXPECT_EQ(L"120 100 150", ReadColumnsKey());
    TearDown();

    Open();
    EXPECT_EQ(120, (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(100, (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_EQ(150, (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0));
}

TEST_F(CityListPane, LayoutAtTheRight)
{
    struct Case {
        int width;
        int mapWidth;
    } cases[] = {{900, 580}, {300, 1}, {320, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        Open(true, true, c.width);
        RECT client;
        GetClientRect(host, &client);
        ASSERT_EQ(c.width, client.right);
        RECT m = ChildRect(map);
        EXPECT_EQ(0, m.left);
        EXPECT_EQ(c.mapWidth, m.right);
        EXPECT_EQ(client.bottom, m.bottom);
        RECT l = ChildRect(list), search = ChildRect(Item(kIdPaneSearch)), filter = ChildRect(Item(kIdPaneFilter));
        RECT cancel = ChildRect(Item(IDCANCEL)), cities = ChildRect(Item(kIdPaneMode)), zoneRadio = ChildRect(ZoneRadio());
        EXPECT_EQ(c.mapWidth + 3, l.left);
        EXPECT_EQ(client.right - 3, l.right);
        EXPECT_EQ(client.right - 3, cancel.right);
        EXPECT_EQ(client.bottom - 3, cancel.bottom);
        EXPECT_EQ(3, search.top);
        EXPECT_EQ(64, search.right - search.left);
        EXPECT_EQ(48, filter.right - filter.left);
        EXPECT_EQ(cities.top, zoneRadio.top);
        EXPECT_LT(search.bottom, cities.top);
        EXPECT_LT(cities.bottom, l.top);
        RECT link = pane->LinkRect(pane->LinkCount() - 1);
        EXPECT_EQ(c.mapWidth + 3 + 8, link.left);
        EXPECT_LE(l.bottom, pane->LinkRect(0).top);
        EXPECT_LE(link.bottom, cancel.top);
        TearDown();
    }
}

// The pane as a person sees it: button-face background, blue underlined links.
TEST_F(CityListPane, Shot)
{
    Open();
    Type(kIdPaneSearch, L"Ham");
    ShowWindow(host, SW_SHOW);
    ClientPicture picture = GrabClientPicture(host);
    int width = picture.width, height = picture.height;
    ASSERT_EQ((size_t)width * height * 3, picture.rgb.size());
    ASSERT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"citylistpane.png", width, height, 3,
                               picture.rgb.data()));
    auto at = [&](int x, int y) { return picture.At(x, y); };
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    uint32_t faceRgb = (uint32_t)GetRValue(face) << 16 | (uint32_t)GetGValue(face) << 8 | GetBValue(face);
    // right of the radio buttons and right of each link
    RECT zoneRadio = ChildRect(ZoneRadio());
    EXPECT_EQ(faceRgb, at(width - 8, (zoneRadio.top + zoneRadio.bottom) / 2));
    for (int i = 0; i < pane->LinkCount(); ++i) {
        SCOPED_TRACE(i);
        RECT link = pane->LinkRect(i);
        EXPECT_EQ(faceRgb, at(link.right + 4, (link.top + link.bottom) / 2));
        int blue = 0;
        for (int x = link.left; x < link.right; ++x)
            blue += at(x, link.bottom - 1) == 0x0000FF;
        EXPECT_EQ(link.right - link.left, blue);
        EXPECT_GT(link.right - link.left, 40);
    }
}
