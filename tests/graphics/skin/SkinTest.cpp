#include <gtest/gtest.h>

#include <string>

#include "graphics/image/Bitmap.h"
#include "graphics/skin/Skin.h"
#include "tests/support/BitmapFixtures.h"
#include "tests/support/SkinFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

std::wstring ShippedSkins()
{
    return std::wstring(TL_SHIPPED_DATA) + L"skins\\";
}

struct LoadedSkin {
    CSkin skin;
    explicit LoadedSkin(const std::wstring& root, const wchar_t* name) : skin(root.c_str())
    {
        skin.Load(name, 0, 0, FW_NORMAL, 0);
    }
};

}  // namespace

TEST(Skin, ShippedDigitSkinHasStripAndLightmap)
{
    LoadedSkin s(ShippedSkins(), L"Blue LCD");
    EXPECT_EQ(kSkinDigits | kSkinLightmap, s.skin.GetFeatures());
    EXPECT_EQ(11, s.skin.GetDigitWidth());
    EXPECT_EQ(8, s.skin.GetColonWidth());
    EXPECT_STREQ(L"Blue LCD", s.skin.GetName());
    EXPECT_EQ(kBorderRectangle, s.skin.GetBorderStyle());
    EXPECT_EQ(RGB(0x20, 0x40, 0x60), s.skin.GetBorderColor());
    SIZE size;
    s.skin.GetTextExtent(&size, L"12:34", -1);
    EXPECT_EQ(4 * 11 + 8, size.cx);
    EXPECT_EQ(s.skin.GetDigitHeight(), size.cy);
}

// Every pixel of "12:34" is the strip's pixel, or the target's where the strip has the key.
TEST(Skin, DrawsDigitCellsLeavingTheKeyTransparent)
{
    LoadedSkin s(ShippedSkins(), L"Blue LCD");
    CBitmap strip;
    ASSERT_TRUE(strip.LoadFromFile((ShippedSkins() + L"Blue LCD\\digits.bmp").c_str()));
    int dw = s.skin.GetDigitWidth(), h = s.skin.GetDigitHeight();
    COLORREF key = ::GetPixel(strip.GetDC(), 10 * dw, 0);
    EXPECT_EQ(key, s.skin.GetBackColor());
    SkinCanvas canvas(s.skin, 60, h + 4);
    s.skin.DrawText(0, 2, L"12:34", 5);
    const int sourceX[5] = {dw, 2 * dw, 10 * dw, 3 * dw, 4 * dw};
    const int width[5] = {dw, dw, 8, dw, dw};
    int x = 0, keyPixels = 0, inkPixels = 0;
    for (int cell = 0; cell < 5; ++cell) {
        for (int cx = 0; cx < width[cell]; ++cx)
            for (int y = 0; y < h; ++y) {
                COLORREF source = ::GetPixel(strip.GetDC(), sourceX[cell] + cx, y);
                COLORREF drawn = canvas.At(x + cx, y + 2);
                if (source == key) {
                    ++keyPixels;
                    ASSERT_EQ(kCanvasSentinel, drawn) << cell << " " << cx << " " << y;
                } else {
                    ++inkPixels;
                    ASSERT_EQ(source, drawn) << cell << " " << cx << " " << y;
                }
            }
        x += width[cell];
    }
    EXPECT_GT(keyPixels, 0);
    EXPECT_GT(inkPixels, 0);
    EXPECT_EQ(kCanvasSentinel, canvas.At(x, 2));  // nothing past the text
}

TEST(Skin, ShippedFontStripGivesBitmapFontAndDigits)
{
    LoadedSkin s(ShippedSkins(), L"Amber Type");
    CBitmap text;
    ASSERT_TRUE(text.LoadFromFile((ShippedSkins() + L"Amber Type\\text.bmp").c_str()));
    int cw = text.GetWidth() / 31, ch = text.GetHeight() / 3 + 1;
    EXPECT_EQ(kSkinDigits | kSkinBitmapFont, s.skin.GetFeatures());
    EXPECT_EQ(cw, s.skin.GetCellWidth());
    EXPECT_EQ(ch, s.skin.GetCellHeight());
    EXPECT_EQ(cw, s.skin.GetDigitWidth());
    EXPECT_EQ(cw - 1, s.skin.GetColonWidth());
    SIZE size;
    s.skin.GetTextExtent(&size, L"12:34 Ab", -1);
    EXPECT_EQ(4 * cw + (cw - 1) + 3 * cw, size.cx);
    EXPECT_EQ(ch, size.cy);
}

// Pairs of characters whose cells are the same glyph; the first also differs from a blank.
TEST(Skin, LowerCaseAndCommaDrawLikeTheirTwins)
{
    LoadedSkin s(ShippedSkins(), L"Amber Type");
    int cw = s.skin.GetCellWidth(), ch = s.skin.GetCellHeight();
    ASSERT_GT(cw, 0);
    const wchar_t* pairs[][2] = {{L"A", L"a"}, {L"Q", L"q"}, {L"Z", L"z"}, {L".", L","}};
    for (auto& pair : pairs) {
        SkinCanvas first(s.skin, cw, ch);
        s.skin.DrawText(0, 0, pair[0], 1);
        SkinCanvas second(s.skin, cw, ch);
        s.skin.DrawText(0, 0, pair[1], 1);
        int ink = 0;
        for (int x = 0; x < cw; ++x)
            for (int y = 0; y < ch; ++y) {
                ASSERT_EQ(first.At(x, y), second.At(x, y)) << pair[1][0];
                ink += first.At(x, y) != kCanvasSentinel;
            }
        EXPECT_GT(ink, 0) << pair[0][0];
    }
}

TEST(Skin, MissingFolderFallsBackToBuiltInLook)
{
    LoadedSkin s(ShippedSkins(), kClassicStyleName);
    EXPECT_EQ(0u, s.skin.GetFeatures());
    EXPECT_EQ(kKindClassic, s.skin.GetKind());
    LoadedSkin face(ShippedSkins(), L"No Such Skin");
    EXPECT_EQ(0u, face.skin.GetFeatures());
    EXPECT_EQ(kKindOther, face.skin.GetKind());
}

TEST(Skin, ShadowOffsetsAboveEightDropTheShadow)
{
    struct Case {
        const char* offset;
        int expected;
    } cases[] = {{"3", 3}, {"8", 8}, {"9", 0}, {"-9", 0}, {"-2", -2}};
    for (const Case& c : cases) {
        CTempFolder temp;
        ASSERT_TRUE(temp.AddFolder(L"Shade"));
        ASSERT_TRUE(temp.WriteBytes(L"Shade\\skin.ini", std::string("[font]\r\nface=Arial\r\nsize=10\r\n"
                                                                     "[shadow]\r\ncolor=0x102030\r\noffset=") +
                                                             c.offset + "\r\n"));
        LoadedSkin s(temp.Path(), L"Shade");
        EXPECT_EQ(c.expected, s.skin.GetShadowOffset()) << c.offset;
        EXPECT_EQ(RGB(0x10, 0x20, 0x30), s.skin.GetShadowColor());
        EXPECT_EQ(0u, s.skin.GetFeatures());
        EXPECT_EQ(10, s.skin.GetFontSize());
    }
}

// Cells wider than 10 pixels still give a digit a cell and the colon one pixel less.
TEST(Skin, DigitStripCutFromWideGrid)
{
    for (int cw : {6, 12, 21}) {
        CTempFolder temp;
        ASSERT_TRUE(temp.AddFolder(L"Grid"));
        const int ch = 9;
        // Key white; each cell gets a dark pixel in its middle.
        ASSERT_TRUE(temp.WriteBytes(L"Grid\\alphas.bmp", BmpBytes(16 * cw, 14 * ch, [&](int x, int y) {
                                        return (x % cw == cw / 2 && y % ch == ch / 2) ? RGB(0, 0, 0x80)
                                                                                      : RGB(255, 255, 255);
                                    })));
        LoadedSkin s(temp.Path(), L"Grid");
        EXPECT_EQ(kSkinDigits | kSkinBitmapFont, s.skin.GetFeatures());
        EXPECT_EQ(cw, s.skin.GetDigitWidth()) << cw;
        EXPECT_EQ(cw - 1, s.skin.GetColonWidth()) << cw;
        EXPECT_EQ(ch, s.skin.GetDigitHeight());
        EXPECT_EQ(RGB(255, 255, 255), s.skin.GetBackColor());
        SIZE size;
        s.skin.GetTextExtent(&size, L"12:34", 5);
        EXPECT_EQ(5 * cw - 1, size.cx);
        SkinCanvas canvas(s.skin, 5 * cw, ch);
        s.skin.DrawText(0, 0, L"9", 1);
        EXPECT_EQ(RGB(0, 0, 0x80), canvas.At(cw / 2, ch / 2));
        EXPECT_EQ(kCanvasSentinel, canvas.At(0, 0));
    }
}

TEST(Skin, NumbersSourceIsLaidOutElevenWide)
{
    CTempFolder temp;
    ASSERT_TRUE(temp.AddFolder(L"Num"));
    // Digit d has a dark pixel in column 4 of its 9-pixel cell, at row d.
    ASSERT_TRUE(temp.WriteBytes(L"Num\\numbers.bmp", BmpBytes(90, 12, [](int x, int y) {
                                    return (x % 9 == 4 && y == x / 9) ? RGB(0x80, 0, 0) : RGB(0, 0x40, 0);
                                })));
    LoadedSkin s(temp.Path(), L"Num");
    EXPECT_EQ(kSkinDigits, s.skin.GetFeatures());
    EXPECT_EQ(11, s.skin.GetDigitWidth());
    EXPECT_EQ(8, s.skin.GetColonWidth());
    SkinCanvas canvas(s.skin, 30, 12);
    s.skin.DrawText(0, 0, L"37", 2);
    EXPECT_EQ(RGB(0x80, 0, 0), canvas.At(4, 3));
    EXPECT_EQ(RGB(0x80, 0, 0), canvas.At(11 + 4, 7));
    EXPECT_EQ(kCanvasSentinel, canvas.At(4, 7));
}

TEST(Skin, LightmapShadesTheCommonArea)
{
    LoadedSkin s(ShippedSkins(), L"Blue LCD");
    ASSERT_TRUE(s.skin.GetFeatures() & kSkinLightmap);
    const int w = 4, h = 3;
    uint32_t pixels[w * h];
    for (uint32_t& p : pixels)
        p = 0xFF404040;
    s.skin.ApplyLightmap(pixels, w, h);
    int changed = 0;
    for (uint32_t p : pixels)
        changed += p != 0xFF404040;
    EXPECT_GT(changed, 0);
    s.skin.ApplyLightmap(pixels, 0, h);  // no size: nothing, no crash
}

// A 2 x 1 lightmap over a 3 x 2 block: only the bottom row's first two pixels
// are shaded, around the neutral grey 0x808080 (which leaves a pixel as it is).
TEST(Skin, LightmapIsNeutralAtMidGrey)
{
    CTempFolder temp;
    ASSERT_TRUE(temp.AddFolder(L"Lit"));
    ASSERT_TRUE(temp.WriteBytes(L"Lit\\lightmap.bmp", BmpBytes(2, 1, [](int x, int) {
        return x == 0 ? RGB(0x80, 0x80, 0x80) : RGB(0xA0, 0x60, 0x40);
    })));
    LoadedSkin s(temp.Path(), L"Lit");
    ASSERT_EQ(kSkinLightmap, s.skin.GetFeatures());
    // rows bottom-up, as in a DIB
    uint32_t pixels[2][3] = {{0xFF404040, 0xFF404040, 0xFF404040}, {0xFF404040, 0xFF404040, 0xFF404040}};
    s.skin.ApplyLightmap(&pixels[0][0], 3, 2);
    const uint32_t expected[2][3] = {
        {0xFF404040, 0xFF602000, 0xFF404040},  // unchanged; R +0x20, G -0x20, B -0x40; outside the map
        {0xFF404040, 0xFF404040, 0xFF404040},
    };
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(expected[row][col], pixels[row][col]) << std::hex << row << " " << col;
}
