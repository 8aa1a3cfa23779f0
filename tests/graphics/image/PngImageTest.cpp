#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "graphics/image/PixelBuffer.h"
#include "tests/support/TestFiles.h"

namespace {

struct Loaded {
    BITMAPV4HEADER header;
    std::vector<uint8_t> bytes;  // the pixel rows, bottom-up
};

// Loads a fixture of tests/data/png and takes its block over as the exported loader does.
bool Load(const wchar_t* name, Loaded* out)
{
    CPixelBuffer buffer;
    if (!buffer.LoadPng((TestDataPath(L"png\\") + name).c_str()))
        return false;
    memset(&out->header, 0, sizeof(out->header));
    out->header.bV4Size = sizeof(BITMAPV4HEADER);
    void* block = nullptr;
    if (!buffer.Detach((BITMAPINFOHEADER*)&out->header, &block))
        return false;
    out->bytes.assign((uint8_t*)block, (uint8_t*)block + out->header.bV4SizeImage);
    GlobalFree(block);
    return true;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    return std::vector<uint8_t>(values.begin(), values.end());
}

}  // namespace

TEST(PngImage, LayoutsByColourType)
{
    struct {
        const wchar_t* file;
        int width, bitCount;
        DWORD compression;
        std::vector<uint8_t> bottomRowStart;  // first bytes of the bottom line
        std::vector<uint8_t> topRowStart;
    } cases[] = {
        // B, G, R, A: red and blue swapped after decoding
        {L"rgba.png", 3, 32, BI_BITFIELDS, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 30, 20, 10, 40}),
         Bytes({0, 0, 255, 128})},
        // R, G, B as decoded, rows of 15 bytes without padding
        {L"rgb5.png", 5, 24, BI_RGB, Bytes({1, 2, 3, 1, 2, 3}), Bytes({10, 20, 30, 200, 100, 50})},
        {L"rgb5-interlaced.png", 5, 24, BI_RGB, Bytes({1, 2, 3, 1, 2, 3}), Bytes({10, 20, 30, 200, 100, 50})},
        // a 4-bit palette arrives as 24-bit RGB
        {L"palette4.png", 5, 24, BI_RGB, Bytes({0, 255, 0, 255, 0, 0, 0, 0, 0}), Bytes({255, 0, 0, 0, 255, 0})},
        // 16-bit samples stripped to 8
        {L"rgb16.png", 4, 24, BI_RGB, Bytes({255, 128, 0}), Bytes({255, 128, 0})},
        {L"grey.png", 4, 8, BI_RGB, Bytes({200, 250, 255, 7}), Bytes({0, 50, 100, 150})},
        // transparency chunks and grey with alpha become 32-bit B, G, R, A
        {L"palette-trns.png", 5, 32, BI_BITFIELDS, Bytes({0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 0, 0}),
         Bytes({0, 0, 255, 255})},
        {L"grey-alpha.png", 2, 32, BI_BITFIELDS, Bytes({200, 200, 200, 128, 0, 0, 0, 255}),
         Bytes({100, 100, 100, 255, 100, 100, 100, 0})},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.file);
        Loaded image;
        ASSERT_TRUE(Load(c.file, &image));
        const BITMAPV4HEADER& h = image.header;
        EXPECT_EQ(108u, h.bV4Size);
        EXPECT_EQ(c.width, h.bV4Width);
        EXPECT_EQ(2, h.bV4Height);  // positive: rows bottom-up
        EXPECT_EQ(c.bitCount, h.bV4BitCount);
        EXPECT_EQ(c.compression, h.bV4V4Compression);
        int rowBytes = c.width * c.bitCount / 8;
        EXPECT_EQ((DWORD)(rowBytes * 2), h.bV4SizeImage);
        EXPECT_EQ(0x00FF0000u, h.bV4RedMask);
        EXPECT_EQ(0xFF000000u, h.bV4AlphaMask);
        std::vector<uint8_t> bottom(image.bytes.begin(), image.bytes.begin() + c.bottomRowStart.size());
        std::vector<uint8_t> top(image.bytes.begin() + rowBytes, image.bytes.begin() + rowBytes + c.topRowStart.size());
        EXPECT_EQ(c.bottomRowStart, bottom);
        EXPECT_EQ(c.topRowStart, top);
    }
}

TEST(PngImage, ThirtyTwoBitPixelsReadBack)
{
    CPixelBuffer buffer;
    ASSERT_TRUE(buffer.LoadPng(TestDataPath(L"png\\rgba.png").c_str()));
    EXPECT_EQ(0x80FF0000u, buffer.GetPixel(0, 1));  // top-left: red, half transparent
    EXPECT_EQ(0x280A141Eu, buffer.GetPixel(2, 0));
    CPixelBuffer rgb;
    ASSERT_TRUE(rgb.LoadPng(TestDataPath(L"png\\rgb5.png").c_str()));
    EXPECT_EQ(24, rgb.GetBitCount());
    EXPECT_EQ(0xFFFFFFFFu, rgb.GetPixel(0, 0));  // 32-bit reads refuse other layouts
}

TEST(PngImage, FailuresLeaveNothing)
{
    CTempFolder folder;
    std::string png = ReadFileBytes(TestDataPath(L"png\\rgb5.png"));
    ASSERT_FALSE(png.empty());
    ASSERT_TRUE(folder.WriteBytes(L"text.png", "just some text, not an image"));
    ASSERT_TRUE(folder.WriteBytes(L"truncated.png", png.substr(0, 40)));
    ASSERT_TRUE(folder.WriteBytes(L"signature.png", png.substr(0, 8)));
    const std::wstring files[] = {TestDataPath(L"png\\huge.png"), folder.File(L"text.png"), folder.File(L"truncated.png"),
                                  folder.File(L"signature.png"), folder.File(L"missing.png")};
    for (auto& file : files) {
        SCOPED_TRACE(std::string(file.begin(), file.end()));
        CPixelBuffer buffer;
        EXPECT_FALSE(buffer.LoadPng(file.c_str()));
        EXPECT_FALSE(buffer.IsValid());
    }
    CPixelBuffer buffer;
    EXPECT_FALSE(buffer.LoadPng(nullptr));
}
