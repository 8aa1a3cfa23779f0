// The taskbar preview of the settings program: its clock object, the size of
// its panel and the taskbar background behind it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/image/Bitmap.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/skin/Graphics.h"
#include "graphics/skin/StyleNames.h"
#include "settings/frame/Preview.h"
#include "tests/support/FakeThemeApi.h"
#include "tests/support/TestFiles.h"
#include "windows/SkinManager.h"

TEST(PreviewPanel, SizeFollowsTheTaskbar)
{
    struct Case {
        const char* name;
        RECT client;
        bool themed;
        int width, height;
    } cases[] = {
        {"horizontal, themed", {0, 0, 800, 30}, true, 400, 30},
        {"horizontal, classic", {0, 0, 800, 30}, false, 400, 26},
        {"vertical, themed", {0, 0, 60, 600}, true, 52, 300},
        {"vertical, classic", {0, 0, 60, 600}, false, 50, 300},
        // collapsed or thin taskbars still give a bitmap that can be made
        {"thin horizontal, classic", {0, 0, 800, 3}, false, 400, 1},
        {"thin vertical, classic", {0, 0, 6, 600}, false, 1, 300},
        {"one pixel", {0, 0, 1, 1}, true, 1, 1},
        {"empty", {0, 0, 0, 0}, false, 1, 1},
        {"upside down", {100, 100, 0, 0}, true, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int width = -7, height = -7;
        GetPreviewPanelSize(c.client, c.themed, &width, &height);
        EXPECT_EQ(c.width, width);
        EXPECT_EQ(c.height, height);
    }
}

namespace {

// A window of the test's own standing in for the taskbar: only its place counts.
class CTaskbarStandIn {
public:
    CTaskbarStandIn(int x, int y, int width, int height)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TlTestPreviewTaskbar";
        RegisterClassW(&wc);
        m_window = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, x, y, width, height, nullptr,
                                   nullptr, wc.hInstance, nullptr);
    }
    ~CTaskbarStandIn() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }

private:
    HWND m_window;
};

COLORREF PixelAt(CBitmap& bitmap, int x, int y)
{
    return GetPixel(bitmap.GetDC(), x, y);
}

}  // namespace

TEST(PreviewBackground, ClassicTaskbarHasARaisedEdge)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    ASSERT_NE(face, light);
    ASSERT_NE(face, shadow);
    CFakeThemeApi api;
    const int w = 40, h = 20;

    {
        SCOPED_TRACE("horizontal");
        CTaskbarStandIn taskbar(0, 700, 800, 30);
        CDibSection preview;
        ASSERT_TRUE(preview.Create(w, h));
        PaintTaskbarBackground(preview, taskbar.Window(), nullptr, api);
        EXPECT_EQ(light, PixelAt(preview, 0, 0));
        EXPECT_EQ(light, PixelAt(preview, w - 3, 0));
        EXPECT_EQ(face, PixelAt(preview, w - 2, 0));      // the top line stops short of the corner
        EXPECT_EQ(shadow, PixelAt(preview, w - 1, 1));    // down the right edge from row 1
        EXPECT_EQ(shadow, PixelAt(preview, w - 1, h / 2));
        EXPECT_EQ(shadow, PixelAt(preview, 0, h - 1));    // along the bottom
        EXPECT_EQ(shadow, PixelAt(preview, w / 2, h - 1));
        EXPECT_EQ(face, PixelAt(preview, 0, 1));          // no line down the left
        EXPECT_EQ(face, PixelAt(preview, w / 2, h / 2));
    }
    {
        SCOPED_TRACE("vertical");
        CTaskbarStandIn taskbar(0, 0, 60, 700);
        CDibSection preview;
        ASSERT_TRUE(preview.Create(w, h));
        PaintTaskbarBackground(preview, taskbar.Window(), nullptr, api);
        EXPECT_EQ(light, PixelAt(preview, 0, 0));
        EXPECT_EQ(light, PixelAt(preview, 0, h - 3));
        EXPECT_EQ(face, PixelAt(preview, 0, h - 2));      // the left line stops short of the corner
        EXPECT_EQ(shadow, PixelAt(preview, w - 1, 0));    // down the right edge from row 0
        EXPECT_EQ(shadow, PixelAt(preview, 1, h - 1));    // along the bottom from column 1
        EXPECT_EQ(face, PixelAt(preview, w / 2, 0));      // no line along the top
        EXPECT_EQ(face, PixelAt(preview, w / 2, h / 2));
    }
    EXPECT_TRUE(api.backgrounds.empty());
}

TEST(PreviewBackground, OffScreenThemedTaskbarTakesTheThemePart)
{
    CFakeThemeApi api;
    api.backgroundColor = RGB(10, 200, 30);
    HTHEME theme = (HTHEME)(INT_PTR)0x1234;
    struct Case {
        const char* name;
        int width, height, part;
    } cases[] = {{"horizontal", 800, 30, 1}, {"vertical", 60, 700, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        api.backgrounds.clear();
        CTaskbarStandIn taskbar(-20000, -20000, c.width, c.height);
        CDibSection preview;
        ASSERT_TRUE(preview.Create(30, 12));
        PaintTaskbarBackground(preview, taskbar.Window(), theme, api);
        ASSERT_EQ(1u, api.backgrounds.size());
        EXPECT_EQ(theme, api.backgrounds[0].theme);
        EXPECT_EQ(c.part, api.backgrounds[0].part);
        EXPECT_EQ(0, api.backgrounds[0].state);
        RECT whole = {0, 0, 30, 12};
        EXPECT_TRUE(EqualRect(&whole, &api.backgrounds[0].rect));
        EXPECT_EQ(RGB(10, 200, 30), PixelAt(preview, 29, 11));
    }
}

namespace {

class PreviewClock : public testing::Test {
protected:
    PreviewClock() : skins(root.Path().c_str(), nullptr, false), settings() {}

    CTempFolder root;
    CSkinManager skins;
    SettingsBlock settings;
    ClockContext context = {};
};

}  // namespace

TEST_F(PreviewClock, BuildsWithTheNamedSkinAndGivesItBack)
{
    CPreviewClock preview(skins, settings);
    preview.SetSkinName(L"Blue Glass");
    ASSERT_TRUE(preview.CreatePreviewClock(context));
    ASSERT_NE(nullptr, preview.Clock());
    EXPECT_TRUE(SameStyleName(L"Blue Glass", preview.Skin()->GetName()));
    CGraphics* skin = preview.Skin();
    LONG held = skin->GetRefCount();
    // a rebuild gives back what the old clock held before it takes again
    ASSERT_TRUE(RebuildPreview(preview, context));
    EXPECT_EQ(skin, preview.Skin());
    EXPECT_EQ(held, skin->GetRefCount());
    preview.DeletePreviewClock();
    EXPECT_EQ(nullptr, preview.Clock());
    EXPECT_EQ(0, skin->GetRefCount());
}

TEST_F(PreviewClock, FallsBackToTheStandardLookWhenTheSkinCannotBeHad)
{
    // a cache full of skins in use has no room for another name
    std::vector<CGraphics*> held;
    held.push_back(skins.GetSkin(kStandardStyleName));
    for (int i = 1; i < CSkinManager::kMaxSkins; ++i)
        held.push_back(skins.GetSkin((L"skin" + std::to_wstring(i)).c_str()));
    ASSERT_EQ(nullptr, skins.GetSkin(L"Another"));

    for (const wchar_t* name : {L"Another", L""}) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        CPreviewClock preview(skins, settings);
        preview.SetSkinName(name);
        ASSERT_TRUE(preview.CreatePreviewClock(context));
        ASSERT_NE(nullptr, preview.Clock());
        EXPECT_EQ(held[0], preview.Skin());
    }
    for (CGraphics* skin : held)
        skins.ReleaseSkin(skin);
}
