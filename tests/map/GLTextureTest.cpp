#include <gtest/gtest.h>

#include <string>

#include "map/textures/GLTexture.h"
#include "map/textures/TileSet.h"
#include "tests/map/JpegFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

// Eight colours far apart, in the order of the tiles: top row first.
const uint32_t kTileColours[kTileCount] = {0xE02020, 0x20E020, 0x2020E0, 0xE0E020,
                                           0x20E0E0, 0xE020E0, 0xF0F0F0, 0x202020};

TopDownPicture Grey(int width, int height)
{
    TopDownPicture picture(width, height, 3);
    for (uint8_t& b : picture.bytes)
        b = 128;
    return picture;
}

}  // namespace

TEST(GLTexture, LoadFitsPowersOfTwoWithinTheLimits)
{
    struct Case {
        int width, height;      // of the file
        int maxWidth, maxHeight;
        int result;
        uint32_t loadedWidth, loadedHeight;
    } cases[] = {
        {2048, 1024, 2048, 1024, kTextureLoaded, 2048, 1024},
        {64, 32, 100, 100, kTextureLoaded, 64, 32},      // doubling stops at the image
        {64, 32, 20, 100, kTextureRescaled, 32, 32},     // 16 < 20: 32, still not above the image
        {64, 32, 16, 16, kTextureRescaled, 16, 16},
        {100, 60, 1024, 1024, kTextureRescaled, 64, 32}, // 128 > 100 is halved once
        {10, 10, 64, 64, kTextureRescaled, 8, 8},        // below 16: halved once from 16
        {100, 60, 0, 1024, kTextureLoaded, 100, 60},     // no limit: as the file holds it
        {100, 60, 1024, -1, kTextureLoaded, 100, 60},
    };
    CTempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " in " << c.maxWidth << "x" << c.maxHeight);
        std::wstring path = folder.File(L"fixture.jpg");
        ASSERT_TRUE(WriteJpegFile(path, Grey(c.width, c.height)));
        CGLTexture picture;
        EXPECT_EQ(c.result, picture.Load(path.c_str(), c.maxWidth, c.maxHeight));
        EXPECT_EQ(c.loadedWidth, picture.GetWidth());
        EXPECT_EQ(c.loadedHeight, picture.GetHeight());
        ASSERT_NE(nullptr, picture.GetPixels());
        EXPECT_TRUE(NearRgb(PixelFromTop(picture, c.loadedWidth - 1, c.loadedHeight - 1), 0x808080, 3));
    }
    CGLTexture missing;
    EXPECT_EQ(kTextureLoadFailed, missing.Load(folder.File(L"none.jpg").c_str(), 64, 64));
    // through the base: the same loader
    CGLTexture viaBase;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"big.jpg"), Grey(100, 60)));
    EXPECT_EQ(kTextureRescaled, static_cast<CJpegTexture&>(viaBase).Load(folder.File(L"big.jpg").c_str(), 64, 64));
    EXPECT_EQ(64u, viaBase.GetWidth());
}

TEST(GLTexture, ShippedEarthLoadsRescaledToTheTextureSize)
{
    CGLTexture earth;
    ASSERT_EQ(kTextureRescaled, earth.Load(TL_PROGRAM_FOLDER L"map.jpg", 2048, 1024));
    EXPECT_EQ(2048u, earth.GetWidth());
    EXPECT_EQ(1024u, earth.GetHeight());
    EXPECT_EQ(3, earth.GetComponents());
    // north up: the Arctic sea on top is dark blue, Antarctica's ice white
    const uint8_t* arctic = PixelFromTop(earth, 1024, 2);
    const uint8_t* antarctica = PixelFromTop(earth, 1024, 1020);
    EXPECT_LT(arctic[0] + arctic[1], arctic[2]);
    EXPECT_GT(antarctica[0] + antarctica[1] + antarctica[2], 3 * 200);
}

TEST(GLTexture, RescaleAveragesTheSourcePixelsOfEachTargetPixel)
{
    // 3 x 2, top-down; red channel only, green and blue fixed
    TopDownPicture picture(3, 2, 3);
    const uint8_t red[6] = {10, 20, 90, 30, 40, 200};
    for (int i = 0; i < 6; ++i) {
        picture.bytes[i * 3] = red[i];
        picture.bytes[i * 3 + 1] = 7;
        picture.bytes[i * 3 + 2] = 250;
    }
    CTestPicture t;
    t.Set(picture);
    ASSERT_TRUE(t.Rescale(2, 1));
    EXPECT_EQ(2u, t.GetWidth());
    EXPECT_EQ(1u, t.GetHeight());
    EXPECT_EQ(2u, t.GetBufferWidth());
    EXPECT_EQ(1u, t.GetBufferRows());
    // columns 0 | 1-2: (10+30)/2 and (20+90+40+200)/4 rounded
    EXPECT_EQ(20, t.PixelFromTop(0, 0)[0]);
    EXPECT_EQ(88, t.PixelFromTop(1, 0)[0]);
    EXPECT_EQ(7, t.PixelFromTop(1, 0)[1]);
    EXPECT_EQ(250, t.PixelFromTop(1, 0)[2]);

    CTestPicture rows;
    rows.Set(FlatBlocks(4, 4, 1, 2, kTileColours));     // upper half red, lower green
    ASSERT_TRUE(rows.Rescale(4, 2));
    EXPECT_TRUE(NearRgb(rows.PixelFromTop(3, 0), kTileColours[0], 0));
    EXPECT_TRUE(NearRgb(rows.PixelFromTop(3, 1), kTileColours[1], 0));

    // never up, never to nothing, never a converted picture
    EXPECT_FALSE(rows.Rescale(5, 2));
    EXPECT_FALSE(rows.Rescale(4, 3));
    EXPECT_FALSE(rows.Rescale(0, 1));
    ASSERT_TRUE(rows.ConvertToRgba(255));
    EXPECT_FALSE(rows.Rescale(2, 1));
    EXPECT_EQ(4u, rows.GetWidth());
    CGLTexture empty;
    EXPECT_FALSE(empty.Rescale(1, 1));
}

TEST(GLTexture, FitsSidesToPowersOfTwoAndConvertsWithAlpha)
{
    struct Case {
        uint32_t n, floor;
    } floors[] = {{1, 1}, {2, 2}, {3, 2}, {1023, 512}, {1024, 1024}, {2700, 2048}, {0x80000001u, 0x80000000u}};
    for (const Case& c : floors)
        EXPECT_EQ(c.floor, FloorPowerOfTwo(c.n)) << c.n;

    CTestPicture t;
    t.Set(FlatBlocks(100, 60, 1, 2, kTileColours));
    ASSERT_TRUE(t.FitPowerOfTwo());
    EXPECT_EQ(64u, t.GetWidth());
    EXPECT_EQ(32u, t.GetHeight());
    EXPECT_TRUE(NearRgb(t.PixelFromTop(0, 0), kTileColours[0], 0));
    EXPECT_TRUE(NearRgb(t.PixelFromTop(63, 31), kTileColours[1], 0));

    ASSERT_TRUE(t.ConvertToRgba(255));
    EXPECT_EQ(4, t.GetComponents());
    const uint8_t* p = PixelFromTop(t, 0, 0);
    EXPECT_EQ(0xE0, p[0]);
    EXPECT_EQ(0x20, p[1]);
    EXPECT_EQ(0x20, p[2]);
    EXPECT_EQ(255, p[3]);

    TopDownPicture grey(4, 1, 1);
    grey.bytes = {0, 50, 100, 200};
    CTestPicture g;
    g.Set(grey);
    ASSERT_TRUE(g.ConvertToRgba(77));
    const uint8_t* q = PixelFromTop(g, 2, 0);
    EXPECT_EQ(100, q[0]);
    EXPECT_EQ(100, q[1]);
    EXPECT_EQ(100, q[2]);
    EXPECT_EQ(77, q[3]);
}

TEST(GLTexture, SplitTilesPutsTheNorthernHalfInRowZero)
{
    // written top-down by libjpeg and read by the loader under test: a tile
    // row taken from the wrong end of the buffer shows the wrong colours
    CTempFolder folder;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"eight.jpg"), FlatBlocks(128, 64, 4, 2, kTileColours), 100));
    CGLTexture picture;
    ASSERT_EQ(kTextureLoaded, picture.Load(folder.File(L"eight.jpg").c_str(), 128, 64));
    TileSet tiles;
    ASSERT_TRUE(picture.SplitTiles(tiles, kTileColumns, kTileRows));
    ASSERT_TRUE(tiles.Ready());
    for (int i = 0; i < kTileCount; ++i) {
        SCOPED_TRACE(i);
        const CGLTexture& tile = tiles.tiles[i];
        EXPECT_EQ(32u, tile.GetWidth());
        EXPECT_EQ(32u, tile.GetHeight());
        EXPECT_EQ(3, tile.GetComponents());
        // the middle and the corners, away from the JPEG's block edges
        EXPECT_TRUE(NearRgb(PixelFromTop(tile, 16, 16), kTileColours[i], 12));
        EXPECT_TRUE(NearRgb(PixelFromTop(tile, 2, 2), kTileColours[i], 24));
        EXPECT_TRUE(NearRgb(PixelFromTop(tile, 29, 29), kTileColours[i], 24));
    }
    // the picture is left whole
    EXPECT_EQ(128u, picture.GetWidth());

    // two columns, one row: index = column
    TileSet halves;
    ASSERT_TRUE(picture.SplitTiles(halves, 2, 1));
    EXPECT_EQ(64u, halves.tiles[0].GetWidth());
    EXPECT_EQ(64u, halves.tiles[0].GetHeight());
    EXPECT_TRUE(NearRgb(PixelFromTop(halves.tiles[1], 60, 4), kTileColours[3], 12));
    EXPECT_TRUE(NearRgb(PixelFromTop(halves.tiles[1], 60, 60), kTileColours[7], 12));
    EXPECT_EQ(nullptr, halves.tiles[2].GetPixels());

    EXPECT_FALSE(picture.SplitTiles(halves, 4, 4));     // more tiles than the set holds
    EXPECT_EQ(nullptr, halves.tiles[0].GetPixels());
    CGLTexture empty;
    EXPECT_FALSE(empty.SplitTiles(tiles, kTileColumns, kTileRows));
    EXPECT_FALSE(tiles.Ready());
}

TEST(GLTexture, HeaderIsReadWithoutDecoding)
{
    CTempFolder folder;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"wide.jpg"), Grey(300, 20)));
    TopDownPicture grey(40, 30, 1);
    ASSERT_TRUE(WriteJpegFile(folder.File(L"grey.jpg"), grey));
    struct Case {
        std::wstring path;
        bool ok;
        uint32_t width, height;
        int components;
    } cases[] = {
        {folder.File(L"wide.jpg"), true, 300, 20, 3},
        {folder.File(L"grey.jpg"), true, 40, 30, 1},
        {TestDataPath(L"cmyk.jpg"), true, 0, 0, 4},     // sizes not pinned here
        {folder.File(L"none.jpg"), false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        JpegHeader header = {};
        ASSERT_EQ(c.ok, ReadJpegHeader(c.path.c_str(), &header));
        if (!c.ok)
            continue;
        if (c.width) {
            EXPECT_EQ(c.width, header.width);
            EXPECT_EQ(c.height, header.height);
        }
        EXPECT_EQ(c.components, header.components);
    }
    // only the markers up to the start of the scan are needed
    std::string bytes = ReadFileBytes(folder.File(L"wide.jpg"));
    size_t scan = bytes.find("\xFF\xDA");
    ASSERT_NE(std::string::npos, scan);
    ASSERT_TRUE(folder.WriteBytes(L"head.jpg", bytes.substr(0, scan + 14)));
    JpegHeader header = {};
    EXPECT_TRUE(ReadJpegHeader(folder.File(L"head.jpg").c_str(), &header));
    EXPECT_EQ(300u, header.width);
    ASSERT_TRUE(folder.WriteBytes(L"text.jpg", "GIF89a, not a JPEG"));
    EXPECT_FALSE(ReadJpegHeader(folder.File(L"text.jpg").c_str(), &header));
    EXPECT_FALSE(ReadJpegHeader(nullptr, &header));
}
