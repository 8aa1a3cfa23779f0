// The real system under Wine; the test run fixes TZ=Asia/Kolkata, so the
// computer's zone is known without touching it.
#include <gtest/gtest.h>

#include "app/zones/SystemZone.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/time/ZoneConvert.h"
#include "graphics/records/FixedText.h"
#include "tests/support/TestFiles.h"

TEST(SystemZone, ReadsTheComputersZoneAndItsRegistryName)
{
    CSystemZone sys;
    TIME_ZONE_INFORMATION tzi;
    ASSERT_TRUE(sys.GetTimeZone(&tzi));
    ASSERT_EQ(-330, tzi.Bias) << "run with TZ=Asia/Kolkata";

    CZoneDatabase db(sys);
    WCHAR name[256];
    EXPECT_LT(0, db.GetLocalRegistryZoneName(name, 256, nullptr));
    EXPECT_STREQ(L"India Standard Time", name);
    EXPECT_LT(0, db.GetLocalRegistryZoneName(name, 256, L"Display"));
    EXPECT_NE(nullptr, wcsstr(name, L"05:30")) << name;

    std::string line = "7\tIndia Standard Time\tFrom the file\t-330";
    for (int i = 4; i < 20; ++i)
        line += "\t";
    CTempFile file(line + "\n");
    ASSERT_TRUE(db.LoadTimeZonesFile(file.Path()));
    EXPECT_EQ(-330, db.Zone(0).tzi.Bias);
    EXPECT_FALSE(db.AutoDaylight());
    // the registry's display name replaces the file's
    EXPECT_FALSE(FixedEquals(db.Zone(1).displayName, 128, L"From the file"));
}

TEST(SystemZone, FirstWeekdayOfTheThreadsLocale)
{
    LCID saved = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
    EXPECT_EQ(0, GetLocaleFirstWeekday());  // Monday
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
    EXPECT_EQ(6, GetLocaleFirstWeekday());  // Sunday
    SetThreadLocale(saved);
}
