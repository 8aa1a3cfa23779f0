// A second start hands its command to the running settings program's window,
// here a window of that class in a thread of the test's own.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "settings/frame/InstanceHandOver.h"
#include "tests/support/RunningSettingsInstance.h"

TEST(HandOver, NothingToHandOverWithoutARunningInstance)
{
    ASSERT_EQ(nullptr, FindWindowW(kSettingsWindowClass, nullptr));
    SettingsCommand command = {kSettingsNewClock, 0, 0, false};
    EXPECT_FALSE(HandOverToRunningInstance(command));
}

TEST(HandOver, EndsTheChooserThenSendsThePackedCommand)
{
    struct Case {
        SettingsCommand command;
        bool sent;
        LPARAM packed;
    } cases[] = {
        {{kSettingsAlarm, 3, 2, false}, true, 0x00020003},
        {{kSettingsBackground, 65535, 65535, false}, true, (LPARAM)0xFFFFFFFFu},
        // "/inst" and "/0" only end the chooser
        {{kSettingsNoCommand, 0, 0, true}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.code);
        CRunningInstance instance(false);
        ASSERT_NE(nullptr, instance.Window());
        EXPECT_TRUE(HandOverToRunningInstance(c.command));
        std::vector<InstanceMessage> got = instance.Messages();
        ASSERT_EQ(c.sent ? 2u : 1u, got.size());
        EXPECT_EQ(UM_CLOSEMODAL, got[0].message);
        if (c.sent) {
            EXPECT_EQ(UM_SETTINGSCOMMAND, got[1].message);
            EXPECT_EQ((WPARAM)c.command.code, got[1].wParam);
            EXPECT_EQ(c.packed, got[1].lParam);
            EXPECT_EQ(c.command.n, SettingsCommandClock(got[1].lParam));
            EXPECT_EQ(c.command.m, SettingsCommandPosition(got[1].lParam));
        }
    }
}

TEST(HandOver, AHungInstanceDoesNotHoldTheSecondStart)
{
    CRunningInstance instance(true);
    ASSERT_NE(nullptr, instance.Window());
    SettingsCommand command = {kSettingsZonePage, 4, 0, false};
    DWORD start = GetTickCount();
    EXPECT_TRUE(HandOverToRunningInstance(command));
    // one bounded wait, not one per message and not forever
    EXPECT_LT(GetTickCount() - start, 15000u);
}
