#include <gtest/gtest.h>

#include "app/zones/ZoneDatabase.h"
#include "graphics/records/FixedText.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

// zones.txt and changes.txt of tests/data: zone 200 goes from -120 to -180 on
// 1 March 2026 and to -150 on 1 June; zone 400's change of 1 February stands
// after June's and waits for it.
class ZoneChanges : public testing::Test {
protected:
    ZoneChanges() : db(sys) {}
    void SetUp() override
    {
        ASSERT_TRUE(db.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        ASSERT_TRUE(db.LoadZoneChangesFile(TestDataPath(L"changes.txt").c_str()));
        testland = db.FindZoneIndexById(200);
        island = db.FindZoneIndexById(400);
        clock = {};
        clock.zone = db.Zone(testland);
        clock.flags = kClockUseDaylight;
    }
    int BiasOf(int index) const { return db.Zone(index).tzi.Bias; }

    CFakeSystemZone sys;
    CZoneDatabase db;
    int testland = -1, island = -1;
    ClockRecord clock;
};

}  // namespace

TEST_F(ZoneChanges, ReadsValidLinesOfKnownZones)
{
    ASSERT_EQ(3, db.ChangeCount());
    EXPECT_EQ(PackedDateKey(MakeTime(2026, 3, 1)), db.Change(0).key);
    EXPECT_EQ(&db.Zone(testland), db.Change(0).target);
    EXPECT_EQ(-180, db.Change(0).replacement.tzi.Bias);
    // every line starts from the zone as loaded, not from the change before it
    EXPECT_TRUE(FixedEquals(db.Change(1).replacement.displayName, 128, L"(UTC+02:00) Testland"));
}

TEST_F(ZoneChanges, AppliedInOrderOnceEachWhenDue)
{
    EXPECT_EQ(0, db.ApplyDueZoneChanges(MakeTime(2026, 2, 28, 23, 59, 59)));
    EXPECT_EQ(60, BiasOf(island));  // due, but behind a change that is not
    EXPECT_EQ(1, db.ApplyDueZoneChanges(MakeTime(2026, 3, 1)));  // the switching second itself
    EXPECT_EQ(-180, BiasOf(testland));
    EXPECT_TRUE(FixedEquals(db.Zone(testland).displayName, 128, L"(UTC+03:00) Testland, new"));
    EXPECT_EQ(0, db.ApplyDueZoneChanges(MakeTime(2026, 5, 1)));
    EXPECT_EQ(2, db.ApplyDueZoneChanges(MakeTime(2026, 6, 2)));
    EXPECT_EQ(-150, BiasOf(testland));
    EXPECT_TRUE(FixedEquals(db.Zone(testland).displayName, 128, L"(UTC+02:00) Testland"));
    EXPECT_EQ(0, BiasOf(island));
    EXPECT_EQ(0, db.ApplyDueZoneChanges(MakeTime(2027, 1, 1)));
    EXPECT_EQ(-120, db.LoadedZone(testland).tzi.Bias);
}

TEST_F(ZoneChanges, CityCountsSurviveChangesAndRestores)
{
    db.Zone(testland).cityCount = 7;
    db.ApplyDueZoneChanges(MakeTime(2026, 7, 1));
    EXPECT_EQ(7u, db.Zone(testland).cityCount);
    db.RestoreZoneTable(nullptr, 0);
    EXPECT_EQ(-120, BiasOf(testland));
    EXPECT_EQ(7u, db.Zone(testland).cityCount);
}

TEST_F(ZoneChanges, TickUndoesChangesWhenTheClockGoesBack)
{
    EXPECT_TRUE(db.UpdateZoneChanges(MakeTime(2026, 6, 2), &clock, 1));
    EXPECT_EQ(-150, clock.zone.tzi.Bias);
    EXPECT_FALSE(db.UpdateZoneChanges(MakeTime(2026, 6, 2, 0, 0, 1), &clock, 1));

    // back within the same year: the June rules are not in force yet
    EXPECT_TRUE(db.UpdateZoneChanges(MakeTime(2026, 4, 1), &clock, 1));
    EXPECT_EQ(-180, BiasOf(testland));
    EXPECT_EQ(-180, clock.zone.tzi.Bias);
    EXPECT_EQ(60, BiasOf(island));

    // back into an earlier year: everything as loaded
    EXPECT_TRUE(db.UpdateZoneChanges(MakeTime(2025, 12, 31), &clock, 1));
    EXPECT_EQ(-120, clock.zone.tzi.Bias);
    EXPECT_FALSE(db.UpdateZoneChanges(MakeTime(2025, 12, 31, 0, 0, 1), &clock, 1));

    // and forward again
    EXPECT_TRUE(db.UpdateZoneChanges(MakeTime(2026, 12, 1), &clock, 1));
    EXPECT_EQ(-150, clock.zone.tzi.Bias);
    EXPECT_EQ(0, BiasOf(island));
}

TEST_F(ZoneChanges, ClockZonesFollowTheirDaylightFlag)
{
    TimeZoneRecord europe = db.Zone(db.FindZoneIndexById(110));
    ClockRecord clocks[2] = {};
    clocks[0].zone = europe;
    clocks[0].flags = kClockUseDaylight;
    clocks[1].zone = europe;
    clocks[1].zone.tzi.Bias = 0;  // stale copy
    db.RefreshAllClockZones(clocks, 2);
    EXPECT_EQ(-60, clocks[0].zone.tzi.DaylightBias);
    EXPECT_EQ(-60, clocks[1].zone.tzi.Bias);
    EXPECT_EQ(0, clocks[1].zone.tzi.DaylightBias);

    TimeZoneRecord z = db.Zone(testland);
    z.cityCount = 4;
    EXPECT_TRUE(db.ApplyZoneChanges(&z, true, MakeTime(2026, 7, 1)));
    EXPECT_EQ(-150, z.tzi.Bias);
    EXPECT_EQ(4u, z.cityCount);
    z = db.LoadedZone(testland);
    EXPECT_FALSE(db.ApplyZoneChanges(&z, true, MakeTime(2026, 2, 1)));
    EXPECT_EQ(-120, z.tzi.Bias);

    z = europe;
    z.tzi.Bias = 5;
    EXPECT_TRUE(db.RefreshClockZone(&z, false));
    EXPECT_EQ(-60, z.tzi.Bias);
    EXPECT_EQ(0, z.tzi.DaylightBias);
    z.zoneId = 12345;
    EXPECT_FALSE(db.RefreshClockZone(&z, true));
}
