#include <gtest/gtest.h>

#include <stdint.h>

#include <random>
#include <vector>

#include "graphics/image/PixelOps.h"

namespace {

// Fixed seed: the SIMD and scalar forms must agree on the same inputs every run.
std::mt19937 g_random(20261210);

uint32_t Pixel() { return (uint32_t)g_random(); }

// Pixels from a small palette, so that equal colours and keys occur often.
uint32_t PalettePixel()
{
    static const uint32_t palette[] = {0xFF000000, 0xFFFFFFFF, 0x00FF00FF, 0x80808080, 0x7F7F7F7F, 0xFF123456};
    return g_random() % 3 == 0 ? palette[g_random() % 6] : Pixel();
}

}  // namespace

TEST(PixelOps, KnownValues)
{
    EXPECT_EQ(0x11223344u, MixColors(0x11223344, 0x99AABBCC, 0));
    EXPECT_EQ(0x11223344u, MixColors(0x11223344, 0x99223344, 128));  // same RGB: a, alpha included
    // weight 255: (a + 255 b) >> 8 per byte, not exactly b
    EXPECT_EQ(0xFEFEFEFEu, MixColors(0x00000000, 0xFFFFFFFF, 255));
    EXPECT_EQ(0x7F7F7F7Fu, MixColors(0x00000000, 0xFFFFFFFF, 128));
    EXPECT_EQ(0x117F7F7Fu, MixColorsKeepAlpha(0x11000000, 0xFFFFFFFF, 128));
    EXPECT_EQ(0x12345678u, ShadeColor(0x12345678, 0x7F7F7F));
    EXPECT_EQ(0x12355880u, ShadeColor(0x12345678, 0x808187));   // +1, +2, +8 over the grey 0x7F
    EXPECT_EQ(0xFF0000FFu, ShadeColor(0xF00000FF, 0x20007FFF)); // alpha adds, red floors at 0
    uint32_t d[2] = {0x12345678, 0x12345678};
    const uint32_t s[2] = {0x808080, 0x01818080};
    ShadePixels(d, s, 2);
    EXPECT_EQ(0x12345678u, d[0]);
    EXPECT_EQ(0x13355678u, d[1]);
}

TEST(PixelOps, ResampleGroupsAndKeys)
{
    uint32_t src[10];
    for (int i = 0; i < 10; ++i)
        src[i] = (uint32_t)(i * 10) * 0x01010101u;
    uint32_t dst[3];
    ResampleRun(src, dst, 10, 3, 4, 4);
    // groups {0,1,2,3}, {4,5,6}, {7,8,9}: averages 15, 50, 80
    EXPECT_EQ(15u * 0x01010101u, dst[0]);
    EXPECT_EQ(50u * 0x01010101u, dst[1]);
    EXPECT_EQ(80u * 0x01010101u, dst[2]);

    const uint32_t key = 0xFFFF00FF;
    uint32_t keyed[6] = {key, 0x10, 0x20, key, 0x30, 0x50};
    ResampleRunKeyed(keyed, dst, 6, 3, 4, 4, key);
    EXPECT_EQ(key, dst[0]);     // the group's first pixel is the key
    EXPECT_EQ(0x20u, dst[1]);   // the key is left out of the average
    EXPECT_EQ(0x40u, dst[2]);

    // down a column: stride of a whole row
    uint32_t image[4][2] = {{1, 0}, {3, 0}, {5, 0}, {7, 0}};
    uint32_t column[2];
    ResampleRun(&image[0][0], column, 4, 2, 8, 4);
    EXPECT_EQ(2u, column[0]);
    EXPECT_EQ(6u, column[1]);
}

TEST(PixelOps, SimdMatchesScalarOnRandomInputs)
{
    for (int i = 0; i < 20000; ++i) {
        uint32_t a = PalettePixel(), b = PalettePixel(), w = Pixel();
        ASSERT_EQ(MixColorsRef(a, b, w), MixColors(a, b, w)) << std::hex << a << " " << b << " " << w;
        ASSERT_EQ(MixColorsKeepAlphaRef(a, b, w), MixColorsKeepAlpha(a, b, w));
        ASSERT_EQ(ShadeColorRef(a, b), ShadeColor(a, b)) << std::hex << a << " " << b;
    }
    for (int round = 0; round < 200; ++round) {
        int n = 1 + (int)(g_random() % 300), m = 1 + (int)(g_random() % n);
        uint32_t key = PalettePixel();
        std::vector<uint32_t> src(n), dst(m), ref(m);
        for (auto& p : src)
            p = g_random() % 4 == 0 ? key : PalettePixel();
        if (n / m < 255) {
            ResampleRun(src.data(), dst.data(), n, m, 4, 4);
            ResampleRunRef(src.data(), ref.data(), n, m, 4, 4);
            ASSERT_EQ(ref, dst) << n << " -> " << m;
            ResampleRunKeyed(src.data(), dst.data(), n, m, 4, 4, key);
            ResampleRunKeyedRef(src.data(), ref.data(), n, m, 4, 4, key);
            ASSERT_EQ(ref, dst) << n << " -> " << m << " keyed";
        }
        std::vector<uint32_t> shade(n), run = src, runRef = src;
        for (auto& p : shade)
            p = PalettePixel();
        ShadePixels(run.data(), shade.data(), n);
        ShadePixelsRef(runRef.data(), shade.data(), n);
        ASSERT_EQ(runRef, run);
        run = runRef = src;
        ShadeRun(run.data(), n / 2, 8, shade[0], key);
        ShadeRunRef(runRef.data(), n / 2, 8, shade[0], key);
        ASSERT_EQ(runRef, run);
    }
}

TEST(PixelOps, ShadeTableIsASineOfGreys)
{
    uint32_t table[256];
    BuildShadeTable(table);
    EXPECT_EQ(87u * 0x010101u, table[0]);
    EXPECT_EQ(167u * 0x010101u, table[128]);
    EXPECT_EQ(87u * 0x010101u, table[255]);
    for (int i = 1; i < 128; ++i)
        EXPECT_LE(table[i - 1], table[i]);
}

TEST(PixelOps, DistanceTableGrowsFromTheCorner)
{
    uint8_t table[32][32];
    BuildDistanceTable(table);
    struct { int x, y, distance; } cases[] = {
        {0, 0, 0}, {1, 0, 5}, {0, 1, 5}, {4, 3, 28}, {31, 0, 177}, {0, 31, 177}, {31, 31, 250},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.distance, table[c.y][c.x]) << c.x << "," << c.y;
    for (int y = 0; y < 32; ++y)
        for (int x = 1; x < 32; ++x) {
            EXPECT_LE(table[y][x - 1], table[y][x]);
            EXPECT_EQ(table[y][x], table[x][y]);
        }
}

// The SIMD keyed shrink against its scalar twin where its fast paths branch
// off: single pixels, pairs, runs of four, strides other than one pixel, a
// key of 0, the largest groups and shrinks in place.
TEST(ResampleKeyed, SimdMatchesScalarOnEveryPath)
{
    std::mt19937 random(20261210);
    struct Case {
        int n, m, stride;  // stride in pixels
    } cases[] = {
        {7, 7, 1},     {8, 4, 1},   {9, 6, 1},   {1024, 640, 1}, {1024, 128, 1}, {255, 1, 1},
        {300, 2, 1},   {13, 3, 1},  {64, 9, 2},  {40, 40, 3},    {255, 1, 5},    {17, 4, 7},
    };
    for (uint32_t key : {0xFF00FF00u, 0u}) {
        for (const Case& c : cases) {
            for (int round = 0; round < 20; ++round) {
                SCOPED_TRACE(testing::Message() << c.n << " -> " << c.m << " stride " << c.stride << " key "
                                                << key << " round " << round);
                std::vector<uint32_t> src((size_t)c.n * c.stride);
                // few colours so that runs of keys and equal pixels occur
                for (uint32_t& p : src)
                    p = random() % 3 == 0 ? key : (uint32_t)random() | (round % 2 ? 0 : 0xFF000000u);
                std::vector<uint32_t> dst((size_t)c.m * c.stride), ref = dst;
                int bytes = 4 * c.stride;
                ResampleRunKeyed(src.data(), dst.data(), c.n, c.m, bytes, bytes, key);
                ResampleRunKeyedRef(src.data(), ref.data(), c.n, c.m, bytes, bytes, key);
                ASSERT_EQ(ref, dst);
                std::vector<uint32_t> inPlace = src, inPlaceRef = src;
                ResampleRunKeyed(inPlace.data(), inPlace.data(), c.n, c.m, bytes, bytes, key);
                ResampleRunKeyedRef(inPlaceRef.data(), inPlaceRef.data(), c.n, c.m, bytes, bytes, key);
                ASSERT_EQ(inPlaceRef, inPlace);
            }
        }
    }
}
