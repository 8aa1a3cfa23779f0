// The previews of the settings pages drawn in the real dialog from the
// English library: the one clock of the desktop and formats pages over the
// wallpaper or on a picture of the stand-in taskbar, read off the screen.
#include <functional>
#include <string>

#include <windows.h>
#include <commctrl.h>

#include "settings/clockpages/ClockPageIds.h"
#include "graphics/skin/Graphics.h"
#include "settings/clockpages/ClockPageServices.h"
#include "settings/frame/Preview.h"
#include "settings/previews/PreviewPainter.h"
#include "settings/previews/WallpaperCapture.h"
#include "settings/taskbarpage/TaskbarPage.h"
#include "tests/settings/DialogFixture.h"
#include "tests/support/BitmapFixtures.h"
#include "tests/support/FakeThemeApi.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/StandinTaskbar.h"
#include "tests/support/TestFiles.h"
#include "windows/SkinManager.h"

namespace {

std::wstring g_wallpaper;

bool TestWallpaper(WCHAR* path, int chars)
{
    lstrcpynW(path, g_wallpaper.c_str(), chars);
    return !g_wallpaper.empty();
}

uint32_t Rgb(COLORREF c)
{
    return (uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c);
}

// Within 2 per channel: the blend rounds.
bool Near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int d = (int)(a >> shift & 0xFF) - (int)(b >> shift & 0xFF);
        if (d < -2 || d > 2)
            return false;
    }
    return true;
}

uint32_t Blend(uint32_t over, uint32_t under, int alpha)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int o = over >> shift & 0xFF, u = under >> shift & 0xFF;
        out |= (uint32_t)((o * alpha + u * (255 - alpha)) / 255) << shift;
    }
    return out;
}

// A control as the screen shows it.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    uint32_t At(int x, int y) const
    {
        const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
        return (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
    }
    // Whether any pixel of the rectangle differs from `color`.
    bool AnyOtherThan(uint32_t color, int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (At(x, y) != color)
                    return true;
        return false;
    }
};

class Previews : public DialogTest {
protected:
    Previews() : painter(nullptr) {}
    void SetUp() override
    {
        DialogTest::SetUp();
        g_wallpaper.clear();
        skins.reset(new CSkinManager(paths.skinsRoot, nullptr, false));
        preview.reset(new CPreviewClock(*skins, previewBlock));
        painter.SetWallpaperSource(TestWallpaper);
        painter.SetTaskbarFinder([this] { return taskbar; });
        pageServices.skins = skins.get();
        pageServices.preview = preview.get();
        pageServices.painter = &painter;
        pageServices.previewContext.language = &language;
        pageServices.previewContext.unitNames = &language.UnitNames();
        services.clockPages = &pageServices;
    }
    void TearDown() override
    {
        DialogTest::TearDown();
        preview.reset();
        if (skins)
            skins->ReleaseAll();
        g_wallpaper.clear();
    }
    void OpenAside()
    {
        Open();
        // clear of a stand-in taskbar on any side
        SetWindowPos(dialog, nullptr, 130, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Pump();
    }
    HWND Page(int kind) const { return GetDlgItem(dialog, kPages[kind].templateId); }
    HWND Control(int kind, int id) const { return GetDlgItem(Page(kind), id); }
    // Laid out again at once, painted, read off the screen and saved.
    Picture Shoot(int kind, const wchar_t* name)
    {
        HWND control = Control(kind, kIdcPreview);
        pageServices.painter->RedrawClock(control, *preview, true);
        return ReadBack(control, name);
    }
    Picture ShootPanel(const wchar_t* name)
    {
        HWND control = GetDlgItem(page, kIdcPreview);
        painter.RedrawPanel(control, *preview, true);
        return ReadBack(control, name);
    }
    // The control as the screen shows it, saved.
    Picture ReadBack(HWND control, const wchar_t* name)
    {
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
        RECT r;
        GetWindowRect(control, &r);
        Picture picture;
        picture.width = r.right - r.left;
        picture.height = r.bottom - r.top;
        picture.rgb = GrabScreenRgb(r);
        Save(name, picture.width, picture.height, picture.rgb);
        return picture;
    }
    void Save(const wchar_t* name, int width, int height, const std::vector<uint8_t>& rgb)
    {
        std::wstring shots = std::wstring(TL_SHOTS_FOLDER) + L"settings\\";
        CreateDirectoryW(shots.c_str(), nullptr);
        EXPECT_TRUE(WritePngPixels(shots + name + L".png", width, height, 3, rgb.data()));
    }
    RECT ClockBox() const { return preview->Clock()->GetRect(); }

    void OpenTaskbarPage()
    {
        OpenAside();
        CTreeNode* node = nullptr;
        for (int i = 0; i < tree.TopCount() && !node; ++i)
            node = NodeOfKind(tree.Top(i), kPageTray);
        ASSERT_NE(nullptr, node);
        Select(node);
        page = Page(kPageTray);
        ASSERT_EQ(page, VisiblePage());
    }
    void Type(int id, const wchar_t* text)
    {
        SetDlgItemTextW(page, id, text);  // the edit sends EN_CHANGE as typing does
        Pump();
    }
    std::wstring TextOf(int id) const
    {
        WCHAR text[100] = {};
        GetDlgItemTextW(page, id, text, 100);
        return text;
    }
    bool On(int id) const { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    void ClickOn(int id)
    {
        SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0);
        Pump();
    }
    // A pick in the list as a user's.
    void Pick(int id, int index)
    {
        HWND box = GetDlgItem(page, id);
        SendMessageW(box, CB_SETCURSEL, index, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)box);
        Pump();
    }
    // For a stand-in taskbar at the bottom and on the left: `shoot` takes
    // the preview's picture, `drawn` gives the box of the clocks. Above or
    // left of the strip lies the desktop colour, after it the button face;
    // inside the strip only the 4 pixels off its far end hold the clocks.
    void ExpectAtTheFarEnd(const std::function<Picture(bool horizontal)>& shoot, const std::function<RECT()>& drawn)
    {
        uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
        uint32_t desktop = Rgb(GetSysColor(COLOR_DESKTOP));
        for (const wchar_t* edge : {L"bottom", L"left"}) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(edge)));
            CStandinTaskbar standin;
            ASSERT_TRUE(standin.Start(edge));
            taskbar = standin.taskbar;
            RECT bar;
            GetClientRect(taskbar, &bar);
            bool horizontal = bar.bottom < bar.right;
            Picture picture = shoot(horizontal);
            taskbar = nullptr;
            ASSERT_FALSE(picture.rgb.empty());
            RECT box = drawn();
            int width = box.right - box.left, height = box.bottom - box.top;
            ASSERT_GT(width, 0);
            ASSERT_GT(height, 0);
            if (horizontal) {
                ASSERT_GT(picture.height, bar.bottom);
                int top = (picture.height - bar.bottom) / 2, bottom = top + bar.bottom;
                EXPECT_EQ(desktop, picture.At(picture.width / 2, top - 1));
                EXPECT_EQ(face, picture.At(picture.width / 2, bottom));
                int end = picture.width - 4;
                EXPECT_TRUE(picture.AnyOtherThan(face, end - width, top + 2, end, bottom - 2));
                EXPECT_FALSE(picture.AnyOtherThan(face, 2, top + 2, end - width, bottom - 2));
                EXPECT_FALSE(picture.AnyOtherThan(face, end, top + 2, picture.width - 2, bottom - 2));
            } else {
                ASSERT_GT(picture.width, bar.right);
                int left = (picture.width - bar.right) / 2, right = left + bar.right;
                EXPECT_EQ(desktop, picture.At(left - 1, picture.height / 2));
                EXPECT_EQ(face, picture.At(right, picture.height / 2));
                int end = picture.height - 4;
                EXPECT_TRUE(picture.AnyOtherThan(face, left + 2, end - height, right - 2, end));
                EXPECT_FALSE(picture.AnyOtherThan(face, left + 2, 2, right - 2, end - height));
            }
        }
    }
    void SaveDialog(const wchar_t* name)
    {
        ClientPicture picture = GrabClientPicture(dialog);
        ASSERT_FALSE(picture.rgb.empty());
        Save(name, picture.width, picture.height, picture.rgb);
    }
    HWND page = nullptr;

    std::unique_ptr<CSkinManager> skins;
    SettingsBlock previewBlock = {};
    std::unique_ptr<CPreviewClock> preview;
    CPreviewPainter painter;
    ClockPageServices pageServices = {};
    HWND taskbar = nullptr;
};

// The lower-right corner of the wallpaper image at the capture's top left,
// repeated over the rest; nothing without a readable wallpaper.
TEST(WallpaperCapture, LowerRightCornerRepeated)
{
    CTempFile image(BmpFile(4, 4, [](int x, int y) { return Position(x, y) & 0xFFFFFF; }));
    g_wallpaper = image.Path();
    CWallpaperCapture capture(TestWallpaper);
    ASSERT_TRUE(capture.Capture(2, 2));
    // the corner block: columns 2..3, rows 0..1 from the bottom
    EXPECT_EQ(Position(2, 1) & 0xFFFFFF, capture.Picture().GetPixel(0, 1) & 0xFFFFFF);
    EXPECT_EQ(Position(3, 0) & 0xFFFFFF, capture.Picture().GetPixel(1, 0) & 0xFFFFFF);
    ASSERT_TRUE(capture.Capture(6, 6));
    // the whole image fits: it is the block, and repeats from the top left
    EXPECT_EQ(capture.Picture().GetPixel(0, 5) & 0xFFFFFF, capture.Picture().GetPixel(4, 1) & 0xFFFFFF);
    EXPECT_EQ(Position(0, 3) & 0xFFFFFF, capture.Picture().GetPixel(0, 5) & 0xFFFFFF);
    g_wallpaper = L"Z:\\no\\such\\wallpaper.bmp";
    EXPECT_FALSE(capture.Capture(6, 6));
    EXPECT_FALSE(capture.Valid());
    g_wallpaper.clear();
    EXPECT_FALSE(capture.Capture(6, 6));
}

// A desktop clock at alpha 128 is centred and blends with what lies under
// it: the wallpaper, or without one the desktop colour; a new wallpaper
// shows once the capture is stale.
TEST_F(Previews, DesktopClockBlends)
{
    WriteClock(1, L"Home");
    Set(Clock(1), L"skin", L"Standard System Clock");
    Set(Clock(1), L"alpha", L"128");
    CTempFile red(BmpFile(8, 8, Uniform(0xC00000)));
    CTempFile green(BmpFile(8, 8, Uniform(0x00A000)));
    OpenAside();
    Select(tree.Clock(0)->Child(kNodeDesktop));
    if (IsDlgButtonChecked(Page(kPageDesktop), kIdcOpaque) != BST_CHECKED) {
        SendMessageW(Control(kPageDesktop, kIdcOpaque), BM_CLICK, 0, 0);
        Pump();
    }
    ASSERT_EQ(128, preview->Record().alpha);
    struct Case {
        const wchar_t* wallpaper;
        uint32_t under;
        const wchar_t* shot;
    } cases[] = {
        {red.Path(), 0xC00000, L"preview-desktop"},
        {nullptr, Rgb(GetSysColor(COLOR_DESKTOP)), L"preview-desktop-nowallpaper"},
        {green.Path(), 0x00A000, L"preview-desktop-newwallpaper"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.shot)));
        g_wallpaper = c.wallpaper ? c.wallpaper : L"";
        preview->MarkWallpaperStale();
        Picture picture = Shoot(kPageDesktop, c.shot);
        ASSERT_FALSE(picture.rgb.empty());
        RECT box = ClockBox();
        int width = box.right - box.left, height = box.bottom - box.top;
        ASSERT_GT(width, 0);
        ASSERT_LT(width, picture.width);
        ASSERT_LE(height, picture.height);
        int left = (picture.width - width) / 2, top = (picture.height - height) / 2;
        EXPECT_EQ(c.under, picture.At(0, 0));
        EXPECT_EQ(c.under, picture.At(left - 1, picture.height / 2));
        EXPECT_EQ(c.under, picture.At(left + width, picture.height / 2));
        // the clock's own background, half over what lies under it
        uint32_t expected = Blend(Rgb(GetSysColor(COLOR_BTNFACE)), c.under, 128);
        EXPECT_PRED2(Near, expected, picture.At(left, top + height / 2));
        EXPECT_PRED2(Near, expected, picture.At(left + width - 1, top));
    }
}

// With a visual style a built-in look on the desktop takes the taskbar
// theme's colours: the start panel's text and the taskbar's background.
TEST_F(Previews, DesktopClockTakesTheThemesColours)
{
    WriteClock(1, L"Home");
    Set(Clock(1), L"skin", L"Standard System Clock");
    Set(Clock(1), L"alpha", L"128");
    CFakeThemeApi api;
    api.backgroundColor = RGB(30, 140, 60);
    api.themeColor = RGB(200, 10, 10);
    CVisualStyles styles(api);
    CPreviewPainter themed(&styles);
    themed.SetWallpaperSource(TestWallpaper);
    pageServices.painter = &themed;
    OpenAside();
    Select(tree.Clock(0)->Child(kNodeDesktop));
    if (IsDlgButtonChecked(Page(kPageDesktop), kIdcOpaque) != BST_CHECKED) {
        SendMessageW(Control(kPageDesktop, kIdcOpaque), BM_CLICK, 0, 0);
        Pump();
    }
    Picture picture = Shoot(kPageDesktop, L"preview-desktop-themed");
    ASSERT_FALSE(picture.rgb.empty());
    RECT box = ClockBox();
    int width = box.right - box.left, height = box.bottom - box.top;
    ASSERT_GT(width, 0);
    int left = (picture.width - width) / 2, top = (picture.height - height) / 2;
    uint32_t desktop = Rgb(GetSysColor(COLOR_DESKTOP));
    EXPECT_EQ(desktop, picture.At(0, 0));
    EXPECT_PRED2(Near, Blend(0x1E8C3C, desktop, 128), picture.At(left, top + height / 2));
    EXPECT_EQ(RGB(200, 10, 10), preview->Skin()->GetTextColor());
    DestroyWindow(dialog);
}

// A taskbar clock sits 4 pixels from the far end of a strip as thick as
// the taskbar: at the right of a horizontal one, at the bottom of one on a
// screen side. Without a taskbar the control is the button face.
TEST_F(Previews, TaskbarClockAtTheStripsFarEnd)
{
    WriteClock(1, L"Home");
    OpenAside();
    Select(tree.Clock(0)->Child(kNodeFormats));
    ASSERT_FALSE(preview->Record().flags & kClockOnDesktop);
    uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    Picture none = Shoot(kPageFormats, L"preview-taskbar-none");
    ASSERT_FALSE(none.rgb.empty());
    EXPECT_FALSE(none.AnyOtherThan(face, 0, 0, none.width, none.height));

    ExpectAtTheFarEnd([&](bool horizontal) {
        return Shoot(kPageFormats, horizontal ? L"preview-taskbar" : L"preview-taskbar-left");
    }, [&] { return ClockBox(); });
}

// The page's 300 ms timer lays the preview out once a second, not at each tick.
TEST_F(Previews, OneRedrawASecond)
{
    WriteClock(1, L"Home");
    OpenAside();
    Select(tree.Clock(0)->Child(kNodeDesktop));
    int before = painter.Redraws();
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 3000) {
        Pump();
        Sleep(20);
    }
    int redraws = painter.Redraws() - before;
    EXPECT_GE(redraws, 2);
    EXPECT_LE(redraws, 4);
}

// The clock count stays within 1..12 as typed and with the arrows, goes
// into the settings block at once and reaches the preview's panel.
TEST_F(Previews, TaskbarClockCount)
{
    for (int n = 1; n <= 3; ++n)
        WriteClock(n, (L"Clock " + std::to_wstring(n)).c_str());
    Set(L":main", L"trayclocks", L"3");
    OpenTaskbarPage();
    EXPECT_EQ(L"3", TextOf(kIdcTrayClocks));
    EXPECT_EQ(3, painter.PanelClocks());
    struct Case {
        const wchar_t* typed;
        const wchar_t* shown;
        uint32_t stored;
    } cases[] = {{L"15", L"12", 12}, {L"0", L"1", 1}, {L"2", L"2", 2}, {L"", L"", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.typed)));
        Type(kIdcTrayClocks, c.typed);
        EXPECT_EQ(c.shown, TextOf(kIdcTrayClocks));
        EXPECT_EQ(c.stored, settings->Block().trayClocks);
        EXPECT_EQ((int)(c.stored < 3 ? c.stored : 3), painter.PanelClocks());
    }
    struct Step {
        const wchar_t* from;
        int key;
        const wchar_t* to;
    } steps[] = {{L"12", VK_UP, L"12"}, {L"1", VK_DOWN, L"1"}, {L"5", VK_UP, L"6"}, {L"5", VK_DOWN, L"4"}};
    HWND edit = GetDlgItem(page, kIdcTrayClocks);
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(s.from)));
        Type(kIdcTrayClocks, s.from);
        SendMessageW(edit, WM_KEYDOWN, s.key, 0);
        SendMessageW(edit, WM_KEYUP, s.key, 0);
        Pump();
        EXPECT_EQ(s.to, TextOf(kIdcTrayClocks));
    }
    Click(kIdcApply);
    WCHAR written[16] = {};
    GetPrivateProfileStringW(L"user:main", L"trayclocks", L"", written, 16, paths.userIni);
    EXPECT_EQ(TextOf(kIdcTrayClocks), std::wstring(written));
}

// The two built-in looks leave the skin options off; a skin folder turns
// them on. The look's name and its style bits go into the settings block.
TEST_F(Previews, TaskbarSkinAndTooltips)
{
    std::wstring shipped = std::wstring(TL_PROGRAM_FOLDER) + L"skins\\";
    ASSERT_TRUE(folder.AddFolder(L"skins"));
    ASSERT_TRUE(folder.AddFolder(L"skins\\Blue LCD"));
    ASSERT_TRUE(CopyFolderFiles(shipped + L"Blue LCD\\", std::wstring(paths.skinsRoot) + L"Blue LCD\\"));
    WriteClock(1, L"Home");
    Set(L":main", L"skin", L"Blue LCD");
    Set(L":main", L"tooltips", L"0");
    OpenTaskbarPage();
    HWND list = GetDlgItem(page, kIdcTaskbarSkin);
    ASSERT_EQ(3, (int)SendMessageW(list, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(2, (int)SendMessageW(list, CB_GETCURSEL, 0, 0));
    struct Case {
        int index;
        const wchar_t* name;
        uint32_t bits;
    } cases[] = {
        {0, L"Standard System Clock", 0},
        {1, L"Classic Tempolan Style", kOptClassic},
        {2, L"Blue LCD", kOptSkinned},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        Pick(kIdcTaskbarSkin, c.index);
        const SettingsBlock& block = settings->Block();
        EXPECT_EQ(c.name, FieldText(block.skin, FIELD_WIDTH(block.skin)));
        EXPECT_EQ(c.bits, block.options & (kOptSkinned | kOptClassic));
        EXPECT_EQ(c.index >= 2, On(kIdcTransparentSkin));
        EXPECT_EQ(c.index >= 2, On(kIdcOverlayPrefixes));
    }
    ClickOn(kIdcTransparentSkin);
    EXPECT_TRUE(settings->Block().options & kOptTransparentSkin);

    EXPECT_FALSE(On(kIdcTooltipKind));
    EXPECT_FALSE(On(kIdcTooltipCalendar));
    ClickOn(kIdcTooltips);
    EXPECT_TRUE(settings->Block().options & kOptTooltips);
    EXPECT_TRUE(On(kIdcTooltipKind));
    EXPECT_TRUE(On(kIdcTooltipCalendar));
    ClickOn(kIdcTooltipCalendar);
    EXPECT_TRUE(settings->Block().options & kOptTooltipCalendar);
    ClickOn(kIdcTooltips);
    EXPECT_FALSE(On(kIdcTooltipKind));
}

// The panel at the far end of the taskbar's picture: the clocks in the right
// part of a horizontal strip, at the bottom of a vertical one. Its clocks
// are copies without their alarms.
TEST_F(Previews, TaskbarPanelPreview)
{
    WriteClock(1, L"One", 2);
    WriteClock(2, L"Two");
    Set(Clock(2), L"timeformat", L"HH:mm:ss");
    Set(Clock(2), L"zone", L"W. Europe Standard Time");
    Set(L":main", L"skin", L"Standard System Clock");
    Set(L":main", L"trayclocks", L"2");
    OpenTaskbarPage();
    ASSERT_EQ(2, painter.PanelClocks());
    // the preview's copies leave the alarms with the settings' own clocks
    ASSERT_EQ(2u, tree.Clock(0)->Record().alarmCount);
    EXPECT_EQ(0u, painter.Panel().Object(0)->Record().alarmCount);
    EXPECT_EQ(0u, (unsigned long long)painter.Panel().Object(0)->Record().alarms.raw);
    ExpectAtTheFarEnd([&](bool horizontal) {
        Picture picture = ShootPanel(horizontal ? L"preview-panel" : L"preview-panel-left");
        if (horizontal)
            SaveDialog(L"page-taskbar");
        return picture;
    }, [&] { return painter.Panel().GetRect(); });
}

// Without a clock for the panel the preview says so at its top left, and
// draws nothing else.
TEST_F(Previews, TaskbarPanelWithoutClocks)
{
    WriteClock(1, L"Off");
    Set(Clock(1), L"enabled", L"0");
    CStandinTaskbar standin;
    ASSERT_TRUE(standin.Start(L"bottom"));
    taskbar = standin.taskbar;
    OpenTaskbarPage();
    EXPECT_EQ(0, painter.PanelClocks());
    Picture empty = ShootPanel(L"preview-panel-empty");
    taskbar = nullptr;
    ASSERT_FALSE(empty.rgb.empty());
    uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(empty.AnyOtherThan(face, 0, 0, empty.width / 2, 14));
    EXPECT_FALSE(empty.AnyOtherThan(face, 0, 20, empty.width, empty.height));
    EXPECT_FALSE(empty.AnyOtherThan(face, empty.width / 2, 0, empty.width, empty.height));
}

}  // namespace
