#include "settings/dialog/NewAlarmTime.h"
#include "settings/dialog/NodeTargets.h"
#include "settings/dialog/SettingsBackup.h"
#include "tests/settings/TreeFixture.h"

namespace {

using NodeTargets = TreeTest;

// Three clocks after the page nodes, the middle one without alarms.
TEST_F(NodeTargets, UpAndDownTargets)
{
    LoadSettingsTree(tree, context);    // no clock sections: the page nodes
    ASSERT_EQ(6, tree.TopCount());
    CClockNode* a = AddClock();
    CClockNode* b = AddClock();
    CClockNode* c = AddClock();
    AddEntries(a, kNodeAlarms, 2);
    AddEntries(c, kNodeAlarms, 2);
    CTreeNode* a1 = a->Child(kNodeAlarms)->Children()[0];
    CTreeNode* a2 = a->Child(kNodeAlarms)->Children()[1];
    CTreeNode* c1 = c->Child(kNodeAlarms)->Children()[0];
    CTreeNode* c2 = c->Child(kNodeAlarms)->Children()[1];
    CTreeNode* bAlarms = b->Child(kNodeAlarms);
    AddEntries(b, kNodeBackgrounds, 1);
    CTreeNode* b1 = b->Child(kNodeBackgrounds)->Children()[0];
    CTreeNode* tray = tree.Top(5);
    struct Case {
        const char* name;
        CTreeNode* node;
        CTreeNode* above;
        CTreeNode* below;
    } cases[] = {
        {"first clock", a, tray, c},
        {"middle clock", b, a, nullptr},        // its next is the last: the end of the clocks
        {"last clock", c, b, nullptr},
        {"first alarm", a1, nullptr, a->Child(kNodeAlarms)},   // no clock before; appended to its own list
        {"last alarm of the first clock", a2, a1, bAlarms},    // the next clock's list is empty
        {"first alarm of the last clock", c1, bAlarms, c->Child(kNodeAlarms)},
        {"last alarm of the last clock", c2, c1, nullptr},
        {"only background", b1, a->Child(kNodeBackgrounds), c->Child(kNodeBackgrounds)},
        {"alarm list", bAlarms, b->Children()[1], b},     // the background list is its last sibling
        {"page node", tree.Top(0), nullptr, tree.Top(2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.above, NodeAbove(tree, c.node));
        EXPECT_EQ(c.below, NodeBelow(tree, c.node));
    }
}

TEST(NewAlarmTime, FollowsTheKindOfClock)
{
    SYSTEMTIME now = MakeTime(2026, 3, 10, 12, 34, 56);
    now.wMilliseconds = 789;
    SYSTEMTIME moment = MakeTime(2026, 7, 1, 9, 30, 0);
    FILETIME momentFile;
    ASSERT_TRUE(SystemTimeToFileTime(&moment, &momentFile));
    uint64_t momentTicks = (uint64_t)momentFile.dwHighDateTime << 32 | momentFile.dwLowDateTime;
    const int32_t kUntouched = 77;
    struct Case {
        const char* name;
        uint32_t kind;
        SYSTEMTIME once;
        int32_t offset;
    } cases[] = {
        // UTC+5:30 without daylight saving, to the minute
        {"plain clock", 0, MakeTime(2026, 3, 10, 18, 4, 0), kUntouched},
        {"stopwatch", kClockTimer, {}, 300},
        {"countdown of a fixed length", kClockTimer | kClockCountdown, {}, 0},
        {"stopwatch from a date", kClockTimer | kClockFixedMoment, moment, kUntouched},
        // ten minutes before the end, in the anchor's own zone (UTC here)
        {"countdown to a date", kClockTimer | kClockCountdown | kClockFixedMoment, moment, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClockRecord clock = {};
        clock.kind = c.kind;
        if (c.kind == 0) {
            clock.zone.zoneId = 7;
            clock.zone.tzi.Bias = -330;
        }
        clock.timerMoment = moment;
        clock.timerAnchorUtc = momentTicks + 600ull * 10000000ull;
        AlarmRecord alarm = {};
        alarm.timerOffset = kUntouched;
        InitNewAlarmTime(&alarm, &clock, now);
        const SYSTEMTIME& t = alarm.once;
        EXPECT_TRUE(t.wYear == c.once.wYear && t.wMonth == c.once.wMonth && t.wDay == c.once.wDay &&
                    t.wHour == c.once.wHour && t.wMinute == c.once.wMinute && t.wSecond == c.once.wSecond &&
                    t.wMilliseconds == c.once.wMilliseconds)
            << alarm.once.wYear << "-" << alarm.once.wMonth << "-" << alarm.once.wDay << " " << alarm.once.wHour
            << ":" << alarm.once.wMinute << ":" << alarm.once.wSecond << "." << alarm.once.wMilliseconds;
        EXPECT_EQ(c.offset, alarm.timerOffset);
    }
    AlarmRecord alarm = {};
    InitNewAlarmTime(&alarm, nullptr, now);
    EXPECT_EQ(0, alarm.once.wYear);
}

TEST(SettingsBackup, PathReplacesTheExtension)
{
    EXPECT_EQ(L"C:\\Tempolan\\tempolan.bak", SettingsBackupPath(L"C:\\Tempolan\\tempolan.ini"));
    EXPECT_EQ(L"", SettingsBackupPath(L"ab"));
}

using SettingsBackupFile = TreeTest;

// Without a user the settings cannot be restored: the backup stays, as the
// only copy of them.
TEST_F(SettingsBackupFile, KeptWhenTheRestoreFails)
{
    WriteClock(1, L"Paris");
    std::wstring backup = SettingsBackupPath(paths.userIni);
    ASSERT_TRUE(CopyFileW(paths.userIni, backup.c_str(), FALSE));
    Set(Clock(1), L"prefix", L"Profile");
    SettingsPaths unknownUser = paths;
    unknownUser.userPrefix[0] = 0;
    EXPECT_FALSE(FinishSettingsBackup(&unknownUser, true));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(backup.c_str()));
    EXPECT_EQ(L"Profile", Get(Clock(1), L"prefix"));
    EXPECT_TRUE(FinishSettingsBackup(&paths, true));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(backup.c_str()));
    EXPECT_EQ(L"Paris", Get(Clock(1), L"prefix"));
    EXPECT_FALSE(FinishSettingsBackup(&paths, true));
}

}  // namespace
