#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "graphics/clock/Clock.h"
#include "graphics/clock/ClockFactory.h"
#include "graphics/image/Bitmap.h"
#include "graphics/image/PixelOps.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/Graphics.h"
#include "graphics/skin/MechSkin.h"
#include "graphics/skin/Skin.h"
#include "graphics/text/DurationFormat.h"
#include "tests/support/FakeLanguage.h"
#include "tests/support/TestFiles.h"

namespace {

const uint64_t kSecond = 10000000;

std::wstring ShippedSkins()
{
    return std::wstring(TL_SHIPPED_DATA) + L"skins\\";
}

struct FactoryHost {
    CFakeLanguage language;
    CUnitNames units;
    uint32_t shades[256];
    ClockContext context = {};
    FactoryHost()
    {
        BuildShadeTable(shades);
        context.language = &language;
        context.unitNames = &units;
        context.shadeTable = shades;
    }
};

ClockRecord Record(uint32_t kind)
{
    ClockRecord r = {};
    r.id = 1;
    r.enabled = 1;
    r.kind = kind;
    CopyFixed(r.timeFormat, FIELD_WIDTH(r.timeFormat), L"HH:mm");
    CopyFixed(r.dateFormat, FIELD_WIDTH(r.dateFormat), L"None");
    CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), L"Test Zone");
    if (kind & kClockTimer) {
        CopyFixed(r.timerFormat, FIELD_WIDTH(r.timerFormat), L"%H:%02m:%02s");
        r.timerValue = 3725 * kSecond;
    }
    return r;
}

class CDeleteWatch : public IGraphicsOwner {
public:
    void OnGraphicsDestroyed(CGraphics*) override { ++destroyed; }
    bool CanDeleteGraphics(CGraphics*) override { return true; }
    int destroyed = 0;
};

enum class Built { Clock, Timer, Face };

Built KindOf(CClock* clock)
{
    if (dynamic_cast<CMechClock*>(clock))
        return Built::Face;
    return dynamic_cast<CTimer*>(clock) ? Built::Timer : Built::Clock;
}

// The same object as the constructors make it, with the constructors' padding.
CClock* BareClock(Built kind, const ClockRecord& record, CGraphics* skin, const ClockContext& context, bool overlay)
{
    switch (kind) {
    case Built::Face: {
        CMechClock* face = new CMechClock(record, dynamic_cast<CMechSkin*>(skin), context);
        face->SetOverlay(overlay);
        return face;
    }
    case Built::Timer:
        return new CTimer(record, skin, context);
    default:
        return new CClock(record, skin, context);
    }
}

SIZE Measured(CClock* clock, HDC dc)
{
    SYSTEMTIME sample = MakeTime(2030, 5, 6, 10, 15, 30);
    clock->Update(sample);
    clock->Measure(dc, 400, 400, nullptr, &sample);
    RECT r = clock->GetRect();
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

TEST(ClockSkinFactory, BuiltInNamesFolderSkinsAndFaces)
{
    std::wstring root = ShippedSkins();
    enum Type { Plain, Text, Face };
    struct Case {
        const wchar_t* root;
        const wchar_t* name;
        int largestFace;
        Type type;
        int faceWidth;      // Face only
    } cases[] = {
        {root.c_str(), L"Standard System Clock", 200, Plain, 0},
        {root.c_str(), L"CLASSIC TEMPOLAN STYLE", 200, Plain, 0},
        {root.c_str(), L"Blue LCD", 200, Text, 0},
        {root.c_str(), L"No Such Skin", 200, Text, 0},  // a font look, still a skin
        {root.c_str(), L"Classic Analog", 200, Face, 200},
        {root.c_str(), L"Classic Analog", 100, Face, 100},  // shrunk by a whole factor
        {nullptr, L"Classic Analog", 200, Plain, 0},
        {L"", L"Blue LCD", 200, Plain, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)) + (c.root && c.root[0] ? "" : " without root") +
                     " " + std::to_string(c.largestFace));
        CGraphics* skin = CreateClockSkin(c.root, c.name, c.largestFace, kTaskbarFontSize, nullptr, nullptr);
        ASSERT_NE(nullptr, skin);
        EXPECT_EQ(1, skin->GetRefCount());
        EXPECT_EQ(c.type != Plain, dynamic_cast<CSkin*>(skin) != nullptr);
        CMechSkin* mech = dynamic_cast<CMechSkin*>(skin);
        EXPECT_EQ(c.type == Face, mech != nullptr);
        if (mech) {
            EXPECT_NE(0u, skin->GetFeatures() & kSkinClockFace);
            EXPECT_EQ(c.faceWidth, mech->GetFaceWidth());
        }
        CDeleteWatch watch;
        skin->SetOwner(&watch);
        ReleaseClockSkin(skin);
        EXPECT_EQ(1, watch.destroyed);
    }
}

TEST(ClockSkinFactory, ReleaseKeepsAStyleClocksStillHold)
{
    FactoryHost host;
    CGraphics* skin = CreateClockSkin(ShippedSkins().c_str(), L"Blue LCD", kTaskbarLargestFace, kTaskbarFontSize,
                                      nullptr, nullptr);
    CDeleteWatch watch;
    skin->SetOwner(&watch);
    CClock* clock = CreateClock(Record(0), skin, host.context, ClockOptions{true});
    ReleaseClockSkin(skin);
    EXPECT_EQ(0, watch.destroyed);
    EXPECT_EQ(skin, clock->GetSkin());
    delete clock;
    EXPECT_EQ(1, watch.destroyed);
}

// Each record and skin gets the object the taskbar shows, padded as there:
// the padding shows as the measured size against the same object built with
// the constructors' defaults (2 pixels above and below, 4 at the sides).
TEST(ClockFactory, RecordAndSkinChooseTheObjectAndItsPadding)
{
    FactoryHost host;
    std::wstring root = ShippedSkins();
    CDibSection canvas;
    ASSERT_TRUE(canvas.Create(8, 8));
    struct Case {
        const wchar_t* skin;
        uint32_t kind;
        bool overlay;
        Built built;
        int vertical, horizontal;   // padding in pixels
    } cases[] = {
        {L"Standard System Clock", 0, true, Built::Clock, 2, 4},
        {L"Standard System Clock", kClockTimer | kClockCountdown, true, Built::Timer, 2, 4},
        {L"Classic Tempolan Style", 0, false, Built::Clock, 2, 4},
        {L"Blue LCD", 0, true, Built::Clock, 3, 4},
        {L"Blue LCD", kClockTimer, true, Built::Timer, 3, 4},
        {L"Classic Analog", 0, true, Built::Face, 0, 1},
        {L"Classic Analog", 0, false, Built::Face, 0, 1},
        // a face has no way to show a timer: the text, as with other skins
        {L"Classic Analog", kClockTimer | kClockCountdown, true, Built::Timer, 3, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.skin, c.skin + wcslen(c.skin)) + " kind " + std::to_string(c.kind) +
                     (c.overlay ? " overlay" : ""));
        CGraphics* skin = CreateClockSkin(root.c_str(), c.skin, kTaskbarLargestFace, kTaskbarFontSize, nullptr,
                                          nullptr);
        ClockRecord record = Record(c.kind);
        CClock* clock = CreateClock(record, skin, host.context, ClockOptions{c.overlay});
        ASSERT_NE(nullptr, clock);
        EXPECT_EQ(c.built, KindOf(clock));
        EXPECT_EQ(skin, clock->GetSkin());
        EXPECT_EQ(0, memcmp(&record, &clock->Record(), sizeof(record)));
        if (auto* face = dynamic_cast<CMechClock*>(clock)) {
            EXPECT_EQ(c.overlay, face->IsOverlay());
        }

        CClock* bare = BareClock(c.built, record, skin, host.context, c.overlay);
        SIZE built = Measured(clock, canvas.GetDC());
        SIZE plain = Measured(bare, canvas.GetDC());
        EXPECT_GT(plain.cx, 0);
        EXPECT_EQ(2 * (c.horizontal - CClock::kHorizontalMargin), built.cx - plain.cx);
        EXPECT_EQ(2 * (c.vertical - CClock::kVerticalMargin), built.cy - plain.cy);
        if (c.built == Built::Face) {
            // a square face with its padding, the empty caption over it
            EXPECT_EQ(clock->GetFaceSize() + 2 * c.horizontal, built.cx);
            EXPECT_EQ(clock->GetFaceSize() + 2 * c.vertical, built.cy);
        }
        delete bare;
        delete clock;
        ReleaseClockSkin(skin);
    }
}
