#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "graphics/image/Bitmap.h"
#include "graphics/text/Fonts.h"
#include "graphics/skin/Graphics.h"
#include "graphics/system/Handles.h"
#include "tests/support/BitmapFixtures.h"
#include "tests/support/FakeThemeApi.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const uint32_t kWhitePixel = 0xFFFFFFFF;

// 0x00RRGGBB of a COLORREF, as the DIB holds it.
uint32_t Rgb(COLORREF c)
{
    return (uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c);
}

// Pixel at DC coordinates (x, y), top-down, without its alpha.
uint32_t At(const CDibSection& dib, int x, int y)
{
    return dib.GetPixel(x, dib.GetHeight() - 1 - y) & 0xFFFFFF;
}

uint8_t AlphaAt(const CDibSection& dib, int x, int y)
{
    return (uint8_t)(dib.GetPixel(x, dib.GetHeight() - 1 - y) >> 24);
}

int ScreenDpiY()
{
    CWindowDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

bool StatusFont(LOGFONTW* font)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = 500;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, &metrics, 0))
        return false;
    *font = metrics.lfStatusFont;
    return true;
}

BOOL WINAPI FailingParameters(UINT, UINT, void*, UINT)
{
    return FALSE;
}

// A white DIB with the style bound to its DC.
struct Canvas {
    Canvas(CGraphics& graphics, int width, int height, uint32_t fill = kWhitePixel) : g(graphics)
    {
        EXPECT_TRUE(MakeDib(dib, width, height, Uniform(fill)));
        g.SetDC(dib.GetDC(), nullptr);
    }
    ~Canvas() { g.SetDC(nullptr, nullptr); }
    CGraphics& g;
    CDibSection dib;
};

class FakeOwner : public IGraphicsOwner {
public:
    void OnGraphicsDestroyed(CGraphics* graphics) override { destroyed.push_back(graphics); }
    bool CanDeleteGraphics(CGraphics* graphics) override
    {
        asked.push_back(graphics);
        return allow;
    }
    bool allow = true;
    std::vector<CGraphics*> destroyed;
    std::vector<CGraphics*> asked;
};

// Records the text slot, as a skin overriding it would see the calls.
class RecordingGraphics : public CGraphics {
public:
    struct Call {
        int x, y;
        std::wstring text;
    };
    void DrawText(int x, int y, const WCHAR* text, int length) override
    {
        calls.push_back({x, y, std::wstring(text, length)});
    }
    std::vector<Call> calls;
};

TEST(Graphics, StartsAsAnUnloadedSkinLook)
{
    CGraphics g;
    EXPECT_EQ(kKindOther, g.GetKind());
    EXPECT_EQ(0, g.GetRefCount());
    EXPECT_EQ(kDefaultColor, g.GetTextColor());
    EXPECT_EQ(kDefaultColor, g.GetShadowColor());
    EXPECT_EQ(kNoColor, g.GetBackColor());
    EXPECT_EQ(0u, g.GetBorderColor());
    EXPECT_EQ(kBorderNone, g.GetBorderStyle());
    EXPECT_EQ(0u, g.GetFeatures());
    EXPECT_EQ(nullptr, g.GetDC());
}

TEST(Graphics, BuiltInLooksAreSelectedByNameIgnoringCase)
{
    LOGFONTW status;
    ASSERT_TRUE(StatusFont(&status));
    struct Case {
        const WCHAR* name;
        GraphicsKind kind;
        BorderStyle border;
        const WCHAR* face;  // null: the status-bar font
    } cases[] = {
        {L"Standard System Clock", kKindStandard, kBorderNone, nullptr},
        {L"STANDARD system clock", kKindStandard, kBorderNone, nullptr},
        {L"Classic Tempolan Style", kKindClassic, kBorderRectangle, nullptr},
        {L"classic tempolan style", kKindClassic, kBorderRectangle, nullptr},
        {L"Classic Tempolan Style ", kKindOther, kBorderNone, L"Classic Tempolan Style "},
        {L"Arial", kKindOther, kBorderNone, L"Arial"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + lstrlenW(c.name)));
        CGraphics g;
        EXPECT_TRUE(g.Load(c.name, 0, 0, 0, 0));
        EXPECT_EQ(c.kind, g.GetKind());
        EXPECT_EQ(c.border, g.GetBorderStyle());
        EXPECT_EQ(c.border != kBorderNone, g.IsCentered());
        EXPECT_STREQ(c.name, g.GetName());
        EXPECT_STREQ(c.face ? c.face : status.lfFaceName, g.GetLogFont().lfFaceName);
        EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), g.GetTextColor());
        EXPECT_NE(nullptr, g.GetFont());
    }
}

TEST(Graphics, ClassicLookIsRoundedUnderAVisualStyle)
{
    CFakeThemeApi api;
    api.charHeight = 13;
    CVisualStyles styles(api);
    CGraphics plain(&styles);
    plain.Load(kClassicStyleName, 0, 0, 0, 0);
    EXPECT_EQ(kBorderRectangle, plain.GetBorderStyle());

    styles.SetActive(true);
    CGraphics themed(&styles);
    themed.Load(kClassicStyleName, 0, 0, 0, 0);
    EXPECT_EQ(kBorderRounded, themed.GetBorderStyle());
    EXPECT_TRUE(themed.IsCentered());
}

TEST(Graphics, FontSizeIsInPointsOrARawNegativeHeight)
{
    LOGFONTW status;
    ASSERT_TRUE(StatusFont(&status));
    int dpi = ScreenDpiY();
    struct Case {
        const WCHAR* name;
        int size;
        int expectSize;
        LONG expectHeight;
    } cases[] = {
        {L"Arial", 12, 12, -(12 * dpi / 72)},
        {L"Arial", 0, 8, -(8 * dpi / 72)},
        {L"Arial", -20, -20, -20},
        // the built-in looks take the status font's own height for the default size
        {kStandardStyleName, 0, (int)status.lfHeight, status.lfHeight},
        {kStandardStyleName, 8, (int)status.lfHeight, status.lfHeight},
        {kClassicStyleName, 12, 12, -(12 * dpi / 72)},
        {kClassicStyleName, -15, -15, -15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        CGraphics g;
        g.Load(c.name, 0, c.size, 0, 0);
        EXPECT_EQ(c.expectSize, g.GetFontSize());
        EXPECT_EQ(c.expectHeight, g.GetFontHeight());
    }
}

TEST(Graphics, FailedMetricsFallBackToMsSansSerifAtTheRequestedSize)
{
    CGraphics g;
    g.SetSystemParameters(&FailingParameters);
    g.Load(L"standard system clock", 0, 0, FW_BOLD, kFontItalic);
    EXPECT_STREQ(L"MS Sans Serif", g.GetLogFont().lfFaceName);
    EXPECT_EQ(8, g.GetFontSize());
    EXPECT_EQ(-(8 * ScreenDpiY() / 72), g.GetFontHeight());
    EXPECT_EQ(FW_BOLD, g.GetLogFont().lfWeight);
    EXPECT_TRUE(g.GetLogFont().lfItalic);
}

TEST(Graphics, LongSkinNamesAreCutToTheFontFace)
{
    std::wstring name(300, L'x');
    CGraphics g;
    g.Load(name.c_str(), 0, 10, 0, 0);
    EXPECT_EQ(259u, wcslen(g.GetName()));
    EXPECT_EQ((size_t)LF_FACESIZE - 1, wcslen(g.GetLogFont().lfFaceName));
}

TEST(Graphics, CentredFlagFollowsTheTaskbarSkinOfTheSettings)
{
    SettingsBlock settings = {};
    lstrcpyW(settings.skin, L"classic TEMPOLAN style");
    EXPECT_TRUE(CGraphics(nullptr, &settings).IsCentered());
    lstrcpyW(settings.skin, L"Standard System Clock");
    EXPECT_FALSE(CGraphics(nullptr, &settings).IsCentered());
    // a full field has no terminator
    for (WCHAR& c : settings.skin)
        c = L'c';
    EXPECT_FALSE(CGraphics(nullptr, &settings).IsCentered());
    EXPECT_FALSE(CGraphics().IsCentered());
}

TEST(Graphics, ReleaseAsksTheOwnerAndTheDestructorTellsIt)
{
    FakeOwner owner;
    CGraphics* g = new CGraphics;
    g->SetOwner(&owner);
    g->AddRef();
    g->AddRef();
    EXPECT_FALSE(g->Release());
    EXPECT_TRUE(owner.asked.empty());

    owner.allow = false;
    EXPECT_FALSE(g->Release());  // the last one, but the owner keeps it
    ASSERT_EQ(1u, owner.asked.size());
    EXPECT_EQ(g, owner.asked[0]);
    EXPECT_EQ(0, g->GetRefCount());

    // later the owner lets it go; the count never goes below zero
    owner.allow = true;
    EXPECT_TRUE(g->Release());
    EXPECT_EQ(0, g->GetRefCount());
    EXPECT_TRUE(owner.destroyed.empty());
    delete g;
    ASSERT_EQ(1u, owner.destroyed.size());
    EXPECT_EQ(g, owner.destroyed[0]);
}

TEST(Graphics, ReleaseWithoutOwnerDeletesAtZero)
{
    CGraphics g;
    g.AddRef();
    EXPECT_TRUE(g.Release());
}

TEST(Graphics, FontMovesWithTheBoundDcAndIsRestored)
{
    CGraphics g;
    g.Load(L"Arial", 0, 12, 0, 0);
    CDibSection a, b;
    ASSERT_TRUE(a.Create(4, 4));
    ASSERT_TRUE(b.Create(4, 4));
    HGDIOBJ originalA = GetCurrentObject(a.GetDC(), OBJ_FONT);
    HGDIOBJ originalB = GetCurrentObject(b.GetDC(), OBJ_FONT);
    g.SetDC(a.GetDC(), nullptr);
    EXPECT_EQ(g.GetFont(), GetCurrentObject(a.GetDC(), OBJ_FONT));
    g.SetDC(b.GetDC(), nullptr);
    EXPECT_EQ(originalA, GetCurrentObject(a.GetDC(), OBJ_FONT));
    EXPECT_EQ(g.GetFont(), GetCurrentObject(b.GetDC(), OBJ_FONT));
    // reloading swaps the font in the bound DC
    g.Load(L"Arial", 0, 20, 0, 0);
    EXPECT_EQ(g.GetFont(), GetCurrentObject(b.GetDC(), OBJ_FONT));
    g.SetDC(nullptr, nullptr);
    EXPECT_EQ(originalB, GetCurrentObject(b.GetDC(), OBJ_FONT));
}

TEST(Graphics, SetFontHeightScalesTheWidthAndRecreatesOnlyOnChange)
{
    CGraphics g;
    g.Load(L"Arial", 6, 12, 0, 0);
    CDibSection dib;
    ASSERT_TRUE(dib.Create(4, 4));
    g.SetDC(dib.GetDC(), nullptr);
    HFONT before = g.GetFont();
    g.SetFontHeight(-32);
    EXPECT_EQ(-32, g.GetFontHeight());
    EXPECT_EQ(-32 * 6 / 12, g.GetLogFont().lfWidth);
    EXPECT_NE(before, g.GetFont());
    EXPECT_EQ(g.GetFont(), GetCurrentObject(dib.GetDC(), OBJ_FONT));
    HFONT after = g.GetFont();
    g.SetFontHeight(-32);
    EXPECT_EQ(after, g.GetFont());
    // a huge height does not wrap the width around
    g.SetFontHeight(-2000000000);
    EXPECT_LT(g.GetLogFont().lfWidth, 0);
    g.SetDC(nullptr, nullptr);
}

TEST(Graphics, ExtentsMatchGdiPlusTheShadow)
{
    CGraphics g;
    g.Load(L"Arial", 0, 12, 0, 0);
    SIZE size;
    g.GetTextExtent(&size, L"12:34", -1);
    EXPECT_EQ(0, size.cx);  // no DC yet
    EXPECT_EQ(0, size.cy);

    Canvas canvas(g, 8, 8);
    SIZE gdi;
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.dib.GetDC(), L"12:34", 5, &gdi));
    ASSERT_GT(gdi.cx, 0);
    struct Case {
        int shadow;
        int length;
        const WCHAR* prefix;
    } cases[] = {{0, -1, L"12:34"}, {0, 0, L"12:34"}, {0, 2, L"12"}, {1, -1, L"12:34"}, {-3, 5, L"12:34"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        g.SetShadow(kGreen, c.shadow);
        SIZE expected;
        GetTextExtentPoint32W(canvas.dib.GetDC(), c.prefix, lstrlenW(c.prefix), &expected);
        g.GetTextExtent(&size, L"12:34", c.length);
        EXPECT_EQ(expected.cx + abs(c.shadow), size.cx);
        EXPECT_EQ(expected.cy + abs(c.shadow), size.cy);
    }
    g.SetShadow(kGreen, 1);
    canvas.g.SetDC(nullptr, nullptr);
    g.GetTextExtent(&size, L"12:34", -1);
    EXPECT_EQ(1, size.cx);
    EXPECT_EQ(1, size.cy);
}

TEST(Graphics, MeasureLinesTakesTheWidestLineAndOnePixelBetween)
{
    CGraphics g;
    g.Load(L"Arial", 0, 12, 0, 0);
    Canvas canvas(g, 8, 8);
    SIZE shortLine, longLine, blank;
    g.GetTextExtent(&shortLine, L"ab", -1);
    g.GetTextExtent(&longLine, L"Wednesday", -1);
    g.GetTextExtent(&blank, L" ", -1);
    struct Case {
        const WCHAR* text;
        LONG width;
        LONG height;
    } cases[] = {
        {L"ab", shortLine.cx, shortLine.cy},
        {L"ab\r\nWednesday", longLine.cx, shortLine.cy + 1 + longLine.cy},
        {L"Wednesday\nab", longLine.cx, longLine.cy + 1 + shortLine.cy},
        {L"ab\n\nab", shortLine.cx, 2 * shortLine.cy + blank.cy + 2},
        {L"ab\r\r\n", shortLine.cx, shortLine.cy + 1 + blank.cy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << lstrlenW(c.text));
        SIZE size = g.MeasureLines(c.text, -1);
        EXPECT_EQ(c.width, size.cx);
        EXPECT_EQ(c.height, size.cy);
    }
    // a length stops inside the text
    EXPECT_EQ(shortLine.cx, g.MeasureLines(L"ab\nWednesday", 2).cx);
}

TEST(Graphics, DrawLinesAlignsEachLineThroughTheTextSlot)
{
    RecordingGraphics g;
    g.Load(L"Arial", 0, 12, 0, 0);
    Canvas canvas(g, 8, 8);
    SIZE a, w, blank;
    g.GetTextExtent(&a, L"ab", -1);
    g.GetTextExtent(&w, L"Wednesday", -1);
    g.GetTextExtent(&blank, L" ", -1);
    struct Case {
        DWORD flags;
        int xA, xW;
    } cases[] = {{0, 100, 100}, {kLinesCentered, 100 - a.cx / 2, 100 - w.cx / 2}, {kLinesRight, 100 - a.cx, 100 - w.cx}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        g.calls.clear();
        g.DrawLines(100, 10, c.flags, L"ab\r\n\nWednesday", -1);
        ASSERT_EQ(2u, g.calls.size());
        EXPECT_EQ(L"ab", g.calls[0].text);
        EXPECT_EQ(c.xA, g.calls[0].x);
        EXPECT_EQ(10, g.calls[0].y);
        EXPECT_EQ(L"Wednesday", g.calls[1].text);
        EXPECT_EQ(c.xW, g.calls[1].x);
        EXPECT_EQ(10 + (a.cy > blank.cy ? a.cy : blank.cy) + 1 + blank.cy + 1, g.calls[1].y);
    }
}

TEST(Graphics, RectangleFrameHasPenBorderAndBrushInside)
{
    CGraphics g;
    g.Load(L"Arial", 0, 12, 0, 0);
    Canvas canvas(g, 40, 30);
    RECT r = {5, 4, 35, 24};
    g.DrawFrame(&r, false, kRed, kBlue);
    GdiFlush();
    const CDibSection& d = canvas.dib;
    for (int x : {5, 20, 34}) {
        EXPECT_EQ(Rgb(kRed), At(d, x, 4)) << x;
        EXPECT_EQ(Rgb(kRed), At(d, x, 23)) << x;
        EXPECT_EQ(0xFFFFFFu, At(d, x, 3)) << x;
        EXPECT_EQ(0xFFFFFFu, At(d, x, 24)) << x;
    }
    for (int y : {4, 14, 23}) {
        EXPECT_EQ(Rgb(kRed), At(d, 5, y)) << y;
        EXPECT_EQ(Rgb(kRed), At(d, 34, y)) << y;
        EXPECT_EQ(0xFFFFFFu, At(d, 4, y)) << y;
        EXPECT_EQ(0xFFFFFFu, At(d, 35, y)) << y;
    }
    EXPECT_EQ(Rgb(kBlue), At(d, 6, 5));
    EXPECT_EQ(Rgb(kBlue), At(d, 20, 14));
    EXPECT_EQ(Rgb(kBlue), At(d, 33, 22));

    // no brush colour: hollow inside
    Canvas hollow(g, 40, 30);
    g.DrawFrame(&r, false, kRed, kNoColor);
    GdiFlush();
    EXPECT_EQ(Rgb(kRed), At(hollow.dib, 5, 14));
    EXPECT_EQ(0xFFFFFFu, At(hollow.dib, 20, 14));
}

// The style's rounded frame against RoundRect with the given ellipse.
void ExpectRoundedLike(CGraphics& g, int ellipseWidth, int ellipseHeight)
{
    RECT r = {3, 3, 77, 47};
    Canvas canvas(g, 80, 50);
    g.DrawFrame(&r, true, kRed, kBlue);

    CDibSection reference;
    ASSERT_TRUE(MakeDib(reference, 80, 50, Uniform(kWhitePixel)));
    HDC dc = reference.GetDC();
    CGdiObject<HPEN> pen(CreatePen(PS_SOLID, 0, kRed));
    CGdiObject<HBRUSH> brush(CreateSolidBrush(kBlue));
    HGDIOBJ oldPen = SelectObject(dc, pen.Get()), oldBrush = SelectObject(dc, brush.Get());
    RoundRect(dc, r.left, r.top, r.right, r.bottom, ellipseWidth, ellipseHeight);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    GdiFlush();

    int differing = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 80; ++x)
            differing += At(canvas.dib, x, y) != At(reference, x, y);
    EXPECT_EQ(0, differing);
    // the corner is cut, the edges and inside are drawn
    EXPECT_EQ(0xFFFFFFu, At(canvas.dib, 3, 3));
    EXPECT_EQ(Rgb(kRed), At(canvas.dib, 40, 3));
    EXPECT_EQ(Rgb(kRed), At(canvas.dib, 3, 25));
    EXPECT_EQ(Rgb(kBlue), At(canvas.dib, 40, 25));
}

TEST(Graphics, RoundedFrameEllipseFollowsTheFont)
{
    CGraphics g;
    g.Load(L"Arial", 0, 12, 0, 0);
    ASSERT_EQ(1, abs(g.GetFontHeight()) / 12);
    ExpectRoundedLike(g, 10, 5);
    // four pixels a point: corners four times as round
    g.SetFontHeight(-48);
    ExpectRoundedLike(g, 40, 20);
}

TEST(Graphics, FillBackgroundDependsOnColourKindAndBorder)
{
    struct Case {
        const WCHAR* name;
        BorderStyle border;
        COLORREF back;
        COLORREF color;
        uint32_t inside;  // pixel at the centre
        uint32_t edge;    // pixel on the rectangle's edge
    } cases[] = {
        // explicit colours fill on every look
        {L"Arial", kBorderNone, kNoColor, kGreen, Rgb(kGreen), Rgb(kGreen)},
        {kClassicStyleName, kBorderRectangle, kBlue, kGreen, Rgb(kGreen), Rgb(kGreen)},
        // "nothing" on a skin draws nothing
        {L"Arial", kBorderNone, kBlue, kNoColor, 0xFFFFFF, 0xFFFFFF},
        // on a built-in look it means the default: the background colour
        {kStandardStyleName, kBorderNone, kBlue, kNoColor, Rgb(kBlue), Rgb(kBlue)},
        {L"Arial", kBorderNone, kBlue, kDefaultColor, Rgb(kBlue), Rgb(kBlue)},
        {kStandardStyleName, kBorderNone, kNoColor, kDefaultColor, 0xFFFFFF, 0xFFFFFF},
        // with a border: a frame in the background colour
        {kClassicStyleName, kBorderRectangle, kBlue, kNoColor, Rgb(kBlue), Rgb(kBlue)},
        {kClassicStyleName, kBorderRectangle, kNoColor, kDefaultColor, 0xFFFFFF, 0xFFFFFF},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(i++);
        CGraphics g;
        g.Load(c.name, 0, 12, 0, 0);
        g.SetBorderStyle(c.border);
        g.SetBackColor(c.back);
        Canvas canvas(g, 20, 20);
        RECT r = {2, 2, 18, 18};
        g.FillBackground(&r, c.color);
        GdiFlush();
        EXPECT_EQ(c.inside, At(canvas.dib, 10, 10));
        EXPECT_EQ(c.edge, At(canvas.dib, 2, 10));
        EXPECT_EQ(0xFFFFFFu, At(canvas.dib, 1, 10));
    }
}

// Positions (x, y, top-down) of pixels of exactly `rgb`.
std::set<std::pair<int, int>> PixelsOf(const CDibSection& dib, uint32_t rgb)
{
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x)
            if (At(dib, x, y) == rgb)
                out.insert({x, y});
    return out;
}

TEST(Graphics, TextIsDrawnInItsColourWithTheShadowAtTheOffset)
{
    CGraphics g;
    g.Load(L"Arial", 0, -40, FW_BOLD, 0);
    g.SetTextColor(kRed);

    Canvas plain(g, 120, 60);
    g.DrawText(10, 5, L"W8", -1);
    GdiFlush();
    std::set<std::pair<int, int>> text = PixelsOf(plain.dib, Rgb(kRed));
    ASSERT_GT(text.size(), 50u);
    EXPECT_TRUE(PixelsOf(plain.dib, Rgb(kGreen)).empty());

    const int kOffset = 3;
    g.SetShadow(kGreen, kOffset);
    Canvas shadowed(g, 120, 60);
    g.DrawText(10, 5, L"W8", -1);
    GdiFlush();
    // the text lies on top of the shadow
    for (const auto& p : text)
        EXPECT_EQ(Rgb(kRed), At(shadowed.dib, p.first, p.second));
    // the shadow is the text moved by the offset, where the text leaves it visible
    int visible = 0;
    for (const auto& p : text) {
        int x = p.first + kOffset, y = p.second + kOffset;
        if (At(plain.dib, x, y) != 0xFFFFFF)
            continue;
        ++visible;
        EXPECT_EQ(Rgb(kGreen), At(shadowed.dib, x, y)) << x << "," << y;
    }
    EXPECT_GT(visible, 10);

    // a shadow without a colour is not drawn
    g.SetShadow(kDefaultColor, kOffset);
    Canvas none(g, 120, 60);
    g.DrawText(10, 5, L"W8", -1);
    GdiFlush();
    EXPECT_EQ(text, PixelsOf(none.dib, Rgb(kRed)));
}

TEST(Graphics, OpaqueTextPaintsTheBackgroundColour)
{
    CGraphics g;
    g.Load(L"Arial", 0, -20, 0, 0);
    g.SetTextColor(kRed);
    g.SetBackColor(kBlue);
    g.SetOpaqueText(true);
    Canvas canvas(g, 80, 40);
    g.DrawText(5, 5, L"1 1", -1);
    GdiFlush();
    EXPECT_EQ(Rgb(kBlue), At(canvas.dib, 6, 6));
    EXPECT_FALSE(PixelsOf(canvas.dib, Rgb(kRed)).empty());
}

TEST(Graphics, DrawnTextMakesTheTargetBitmapOpaqueUnderIt)
{
    CGraphics g;
    g.Load(L"Arial", 0, -16, 0, 0);
    g.SetTextColor(kRed);
    Canvas canvas(g, 60, 40, 0x00FFFFFF);
    const CDibSection& d = canvas.dib;
    SIZE size;
    g.GetTextExtent(&size, L"12", -1);
    ASSERT_GT(size.cx, 2);

    // another bitmap as target: this one keeps its alpha
    CDibSection other;
    ASSERT_TRUE(MakeDib(other, 4, 4, Uniform(0)));
    g.SetTargetBitmap(&other);
    g.DrawText(10, 5, L"12", -1);
    EXPECT_EQ(0, AlphaAt(d, 10, 5));

    g.SetTargetBitmap(&canvas.dib);
    g.DrawText(10, 5, L"12", -1);
    int right = 10 + size.cx - 1, bottom = 5 + size.cy - 1;
    struct Case {
        int x, y;
        uint8_t alpha;
    } cases[] = {{10, 5, 255},        {right, bottom, 255}, {right, 5, 255},   {10, bottom, 255},
                 {9, 5, 0},           {10, 4, 0},           {right + 1, 5, 0}, {10, bottom + 1, 0},
                 {0, 0, 0},           {59, 39, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(c.alpha, AlphaAt(d, c.x, c.y)) << c.x << "," << c.y;

    // text partly outside the bitmap is clipped
    g.DrawText(55, 35, L"12", -1);
    EXPECT_EQ(255, AlphaAt(d, 59, 39));
    g.SetTargetBitmap(nullptr);
}

TEST(Graphics, DrawingTargetBindsItsDC)
{
    CGraphics g;
    g.Load(L"Arial", 0, -16, 0, 0);
    CDibSection dib;
    ASSERT_TRUE(MakeDib(dib, 60, 40, Uniform(0x00FFFFFF)));
    g.SetDrawingTarget(&dib);
    EXPECT_EQ(dib.GetDC(), g.GetDC());
    EXPECT_EQ((HGDIOBJ)g.GetFont(), GetCurrentObject(dib.GetDC(), OBJ_FONT));
    g.DrawText(10, 5, L"12", -1);
    EXPECT_EQ(255, AlphaAt(dib, 10, 5));  // the target's alpha goes with the text
    EXPECT_EQ(0, AlphaAt(dib, 59, 39));
    g.SetDrawingTarget(nullptr);
    g.SetDC(nullptr, nullptr);
}

TEST(Graphics, ThemedBranchGoesThroughTheThemeFunctions)
{
    CFakeThemeApi api;
    api.charHeight = 13;
    CVisualStyles styles(api);
    styles.SetActive(true);
    CGraphics g(&styles);
    g.Load(kClassicStyleName, 0, 12, 0, 0);
    g.SetTextColor(kRed);
    g.SetShadow(kGreen, 2);
    g.SetOpaqueText(true);
    CDibSection dib;
    ASSERT_TRUE(MakeDib(dib, 60, 40, Uniform(0x00FFFFFF)));
    HTHEME theme = (HTHEME)(INT_PTR)0x1234;
    g.SetDC(dib.GetDC(), theme);
    g.SetTargetBitmap(&dib);

    SIZE size;
    g.GetTextExtent(&size, L"12:3", -1);
    EXPECT_EQ(7 * 4 + 2, size.cx);
    EXPECT_EQ(13 + 2, size.cy);
    ASSERT_FALSE(api.measured.empty());
    EXPECT_EQ(theme, api.measured[0].theme);
    EXPECT_EQ(1, api.measured[0].part);
    EXPECT_EQ(1, api.measured[0].state);
    EXPECT_EQ((DWORD)DT_NOCLIP, api.measured[0].flags);

    g.DrawText(10, 5, L"12:3", -1);
    ASSERT_EQ(2u, api.drawn.size());  // the shadow, then the text
    const RECT shadowRect = {12, 7, 12 + 28, 7 + 13}, textRect = {10, 5, 10 + 28, 5 + 13};
    EXPECT_TRUE(EqualRect(&shadowRect, &api.drawn[0].rect));
    EXPECT_TRUE(EqualRect(&textRect, &api.drawn[1].rect));
    for (const auto& call : api.drawn) {
        EXPECT_EQ(theme, call.theme);
        EXPECT_EQ(1, call.part);
        EXPECT_EQ(1, call.state);
        EXPECT_EQ(L"12:3", call.text);
        EXPECT_EQ((DWORD)(DT_SINGLELINE | DT_NOCLIP), call.flags);
    }
    // the theme draws; GDI drew nothing, and opaque text is not used
    GdiFlush();
    EXPECT_TRUE(PixelsOf(dib, Rgb(kRed)).empty());
    EXPECT_EQ(TRANSPARENT, GetBkMode(dib.GetDC()));
    // alpha over both passes
    EXPECT_EQ(255, AlphaAt(dib, 10, 5));
    EXPECT_EQ(255, AlphaAt(dib, 12 + 27, 7 + 12));
    EXPECT_EQ(0, AlphaAt(dib, 12 + 28, 7 + 12));
    EXPECT_EQ(0, AlphaAt(dib, 9, 5));

    // without a theme handle the same style draws with GDI
    g.SetDC(dib.GetDC(), nullptr);
    g.DrawText(10, 5, L"12:3", -1);
    EXPECT_EQ(2u, api.drawn.size());
    GdiFlush();
    EXPECT_FALSE(PixelsOf(dib, Rgb(kRed)).empty());
    g.SetTargetBitmap(nullptr);
    g.SetDC(nullptr, nullptr);
}

TEST(Graphics, WithoutDcNothingIsDrawnOrMeasured)
{
    CGraphics g;
    g.Load(L"Arial", 0, 12, 0, 0);
    RECT r = {0, 0, 10, 10};
    g.FillBackground(&r, kRed);
    g.DrawFrame(&r, true, kRed, kBlue);
    g.DrawText(0, 0, L"x", -1);
    g.DrawLines(0, 0, 0, L"a\nb", -1);
    EXPECT_EQ(0, g.MeasureLines(L"a\nb", -1).cx);
}

}  // namespace
