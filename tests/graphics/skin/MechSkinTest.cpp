#include <gtest/gtest.h>

#include <string>

#include "graphics/skin/MechSkin.h"
#include "graphics/image/PixelAlpha.h"
#include "graphics/image/PixelBuffer.h"
#include "tests/support/SkinFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);

std::wstring ShippedSkins()
{
    return std::wstring(TL_SHIPPED_DATA) + L"skins\\";
}

struct LoadedMechSkin {
    CMechSkin skin;
    LoadedMechSkin(const std::wstring& root, const wchar_t* name, int largestFace = 0)
        : skin(root.c_str(), largestFace)
    {
        skin.Load(name, 0, 0, FW_NORMAL, 0);
    }
};

// A skin folder "Face" holding `files` (name, bytes).
struct FaceFolder {
    CTempFolder temp;
    explicit FaceFolder(std::initializer_list<std::pair<const wchar_t*, std::string>> files)
    {
        EXPECT_TRUE(temp.AddFolder(L"Face"));
        for (auto& file : files)
            EXPECT_TRUE(temp.WriteBytes(std::wstring(L"Face\\") + file.first, file.second));
    }
};

std::string PngFixture(const wchar_t* name)
{
    std::string bytes = ReadFileBytes(TestDataPath((std::wstring(L"png\\") + name).c_str()));
    EXPECT_FALSE(bytes.empty());
    return bytes;
}

// Grey face with a magenta corner key and a dark centre dot.
std::string KeyedFaceBmp(int width, int height)
{
    return BmpBytes(width, height, [&](int x, int y) {
        if (x + y < 3)
            return kMagenta;
        return (x == width / 2 && y == width / 2) ? RGB(0, 0, 0x40) : RGB(0x80, 0x80, 0x80);
    });
}

}  // namespace

TEST(MechSkin, ShippedAnalogueSkinHasFaceAndThreeBandStrip)
{
    CPixelBuffer image;
    ASSERT_TRUE(image.LoadPng((ShippedSkins() + L"Classic Analog\\clkface.png").c_str()));
    int w = image.GetWidth(), strip = image.GetHeight() - w;
    ASSERT_GT(strip / 3, 2);

    LoadedMechSkin s(ShippedSkins(), L"Classic Analog");
    EXPECT_TRUE(s.skin.HasFace());
    EXPECT_TRUE(s.skin.GetFeatures() & kSkinClockFace);
    EXPECT_EQ(w, s.skin.GetFaceWidth());
    EXPECT_EQ(w, s.skin.GetFacePixels().GetHeight());
    EXPECT_EQ(w, s.skin.GetHandStrip().GetWidth());
    EXPECT_EQ(strip, s.skin.GetHandStrip().GetHeight());
    EXPECT_EQ(w, s.skin.GetFaceBitmap().GetWidth());
    EXPECT_EQ(w, s.skin.GetFaceBitmap().GetHeight());
    uint32_t corner = image.GetPixel(0, image.GetHeight() - 1);
    EXPECT_EQ(RGB((corner >> 16) & 0xFF, (corner >> 8) & 0xFF, corner & 0xFF), s.skin.GetBackColor());
    EXPECT_EQ(0, s.skin.GetFaceAngle());
    EXPECT_FALSE(s.skin.Is24Hour());
    // Face rows are the image's upper square, the strip its lowest rows; both premultiplied.
    for (int x : {0, w / 4, w / 2, w - 1}) {
        SCOPED_TRACE(x);
        for (int row : {0, strip / 2, strip - 1}) {
            uint32_t p = image.GetPixel(x, row);
            EXPECT_EQ(PremultiplyColor(p, p >> 24), s.skin.GetHandStrip().GetPixel(x, row));
        }
        for (int row : {0, w / 2, w - 1}) {
            uint32_t p = image.GetPixel(x, strip + row);
            EXPECT_EQ(PremultiplyColor(p, p >> 24), s.skin.GetFacePixels().GetPixel(x, row));
            EXPECT_EQ(PremultiplyColor(p, p >> 24), s.skin.GetFaceBitmap().GetPixel(x, row));
        }
    }
}

TEST(MechSkin, CornerColourOfABitmapFaceIsTransparent)
{
    FaceFolder f({{L"clkface.bmp", KeyedFaceBmp(20, 20)}});
    LoadedMechSkin s(f.temp.Path(), L"Face");
    ASSERT_TRUE(s.skin.HasFace());
    EXPECT_EQ(kSkinClockFace, s.skin.GetFeatures());
    EXPECT_EQ(kMagenta, s.skin.GetBackColor());
    EXPECT_EQ(kMagenta, s.skin.GetFaceBackColor());
    EXPECT_EQ(0, s.skin.GetHandStrip().GetHeight());
    const CPixelBuffer& face = s.skin.GetFacePixels();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            uint32_t expected = x + y < 3 ? 0u : (x == 10 && y == 10) ? 0xFF000040u : 0xFF808080u;
            ASSERT_EQ(expected, face.GetPixel(x, 19 - y)) << x << " " << y;
        }
}

// Sizes after the whole-factor shrink, with the axis offsets following the width.
TEST(MechSkin, LargeFacesShrinkByAWholeFactor)
{
    struct Case {
        int width, height, largest;
        int faceWidth, faceHeight, stripRows;
        int axisX, axisY;  // stored 400, -400
    } cases[] = {
        {800, 800, 300, 266, 266, 0, 133, -133},  // f = 3
        {800, 800, 0, 800, 800, 0, 400, -400},    // no limit
        {800, 800, 800, 800, 800, 0, 400, -400},  // not larger than the limit
        {800, 800, 799, 400, 400, 0, 200, -200},  // f = 2
        {90, 120, 40, 30, 30, 10, 133, -133},     // f = 3, strip shrinks along: 30 -> 10 rows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " / " << c.largest);
        FaceFolder f({{L"clkface.bmp", KeyedFaceBmp(c.width, c.height)},
                      {L"skin.ini", "[clock]\r\naxis_ofs_x=400\r\naxis_ofs_y=-400\r\n"}});
        LoadedMechSkin s(f.temp.Path(), L"Face", c.largest);
        ASSERT_TRUE(s.skin.HasFace());
        EXPECT_EQ(c.faceWidth, s.skin.GetFaceWidth());
        EXPECT_EQ(c.faceHeight, s.skin.GetFacePixels().GetHeight());
        EXPECT_EQ(c.faceHeight, s.skin.GetFaceBitmap().GetHeight());
        EXPECT_EQ(c.stripRows, s.skin.GetHandStrip().GetHeight());
        EXPECT_EQ(c.axisX, s.skin.GetAxisOffsetX());
        EXPECT_EQ(c.axisY, s.skin.GetAxisOffsetY());
    }
}

// Only bands of three rows and more make a hand strip; else the whole image is the face.
TEST(MechSkin, HandStripNeedsThreeRowsABand)
{
    struct Case {
        int width, height, faceHeight, stripRows;
    } cases[] = {
        {20, 20, 20, 0}, {20, 28, 28, 0}, {20, 29, 20, 9}, {20, 50, 20, 30}, {30, 20, 20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        FaceFolder f({{L"clkface.bmp", KeyedFaceBmp(c.width, c.height)}});
        LoadedMechSkin s(f.temp.Path(), L"Face");
        ASSERT_TRUE(s.skin.HasFace());
        EXPECT_EQ(c.width, s.skin.GetFaceWidth());
        EXPECT_EQ(c.faceHeight, s.skin.GetFacePixels().GetHeight());
        EXPECT_EQ(c.stripRows, s.skin.GetHandStrip().GetHeight());
        EXPECT_EQ(c.stripRows > 0, s.skin.GetHandStrip().IsValid());
    }
}

// A PNG is the face only with an alpha channel; a bitmap beside it is the fallback.
TEST(MechSkin, OnlyAPngWithAlphaIsTheFace)
{
    {
        FaceFolder f({{L"clkface.png", PngFixture(L"rgba.png")}, {L"clkface.bmp", KeyedFaceBmp(20, 20)}});
        LoadedMechSkin s(f.temp.Path(), L"Face");
        ASSERT_TRUE(s.skin.HasFace());
        EXPECT_EQ(3, s.skin.GetFaceWidth());
        EXPECT_EQ(RGB(255, 0, 0), s.skin.GetBackColor());  // top-left pixel, half transparent
        EXPECT_EQ(0x80800000u, s.skin.GetFacePixels().GetPixel(0, 1));
    }
    {
        FaceFolder f({{L"clkface.png", PngFixture(L"rgb5.png")}, {L"clkface.bmp", KeyedFaceBmp(20, 20)}});
        LoadedMechSkin s(f.temp.Path(), L"Face");
        ASSERT_TRUE(s.skin.HasFace());
        EXPECT_EQ(20, s.skin.GetFaceWidth());
        EXPECT_EQ(kMagenta, s.skin.GetBackColor());
    }
    {
        FaceFolder f({{L"clkface.png", PngFixture(L"rgb5.png")}});
        LoadedMechSkin s(f.temp.Path(), L"Face");
        EXPECT_FALSE(s.skin.HasFace());
        EXPECT_EQ(0u, s.skin.GetFeatures());
    }
}

TEST(MechSkin, ClockKeysOfSkinIni)
{
    struct Case {
        const char* ini;
        int angle;
        bool face24h;
    } cases[] = {
        {"", 0, false},
        {"angle=370\r\nface24h=1\r\n", 10, true},
        {"angle=-10\r\n", 350, false},
        {"angle=720\r\nface24h=0\r\n", 0, false},
        {"angle=45\r\nface24h=2\r\n", 45, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        FaceFolder f({{L"clkface.bmp", KeyedFaceBmp(20, 20)}, {L"skin.ini", std::string("[clock]\r\n") + c.ini}});
        LoadedMechSkin s(f.temp.Path(), L"Face");
        ASSERT_TRUE(s.skin.HasFace());
        EXPECT_EQ(c.angle, s.skin.GetFaceAngle());
        EXPECT_EQ(c.face24h, s.skin.Is24Hour());
    }
}

// Broken face files leave a digital skin with the folder's other bitmaps.
TEST(MechSkin, MissingOrCorruptFacesLeaveADigitalSkin)
{
    std::string png = PngFixture(L"rgba.png");
    std::string bmp = KeyedFaceBmp(20, 20);
    struct Case {
        const char* what;
        const wchar_t* file;
        std::string bytes;
    } cases[] = {
        {"truncated png", L"clkface.png", png.substr(0, png.size() / 2)},
        {"huge png", L"clkface.png", PngFixture(L"huge.png")},
        {"text as png", L"clkface.png", "not an image"},
        {"truncated bmp", L"clkface.bmp", bmp.substr(0, 60)},
        {"empty bmp", L"clkface.bmp", ""},
        {"jpeg as bmp", L"clkface.bmp", ReadFileBytes(TestDataPath(L"grey.jpg"))},
    };
    std::string digits = BmpBytes(118, 9, [](int x, int) { return x % 11 == 3 ? RGB(0, 0, 0) : RGB(0, 255, 0); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FaceFolder f({{c.file, c.bytes}, {L"digits.bmp", digits}});
        LoadedMechSkin s(f.temp.Path(), L"Face", 10);
        EXPECT_FALSE(s.skin.HasFace());
        EXPECT_EQ(kSkinDigits, s.skin.GetFeatures());
        EXPECT_EQ(0, s.skin.GetFaceWidth());
        EXPECT_EQ(RGB(0, 255, 0), s.skin.GetBackColor());
        // no colour paints nothing; the default is the digit strip's key
        SkinCanvas canvas(s.skin, 8, 8);
        RECT all = {0, 0, 8, 8}, inner = {2, 1, 6, 5};
        s.skin.FillBackground(&all, kNoColor);
        s.skin.FillBackground(&inner, kDefaultColor);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                POINT p = {x, y};
                ASSERT_EQ(PtInRect(&inner, p) ? RGB(0, 255, 0) : kCanvasSentinel, canvas.At(x, y)) << x << " " << y;
            }
    }
}

TEST(MechSkin, ReloadWithoutAFaceReleasesIt)
{
    FaceFolder f({{L"clkface.bmp", KeyedFaceBmp(20, 20)}, {L"skin.ini", "[clock]\r\nangle=90\r\n"}});
    ASSERT_TRUE(f.temp.AddFolder(L"Plain"));
    CMechSkin skin(f.temp.Path().c_str(), 0);
    skin.Load(L"Face", 0, 0, FW_NORMAL, 0);
    ASSERT_TRUE(skin.HasFace());
    skin.Load(L"Plain", 0, 0, FW_NORMAL, 0);
    EXPECT_FALSE(skin.HasFace());
    EXPECT_EQ(0, skin.GetFaceAngle());
    EXPECT_FALSE(skin.GetFaceBitmap().IsValid());
    skin.Load(L"No Such Skin", 0, 0, FW_NORMAL, 0);
    EXPECT_FALSE(skin.HasFace());
}

// kNoColor copies the face's (transparent) corner; other colours paint the
// opaque background into a 32-bit target, clipped to it.
TEST(MechSkin, FillBackgroundWithAFace)
{
    FaceFolder f({{L"clkface.bmp", KeyedFaceBmp(20, 20)}});
    LoadedMechSkin s(f.temp.Path(), L"Face");
    ASSERT_TRUE(s.skin.HasFace());
    struct Case {
        COLORREF color;
        bool target;
        RECT rect;
        uint32_t inside;
    } cases[] = {
        {kNoColor, false, {2, 1, 6, 4}, 0x00000000},
        {kDefaultColor, true, {2, 1, 6, 4}, 0xFFFF00FF},
        {RGB(0, 0, 255), true, {2, 1, 6, 4}, 0xFFFF00FF},
        {kDefaultColor, true, {-3, -5, 3, 2}, 0xFFFF00FF},
        {kDefaultColor, true, {5, 4, 40, 30}, 0xFFFF00FF},
        {RGB(0, 0, 255), false, {2, 1, 6, 4}, 0x000000FF},  // plain GDI fill: no alpha
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.color << " " << c.target << " " << std::dec
                                        << c.rect.left << "," << c.rect.top);
        SkinCanvas canvas(s.skin, 8, 6);
        s.skin.SetTargetBitmap(c.target ? &canvas.dib : nullptr);
        s.skin.FillBackground(&c.rect, c.color);
        s.skin.SetTargetBitmap(nullptr);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                POINT p = {x, y};
                uint32_t expected = PtInRect(&c.rect, p) ? c.inside : 0xFF010203u;
                ASSERT_EQ(expected, canvas.Pixel(x, y)) << x << " " << y;
            }
    }
}
