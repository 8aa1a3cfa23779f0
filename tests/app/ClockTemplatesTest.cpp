// The clock templates of the shipped default.ini, read as the settings
// program reads them when the user adds a clock.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "app/clocks/ClockSettings.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/ZoneRecord.h"
#include "graphics/system/Paths.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

#ifdef TL_PROGRAM_FOLDER

namespace {

// The program folder's default.ini, read as the user's file the way the
// settings program points the clock reader at its templates.
class ClockTemplates : public testing::Test {
protected:
    ClockTemplates() : db(sys) {}
    void SetUp() override
    {
        ASSERT_TRUE(BuildIniPathsFor(TL_PROGRAM_FOLDER, L"user", &paths));
        ASSERT_TRUE(FileExists(paths.defaultIni));
        ASSERT_TRUE(db.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        context = {&paths, &db, nullptr, &sys, nullptr, MakeTime(2026, 3, 10, 12, 34, 56)};
    }
    void TearDown() override { FreeClockAlarms(&clock); }

    const ClockRecord& ReadTemplate(const wchar_t* section)
    {
        SettingsPaths templates = paths;
        CopyFixed(templates.userIni, FIELD_WIDTH(templates.userIni), paths.defaultIni);
        ClockReadContext read = context;
        read.paths = &templates;
        FreeClockAlarms(&clock);
        clock = {};
        EXPECT_TRUE(ReadClockSection(read, section, &clock));
        return clock;
    }

    SettingsPaths paths = {};
    CFakeSystemZone sys;
    CZoneDatabase db;
    ClockReadContext context = {};
    ClockRecord clock = {};
};

}  // namespace

TEST_F(ClockTemplates, GiveAPlainClockACountdownAndATimer)
{
    struct Case {
        const wchar_t* section;
        uint32_t kind;
        int32_t countdownSeconds;
    } cases[] = {
        {L"default:newclock", 0, 0},
        {L"default:newcountdown", kClockTimer | kClockCountdown, 600},
        {L"default:newtimer", kClockTimer, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.section);
        const ClockRecord& r = ReadTemplate(c.section);
        // timers run from a duration, not bound to a date
        EXPECT_EQ(c.kind, r.kind);
        EXPECT_EQ(c.countdownSeconds, r.countdownSeconds);
        EXPECT_EQ(1u, r.enabled);
        EXPECT_TRUE(FixedEquals(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), kLocalZoneName));
        EXPECT_EQ(255, r.alpha);
        EXPECT_EQ(0u, r.flags & kClockOnDesktop);
        EXPECT_EQ(0u, r.timerRunning);
        EXPECT_EQ(0u, r.alarmCount);
        EXPECT_EQ(0u, r.profileCount);
        if (c.kind & kClockTimer) {
            // the picture shows the seconds the timer counts
            EXPECT_NE(0u, r.flags & kClockShowsSeconds);
        } else {
            EXPECT_LT(0u, FixedLength(r.timeFormat, FIELD_WIDTH(r.timeFormat)));
        }
    }
}

// The main program takes the new clock's look for keys a clock lacks: the
// shipped templates must leave existing clocks as they were without them.
TEST_F(ClockTemplates, LeaveTheLookOfClocksWithoutLookKeys)
{
    CTempFolder folder;
    std::wstring user = folder.File(L"tempolan.ini");
    ASSERT_TRUE(folder.WriteBytes(L"tempolan.ini", "[user:clock1]\r\nenabled=1\r\n"));
    CopyFixed(paths.userIni, FIELD_WIDTH(paths.userIni), user.c_str());
    ASSERT_TRUE(ReadClock(context, L"user", 1, &clock));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, user.c_str());
    EXPECT_EQ(255, clock.alpha);
    EXPECT_NE(0u, clock.flags & kClockTransparent);
    // an empty skin follows the program's skin
    EXPECT_EQ(0u, FixedLength(clock.skin, FIELD_WIDTH(clock.skin)));
}

#endif
