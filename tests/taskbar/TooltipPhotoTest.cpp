#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "graphics/language/LanguageStrings.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WebSites.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/Graphics.h"
#include "graphics/window/Window.h"
#include "taskbar/tooltip/Tooltip.h"
#include "graphics/system/WebOpener.h"
#include "tests/support/JpegFiles.h"
#include "tests/support/PngFile.h"
#include "tests/support/TestFiles.h"

namespace {

SYSTEMTIME g_now;
void FakeNow(SYSTEMTIME* utc)
{
    *utc = g_now;
}

// The caption format and hint of the shipped language, the rest missing.
class CCaptionLanguage : public ILanguageStrings {
public:
    int GetString(UINT id, WCHAR* buffer, int chars) const override
    {
        const WCHAR* text = id == 276   ? L"<a href=\"%s\">%s</a><br>Photo: <a href=\"%s\">%s</a>"
                            : id == 264 ? L"Photos of this place"
                                        : L"";
        lstrcpynW(buffer, text, chars);
        return lstrlenW(buffer);
    }
    LCID GetLcid() const override { return MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT); }
};

class CRecordingShell : public IWebOpener {
public:
    void OpenAddress(const WCHAR* address) override { opened.push_back(address); }
    std::vector<std::wstring> opened;
};

const COLORREF kPhotoColor = RGB(200, 40, 60);

bool Near(uint32_t rgb, COLORREF c)
{
    int d[3] = {(int)(rgb >> 16 & 255) - GetRValue(c), (int)(rgb >> 8 & 255) - GetGValue(c),
                (int)(rgb & 255) - GetBValue(c)};
    for (int v : d)
        if (v < -12 || v > 12)
            return false;
    return true;
}

// A clock in Pune with one photo in a scratch store; the main window a
// hidden window of this thread whose posted messages the test reads.
struct PhotoHost {
    CCaptionLanguage language;
    CRecordingShell shell;
    CTempFolder folder;
    std::wstring root;
    CityRecord city = {};
    TrayCopies copies = {};
    std::vector<ClockRecord> records = std::vector<ClockRecord>(1);
    TooltipEnvironment environment = {};
    HWND main = nullptr;
    CTooltip tooltip{language};

    explicit PhotoHost(const std::string& linkPath)
    {
        g_now = MakeTime(2026, 6, 17, 10, 30, 0);
        root = folder.Path().substr(0, folder.Path().size() - 1);
        CopyFixed(city.cityName, FIELD_WIDTH(city.cityName) - 1, L"Pune");
        CopyFixed(city.countryName, FIELD_WIDTH(city.countryName) - 1, L"India");
        folder.AddFolder(L"India");
        folder.AddFolder(L"India\\Pune");
        folder.WriteBytes(L"India\\Pune\\index.tsv", "5\tx\t/i/5.jpg\tBridge\t" + linkPath + "\ty\t77\tAnna\r\n");
        TopDownPicture picture(40, 30, 3);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                uint8_t* p = picture.At(x, y);
                p[0] = GetRValue(kPhotoColor);
                p[1] = GetGValue(kPhotoColor);
                p[2] = GetBValue(kPhotoColor);
            }
        WriteJpegFile(folder.Path() + L"India\\Pune\\5.jpg", picture);

        ClockRecord& clock = records[0];
        clock.id = 1;
        clock.enabled = 1;
        CopyFixed(clock.caption, FIELD_WIDTH(clock.caption), L"Pune");
        CopyFixed(clock.location, FIELD_WIDTH(clock.location), L"Pune, India");
        CopyFixed(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName), L"Test Zone");
        copies.clocks = records.data();
        copies.clockRecords = 1;
        copies.cities = &city;
        copies.cityCount = 1;
        copies.settings.clockCount = 1;
        copies.settings.options = kOptTooltips | kOptCityPhotos;

        main = CreateWindowW(L"STATIC", L"main stand-in", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        environment.copies = &copies;
        environment.language = &language;
        environment.mainWindow = main;
        environment.photoRoot = root.c_str();
        environment.shell = &shell;
        environment.now = FakeNow;
        tooltip.SetEnvironment(&environment);
    }
    ~PhotoHost()
    {
        tooltip.Destroy();
        DestroyWindow(main);
    }

    bool Show()
    {
        TooltipStyle style = {};
        style.background = RGB(250, 250, 240);
        style.dayColor = RGB(10, 20, 30);
        if (!RegisterWindowClasses(GetModuleHandleW(nullptr)) || !tooltip.CreateTooltip())
            return false;
        tooltip.ApplySettings(style);
        tooltip.SetClock(0);
        tooltip.LoadPhoto();
        tooltip.ShowAt(RECT{600, 0, 700, 28}, true);
        GdiFlush();
        return tooltip.IsShown();
    }
    // The photo requests posted to the main window so far: their wParams.
    std::vector<int> Requests()
    {
        std::vector<int> cities;
        MSG msg;
        while (PeekMessageW(&msg, main, UM_REQUESTPHOTO, UM_REQUESTPHOTO, PM_REMOVE)) {
            EXPECT_EQ((LPARAM)tooltip.GetHandle(), msg.lParam);
            cities.push_back((int)msg.wParam);
        }
        return cities;
    }
    uint32_t At(int x, int y)
    {
        CDibSection& b = tooltip.BackBuffer();
        return b.GetPixel(x, b.GetHeight() - 1 - y) & 0xFFFFFF;
    }
    void Click(int x, int y) { SendMessageW(tooltip.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void ClickPhoto()
    {
        const RECT& r = tooltip.PhotoRect();
        Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
};

std::wstring SiteAddress(const std::wstring& path)
{
    std::wstring site = kCityPhotoSite;
    return site.substr(0, site.size() - 1) + path;
}

TEST(TooltipPhoto, ChosenFromTheStoreShownBesideTheCaptionAndRequested)
{
    PhotoHost host("/p/5.htm");
    ASSERT_TRUE(host.Show());
    EXPECT_EQ(0, host.tooltip.PhotoCity());
    EXPECT_EQ(std::vector<int>{0}, host.Requests());

    const RECT& photo = host.tooltip.PhotoRect();
    EXPECT_EQ(40, photo.right - photo.left);
    EXPECT_EQ(30, photo.bottom - photo.top);
    EXPECT_EQ(CTooltip::kMargin, photo.left);
    EXPECT_TRUE(Near(host.At((photo.left + photo.right) / 2, (photo.top + photo.bottom) / 2), kPhotoColor));
    RECT r;
    GetWindowRect(host.tooltip.GetHandle(), &r);
    EXPECT_GE(r.bottom - r.top, 30 + 2 * CTooltip::kMargin);
#ifdef TL_SHOTS_FOLDER
    {
        CDibSection& b = host.tooltip.BackBuffer();
        std::vector<uint8_t> rgb;
        for (int y = 0; y < b.GetHeight(); ++y)
            for (int x = 0; x < b.GetWidth(); ++x) {
                uint32_t p = host.At(x, y);
                rgb.insert(rgb.end(), {(uint8_t)(p >> 16), (uint8_t)(p >> 8), (uint8_t)p});
            }
        WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"tooltip_photo.png", b.GetWidth(), b.GetHeight(), 3,
                       rgb.data());
    }
#endif

    // the caption from the language's format: the photo's page and the author's
    const CLinkText& caption = host.tooltip.Caption();
    ASSERT_EQ(2, caption.LinkCount());
    EXPECT_EQ(L"/p/5.htm", caption.Link(0).target);
    EXPECT_EQ(L"/cms/authoring_photos.htm?author_id=77", caption.Link(1).target);
    EXPECT_GT(caption.GetRect().left, photo.right);

    // a photo reported ready while shown: asked for once more
    SendMessageW(host.tooltip.GetHandle(), UM_PHOTOREADY, 0, 0);   // no photo number
    SendMessageW(host.tooltip.GetHandle(), UM_PHOTOREADY, 3, 1);   // no such city
    EXPECT_TRUE(host.Requests().empty());
    SendMessageW(host.tooltip.GetHandle(), UM_PHOTOREADY, 0, 1);
    EXPECT_EQ(std::vector<int>{0}, host.Requests());

    // the author's link in the caption
    int author = -1;
    for (int i = 0; i < caption.WordCount(); ++i)
        if (caption.Word(i).link == 1)
            author = i;
    ASSERT_GE(author, 0);
    LinkBox box = caption.Word(author).box;
    host.Click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    ASSERT_EQ(1u, host.shell.opened.size());
    EXPECT_EQ(SiteAddress(L"/cms/authoring_photos.htm?author_id=77"), host.shell.opened[0]);
    EXPECT_FALSE(host.tooltip.IsShown());
}

TEST(TooltipPhoto, PhotoClickOpensOnlyPathsOnTheSite)
{
    struct Case {
        const char* path;
        bool opened;
    } cases[] = {
        {"/p/5.htm", true},
        // longer than the 100 characters the texts once kept
        {"/p/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
         "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.htm",
         true},
        {"//elsewhere.example/p", false},   // another host
        {"p/5.htm", false},                 // not from the site's root
        {"/p/5.htm x", false},
        {"/p\\..\\5.htm", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        PhotoHost host(c.path);
        ASSERT_TRUE(host.Show());
        host.ClickPhoto();
        if (c.opened) {
            ASSERT_EQ(1u, host.shell.opened.size());
            std::string path = c.path;
            EXPECT_EQ(SiteAddress(std::wstring(path.begin(), path.end())), host.shell.opened[0]);
            EXPECT_FALSE(host.tooltip.IsShown());
        } else {
            EXPECT_TRUE(host.shell.opened.empty());
            EXPECT_TRUE(host.tooltip.IsShown());
        }
    }
}

TEST(TooltipPhoto, HintFollowsTheCursorOverThePhotoOnly)
{
    PhotoHost host("/p/5.htm");
    ASSERT_TRUE(host.Show());
    EXPECT_EQ(nullptr, host.tooltip.HintWindow());
    const RECT& photo = host.tooltip.PhotoRect();
    HWND window = host.tooltip.GetHandle();
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(photo.left + 5, photo.top + 5));
    HWND hint = host.tooltip.HintWindow();
    ASSERT_NE(nullptr, hint);
    WCHAR name[64] = {};
    GetClassNameW(hint, name, 64);
    EXPECT_STREQ(L"tooltips_class32", name);
    EXPECT_EQ(window, GetWindow(hint, GW_OWNER));
    EXPECT_TRUE(IsWindowVisible(hint));
    RECT r;
    GetWindowRect(hint, &r);
    POINT cursor = {photo.left + 5, photo.top + 5};
    ClientToScreen(window, &cursor);
    // 16 pixels right of and below the cursor (the control may move its frame by a pixel)
    EXPECT_NEAR(cursor.x + 16, r.left, 1);
    EXPECT_NEAR(cursor.y + 16, r.top, 1);
    // beside the photo: gone
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(photo.right + 5, photo.top + 5));
    EXPECT_FALSE(IsWindowVisible(hint));
}

TEST(TooltipPhoto, NoPhotoInThePlainFormOrWithPhotosOff)
{
    for (uint32_t options : {kOptTooltips, kOptTooltips | kOptCityPhotos | kOptOtherTooltip}) {
        SCOPED_TRACE(options);
        PhotoHost host("/p/5.htm");
        host.copies.settings.options = options;
        ASSERT_TRUE(host.Show());
        EXPECT_EQ(-1, host.tooltip.PhotoCity());
        EXPECT_FALSE(host.tooltip.HasPhoto());
        EXPECT_TRUE(host.Requests().empty());
    }
}

}  // namespace

namespace {

// The shipped language's texts for the tooltip.
TEST(TooltipPhoto, ShippedCaptionFormatPassesTheCheck)
{
    HMODULE library = LoadLibraryExW(TL_RES_EN_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, library);
    WCHAR text[100] = {};
    EXPECT_GT(LoadStringW(library, 276, text, 100), 0);
    EXPECT_TRUE(IsPhotoCaptionFormat(text)) << text;
    EXPECT_GT(LoadStringW(library, 274, text, 100), 0);
    EXPECT_STREQ(L"Today is ", text);
    FreeLibrary(library);
}

}  // namespace
