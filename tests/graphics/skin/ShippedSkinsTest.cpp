// The skins the program folder ships have the layouts their readers expect.
#include <gtest/gtest.h>

#include <string>

#include "graphics/image/Bitmap.h"
#include "graphics/image/PixelBuffer.h"
#include "tests/support/TestFiles.h"

namespace {

std::wstring SkinFile(const wchar_t* skin, const wchar_t* file)
{
    return std::wstring(TL_SHIPPED_DATA) + L"skins\\" + skin + L"\\" + file;
}

}  // namespace

TEST(ShippedSkins, DigitStripsAndFontStrips)
{
    CBitmap digits;
    ASSERT_TRUE(digits.LoadFromFile(SkinFile(L"Blue LCD", L"digits.bmp").c_str()));
    EXPECT_EQ(11, digits.GetWidth() / 10);  // digit width
    EXPECT_EQ(8, digits.GetWidth() % 10);   // colon width, narrower than 10
    CBitmap light;
    ASSERT_TRUE(light.LoadFromFile(SkinFile(L"Blue LCD", L"lightmap.bmp").c_str()));
    EXPECT_EQ(digits.GetWidth(), light.GetWidth());

    CBitmap text;
    ASSERT_TRUE(text.LoadFromFile(SkinFile(L"Amber Type", L"text.bmp").c_str()));
    EXPECT_EQ(0, text.GetWidth() % 31);
    EXPECT_EQ(0, text.GetHeight() % 3);
}

TEST(ShippedSkins, AnalogueFaceWithHandStrip)
{
    CPixelBuffer face;
    ASSERT_TRUE(face.LoadPng(SkinFile(L"Classic Analog", L"clkface.png").c_str()));
    EXPECT_EQ(32, face.GetBitCount());
    int strip = face.GetHeight() - face.GetWidth();
    EXPECT_GT(strip / 3, 3);  // three hand bands of more than 3 rows
    EXPECT_EQ(0u, face.GetPixel(0, face.GetHeight() - 1) >> 24);             // transparent corner
    EXPECT_EQ(0xFFu, face.GetPixel(face.GetWidth() / 2, strip + 30) >> 24);  // opaque face
}
