// The tray clock's receiver of pushed blocks: size rules, clamped counts,
// terminated texts and a fuzz run with reads checked against guard pages.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <random>
#include <vector>

#include "taskbar/tray/TrayCopies.h"
#include "tests/support/GuardedBytes.h"

namespace {

const WCHAR kFolder[] = L"C:\\Tempolan\\";

struct Copies : TrayCopies {
    Copies() { memset((TrayCopies*)this, 0, sizeof(TrayCopies)); }
    ~Copies()
    {
        FreeClockRecords(*this, true);
        FreeCityRecords(*this);
    }
};

LRESULT Push(TrayCopies& copies, ULONG_PTR id, const void* data, DWORD size, BlockResult* kind = nullptr)
{
    LRESULT reply = -1;
    BlockResult result = ReceiveTrayBlock(copies, id, size, data, kFolder, &reply);
    if (kind)
        *kind = result;
    return reply;
}

SettingsBlock Settings(uint32_t clockCount, uint32_t trayClocks)
{
    SettingsBlock s = {};
    s.clockCount = clockCount;
    s.trayClocks = trayClocks;
    return s;
}

std::vector<ClockRecord> Clocks(int n)
{
    std::vector<ClockRecord> clocks(n);
    memset(clocks.data(), 0, n * sizeof(ClockRecord));
    for (int i = 0; i < n; ++i) {
        clocks[i].id = i + 1;
        clocks[i].enabled = 1;
    }
    return clocks;
}

void PushClocks(TrayCopies& copies, int n)
{
    SettingsBlock s = Settings(n, 12);
    Push(copies, kBlockSettings, &s, sizeof(s));
    std::vector<ClockRecord> clocks = Clocks(n);
    Push(copies, kBlockClocks, clocks.data(), (DWORD)(n * sizeof(ClockRecord)));
}

}  // namespace

TEST(TrayCopies, SizeRulesOfEachBlock)
{
    struct Case {
        ULONG_PTR id;
        DWORD size;
        LRESULT reply;
        BlockResult kind;
    } cases[] = {
        {kBlockSettings, 1703, 0, BlockResult::Ignored},
        {kBlockSettings, 1704, 1, BlockResult::Settings},
        {kBlockSettings, 1705, 0, BlockResult::Ignored},
        {kBlockSettings, 0, 0, BlockResult::Ignored},
        {kBlockClocks, 0, 1, BlockResult::Clocks},
        {kBlockClocks, 2 * 5384, 1, BlockResult::Clocks},
        {kBlockClocks, 5384 + 1, 0, BlockResult::Ignored},
        {kBlockCities, 3 * 440, 0, BlockResult::Cities},
        {kBlockCities, 439, 0, BlockResult::Ignored},
        {kBlockAlarms + 1, 840, 1, BlockResult::Alarms},
        {kBlockAlarms + 1, 841, 0, BlockResult::Ignored},
        {kBlockAlarms + 29, 840, 1, BlockResult::Alarms},  // no such clock: acknowledged
        {kBlockAlarms + 30, 840, 0, BlockResult::Ignored},
        {3, 4, 0, BlockResult::Ignored},
        {99, 840, 0, BlockResult::Ignored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " size " << c.size);
        Copies copies;
        PushClocks(copies, 2);
        GuardedBytes bytes(c.size);
        memset(bytes.Data(), 0, c.size);
        BlockResult kind;
        EXPECT_EQ(c.reply, Push(copies, c.id, bytes.Data(), c.size, &kind));
        EXPECT_EQ((int)c.kind, (int)kind);
    }
}

TEST(TrayCopies, SizeZeroIsNeverReadAndNoDataIsIgnored)
{
    Copies copies;
    PushClocks(copies, 3);
    ASSERT_EQ(3, ClockCopyCount(copies));
    // a pointer that would fault if read
    EXPECT_EQ(1, Push(copies, kBlockClocks, (const void*)16, 0));
    EXPECT_EQ(0, ClockCopyCount(copies));
    EXPECT_EQ(nullptr, copies.clocks);
    BlockResult kind;
    EXPECT_EQ(0, Push(copies, kBlockClocks, nullptr, 5384, &kind));
    EXPECT_EQ((int)BlockResult::Ignored, (int)kind);
}

TEST(TrayCopies, CountsAreBoundByTheRecordsReceived)
{
    Copies copies;
    SettingsBlock s = Settings(1000, 99);
    Push(copies, kBlockSettings, &s, sizeof(s));
    EXPECT_EQ(30u, copies.settings.clockCount);
    EXPECT_EQ(12u, copies.settings.trayClocks);
    s.trayClocks = 0;
    Push(copies, kBlockSettings, &s, sizeof(s));
    EXPECT_EQ(1u, copies.settings.trayClocks);

    std::vector<ClockRecord> clocks = Clocks(2);
    clocks[1].flags = kClockOnDesktop;
    Push(copies, kBlockClocks, clocks.data(), 2 * sizeof(ClockRecord));
    EXPECT_EQ(2, ClockCopyCount(copies));
    EXPECT_EQ(1, copies.panelClocks);
    // a settings block pushed later cannot widen what was received
    s = Settings(30, 12);
    Push(copies, kBlockSettings, &s, sizeof(s));
    EXPECT_EQ(2, ClockCopyCount(copies));
    // more than 30 records: only 30 are taken
    std::vector<ClockRecord> many = Clocks(31);
    Push(copies, kBlockClocks, many.data(), 31 * sizeof(ClockRecord));
    EXPECT_EQ(30u, copies.clockRecords);
}

TEST(TrayCopies, TextsAreTerminatedAndForeignPointersCleared)
{
    Copies copies;
    SettingsBlock s;
    memset(&s, 0x41, sizeof(s));
    Push(copies, kBlockSettings, &s, sizeof(s));
    EXPECT_STREQ(kFolder, copies.settings.programFolder);  // the library's own folder wins
    EXPECT_EQ(0, copies.settings.skin[79]);
    EXPECT_EQ(0, copies.settings.language[15]);
    EXPECT_EQ(0, copies.settings.tooltip.todayFormat[47]);

    std::vector<ClockRecord> clocks(1);
    memset(clocks.data(), 0x41, sizeof(ClockRecord));
    clocks[0].kind = 0;
    Push(copies, kBlockClocks, clocks.data(), sizeof(ClockRecord));
    ASSERT_EQ(1u, copies.clockRecords);
    const ClockRecord& c = copies.clocks[0];
    EXPECT_EQ(0, c.timeFormat[31]);
    EXPECT_EQ(0, c.caption[77]);
    EXPECT_EQ(0, c.location[161]);
    EXPECT_EQ(0, c.zone.zoneName[39]);
    EXPECT_EQ(0, c.clickUrl[511]);
    EXPECT_EQ(0, c.profiles[11].label[77]);
    EXPECT_EQ(12u, c.profileCount);
    EXPECT_EQ(0u, c.alarmCount);
    EXPECT_EQ(0u, c.alarms.raw);

    std::vector<CityRecord> cities(2);
    memset(cities.data(), 0x41, 2 * sizeof(CityRecord));
    Push(copies, kBlockCities, cities.data(), 2 * sizeof(CityRecord));
    ASSERT_EQ(2u, copies.cityCount);
    EXPECT_EQ(0u, copies.cities[1].zoneRecord.raw);
    EXPECT_EQ(0, copies.cities[1].cityName[79]);
}

TEST(TrayCopies, AlarmListsFollowTheirClockBlock)
{
    Copies copies;
    PushClocks(copies, 30);
    std::vector<AlarmRecord> alarms(3);
    memset(alarms.data(), 0x41, 3 * sizeof(AlarmRecord));
    EXPECT_EQ(1, Push(copies, kBlockAlarms + 29, alarms.data(), 3 * sizeof(AlarmRecord)));
    ASSERT_EQ(3u, copies.clocks[29].alarmCount);
    ASSERT_NE(nullptr, copies.clocks[29].alarms.ptr);
    EXPECT_EQ(0, copies.clocks[29].alarms.ptr[2].text[259]);
    EXPECT_NE((const void*)alarms.data(), (const void*)copies.clocks[29].alarms.ptr);
    // an empty list replaces it
    EXPECT_EQ(1, Push(copies, kBlockAlarms + 29, nullptr, 0));
    EXPECT_EQ(0u, copies.clocks[29].alarmCount);
    EXPECT_EQ(nullptr, copies.clocks[29].alarms.ptr);
    EXPECT_EQ(nullptr, copies.alarmBlocks[29]);
    // a new clock block clears every list
    Push(copies, kBlockAlarms + 3, alarms.data(), sizeof(AlarmRecord));
    PushClocks(copies, 30);
    EXPECT_EQ(0u, copies.clocks[3].alarmCount);
    EXPECT_EQ(nullptr, copies.alarmBlocks[3]);
}

// Random blocks of random sizes and contents: the receiver must never read
// past a block (guard page) and must keep its counts within what it holds.
TEST(TrayCopies, FuzzedBlocksKeepTheCopiesConsistent)
{
    std::mt19937 random(20261210);
    const ULONG_PTR ids[] = {0, 1, 2, 99, 100, 101, 115, 128, 129, 130, 131, 1000};
    const DWORD units[] = {1, sizeof(SettingsBlock), sizeof(ClockRecord), sizeof(CityRecord), sizeof(AlarmRecord)};
    Copies copies;
    for (int iteration = 0; iteration < 3000; ++iteration) {
        ULONG_PTR id = ids[random() % ARRAYSIZE(ids)];
        DWORD unit = units[random() % ARRAYSIZE(units)];
        DWORD size = unit * (random() % 35) + (random() % 4 == 0 ? random() % 3 : 0);
        GuardedBytes bytes(size);
        for (DWORD i = 0; i < size; ++i)
            bytes.Data()[i] = (uint8_t)random();
        LRESULT reply;
        ReceiveTrayBlock(copies, id, size, random() % 8 ? bytes.Data() : nullptr, kFolder, &reply);

        int n = ClockCopyCount(copies);
        ASSERT_LE(n, 30);
        ASSERT_LE((uint32_t)n, copies.clockRecords);
        ASSERT_LE(copies.settings.clockCount, 30u);
        ASSERT_GE(copies.settings.trayClocks, copies.settings.clockCount ? 1u : 0u);
        ASSERT_LE(copies.settings.trayClocks, 12u);
        ASSERT_LE(copies.panelClocks, n);
        ASSERT_EQ(0, copies.settings.programFolder[259]);
        for (uint32_t i = 0; i < copies.clockRecords; ++i) {
            const ClockRecord& c = copies.clocks[i];
            ASSERT_EQ(c.alarmCount == 0, c.alarms.ptr == nullptr);
            ASSERT_EQ(0, c.caption[77]);
            ASSERT_LE(c.profileCount, 12u);
            for (uint32_t k = 0; k < c.alarmCount; ++k)
                ASSERT_EQ(0, c.alarms.ptr[k].text[259]);  // our own block holds every record
        }
        for (uint32_t i = 0; i < copies.cityCount; ++i)
            ASSERT_EQ(0u, copies.cities[i].zoneRecord.raw);
    }
}
