#include <gtest/gtest.h>

#include "graphics/image/PixelBuffer.h"
#include "tests/support/BitmapFixtures.h"

namespace {

const uint32_t kKey = 0xFFFF00FF;

// A plain ramp of greys rather than the clocks' table: entry i is grey i.
struct GreyRamp {
    uint32_t table[256];
    GreyRamp()
    {
        for (uint32_t i = 0; i < 256; ++i)
            table[i] = i * 0x010101u;
    }
};

template <int W, int H>
void ExpectPixels(const CPixelBuffer& buffer, const uint32_t (&rows)[H][W])
{
    // rows[0] is the top row, as the tables read
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            EXPECT_EQ(rows[H - 1 - y][x], buffer.GetPixel(x, y)) << std::hex << "at " << x << "," << y;
}

}  // namespace

TEST(PixelEffects, ShadeRowsIsAVerticalGradient)
{
    GreyRamp ramp;
    CPixelBuffer buffer;
    ASSERT_TRUE(MakeBuffer(buffer, 2, 4, [](int x, int y) { return x == 1 && y == 2 ? kKey : 0xFF404040u; }));
    buffer.ShadeRows(ramp.table, kKey);
    // row r takes grey r * 256 / 4: 0, 64, 128, 192 around the neutral 127
    const uint32_t expected[4][2] = {
        {0xFF818181, 0xFF818181},
        {0xFF414141, kKey},  // the key is skipped
        {0xFF010101, 0xFF010101},
        {0xFF000000, 0xFF000000},
    };
    ExpectPixels(buffer, expected);
}

TEST(PixelEffects, ShadeColumnsIsAHorizontalGradient)
{
    GreyRamp ramp;
    CPixelBuffer buffer;
    ASSERT_TRUE(MakeBuffer(buffer, 4, 2, [](int x, int y) { return x == 3 && y == 0 ? kKey : 0xFF404040u; }));
    buffer.ShadeColumns(ramp.table, kKey);
    const uint32_t expected[2][4] = {
        {0xFF000000, 0xFF010101, 0xFF414141, 0xFF818181},
        {0xFF000000, 0xFF010101, 0xFF414141, kKey},
    };
    ExpectPixels(buffer, expected);
}

TEST(PixelEffects, ShadeMaskedRowsOnlyInsideTheMask)
{
    GreyRamp ramp;
    CPixelBuffer buffer, mask;
    ASSERT_TRUE(MakeBuffer(buffer, 2, 4, [](int x, int y) { return x == 1 && y == 2 ? kKey : 0xFF404040u; }));
    // the mask is a row shorter: the common area is 2 x 3, its rows take greys 0, 85, 170
    ASSERT_TRUE(MakeBuffer(mask, 2, 3, [](int x, int y) { return x == 0 && y == 1 ? kKey : 0u; }));
    buffer.ShadeMaskedRows(mask, ramp.table, kKey);
    const uint32_t expected[4][2] = {
        {0xFF404040, 0xFF404040},  // outside the common area
        {0xFF6B6B6B, kKey},
        {0xFF404040, 0xFF161616},  // masked out on the left
        {0xFF000000, 0xFF000000},
    };
    ExpectPixels(buffer, expected);
}

TEST(PixelEffects, KeyToAlpha)
{
    const uint32_t pixels[4] = {0x00FF00FF, 0x12FF00FF, 0x00123456, 0x80ABCDEF};
    struct Case {
        bool premultiply;
        uint32_t expected[4];
    };
    const Case cases[] = {
        {false, {0x00FF00FF, 0x00FF00FF, 0xFF123456, 0xFFABCDEF}},
        {true, {0, 0, 0xFF123456, 0xFFABCDEF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.premultiply);
        CPixelBuffer buffer;
        ASSERT_TRUE(MakeBuffer(buffer, 4, 1, [&](int x, int) { return pixels[x]; }));
        ASSERT_TRUE(buffer.KeyToAlpha(kKey, c.premultiply));  // matched on RGB
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(c.expected[x], buffer.GetPixel(x, 0)) << x;
    }
}

TEST(PixelEffects, PremultiplyAlpha)
{
    const uint32_t cases[][2] = {
        {0x00FFFFFF, 0},           // transparent is black
        {0x80FF8040, 0x80804020},  // 255 * 128 / 255, 128 * 128 / 255, 64 * 128 / 255
        {0xFF123456, 0xFF123456},
        {0x01FFFFFF, 0x01010101},
    };
    CPixelBuffer buffer;
    ASSERT_TRUE(MakeBuffer(buffer, 4, 1, [&](int x, int) { return cases[x][0]; }));
    ASSERT_TRUE(buffer.PremultiplyAlpha());
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(cases[x][1], buffer.GetPixel(x, 0)) << std::hex << cases[x][0];
}

TEST(PixelEffects, BlendFromSkipsTheOthersKey)
{
    CPixelBuffer buffer, other;
    ASSERT_TRUE(MakeBuffer(buffer, 3, 2, Uniform(0xFF000000)));
    // 2 x 3: the common area is 2 x 2
    ASSERT_TRUE(MakeBuffer(other, 2, 3, [](int x, int y) { return x == 0 && y == 0 ? kKey : 0xFF0000FFu; }));
    buffer.BlendFrom(other, kKey, 128);
    const uint32_t expected[2][3] = {
        {0xFF00007F, 0xFF00007F, 0xFF000000},
        {0xFF000000, 0xFF00007F, 0xFF000000},
    };
    ExpectPixels(buffer, expected);
}

TEST(PixelEffects, BlendColorKeepsAlphaAndKey)
{
    CPixelBuffer buffer;
    ASSERT_TRUE(MakeBuffer(buffer, 2, 1, [](int x, int) { return x == 0 ? kKey : 0x40000000u; }));
    buffer.BlendColor(0xFFFFFFFF, kKey, 128);
    EXPECT_EQ(kKey, buffer.GetPixel(0, 0));
    EXPECT_EQ(0x407F7F7Fu, buffer.GetPixel(1, 0));
}

TEST(PixelEffects, AddShadingAroundNeutralGrey)
{
    CPixelBuffer buffer, lightmap;
    ASSERT_TRUE(MakeBuffer(buffer, 3, 1, Uniform(0x10404040)));
    ASSERT_TRUE(MakeBuffer(lightmap, 2, 1, [](int x, int) { return x == 0 ? 0x00808080u : 0x01909070u; }));
    buffer.AddShading(lightmap);
    EXPECT_EQ(0x10404040u, buffer.GetPixel(0, 0));  // 0x808080 changes nothing
    EXPECT_EQ(0x11505030u, buffer.GetPixel(1, 0));
    EXPECT_EQ(0x10404040u, buffer.GetPixel(2, 0));  // outside the lightmap
}

TEST(PixelEffects, EmptyBuffersAreLeftAlone)
{
    GreyRamp ramp;
    CPixelBuffer empty, full;
    ASSERT_TRUE(MakeBuffer(full, 2, 2, Uniform(0xFF404040)));
    empty.BlendFrom(full, kKey, 128);
    empty.BlendColor(0, kKey, 128);
    empty.ShadeRows(ramp.table, kKey);
    empty.ShadeMaskedRows(full, ramp.table, kKey);
    empty.ShadeColumns(ramp.table, kKey);
    empty.AddShading(full);
    EXPECT_FALSE(empty.KeyToAlpha(kKey, true));
    EXPECT_FALSE(empty.PremultiplyAlpha());
    EXPECT_FALSE(empty.IsValid());
    // and an empty partner changes nothing
    full.BlendFrom(empty, kKey, 128);
    full.AddShading(empty);
    full.ShadeMaskedRows(empty, ramp.table, kKey);
    EXPECT_EQ(0xFF404040u, full.GetPixel(1, 1));
}
