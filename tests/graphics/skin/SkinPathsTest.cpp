// The rarer ways of a digital skin: the colon made from the font's "=", the
// icon-title font, the framed background and digits lowered beside GDI text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/text/Fonts.h"
#include "graphics/skin/Skin.h"
#include "graphics/system/Handles.h"
#include "graphics/window/Theme.h"
#include "tests/support/SkinFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

const COLORREF kPaper = RGB(0, 0x40, 0);
const COLORREF kInk = RGB(0xC0, 0, 0);
const COLORREF kGridKey = RGB(255, 255, 255);

struct LoadedSkin {
    CSkin skin;
    LoadedSkin(const std::wstring& root, const wchar_t* name, CVisualStyles* styles = nullptr)
        : skin(root.c_str(), styles)
    {
        skin.Load(name, 0, 0, FW_NORMAL, 0);
    }
};

// Digits 9 wide and 12 high in green; digit d inks column 4 fully.
std::string NumbersBmp()
{
    return BmpBytes(90, 12, [](int x, int) { return x % 9 == 4 ? kInk : kPaper; });
}

// A 16 x 14 grid of 8 x 10 cells, white key; "=" has bars on rows 2 and 6,
// columns 1 to 6.
std::string EqualsGridBmp()
{
    const int cw = 8, ch = 10, equals = '=' - 0x20;
    return BmpBytes(16 * cw, 14 * ch, [&](int x, int y) {
        bool cell = x / cw == equals % 16 && y / ch == equals / 16;
        int cx = x % cw, cy = y % ch;
        return cell && cx >= 1 && cx <= 6 && (cy == 2 || cy == 6) ? RGB(0, 0, 0xFF) : kGridKey;
    });
}

// A digit strip of 6-wide digits and a 4-wide colon, 8 high; each digit
// inks its column 2 from top to bottom.
std::string DigitsBmp()
{
    return BmpBytes(64, 8, [](int x, int) { return x < 60 && x % 6 == 2 ? kInk : kPaper; });
}

// Rows of column x holding `color`.
std::vector<int> RowsOf(SkinCanvas& canvas, int x, int height, COLORREF color)
{
    std::vector<int> rows;
    for (int y = 0; y < height; ++y)
        if (canvas.At(x, y) == color)
            rows.push_back(y);
    return rows;
}

// Icon metrics and status-bar metrics of a made-up system.
struct FakeSystem {
    static int iconCalls;
    static bool fail;
    static BOOL WINAPI Query(UINT action, UINT param, void* data, UINT)
    {
        if (action != SPI_GETICONMETRICS || fail)
            return FALSE;
        ++iconCalls;
        auto* metrics = (ICONMETRICSW*)data;
        if (param != 108 || metrics->cbSize != 108)
            return FALSE;
        lstrcpyW(metrics->lfFont.lfFaceName, L"Courier New");
        metrics->lfFont.lfWeight = FW_BOLD;
        metrics->lfFont.lfItalic = TRUE;
        metrics->lfFont.lfHeight = -17;
        return TRUE;
    }
};
int FakeSystem::iconCalls = 0;
bool FakeSystem::fail = false;

LONG ScreenPixels(int points)
{
    CWindowDC screen(nullptr);
    return FontPixelsFromSize(points, GetDeviceCaps(screen.Get(), LOGPIXELSY));
}

}  // namespace

// With a font grid, the laid-out digit strip's colon is the middle of "="
// stood upright: two dots in columns 113 and 114 over the strip's height.
TEST(SkinPaths, ColonFromTheFontGridEquals)
{
    CTempFolder temp;
    ASSERT_TRUE(temp.AddFolder(L"Eq"));
    ASSERT_TRUE(temp.WriteBytes(L"Eq\\numbers.bmp", NumbersBmp()));
    ASSERT_TRUE(temp.WriteBytes(L"Eq\\alphas.bmp", EqualsGridBmp()));
    LoadedSkin s(temp.Path(), L"Eq");
    ASSERT_EQ(kSkinDigits | kSkinBitmapFont, s.skin.GetFeatures());
    ASSERT_EQ(11, s.skin.GetDigitWidth());
    ASSERT_EQ(8, s.skin.GetColonWidth());
    SkinCanvas canvas(s.skin, 30, 12);
    s.skin.DrawText(0, 0, L"1:", 2);
    const int colon = 11;
    for (int x = 0; x < 8; ++x) {
        SCOPED_TRACE(x);
        std::vector<int> ink = RowsOf(canvas, colon + x, 12, RGB(0, 0, 0xFF));
        if (x != 3 && x != 4) {
            EXPECT_TRUE(ink.empty());
            continue;
        }
        // two dots: the bars of rows 2 and 6 of 8 stretched to 12 rows
        ASSERT_FALSE(ink.empty());
        EXPECT_GE(ink.front(), 2);
        EXPECT_LE(ink.back(), 10);
        int gaps = 0;
        for (size_t i = 1; i < ink.size(); ++i)
            gaps += ink[i] != ink[i - 1] + 1;
        EXPECT_EQ(1, gaps);
        // around the dots the target shows through
        EXPECT_EQ(kCanvasSentinel, canvas.At(colon + x, 0));
    }
}

// Without a font of its own and without a font grid the skin writes with the
// system's icon-title font.
TEST(SkinPaths, IconTitleFontForSkinsWithoutAFont)
{
    CTempFolder temp;
    ASSERT_TRUE(temp.AddFolder(L"Digits"));
    ASSERT_TRUE(temp.WriteBytes(L"Digits\\digits.bmp", DigitsBmp()));
    ASSERT_TRUE(temp.AddFolder(L"Grid"));
    ASSERT_TRUE(temp.WriteBytes(L"Grid\\alphas.bmp", EqualsGridBmp()));
    struct Case {
        const wchar_t* skin;
        bool fail;
        int size;
        const wchar_t* face;  // null: no GDI font
        LONG height;
        int calls;
    } cases[] = {
        {L"Digits", false, 0, L"Courier New", -17, 1},
        {L"Digits", false, 14, L"Courier New", ScreenPixels(14), 1},
        {L"Digits", true, 0, L"MS Sans Serif", ScreenPixels(8), 0},
        {L"Grid", false, 0, nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.skin << " " << c.fail << " " << c.size);
        FakeSystem::iconCalls = 0;
        FakeSystem::fail = c.fail;
        CSkin skin(temp.Path().c_str());
        skin.SetSystemParameters(&FakeSystem::Query);
        skin.Load(c.skin, 0, c.size, FW_NORMAL, 0);
        EXPECT_EQ(c.calls, FakeSystem::iconCalls);
        if (!c.face) {
            EXPECT_EQ(nullptr, skin.GetFont());
            continue;
        }
        ASSERT_NE(nullptr, skin.GetFont());
        EXPECT_STREQ(c.face, skin.GetLogFont().lfFaceName);
        EXPECT_EQ(c.height, skin.GetLogFont().lfHeight);
        EXPECT_EQ(c.fail ? FW_NORMAL : FW_BOLD, skin.GetLogFont().lfWeight);
        EXPECT_EQ(!c.fail, skin.GetLogFont().lfItalic != 0);
    }
    FakeSystem::fail = false;
}

// The default background is the strip's key colour: a frame filled with it
// when the skin has a border (rounded under a visual style), else the key
// pixel stretched over the whole rectangle.
TEST(SkinPaths, DefaultBackgroundFramedOrStretched)
{
    CUxThemeApi api;
    CVisualStyles styles(api);
    styles.SetActive(true);
    struct Case {
        const char* ini;
        CVisualStyles* styles;
        BorderStyle border;
        bool cornerFilled;
    } cases[] = {
        {"", nullptr, kBorderNone, true},
        {"[border]\r\nenabled=1\r\ncolor=0x204060\r\n", nullptr, kBorderRectangle, true},
        {"[border]\r\nenabled=1\r\ncolor=0x204060\r\n", &styles, kBorderRounded, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        CTempFolder temp;
        ASSERT_TRUE(temp.AddFolder(L"Lcd"));
        ASSERT_TRUE(temp.WriteBytes(L"Lcd\\digits.bmp", DigitsBmp()));
        ASSERT_TRUE(temp.WriteBytes(L"Lcd\\skin.ini", c.ini));
        LoadedSkin s(temp.Path(), L"Lcd", c.styles);
        ASSERT_EQ(c.border, s.skin.GetBorderStyle());
        SkinCanvas canvas(s.skin, 40, 24);
        RECT rect = {2, 2, 38, 22};
        s.skin.FillBackground(&rect, kDefaultColor);
        EXPECT_EQ(kPaper, canvas.At(20, 12));
        EXPECT_EQ(kPaper, canvas.At(20, 2));  // the frame's line is the key colour too
        EXPECT_EQ(c.cornerFilled ? kPaper : kCanvasSentinel, canvas.At(2, 2));
        EXPECT_EQ(kCanvasSentinel, canvas.At(1, 12));
        EXPECT_EQ(kCanvasSentinel, canvas.At(38, 12));
        s.skin.FillBackground(nullptr, kDefaultColor);  // no rectangle: nothing
    }
}

// Digits beside GDI text are lowered to the middle of the GDI line; digits
// and colons alone are not.
TEST(SkinPaths, DigitsLoweredBesideGdiText)
{
    CTempFolder temp;
    ASSERT_TRUE(temp.AddFolder(L"Lcd"));
    ASSERT_TRUE(temp.WriteBytes(L"Lcd\\digits.bmp", DigitsBmp()));
    ASSERT_TRUE(temp.WriteBytes(L"Lcd\\skin.ini", "[font]\r\nface=Arial\r\nsize=24\r\n"));
    LoadedSkin s(temp.Path(), L"Lcd");
    ASSERT_EQ(kSkinDigits, s.skin.GetFeatures());
    SIZE gdi;
    {
        SkinCanvas measuring(s.skin, 1, 1);  // GDI extents need a DC
        s.skin.GetTextExtent(&gdi, L"Wql", 3);
    }
    ASSERT_GT(gdi.cy, 8 + 2);
    int lowered = (gdi.cy - 8) / 2;
    struct Case {
        const wchar_t* text;
        int x;  // a column of the first digit's ink
        int top;
    } cases[] = {
        {L"1", 2, 0},
        {L"1:2", 2, 0},
        {L"12 AM", 2, lowered},
        {L":1", -1, lowered},  // a leading colon is GDI text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.text).size() << " " << c.top);
        SkinCanvas canvas(s.skin, 200, gdi.cy + 4);
        s.skin.DrawText(0, 0, c.text, -1);
        int x = c.x;
        if (x < 0) {
            SIZE colon;
            s.skin.GetTextExtent(&colon, L":", 1);
            x = colon.cx + 2;
        }
        std::vector<int> ink = RowsOf(canvas, x, gdi.cy + 4, kInk);
        ASSERT_EQ(8u, ink.size());
        EXPECT_EQ(c.top, ink.front());
    }
}

// A bitmap cut short or claiming more rows than the file holds is no bitmap:
// its feature goes, the rest of the skin stays.
TEST(SkinPaths, ShortBitmapFilesAreRefused)
{
    std::string digits = DigitsBmp();
    std::string tall = digits;
    tall[22] = 64;  // 64 rows instead of 8
    std::string wide = digits;
    wide[21] = 0x7F;  // a width near 2^31
    struct Case {
        const char* what;
        std::string bytes;
        DWORD features;
    } cases[] = {
        {"whole", digits, kSkinDigits | kSkinLightmap},
        {"last row missing", digits.substr(0, digits.size() - 4), kSkinLightmap},
        {"header only", digits.substr(0, 54), kSkinLightmap},
        {"too tall", tall, kSkinLightmap},
        {"too wide", wide, kSkinLightmap},
        {"no header", "BM", kSkinLightmap},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTempFolder temp;
        ASSERT_TRUE(temp.AddFolder(L"Cut"));
        ASSERT_TRUE(temp.WriteBytes(L"Cut\\digits.bmp", c.bytes));
        ASSERT_TRUE(temp.WriteBytes(L"Cut\\lightmap.bmp", digits));
        LoadedSkin s(temp.Path(), L"Cut");
        EXPECT_EQ(c.features, s.skin.GetFeatures());
    }
}

// A skin with a font face and a font grid writes letters with the face and
// keeps only the digits cut from the grid.
TEST(SkinPaths, FontFaceWithGridKeepsGridDigitsOnly)
{
    CTempFolder temp;
    ASSERT_TRUE(temp.AddFolder(L"Mixed"));
    ASSERT_TRUE(temp.WriteBytes(L"Mixed\\alphas.bmp", EqualsGridBmp()));
    ASSERT_TRUE(temp.WriteBytes(L"Mixed\\skin.ini", "[font]\r\nface=Arial\r\nsize=12\r\n"));
    LoadedSkin s(temp.Path(), L"Mixed");
    EXPECT_EQ(kSkinDigits, s.skin.GetFeatures());
    EXPECT_EQ(8, s.skin.GetDigitWidth());
    EXPECT_EQ(7, s.skin.GetColonWidth());
    EXPECT_EQ(10, s.skin.GetDigitHeight());
    EXPECT_STREQ(L"Arial", s.skin.GetLogFont().lfFaceName);
    SkinCanvas canvas(s.skin, 100, 40);
    SIZE letters, mixed;
    s.skin.GetTextExtent(&letters, L"AB", 2);
    s.skin.GetTextExtent(&mixed, L"12AB", 4);
    EXPECT_EQ(2 * 8 + letters.cx, mixed.cx);
    EXPECT_NE(2 * 8, letters.cx);  // not grid cells
}
