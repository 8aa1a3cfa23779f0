// The settings program's watch for dated zone changes, with a clock the test sets.
#include <gtest/gtest.h>

#include "app/zones/ZoneDatabase.h"
#include "settings/frame/ZoneChangeWatch.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

class CFixedUtcClock : public IUtcClock {
public:
    SYSTEMTIME NowUtc() override { return now; }
    SYSTEMTIME now = {};
};

// Zone 200 of tests/data/zones.txt ("Testland", -120 as loaded) moves to
// -180 on 1 March 2026 and to -150 on 1 January 2027.
const char kChanges[] =
    "200\t2026.03.01 00:00:00\t(UTC+03:00) Testland, new\t-180\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\r\n"
    "200\t2027.01.01 00:00:00\t\t-150\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\r\n";

class ZoneWatch : public testing::Test {
protected:
    ZoneWatch() : db(sys), changes(kChanges), watch(clock, db) {}
    void SetUp() override
    {
        ASSERT_TRUE(db.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        ASSERT_TRUE(db.LoadZoneChangesFile(changes.Path()));
        testland = db.FindZoneIndexById(200);
        ASSERT_GE(testland, 0);
        record = {};
        record.zone = db.Zone(testland);
        record.flags = kClockUseDaylight;
    }
    bool CheckAt(const SYSTEMTIME& t)
    {
        clock.now = t;
        return watch.Check(&record, 1);
    }

    CFakeSystemZone sys;
    CZoneDatabase db;
    CTempFile changes;
    CFixedUtcClock clock;
    CZoneChangeWatch watch;
    int testland = -1;
    ClockRecord record;
};

}  // namespace

TEST_F(ZoneWatch, ChecksOncePerUtcSecond)
{
    EXPECT_FALSE(CheckAt(MakeTime(2026, 2, 28, 23, 59, 59)));
    EXPECT_EQ(-120, record.zone.tzi.Bias);
    EXPECT_TRUE(CheckAt(MakeTime(2026, 3, 1)));
    EXPECT_EQ(-180, record.zone.tzi.Bias);

    // undone behind the watch's back: within the same second it does not look
    db.RestoreZoneTable(&record, 1);
    ASSERT_EQ(-120, record.zone.tzi.Bias);
    SYSTEMTIME sameSecond = MakeTime(2026, 3, 1);
    sameSecond.wMilliseconds = 600;
    EXPECT_FALSE(CheckAt(sameSecond));
    EXPECT_EQ(-120, record.zone.tzi.Bias);
    // the next second it does
    EXPECT_TRUE(CheckAt(MakeTime(2026, 3, 1, 0, 0, 1)));
    EXPECT_EQ(-180, record.zone.tzi.Bias);
    // the same second of another day is another check
    db.RestoreZoneTable(&record, 1);
    EXPECT_TRUE(CheckAt(MakeTime(2026, 3, 2, 0, 0, 1)));
    EXPECT_EQ(-180, record.zone.tzi.Bias);
}

TEST_F(ZoneWatch, JanuaryBackToDecemberRestoresTheLoadedTable)
{
    EXPECT_TRUE(CheckAt(MakeTime(2027, 1, 10, 12)));
    EXPECT_EQ(-150, record.zone.tzi.Bias);
    EXPECT_EQ(-150, db.Zone(testland).tzi.Bias);

    // back into the year before: January's rule goes, March's is due again
    EXPECT_TRUE(CheckAt(MakeTime(2026, 12, 31, 12)));
    EXPECT_EQ(-180, db.Zone(testland).tzi.Bias);
    EXPECT_EQ(-180, record.zone.tzi.Bias);
    // and before March nothing of the file is in force
    EXPECT_TRUE(CheckAt(MakeTime(2025, 12, 31, 12)));
    EXPECT_EQ(-120, record.zone.tzi.Bias);
}
