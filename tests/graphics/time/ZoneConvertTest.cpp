#include <gtest/gtest.h>

#include <string.h>

#include "graphics/records/FixedText.h"
#include "graphics/time/ZoneConvert.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

TimeZoneRecord Zone(const TIME_ZONE_INFORMATION& tzi, int standardRule, int daylightRule, const wchar_t* name)
{
    TimeZoneRecord z = {};
    z.tzi = tzi;
    z.standardRule = standardRule;
    z.daylightRule = daylightRule;
    CopyFixed(z.zoneName, FIELD_WIDTH(z.zoneName), name);
    return z;
}

TIME_ZONE_INFORMATION SouthernTzi()
{
    // UTC-4 with daylight saving from the second Sunday of October 00:00 to
    // the second Sunday of March 00:00 (daylight time)
    TIME_ZONE_INFORMATION tzi = {};
    tzi.Bias = 240;
    tzi.StandardDate = SYSTEMTIME{0, 3, 6, 2, 23, 59, 59, 999};
    tzi.DaylightDate = SYSTEMTIME{0, 10, 6, 2, 23, 59, 59, 999};
    tzi.DaylightBias = -60;
    return tzi;
}

}  // namespace

// The system path and the own arithmetic must agree on weekday-rule zones:
// either one going wrong shows here.
TEST(ZoneConvert, SystemAndOwnArithmeticAgree)
{
    TIME_ZONE_INFORMATION nz = {};
    nz.Bias = -720;
    nz.StandardDate = SYSTEMTIME{0, 4, 0, 1, 3, 0, 0, 0};
    nz.DaylightDate = SYSTEMTIME{0, 9, 0, 5, 2, 0, 0, 0};
    nz.DaylightBias = -60;
    TIME_ZONE_INFORMATION india = {};
    india.Bias = -330;
    TimeZoneRecord zones[] = {
        Zone(CentralEuropeTzi(), -1, -1, L"W. Europe Standard Time"),
        Zone(SouthernTzi(), 2, 2, L"Paraguay-like"),
        Zone(nz, 1, -1, L"New Zealand Standard Time"),
        Zone(india, 0, 0, L"India Standard Time"),
    };
    for (auto& z : zones) {
        ASSERT_TRUE(HasSystemRules(z));
        SYSTEMTIME utc = MakeTime(2025, 12, 30, 0, 17, 0);
        for (int i = 0; i < 2 * 366 * 8; ++i) {
            SYSTEMTIME sys, own;
            ASSERT_TRUE(UtcToZoneTime(utc, &sys, z));
            UtcToZoneTimeOwn(utc, &own, z);
            sys.wMilliseconds = own.wMilliseconds = 0;
            if (FormatTime(sys) != FormatTime(own)) {
                ADD_FAILURE() << "zone bias " << z.tzi.Bias << " at " << FormatTime(utc) << ": system "
                              << FormatTime(sys) << ", own " << FormatTime(own);
                break;
            }
            AddMinutes(utc, 180);
        }
    }
}

TEST(ZoneConvert, ClockLocalTime)
{
    ClockRecord clock = {};
    clock.zone = Zone(CentralEuropeTzi(), -1, -1, L"W. Europe Standard Time");
    SYSTEMTIME summer = MakeTime(2026, 7, 1, 12), winter = MakeTime(2026, 1, 1, 12), out;

    clock.flags = kClockUseDaylight;
    GetClockLocalTime(summer, &out, clock);
    EXPECT_EQ(FormatTime(MakeTime(2026, 7, 1, 14)), FormatTime(out));

    // a named zone without daylight saving shows UTC - Bias all year
    clock.flags = 0;
    GetClockLocalTime(summer, &out, clock);
    EXPECT_EQ(FormatTime(MakeTime(2026, 7, 1, 13)), FormatTime(out));
    GetClockLocalTime(winter, &out, clock);
    EXPECT_EQ(FormatTime(MakeTime(2026, 1, 1, 13)), FormatTime(out));

    // "Local System Time" keeps its daylight biases whatever the flag says
    CopyFixed(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName), kLocalZoneName);
    GetClockLocalTime(summer, &out, clock);
    EXPECT_EQ(FormatTime(MakeTime(2026, 7, 1, 14)), FormatTime(out));

    // a timer that is not anchored to a moment runs on UTC; an anchored one on its zone
    clock.kind = kClockTimer | kClockCountdown;
    GetClockLocalTime(summer, &out, clock);
    EXPECT_EQ(FormatTime(summer), FormatTime(out));
    clock.kind |= kClockFixedMoment;
    GetClockLocalTime(summer, &out, clock);
    EXPECT_EQ(FormatTime(MakeTime(2026, 7, 1, 14)), FormatTime(out));
}

namespace {

BOOL WINAPI RefusingConvert(const TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME* out)
{
    memset(out, 0xff, sizeof(*out));
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

}  // namespace

TEST(ZoneConvert, ClockLocalTimeIsValidWhenTheSystemRefuses)
{
    ClockRecord clock = {};
    clock.zone = Zone(CentralEuropeTzi(), -1, -1, L"W. Europe Standard Time");
    clock.flags = kClockUseDaylight;
    SYSTEMTIME utc = MakeTime(2026, 7, 1, 12), out;
    EXPECT_FALSE(UtcToZoneTime(utc, &out, clock.zone, RefusingConvert));
    GetClockLocalTime(utc, &out, clock, RefusingConvert);
    EXPECT_EQ(FormatTime(MakeTime(2026, 7, 1, 14)), FormatTime(out));
}

TEST(ZoneConvert, ClocksSortLatestFirstThenByCaption)
{
    ClockRecord a = {}, b = {};
    a.localTime = MakeTime(2026, 1, 1, 10);
    b.localTime = MakeTime(2026, 1, 1, 9);
    EXPECT_GT(0, CompareClocksByTime(a, b));  // a is later: it sorts first
    b.localTime = a.localTime;
    wcscpy(a.caption, L"Berlin");
    wcscpy(b.caption, L"Athens");
    EXPECT_LT(0, CompareClocksByTime(a, b));
    // a caption filled to its width has no terminator
    for (auto& c : b.caption)
        c = L'Z';
    EXPECT_GT(0, CompareClocksByTime(a, b));
}
