// The map window driven as a user and a host drive it: keys, clicks, hover,
// the host's city messages and the photo requests to the main program, which
// a hidden stand-in window of the main program's class answers. Frames are
// read back from the back buffer after the window's own paint.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/WebSites.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/CityRecord.h"
#include "map/MapLibrary.h"
#include "graphics/system/WebOpener.h"
#include "map/scene/Planet.h"
#include "map/window/MapWindow.h"
#include "map/window/PhotoStrip.h"
#include "tests/map/JpegFixtures.h"
#include "tests/map/SceneTestWindow.h"
#include "tests/support/PhotoRequestStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"

namespace {

const int kWidth = 800;
const int kHeight = 600;
const DWORD kTextureWaitMs = 60000;
const DWORD kFlightWaitMs = 10000;

const uint32_t kTileColours[kTileCount] = {0x4060C0, 0x4060C0, 0x4060C0, 0x4060C0,
                                           0x4060C0, 0x4060C0, 0x4060C0, 0x4060C0};

struct Selection {
    WPARAM index;
    LPARAM record;
};
std::vector<Selection> g_selections;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_MAPSELECTCITY) {
        g_selections.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class CRecordingOpener : public IWebOpener {
public:
    void OpenAddress(const WCHAR* address) override { opened.push_back(address); }
    std::vector<std::wstring> opened;
};

// A strip that claims every place and notes what it is asked to show.
class CRecordingStrip : public IPhotoStrip {
public:
    void ShowPhotosOfCity(const CityRecord& city, int32_t signedIndex) override { shown.push_back(signedIndex); }
    bool ShowsPlace(const CityRecord& city, bool country) const override { return true; }
    std::vector<int32_t> shown;
};

CityRecord MakeCity(const wchar_t* name, double latitude, double longitude, const TimeZoneRecord* zone)
{
    CityRecord city;
    memset(&city, 0, sizeof(city));
    lstrcpynW(city.cityName, name, 80);
    lstrcpynW(city.countryName, L"Testland", 80);
    city.latitude = latitude;
    city.longitude = longitude;
    city.zoneRecord.ptr = const_cast<TimeZoneRecord*>(zone);
    return city;
}

TimeZoneRecord UtcZone()
{
    TimeZoneRecord zone;
    memset(&zone, 0, sizeof(zone));
    lstrcpynW(zone.tzi.StandardName, L"UTC", 32);
    lstrcpynW(zone.displayName, L"UTC", 128);
    return zone;
}

// A sea point of the Pacific; its nearest city is Tokyo (4), 34 degrees away.
const double kSeaLatitude = 10, kSeaLongitude = 160;

class MapInput : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TempolanMapInputHost";
        RegisterClassW(&wc);
        s_host = CreateWindowW(wc.lpszClassName, L"Map input host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                               kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
        s_standIn = new CPhotoRequestStandIn();
    }
    static void TearDownTestSuite()
    {
        delete s_standIn;
        DestroyWindow(s_host);
        s_standIn = nullptr;
        s_host = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(nullptr, s_host);
        ASSERT_NE(nullptr, s_standIn->Window());
        // the pointer away from the window: a real move would take the probe
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        TopDownPicture earth = FlatBlocks(512, 256, kTileColumns, kTileRows, kTileColours);
        ASSERT_TRUE(WriteJpegFile(folder.File(L"map.jpg"), earth));
        ASSERT_TRUE(CopyFileW(TL_PROGRAM_FOLDER L"buttons.png", folder.File(L"buttons.png").c_str(), FALSE));
        library.SetWebOpener(&opener);
        s_standIn->requests.clear();
        s_standIn->reply = 1;
        g_selections.clear();
        world = {MakeCity(L"London", 51.5, -0.12, nullptr), MakeCity(L"Paris", 48.85, 2.35, &utc),
                 MakeCity(L"Sydney", -33.87, 151.2, &utc), MakeCity(L"New York", 40.7, -74.0, nullptr),
                 MakeCity(L"Tokyo", 35.7, 139.7, &utc)};
    }
    void TearDown() override
    {
        if (map)
            DestroyWindow(map);
        library.Free();
    }

    // The map child over `cities`, textured; null when it was not within the wait.
    CMapWindow* Open(std::vector<CityRecord>& cities)
    {
        EXPECT_EQ(0u, library.Init(cities.data(), (int32_t)cities.size(), folder.Path()));
        DWORD status = 1;
        map = library.CreateMapWindow(s_host, 0, 0, kWidth, kHeight, &status);
        CMapWindow* window = map ? CMapWindow::FromWindow(map) : nullptr;
        if (!window)
            return nullptr;
        if (!PumpUntil([&] { return window->Planet()->HasSurface(); }, kTextureWaitMs))
            return nullptr;
        // the upload's frame-rate test would keep painting
        window->EndFrameRateTest();
        PumpUntil([] { return false; }, 50);
        return window;
    }
    GLFrame Paint()
    {
        RedrawWindow(map, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return ReadBackFrame(kWidth, kHeight);
    }
    bool WaitForFlight(CMapWindow* window)
    {
        return PumpUntil([&] { return !window->Flying(); }, kFlightWaitMs);
    }
    // Window messages take client y from the top; the map counts from the bottom.
    static LPARAM At(int x, int yFromBottom) { return MAKELPARAM(x, kHeight - 1 - yFromBottom); }
    void Click(int x, int yFromBottom)
    {
        SendMessageW(map, WM_LBUTTONDOWN, MK_LBUTTON, At(x, yFromBottom));
        SendMessageW(map, WM_LBUTTONUP, 0, At(x, yFromBottom));
    }
    void Look(CMapWindow* window, double latitude, double longitude)
    {
        window->SetCamera(kHomeDistance, latitude, 360 - longitude);
    }

    static HWND s_host;
    static CPhotoRequestStandIn* s_standIn;
    CTempFolder folder;
    CMapLibrary library;
    CRecordingOpener opener;
    TimeZoneRecord utc = UtcZone();
    std::vector<CityRecord> world;
    HWND map = nullptr;
};

HWND MapInput::s_host;
CPhotoRequestStandIn* MapInput::s_standIn;

bool IsLabelYellow(uint32_t rgb)
{
    int r = rgb >> 16, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    return r > 220 && g > 220 && b < 110;
}

bool IsLabelOlive(uint32_t rgb)
{
    int r = rgb >> 16, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    return r > 160 && r < 215 && g > 160 && g < 215 && b < 110;
}

}  // namespace

TEST_F(MapInput, TheHostsSelectionFliesThereProbesTheCityAndAsksForItsPhotos)
{
    CMapWindow* window = Open(world);
    ASSERT_NE(nullptr, window);
    SendMessageW(map, UM_MAPSELECTCITY, world.size(), 0);
    EXPECT_FALSE(window->Flying());
    EXPECT_TRUE(s_standIn->requests.empty());

    SendMessageW(map, UM_MAPSELECTCITY, 1, 0);
    ASSERT_EQ(1u, s_standIn->requests.size());
    EXPECT_EQ(1, s_standIn->requests[0].index);
    EXPECT_EQ(map, s_standIn->requests[0].map);
    EXPECT_TRUE(window->Flying());
    ASSERT_TRUE(WaitForFlight(window));
    GLFrame frame = Paint();
    SaveShot(frame, L"mapwindow-select.png");
    EXPECT_NEAR(kWidth / 2, world[1].labelPosition[0], 3);
    EXPECT_NEAR(kHeight / 2, world[1].labelPosition[1], 3);
    EXPECT_EQ(1, world[1].isNearest);
    EXPECT_EQ(0, world[0].isNearest);
    // the selection never goes back to the host that made it
    EXPECT_TRUE(g_selections.empty());

    // the user clicks the city now under the centre
    s_standIn->requests.clear();
    Click(kWidth / 2, kHeight / 2);
    ASSERT_EQ(1u, g_selections.size());
    EXPECT_EQ(1u, g_selections[0].index);
    EXPECT_EQ((LPARAM)&world[1], g_selections[0].record);
    ASSERT_EQ(1u, s_standIn->requests.size());
    EXPECT_EQ(1, s_standIn->requests[0].index);
}

TEST_F(MapInput, AClickOverOpenSeaAsksForTheNearestCitysCountryOnly)
{
    CMapWindow* window = Open(world);
    ASSERT_NE(nullptr, window);
    Look(window, kSeaLatitude, kSeaLongitude);
    Click(kWidth / 2, kHeight / 2);
    EXPECT_TRUE(g_selections.empty());
    ASSERT_EQ(1u, s_standIn->requests.size());
    EXPECT_EQ(-4, s_standIn->requests[0].index);
    // a refused request shows nothing; a click off the globe asks for nothing
    ASSERT_TRUE(WaitForFlight(window));
    s_standIn->reply = 0;
    CRecordingStrip strip;
    window->SetPhotoStrip(&strip);
    Click(kWidth / 2, kHeight / 2);
    EXPECT_EQ(2u, s_standIn->requests.size());
    EXPECT_TRUE(strip.shown.empty());
    Click(kWidth - 150, kHeight - 5);
    EXPECT_EQ(2u, s_standIn->requests.size());
    window->SetPhotoStrip(nullptr);
}

TEST_F(MapInput, HoveringAsksForPhotosAfterHalfASecondButNeverForTheFirstCity)
{
    CMapWindow* window = Open(world);
    ASSERT_NE(nullptr, window);
    Look(window, world[0].latitude, world[0].longitude);
    SendMessageW(map, WM_MOUSEMOVE, 0, At(kWidth / 2, kHeight / 2));
    PumpUntil([] { return false; }, 600);
    EXPECT_TRUE(s_standIn->requests.empty());

    Look(window, world[1].latitude, world[1].longitude);
    SendMessageW(map, WM_MOUSEMOVE, 0, At(kWidth / 2 + 1, kHeight / 2));
    ASSERT_TRUE(PumpUntil([] { return !s_standIn->requests.empty(); }, 3000));
    EXPECT_EQ(1, s_standIn->requests[0].index);
    EXPECT_EQ(1u, s_standIn->requests.size());

    // the zoom keys cancel a pending hover
    s_standIn->requests.clear();
    SendMessageW(map, WM_MOUSEMOVE, 0, At(kWidth / 2, kHeight / 2));
    SendMessageW(map, WM_KEYDOWN, VK_SUBTRACT, 0);
    PumpUntil([] { return false; }, 700);
    EXPECT_TRUE(s_standIn->requests.empty());
}

TEST_F(MapInput, ShowCityTakesOnlyTheAddressOfThatRecordOfTheLibrarysArray)
{
    CMapWindow* window = Open(world);
    ASSERT_NE(nullptr, window);
    CRecordingStrip strip;
    window->SetPhotoStrip(&strip);
    CityRecord foreign = world[2];
    const struct {
        const char* what;
        WPARAM index;
        LPARAM record;
    } refused[] = {
        {"a copy elsewhere", 2, (LPARAM)&foreign},
        {"another record", 2, (LPARAM)&world[3]},
        {"inside the record", 2, (LPARAM)&world[2] + 8},
        {"null", 2, 0},
        {"past the end", world.size(), (LPARAM)(world.data() + world.size())},
        {"a huge index", (WPARAM)-1, (LPARAM)(world.data() - 1)},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.what);
        SendMessageW(map, UM_MAPSHOWCITY, c.index, c.record);
        EXPECT_TRUE(s_standIn->requests.empty());
    }
    SendMessageW(map, UM_MAPSHOWCITY, 2, (LPARAM)&world[2]);
    ASSERT_EQ(1u, s_standIn->requests.size());
    EXPECT_EQ(2, s_standIn->requests[0].index);
    EXPECT_EQ(std::vector<int32_t>({2}), strip.shown);
    window->SetPhotoStrip(nullptr);
}

TEST_F(MapInput, APhotoReadyOutsideTheCityListIsIgnored)
{
    CMapWindow* window = Open(world);
    ASSERT_NE(nullptr, window);
    CRecordingStrip strip;
    window->SetPhotoStrip(&strip);
    int32_t count = (int32_t)world.size();
    const struct {
        int32_t index;
        LPARAM number;
        bool taken;
    } cases[] = {
        {count, 1, false}, {-count, 1, false}, {INT32_MIN, 1, false}, {1, 0, false},
        {1, -5, false},    {1, 1, true},       {-2, 3, true},         {count - 1, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " photo " << c.number);
        s_standIn->requests.clear();
        strip.shown.clear();
        SendMessageW(map, UM_PHOTOREADY, (WPARAM)(INT_PTR)c.index, c.number);
        EXPECT_EQ(c.taken ? 1u : 0u, s_standIn->requests.size());
        EXPECT_EQ(c.taken ? 1u : 0u, strip.shown.size());
        if (c.taken) {
            EXPECT_EQ(c.index, s_standIn->requests[0].index);
            EXPECT_EQ(c.index, strip.shown[0]);
        }
    }
    window->SetPhotoStrip(nullptr);
}

TEST_F(MapInput, HomeAfterAFlightGivesTheFrameOfAFreshWindow)
{
    CMapWindow* window = Open(world);
    ASSERT_NE(nullptr, window);
    GLFrame fresh = Paint();
    SendMessageW(map, UM_MAPSELECTCITY, 2, 0);
    ASSERT_TRUE(WaitForFlight(window));
    GLFrame away = Paint();
    EXPECT_FALSE(away.rgb == fresh.rgb);
    // a key stops a running flight
    SendMessageW(map, UM_MAPSELECTCITY, 4, 0);
    EXPECT_TRUE(window->Flying());
    SendMessageW(map, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_FALSE(window->Flying());
    GLFrame home = Paint();
    SaveShot(home, L"mapwindow-home.png");
    EXPECT_TRUE(home.rgb == fresh.rgb);
    EXPECT_EQ(kHomeDistance, window->Camera().distance);
}

TEST_F(MapInput, TheCreditLinesOpenTheirAddressesAndShowTheHand)
{
    CMapWindow* window = Open(world);
    ASSERT_NE(nullptr, window);
    GLFrame frame = Paint();
    SaveShot(frame, L"mapwindow-credits.png");
    // the credit lines in green at the bottom left, over the black of space
    int green = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 220; ++x)
            green += frame.Green(x, y) > 150 && frame.Red(x, y) < 60 && frame.Blue(x, y) < 120;
    }
    EXPECT_GT(green, 100);

    // a click on every row from the bottom up: each line opens its address once
    std::vector<std::wstring> lines;
    for (int y = 0; y < 70; ++y) {
        opener.opened.clear();
        Click(10, y);
        ASSERT_LE(opener.opened.size(), 1u);
        if (!opener.opened.empty() && (lines.empty() || lines.back() != opener.opened[0]))
            lines.push_back(opener.opened[0]);
    }
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(kCityDataSourceSite, lines[2]);
    EXPECT_EQ(kCityPhotoSite, lines[3]);
    EXPECT_TRUE(s_standIn->requests.empty());
    EXPECT_FALSE(window->Flying());

    // Insert opens the add-photo page through the same seam
    opener.opened.clear();
    SendMessageW(map, WM_KEYDOWN, VK_INSERT, 0);
    ASSERT_EQ(1u, opener.opened.size());
    EXPECT_EQ(0u, opener.opened[0].find(kCityPhotoSite));

    SendMessageW(map, WM_MOUSEMOVE, 0, At(10, 6));
    EXPECT_EQ(TRUE, SendMessageW(map, WM_SETCURSOR, (WPARAM)map, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursorW(nullptr, (LPCWSTR)IDC_HAND), GetCursor());
    SendMessageW(map, WM_MOUSEMOVE, 0, At(kWidth / 2, kHeight / 2));
    SendMessageW(map, WM_SETCURSOR, (WPARAM)map, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW), GetCursor());
}

// Over a town of 100 cities packed within a degree, 64 labels at most; the
// nearest in yellow on a cyan box at the probe's height, the others olive.
TEST_F(MapInput, ADenseRegionGetsAtMost64LabelsWithTheNearestMarked)
{
    std::vector<CityRecord> dense;
    for (int i = 0; i < 100; ++i) {
        wchar_t name[16];
        wsprintfW(name, L"Town %02d", i);
        dense.push_back(MakeCity(name, 20 + (i / 10) * 0.1, 30 + (i % 10) * 0.1, i % 3 ? &utc : nullptr));
    }
    CMapWindow* window = Open(dense);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0, window->LabelsDrawn());  // the probe at home, far from the town
    Look(window, 20.42, 30.42);
    window->ProbeAt(kWidth / 2, kHeight / 2);
    GLFrame frame = Paint();
    SaveShot(frame, L"mapwindow-labels.png");
    EXPECT_EQ(64, window->LabelsDrawn());
    int nearest = 0;
    for (int i = 0; i < 100; ++i)
        nearest += dense[i].isNearest;
    EXPECT_EQ(1, nearest);
    // the same view and light with the probe off the globe: no labels
    window->ProbeAt(0, kHeight - 1);
    GLFrame bare = Paint();
    EXPECT_EQ(0, window->LabelsDrawn());

    // text rows right of the probe: yellow only around the probe's height
    int left = kWidth / 2 + 7, right = left + 160;
    int yellowLow = kHeight, yellowHigh = -1, oliveRows = 0, lines = 0;
    bool inLine = false;
    for (int y = 0; y < kHeight; ++y) {
        int olive = 0;
        for (int x = left; x < right; ++x) {
            uint32_t rgb = frame.At(x, y);
            if (IsLabelYellow(rgb)) {
                yellowLow = std::min(yellowLow, y);
                yellowHigh = std::max(yellowHigh, y);
            }
            olive += IsLabelOlive(rgb);
        }
        oliveRows += olive > 0;
        // a line of text is a run of rows with text, apart from the next
        bool text = olive > 0 || (y >= yellowLow && y <= yellowHigh);
        if (text && !inLine)
            ++lines;
        inLine = text;
    }
    EXPECT_GE(yellowLow, kHeight / 2 - 10);
    EXPECT_LE(yellowHigh, kHeight / 2 + 10);
    EXPECT_GT(oliveRows, 100);
    EXPECT_LE(lines, 64);
    EXPECT_GE(lines, 20);  // the stack runs past the window's edge

    // the cyan box: a band of rows tinted towards cyan in the box's first
    // column, at the probe; the black box alone darkens without the tint
    int x = left + 1, bandLow = kHeight, bandHigh = -1;
    for (int y = 0; y < kHeight; ++y) {
        if (frame.Green(x, y) - frame.Red(x, y) > bare.Green(x, y) - bare.Red(x, y) + 15) {
            bandLow = std::min(bandLow, y);
            bandHigh = std::max(bandHigh, y);
        }
    }
    EXPECT_LE(bandLow, kHeight / 2);
    EXPECT_GE(bandHigh, kHeight / 2);
    EXPECT_LT(bandHigh - bandLow, 24);
    // the nearer cities come first: the stack runs down from the probe, on a
    // translucent black box that darkens the globe
    EXPECT_LT(frame.Blue(x, kHeight / 2 - 60), bare.Blue(x, kHeight / 2 - 60));
}

// The pad's buttons send their keys: zoom while held (the first at once, then
// every 30 ms), Home on release over it. A drag turns the globe and is no click.
TEST_F(MapInput, TheButtonPadActsAndADragIsNoClick)
{
    CMapWindow* window = Open(world);
    ASSERT_NE(nullptr, window);
    // the plus button: 6, 70 from the strip's left edge (width - 108), 32 x 32
    int plusX = kWidth - kPhotoStripWidth + 6 + 16, plusY = 70 + 16;
    SendMessageW(map, WM_LBUTTONDOWN, MK_LBUTTON, At(plusX, plusY));
    EXPECT_NEAR(kHomeDistance + kZoomStep, window->Camera().distance, 1e-4);
    PumpUntil([] { return false; }, 300);
    SendMessageW(map, WM_LBUTTONUP, 0, At(plusX, plusY));
    float held = window->Camera().distance;
    EXPECT_GT(held, kHomeDistance + 2.5f * kZoomStep);
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(held, window->Camera().distance);  // the repeat stopped
    EXPECT_TRUE(s_standIn->requests.empty());

    // Home: nothing on the press, the reset on the release
    int homeX = kWidth - kPhotoStripWidth + 38 + 16, homeY = 38 + 16;
    SendMessageW(map, WM_LBUTTONDOWN, MK_LBUTTON, At(homeX, homeY));
    EXPECT_EQ(held, window->Camera().distance);
    SendMessageW(map, WM_LBUTTONUP, 0, At(homeX, homeY));
    EXPECT_EQ(kHomeDistance, window->Camera().distance);

    // a drag to the right: the globe turns with the pressed point; no selection
    Look(window, world[1].latitude, world[1].longitude);
    double rotation = window->Camera().rotation, tilt = window->Camera().tilt;
    SendMessageW(map, WM_LBUTTONDOWN, MK_LBUTTON, At(kWidth / 2, kHeight / 2));
    SendMessageW(map, WM_MOUSEMOVE, MK_LBUTTON, At(kWidth / 2 + 60, kHeight / 2));
    SendMessageW(map, WM_LBUTTONUP, 0, At(kWidth / 2 + 60, kHeight / 2));
    EXPECT_GT(Wrap180(window->Camera().rotation - rotation), 5);
    EXPECT_NEAR(tilt, window->Camera().tilt, 2);
    EXPECT_TRUE(g_selections.empty());
    EXPECT_TRUE(s_standIn->requests.empty());
    EXPECT_FALSE(window->Flying());
}
