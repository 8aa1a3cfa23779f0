#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

#include "graphics/system/Handles.h"
#include "graphics/text/Fonts.h"
#include "graphics/text/LinkText.h"
#include "graphics/window/Theme.h"
#include "tests/support/FakeThemeApi.h"
#include "tests/support/TextDC.h"

namespace {

std::wstring Text(const WCHAR* text, int length)
{
    return std::wstring(text, length);
}

}  // namespace

class LinkText : public testing::Test {
protected:
    LinkText() : styles(api) {}
    int Layout(const WCHAR* text, int capacity = 16, int x = 3, int y = 4)
    {
        return LayoutLinkText(text, x, y, dc.Get(), CFakeThemeApi::kTheme, &api, &layout, capacity);
    }
    std::vector<std::wstring> RunTexts() const
    {
        std::vector<std::wstring> texts;
        for (int i = 0; i < layout.Count(); ++i)
            texts.push_back(Text(layout.Run(i).text, layout.Run(i).length));
        return texts;
    }
    static void ExpectRect(const RECT& expected, const RECT& actual)
    {
        EXPECT_EQ(expected.left, actual.left);
        EXPECT_EQ(expected.top, actual.top);
        EXPECT_EQ(expected.right, actual.right);
        EXPECT_EQ(expected.bottom, actual.bottom);
    }
    CFakeThemeApi api;
    CVisualStyles styles;
    CTextDC dc;
    CLinkTextLayout layout;
};

TEST_F(LinkText, BreakStartsARunOneLineLower)
{
    ASSERT_EQ(2, Layout(L"Hello<br>world"));
    EXPECT_EQ((std::vector<std::wstring>{L"Hello", L"world"}), RunTexts());
    ExpectRect({3, 4, 3 + 35, 4 + 16}, layout.Run(0).rect);
    ExpectRect({3, 20, 3 + 35, 20 + 16}, layout.Run(1).rect);
    EXPECT_EQ(nullptr, layout.Run(0).target);
    EXPECT_EQ(nullptr, layout.Run(1).target);
}

TEST_F(LinkText, RunsFollowEachOtherOnALine)
{
    ASSERT_EQ(3, Layout(L"Go <a href=\"http://a/b\">here</a> now"));
    EXPECT_EQ((std::vector<std::wstring>{L"Go ", L"here", L" now"}), RunTexts());
    ExpectRect({3, 4, 24, 20}, layout.Run(0).rect);
    ExpectRect({24, 4, 52, 20}, layout.Run(1).rect);
    ExpectRect({52, 4, 80, 20}, layout.Run(2).rect);
    ASSERT_NE(nullptr, layout.Run(1).target);
    EXPECT_EQ(std::wstring(L"http://a/b"), layout.Run(1).target);
    EXPECT_EQ(nullptr, layout.Run(2).target);
}

TEST_F(LinkText, BreakInsideALinkKeepsTheTarget)
{
    ASSERT_EQ(3, Layout(L"<a href=\"t\">one<br>two</a>!"));
    EXPECT_EQ((std::vector<std::wstring>{L"one", L"two", L"!"}), RunTexts());
    EXPECT_EQ(std::wstring(L"t"), layout.Run(0).target);
    EXPECT_EQ(std::wstring(L"t"), layout.Run(1).target);
    ExpectRect({3, 20, 24, 36}, layout.Run(1).rect);
    ExpectRect({24, 20, 31, 36}, layout.Run(2).rect);
}

TEST_F(LinkText, EmptyLineKeepsItsHeight)
{
    ASSERT_EQ(3, Layout(L"a<br><br>b"));
    EXPECT_EQ(0, layout.Run(1).length);
    ExpectRect({3, 20, 3, 36}, layout.Run(1).rect);
    EXPECT_EQ(36, layout.Run(2).rect.top);
}

TEST_F(LinkText, MalformedLinkEndsTheLayout)
{
    struct Case {
        const WCHAR* text;
        std::vector<std::wstring> runs;
    } cases[] = {
        {L"Hello <a href=\"x\">link", {L"Hello "}},           // no "</a>"
        {L"Hello <a href=\"x>link</a>", {L"Hello "}},         // no closing quote
        {L"Hello <a href=\"x\"", {L"Hello "}},                // no ">"
        {L"<a href=\"x\">a</a>b<a href=\"y\">c", {L"a", L"b"}},  // the second link is cut
        {L"<a href=x>plain</a>", {L"<a href=x>plain</a>"}},     // no quote: not a link
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        Layout(c.text);
        EXPECT_EQ(c.runs, RunTexts());
    }
}

TEST_F(LinkText, StopsAtTheCapacity)
{
    EXPECT_EQ(2, Layout(L"a<br>b<br>c", 2));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), RunTexts());
    EXPECT_EQ(0, Layout(L"a", 0));
}

TEST_F(LinkText, CallersTextStaysAndASecondLayoutIsTheSame)
{
    WCHAR text[] = L"x <a href=\"first\">1</a> <a href=\"second\">2</a>";
    const std::wstring original = text;
    ASSERT_EQ(4, Layout(text));
    EXPECT_EQ(original, text);
    std::vector<std::wstring> first = RunTexts();
    RECT lastRect = layout.Run(3).rect;

    // the runs point into the layout's copy, not into the caller's buffer
    WCHAR* one = wcschr(text, '1');
    *one = 'X';
    EXPECT_EQ(L"1", Text(layout.Run(1).text, 1));
    EXPECT_EQ(std::wstring(L"first"), layout.Run(1).target);
    *one = '1';

    ASSERT_EQ(4, Layout(text));
    EXPECT_EQ(first, RunTexts());
    EXPECT_EQ(std::wstring(L"second"), layout.Run(3).target);
    ExpectRect(lastRect, layout.Run(3).rect);
}

TEST_F(LinkText, HitTestHalfOpenRectangles)
{
    // a real GDI layout: the same metrics as the hit test's own
    const WCHAR text[] = L"ab<a href=\"1\">A</a><a href=\"2\">B</a>";
    ASSERT_EQ(3, LayoutLinkText(text, 10, 20, dc.Get(), nullptr, nullptr, &layout, 8));
    const RECT a = layout.Run(1).rect;
    const RECT b = layout.Run(2).rect;
    ASSERT_GT(a.right, a.left);
    ASSERT_EQ(a.right, b.left);
    struct Case {
        const char* name;
        int x, y, index;
    } cases[] = {
        {"top left of A", a.left, a.top, 1},
        {"last pixel of A", a.right - 1, a.bottom - 1, 1},
        {"A's right edge is B's", a.right, a.top, 2},
        {"right of B", b.right, b.top, -1},
        {"below A", a.left, a.bottom, -1},
        {"plain text", a.left - 1, a.top, -1},
    };
    CLinkTextLayout hits;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.index, HitTestLinkText(dc.Get(), nullptr, 10, 20, text, c.x, c.y, &hits, 8));
    }
    // the same text a second time gives the same answer
    EXPECT_EQ(2, HitTestLinkText(dc.Get(), nullptr, 10, 20, text, b.left, b.top, &hits, 8));
    EXPECT_EQ(std::wstring(L"2"), hits.Run(2).target);
}

TEST_F(LinkText, HitTestInAGivenFontRestoresTheDCs)
{
    CGdiObject<HFONT> big(CreateTextFont(L"Tahoma", 0, -40, 0, 0));
    ASSERT_TRUE(big);
    HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_FONT);
    const WCHAR text[] = L"<a href=\"t\">link</a>";
    ASSERT_EQ(1, LayoutLinkText(text, 0, 0, dc.Get(), nullptr, nullptr, &layout, 4));
    const int smallBottom = layout.Run(0).rect.bottom;
    CLinkTextLayout hits;
    // below the text in the DC's font, inside it in the big one
    EXPECT_EQ(0, HitTestLinkText(dc.Get(), big.Get(), 0, 0, text, 1, smallBottom + 5, &hits, 4));
    EXPECT_EQ(-1, HitTestLinkText(dc.Get(), nullptr, 0, 0, text, 1, smallBottom + 5, &hits, 4));
    EXPECT_EQ(before, GetCurrentObject(dc.Get(), OBJ_FONT));
}

TEST(MeasureTextRun, ThroughTheThemeOrGdi)
{
    CFakeThemeApi api;
    CTextDC dc;
    SIZE size;
    ASSERT_TRUE(MeasureTextRun(L"abcd", 3, dc.Get(), CFakeThemeApi::kTheme, &api, &size));
    EXPECT_EQ(21, size.cx);
    EXPECT_EQ(16, size.cy);
    EXPECT_EQ(CFakeThemeApi::kTheme, api.measured.back().theme);
    EXPECT_EQ(1, api.measured.back().part);
    EXPECT_EQ(1, api.measured.back().state);
    EXPECT_EQ((DWORD)DT_NOCLIP, api.measured.back().flags);
    EXPECT_EQ(L"abc", api.measured.back().text);

    // an empty run: a blank's height, no width
    ASSERT_TRUE(MeasureTextRun(L"", 0, dc.Get(), CFakeThemeApi::kTheme, &api, &size));
    EXPECT_EQ(0, size.cx);
    EXPECT_EQ(16, size.cy);
    EXPECT_EQ(L" ", api.measured.back().text);

    // without a theme, or when the theme cannot measure: GDI
    SIZE gdi;
    ASSERT_TRUE(GetTextExtentPoint32W(dc.Get(), L"abc", 3, &gdi));
    ASSERT_TRUE(MeasureTextRun(L"abc", 3, dc.Get(), nullptr, &api, &size));
    EXPECT_EQ(gdi.cx, size.cx);
    api.extentSucceeds = false;
    ASSERT_TRUE(MeasureTextRun(L"abc", 3, dc.Get(), CFakeThemeApi::kTheme, &api, &size));
    EXPECT_EQ(gdi.cx, size.cx);
    EXPECT_EQ(gdi.cy, size.cy);
}
