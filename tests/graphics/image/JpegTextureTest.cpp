#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "graphics/image/JpegTexture.h"
#include "tests/support/TestFiles.h"

namespace {

// redblue.jpg: 300 x 200, the upper half red (E01010), the lower half blue (1010E0)
const uint8_t* Pixel(const CJpegTexture& t, int x, int row)
{
    return t.GetPixels() + ((size_t)row * t.GetBufferWidth() + x) * t.GetComponents();
}

bool Near(const uint8_t* p, int r, int g, int b)
{
    return abs(p[0] - r) < 24 && abs(p[1] - g) < 24 && abs(p[2] - b) < 24;
}

uint32_t ToBgra(uint32_t packed, int components, int)
{
    if (components == 1)
        return 0xFF000000u | packed * 0x010101u;
    return 0xFF000000u | ((packed & 0xFF) << 16) | (packed & 0xFF00) | ((packed >> 16) & 0xFF);
}

}  // namespace

TEST(JpegTexture, LoadsRowsBottomUp)
{
    CJpegTexture t;
    ASSERT_TRUE(t.Load(TestDataPath(L"redblue.jpg").c_str(), 0, 0));
    EXPECT_EQ(300u, t.GetWidth());
    EXPECT_EQ(200u, t.GetHeight());
    EXPECT_EQ(300u, t.GetBufferWidth());
    EXPECT_EQ(200u, t.GetBufferRows());
    EXPECT_EQ(3, t.GetComponents());
    EXPECT_TRUE(Near(Pixel(t, 10, 0), 0x10, 0x10, 0xE0));     // row 0 is the bottom line: blue
    EXPECT_TRUE(Near(Pixel(t, 290, 199), 0xE0, 0x10, 0x10));  // R, G, B as decoded
}

TEST(JpegTexture, TextureSizes)
{
    struct { int w, h; bool ok; uint32_t bw, br; } cases[] = {
        {512, 256, true, 512, 256},
        {1024, 1024, true, 512, 256},   // doubling stops once the image fits
        {128, 128, false, 0, 0},        // too small for the image
        {512, 128, false, 0, 0},
        {0, 5, true, 300, 200},         // below 1: the image size
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        CJpegTexture t;
        ASSERT_EQ(c.ok, t.Load(TestDataPath(L"redblue.jpg").c_str(), c.w, c.h));
        EXPECT_EQ(c.bw, t.GetBufferWidth());
        EXPECT_EQ(c.br, t.GetBufferRows());
        if (!c.ok) {
            EXPECT_EQ(nullptr, t.GetPixels());
            continue;
        }
        EXPECT_TRUE(Near(Pixel(t, 0, 0), 0x10, 0x10, 0xE0));
        if (c.bw > 300) {
            const uint8_t* outside = Pixel(t, 400, 220);
            EXPECT_EQ(0, outside[0] | outside[1] | outside[2]);
        }
    }
    // a grey image keeps one component, its width padded to four
    CJpegTexture grey;
    ASSERT_TRUE(grey.Load(TestDataPath(L"grey.jpg").c_str(), 0, 0));
    EXPECT_EQ(1, grey.GetComponents());
    EXPECT_EQ(20u, grey.GetBufferWidth());
}

TEST(JpegTexture, BrokenFilesFailCleanly)
{
    CJpegTexture t;
    EXPECT_FALSE(t.Load(TestDataPath(L"no-such.jpg").c_str(), 0, 0));
    EXPECT_FALSE(t.Load(TestDataPath(L"cmyk.jpg").c_str(), 0, 0));  // four components: no texture layout
    EXPECT_EQ(0u, t.GetWidth());
    EXPECT_FALSE(t.Load(nullptr, 0, 0));
    std::string good = ReadFileBytes(TestDataPath(L"redblue.jpg"));
    ASSERT_FALSE(good.empty());
    CTempFolder folder;
    const std::string broken[] = {"not a jpeg at all", good.substr(0, 2), good.substr(0, 300)};
    for (size_t i = 0; i < sizeof(broken) / sizeof(broken[0]); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(folder.WriteBytes(L"broken.jpg", broken[i]));
        CJpegTexture b;
        // libjpeg would pad a stream cut after its header with grey
        EXPECT_FALSE(b.Load(folder.File(L"broken.jpg").c_str(), 0, 0));
        EXPECT_EQ(nullptr, b.GetPixels());
    }
}

TEST(JpegTexture, SavesAndConverts)
{
    CTempFolder folder;
    CJpegTexture t;
    ASSERT_TRUE(t.Load(TestDataPath(L"redblue.jpg").c_str(), 512, 256));
    ASSERT_TRUE(t.Save(folder.File(L"copy.jpg").c_str(), 90));
    CJpegTexture copy;
    ASSERT_TRUE(copy.Load(folder.File(L"copy.jpg").c_str(), 0, 0));
    EXPECT_EQ(300u, copy.GetWidth());
    EXPECT_EQ(200u, copy.GetHeight());
    EXPECT_TRUE(Near(Pixel(copy, 10, 0), 0x10, 0x10, 0xE0));
    EXPECT_TRUE(Near(Pixel(copy, 10, 199), 0xE0, 0x10, 0x10));
    EXPECT_FALSE(t.Save(folder.File(L"sub\\missing\\x.jpg").c_str(), 90));

    EXPECT_FALSE(t.ConvertPixels(nullptr));
    ASSERT_TRUE(t.ConvertPixels(ToBgra));
    EXPECT_EQ(4, t.GetComponents());
    uint32_t bottomLeft = *(const uint32_t*)t.GetPixels();
    EXPECT_EQ(0xFFu, bottomLeft >> 24);
    EXPECT_LT(0xC0u, bottomLeft & 0xFF);   // blue in the lowest byte
    EXPECT_FALSE(t.ConvertPixels(ToBgra));
    EXPECT_FALSE(t.Save(folder.File(L"four.jpg").c_str(), 90));  // only 3 components are saved

    CJpegTexture grey;
    ASSERT_TRUE(grey.Load(TestDataPath(L"grey.jpg").c_str(), 0, 0));
    EXPECT_FALSE(grey.Save(folder.File(L"grey.jpg").c_str(), 90));
    grey.Free(true);
    EXPECT_EQ(0u, grey.GetWidth());
    EXPECT_FALSE(grey.ConvertPixels(ToBgra));
}
