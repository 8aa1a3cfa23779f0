#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "app/settings/Autostart.h"
#include "app/startup/BuildInfo.h"
#include "app/settings/CalendarLook.h"
#include "app/settings/MainSettings.h"
#include "app/settings/MainSettingsValues.h"
#include "app/settings/SettingsIni.h"
#include "app/settings/SettingsSeams.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Paths.h"
#include "tests/support/FakeSettingsSeams.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

class CFakeBuildInfo : public IBuildInfoSource {
public:
    bool GetBuildInfo(BuildInfo* out) override
    {
        *out = info;
        return ok;
    }
    BuildInfo info = {};
    bool ok = true;
};

// A program folder per test, user prefix "user".
class MainSettings : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildIniPathsFor(m_folder.Path().c_str(), L"user", &paths));
        seams = FakeMainSettingsSeams(paths, language, autostart, service);
        autostart.succeed = false;  // a failure must not matter
    }

    void TearDown() override
    {
        // the profile functions keep files cached; flush before the folder goes
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.defaultIni);
    }

    void Settings(const std::string& text) { ASSERT_TRUE(m_folder.WriteBytes(L"tempolan.ini", text)); }
    void Defaults(const std::string& text) { ASSERT_TRUE(m_folder.WriteBytes(L"default.ini", text)); }
    std::wstring Get(const WCHAR* section, const WCHAR* key)
    {
        std::wstring value;
        ReadProfileText(paths.userIni, section, key, kMissingKey, &value);
        return value;
    }

    // The block after loading `ini` as the settings file; the edited
    // settings of that load go to `edited`.
    SettingsBlock Load(const std::string& ini)
    {
        Settings(ini);
        CMainSettings settings(seams);
        settings.LoadMainSettings();
        edited = settings.Edited();
        return settings.Block();
    }

    SettingsPaths paths;
    CFakeActiveLanguage language;
    CFakeAutostart autostart;
    CFakeTimeService service;
    MainSettingsSeams seams;
    EditedSettings edited = {};

private:
    CTempFolder m_folder;
};

std::wstring Text(const WCHAR* field, size_t width)
{
    return std::wstring(field, FixedLength(field, width));
}

// "url ttl expanded enabled" per feed
std::vector<std::wstring> FeedLines(const EditedSettings& edited)
{
    std::vector<std::wstring> lines;
    for (const NewsFeedSettings& feed : edited.feeds) {
        lines.push_back(feed.url + L" " + std::to_wstring(feed.ttlMinutes) + L" " + std::to_wstring(feed.expanded) + L" "
                        + std::to_wstring(feed.enabled));
    }
    return lines;
}

}  // namespace

TEST_F(MainSettings, ClampsAndNormalisesItsValues)
{
    struct Case {
        const char* ini;
        std::function<uint32_t(const SettingsBlock&)> field;
        uint32_t expected;
    } cases[] = {
        {"[user:main]\ntrayclocks=0\n", [](const SettingsBlock& b) { return b.trayClocks; }, 10},
        {"[user:main]\ntrayclocks=20\n", [](const SettingsBlock& b) { return b.trayClocks; }, 12},
        {"[user:main]\ntrayclocks=-3\n", [](const SettingsBlock& b) { return b.trayClocks; }, 10},
        {"[user:main]\ntrayclocks=7\n", [](const SettingsBlock& b) { return b.trayClocks; }, 7},
        {"", [](const SettingsBlock& b) { return b.trayClocks; }, 10},
        {"[user:main]\nweek_start=9\n", [](const SettingsBlock& b) { return b.weekStart; }, 2},
        {"[user:main]\nweek_start=-1\n", [](const SettingsBlock& b) { return b.weekStart; }, 6},
        {"[user:main]\nweek_numeration=3\n", [](const SettingsBlock& b) { return b.weekNumbering; }, 1},
        {"[user:calendar]\nnum_month=0\n", [](const SettingsBlock& b) { return b.calendarMonths; }, 1},
        {"[user:calendar]\nnum_month=13\n", [](const SettingsBlock& b) { return b.calendarMonths; }, 1},
        {"[user:calendar]\nnum_month=12\n", [](const SettingsBlock& b) { return b.calendarMonths; }, 12},
        {"", [](const SettingsBlock& b) { return b.calendarMonths; }, 1},
        {"[user:main]\nads=0\nfade_news=0\n", [](const SettingsBlock& b) { return b.newsFlags; }, 2},
        {"", [](const SettingsBlock& b) { return b.newsFlags; }, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        EXPECT_EQ(c.expected, c.field(Load(c.ini)));
    }
}

TEST_F(MainSettings, OptionBits)
{
    const uint32_t kDefaults = kOptSkinned | kOptOverlayPrefixes | kOptTooltips | kOptCityPhotos | kOptInetScripts
                               | kOptMapInitialized;
    struct Case {
        const char* ini;
        uint32_t expected;
    } cases[] = {
        {"", kDefaults},
        {"[user:main]\nskin=standard system clock\n", kDefaults & ~kOptSkinned},
        {"[user:main]\nskin=CLASSIC TEMPOLAN STYLE\n", (kDefaults & ~kOptSkinned) | kOptClassic},
        {"[user:main]\nskin=Brass\n", kDefaults},
        {"[user:main]\ntransparentskin=1\n", kDefaults | kOptTransparentSkin},
        {"[user:main]\noverlayprefixes=0\n", kDefaults & ~kOptOverlayPrefixes},
        {"[user:main]\ntooltipkind=2\n", kDefaults | kOptOtherTooltip},
        {"[user:main]\ntooltips=0\n", kDefaults & ~kOptTooltips},
        {"[user:main]\ntooltip_calendar=1\n", kDefaults | kOptTooltipCalendar},
        {"[user:main]\nplaceviews=0\n", kDefaults & ~kOptCityPhotos},
        {"[user:main]\ninet_scripts=0\n", kDefaults & ~kOptInetScripts},
        {"[map]\ninitialized=0\n", kDefaults & ~kOptMapInitialized},
        {"[user:main]\nsetlocalinmenu=1\n", kDefaults | kOptSetLocalInMenu},
        // only exactly 1 shows the command
        {"[user:main]\nsetlocalinmenu=2\n", kDefaults},
        {"[common]\nautosync=1\n", kDefaults | kOptAutoSync},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        EXPECT_EQ(c.expected, Load(c.ini).options);
    }
}

TEST_F(MainSettings, KeepsWhatOthersOwnInTheBlock)
{
    Settings("[user:main]\nskin=Brass\n");
    CMainSettings settings(seams);
    settings.Block().state = kStateShuttingDown;
    settings.Block().buildDate.wYear = 2026;
    settings.Block().cloudOverlay = 5;
    settings.LoadMainSettings();
    EXPECT_EQ(kStateShuttingDown, settings.Block().state);
    EXPECT_EQ(2026, settings.Block().buildDate.wYear);
    EXPECT_EQ(0, settings.Block().cloudOverlay);
    EXPECT_EQ(paths.folder, Text(settings.Block().programFolder, 260));
    EXPECT_EQ(std::wstring(paths.folder) + L"tempolan.exe", settings.ProgramFile());
    EXPECT_EQ(L"Brass", Text(settings.Block().skin, 80));
}

TEST_F(MainSettings, LongSkinNameFillsItsField)
{
    SettingsBlock block = Load("[user:main]\nskin=" + std::string(90, 's') + "\n");
    EXPECT_EQ(std::wstring(80, L's'), Text(block.skin, 80));
    EXPECT_EQ(10u, block.trayClocks);
}

TEST_F(MainSettings, LanguageIsCutToTwoLowerCaseLettersAndActivated)
{
    struct Case {
        const char* ini;
        const WCHAR* expected;
    } cases[] = {
        {"[user:main]\nlanguage=DEU\n", L"de"},
        {"[user:main]\nlanguage=en\n", L"en"},
        // the current language is the default
        {"", L"fr"},
        {"[user:main]\nlanguage=\n", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        language.code = L"fr";
        language.activations.clear();
        SettingsBlock block = Load(c.ini);
        EXPECT_EQ(c.expected, Text(block.language, 16));
        EXPECT_EQ(0, block.language[2]);
        ASSERT_EQ(1u, language.activations.size());
        EXPECT_EQ(std::wstring(c.expected) + L"|" + paths.folder, language.activations[0]);
    }
}

TEST_F(MainSettings, SynchronisationComesWhollyFromOneSection)
{
    Defaults("[default:common]\nautosync=1\nserver=1\nsynctype=0\nserver1=defaults.example\n");
    struct Case {
        const char* ini;
        bool autosync;
        uint32_t syncType;
        int serverIndex;
        const WCHAR* server;
    } cases[] = {
        // no "autosync" in "common": its server and type do not count
        {"[common]\nserver=2\nsynctype=4\nserver2=common.example\n", true, 0, 1, L"defaults.example"},
        {"[common]\nautosync=0\nserver=2\nsynctype=4\nserver2=common.example\n", false, 4, 2, L"common.example"},
        {"[common]\nautosync=1\n", true, 1, 0, kDefaultTimeServer},
        {"[common]\nautosync=1\nserver=3\nserver3=\n", true, 1, 3, kDefaultTimeServer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        SettingsBlock block = Load(c.ini);
        EXPECT_EQ(c.autosync, (block.options & kOptAutoSync) != 0);
        EXPECT_EQ(c.syncType, block.syncType);
        EXPECT_EQ(c.serverIndex, edited.serverIndex);
        EXPECT_EQ(c.server, Text(block.timeServer, 128));
    }
}

TEST_F(MainSettings, TimeServerIsCutToItsField)
{
    std::string longName(300, 'a');
    Settings("[common]\nserver5=" + longName + "\n");
    WCHAR server[kTimeServerChars + 1];
    server[kTimeServerChars] = L'#';
    ReadTimeServer(paths.userIni, nullptr, 5, server);
    EXPECT_EQ(std::wstring(127, L'a'), server);
    EXPECT_EQ(L'#', server[kTimeServerChars]);
}

TEST_F(MainSettings, LocalZoneHighlight)
{
    SettingsBlock block = Load("[user:main]\nlocalzonehighlight=0, 08:00-17:00, FF0000, 40, 12345, Work\n");
    EXPECT_EQ(0u, block.localHighlight.enabled);
    EXPECT_EQ(480u, block.localHighlight.startMinute);
    EXPECT_EQ(0x000000FFu, block.localHighlight.color);
    EXPECT_EQ(0x3Eu, block.localHighlight.weekdays);

    block = Load("[user:main]\nlocalzonehighlight=08:00-24:00, FF0000, 40, 12345, Late\n");
    EXPECT_EQ(0u, block.localHighlight.enabled);
    EXPECT_EQ(0u, block.localHighlight.color);
    EXPECT_EQ(0, block.localHighlight.label[0]);
}

TEST_F(MainSettings, AutostartFollowsTheSwitch)
{
    struct Case {
        const char* ini;
        bool set;
    } cases[] = {
        {"[user:main]\nautostart=1\n", true},
        {"[user:main]\nautostart=0\n", false},
        {"[user:main]\nautostart=2\n", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        autostart.calls.clear();
        Load(c.ini);
        EXPECT_EQ(c.set, edited.autostart);
        ASSERT_EQ(1u, autostart.calls.size());
        EXPECT_EQ(c.set ? L"set " + std::wstring(paths.folder) + L"tempolan.exe" : std::wstring(L"remove"),
                  autostart.calls[0]);
    }
}

TEST_F(MainSettings, NewsChannelsGoToTheCallback)
{
    Settings("[user:main]\nrss_channels=4\n"
             "[user:rss1]\nurl=http://one.example/feed\nttl=30\nexpanded=0\nenabled=1\n"
             "[user:rss2]\nurl=\n"
             "[user:rss3]\nurl=http://three.example/feed\n"
             "[user:rss5]\nurl=http://five.example/feed\n");
    std::vector<std::wstring> calls;
    CMainSettings settings(seams);
    settings.SetNewsChannelCallback([&](const WCHAR* url, int ttl, int index, bool expanded, bool enabled) {
        WCHAR line[300];
        swprintf(line, 300, L"%ls %d %d %d %d", url, ttl, index, expanded, enabled);
        calls.push_back(line);
        return index == 0;
    });
    settings.LoadMainSettings();
    std::vector<std::wstring> expected = {
        L"http://one.example/feed 30 0 0 1",
        L"http://three.example/feed 10 2 1 0",
        L" 0 -1 0 0",
    };
    EXPECT_EQ(expected, calls);
    EXPECT_EQ(1u, settings.Block().newsChannels);
    // the list keeps a place for every section, so its index is the reader's
    const std::vector<std::wstring> feeds = {
        L"http://one.example/feed 30 0 1",
        L" 10 1 0",
        L"http://three.example/feed 10 1 0",
        L" 10 1 0",
    };
    EXPECT_EQ(feeds, FeedLines(settings.Edited()));

    // no reader, no channels, but the same list
    CMainSettings alone(seams);
    alone.LoadMainSettings();
    EXPECT_EQ(0u, alone.Block().newsChannels);
    EXPECT_EQ(feeds, FeedLines(alone.Edited()));

    // at most 128 sections are read
    Settings("[user:main]\nrss_channels=200\n"
             "[user:rss128]\nurl=http://last.example/\n"
             "[user:rss129]\nurl=http://beyond.example/\n");
    std::vector<int> indexes;
    settings.SetNewsChannelCallback([&](const WCHAR*, int, int index, bool, bool) {
        indexes.push_back(index);
        return true;
    });
    settings.LoadMainSettings();
    EXPECT_EQ((std::vector<int>{127, -1}), indexes);
    EXPECT_EQ(1u, settings.Block().newsChannels);
}

TEST_F(MainSettings, FeedListIsReadWithoutAReaderAndCapped)
{
    std::string ini = "[user:main]\nrss_channels=130\n";
    for (int k = 1; k <= 130; ++k) {
        ini += "[user:rss" + std::to_string(k) + "]\nurl=http://feed" + std::to_string(k) + ".example/\nttl="
               + std::to_string(k) + "\nexpanded=" + std::to_string(k % 2) + "\nenabled=" + std::to_string(k % 3 == 0)
               + "\n";
    }
    Settings(ini);
    CMainSettings settings(seams);
    settings.LoadMainSettings();
    std::vector<std::wstring> lines = FeedLines(settings.Edited());
    ASSERT_EQ(128u, lines.size());
    EXPECT_EQ(L"http://feed1.example/ 1 1 0", lines[0]);
    EXPECT_EQ(L"http://feed126.example/ 126 0 1", lines[125]);
    EXPECT_EQ(L"http://feed128.example/ 128 0 0", lines[127]);

    // a second load replaces the list
    Settings("[user:main]\nrss_channels=1\n[user:rss1]\nurl=http://only.example/\n");
    settings.LoadMainSettings();
    EXPECT_EQ((std::vector<std::wstring>{L"http://only.example/ 10 1 0"}), FeedLines(settings.Edited()));
}

TEST_F(MainSettings, CalendarLooks)
{
    Settings("[user:calendar]\n"
             "font=Verdana\nfont_style=Bold Italic\nmonth_format=MMM yy\ntoday_format=d.M.yyyy\n"
             "day_padding=25\nborder_width=9\nselection_border_width=-1\nmonth_spacing=120\n"
             "saturday_color=0x123456\nbackground=-1\ntitle_color=0x80112233\nsunday_color=255\n"
             "label_color=nonsense\n");
    Defaults("[default:tooltip]\nfont=Arial\nday_padding=3\n");
    CMainSettings settings(seams);
    settings.LoadMainSettings();

    const TooltipStyle& look = settings.CalendarLook();
    EXPECT_EQ(L"Verdana", Text(look.fontName, 32));
    EXPECT_EQ(9, look.fontStyle);
    EXPECT_EQ(L"MMM yy", Text(look.monthFormat, 48));
    EXPECT_EQ(L"d.M.yyyy", Text(look.todayFormat, 48));
    EXPECT_EQ(5, look.dayPadding);
    EXPECT_EQ(1, look.borderWidth);
    EXPECT_EQ(7, look.selectionBorderWidth);
    EXPECT_EQ(20, look.monthSpacing);
    EXPECT_EQ(0x563412u, look.saturdayColor);
    EXPECT_EQ(0xFFFFFFFFu, look.background);
    EXPECT_EQ(0x80332211u, look.titleColor);
    EXPECT_EQ(0xFF0000u, look.sundayColor);
    EXPECT_EQ(0xFF000000u, look.labelColor);

    // the tooltip's look comes from the defaults file alone
    const TooltipStyle& tip = settings.Block().tooltip;
    EXPECT_EQ(L"Arial", Text(tip.fontName, 32));
    EXPECT_EQ(3, tip.dayPadding);
    EXPECT_EQ(L"MMMM yyyy", Text(tip.monthFormat, 48));
    WCHAR longDate[48];
    ASSERT_NE(0, GetLocaleInfoW(1033, LOCALE_SLONGDATE, longDate, 48));
    EXPECT_EQ(std::wstring(longDate), Text(tip.todayFormat, 48));
    struct Default {
        uint32_t TooltipStyle::*field;
        uint32_t value;
    } defaults[] = {
        {&TooltipStyle::background, 0xFFFFFFFFu},
        {&TooltipStyle::titleColor, 0xFF000000u},
        {&TooltipStyle::dayBackground, 0xFFFFFFFFu},
        {&TooltipStyle::saturdayColor, 0x0080C0u},
        {&TooltipStyle::sundayColor, 0x0080C0u},
        {&TooltipStyle::borderColor, 0xFFFFFFFFu},
        {&TooltipStyle::selectionBorderColor, 0x0000C0u},
    };
    for (const Default& d : defaults)
        EXPECT_EQ(d.value, tip.*d.field);
    EXPECT_EQ(0, tip.borderWidth);
    EXPECT_EQ(1, tip.selectionBorderWidth);
    EXPECT_EQ(3, tip.titlePadding);
    EXPECT_EQ(2, tip.daySpacing);
    EXPECT_EQ(10, tip.monthSpacing);
}

TEST_F(MainSettings, CalendarTextsAreCutToTheirFields)
{
    Settings("[look]\nfont=" + std::string(40, 'f') + "\nmonth_format=" + std::string(60, 'M') + "\n");
    TooltipStyle look;
    ReadCalendarLook(L"look", paths.userIni, 1033, &look);
    EXPECT_EQ(std::wstring(31, L'f'), Text(look.fontName, 32));
    EXPECT_EQ(std::wstring(47, L'M'), Text(look.monthFormat, 48));
}

TEST(MainSettingsValues, Colours)
{
    struct Case {
        const WCHAR* text;
        bool ok;
        uint32_t stored;
    } cases[] = {
        {L"0xC08000", true, 0x0080C0u},
        {L"0XFF0000", true, 0x0000FFu},
        {L"-1", true, 0xFFFFFFFFu},
        {L"0xFF000000", true, 0xFF000000u},
        {L"  255", true, 0xFF0000u},
        {L"0x", false, 0},
        {L"red", false, 0},
        {L"0x1FFFFFFFF", false, 0},
        {L"4294967295", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + lstrlenW(c.text)));
        uint32_t value = 0;
        EXPECT_EQ(c.ok, ParseColorValue(c.text, &value));
        if (c.ok) {
            EXPECT_EQ(c.stored, IniColorToStored(value));
        }
    }
}

TEST_F(MainSettings, WritesLastBuild)
{
    CFakeBuildInfo source;
    source.info.buildDate = MakeTime(2026, 3, 5, 7, 8, 9);
    source.info.fileVersion.dwFileVersionMS = (5u << 16) | 3u;
    source.info.fileVersion.dwFileVersionLS = (1u << 16) | 7u;
    CMainSettings settings(seams);
    ASSERT_TRUE(settings.WriteLastBuild(source));
    EXPECT_EQ(L"2026.03.05 07:08:095.3.1 x64", Get(L"user:main", L"last_build"));
    EXPECT_EQ(5u << 16 | 3u, settings.Block().fileVersion.dwFileVersionMS);
    EXPECT_EQ(2026, settings.Block().buildDate.wYear);

    source.ok = false;
    source.info.buildDate.wYear = 2030;
    EXPECT_FALSE(settings.WriteLastBuild(source));
    EXPECT_EQ(L"2026.03.05 07:08:095.3.1 x64", Get(L"user:main", L"last_build"));
}

TEST(BuildInfo, CompilerDates)
{
    struct Case {
        const char* date;
        const char* time;
        bool ok;
        int year, month, day, weekday;
    } cases[] = {
        {"Dec 10 2026", "14:34:11", true, 2026, 12, 10, 4},
        {"Feb  9 2024", "00:00:00", true, 2024, 2, 9, 5},
        {"Feb 29 2000", "23:59:59", true, 2000, 2, 29, 2},
        {"Foo  1 2024", "00:00:00", false},
        {"ebF  1 2024", "00:00:00", false},
        {"Jan  1 2024", "24:00:00", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        SYSTEMTIME t = {};
        ASSERT_EQ(c.ok, ParseCompilerDate(c.date, c.time, &t));
        if (!c.ok)
            continue;
        EXPECT_EQ(c.year, t.wYear);
        EXPECT_EQ(c.month, t.wMonth);
        EXPECT_EQ(c.day, t.wDay);
        EXPECT_EQ(c.weekday, t.wDayOfWeek);
    }
}

TEST(BuildInfo, PeTimeStamps)
{
    // DOS header pointing at 0x40, then the signature, machine, section count, stamp
    std::string image(0x40, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = 0x40;
    image += std::string("PE\0\0" "\x64\x86" "\x05\x00" "\x78\x56\x34\x12", 12);
    struct Case {
        const char* what;
        std::string bytes;
        bool ok;
    } cases[] = {
        {"whole", image, true},
        {"cut before the stamp's end", image.substr(0, image.size() - 1), false},
        {"no MZ", "ZM" + image.substr(2), false},
        {"no PE", image.substr(0, 0x40) + "PX" + image.substr(0x42), false},
        {"header beyond the bytes", image.substr(0, 0x3C) + "\xF0\xFF\xFF\xFF" + image.substr(0x40), false},
        {"stamp 0", image.substr(0, image.size() - 4) + std::string(4, '\0'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t stamp = 0;
        EXPECT_EQ(c.ok, ReadPeTimeStamp((const uint8_t*)c.bytes.data(), c.bytes.size(), &stamp));
        if (c.ok) {
            EXPECT_EQ(0x12345678u, stamp);
        }
    }
}

// A scratch key under HKEY_CURRENT_USER stands in for the user's hive.
class Autostart : public testing::Test {
protected:
    void SetUp() override
    {
        swprintf(m_name, 64, L"Software\\TempolanTest%lu", GetCurrentProcessId());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, m_name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 root.Receive(), nullptr));
    }
    void TearDown() override
    {
        root.Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, m_name);
    }
    CRegKey root;

private:
    WCHAR m_name[64];
};

TEST_F(Autostart, SetsAndRemovesTheRunValue)
{
    CRegistryAutostart entry(root.Get());
    WCHAR path[260];
    EXPECT_FALSE(entry.Query(path, 260));
    // removing what is not there is no failure
    EXPECT_TRUE(entry.Remove());

    ASSERT_TRUE(entry.Set(L"C:\\Program Files\\Tempolan\\tempolan.exe"));
    ASSERT_TRUE(entry.Query(path, 260));
    EXPECT_STREQ(L"C:\\Program Files\\Tempolan\\tempolan.exe", path);
    ASSERT_TRUE(entry.Set(L"Z:\\other\\tempolan.exe"));
    ASSERT_TRUE(entry.Query(path, 260));
    EXPECT_STREQ(L"Z:\\other\\tempolan.exe", path);

    EXPECT_TRUE(entry.Remove());
    EXPECT_FALSE(entry.Query(path, 260));
}

// The shell runs the value as a command line: a path with a blank is stored
// quoted, and read back as the bare path.
TEST_F(Autostart, QuotesAPathWithABlank)
{
    struct Case {
        const WCHAR* set;     // given to Set; null: `stored` written by another program
        const WCHAR* stored;  // the value's text
        const WCHAR* read;    // what Query gives back
    } cases[] = {
        {L"Z:\\other\\tempolan.exe", L"Z:\\other\\tempolan.exe", L"Z:\\other\\tempolan.exe"},
        {L"C:\\Program Files\\Tempolan\\tempolan.exe", L"\"C:\\Program Files\\Tempolan\\tempolan.exe\"",
         L"C:\\Program Files\\Tempolan\\tempolan.exe"},
        {nullptr, L"\"C:\\Program Files\\Tempolan\\tempolan.exe\"", L"C:\\Program Files\\Tempolan\\tempolan.exe"},
        {nullptr, L"\"Z:\\other\\tempolan.exe\"", L"Z:\\other\\tempolan.exe"},
    };
    CRegistryAutostart entry(root.Get());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored);
        if (c.set) {
            ASSERT_TRUE(entry.Set(c.set));
        } else {
            ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(root.Get(), kRunKeyPath, kAutostartValueName, REG_SZ, c.stored,
                                                     (DWORD)((wcslen(c.stored) + 1) * sizeof(WCHAR))));
        }
        WCHAR stored[260] = {};
        DWORD bytes = sizeof(stored);
        ASSERT_EQ(ERROR_SUCCESS,
                  RegGetValueW(root.Get(), kRunKeyPath, kAutostartValueName, RRF_RT_REG_SZ, nullptr, stored, &bytes));
        EXPECT_STREQ(c.stored, stored);

        // the bare path is what must fit, not the quotes around it
        DWORD fits = (DWORD)wcslen(c.read) + 1;
        WCHAR path[260];
        ASSERT_TRUE(entry.Query(path, fits));
        EXPECT_STREQ(c.read, path);
        EXPECT_FALSE(entry.Query(path, fits - 1));
    }
}

#ifdef TL_PROGRAM_FOLDER
TEST(BuildInfo, ReadsTheProgramsVersion)
{
    std::wstring exe = std::wstring(TL_PROGRAM_FOLDER) + L"tempolan.exe";
    CFileBuildInfo source(exe.c_str());
    BuildInfo info;
    ASSERT_TRUE(source.GetBuildInfo(&info));
    WCHAR version[32] = L"Tempolan ";
    AppendVersionText(info.fileVersion, version, 32);
    EXPECT_STREQ(L"Tempolan 5.3.1 x64", version);
    // cut to fit, always terminated
    WCHAR small[12] = L"Tempolan ";
    AppendVersionText(info.fileVersion, small, 12);
    EXPECT_STREQ(L"Tempolan 5.", small);
    EXPECT_GE(info.buildDate.wYear, 2024);

    CFileBuildInfo missing((std::wstring(TL_PROGRAM_FOLDER) + L"no-such.exe").c_str());
    EXPECT_FALSE(missing.GetBuildInfo(&info));
}
#endif

namespace {

class CFakeReloadHost : public IReloadHost {
public:
    void CloseClockWindows() override { steps += "close "; }
    void ClearNewsChannels() override { steps += "clear "; }
    void ReloadProxySettings() override { steps += "proxy "; }
    void RemoveUnregisteredChannels() override { steps += "prune "; }
    void RefreshNewsWindows() override { steps += "news "; }
    bool IsTaskbarHookInPlace() override { return hook; }
    void AddTrayIcon() override { steps += "tray "; }
    void RefreshLocalZone() override { steps += "zone "; }
    void CreateDesktopClocks() override { steps += "desktop "; }
    SYSTEMTIME NowUtc() override { return MakeTime(2026, 6, 1, 12); }
    DWORD TickCount() override { return 4242; }
    std::string steps;
    bool hook = true;
};

// With the zone table of the tests behind the clock readers.
class LoadAll : public MainSettings {
protected:
    LoadAll() : zones(system) {}
    void SetUp() override
    {
        MainSettings::SetUp();
        ASSERT_TRUE(zones.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        seams.clocks.zones = &zones;
        seams.clocks.localZone = &system;
        Defaults("[default:main]\nlanguage=de\n");
    }
    CFakeSystemZone system;
    CZoneDatabase zones;
};

}  // namespace

TEST_F(LoadAll, ReadsTheClocksAndCounts)
{
    Settings("[user:main]\nlanguage=en\n"
             "[user:clock1]\nenabled=1\non_desktop=1\n"
             "[user:clock2]\nenabled=1\n"
             "[user:clock3]\nenabled=0\n");
    CMainSettings settings(seams);
    settings.LoadAllSettings(MakeTime(2026, 6, 1, 12));
    ASSERT_EQ(3, settings.ClockCount());
    ASSERT_NE(nullptr, settings.Clocks());
    EXPECT_EQ(2, settings.EnabledCount());
    EXPECT_EQ(3u, settings.Block().clockCount);
    EXPECT_EQ(2u, settings.Block().enabledClocks);
    EXPECT_EQ(3u, settings.Clocks()[2].id);
    EXPECT_EQ(L"en", Text(settings.Block().language, 16));
    EXPECT_EQ(std::wstring(paths.folder) + L"skins\\", settings.SkinFolder());

    // a second load replaces the array
    Settings("[user:main]\n[user:clock1]\nenabled=0\n");
    settings.LoadAllSettings(MakeTime(2026, 6, 1, 12));
    EXPECT_EQ(1, settings.ClockCount());
    EXPECT_EQ(1, settings.EnabledCount());
}

TEST_F(LoadAll, NoClockSectionsGiveAnEmptyArray)
{
    Settings("[user:main]\nlanguage=en\n");
    CMainSettings settings(seams);
    settings.LoadAllSettings(MakeTime(2026, 6, 1, 12));
    EXPECT_EQ(0, settings.ClockCount());
    EXPECT_EQ(nullptr, settings.Clocks());
    EXPECT_EQ(0u, settings.Block().enabledClocks);
}

TEST_F(LoadAll, ReloadCountsTheTaskbarClocks)
{
    const std::string ini = "[user:main]\nlanguage=en\n"
                            "[user:clock1]\nenabled=1\non_desktop=1\n"
                            "[user:clock2]\nenabled=1\n"
                            "[user:clock3]\nenabled=0\n";
    struct Case {
        bool hook;
        int taskbar;
        const char* steps;
    } cases[] = {
        {true, 1, "close clear proxy prune news zone desktop "},
        // without the hook every clock goes to the desktop and the tray icon shows
        {false, 0, "close clear proxy prune news tray zone desktop "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hook);
        Settings(ini);
        CFakeReloadHost host;
        host.hook = c.hook;
        language.activations.clear();
        CMainSettings settings(seams);
        EXPECT_EQ(c.taskbar, settings.ReloadAll(host));
        EXPECT_EQ(c.taskbar, settings.TaskbarClockCount());
        EXPECT_EQ(c.steps, host.steps);
        EXPECT_EQ(4242u, settings.ReloadTick());
        // once by the load, once more after the news
        EXPECT_EQ(2u, language.activations.size());
        ASSERT_EQ(3, settings.ClockCount());
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(!c.hook || i == 0, (settings.Clocks()[i].flags & kClockOnDesktop) != 0) << i;
    }
}
