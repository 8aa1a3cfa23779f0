#include <gtest/gtest.h>

#include <windows.h>

#include "graphics/system/Handles.h"
#include "graphics/text/Fonts.h"

TEST(Fonts, SizeInPointsBecomesANegativePixelHeight)
{
    struct Case {
        int size, dpi;
        LONG pixels;
    } cases[] = {
        {10, 96, -13}, {-12, 96, -12}, {0, 96, 0}, {8, 96, -10}, {10, 120, -16}, {9, 144, -18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " at " << c.dpi);
        EXPECT_EQ(c.pixels, FontPixelsFromSize(c.size, c.dpi));
    }
}

TEST(Fonts, WeightAndStyleFlags)
{
    struct Case {
        int weight;
        DWORD flags;
        LONG lfWeight;
        BYTE italic, underline, strikeOut;
    } cases[] = {
        {0, 0, 0, 0, 0, 0},
        {0, kFontBold, FW_BOLD, 0, 0, 0},
        {300, kFontBold, 300, 0, 0, 0},  // an explicit weight wins
        {400, kFontItalic, 400, 1, 0, 0},
        {0, kFontUnderline | kFontStrikeOut, 0, 0, 1, 1},
        {0, kFontItalic | kFontUnderline | kFontStrikeOut | kFontBold, FW_BOLD, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.weight << " flags " << c.flags);
        LOGFONTW font;
        FillLogFont(L"Tahoma", 0, 10, c.weight, c.flags, 96, 96, 0, &font);
        EXPECT_EQ(c.lfWeight, font.lfWeight);
        EXPECT_EQ(c.italic, font.lfItalic);
        EXPECT_EQ(c.underline, font.lfUnderline);
        EXPECT_EQ(c.strikeOut, font.lfStrikeOut);
    }
}

TEST(Fonts, LogFontFieldsForTheScreen)
{
    LOGFONTW font;
    FillLogFont(L"A face name longer than thirty-one characters", 7, 10, 0, 0, 120, 96, RUSSIAN_CHARSET, &font);
    EXPECT_EQ(-13, font.lfHeight);
    EXPECT_EQ(-11, font.lfWidth);  // width at the horizontal resolution
    EXPECT_EQ(RUSSIAN_CHARSET, font.lfCharSet);
    EXPECT_EQ(L"A face name longer than thirty-", std::wstring(font.lfFaceName));
    EXPECT_EQ(0, font.lfEscapement);
    EXPECT_EQ(0, font.lfQuality);
}

TEST(Fonts, CharsetOfTheLocalesCodePage)
{
    EXPECT_EQ(SHIFTJIS_CHARSET, CharsetForCodePage(932));
    EXPECT_EQ(EASTEUROPE_CHARSET, CharsetForCodePage(1250));
    EXPECT_EQ(BALTIC_CHARSET, CharsetForCodePage(1257));
    // Western and unknown code pages take the screen's character set
    EXPECT_EQ(0, CharsetForCodePage(1252));
    EXPECT_EQ(0, CharsetForCodePage(437));
}

TEST(Fonts, ScreenFontOfTenPoints)
{
    // Wine's screen has 96 dots per inch
    LOGFONTW font;
    ASSERT_TRUE(BuildLogFont(L"Tahoma", 0, 10, 0, kFontBold | kFontItalic, &font));
    EXPECT_EQ(-13, font.lfHeight);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    ASSERT_TRUE(BuildLogFont(L"Tahoma", 0, -12, 0, 0, &font));
    EXPECT_EQ(-12, font.lfHeight);

    CGdiObject<HFONT> created(CreateTextFont(L"Tahoma", 0, 10, 0, kFontUnderline));
    ASSERT_TRUE(created);
    LOGFONTW back;
    ASSERT_EQ((int)sizeof(back), GetObjectW(created.Get(), sizeof(back), &back));
    EXPECT_EQ(-13, back.lfHeight);
    EXPECT_EQ(1, back.lfUnderline);
    EXPECT_EQ(std::wstring(L"Tahoma"), back.lfFaceName);
}
