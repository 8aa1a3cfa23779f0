#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "graphics/clock/ClockFactory.h"
#include "graphics/image/Bitmap.h"
#include "graphics/text/DurationFormat.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/Graphics.h"
#include "graphics/window/Window.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/image/PixelOps.h"
#include "taskbar/panel/ClockPanel.h"
#include "tests/support/FakeLanguage.h"
#include "tests/support/SkinFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

SYSTEMTIME g_now;
void FakeNow(SYSTEMTIME* utc)
{
    *utc = g_now;
}

// A panel over clock copies it owns, with a fixed clock.
struct PanelHost {
    CFakeLanguage language;
    CUnitNames units;
    uint32_t shades[256];
    PanelEnvironment environment = {};
    TrayCopies copies = {};
    ClockRecord records[kMaxClocks] = {};
    CClockPanel panel;

    PanelHost(const wchar_t* skin, const std::wstring& folder)
    {
        BuildShadeTable(shades);
        environment.context.language = &language;
        environment.context.unitNames = &units;
        environment.context.shadeTable = shades;
        panel.SetEnvironment(&environment);
        panel.SetClockSource(FakeNow);
        CopyFixed(copies.settings.skin, FIELD_WIDTH(copies.settings.skin), skin);
        CopyFixed(copies.settings.programFolder, FIELD_WIDTH(copies.settings.programFolder), folder.c_str());
        copies.settings.trayClocks = 12;
        copies.clocks = records;
        g_now = MakeTime(2026, 12, 10, 9, 30, 15);
    }
    ~PanelHost() { panel.Clear(); }

    void AddClock(uint32_t kind = 0, uint32_t flags = 0, bool enabled = true)
    {
        ClockRecord& r = records[copies.clockRecords++];
        r.id = copies.clockRecords;
        r.kind = kind;
        r.flags = flags;
        r.enabled = enabled;
        CopyFixed(r.timeFormat, FIELD_WIDTH(r.timeFormat), (flags & kClockShowsSeconds) ? L"HH:mm:ss" : L"HH:mm");
        if (kind & kClockTimer)
            CopyFixed(r.timerFormat, FIELD_WIDTH(r.timerFormat), L"%h:%m:%s");
        CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), L"Test Zone");
        copies.settings.clockCount = copies.clockRecords;
    }
};

std::wstring ShippedFolder()
{
    // the shipped skins live in data\skins
    return TL_SHIPPED_DATA;
}

// The standard style with text that shows on black as on the button face.
CGraphics* CreateLightTextSkin(const SettingsBlock& settings, CVisualStyles* styles)
{
    CGraphics* skin = CreatePanelSkin(settings, styles);
    if (skin)
        skin->SetTextColor(RGB(0xFF, 0xFF, 0xF0));
    return skin;
}

// The clock measured for a 200 x 40 room and painted at (0, 0) over a grey
// canvas, top-down; empty when it measured empty.
std::vector<uint32_t> Painted(CClock* clock, SIZE* size)
{
    CDibSection canvas;
    std::vector<uint32_t> pixels;
    if (!canvas.Create(8, 8))
        return pixels;
    clock->Update(g_now);
    clock->Measure(canvas.GetDC(), 200, 40, nullptr, &g_now);
    clock->Update(g_now);
    RECT r = clock->GetRect();
    *size = {r.right - r.left, r.bottom - r.top};
    CDibSection shot;
    if (size->cx <= 0 || size->cy <= 0 || !shot.Create(size->cx, size->cy))
        return pixels;
    OffsetRect(&r, -r.left, -r.top);
    clock->SetRect(r);
    for (int y = 0; y < size->cy; y++)
        for (int x = 0; x < size->cx; x++)
            shot.SetPixel(x, y, 0xFF808080);
    clock->Paint(shot.GetDC(), nullptr);
    GdiFlush();
    pixels.assign(shot.GetBits(), shot.GetBits() + (size_t)size->cx * size->cy);
    return pixels;
}

std::vector<int> Indexes(const CClockPanel& panel)
{
    std::vector<int> out;
    for (int i = 0; i < panel.Count(); i++)
        out.push_back(panel.Clock(i).index);
    return out;
}

}  // namespace

TEST(ClockPanel, ShowsTheLastTrayClocksOfTheEligibleOnes)
{
    CTempFolder folder;
    PanelHost host(kStandardStyleName, folder.Path());
    host.AddClock(0, 0, false);              // disabled
    host.AddClock(0, kClockOnDesktop);       // on the desktop
    for (int i = 0; i < 14; i++)
        host.AddClock();
    host.copies.settings.trayClocks = 10;
    host.panel.Rebuild(host.copies);
    std::vector<int> expected;
    for (int i = 6; i < 16; i++)
        expected.push_back(i);
    EXPECT_EQ(expected, Indexes(host.panel));

    // never more than twelve, whatever the settings say
    host.copies.settings.trayClocks = 40;
    host.panel.Rebuild(host.copies);
    EXPECT_EQ(12, host.panel.Count());
    EXPECT_EQ(4, host.panel.Clock(0).index);
}

TEST(ClockPanel, AnalogueSkinHidesTimersAndMakesFaces)
{
    PanelHost host(L"Classic Analog", ShippedFolder());
    host.AddClock();
    host.AddClock(kClockTimer);
    host.AddClock(kClockTimer | kClockCountdown);
    host.AddClock();
    host.panel.Rebuild(host.copies);
    EXPECT_EQ((std::vector<int>{0, 3}), Indexes(host.panel));
    ASSERT_EQ(2, host.panel.Count());
    EXPECT_NE(nullptr, dynamic_cast<CMechClock*>(host.panel.Object(0)));

    // a digital skin keeps the timers, as timer objects
    PanelHost digital(L"Blue LCD", ShippedFolder());
    digital.AddClock();
    digital.AddClock(kClockTimer);
    digital.panel.Rebuild(digital.copies);
    ASSERT_EQ(2, digital.panel.Count());
    EXPECT_NE(nullptr, dynamic_cast<CTimer*>(digital.panel.Object(1)));
}

// Whatever the panel does to its clocks, the factory does: a clock the
// factory builds from the panel's record copy and skin paints the same pixels.
TEST(ClockPanel, ClocksPaintAsTheFactoryBuildsThem)
{
    struct Case {
        const wchar_t* skin;
        uint32_t options;
    } cases[] = {
        {kStandardStyleName, 0},
        {L"Blue LCD", kOptTransparentSkin},
        {L"Classic Analog", kOptOverlayPrefixes},
        {L"Classic Analog", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.skin, c.skin + wcslen(c.skin)) + " options " + std::to_string(c.options));
        PanelHost host(c.skin, ShippedFolder());
        host.copies.settings.options = c.options;
        host.AddClock();
        host.AddClock(0, kClockShowsSeconds | kClockSecondsHand);
        CopyFixed(host.records[1].prefix, FIELD_WIDTH(host.records[1].prefix), L"Rome");
        CopyFixed(host.records[1].dateFormat, FIELD_WIDTH(host.records[1].dateFormat), L"dd.MM.");
        host.panel.Rebuild(host.copies);
        ASSERT_EQ(2, host.panel.Count());
        for (int i = 0; i < host.panel.Count(); i++) {
            SCOPED_TRACE(i);
            CClock* shown = host.panel.Object(i);
            const ClockRecord& record = host.copies.clocks[host.panel.Clock(i).index];
            ClockOptions options = {(c.options & kOptOverlayPrefixes) != 0};
            CClock* built = CreateClock(record, shown->GetSkin(), host.environment.context, options);
            SIZE shownSize = {}, builtSize = {};
            std::vector<uint32_t> shownPixels = Painted(shown, &shownSize);
            std::vector<uint32_t> builtPixels = Painted(built, &builtSize);
            delete built;
            ASSERT_FALSE(shownPixels.empty());
            EXPECT_EQ(shownSize.cx, builtSize.cx);
            EXPECT_EQ(shownSize.cy, builtSize.cy);
            EXPECT_TRUE(shownPixels == builtPixels);
        }
    }
}

TEST(ClockPanel, TicksOncePerSecondAndForcedAlways)
{
    CTempFolder folder;
    PanelHost host(kStandardStyleName, folder.Path());
    host.AddClock();                     // minutes only
    host.AddClock(0, kClockShowsSeconds);
    host.panel.Rebuild(host.copies);

    EXPECT_GE(host.panel.Tick(false), 1);    // first tick: everything new
    EXPECT_EQ(0, host.panel.Tick(false));    // same second
    EXPECT_GE(host.panel.Tick(true), 1);     // forced
    g_now.wSecond++;
    EXPECT_EQ(1, host.panel.Tick(false));    // the seconds clock changed
    g_now.wSecond = 59;
    host.panel.Tick(false);
    g_now.wMinute++;
    g_now.wSecond = 0;
    EXPECT_GE(host.panel.Tick(false), 1);
}

TEST(ClockPanel, LaysOutMeasuresAndHitTestsHalfOpen)
{
    CTempFolder folder;
    PanelHost host(kStandardStyleName, folder.Path());
    for (int i = 0; i < 4; i++)
        host.AddClock();
    host.panel.Rebuild(host.copies);
    host.panel.Tick(true);

    CDibSection dc;
    ASSERT_TRUE(dc.Create(8, 8));
    // a horizontal taskbar 40 pixels high: the clocks stand in columns
    host.panel.Layout(dc.GetDC(), nullptr, 1000, 40, true, 0);
    RECT extent = host.panel.GetRect();
    EXPECT_GT(extent.right, 0);
    EXPECT_LE(extent.bottom, 40);
    int right = 0, bottom = 0;
    for (int i = 0; i < host.panel.Count(); i++) {
        RECT r = host.panel.Clock(i).rect;
        right = r.right > right ? r.right : right;
        bottom = r.bottom > bottom ? r.bottom : bottom;
        // the record copy carries the place for the tooltip
        RECT stored = GetClockRect(host.copies.clocks[host.panel.Clock(i).index]);
        EXPECT_TRUE(EqualRect(&r, &stored));
        EXPECT_EQ(host.panel.Clock(i).index, host.panel.HitTest(r.left, r.top));
        EXPECT_NE(host.panel.Clock(i).index, host.panel.HitTest(r.right, r.top));
        EXPECT_EQ(&host.panel.Clock(i), host.panel.ClockById(host.copies.clocks[host.panel.Clock(i).index].id));
    }
    EXPECT_EQ(right, extent.right);
    EXPECT_EQ(bottom, extent.bottom);
    EXPECT_EQ(-1, host.panel.HitTest(extent.right, 0));
    EXPECT_EQ(nullptr, host.panel.ClockById(99));
}

TEST(ClockPanel, PaintsOverTheSkinsBackgroundBitmap)
{
    CTempFolder folder;
    ASSERT_TRUE(folder.AddFolder(L"skins"));
    const COLORREF kBackground = RGB(0x20, 0x80, 0x40);
    ASSERT_TRUE(folder.WriteBytes(L"skins\\bkg.bmp", BmpBytes(400, 60, [&](int, int) { return kBackground; })));
    PanelHost host(kStandardStyleName, folder.Path());
    host.AddClock();
    host.AddClock();
    host.panel.Rebuild(host.copies);
    host.panel.Tick(true);

    CDibSection target;
    ASSERT_TRUE(target.Create(400, 60));
    // a vertical taskbar 400 wide: both clocks on one row, 2 pixels apart
    host.panel.Layout(target.GetDC(), nullptr, 400, 60, false, 0);
    ASSERT_EQ(2, host.panel.Count());
    RECT first = host.panel.Clock(0).rect, second = host.panel.Clock(1).rect;
    ASSERT_EQ(first.right + host.panel.GetSpacing(), second.left);
    host.panel.Paint(nullptr, target.GetDC(), nullptr, false);
    GdiFlush();
    int y = (first.top + first.bottom) / 2;
    EXPECT_EQ(kBackground, GetPixel(target.GetDC(), first.right, y) & 0xFFFFFF);
    // the clocks drew their text over it
    bool drawn = false;
    for (int x = first.left; x < first.right && !drawn; x++)
        for (int row = first.top; row < first.bottom && !drawn; row++)
            drawn = (GetPixel(target.GetDC(), x, row) & 0xFFFFFF) != kBackground;
    EXPECT_TRUE(drawn);
}

// The off-screen bitmap lives from paint to paint: what a background bitmap
// smaller than the panel leaves uncovered must be cleared each time, or the
// digits of earlier paints stay there.
TEST(ClockPanel, AreaBeyondASmallBackgroundBitmapIsClearedEachPaint)
{
    CTempFolder folder;
    ASSERT_TRUE(folder.AddFolder(L"skins"));
    const int kBitmapWidth = 24, kBitmapHeight = 12;
    ASSERT_TRUE(folder.WriteBytes(L"skins\\bkg.bmp",
                                  BmpBytes(kBitmapWidth, kBitmapHeight, [](int, int) { return RGB(0x20, 0x80, 0x40); })));
    PanelHost host(kStandardStyleName, folder.Path());
    host.AddClock(0, kClockShowsSeconds);
    host.AddClock(0, kClockShowsSeconds);
    host.panel.SetSkinFunctions(CreateLightTextSkin, nullptr);
    host.panel.Rebuild(host.copies);
    host.panel.Tick(true);

    // the taskbar's clock window, never shown
    ASSERT_TRUE(RegisterWindowClasses(GetModuleHandleW(nullptr)));
    CWindow window;
    ASSERT_TRUE(window.Create(nullptr, L"", WS_POPUP, 0));
    CDibSection target;
    ASSERT_TRUE(target.Create(400, 60));
    host.panel.Layout(target.GetDC(), nullptr, 400, 60, false, 0);
    RECT extent = host.panel.GetRect();
    ASSERT_GT(extent.right - extent.left, kBitmapWidth);
    ASSERT_GT(extent.bottom - extent.top, kBitmapHeight);
    // the panel's pixels outside the background bitmap, after one paint at `now`
    auto paint = [&](const SYSTEMTIME& now) {
        g_now = now;
        host.panel.Tick(true);
        host.panel.Paint(window.GetHandle(), target.GetDC(), nullptr, false);
        GdiFlush();
        std::vector<COLORREF> pixels;
        for (int y = extent.top; y < extent.bottom; y++)
            for (int x = extent.left; x < extent.right; x++)
                if (x - extent.left >= kBitmapWidth || y - extent.top >= kBitmapHeight)
                    pixels.push_back(GetPixel(target.GetDC(), x, y));
        return pixels;
    };
    SYSTEMTIME first = MakeTime(2026, 12, 10, 9, 30, 15), other = MakeTime(2026, 12, 10, 18, 47, 58);
    auto differing = [](const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
        int n = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); i++)
            n += a[i] != b[i];
        return n;
    };
    std::vector<COLORREF> before = paint(first);
    std::vector<COLORREF> between = paint(other);
    EXPECT_GT(differing(before, between), 0);  // the digits did change
    for (int round = 0; round < 3; round++) {
        SCOPED_TRACE(round);
        EXPECT_EQ(0, differing(before, paint(first)));
        EXPECT_EQ(0, differing(between, paint(other)));
    }
}
