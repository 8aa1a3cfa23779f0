#include <gtest/gtest.h>

#include "graphics/image/PixelBuffer.h"
#include "tests/support/BitmapFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

const uint32_t kNoPixel = 0xFFFFFFFF;

// Red grows by column, blue by row; alpha 0x80 shows that alpha survives.
uint32_t Ramp(int x, int y)
{
    return 0x80000000u | (uint32_t)(x * 0x40) << 16 | (uint32_t)(y * 0x40);
}

}  // namespace

TEST(PixelBuffer, ReadsAWholeBitmapBottomUp)
{
    CDibSection dib;
    ASSERT_TRUE(MakeDib(dib, 3, 4, Ramp));
    CPixelBuffer buffer(dib);
    ASSERT_TRUE(buffer.IsValid());
    EXPECT_EQ(3, buffer.GetWidth());
    EXPECT_EQ(4, buffer.GetHeight());
    EXPECT_EQ(32, buffer.GetBitCount());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Ramp(x, y), buffer.GetPixel(x, y)) << x << "," << y;

    // a GDI bitmap reads back with its colours
    CBitmap plain;
    ASSERT_TRUE(plain.Create(2, 2));
    ASSERT_TRUE(plain.SetPixel(1, 0, 0x123456));
    ASSERT_TRUE(buffer.ReadFrom(plain, 0, 0));
    EXPECT_EQ(2, buffer.GetHeight());
    EXPECT_EQ(0x123456u, buffer.GetPixel(1, 0) & 0xFFFFFF);

    CBitmap empty;
    EXPECT_FALSE(buffer.ReadFrom(empty, 0, 0));
    EXPECT_FALSE(buffer.IsValid());
    EXPECT_EQ(kNoPixel, buffer.GetPixel(0, 0));
}

TEST(PixelBuffer, ReadsARangeOfLines)
{
    CDibSection dib;
    ASSERT_TRUE(MakeDib(dib, 2, 4, Ramp));
    struct Case {
        int first, count;
        int rows, firstRead;
    };
    const Case cases[] = {
        {1, 2, 2, 1}, {3, 1, 1, 3}, {0, 4, 4, 0},
        {0, 0, 4, 0},   // count 0: all
        {3, 2, 4, 0},   // past the top: all
        {4, 1, 4, 0},
        {-1, 2, 4, 0},  // before the bottom: all
        {1, -1, 4, 0},
    };
    CPixelBuffer buffer;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " +" << c.count);
        ASSERT_TRUE(buffer.ReadFrom(dib, c.first, c.count));
        EXPECT_EQ(c.rows, buffer.GetHeight());
        EXPECT_EQ(Ramp(1, c.firstRead), buffer.GetPixel(1, 0));
        EXPECT_EQ(Ramp(0, c.firstRead + c.rows - 1), buffer.GetPixel(0, c.rows - 1));
        EXPECT_EQ(kNoPixel, buffer.GetPixel(0, c.rows));
    }
}

TEST(PixelBuffer, GetPixelOutside)
{
    CPixelBuffer buffer;
    EXPECT_EQ(kNoPixel, buffer.GetPixel(0, 0));
    ASSERT_TRUE(MakeBuffer(buffer, 3, 2, Uniform(0)));
    const int outside[][2] = {{0, 2}, {3, 0}, {-1, 0}, {0, -1}, {3, 1}};
    for (const auto& p : outside)
        EXPECT_EQ(kNoPixel, buffer.GetPixel(p[0], p[1])) << p[0] << "," << p[1];
    EXPECT_EQ(0u, buffer.GetPixel(2, 1));
}

TEST(PixelBuffer, SetPixel)
{
    CPixelBuffer buffer;
    EXPECT_FALSE(buffer.SetPixel(0, 0, 0));
    ASSERT_TRUE(MakeBuffer(buffer, 3, 2, Uniform(0x11111111)));
    const int outside[][2] = {{0, 2}, {3, 0}, {-1, 0}, {0, -1}};
    for (const auto& p : outside)
        EXPECT_FALSE(buffer.SetPixel(p[0], p[1], 0)) << p[0] << "," << p[1];
    ASSERT_TRUE(buffer.SetPixel(2, 1, 0x80FF8040));
    ASSERT_TRUE(buffer.SetPixel(0, 0, 0x01020304));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint32_t expected = x == 2 && y == 1 ? 0x80FF8040u : x == 0 && y == 0 ? 0x01020304u : 0x11111111u;
            EXPECT_EQ(expected, buffer.GetPixel(x, y)) << x << "," << y;
        }

    // PNG decoding leaves 24- and 8-bit rows: a 32-bit store would run past them
    for (const wchar_t* name : {L"png\\rgb5.png", L"png\\grey.png"}) {
        CPixelBuffer png;
        ASSERT_TRUE(png.LoadPng(TestDataPath(name).c_str()));
        SCOPED_TRACE(png.GetBitCount());
        EXPECT_FALSE(png.SetPixel(0, 0, 0));
        EXPECT_FALSE(png.SetPixel(png.GetWidth() - 1, png.GetHeight() - 1, 0));
    }
}

TEST(PixelBuffer, SampleBilinear)
{
    // 3 x 3: red 0x00/0x40/0x80 by column, blue by row, opaque
    CPixelBuffer buffer;
    ASSERT_TRUE(MakeBuffer(buffer, 3, 3, [](int x, int y) { return 0xFF000000u | Ramp(x, y); }));
    const uint32_t none = 0x12345678, back = 0xFF00FE00;
    struct Case {
        int x, y;  // 1/256 pixel
        uint32_t key, expected;
    };
    const Case cases[] = {
        {256, 256, none, 0xFF400040},        // on a pixel
        {128, 0, none, 0xFF200000},          // half way along a row
        {0, 128, none, 0xFF000020},          // half way up a column
        {128, 128, none, 0xFF200020},        // between four
        {1 * 256 + 128, 256 + 64, none, 0xFF600050},
        {128, 0, 0xFF400000, 0xFF007F00},    // a key neighbour counts as the background
        {2 * 256 + 128, 0, none, 0xFF800000},  // last column: the pixel itself
        {128, 2 * 256 + 200, none, 0xFF000080},  // last row
        {2 * 256, 0, 0xFF800000, back},      // a key in the last column: the background
        {3 * 256, 0, none, none},            // past the right edge (would wrap into the next row)
        {0, 3 * 256, none, none},            // past the top
        {-1, 0, none, none},
        {0, -256, none, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(c.expected, buffer.SampleBilinear(c.x, c.y, c.key, back));
    }
    CPixelBuffer empty;
    EXPECT_EQ(none, empty.SampleBilinear(0, 0, none, back));
}

TEST(PixelBuffer, CopyToABitmap)
{
    CPixelBuffer buffer;
    ASSERT_TRUE(MakeBuffer(buffer, 3, 2, Ramp));
    CDibSection dib;
    ASSERT_TRUE(MakeDib(dib, 3, 2, Uniform(0)));
    ASSERT_TRUE(buffer.CopyTo(dib));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Ramp(x, y), dib.GetPixel(x, y)) << x << "," << y;
    // the bitmap went back into its DC: GDI still draws on it
    EXPECT_TRUE(dib.SetAlphaRect(0, 0, 1, 1, 0xFF));
    EXPECT_NE(CLR_INVALID, ::GetPixel(dib.GetDC(), 0, 0));

    CBitmap plain;
    ASSERT_TRUE(plain.Create(3, 2));
    ASSERT_TRUE(buffer.CopyTo(plain));
    EXPECT_EQ(Ramp(2, 1) & 0xFFFFFF, plain.GetPixel(2, 1) & 0xFFFFFF);

    CBitmap empty;
    EXPECT_FALSE(buffer.CopyTo(empty));
    CPixelBuffer none;
    EXPECT_FALSE(none.CopyTo(dib));
}

TEST(PixelBuffer, DetachHandsOverTheBlock)
{
    struct Case {
        DWORD headerSize;
        bool ok;
        DWORD compression;
    };
    const Case cases[] = {
        {sizeof(BITMAPV4HEADER), true, BI_BITFIELDS},
        {sizeof(BITMAPINFOHEADER), true, BI_RGB},  // no room for masks: plain 32-bit RGB says the same
        {sizeof(BITMAPV5HEADER), false, 0},
        {0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headerSize);
        CPixelBuffer buffer;
        ASSERT_TRUE(MakeBuffer(buffer, 3, 2, Ramp));
        BITMAPV4HEADER header = {};
        header.bV4Size = c.headerSize;
        void* block = nullptr;
        ASSERT_EQ(c.ok, buffer.Detach((BITMAPINFOHEADER*)&header, &block));
        if (!c.ok) {
            EXPECT_EQ(nullptr, block);
            EXPECT_TRUE(buffer.IsValid());  // still ours
            continue;
        }
        EXPECT_FALSE(buffer.IsValid());
        EXPECT_EQ(kNoPixel, buffer.GetPixel(0, 0));
        EXPECT_EQ(c.headerSize, header.bV4Size);
        EXPECT_EQ(3, header.bV4Width);
        EXPECT_EQ(2, header.bV4Height);
        EXPECT_EQ(32, header.bV4BitCount);
        EXPECT_EQ(c.compression, header.bV4V4Compression);
        EXPECT_EQ(3u * 2 * 4, header.bV4SizeImage);
        ASSERT_NE(nullptr, block);
        EXPECT_EQ(Ramp(0, 0), ((uint32_t*)block)[0]);
        EXPECT_EQ(Ramp(2, 1), ((uint32_t*)block)[5]);
        EXPECT_EQ(nullptr, GlobalFree(block));  // the caller's now
    }
    CPixelBuffer empty;
    BITMAPV4HEADER header = {};
    header.bV4Size = sizeof(header);
    void* block = nullptr;
    EXPECT_FALSE(empty.Detach((BITMAPINFOHEADER*)&header, &block));
}

TEST(PixelBuffer, FreeEmpties)
{
    CPixelBuffer buffer;
    ASSERT_TRUE(MakeBuffer(buffer, 2, 2, Ramp));
    buffer.Free();
    EXPECT_FALSE(buffer.IsValid());
    EXPECT_EQ(0, buffer.GetWidth());
    EXPECT_EQ(kNoPixel, buffer.GetPixel(0, 0));
    buffer.Free();  // twice is harmless
}

TEST(PixelBuffer, ResizeAveragesBlocks)
{
    // blue = 10 x, green = 10 y: each 3 x 3 block averages its columns' and rows' groups,
    // {0,1,2,3}, {4,5,6}, {7,8,9}: 15, 50 and 80
    CPixelBuffer buffer;
    ASSERT_TRUE(MakeBuffer(buffer, 10, 10, [](int x, int y) {
        return 0xFF000000u | 0x200000u | (uint32_t)(10 * y) << 8 | (uint32_t)(10 * x);
    }));
    ASSERT_TRUE(buffer.Resize(3, 3, false));
    EXPECT_EQ(3, buffer.GetWidth());
    EXPECT_EQ(3, buffer.GetHeight());
    const uint32_t average[3] = {15, 50, 80};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(0xFF200000u | average[y] << 8 | average[x], buffer.GetPixel(x, y)) << x << "," << y;
    EXPECT_EQ(kNoPixel, buffer.GetPixel(0, 3));

    // one bright pixel is spread over its 4 x 4 block: 240 / 16
    ASSERT_TRUE(MakeBuffer(buffer, 10, 10, [](int x, int y) { return x == 0 && y == 0 ? 0xF0u : 0u; }));
    ASSERT_TRUE(buffer.Resize(3, 3, true));
    EXPECT_EQ(15u, buffer.GetPixel(0, 0));
    EXPECT_EQ(0u, buffer.GetPixel(1, 0));
}

TEST(PixelBuffer, ResizeOnlyShrinks)
{
    const int sizes[][2] = {{10, 3}, {3, 10}, {11, 3}, {3, 11}, {0, 3}, {3, -1}, {10, 10}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s[0] << "x" << s[1]);
        CPixelBuffer buffer;
        ASSERT_TRUE(MakeBuffer(buffer, 10, 10, Ramp));
        EXPECT_FALSE(buffer.Resize(s[0], s[1], true));
        EXPECT_EQ(10, buffer.GetWidth());
        EXPECT_EQ(10, buffer.GetHeight());
        EXPECT_EQ(Ramp(3, 2), buffer.GetPixel(3, 2));
    }
    CPixelBuffer empty;
    EXPECT_FALSE(empty.Resize(1, 1, false));
}

TEST(PixelBuffer, ResizeBeyondTheGroupLimit)
{
    // 600 -> 2 puts 300 pixels in a group, more than one pass can sum; the
    // passes' groups must nest in the final ones, or the halves would mix
    CPixelBuffer buffer;
    ASSERT_TRUE(MakeBuffer(buffer, 600, 2, [](int x, int) { return x < 300 ? 0xFFFFFFFFu : 0x40404040u; }));
    ASSERT_TRUE(buffer.Resize(2, 1, true));
    EXPECT_EQ(0xFFFFFFFFu, buffer.GetPixel(0, 0));
    EXPECT_EQ(0x40404040u, buffer.GetPixel(1, 0));
}
