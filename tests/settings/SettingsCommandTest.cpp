// The settings program's command line: the switch after the program's path.
#include <gtest/gtest.h>

#include <string>

#include "settings/frame/SettingsCommand.h"

namespace {

struct CommandCase {
    const wchar_t* line;
    uint32_t code, n, m;
    bool inst;
};

}  // namespace

TEST(CommandLine, SwitchTable)
{
    const CommandCase cases[] = {
        // every name, in the order they are tried
        {L"settings.exe /del4", kSettingsDeleteClock, 4, 0, false},
        {L"settings.exe /new_alarm7", kSettingsNewAlarm, 7, 0, false},
        {L"settings.exe /new_timer", kSettingsNewCountdown, 0, 0, false},
        {L"settings.exe /NEW_STOPWATCH", kSettingsNewTimer, 0, 0, false},
        {L"settings.exe /new", kSettingsNewClock, 0, 0, false},
        {L"settings.exe /zone2", kSettingsZonePage, 2, 0, false},
        {L"settings.exe /skin2", kSettingsDesktopPage, 2, 0, false},
        {L"settings.exe /formats2", kSettingsFormatsPage, 2, 0, false},
        {L"settings.exe /alarms3", kSettingsAlarmList, 3, 0, false},
        {L"settings.exe /alarm3.2", kSettingsAlarm, 3, 2, false},
        {L"settings.exe /profiles3", kSettingsBackgroundList, 3, 0, false},
        {L"settings.exe /profile3.1", kSettingsBackground, 3, 1, false},
        {L"settings.exe /taskbar", kSettingsTaskbarPage, 0, 0, false},
        {L"settings.exe /sync", kSettingsSyncPage, 0, 0, false},
        {L"settings.exe /General", kSettingsGeneralPage, 0, 0, false},
        {L"settings.exe /rss", kSettingsNewsPage, 0, 0, false},
        {L"settings.exe /inst", kSettingsNoCommand, 0, 0, true},
        // the exact names fail on anything after them; the prefix takes over
        {L"settings.exe /new_timer5", kSettingsNewClock, 5, 0, false},
        {L"settings.exe /new_stopwatch ", kSettingsNewClock, 0, 0, false},
        // bare numbers open a clock; 0 is nothing to do
        {L"settings.exe /5.2", kSettingsShowClock, 5, 2, false},
        {L"settings.exe /0", kSettingsNoCommand, 0, 0, false},
        {L"settings.exe\t/7", kSettingsShowClock, 7, 0, false},
        // a slash needs a blank before it, outside quotes
        {L"\"C:\\Program Files\\x /new\\settings.exe\" /zone3", kSettingsZonePage, 3, 0, false},
        {L"\"C:\\Program Files\\x /new\\settings.exe\"", kSettingsNoCommand, 0, 0, false},
        {L"settings.exe/new", kSettingsNoCommand, 0, 0, false},
        {L"settings.exe", kSettingsNoCommand, 0, 0, false},
        {L"", kSettingsNoCommand, 0, 0, false},
        // numbers that do not fit lParam's halves make the command void
        {L"settings.exe /alarm65535.65535", kSettingsAlarm, 65535, 65535, false},
        {L"settings.exe /alarm65536.1", kSettingsNoCommand, 0, 0, false},
        {L"settings.exe /alarm1.65536", kSettingsNoCommand, 0, 0, false},
        {L"settings.exe /99999999999999999999", kSettingsNoCommand, 0, 0, false},
    };
    for (const CommandCase& c : cases) {
        std::wstring line(c.line);
        SCOPED_TRACE(std::string(line.begin(), line.end()));
        SettingsCommand command = {99, 99, 99, true};
        ParseSettingsCommandLine(c.line, &command);
        EXPECT_EQ(c.code, command.code);
        EXPECT_EQ(c.n, command.n);
        EXPECT_EQ(c.m, command.m);
        EXPECT_EQ(c.inst, command.inst);
    }
}

TEST(CommandLine, NullLineIsNoCommand)
{
    SettingsCommand command = {1, 2, 3, true};
    ParseSettingsCommandLine(nullptr, &command);
    EXPECT_EQ(kSettingsNoCommand, command.code);
    EXPECT_FALSE(command.inst);
}
