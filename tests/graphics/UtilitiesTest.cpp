#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "graphics/text/Fonts.h"
#include "graphics/text/LinkText.h"
#include "graphics/system/Paths.h"
#include "graphics/window/PopupPosition.h"
#include "graphics/system/Registry.h"
#include "graphics/text/TextFields.h"
#include "graphics/window/Theme.h"
#include "tests/support/TestFiles.h"

namespace {

std::wstring Text(const WCHAR* text, int length)
{
    return std::wstring(text, length);
}

// Visual styles as a system with a style would have them. Text extents are
// 7 x 16 pixels a character, so layouts through the theme are exact.
class CFakeThemeApi : public IThemeApi {
public:
    bool Load() override { return loaded = loadable; }
    bool Unload() override
    {
        ++unloads;
        loaded = false;
        return unloadSucceeds;
    }
    bool Loaded() const override { return loaded; }
    BOOL IsThemeActive() override { return active; }
    HRESULT GetCurrentThemeName(WCHAR*, int, WCHAR*, int, WCHAR*, int) override { return E_NOTIMPL; }
    HRESULT SetWindowTheme(HWND, const WCHAR*, const WCHAR*) override { return E_NOTIMPL; }
    HRESULT DrawThemeText(HTHEME, HDC, int, int, const WCHAR*, int, DWORD, DWORD, const RECT*) override
    {
        return E_NOTIMPL;
    }
    HRESULT DrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*) override { return E_NOTIMPL; }
    HRESULT DrawThemeParentBackground(HWND, HDC, RECT*) override { return E_NOTIMPL; }
    HRESULT GetThemeTextExtent(HTHEME theme, HDC, int part, int state, const WCHAR* text, int length, DWORD flags,
                               const RECT*, RECT* extent) override
    {
        lastExtentCall = {theme, part, state, flags, Text(text, length)};
        if (!extentSucceeds)
            return E_FAIL;
        *extent = {100, 100, 100 + 7 * length, 100 + 16};
        return S_OK;
    }
    COLORREF GetThemeSysColor(HTHEME, int) override { return 0; }
    HRESULT GetThemeColor(HTHEME, int, int, int, COLORREF*) override { return E_NOTIMPL; }
    HTHEME GetWindowTheme(HWND) override { return nullptr; }
    HTHEME OpenThemeData(HWND, const WCHAR* classList) override
    {
        openedClasses.push_back(classList);
        return kTheme;
    }
    HRESULT CloseThemeData(HTHEME theme) override
    {
        closed.push_back(theme);
        return S_OK;
    }

    static inline const HTHEME kTheme = (HTHEME)(UINT_PTR)0x51;
    struct ExtentCall {
        HTHEME theme;
        int part, state;
        DWORD flags;
        std::wstring text;
    };
    bool loadable = true;
    bool loaded = true;
    BOOL active = TRUE;
    bool unloadSucceeds = true;
    bool extentSucceeds = true;
    int unloads = 0;
    ExtentCall lastExtentCall = {};
    std::vector<std::wstring> openedClasses;
    std::vector<HTHEME> closed;
};

// A memory DC with the GUI font: real GDI measuring without a window.
class CTextDC {
public:
    CTextDC() : m_dc(CreateCompatibleDC(nullptr))
    {
        m_previous = SelectObject(m_dc, GetStockObject(DEFAULT_GUI_FONT));
    }
    ~CTextDC()
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    CTextDC(const CTextDC&) = delete;
    CTextDC& operator=(const CTextDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// An empty file in the scratch folder.
void AddFile(const CTempFolder& folder, const std::wstring& name)
{
    ASSERT_TRUE(folder.WriteBytes(name, ""));
}

}  // namespace

// ---- text fields

TEST(SplitFields, SplitsAtTabsUpToTheLineEnd)
{
    struct Case {
        const WCHAR* line;
        int capacity;
        std::vector<std::wstring> fields;
    } cases[] = {
        {L"a\t\tb", 8, {L"a", L"", L"b"}},
        {L"a\t", 8, {L"a"}},
        {L"", 8, {}},
        {L"\r\n", 8, {}},
        {L"\n", 8, {}},
        {L"\tb", 8, {L"", L"b"}},
        {L"a\tbc\r\n", 8, {L"a", L"bc"}},
        {L"a\t\r\n", 8, {L"a"}},
        {L"a\t\t\n", 8, {L"a", L""}},
        {L"a\tb\tc\td", 2, {L"a", L"b"}},
        {L"only", 8, {L"only"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.line)));
        const WCHAR* fields[8];
        int lengths[8];
        int n = SplitFields(c.line, fields, lengths, c.capacity);
        ASSERT_EQ((int)c.fields.size(), n);
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(c.fields[i], Text(fields[i], lengths[i])) << "field " << i;
    }
}

TEST(SplitFields, FieldsPointIntoTheLine)
{
    const WCHAR line[] = L"ab\tcd";
    const WCHAR* fields[2];
    ASSERT_EQ(2, SplitFields(line, fields, nullptr, 2));
    EXPECT_EQ(line, fields[0]);
    EXPECT_EQ(line + 3, fields[1]);
}

TEST(CountChar, CountsEveryOccurrence)
{
    EXPECT_EQ(3, CountChar(L"a;b;;c", ';'));
    EXPECT_EQ(0, CountChar(L"abc", ';'));
    EXPECT_EQ(0, CountChar(nullptr, ';'));
}

// ---- fonts

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

    HFONT created = CreateTextFont(L"Tahoma", 0, 10, 0, kFontUnderline);
    ASSERT_NE(nullptr, created);
    LOGFONTW back;
    ASSERT_EQ((int)sizeof(back), GetObjectW(created, sizeof(back), &back));
    EXPECT_EQ(-13, back.lfHeight);
    EXPECT_EQ(1, back.lfUnderline);
    EXPECT_EQ(std::wstring(L"Tahoma"), back.lfFaceName);
    DeleteObject(created);
}

// ---- popup position

TEST(PopupPosition, BelowAboveOrBesideTheAnchor)
{
    const RECT screen = {0, 0, 1280, 770};
    const RECT shortScreen = {0, 0, 1280, 300};
    struct Case {
        const char* name;
        RECT work, anchor;
        int width, height;
        POINT at;
    } cases[] = {
        {"below, centred on the right edge", screen, {600, 300, 700, 330}, 200, 100, {595, 330}},
        {"above at the bottom of the screen", screen, {1000, 740, 1100, 770}, 200, 100, {995, 640}},
        {"just no room below", screen, {600, 600, 700, 670}, 200, 100, {595, 500}},
        {"room below by one pixel", screen, {600, 600, 700, 669}, 200, 100, {595, 669}},
        {"above, flush with the top", screen, {600, 100, 700, 770}, 200, 100, {595, 0}},
        {"pushed left off the right edge", screen, {1200, 300, 1270, 330}, 200, 100, {1080, 330}},
        {"pushed right off the left edge", screen, {0, 300, 50, 330}, 200, 100, {0, 330}},
        {"beside, to the right", shortScreen, {500, 100, 560, 130}, 200, 250, {560, -10}},
        {"beside, to the left when the right is full", shortScreen, {1100, 100, 1180, 130}, 200, 250, {970, -10}},
        {"beside, right side reached exactly", shortScreen, {1000, 100, 1080, 130}, 200, 250, {870, -10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        POINT at = PlacePopup(c.work, c.anchor, c.width, c.height);
        EXPECT_EQ(c.at.x, at.x);
        EXPECT_EQ(c.at.y, at.y);
    }
}

TEST(PopupPosition, WindowClientCoordinatesBothWays)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 300, 200, 300, 200, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(nullptr, window);
    // in the screen the anchor is (310, 210)-(360, 230), far from every edge:
    // the popup goes below it, its x centred on the anchor's right edge
    POINT at = GetPopupPosition(window, RECT{10, 10, 60, 30}, 100, 50);
    EXPECT_EQ(60 - 50 - 5, at.x);
    EXPECT_EQ(30, at.y);
    DestroyWindow(window);
}

// ---- link text

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
    HFONT big = CreateTextFont(L"Tahoma", 0, -40, 0, 0);
    ASSERT_NE(nullptr, big);
    HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_FONT);
    const WCHAR text[] = L"<a href=\"t\">link</a>";
    ASSERT_EQ(1, LayoutLinkText(text, 0, 0, dc.Get(), nullptr, nullptr, &layout, 4));
    const int smallBottom = layout.Run(0).rect.bottom;
    CLinkTextLayout hits;
    // below the text in the DC's font, inside it in the big one
    EXPECT_EQ(0, HitTestLinkText(dc.Get(), big, 0, 0, text, 1, smallBottom + 5, &hits, 4));
    EXPECT_EQ(-1, HitTestLinkText(dc.Get(), nullptr, 0, 0, text, 1, smallBottom + 5, &hits, 4));
    EXPECT_EQ(before, GetCurrentObject(dc.Get(), OBJ_FONT));
    DeleteObject(big);
}

// ---- visual styles

TEST(Theme, OpenOnlyWhenLoadedAndActive)
{
    struct Case {
        bool loaded;
        BOOL active;
        bool opened;
    } cases[] = {{true, TRUE, true}, {true, FALSE, false}, {false, TRUE, false}, {false, FALSE, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "loaded " << c.loaded << " active " << c.active);
        CFakeThemeApi api;
        api.loaded = c.loaded;
        api.active = c.active;
        CVisualStyles styles(api);
        styles.SetActive(!c.opened);  // the open sets the flag either way
        HTHEME theme = styles.OpenThemeIfActive(nullptr, L"CLOCK");
        EXPECT_EQ(c.opened, theme != nullptr);
        EXPECT_EQ(c.opened, styles.Active());
        EXPECT_EQ(c.opened ? std::vector<std::wstring>{L"CLOCK"} : std::vector<std::wstring>{}, api.openedClasses);
    }
}

TEST(Theme, CloseClearsTheHandle)
{
    CFakeThemeApi api;
    CVisualStyles styles(api);
    HTHEME theme = styles.OpenThemeIfActive(nullptr, L"CLOCK");
    styles.CloseTheme(&theme);
    EXPECT_EQ(nullptr, theme);
    styles.CloseTheme(&theme);  // nothing more to close
    EXPECT_EQ(std::vector<HTHEME>{CFakeThemeApi::kTheme}, api.closed);
}

TEST(Theme, MeasuresThroughTheThemeOrGdi)
{
    CFakeThemeApi api;
    CTextDC dc;
    SIZE size;
    ASSERT_TRUE(MeasureTextRun(L"abcd", 3, dc.Get(), CFakeThemeApi::kTheme, &api, &size));
    EXPECT_EQ(21, size.cx);
    EXPECT_EQ(16, size.cy);
    EXPECT_EQ(CFakeThemeApi::kTheme, api.lastExtentCall.theme);
    EXPECT_EQ(1, api.lastExtentCall.part);
    EXPECT_EQ(1, api.lastExtentCall.state);
    EXPECT_EQ((DWORD)DT_NOCLIP, api.lastExtentCall.flags);
    EXPECT_EQ(L"abc", api.lastExtentCall.text);

    // an empty run: a blank's height, no width
    ASSERT_TRUE(MeasureTextRun(L"", 0, dc.Get(), CFakeThemeApi::kTheme, &api, &size));
    EXPECT_EQ(0, size.cx);
    EXPECT_EQ(16, size.cy);
    EXPECT_EQ(L" ", api.lastExtentCall.text);

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

TEST(Theme, RealFunctionsLoadAndUnload)
{
    CUxThemeApi api;
    ASSERT_TRUE(api.Load());
    EXPECT_TRUE(api.Loaded());
    ASSERT_TRUE(api.Load());  // again: the earlier load is freed first
    EXPECT_TRUE(api.Unload());
    EXPECT_FALSE(api.Loaded());
    EXPECT_TRUE(api.Unload());
    // nothing loaded: no theme, and no call into a freed library
    CVisualStyles styles(api);
    styles.SetActive(true);
    EXPECT_EQ(nullptr, styles.OpenThemeIfActive(nullptr, L"CLOCK"));
    EXPECT_FALSE(styles.Active());
    EXPECT_EQ(E_NOTIMPL, api.CloseThemeData(CFakeThemeApi::kTheme));
}

TEST(Theme, FreeLoadedModulesFreesBoth)
{
    CFakeThemeApi api;
    HMODULE language = LoadLibraryW(L"msimg32.dll");
    ASSERT_NE(nullptr, language);
    EXPECT_TRUE(FreeLoadedModules(&language, api));
    EXPECT_EQ(nullptr, language);
    EXPECT_EQ(1, api.unloads);
    EXPECT_FALSE(api.Loaded());

    // nothing left to free is no failure
    EXPECT_TRUE(FreeLoadedModules(&language, api));

    // the theme is freed even when the language library cannot be
    language = (HMODULE)(UINT_PTR)0x10000;
    EXPECT_FALSE(FreeLoadedModules(&language, api));
    EXPECT_EQ(nullptr, language);
    EXPECT_EQ(3, api.unloads);

    api.unloadSucceeds = false;
    EXPECT_FALSE(FreeLoadedModules(&language, api));
}

// ---- paths and files

TEST(Paths, BuiltFromTheProgramFolder)
{
    struct Case {
        const WCHAR* folder;
        const WCHAR* user;
        const WCHAR* expectedFolder;
        const WCHAR* prefix;
    } cases[] = {
        {L"C:\\Program Files\\Tempolan", L"Anna.B", L"C:\\Program Files\\Tempolan\\", L"anna.b"},
        {L"C:\\Tempolan\\", L"ROOT", L"C:\\Tempolan\\", L"root"},
        {L"C:\\Tempolan\\", nullptr, L"C:\\Tempolan\\", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.folder)));
        SettingsPaths paths;
        ASSERT_TRUE(BuildIniPathsFor(c.folder, c.user, &paths));
        const std::wstring folder = c.expectedFolder;
        EXPECT_EQ(folder, paths.folder);
        EXPECT_EQ(folder + L"default.ini", paths.defaultIni);
        EXPECT_EQ(folder + L"tempolan.ini", paths.userIni);
        EXPECT_EQ(folder + L"skins\\", paths.skinsRoot);
        EXPECT_EQ(std::wstring(c.prefix), paths.userPrefix);
    }
}

TEST(Paths, TooLongFolderOrNameLeavesThemEmpty)
{
    SettingsPaths paths;
    // room for the folder but not for "tempolan.ini" after it
    const std::wstring folder = L"C:\\" + std::wstring(250, 'f') + L"\\";
    EXPECT_FALSE(BuildIniPathsFor(folder.c_str(), L"anna", &paths));
    EXPECT_EQ(std::wstring(), paths.folder);
    EXPECT_EQ(std::wstring(), paths.userIni);
    EXPECT_EQ(std::wstring(), paths.userPrefix);

    const std::wstring longName(65, 'N');
    ASSERT_TRUE(BuildIniPathsFor(L"C:\\T\\", longName.c_str(), &paths));
    EXPECT_EQ(std::wstring(), paths.userPrefix);
    const std::wstring longestName(64, 'N');
    ASSERT_TRUE(BuildIniPathsFor(L"C:\\T\\", longestName.c_str(), &paths));
    EXPECT_EQ(std::wstring(64, 'n'), paths.userPrefix);
}

TEST(Paths, PrefixIsTheRunningUserLowerCased)
{
    WCHAR name[65];
    DWORD chars = ARRAYSIZE(name);
    ASSERT_TRUE(GetUserNameW(name, &chars));
    CharLowerW(name);
    SettingsPaths paths;
    ASSERT_TRUE(BuildIniPaths(L"Z:\\tmp\\", &paths));
    EXPECT_NE(std::wstring(), paths.userPrefix);
    EXPECT_EQ(std::wstring(name), paths.userPrefix);
}

TEST(Paths, FileExistsOnlyForFiles)
{
    CTempFolder temp;
    AddFile(temp, L"file.txt");
    temp.AddFolder(L"folder");
    EXPECT_TRUE(FileExists((temp.Path() + L"file.txt").c_str()));
    EXPECT_FALSE(FileExists((temp.Path() + L"folder").c_str()));
    EXPECT_FALSE(FileExists((temp.Path() + L"missing.txt").c_str()));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(FileExists(nullptr));
}

TEST(Paths, SkinWithAClockFace)
{
    CTempFolder temp;
    temp.AddFolder(L"skins");
    for (const WCHAR* skin : {L"skins\\Png", L"skins\\Bitmap", L"skins\\Digits", L"skins\\Odd"})
        temp.AddFolder(skin);
    AddFile(temp, L"skins\\Png\\clkface.png");
    AddFile(temp, L"skins\\Bitmap\\clkface.bmp");
    AddFile(temp, L"skins\\Digits\\digits.png");
    temp.AddFolder(L"skins\\Odd\\clkface.png");  // a folder is no face
    AddFile(temp, L"skins\\clkface.png");          // nor is a face in the skins root
    SettingsPaths paths;
    ASSERT_TRUE(BuildIniPathsFor(temp.Path().c_str(), L"anna", &paths));
    struct Case {
        const WCHAR* skin;
        bool face;
    } cases[] = {{L"Png", true},     {L"Bitmap", true}, {L"Digits", false},
                 {L"Odd", false},    {L"Missing", false}, {L"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.skin)));
        EXPECT_EQ(c.face, SkinHasClockFace(paths, c.skin));
    }
}

// ---- registry

class RegistryDword : public testing::Test {
protected:
    static constexpr const WCHAR* kKey = L"Software\\TempolanTest";
    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 &m_key, nullptr));
    }
    void TearDown() override
    {
        RegCloseKey(m_key);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    void Set(const WCHAR* name, DWORD type, const void* data, DWORD bytes)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(m_key, name, 0, type, (const BYTE*)data, bytes));
    }
    HKEY m_key = nullptr;
};

TEST_F(RegistryDword, OnlyFourByteValuesCount)
{
    const DWORD seven = 7;
    const uint64_t eight = 8;
    const BYTE two[2] = {1, 2};
    const BYTE four[4] = {0x78, 0x56, 0x34, 0x12};
    Set(L"dword", REG_DWORD, &seven, sizeof(seven));
    Set(L"qword", REG_QWORD, &eight, sizeof(eight));
    Set(L"short", REG_BINARY, two, sizeof(two));
    Set(L"binary", REG_BINARY, four, sizeof(four));
    struct Case {
        const WCHAR* name;
        DWORD value;
    } cases[] = {
        {L"dword", 7}, {L"qword", 99}, {L"short", 99}, {L"binary", 0x12345678}, {L"missing", 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        EXPECT_EQ(c.value, ReadRegistryDword(HKEY_CURRENT_USER, kKey, c.name, 99));
    }
    EXPECT_EQ(99u, ReadRegistryDword(HKEY_CURRENT_USER, L"Software\\TempolanTest\\Missing", L"dword", 99));
}
