// The map window as a host shows it: a child of a shown 800 x 600 window,
// its textures from the loader threads, its frames read back from the back
// buffer after its own paint. The library is linked, so the camera can be set
// directly.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <GL/gl.h>

#include <atomic>
#include <thread>

#include "graphics/system/Restrictions.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "map/MapLibrary.h"
#include "map/MapProtocol.h"
#include "map/scene/GlobeView.h"
#include "map/scene/Planet.h"
#include "map/window/MapWindow.h"
#include "tests/map/JpegFixtures.h"
#include "tests/map/SceneTestWindow.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"

namespace {

const int kWidth = 800;
const int kHeight = 600;
const DWORD kTextureWaitMs = 60000;

// One colour per tile, column + 4 x row, row 0 north.
const uint32_t kTileColours[kTileCount] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                           0xFF00FF, 0x00FFFF, 0xFF8000, 0x8000FF};

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class MapWindow : public testing::Test {
protected:
    // Hiding or destroying a shown window costs seconds under Wine without a
    // window manager: one host window serves the whole run.
    static void SetUpTestSuite()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TempolanMapTestHost";
        RegisterClassW(&wc);
        s_host = CreateWindowW(wc.lpszClassName, L"Map test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                               kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(s_host);
        s_host = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(nullptr, s_host);
        TopDownPicture earth = FlatBlocks(512, 256, kTileColumns, kTileRows, kTileColours);
        ASSERT_TRUE(WriteJpegFile(folder.File(L"map.jpg"), earth));
        TopDownPicture clouds(256, 128, 1);
        memset(clouds.bytes.data(), 0xFF, clouds.bytes.size());
        ASSERT_TRUE(WriteJpegFile(folder.File(L"clouds.jpg"), clouds));
        ASSERT_TRUE(CopyFileW(TL_PROGRAM_FOLDER L"buttons.png", folder.File(L"buttons.png").c_str(), FALSE));
        // opaque white clouds, off until the host asks for them
        WritePrivateProfileStringW(L"common", L"clouds_alpha", L"255", folder.File(L"tempolan.ini").c_str());
        ASSERT_EQ(0u, library.Init(nullptr, 0, folder.Path()));
    }
    void TearDown() override
    {
        if (map)
            DestroyWindow(map);
        library.Free();
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kProgramMachineKey);
    }

    // The map child, textured; null when it was not within the wait.
    CMapWindow* CreateTextured()
    {
        DWORD status = 1;
        map = library.CreateMapWindow(s_host, 0, 0, kWidth, kHeight, &status);
        EXPECT_EQ(0u, status);
        CMapWindow* window = map ? CMapWindow::FromWindow(map) : nullptr;
        if (!window)
            return nullptr;
        for (DWORD start = GetTickCount(); GetTickCount() - start < kTextureWaitMs; Sleep(10)) {
            Pump();
            if (window->Planet() && window->Planet()->HasSurface())
                return window;
        }
        return nullptr;
    }
    GLFrame Frame(CMapWindow* window, double tilt, double rotation)
    {
        window->SetCamera(kHomeDistance, tilt, rotation);
        RedrawWindow(map, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return ReadBackFrame(kWidth, kHeight);
    }

    static HWND s_host;
    CTempFolder folder;
    CMapLibrary library;
    HWND map = nullptr;
};

HWND MapWindow::s_host;

int Brightness(const GLFrame& frame, int x, int y)
{
    return frame.Red(x, y) + frame.Green(x, y) + frame.Blue(x, y);
}

}  // namespace

TEST_F(MapWindow, TheLoaderThreadsTextureTheGlobe)
{
    CMapWindow* window = CreateTextured();
    ASSERT_NE(nullptr, window) << "no texture within the wait";
    const double latitudes[kTileRows] = {45, -45};
    const double longitudes[kTileColumns] = {-135, -45, 45, 135};
    for (int row = 0; row < kTileRows; ++row) {
        for (int column = 0; column < kTileColumns; ++column) {
            int tile = column + kTileColumns * row;
            SCOPED_TRACE(tile);
            GLFrame frame = Frame(window, latitudes[row], 360 - longitudes[column]);
            uint32_t colour = kTileColours[tile];
            int channels[3] = {frame.Red(400, 300), frame.Green(400, 300), frame.Blue(400, 300)};
            for (int c = 0; c < 3; ++c) {
                int expected = (int)(colour >> (16 - 8 * c) & 0xFF);
                // lit, not exact: the full channels bright, the empty ones low
                if (expected == 0xFF) {
                    EXPECT_GT(channels[c], 110) << "channel " << c;
                } else if (expected == 0) {
                    // the pointer light and the atmosphere add a little
                    EXPECT_LT(channels[c], 100) << "channel " << c;
                }
            }
            if (tile == 0)
                SaveShot(frame, L"map-window.png");
        }
    }
    // the earth of radius 3 at the home distance fills 0.947 of the height
    double diameter = MeasureGlobeOnScreen(window->Scene(), *window->Planet()).diameter;
    EXPECT_NEAR(0.947 * kHeight, diameter, 0.01 * 0.947 * kHeight);
    GLFrame frame = Frame(window, 45, 360 + 135);
    int left = 0;
    while (left < kWidth / 2 && Brightness(frame, left, kHeight / 2) == 0)
        ++left;
    EXPECT_NEAR(diameter, kWidth - 2 * left, 0.03 * diameter);  // the halo adds a little
}

TEST_F(MapWindow, CloudsComeAndGoWithTheHostsSwitch)
{
    CMapWindow* window = CreateTextured();
    ASSERT_NE(nullptr, window);
    GLFrame clear = Frame(window, 45, 360 + 135);
    SendMessageW(map, UM_MAPSETOVERLAY, 0, 1);
    ASSERT_TRUE(window->Planet()->HasClouds());
    GLFrame cloudy = Frame(window, 45, 360 + 135);
    SaveShot(cloudy, L"map-window-clouds.png");
    EXPECT_GT(Brightness(cloudy, 400, 300), Brightness(clear, 400, 300) + 60);
    SendMessageW(map, UM_MAPSETOVERLAY, 0, 0);
    EXPECT_FALSE(window->Planet()->HasClouds());
    GLFrame again = Frame(window, 45, 360 + 135);
    EXPECT_TRUE(again.rgb == clear.rgb);
}

TEST_F(MapWindow, TheNoCloudMapSwitchKeepsTheFrameCloudless)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProgramMachineKey, 0, nullptr, 0, KEY_SET_VALUE,
                                             nullptr, &key, nullptr));
    DWORD on = 1;
    RegSetValueExW(key, kNoCloudMapValue, 0, REG_DWORD, (const BYTE*)&on, sizeof(on));
    RegCloseKey(key);

    CMapWindow* window = CreateTextured();
    ASSERT_NE(nullptr, window);
    GLFrame clear = Frame(window, 45, 360 + 135);
    SendMessageW(map, UM_MAPSETOVERLAY, 0, 1);
    EXPECT_FALSE(window->Planet()->HasClouds());
    GLFrame refused = Frame(window, 45, 360 + 135);
    EXPECT_TRUE(refused.rgb == clear.rgb);
}

TEST_F(MapWindow, AnEarthThatDoesNotLoadShowsTheBox)
{
    std::string whole = ReadFileBytes(folder.File(L"map.jpg"));
    ASSERT_TRUE(folder.WriteBytes(L"map.jpg", whole.substr(0, 200)));
    std::wstring text;
    std::atomic<bool> closed(false);
    std::thread closer([&] {
        text = CloseMessageBox(L"Error", kTextureWaitMs);
        closed = true;
    });
    DWORD status = 1;
    map = library.CreateMapWindow(s_host, 0, 0, kWidth, kHeight, &status);
    ASSERT_NE(nullptr, map);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kTextureWaitMs && !closed; Sleep(10))
        Pump();
    closer.join();
    EXPECT_NE(std::wstring::npos, text.find(L"\"map.jpg\"")) << std::string(text.begin(), text.end());
    // the globe stays, untextured
    CMapWindow* window = CMapWindow::FromWindow(map);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(window->Planet()->HasSurface());
}

// Tiles the window cannot take because a loader holds the mutex are tried
// once more a second later; only a second refusal shows the box.
TEST_F(MapWindow, ARefusedUploadIsTriedOnceMore)
{
    CMapWindow* window = CreateTextured();
    ASSERT_NE(nullptr, window);
    HANDLE mutex = library.Textures().Mutex();
    struct Case {
        DWORD holdMs;
        bool box;
    } cases[] = {{1500, false}, {3500, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.holdMs);
        HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread loader([&] {
            WaitForSingleObject(mutex, INFINITE);
            SetEvent(taken);
            Sleep(c.holdMs);
            ReleaseMutex(mutex);
        });
        WaitForSingleObject(taken, 10000);
        CloseHandle(taken);
        std::wstring text;
        std::atomic<bool> closed(false);
        std::thread closer([&] {
            // the box comes after two waits of a second and the retry's timer
            text = CloseMessageBox(L"Error", 4500);
            closed = true;
        });
        PostMessageW(map, UM_TEXTURELOADED, kTextureSplit, 1);
        while (!closed) {
            Pump();
            Sleep(10);
        }
        closer.join();
        loader.join();
        EXPECT_EQ(c.box, !text.empty());
        // a refusal frees the tiles that could not be taken
        EXPECT_EQ(!c.box, library.Textures().earthTiles.Ready());
    }
}

TEST(MapLibrary, LocalStringsAreKeptByIdAndANullTextIsIgnored)
{
    CMapLibrary library;
    EXPECT_EQ(nullptr, library.LocalString(2));
    library.SetLocalString(2, L"Add a photo");
    library.SetLocalString(2, nullptr);
    ASSERT_NE(nullptr, library.LocalString(2));
    EXPECT_STREQ(L"Add a photo", library.LocalString(2));
    library.SetLocalString(2, L"Send a photo");
    library.SetLocalString(1, L"Photos");
    EXPECT_STREQ(L"Send a photo", library.LocalString(2));
    EXPECT_STREQ(L"Photos", library.LocalString(1));
}
