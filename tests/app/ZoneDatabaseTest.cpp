#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "app/zones/ZoneDatabase.h"
#include "graphics/records/FixedText.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

class ZoneDatabase : public testing::Test {
protected:
    ZoneDatabase() : db(sys) {}
    void Load()
    {
        ASSERT_TRUE(db.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
    }
    CFakeSystemZone sys;
    CZoneDatabase db;
};

ClockRecord ClockOf(const CZoneDatabase& db, int index, uint32_t flags)
{
    ClockRecord clock = {};
    clock.zone = db.Zone(index);
    clock.flags = flags;
    return clock;
}

std::string ZoneLine(int id, const std::string& name, int bias)
{
    std::string s = std::to_string(id) + "\t" + name + "\t(display)\t" + std::to_string(bias);
    for (int i = 4; i < 20; ++i)
        s += "\t";
    return s + "\n";
}

}  // namespace

TEST_F(ZoneDatabase, LoadsRecordZeroThenTheFile)
{
    Load();
    ASSERT_EQ(6, db.Count());  // record 0 and five accepted lines
    EXPECT_TRUE(FixedEquals(db.Zone(0).zoneName, 40, kLocalZoneName));
    EXPECT_TRUE(FixedEquals(db.Zone(0).displayName, 128, kLocalZoneName));
    EXPECT_EQ(0, db.Zone(0).zoneId);
    EXPECT_EQ(-60, db.Zone(0).tzi.Bias);
    EXPECT_EQ(-1, db.Zone(0).standardRule);  // wDay 5 of the system's record
    EXPECT_TRUE(db.AutoDaylight());
    EXPECT_EQ(110, db.Zone(2).zoneId);
    EXPECT_EQ(0, memcmp(&db.Zone(3), &db.LoadedZone(3), sizeof(TimeZoneRecord)));
    // loaded once only
    EXPECT_FALSE(db.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
    EXPECT_EQ(6, db.Count());
}

TEST_F(ZoneDatabase, MissingFileLeavesRecordZeroOnly)
{
    EXPECT_FALSE(db.LoadTimeZonesFile(TestDataPath(L"no-such-file.txt").c_str()));
    EXPECT_EQ(1, db.Count());
    EXPECT_FALSE(db.LoadZoneChangesFile(TestDataPath(L"no-such-file.txt").c_str()));
    EXPECT_EQ(0, db.ChangeCount());
}

TEST_F(ZoneDatabase, RegistryNamesReplaceTheFilesNames)
{
    sys.AddZoneKey(L"W. Europe Standard Time", L"(UTC+01:00) From the registry", L"Registry Std", L"");
    sys.AddZoneKey(L"UTC", L"", L"Ignored Std", L"Ignored Dlt");  // no display name: nothing taken
    Load();
    const TimeZoneRecord& europe = db.Zone(db.FindZoneByName(L"W. Europe Standard Time"));
    EXPECT_TRUE(FixedEquals(europe.displayName, 128, L"(UTC+01:00) From the registry"));
    EXPECT_TRUE(FixedEquals(europe.tzi.StandardName, 32, L"Registry Std"));
    EXPECT_TRUE(FixedEquals(europe.tzi.DaylightName, 32, L"W. Europe Daylight Time"));
    const TimeZoneRecord& utc = db.Zone(db.FindZoneByName(L"UTC"));
    EXPECT_TRUE(FixedEquals(utc.tzi.StandardName, 32, L"Coordinated Universal Time"));
}

TEST_F(ZoneDatabase, Lookups)
{
    EXPECT_EQ(-1, db.FindZoneByName(L"UTC"));  // no table yet
    EXPECT_EQ(-1, db.FindZoneIndexById(1));
    Load();
    EXPECT_EQ(1, db.FindZoneByName(L"UTC"));
    EXPECT_EQ(-1, db.FindZoneByName(L"utc"));  // case-sensitive
    EXPECT_EQ(-1, db.FindZoneByName(L"Nowhere"));
    // the file's zone of that name comes after record 0: the last match wins
    EXPECT_EQ(4, db.FindZoneByName(kLocalZoneName));
    EXPECT_EQ(0, db.FindZoneIndexById(0));
    EXPECT_EQ(3, db.FindZoneIndexById(200));
    EXPECT_EQ(-1, db.FindZoneIndexById(120));  // its line was rejected
}

TEST_F(ZoneDatabase, TablesGrowPast128Records)
{
    std::string zones, changes;
    for (int id = 1; id <= 200; ++id)
        zones += ZoneLine(id, "Zone " + std::to_string(id), id);
    for (int id = 1; id <= 150; ++id)
        changes += std::to_string(id) + "\t2026.01.01\t\t" + std::to_string(-id) + "\n";
    CTempFile zoneFile(zones), changeFile(changes);
    ASSERT_TRUE(db.LoadTimeZonesFile(zoneFile.Path()));
    ASSERT_EQ(201, db.Count());
    ASSERT_TRUE(db.LoadZoneChangesFile(changeFile.Path()));
    ASSERT_EQ(150, db.ChangeCount());
    EXPECT_EQ(200, db.FindZoneByName(L"Zone 200"));
    EXPECT_EQ(150, db.ApplyDueZoneChanges(MakeTime(2026, 1, 2)));
    EXPECT_EQ(-150, db.Zone(150).tzi.Bias);
    EXPECT_EQ(151, db.Zone(151).tzi.Bias);
}

TEST_F(ZoneDatabase, RefreshLocalZoneFollowsTheSystem)
{
    Load();
    ClockRecord clocks[2] = {ClockOf(db, 0, 0), ClockOf(db, 2, kClockUseDaylight)};
    db.Zone(0).cityCount = 3;
    TIME_ZONE_INFORMATION india = {};
    india.Bias = -330;
    sys.zone = india;
    db.RefreshLocalZone(clocks, 2);
    EXPECT_EQ(-330, db.Zone(0).tzi.Bias);
    EXPECT_EQ(-330, db.LoadedZone(0).tzi.Bias);
    EXPECT_EQ(3u, db.Zone(0).cityCount);
    EXPECT_FALSE(db.AutoDaylight());
    EXPECT_EQ(-330, clocks[0].zone.tzi.Bias);
    EXPECT_EQ(0u, clocks[0].flags & kClockUseDaylight);
    EXPECT_EQ(-60, clocks[1].zone.tzi.Bias);  // a named zone is left alone

    // daylight saving that the system does not apply by itself
    sys.zone = CentralEuropeTzi();
    sys.hasDisableValue = true;
    sys.disableValue = 1;
    db.RefreshLocalZone(clocks, 2);
    EXPECT_FALSE(db.AutoDaylight());
    sys.disableValue = 0;
    db.RefreshLocalZone(clocks, 2);
    EXPECT_TRUE(db.AutoDaylight());
    EXPECT_EQ(kClockUseDaylight | kClockDaylightInUse, clocks[0].flags);
}

TEST_F(ZoneDatabase, RegistryNameOfTheLocalZone)
{
    sys.AddZoneKey(L"Alpha Standard Time", L"(UTC) Alpha", L"Alpha Std", L"");
    sys.AddZoneKey(L"Romance Standard Time", L"(UTC+01:00) Paris", L"W. Europe Standard Time X", L"");
    sys.AddZoneKey(L"W. Europe Standard Time", L"(UTC+01:00) Berlin", L"W. Europe Standard Time", L"Dlt");
    WCHAR name[64];
    EXPECT_EQ(23, db.GetLocalRegistryZoneName(name, 64, nullptr));
    EXPECT_STREQ(L"W. Europe Standard Time", name);
    EXPECT_EQ(18, db.GetLocalRegistryZoneName(name, 64, L"Display"));
    EXPECT_STREQ(L"(UTC+01:00) Berlin", name);
    EXPECT_EQ(5, db.GetLocalRegistryZoneName(name, 6, nullptr));  // cut to the buffer
    EXPECT_STREQ(L"W. Eu", name);
    sys.zone.StandardName[0] = L'X';
    EXPECT_EQ(0, db.GetLocalRegistryZoneName(name, 64, nullptr));
    EXPECT_STREQ(L"", name);
    sys.zoneFails = true;
    EXPECT_EQ(0, db.GetLocalRegistryZoneName(name, 64, nullptr));
}

namespace {

int g_posts;
void CountPost(void*) { ++g_posts; }

}  // namespace

TEST_F(ZoneDatabase, SetSystemTimeZone)
{
    Load();
    TIME_ZONE_INFORMATION india = {};
    india.Bias = -330;
    sys.zone = india;
    db.RefreshLocalZone(nullptr, 0);
    ClockRecord clocks[2] = {ClockOf(db, 0, 0), ClockOf(db, 2, kClockUseDaylight)};

    g_posts = 0;
    sys.setFails = true;
    db.SetSystemTimeZone(clocks[1], clocks, 2, CountPost, nullptr);
    ASSERT_EQ(1u, sys.beeps.size());
    EXPECT_EQ(1500u, sys.beeps[0].first);
    EXPECT_EQ(100u, sys.beeps[0].second);
    EXPECT_EQ(0, sys.writes);
    EXPECT_EQ(0, sys.broadcasts);
    EXPECT_EQ(0, g_posts);

    // with daylight saving: the switch is removed and the local clocks follow
    sys.setFails = false;
    sys.hasDisableValue = true;
    sys.disableValue = 1;
    db.SetSystemTimeZone(clocks[1], clocks, 2, CountPost, nullptr);
    EXPECT_EQ(2, sys.privilegeCalls);
    EXPECT_EQ(2, sys.setCalls);
    EXPECT_FALSE(sys.hasDisableValue);
    EXPECT_TRUE(db.AutoDaylight());
    EXPECT_EQ(-60, db.Zone(0).tzi.Bias);
    EXPECT_EQ(-60, clocks[0].zone.tzi.Bias);
    EXPECT_EQ(1, sys.broadcasts);
    EXPECT_EQ(1, g_posts);

    // a clock without daylight saving writes the switch...
    ClockRecord plain = ClockOf(db, 2, 0);
    db.SetSystemTimeZone(plain, clocks, 2, CountPost, nullptr);
    EXPECT_TRUE(sys.hasDisableValue);
    EXPECT_EQ(1u, sys.disableValue);
    EXPECT_FALSE(db.AutoDaylight());
    EXPECT_EQ(2, sys.writes);
    // ... unless it is already set
    db.SetSystemTimeZone(plain, clocks, 2, CountPost, nullptr);
    EXPECT_EQ(2, sys.writes);
    EXPECT_EQ(3, g_posts);
}

TEST(LocalZone, WeekRulesOfTheSystemsRecord)
{
    struct { SYSTEMTIME date; int rule; } cases[] = {
        {SYSTEMTIME{0, 3, 0, 5, 2, 0, 0, 0}, -1},
        {SYSTEMTIME{0, 3, 0, 2, 2, 0, 0, 0}, 2},
        {SYSTEMTIME{0, 3, 0, 4, 2, 0, 0, 0}, 4},
        {SYSTEMTIME{2026, 3, 0, 29, 2, 0, 0, 0}, 0},  // a date with a year has no week rule
        {SYSTEMTIME{0, 0, 0, 0, 0, 0, 0, 0}, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.date.wYear << "/" << c.date.wMonth << "/" << c.date.wDay);
        CFakeSystemZone sys;
        sys.zone.DaylightDate = c.date;
        TimeZoneRecord z;
        memset(&z, 0xcc, sizeof(z));
        InitLocalZone(&z, sys);
        EXPECT_EQ(c.rule, z.daylightRule);
        EXPECT_EQ(-1, z.standardRule);
        EXPECT_EQ(0u, z.cityCount);
        EXPECT_TRUE(FixedEquals(z.zoneName, 40, kLocalZoneName));
    }
    CFakeSystemZone failing;
    failing.zoneFails = true;
    TimeZoneRecord z;
    InitLocalZone(&z, failing);
    EXPECT_EQ(0, z.tzi.Bias);
    EXPECT_EQ(0, z.tzi.DaylightDate.wMonth);
}

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
