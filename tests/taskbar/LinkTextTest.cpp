#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "graphics/image/Bitmap.h"
#include "taskbar/tooltip/LinkText.h"
#include "tests/support/PngFile.h"
#include "tests/support/TextDC.h"

namespace {

SIZE Extent(HDC dc, const WCHAR* text)
{
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return size;
}

void ExpectBox(const RECT& expected, const LinkBox& box)
{
    EXPECT_EQ(expected.left, box.left);
    EXPECT_EQ(expected.top, box.top);
    EXPECT_EQ(expected.right, box.right);
    EXPECT_EQ(expected.bottom, box.bottom);
}

}  // namespace

class LinkTextLayout : public testing::Test {
protected:
    void SetUp() override
    {
        blank = Extent(dc.Get(), L" ");
        ASSERT_GT(blank.cx, 0);
        ASSERT_GT(blank.cy, 0);
    }
    CTextDC dc;
    SIZE blank;
    CLinkText text;
};

TEST_F(LinkTextLayout, BreaksStartAWordLowerAtTheLeftEdge)
{
    text.SetText(L"one<br><br>two three");
    text.Measure(dc.Get(), RECT{5, 7, 500, 100});
    ASSERT_EQ(3, text.WordCount());
    SIZE one = Extent(dc.Get(), L"one"), two = Extent(dc.Get(), L"two");
    ExpectBox({5, 7, 5 + one.cx, 7 + one.cy}, text.Word(0).box);
    ExpectBox({5, 7 + 2 * blank.cy, 5 + two.cx, 7 + 2 * blank.cy + two.cy}, text.Word(1).box);
    EXPECT_EQ(5 + two.cx + blank.cx, text.Word(2).box.left);
    EXPECT_EQ(7 + 2 * blank.cy, text.Word(2).box.top);
    RECT extent = text.GetRect();
    EXPECT_EQ(5, extent.left);
    EXPECT_EQ(7, extent.top);
    EXPECT_EQ(text.Word(2).box.right, extent.right);
    EXPECT_EQ(text.Word(2).box.bottom, extent.bottom);
}

TEST_F(LinkTextLayout, UnknownTagsVanish)
{
    text.SetText(L"<b>bold</b> <font color=red>text</font>");
    text.Measure(dc.Get(), RECT{0, 0, 500, 100});
    ASSERT_EQ(2, text.WordCount());
    EXPECT_EQ(std::wstring(L"bold"), text.Word(0).text);
    EXPECT_EQ(std::wstring(L"text"), text.Word(1).text);
    EXPECT_EQ(text.Word(0).box.right + blank.cx, text.Word(1).box.left);
    EXPECT_EQ(0, text.Word(1).box.top);
    EXPECT_EQ(0, text.LinkCount());
}

TEST_F(LinkTextLayout, WordWiderThanTheRectangleStaysOnItsOwnLine)
{
    text.SetText(L"a extraordinarily b");
    SIZE a = Extent(dc.Get(), L"a"), wide = Extent(dc.Get(), L"extraordinarily");
    int right = a.cx + blank.cx + wide.cx / 2;
    text.Measure(dc.Get(), RECT{0, 0, right, 100});
    ASSERT_EQ(3, text.WordCount());
    EXPECT_EQ(0, text.Word(0).box.top);
    ExpectBox({0, blank.cy, wide.cx, blank.cy + wide.cy}, text.Word(1).box);
    EXPECT_EQ(0, text.Word(2).box.left);
    EXPECT_EQ(2 * blank.cy, text.Word(2).box.top);
    EXPECT_EQ(wide.cx, text.GetRect().right);

    // the last word needs no blank after it to fit
    text.SetText(L"a b");
    SIZE b = Extent(dc.Get(), L"b");
    text.Measure(dc.Get(), RECT{0, 0, a.cx + blank.cx + b.cx, 100});
    EXPECT_EQ(0, text.Word(1).box.top);
}

TEST_F(LinkTextLayout, HitTestFindsTheLinkUnderAPoint)
{
    text.SetText(L"See <a href=\"/p/5\" title=\"Bridge\">the bridge</a> by <a href=/cms/a?id=3>Anna</a>");
    text.Measure(dc.Get(), RECT{10, 20, 600, 100});
    ASSERT_EQ(5, text.WordCount());
    const LinkBox see = text.Word(0).box, the = text.Word(1).box, bridge = text.Word(2).box,
                  anna = text.Word(4).box;
    struct {
        const char* name;
        int x, y;
        const WCHAR* target;  // null: no link
    } cases[] = {
        {"plain word", see.left + 1, see.top + 1, nullptr},
        {"first word of a link", the.left, the.top, L"/p/5"},
        {"its last pixel", the.right - 1, the.bottom - 1, L"/p/5"},
        {"right edge is outside", the.right, the.top + 1, nullptr},
        {"second word", bridge.left + 2, bridge.top + 2, L"/p/5"},
        {"bottom edge is outside", bridge.left + 2, bridge.bottom, nullptr},
        {"second link", anna.left + 1, anna.top + 1, L"/cms/a?id=3"},
        {"left of everything", 9, see.top + 1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LinkTarget* link = text.HitTest(c.x, c.y);
        ASSERT_EQ(c.target != nullptr, link != nullptr);
        if (link) {
            EXPECT_EQ(std::wstring(c.target), link->target);
        }
    }
    EXPECT_EQ(std::wstring(L"Bridge"), text.HitTest(the.left, the.top)->title);

    // the words move with the text
    text.Offset(100, 50);
    EXPECT_EQ(nullptr, text.HitTest(anna.left + 1, anna.top + 1));
    ASSERT_NE(nullptr, text.HitTest(anna.left + 101, anna.top + 51));
    EXPECT_EQ(std::wstring(L"/cms/a?id=3"), text.HitTest(anna.left + 101, anna.top + 51)->target);
    EXPECT_EQ(110, text.GetRect().left);
    EXPECT_EQ(70, text.GetRect().top);

    text.SetText(nullptr);
    EXPECT_EQ(0, text.WordCount());
    EXPECT_EQ(nullptr, text.HitTest(anna.left + 101, anna.top + 51));
}

namespace {

const COLORREF kLink = 0xC00000;    // the link colour as GDI takes it
const uint32_t kLinkPixel = 0x0000C0;  // the same in a DIB's 0x00RRGGBB

// A white 32-bit canvas with the GUI font, black text on a transparent background.
class CCanvas {
public:
    CCanvas(int width, int height)
    {
        m_dib.Create(width, height);
        m_font = SelectObject(m_dib.GetDC(), GetStockObject(DEFAULT_GUI_FONT));
        RECT all = {0, 0, width, height};
        FillRect(m_dib.GetDC(), &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
        SetTextColor(m_dib.GetDC(), RGB(0, 0, 0));
        SetBkMode(m_dib.GetDC(), TRANSPARENT);
    }
    ~CCanvas() { SelectObject(m_dib.GetDC(), m_font); }
    HDC DC() const { return m_dib.GetDC(); }
    // The pixel's RGB at (x, y) counted from the top.
    uint32_t At(int x, int y) const
    {
        GdiFlush();
        return m_dib.GetPixel(x, m_dib.GetHeight() - 1 - y) & 0xFFFFFF;
    }
    // The columns of row y from left to right - 1 that are not `rgb`.
    std::vector<int> ColumnsNot(uint32_t rgb, int y, int left, int right) const
    {
        std::vector<int> out;
        for (int x = left; x < right; ++x)
            if (At(x, y) != rgb)
                out.push_back(x);
        return out;
    }
    int CountIn(const LinkBox& box, uint32_t rgb) const
    {
        int n = 0;
        for (int y = box.top; y < box.bottom - 1; ++y)
            for (int x = box.left; x < box.right; ++x)
                n += At(x, y) == rgb;
        return n;
    }
    void Save(const wchar_t* name) const
    {
#ifdef TL_SHOTS_FOLDER
        std::vector<uint8_t> rgb;
        for (int y = 0; y < m_dib.GetHeight(); ++y)
            for (int x = 0; x < m_dib.GetWidth(); ++x) {
                uint32_t p = At(x, y);
                rgb.insert(rgb.end(), {(uint8_t)(p >> 16), (uint8_t)(p >> 8), (uint8_t)p});
            }
        WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + name, m_dib.GetWidth(), m_dib.GetHeight(), 3, rgb.data());
#else
        (void)name;
#endif
    }

private:
    CDibSection m_dib;
    HGDIOBJ m_font;
};

}  // namespace

TEST(LinkTextDraw, OneUnderlinePerLinkAndLine)
{
    CCanvas canvas(400, 80);
    CLinkText text;
    EXPECT_EQ(kLink, text.LinkColor());
    text.SetText(L"<a href=/p>one two three</a> plain <a href=/q>x</a> <a href=/r>y</a>");
    text.Measure(canvas.DC(), RECT{4, 4, 396, 76});
    ASSERT_EQ(6, text.WordCount());
    HGDIOBJ pen = GetCurrentObject(canvas.DC(), OBJ_PEN);
    text.Draw(canvas.DC());
    canvas.Save(L"linktext-one-line.png");
    EXPECT_EQ(RGB(0, 0, 0), GetTextColor(canvas.DC()));
    EXPECT_EQ(pen, GetCurrentObject(canvas.DC(), OBJ_PEN));

    const LinkBox one = text.Word(0).box, three = text.Word(2).box, plain = text.Word(3).box,
                  x = text.Word(4).box, y = text.Word(5).box;
    int row = one.bottom - 1;
    // across the blanks between the link's words, up to its last pixel
    EXPECT_EQ(std::vector<int>{}, canvas.ColumnsNot(kLinkPixel, row, one.left, three.right));
    // no underline past the link, under the plain word, or between two links
    EXPECT_EQ(0, canvas.CountIn(LinkBox{three.right, row, plain.right, row + 2}, kLinkPixel));
    EXPECT_EQ(std::vector<int>{}, canvas.ColumnsNot(kLinkPixel, row, x.left, x.right));
    EXPECT_EQ(0, canvas.CountIn(LinkBox{x.right, row, y.left, row + 2}, kLinkPixel));
    // link words in the link colour, the plain one in the DC's colour
    EXPECT_GT(canvas.CountIn(three, kLinkPixel), 0);
    EXPECT_EQ(0, canvas.CountIn(three, 0x000000));
    EXPECT_GT(canvas.CountIn(plain, 0x000000), 0);
    EXPECT_EQ(0, canvas.CountIn(plain, kLinkPixel));
}

TEST(LinkTextDraw, AWrappedLinkIsUnderlinedOnEachLine)
{
    CCanvas canvas(200, 80);
    CTextDC measure;
    SIZE one = Extent(measure.Get(), L"one"), blank = Extent(measure.Get(), L" "),
         two = Extent(measure.Get(), L"two");
    CLinkText text;
    text.SetText(L"<a href=/p>one two three</a>");
    // room for "one two" and a blank, not for "three"
    int right = 4 + one.cx + blank.cx + two.cx + blank.cx + 2;
    text.Measure(canvas.DC(), RECT{4, 4, right, 76});
    ASSERT_EQ(3, text.WordCount());
    const LinkBox first = text.Word(0).box, second = text.Word(1).box, third = text.Word(2).box;
    ASSERT_EQ(first.top, second.top);
    ASSERT_EQ(first.top + blank.cy, third.top);
    text.Draw(canvas.DC());
    canvas.Save(L"linktext-wrapped.png");

    int row = first.bottom - 1;
    EXPECT_EQ(std::vector<int>{}, canvas.ColumnsNot(kLinkPixel, row, first.left, second.right));
    // the first line's part ends with its last word
    EXPECT_EQ(0, canvas.CountIn(LinkBox{second.right, row, 200, row + 2}, kLinkPixel));
    EXPECT_EQ(std::vector<int>{}, canvas.ColumnsNot(kLinkPixel, third.bottom - 1, third.left, third.right));
    EXPECT_EQ(0, canvas.CountIn(LinkBox{third.right, third.bottom - 1, 200, third.bottom + 1}, kLinkPixel));
}
