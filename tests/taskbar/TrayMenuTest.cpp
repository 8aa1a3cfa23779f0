// The taskbar clock's own menu, built from the pushed copies the way the
// tray clock window builds it, with the language library of the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "graphics/language/Language.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Handles.h"
#include "taskbar/tray/TrayMenu.h"
#include "tests/support/MenuRecord.h"

namespace {

struct Send {
    UINT message;
    UINT timeoutMs;
};
std::vector<Send> g_sends;
LRESULT g_desktopAnswer;

LRESULT RecordSend(UINT message, WPARAM, LPARAM, UINT timeoutMs)
{
    g_sends.push_back({message, timeoutMs});
    return message == UM_QUERYDESKTOPCLOCKS ? g_desktopAnswer : 0;
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (WCHAR c : text)
        out += c < 128 ? (char)c : '?';
    return out;
}

MenuItems Items(HMENU menu)
{
    std::wstring text = L"menu\n";
    DescribeMenu(GetSubMenu(menu, 0), 0, &text);
    text += L"end\n";
    std::vector<MenuItems> menus = ParseMenus(Narrow(text));
    return menus.empty() ? MenuItems() : menus[0];
}

// The program's language library and copies of four clocks: another zone
// with 25 alarms, the computer's zone, a zone whose rules the system cannot
// follow, a timer.
class TrayMenuBuild : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_resources.Reset(LoadLibraryExW(TL_RES_EN_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(m_resources);
        m_language.SetResources(m_resources.Get(), nullptr);
        CopyFixed(local.zone.zoneName, FIELD_WIDTH(local.zone.zoneName), L"Here");
        clocks = {MenuClock(1), MenuClock(2), MenuClock(3), MenuClock(4, kClockTimer)};
        clocks[0].zone.tzi.Bias = -60;
        alarms.resize(25);
        for (int i = 0; i < 25; ++i)
            CopyFixed(alarms[i].comment, FIELD_WIDTH(alarms[i].comment), (L"Alarm " + std::to_wstring(i)).c_str());
        clocks[0].alarms.ptr = alarms.data();
        clocks[0].alarmCount = 25;
        clocks[0].profileCount = 2;
        CopyFixed(clocks[0].profiles[0].label, FIELD_WIDTH(clocks[0].profiles[0].label), L"Morning");
        CopyFixed(clocks[0].profiles[1].label, FIELD_WIDTH(clocks[0].profiles[1].label), L"Evening");
        clocks[2].zone.tzi.Bias = -120;
        clocks[2].zone.tzi.StandardDate = {2020, 10, 0, 25, 3, 0, 0, 0};
        clocks[2].zone.tzi.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
        copies.clocks = clocks.data();
        copies.clockRecords = (uint32_t)clocks.size();
        copies.settings.clockCount = (uint32_t)clocks.size();
        copies.settings.options = kOptSetLocalInMenu | kOptMapInitialized;
        g_sends.clear();
        g_desktopAnswer = 0;
    }
    void TearDown() override { DestroyTrayClockMenu(); }

    TrayMenuContext Context(int index)
    {
        TrayMenuContext context = {};
        context.resources = m_resources.Get();
        context.language = &m_language;
        context.copies = &copies;
        context.clockIndex = index;
        context.localZone = &local;
        context.newClocksAllowed = true;
        context.sendToMain = RecordSend;
        return context;
    }
    MenuItems Build(int index)
    {
        HMENU menu = BuildTrayClockMenu(Context(index));
        return menu ? Items(menu) : MenuItems();
    }

    LocalZoneState local = {};
    std::vector<ClockRecord> clocks;
    std::vector<AlarmRecord> alarms;
    TrayCopies copies = {};

private:
    CModule m_resources;
    CLanguage m_language;
};

}  // namespace

TEST_F(TrayMenuBuild, ShapedForTheClockUnderTheMouse)
{
    struct Case {
        const char* name;
        int index;
        uint32_t options;
        bool newClocks;
        LRESULT desktopAnswer;
        std::vector<UINT> enabled, grey, absent;
    } cases[] = {
        {"another zone with alarms", 0, kOptSetLocalInMenu | kOptMapInitialized, true, 1,
         {kCmdNewAlarm, kCmdSetSystemZone, kCmdTaskbarSettings, kCmdToggleDesktop, kCmdShowDesktopClocks,
          kCmdWorldMap, kCmdFirstAlarm, kCmdFirstAlarm + 19, kCmdFirstProfile, kCmdFirstProfile + 1},
         {},
         {kCmdFirstAlarm + 20, kCmdFirstProfile + 2, kCmdSkinSettings, kCmdBackToTaskbar, kCmdRefreshNews,
          kCmdDesktopGroup, kCmdDesktopOnTop}},
        {"the computer's zone", 1, kOptSetLocalInMenu, true, 0, {kCmdNewAlarm}, {kCmdSetSystemZone, kCmdWorldMap},
         {kCmdShowDesktopClocks, kCmdFirstAlarm}},
        {"rules the system cannot follow", 2, kOptSetLocalInMenu, true, 0, {}, {kCmdSetSystemZone}, {}},
        {"a timer", 3, kOptSetLocalInMenu, true, 0, {kCmdStartTimer}, {}, {kCmdSetSystemZone}},
        {"without setlocalinmenu", 0, 0, true, 0, {}, {}, {kCmdSetSystemZone}},
        {"thirty clocks told", 0, 0, false, 0, {}, {kCmdNewClock, kCmdNewTimer, kCmdNewStopwatch}, {}},
        {"beside all clocks", -1, kOptSetLocalInMenu | kOptMapInitialized, true, 0, {kCmdClockSettings},
         {kCmdNewAlarm}, {kCmdSetSystemZone, kCmdToggleDesktop, kCmdFirstAlarm, kCmdFirstProfile, kCmdZoneSettings}},
        {"an index beyond the copies", 9, kOptSetLocalInMenu, true, 0, {kCmdClockSettings}, {kCmdNewAlarm},
         {kCmdSetSystemZone, kCmdFirstAlarm}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        copies.settings.options = c.options;
        g_desktopAnswer = c.desktopAnswer;
        TrayMenuContext context = Context(c.index);
        context.newClocksAllowed = c.newClocks;
        HMENU menu = BuildTrayClockMenu(context);
        ASSERT_NE(nullptr, menu);
        MenuItems items = Items(menu);
        ASSERT_FALSE(items.empty());
        for (UINT id : c.enabled) {
            const MenuItem* item = FindItem(items, id);
            ASSERT_NE(nullptr, item) << id;
            EXPECT_FALSE(item->Has('g')) << id;
        }
        for (UINT id : c.grey) {
            const MenuItem* item = FindItem(items, id);
            ASSERT_NE(nullptr, item) << id;
            EXPECT_TRUE(item->Has('g')) << id;
        }
        for (UINT id : c.absent)
            EXPECT_EQ(nullptr, FindItem(items, id)) << id;
        // without a clock the first item opens the settings, with one it is the settings' popup
        EXPECT_EQ(c.index == -1 || c.index == 9, items[0].id == kCmdClockSettings && !items[0].Has('s'));
    }
}

TEST_F(TrayMenuBuild, AlarmAndProfileTextsAreTheCopies)
{
    MenuItems items = Build(0);
    const MenuItem* first = FindItem(items, kCmdFirstAlarm);
    const MenuItem* last = FindItem(items, kCmdFirstAlarm + 19);
    const MenuItem* evening = FindItem(items, kCmdFirstProfile + 1);
    ASSERT_TRUE(first && last && evening);
    EXPECT_EQ("Alarm 0", first->text);
    EXPECT_EQ("Alarm 19", last->text);
    EXPECT_EQ("Evening", evening->text);
}

// The main window is asked about its desktop clocks through the time-out
// send only; the previous menu goes with each new one.
TEST_F(TrayMenuBuild, AsksTheMainWindowWithATimeOutAndKeepsOneMenu)
{
    HMENU first = BuildTrayClockMenu(Context(0));
    ASSERT_NE(nullptr, first);
    ASSERT_EQ(1u, g_sends.size());
    EXPECT_EQ(UM_QUERYDESKTOPCLOCKS, g_sends[0].message);
    EXPECT_LE(g_sends[0].timeoutMs, 1000u);
    EXPECT_GT(g_sends[0].timeoutMs, 0u);
    HMENU second = BuildTrayClockMenu(Context(1));
    ASSERT_NE(nullptr, second);
    EXPECT_FALSE(IsMenu(first));
    EXPECT_TRUE(IsMenu(second));
    DestroyTrayClockMenu();
    EXPECT_FALSE(IsMenu(second));
}

// A language library without the menu: nothing is shown and the main
// program is neither asked nor told anything.
TEST_F(TrayMenuBuild, WithoutTheMenuResourceNothingHappens)
{
    TrayMenuContext context = Context(0);
    context.resources = GetModuleHandleW(nullptr);
    EXPECT_EQ(nullptr, BuildTrayClockMenu(context));
    context.resources = nullptr;
    EXPECT_EQ(nullptr, BuildTrayClockMenu(context));
    EXPECT_TRUE(g_sends.empty());
}
