#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include <string>

#include "graphics/image/Bitmap.h"
#include "tests/support/BitmapFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

const uint32_t kNoColour = 0xFFFFFFFF;

// What GDI itself sees at pixel row y from the bottom, as 0x00RRGGBB.
uint32_t GdiPixel(const CBitmap& bitmap, int x, int y)
{
    COLORREF c = ::GetPixel(bitmap.GetDC(), x, bitmap.GetHeight() - 1 - y);
    return (uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c);
}

// A 24-bit BMP file of 2 x 2 pixels; `pixels` are 0x00RRGGBB, bottom row first.
std::string BmpFile(const uint32_t pixels[4])
{
    return ::BmpFile(2, 2, [pixels](int x, int y) { return pixels[y * 2 + x]; });
}

}  // namespace

TEST(Bitmap, CreateDestroyAndRecreate)
{
    CBitmap bitmap;
    EXPECT_FALSE(bitmap.IsValid());
    ASSERT_TRUE(bitmap.Create(5, 3));
    EXPECT_TRUE(bitmap.IsValid());
    EXPECT_EQ(5, bitmap.GetWidth());
    EXPECT_EQ(3, bitmap.GetHeight());
    EXPECT_EQ(nullptr, bitmap.GetBits());
    EXPECT_GE(bitmap.GetBitCount(), 24);  // compatible with the (24-bit) screen

    ASSERT_TRUE(bitmap.Create(2, 2, 1, 1));  // releases the first one
    EXPECT_EQ(1, bitmap.GetBitCount());
    EXPECT_EQ(2, bitmap.GetWidth());

    bitmap.Destroy();
    EXPECT_FALSE(bitmap.IsValid());
    EXPECT_EQ(0, bitmap.GetWidth());
    ASSERT_TRUE(bitmap.Create(2, 2));
    for (int size : {0, -1}) {  // GDI would hand out its stock bitmap for 0
        EXPECT_FALSE(bitmap.Create(size, 2)) << size;
        EXPECT_FALSE(bitmap.IsValid()) << size;
        ASSERT_TRUE(bitmap.Create(2, 2));
        EXPECT_FALSE(bitmap.Create(2, size)) << size;
        EXPECT_FALSE(bitmap.IsValid()) << size;
    }

    CDibSection dib;
    ASSERT_TRUE(dib.Create(4, 2));
    EXPECT_EQ(32, dib.GetBitCount());
    EXPECT_NE(nullptr, dib.GetBits());
    EXPECT_FALSE(dib.Create(0, 2));
    EXPECT_FALSE(dib.IsValid());  // the old one released all the same
}

TEST(Bitmap, DibPixelsAreBottomUpAndKeepAlpha)
{
    CDibSection dib;
    ASSERT_TRUE(dib.Create(3, 2));
    ASSERT_TRUE(dib.SetPixel(0, 0, 0x80123456));  // bottom-left
    ASSERT_TRUE(dib.SetPixel(2, 1, 0x00ABCDEF));  // top-right
    EXPECT_EQ(0x80123456u, dib.GetBits()[0]);
    EXPECT_EQ(0x00ABCDEFu, dib.GetBits()[1 * 3 + 2]);
    EXPECT_EQ(0x80123456u, dib.GetPixel(0, 0));
    // GDI agrees on where the rows are
    EXPECT_EQ(0x123456u, GdiPixel(dib, 0, 0));
    EXPECT_EQ(0xABCDEFu, GdiPixel(dib, 2, 1));
}

TEST(Bitmap, GdiPixelsOfAPlainBitmap)
{
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(3, 2));
    ASSERT_TRUE(bitmap.SetPixel(0, 0, 0x123456));
    ASSERT_TRUE(bitmap.SetPixel(2, 1, 0xABCDEF));
    EXPECT_EQ(0x123456u, GdiPixel(bitmap, 0, 0));
    EXPECT_EQ(0xABCDEFu, GdiPixel(bitmap, 2, 1));
    EXPECT_EQ(0xFF123456u, bitmap.GetPixel(0, 0));  // opaque: GDI keeps no alpha
    EXPECT_EQ(0xFFABCDEFu, bitmap.GetPixel(2, 1));
}

TEST(Bitmap, PixelAccessOutsideOrUnrepresentable)
{
    CBitmap plain;
    CDibSection dib;
    ASSERT_TRUE(plain.Create(3, 2));
    ASSERT_TRUE(dib.Create(3, 2));
    struct Case {
        CBitmap* bitmap;
        int x, y;
        uint32_t value;
        bool set;
    };
    const Case cases[] = {
        {&plain, 3, 0, 0x10, false},        // column = width
        {&plain, 0, 2, 0x10, false},        // row = height
        {&plain, -1, 0, 0x10, false},
        {&plain, 1, 1, 0x01000000, false},  // GDI cannot keep an alpha byte
        {&plain, 1, 1, 0x00FFFFFF, true},
        {&dib, 3, 0, 0x10, false},
        {&dib, 0, -1, 0x10, false},
        {&dib, 1, 1, 0xFF000000, true},     // a DIB keeps it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.bitmap == &dib ? "dib " : "plain ") << c.x << "," << c.y);
        EXPECT_EQ(c.set, c.bitmap->SetPixel(c.x, c.y, c.value));
    }
    // past the top both fall back to GDI, which reports its invalid colour
    EXPECT_EQ(kNoColour, plain.GetPixel(0, 2));
    EXPECT_EQ(kNoColour, dib.GetPixel(0, 2));
    EXPECT_EQ(kNoColour, dib.GetPixel(-1, 0));
    CBitmap empty;
    EXPECT_FALSE(empty.SetPixel(0, 0, 0));
}

TEST(Bitmap, SetAlphaRectIsClipped)
{
    const int kWidth = 4, kHeight = 3;
    struct Case {
        int x, y, w, h;
        bool applied;
        int left, bottom, right, top;  // the pixels expected to change, right/top exclusive
    };
    const Case cases[] = {
        {1, 1, 2, 1, true, 1, 1, 3, 2},
        {-1, -1, 2, 2, true, 0, 0, 1, 1},          // hangs over the bottom-left corner
        {2, 1, 10, 10, true, 2, 1, 4, 3},          // over the top-right
        {1, 1, INT_MAX, INT_MAX, true, 1, 1, 4, 3},  // the ends must not wrap around
        {4, 0, 1, 1, false, 0, 0, 0, 0},           // x = width
        {0, 3, 1, 1, false, 0, 0, 0, 0},           // y = height
        {-5, 0, 2, 2, false, 0, 0, 0, 0},          // wholly left of the bitmap
        {1, 1, 0, 5, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
        CDibSection dib;
        ASSERT_TRUE(MakeDib(dib, kWidth, kHeight, Uniform(0x11223344)));
        EXPECT_EQ(c.applied, dib.SetAlphaRect(c.x, c.y, c.w, c.h, 0xAB));
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                bool inside = x >= c.left && x < c.right && y >= c.bottom && y < c.top;
                EXPECT_EQ(inside ? 0xAB223344u : 0x11223344u, dib.GetPixel(x, y)) << x << "," << y;
            }
    }
    CBitmap plain;
    ASSERT_TRUE(plain.Create(2, 2));
    EXPECT_FALSE(plain.SetAlphaRect(0, 0, 1, 1, 0));
}

TEST(Bitmap, ApplyColorKey)
{
    const uint32_t key = 0xFFFF00FF;
    struct Case {
        bool premultiply;
        BYTE keyAlpha;
        uint32_t keyPixel, otherPixel;  // after: the pixels 0x00FF00FF and 0x10FF8040
    };
    const Case cases[] = {
        {false, 0, 0x00FF00FF, 0xFFFF8040},
        {true, 0, 0x00000000, 0xFFFF8040},     // the popup's use: key pixels vanish
        {false, 0x80, 0x80FF00FF, 0xFFFF8040},
        {true, 0x80, 0x80800080, 0xFFFF8040},  // 255 * 128 / 255, 0, 255 * 128 / 255
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.premultiply << " " << (int)c.keyAlpha);
        CDibSection dib;
        // the key is matched on RGB alone, whatever its alpha
        ASSERT_TRUE(MakeDib(dib, 2, 1, [](int x, int) { return x == 0 ? 0x00FF00FFu : 0x10FF8040u; }));
        ASSERT_TRUE(dib.ApplyColorKey(key, c.premultiply, c.keyAlpha));
        EXPECT_EQ(c.keyPixel, dib.GetPixel(0, 0));
        EXPECT_EQ(c.otherPixel, dib.GetPixel(1, 0));
    }
    CDibSection dib;
    ASSERT_TRUE(MakeDib(dib, 1, 1, Uniform(0x80FF8040)));
    ASSERT_TRUE(dib.ApplyColorKey(key, true, 0));
    EXPECT_EQ(0xFFFF8040u, dib.GetPixel(0, 0));  // alpha 255: colour as it was
    CBitmap plain;
    ASSERT_TRUE(plain.Create(2, 2));
    EXPECT_FALSE(plain.ApplyColorKey(key, true, 0));
}

TEST(Bitmap, ApplyColorKeyClearsKeyPixelsOfA32BitDibOnly)
{
    // the calendar popup's use: key alpha 0, premultiplied
    const uint32_t key = 0x00102030;
    const uint32_t before[4] = {0xFF102030, 0x00102031, 0x7F102030, 0x00000000};  // by x + 2 * y
    const uint32_t after[4] = {0x00000000, 0xFF102031, 0x00000000, 0xFF000000};
    CDibSection dib;
    ASSERT_TRUE(MakeDib(dib, 2, 2, [&](int x, int y) { return before[x + 2 * y]; }));
    ASSERT_TRUE(dib.ApplyColorKey(key, true, 0));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(after[i], dib.GetPixel(i % 2, i / 2)) << i;

    // a 24-bit DIB section has bits, but not 32-bit ones
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    CBitmap rgb;
    ASSERT_TRUE(rgb.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    ASSERT_NE(nullptr, bits);
    memset(bits, 0x10, 2 * 8);
    EXPECT_FALSE(rgb.ApplyColorKey(0x101010, true, 0));
    EXPECT_EQ(0x10, ((uint8_t*)bits)[0]);
}

TEST(Bitmap, LoadFromFileReadsSizeAndPixels)
{
    const uint32_t pixels[4] = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    CTempFile file(BmpFile(pixels));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromFile(file.Path()));
    EXPECT_EQ(2, bitmap.GetWidth());
    EXPECT_EQ(2, bitmap.GetHeight());
    EXPECT_EQ(0xFF102030u, bitmap.GetPixel(0, 0));
    EXPECT_EQ(0xFFA0B0C0u, bitmap.GetPixel(1, 1));

    EXPECT_FALSE(bitmap.LoadFromFile(L"Z:/nonexistent/none.bmp"));
    EXPECT_FALSE(bitmap.IsValid());
    EXPECT_FALSE(bitmap.Attach(nullptr));
}

TEST(Bitmap, DrawCopiesARectangle)
{
    CBitmap source;
    ASSERT_TRUE(source.Create(3, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            ASSERT_TRUE(source.SetPixel(x, y, Position(x, y) & 0xFFFFFF));
    CDibSection target;
    ASSERT_TRUE(MakeDib(target, 4, 4, Uniform(0)));
    // DC coordinates are top-down: source (1, 0) is the top row, pixel row 2
    ASSERT_TRUE(source.Draw(target.GetDC(), 0, 0, 2, 1, 1, 0, SRCCOPY));
    GdiFlush();
    EXPECT_EQ(Position(1, 2) & 0xFFFFFF, target.GetPixel(0, 3) & 0xFFFFFF);
    EXPECT_EQ(Position(2, 2) & 0xFFFFFF, target.GetPixel(1, 3) & 0xFFFFFF);
    EXPECT_EQ(0u, target.GetPixel(2, 3) & 0xFFFFFF);
    EXPECT_EQ(0u, target.GetPixel(0, 2) & 0xFFFFFF);
}

TEST(Bitmap, DrawTransparentLeavesTheKey)
{
    const COLORREF key = RGB(255, 0, 255);
    const uint32_t keyPixel = 0xFF00FF, background = 0x0000FF;
    // source, bottom-up: key at (0, 0) and (2, 1)
    CTranspBitmap source;
    ASSERT_TRUE(source.Create(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            ASSERT_TRUE(source.SetPixel(x, y, (x == 0 && y == 0) || (x == 2 && y == 1) ? keyPixel
                                                                                       : 0x102030u * (x + 1) + y));
    CDibSection target;
    ASSERT_TRUE(MakeDib(target, 4, 3, Uniform(background)));
    HDC dc = target.GetDC();
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));

    for (int round = 0; round < 2; ++round) {  // the second time with the mask already made
        SCOPED_TRACE(round);
        ASSERT_TRUE(source.DrawTransparent(dc, 1, 0, 3, 2, 0, 0, key));
        GdiFlush();
        // DC row 0 is pixel row 2: the source's top row lands there
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 2; ++y) {
                uint32_t src = source.GetPixel(x, y) & 0xFFFFFF;
                uint32_t expected = src == keyPixel ? background : src;
                EXPECT_EQ(expected, target.GetPixel(x + 1, y + 1) & 0xFFFFFF) << x << "," << y;
            }
        EXPECT_EQ(background, target.GetPixel(0, 2) & 0xFFFFFF);
        EXPECT_EQ(background, target.GetPixel(3, 0) & 0xFFFFFF);
    }
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(dc));
    EXPECT_EQ(RGB(4, 5, 6), GetBkColor(dc));

    // a source offset: only the right column, drawn at the target's left
    ASSERT_TRUE(MakeDib(target, 4, 3, Uniform(background)));
    ASSERT_TRUE(source.DrawTransparent(target.GetDC(), 0, 0, 1, 2, 2, 0, key));
    GdiFlush();
    EXPECT_EQ(background, target.GetPixel(0, 2) & 0xFFFFFF);  // source (2, 1) is the key
    EXPECT_EQ(source.GetPixel(2, 0) & 0xFFFFFF, target.GetPixel(0, 1) & 0xFFFFFF);
    EXPECT_EQ(background, target.GetPixel(1, 1) & 0xFFFFFF);

    source.Destroy();
    EXPECT_FALSE(source.DrawTransparent(target.GetDC(), 0, 0, 1, 1, 0, 0, key));
}
