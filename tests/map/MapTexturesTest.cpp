#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "map/MapProtocol.h"
#include "map/textures/MapTextures.h"
#include "tests/map/JpegFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

const uint32_t kEight[kTileCount] = {0xE02020, 0x20E020, 0x2020E0, 0xE0E020,
                                     0x20E0E0, 0xE020E0, 0xF0F0F0, 0x202020};

// A message-only window whose UM_TEXTURELOADED messages the test takes off
// the queue itself.
class CLoaderWindow {
public:
    CLoaderWindow() : m_window(CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                               nullptr, nullptr)) {}
    ~CLoaderWindow() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }
    // The next UM_TEXTURELOADED as (wParam, lParam); (-1, -1) when none came
    // within `ms` (0: only what is queued now).
    std::pair<int, int> Next(DWORD ms = 30000)
    {
        DWORD start = GetTickCount();
        for (;;) {
            MSG msg;
            if (PeekMessageW(&msg, m_window, UM_TEXTURELOADED, UM_TEXTURELOADED, PM_REMOVE))
                return {(int)msg.wParam, (int)msg.lParam};
            if (GetTickCount() - start >= ms)
                return {-1, -1};
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
        }
    }
    // Nothing more is queued.
    bool Quiet()
    {
        MSG msg;
        return !PeekMessageW(&msg, m_window, UM_TEXTURELOADED, UM_TEXTURELOADED, PM_NOREMOVE);
    }

private:
    HWND m_window;
};

// The mutex, held by a thread of the test until the object goes.
class CMutexHolder {
public:
    explicit CMutexHolder(HANDLE mutex)
        : m_mutex(mutex), m_taken(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_thread(CreateThread(nullptr, 0, Hold, this, 0, nullptr))
    {
        WaitForSingleObject(m_taken.Get(), 5000);
    }
    ~CMutexHolder()
    {
        SetEvent(m_release.Get());
        WaitForSingleObject(m_thread.Get(), INFINITE);
    }

private:
    static DWORD WINAPI Hold(void* p)
    {
        auto* self = (CMutexHolder*)p;
        WaitForSingleObject(self->m_mutex, INFINITE);
        SetEvent(self->m_taken.Get());
        WaitForSingleObject(self->m_release.Get(), INFINITE);
        ReleaseMutex(self->m_mutex);
        return 0;
    }
    HANDLE m_mutex;
    CKernelHandle m_taken, m_release, m_thread;
};

uint32_t AlphaOf(const CJpegTexture& tile, uint32_t x, uint32_t y)
{
    return PixelFromTop(tile, x, y)[3];
}

}  // namespace

TEST(MapTextures, CloudAlphaFilter)
{
    struct Case {
        uint32_t packed;
        int components, cloudsAlpha;
        uint32_t pixel;     // A, B, G, R from the top byte down
    } cases[] = {
        {0xFF, 1, 192, 0xBFFFFFFFu},        // white: 192 x 255 / 256 = 191
        {0x80, 1, 192, 0x60808080u},
        {0x00, 1, 192, 0x00000000u},
        {0xFF, 1, 255, 0xFEFFFFFFu},
        {0x10, 1, 32, 0x02101010u},
        {0x30C810, 3, 192, 0xC830C810u},    // colour: alpha = green (0xC8)
        {0x11223344, 4, 192, 0x11223344u},  // anything else as it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.packed << " " << c.components);
        EXPECT_EQ(c.pixel, CloudAlphaFilter(c.packed, c.components, c.cloudsAlpha));
    }
}

TEST(MapTextures, GreyCloudsGetTheirAlphaFromBrightness)
{
    CTempFolder folder;
    // white left half, black right half
    TopDownPicture clouds(128, 64, 1);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            *clouds.At(x, y) = x < 64 ? 255 : 0;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"clouds.jpg"), clouds, 100));
    CMapTextures textures;
    textures.SetFolder(folder.Path());
    ASSERT_EQ(192, textures.settings.cloudsAlpha);
    ASSERT_TRUE(textures.LoadCloudTexture(128));    // limits 128 x 64: as it is
    ASSERT_TRUE(textures.cloudTiles.Ready());
    const CGLTexture& white = textures.cloudTiles.tiles[0];
    EXPECT_EQ(4, white.GetComponents());
    EXPECT_EQ(32u, white.GetWidth());
    EXPECT_EQ(32u, white.GetHeight());
    EXPECT_EQ(191u, AlphaOf(white, 10, 10));
    EXPECT_TRUE(NearRgb(PixelFromTop(white, 10, 10), 0xFFFFFF, 0));
    EXPECT_EQ(0u, AlphaOf(textures.cloudTiles.tiles[7], 20, 20));

    // a smaller texture size scales the grey picture down first
    textures.settings.cloudsAlpha = 64;
    ASSERT_TRUE(textures.LoadCloudTexture(64));
    EXPECT_EQ(16u, textures.cloudTiles.tiles[0].GetWidth());
    EXPECT_EQ(63u, AlphaOf(textures.cloudTiles.tiles[4], 5, 5));

    textures.SetFolder(folder.File(L"nowhere\\"));
    EXPECT_FALSE(textures.LoadCloudTexture(128));
    EXPECT_FALSE(textures.cloudTiles.Ready());
}

TEST(MapTextures, EarthIsLoadedWithinTheShiftedSizeAndSplit)
{
    CTempFolder folder;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"map.jpg"), FlatBlocks(300, 150, 4, 2, kEight), 100));
    CMapTextures textures;
    textures.SetFolder(folder.Path());
    textures.detail.maxTextureSize = 64;
    textures.SetDetailFactor(100);
    // texScalerX 0, texScalerY -1: 64 x 32
    EXPECT_EQ(kTextureRescaled, textures.LoadEarthTexture());
    EXPECT_EQ(64u, textures.earth.GetWidth());
    EXPECT_EQ(32u, textures.earth.GetHeight());
    ASSERT_TRUE(textures.SplitEarthTexture());
    for (int i = 0; i < kTileCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(16u, textures.earthTiles.tiles[i].GetWidth());
        EXPECT_TRUE(NearRgb(PixelFromTop(textures.earthTiles.tiles[i], 8, 8), kEight[i], 24));
    }
    // shifts of 2 and -3 on a texture size of 32: 128 x 4 pixels, which the
    // loader takes as 128 x 16 (it starts at 16)
    textures.settings.texScalerX = 2;
    textures.settings.texScalerY = -3;
    textures.detail.textureSize = 32;
    EXPECT_EQ(128, textures.EarthWidthLimit());
    EXPECT_EQ(4, textures.EarthHeightLimit());
    EXPECT_EQ(kTextureRescaled, textures.LoadEarthTexture());
    EXPECT_FALSE(textures.earthTiles.Ready());      // a new load drops the old tiles
    EXPECT_EQ(128u, textures.earth.GetWidth());
    EXPECT_EQ(16u, textures.earth.GetHeight());
    // the split brings it down to the limits
    ASSERT_TRUE(textures.SplitEarthTexture());
    EXPECT_EQ(4u, textures.earth.GetHeight());
    EXPECT_EQ(2u, textures.earthTiles.tiles[0].GetHeight());

    textures.FreeTextures();
    EXPECT_EQ(nullptr, textures.earth.GetPixels());
    EXPECT_FALSE(textures.SplitEarthTexture());
}

TEST(MapTextures, FitMakesALoadedPicturePowersOfTwoWithinTheLimits)
{
    CTempFolder folder;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"map.jpg"), FlatBlocks(300, 150, 4, 2, kEight), 100));
    CMapTextures textures;
    textures.detail.maxTextureSize = 512;
    textures.SetDetailFactor(100);
    struct Case {
        int textureSize;
        uint32_t width, height;
    } cases[] = {
        {512, 256, 128},    // within 512 x 256: each side's power of two
        {128, 128, 64},     // down to the limits
        {256, 256, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.textureSize);
        textures.detail.textureSize = c.textureSize;
        CGLTexture picture;
        ASSERT_EQ(kTextureLoaded, picture.Load(folder.File(L"map.jpg").c_str(), 0, 0));
        ASSERT_TRUE(textures.FitEarthTexture(picture));
        EXPECT_EQ(c.width, picture.GetWidth());
        EXPECT_EQ(c.height, picture.GetHeight());
        EXPECT_TRUE(NearRgb(PixelFromTop(picture, 0, 0), kEight[0], 24));
    }
    CGLTexture empty;
    EXPECT_FALSE(textures.FitEarthTexture(empty));
}

TEST(MapTextures, LoaderThreadsPostOneMessageEach)
{
    CTempFolder folder;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"map.jpg"), FlatBlocks(300, 150, 4, 2, kEight), 100));
    CLoaderWindow window;
    ASSERT_NE(nullptr, window.Window());
    CMapTextures textures;
    textures.SetFolder(folder.Path());
    textures.detail.maxTextureSize = 128;
    textures.SetDetailFactor(100);

    ASSERT_TRUE(textures.StartTextureLoadThread(window.Window()));
    EXPECT_EQ(std::make_pair((int)kTextureRead, 1), window.Next());
    EXPECT_FALSE(textures.Loading());
    EXPECT_EQ(128u, textures.earth.GetWidth());
    ASSERT_TRUE(textures.StartTextureSplitThread(window.Window()));
    EXPECT_EQ(std::make_pair((int)kTextureSplit, 1), window.Next());
    EXPECT_FALSE(textures.Splitting());
    EXPECT_TRUE(textures.earthTiles.Ready());
    ASSERT_TRUE(textures.WaitForLoaderThreads(10000));
    EXPECT_TRUE(window.Quiet());

    // a picture that is not there: read fails, and a split of nothing too
    textures.SetFolder(folder.File(L"nowhere\\"));
    ASSERT_TRUE(textures.StartTextureLoadThread(window.Window()));
    EXPECT_EQ(std::make_pair((int)kTextureRead, 0), window.Next());
    ASSERT_TRUE(textures.StartTextureSplitThread(window.Window()));
    EXPECT_EQ(std::make_pair((int)kTextureSplit, 0), window.Next());
    EXPECT_FALSE(textures.earthTiles.Ready());
}

TEST(MapTextures, LoaderThreadsThatCannotTakeTheMutexSaySo)
{
    CTempFolder folder;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"map.jpg"), FlatBlocks(64, 32, 4, 2, kEight)));
    CLoaderWindow window;
    CMapTextures textures(200);     // the library waits 5000 ms
    textures.SetFolder(folder.Path());
    {
        CMutexHolder held(textures.Mutex());
        ASSERT_TRUE(textures.StartTextureLoadThread(window.Window()));
        ASSERT_TRUE(textures.StartTextureSplitThread(window.Window()));
        EXPECT_TRUE(textures.Loading() || textures.Splitting());
        std::vector<std::pair<int, int>> got = {window.Next(), window.Next()};
        std::sort(got.begin(), got.end());
        EXPECT_EQ(std::make_pair((int)kTextureRead, 0), got[0]);
        EXPECT_EQ(std::make_pair((int)kTextureSplit, 0), got[1]);
        ASSERT_TRUE(textures.WaitForLoaderThreads(10000));
        EXPECT_EQ(nullptr, textures.earth.GetPixels());     // nothing was touched
    }
    // once it is free again the same threads work
    ASSERT_TRUE(textures.StartTextureLoadThread(window.Window()));
    EXPECT_EQ(std::make_pair((int)kTextureRead, 1), window.Next());
}

TEST(MapTextures, ThreadsAreWaitedForBeforeTheStateGoes)
{
    CLoaderWindow window;
    auto textures = std::make_unique<CMapTextures>();
    // the shipped picture: reading it takes a while
    textures->SetFolder(TL_PROGRAM_FOLDER);
    std::unique_ptr<CMutexHolder> held(new CMutexHolder(textures->Mutex()));
    ASSERT_TRUE(textures->StartTextureLoadThread(window.Window()));
    // still waiting for the mutex
    EXPECT_FALSE(textures->WaitForLoaderThreads(50));
    held.reset();
    // the thread is joined here, not left running on a freed object
    textures.reset();
    EXPECT_EQ(std::make_pair((int)kTextureRead, 1), window.Next(0));
}
