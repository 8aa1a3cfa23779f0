#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "graphics/clock/Clock.h"
#include "graphics/text/DurationFormat.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/Graphics.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/skin/MechSkin.h"
#include "graphics/system/Handles.h"
#include "graphics/image/PixelOps.h"
#include "tests/support/FakeLanguage.h"
#include "tests/support/TestFiles.h"

namespace {

const uint64_t kSecond = 10000000;

struct ClockHost {
    CFakeLanguage language;
    CUnitNames units;
    uint32_t shades[256];
    ClockContext context = {};
    ClockHost()
    {
        BuildShadeTable(shades);
        context.language = &language;
        context.unitNames = &units;
        context.shadeTable = shades;
    }
};

// A zone-less time clock: its local time is UTC.
ClockRecord TimeClock(const wchar_t* timeFormat, const wchar_t* dateFormat = L"")
{
    ClockRecord r = {};
    r.id = 1;
    r.enabled = 1;
    CopyFixed(r.timeFormat, FIELD_WIDTH(r.timeFormat), timeFormat);
    CopyFixed(r.dateFormat, FIELD_WIDTH(r.dateFormat), dateFormat);
    CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), L"Test Zone");
    return r;
}

ClockProfileRecord WindowProfile(int startMinute, int endMinute, uint32_t weekdays)
{
    ClockProfileRecord p = {};
    p.enabled = 1;
    p.startMinute = startMinute;
    p.endMinute = endMinute;
    p.weekdays = weekdays;
    p.color = RGB(255, 0, 0);
    p.weight = 128;
    return p;
}

ClockProfileRecord LimitProfile(uint64_t first, uint64_t second)
{
    ClockProfileRecord p = {};
    p.enabled = 1;
    p.rangeStartUtc = first;
    p.rangeEndUtc = second;
    return p;
}

// A font style bound to a 32-bit canvas.
struct FontStyle {
    CDibSection canvas;
    CGraphics* style = new CGraphics();
    explicit FontStyle(int size = 10)
    {
        canvas.Create(400, 200);
        style->Load(L"Arial", 0, size, FW_NORMAL, 0);
        style->SetDC(canvas.GetDC(), nullptr);
    }
};

int Width(const RECT& r)
{
    return r.right - r.left;
}
int Height(const RECT& r)
{
    return r.bottom - r.top;
}

}  // namespace

TEST(ClockUpdate, ResultFollowsTheShownFields)
{
    struct Case {
        SYSTEMTIME before, after;
        bool seconds;
        int result;
    } cases[] = {
        {MakeTime(2030, 5, 6, 9, 59, 0), MakeTime(2030, 5, 6, 10, 0, 0), false, kClockRelayout},   // hour tens
        {MakeTime(2030, 5, 6, 10, 0, 0), MakeTime(2030, 5, 6, 10, 1, 0), false, kClockRepaint},
        {MakeTime(2030, 5, 6, 10, 1, 5), MakeTime(2030, 5, 6, 10, 1, 6), false, kClockUnchanged},
        {MakeTime(2030, 5, 6, 10, 1, 5), MakeTime(2030, 5, 6, 10, 1, 6), true, kClockRepaint},
        {MakeTime(2030, 5, 6, 10, 1, 6), MakeTime(2030, 5, 6, 10, 1, 6), true, kClockUnchanged},
        {MakeTime(2030, 5, 6, 18, 59, 59), MakeTime(2030, 5, 6, 19, 0, 0), true, kClockRepaint},  // 1x stays
        {MakeTime(2030, 5, 6, 23, 59, 59), MakeTime(2030, 5, 7, 23, 59, 59), true, kClockRelayout},  // date
        {MakeTime(2030, 5, 6, 3, 0, 0), MakeTime(2030, 6, 6, 3, 0, 0), false, kClockRelayout},
    };
    ClockHost host;
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatTime(c.before) + " -> " + FormatTime(c.after));
        ClockRecord r = TimeClock(L"HH:mm");
        r.flags = c.seconds ? kClockShowsSeconds : 0;
        CClock clock(r, nullptr, host.context);
        clock.Update(c.before);
        ASSERT_EQ(c.before.wHour, clock.Record().localTime.wHour);
        EXPECT_EQ(c.result, clock.Update(c.after));
        EXPECT_EQ(c.after.wMinute, clock.Record().localTime.wMinute);
    }
}

TEST(ClockProfiles, TimeWindowsWithWeekdaysAndMidnight)
{
    const uint32_t kFriday = 1u << 5, kWeekdays = 0x3E;
    struct Case {
        ClockProfileRecord profile;
        SYSTEMTIME time;
        bool active;
    } cases[] = {
        // 22:00-06:00 on Friday only
        {WindowProfile(22 * 60, 6 * 60, kFriday), MakeTime(2030, 5, 10, 23, 0), true},   // Friday
        {WindowProfile(22 * 60, 6 * 60, kFriday), MakeTime(2030, 5, 11, 5, 0), true},    // Saturday morning
        {WindowProfile(22 * 60, 6 * 60, kFriday), MakeTime(2030, 5, 10, 5, 0), false},   // Friday morning
        {WindowProfile(22 * 60, 6 * 60, kFriday), MakeTime(2030, 5, 11, 6, 0), false},   // end is exclusive
        {WindowProfile(22 * 60, 6 * 60, kFriday), MakeTime(2030, 5, 11, 22, 0), false},
        // 08:00-17:00 Monday to Friday
        {WindowProfile(8 * 60, 17 * 60, kWeekdays), MakeTime(2030, 5, 6, 8, 0), true},
        {WindowProfile(8 * 60, 17 * 60, kWeekdays), MakeTime(2030, 5, 6, 16, 59), true},
        {WindowProfile(8 * 60, 17 * 60, kWeekdays), MakeTime(2030, 5, 6, 17, 0), false},
        {WindowProfile(8 * 60, 17 * 60, kWeekdays), MakeTime(2030, 5, 5, 12, 0), false},  // Sunday
        // equal start and end: the whole day
        {WindowProfile(0, 0, 1u << 1), MakeTime(2030, 5, 6, 13, 0), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatTime(c.time));
        ClockRecord r = TimeClock(L"HH:mm");
        r.localTime = c.time;
        EXPECT_EQ(c.active, IsProfileActive(r, c.profile));
        ClockProfileRecord disabled = c.profile;
        disabled.enabled = 0;
        EXPECT_FALSE(IsProfileActive(r, disabled));
    }
}

TEST(ClockProfiles, TimerLimits)
{
    struct Case {
        uint32_t kind;
        uint64_t anchor, value;
        ClockProfileRecord profile;
        bool active;
    } cases[] = {
        // plain countdown, last minute and the end
        {kClockTimer | kClockCountdown, 0, 61 * kSecond, LimitProfile(60 * kSecond, 0), false},
        {kClockTimer | kClockCountdown, 0, 60 * kSecond, LimitProfile(60 * kSecond, 0), true},
        {kClockTimer | kClockCountdown, 0, 1 * kSecond, LimitProfile(60 * kSecond, 0), true},
        {kClockTimer | kClockCountdown, 0, 0, LimitProfile(60 * kSecond, 0), true},
        // a second limit above 0 ends the profile there
        {kClockTimer | kClockCountdown, 0, 11 * kSecond, LimitProfile(60 * kSecond, 10 * kSecond), true},
        {kClockTimer | kClockCountdown, 0, 10 * kSecond, LimitProfile(60 * kSecond, 10 * kSecond), false},
        {kClockTimer | kClockCountdown, 0, 0, LimitProfile(60 * kSecond, 10 * kSecond), false},
        // plain stopwatch: first <= elapsed < second
        {kClockTimer, 0, 30 * kSecond, LimitProfile(30 * kSecond, 40 * kSecond), true},
        {kClockTimer, 0, 40 * kSecond, LimitProfile(30 * kSecond, 40 * kSecond), false},
        {kClockTimer, 0, 29 * kSecond, LimitProfile(30 * kSecond, 40 * kSecond), false},
        // anchored: the moment now, end - remaining or start + elapsed
        {kClockTimer | kClockCountdown | kClockFixedMoment, 1000 * kSecond, 100 * kSecond,
         LimitProfile(900 * kSecond, 901 * kSecond), true},
        {kClockTimer | kClockFixedMoment, 1000 * kSecond, 100 * kSecond,
         LimitProfile(1100 * kSecond, 1101 * kSecond), true},
        {kClockTimer | kClockFixedMoment, 1000 * kSecond, 100 * kSecond,
         LimitProfile(900 * kSecond, 901 * kSecond), false},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        ClockRecord r = {};
        r.kind = c.kind;
        r.timerAnchorUtc = c.anchor;
        r.timerValue = c.value;
        EXPECT_EQ(c.active, IsProfileActive(r, c.profile));
    }
}

TEST(ClockProfiles, FindActiveProfileOrder)
{
    ClockRecord r = TimeClock(L"HH:mm");
    r.localTime = MakeTime(2030, 5, 6, 12, 0);  // Monday
    r.profileCount = 3;
    r.profiles[0] = WindowProfile(0, 60, 0x7F);          // not now
    r.profiles[1] = WindowProfile(11 * 60, 13 * 60, 0x7F);
    r.profiles[2] = WindowProfile(0, 0, 0x7F);
    r.profilesEnabled = 1;
    EXPECT_EQ(1, FindActiveProfile(r, -1, nullptr, nullptr));
    EXPECT_EQ(0, FindActiveProfile(r, 0, nullptr, nullptr));         // preferred wins
    EXPECT_EQ(kNoProfile, FindActiveProfile(r, 3, nullptr, nullptr));  // beyond the count
    r.profilesEnabled = 0;
    EXPECT_EQ(kNoProfile, FindActiveProfile(r, -1, nullptr, nullptr));
    EXPECT_EQ(2, FindActiveProfile(r, 2, nullptr, nullptr));

    // the computer's own zone with its active highlight
    LocalZoneState local = {};
    CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), kLocalZoneName);
    ClockProfileRecord highlight = WindowProfile(0, 0, 0x7F);
    EXPECT_EQ(kLocalZoneProfile, FindActiveProfile(r, 1, &local, &highlight));
    highlight.enabled = 0;
    EXPECT_EQ(1, FindActiveProfile(r, 1, &local, &highlight));
    // timers never take it
    highlight.enabled = 1;
    r.kind = kClockTimer;
    EXPECT_NE(kLocalZoneProfile, FindActiveProfile(r, -1, &local, &highlight));

    // a record claiming more than 12 profiles reads no further
    ClockRecord many = TimeClock(L"HH:mm");
    many.profileCount = 1000;
    many.profilesEnabled = 1;
    EXPECT_EQ(kNoProfile, FindActiveProfile(many, -1, nullptr, nullptr));
    EXPECT_EQ(kNoProfile, FindActiveProfile(many, 12, nullptr, nullptr));
}

TEST(ClockHands, AnglesOf12And24HourFaces)
{
    struct Case {
        SYSTEMTIME time;
        int faceAngle;
        bool face24h;
        HandAngles angles;
    } cases[] = {
        {MakeTime(2030, 1, 1, 3, 0, 0), 0, false, {0, 270, 270}},
        {MakeTime(2030, 1, 1, 15, 0, 0), 0, false, {0, 270, 270}},
        {MakeTime(2030, 1, 1, 0, 0, 15), 0, false, {270, 270, 0}},
        {MakeTime(2030, 1, 1, 15, 30, 45), 0, false, {15, 90, 180}},
        {MakeTime(2030, 1, 1, 6, 0, 0), 0, true, {0, 270, 270}},
        {MakeTime(2030, 1, 1, 18, 0, 0), 0, true, {180, 270, 270}},
        {MakeTime(2030, 1, 1, 3, 0, 0), 90, false, {90, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatTime(c.time));
        HandAngles a = GetHandAngles(c.time, c.faceAngle, c.face24h);
        EXPECT_EQ(c.angles.hour, a.hour);
        EXPECT_EQ(c.angles.minute, a.minute);
        EXPECT_EQ(c.angles.second, a.second);
    }
}

TEST(ClockFont, GrowsInStepsToSeventyTwoAndShrinksNotBelowNominal)
{
    ClockHost host;
    FontStyle font(8);
    CClock clock(TimeClock(L"HH:mm"), font.style, host.context);
    clock.SetFontSize(10);
    LONG styleHeight = font.style->GetLogFont().lfHeight;
    const int steps[] = {12, 15, 18, 22, 27, 33, 41, 51, 63, 72};
    int previousWidth = 0;
    for (int size : steps) {
        ASSERT_TRUE(clock.ChangeFontSize(font.canvas.GetDC(), true));
        EXPECT_EQ(size, clock.GetFontSize());
        // measured again with the new size
        EXPECT_GT(Width(clock.GetRect()), previousWidth);
        previousWidth = Width(clock.GetRect());
    }
    EXPECT_FALSE(clock.ChangeFontSize(font.canvas.GetDC(), true));
    EXPECT_EQ(72, clock.GetFontSize());

    ASSERT_TRUE(clock.ChangeFontSize(font.canvas.GetDC(), false));
    EXPECT_EQ(57, clock.GetFontSize());
    clock.SetFontSize(9);
    EXPECT_FALSE(clock.ChangeFontSize(font.canvas.GetDC(), false));
    EXPECT_EQ(9, clock.GetFontSize());
    // the style's own font height and size are left as they were
    EXPECT_EQ(styleHeight, font.style->GetLogFont().lfHeight);
    EXPECT_EQ(8, clock.GetSkinFontSize());
}

TEST(ClockFont, NegativePixelSizesStopAtMinus200)
{
    ClockHost host;
    FontStyle font(8);
    CClock clock(TimeClock(L"HH:mm"), font.style, host.context);
    clock.SetFontSize(-180);
    ASSERT_TRUE(clock.ChangeFontSize(font.canvas.GetDC(), true));
    EXPECT_EQ(-200, clock.GetFontSize());
    clock.SetFontSize(0);  // no size set: nothing to change
    EXPECT_FALSE(clock.ChangeFontSize(font.canvas.GetDC(), true));
}

TEST(ClockMeasure, OneLineWhenLowAndTwoLinesWhenNarrow)
{
    ClockHost host;
    FontStyle font(10);
    ClockRecord r = TimeClock(L"HH:mm", L"dd MMMM yyyy");
    r.localTime = MakeTime(2030, 9, 28, 23, 58, 58);
    CClock clock(r, font.style, host.context);
    HDC dc = font.canvas.GetDC();

    clock.Measure(dc, 1000, 20, nullptr, nullptr);  // too low for two lines
    RECT one = clock.GetRect();
    clock.Measure(dc, 50, 100, nullptr, nullptr);   // narrow and tall
    RECT two = clock.GetRect();
    EXPECT_EQ(0, one.left);
    EXPECT_EQ(0, two.top);
    EXPECT_GT(Width(one), Width(two));
    EXPECT_GT(Height(two), Height(one));

    SIZE blank, time, date;
    font.style->GetTextExtent(&blank, L" ", 1);
    font.style->GetTextExtent(&time, L"23:58", -1);
    font.style->GetTextExtent(&date, L"28 September 2030", -1);
    EXPECT_EQ(blank.cx + date.cx + 2 * CClock::kHorizontalMargin + time.cx, Width(one));
    EXPECT_EQ(2 * CClock::kHorizontalMargin + date.cx, Width(two));
    EXPECT_EQ(time.cy + 1 + date.cy + 2 * CClock::kVerticalMargin, Height(two));

    // wide and tall: one line fits, so automatic mode keeps it
    clock.Measure(dc, 1000, 100, nullptr, nullptr);
    EXPECT_EQ(Width(one), Width(clock.GetRect()));
    clock.SetLayoutMode(kLayoutTwoLines);
    clock.Measure(dc, 1000, 20, nullptr, nullptr);
    EXPECT_EQ(Width(two), Width(clock.GetRect()));
}

TEST(ClockMeasure, SampleTimeIsTheWidestDateOf2088)
{
    ClockHost host;
    FontStyle font(10);
    CClock clock(TimeClock(L"HH:mm", L"dddd, MMMM d"), font.style, host.context);
    SYSTEMTIME sample;
    clock.BuildSampleTime(&sample);
    EXPECT_EQ(2088, sample.wYear);
    EXPECT_EQ(23, sample.wHour);
    EXPECT_EQ(58, sample.wMinute);
    EXPECT_EQ(58, sample.wSecond);
    EXPECT_EQ(888, sample.wMilliseconds);
    // Wednesday and September are the longest English names
    EXPECT_EQ(3, sample.wDayOfWeek);
    EXPECT_EQ(9, sample.wMonth);
    EXPECT_EQ(22, sample.wDay);
    SYSTEMTIME check = sample;
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&check, &ft));
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &check));
    EXPECT_EQ(sample.wDayOfWeek, check.wDayOfWeek);
}

TEST(ClockRect, LivesInTheRecordAndSurvivesCopies)
{
    ClockHost host;
    CClock clock(TimeClock(L"HH:mm"), nullptr, host.context);
    RECT rect = {10, 20, 110, 45};
    clock.SetRect(rect);
    ClockRecord copy = clock.Record();
    RECT back = GetClockRect(copy);
    EXPECT_TRUE(EqualRect(&rect, &back));
}

namespace {

// Counts deletions through the owner veto of the style.
struct CountingOwner : IGraphicsOwner {
    int destroyed = 0;
    void OnGraphicsDestroyed(CGraphics*) override { ++destroyed; }
    bool CanDeleteGraphics(CGraphics*) override { return true; }
};

}  // namespace

// A face kept from an earlier second must equal one rendered afresh: the hands
// move with the minute (and the second with its hand), the tint with the
// profile's colour and the look with the flags, also within a minute.
TEST(ClockFace, KeptFaceMatchesAFreshOne)
{
    ClockHost host;
    std::wstring skins = std::wstring(TL_SHIPPED_DATA) + L"skins\\";
    CDibSection canvas;
    ASSERT_TRUE(canvas.Create(400, 400));
    auto makeClock = [&](const ClockRecord& r) {
        CMechSkin* skin = new CMechSkin(skins.c_str(), 0);
        skin->Load(L"Classic Analog", 0, 0, FW_NORMAL, 0);
        CMechClock* clock = new CMechClock(r, skin, host.context);
        clock->Update(MakeTime(2030, 5, 6, 10, 14, 0));
        clock->Measure(canvas.GetDC(), 120, 120, nullptr, nullptr);
        return clock;
    };
    auto faceBits = [](const CMechClock& clock) {
        GdiFlush();
        const CDibSection& face = clock.FaceBitmap();
        std::vector<uint32_t> bits;
        if (face.IsValid())
            bits.assign(face.GetBits(), face.GetBits() + (size_t)face.GetWidth() * face.GetHeight());
        return bits;
    };
    for (uint32_t hands : {0u, kClockSecondsHand}) {
        SCOPED_TRACE(hands);
        ClockRecord r = TimeClock(L"HH:mm");
        r.flags = hands;
        r.profilesEnabled = 1;
        r.profileCount = 1;
        r.profiles[0] = WindowProfile(10 * 60, 11 * 60, 0x7F);
        CMechClock* kept = makeClock(r);
        const int seconds[] = {0, 1, 30, 31, 59, 60, 61, 120};
        for (int second : seconds) {
            SCOPED_TRACE(second);
            SYSTEMTIME t = MakeTime(2030, 5, 6, 10, 14 + second / 60, second % 60);
            if (second == 31)
                kept->Record().profiles[0].color = RGB(0, 0, 255);
            if (second == 61)
                kept->Record().flags |= kClockTransparent;
            kept->Update(t);
            ClockRecord now = kept->Record();
            CMechClock* fresh = makeClock(now);
            fresh->Update(t);
            std::vector<uint32_t> keptBits = faceBits(*kept);
            ASSERT_FALSE(keptBits.empty());
            EXPECT_TRUE(keptBits == faceBits(*fresh));
            delete fresh;
        }
        delete kept;
    }
}

TEST(ClockLifetime, MixedKindsDeletedThroughTheBaseReleaseTheirStyle)
{
    ClockHost host;
    CountingOwner owner;
    CGraphics* style = new CGraphics();
    style->SetOwner(&owner);
    ClockRecord timer = TimeClock(L"");
    timer.kind = kClockTimer;
    CClock* clocks[] = {new CClock(TimeClock(L"HH:mm"), style, host.context),
                        new CTimer(timer, style, host.context)};
    EXPECT_EQ(2, style->GetRefCount());
    delete clocks[1];
    EXPECT_EQ(1, style->GetRefCount());
    EXPECT_EQ(0, owner.destroyed);
    delete clocks[0];
    EXPECT_EQ(1, owner.destroyed);
}

TEST(TimerClock, MeasuresPrefixAndTextBesideTheButton)
{
    ClockHost host;
    FontStyle font(10);
    ClockRecord r = TimeClock(L"");
    r.kind = kClockTimer | kClockCountdown;
    CopyFixed(r.timerFormat, FIELD_WIDTH(r.timerFormat), L"%H:%02m:%02s");
    CopyFixed(r.prefix, FIELD_WIDTH(r.prefix), L"Tea");
    r.timerValue = 3725 * kSecond;  // 1:02:05
    CTimer timer(r, font.style, host.context);
    EXPECT_FALSE(timer.HasButtonImage());
    EXPECT_TRUE(timer.ShowsSeconds());
    timer.Measure(font.canvas.GetDC(), 1000, 30, nullptr, nullptr);
    SIZE text;
    font.style->GetTextExtent(&text, L"Tea 1:02:05", -1);
    EXPECT_EQ(CTimer::kDefaultButtonSize + 2 * CClock::kHorizontalMargin + text.cx, Width(timer.GetRect()));
    EXPECT_EQ(text.cy + 2 * CClock::kVerticalMargin, Height(timer.GetRect()));

    // line breaks of the picture give two lines where they fit
    CopyFixed(timer.Record().timerFormat, FIELD_WIDTH(r.timerFormat), L"%H\\n%02m:%02s");
    timer.Measure(font.canvas.GetDC(), 1000, 100, nullptr, nullptr);
    EXPECT_GT(Height(timer.GetRect()), 2 * text.cy);
    timer.Measure(font.canvas.GetDC(), 1000, 20, nullptr, nullptr);
    EXPECT_EQ(text.cy + 2 * CClock::kVerticalMargin, Height(timer.GetRect()));
}

TEST(TimerClock, HitBoxWithoutImageIsTheWholeBox)
{
    ClockHost host;
    ClockRecord r = TimeClock(L"");
    r.kind = kClockTimer;
    CTimer timer(r, nullptr, host.context);
    timer.SetRect({100, 10, 200, 40});
    int right = 200 - CClock::kHorizontalMargin, size = CTimer::kDefaultButtonSize;
    int top = 10 + (30 - size) / 2;
    struct Case {
        POINT point;
        bool hit;
    } cases[] = {
        {{right - 1, top}, true},
        {{right - size, top + size - 1}, true},
        {{right, top}, false},
        {{right - size - 1, top}, false},
        {{right - 1, top - 1}, false},
        {{right - 1, top + size}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.point.x) + "," + std::to_string(c.point.y));
        EXPECT_EQ(c.hit, timer.HitButton(c.point));
    }
    CClock plain(TimeClock(L"HH:mm"), nullptr, host.context);
    plain.SetRect({100, 10, 200, 40});
    EXPECT_FALSE(plain.HitButton({right - 1, top}));
}

#ifdef TL_PROGRAM_FOLDER
TEST(TimerClock, ButtonFromTheLanguageLibraryAnswersOnItsPicture)
{
    CModule resources(LoadLibraryExW(TL_PROGRAM_FOLDER L"res_en.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(resources);
    ClockHost host;
    CBitmap button;
    host.context.timerButton = &button;
    host.context.resources = resources.Get();
    FontStyle font(10);
    ClockRecord r = TimeClock(L"");
    r.kind = kClockTimer;
    CTimer timer(r, font.style, host.context);
    ASSERT_TRUE(timer.HasButtonImage());
    ASSERT_TRUE(button.IsValid());
    EXPECT_EQ(1, button.GetBitCount());  // loaded once, monochrome
    SIZE size = timer.ButtonSize();
    timer.SetRect({0, 0, 100, 30});
    int left = 100 - CClock::kHorizontalMargin - size.cx, top = (30 - size.cy) / 2;
    EXPECT_FALSE(timer.HitButton({left, top}));  // corner: the key
    EXPECT_TRUE(timer.HitButton({left + size.cx / 2, top + size.cy / 2}));
    EXPECT_FALSE(timer.HitButton({left - 1, top + size.cy / 2}));
    // a second timer reuses the loaded source
    HBITMAP loaded = button.GetHandle();
    CTimer again(r, font.style, host.context);
    EXPECT_EQ(loaded, button.GetHandle());
}
#endif
