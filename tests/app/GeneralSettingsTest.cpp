#include <gtest/gtest.h>

#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include "app/settings/MainSettings.h"
#include "app/settings/SettingsIni.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Paths.h"
#include "tests/support/FakeSettingsSeams.h"
#include "tests/support/TestFiles.h"

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out((size_t)bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], bytes, nullptr, nullptr);
    return out;
}

std::string FieldUtf8(const WCHAR* field, size_t width)
{
    return Utf8(std::wstring(field, FixedLength(field, width)));
}

// Every value the pages edit, a line each, so a failed round trip shows which.
std::string Describe(const SettingsBlock& block, const EditedSettings& edited)
{
    char options[16];
    snprintf(options, sizeof(options), "0x%x", (unsigned)block.options);
    std::string text = "language=" + FieldUtf8(block.language, FIELD_WIDTH(block.language)) + "\n"
                       + "options=" + options + "\n"
                       + "autostart=" + std::to_string(edited.autostart) + "\n"
                       + "week=" + std::to_string(block.weekNumbering) + " from " + std::to_string(block.weekStart)
                       + "\n"
                       + "months=" + std::to_string(block.calendarMonths) + "\n"
                       + "synctype=" + std::to_string(block.syncType) + "\n"
                       + "server=" + std::to_string(edited.serverIndex) + " "
                       + FieldUtf8(block.timeServer, FIELD_WIDTH(block.timeServer)) + "\n"
                       + "trayclocks=" + std::to_string(block.trayClocks) + "\n"
                       + "skin=" + FieldUtf8(block.skin, FIELD_WIDTH(block.skin)) + "\n"
                       + "news=" + std::to_string(block.newsFlags) + "\n";
    for (const NewsFeedSettings& feed : edited.feeds) {
        text += "feed=" + Utf8(feed.url) + " " + std::to_string(feed.ttlMinutes) + " " + std::to_string(feed.expanded)
                + " " + std::to_string(feed.enabled) + "\n";
    }
    return text;
}

std::string Describe(const CMainSettings& settings)
{
    return Describe(settings.Block(), settings.Edited());
}

// A user's file with every switch off or on; two feeds, or four when on.
std::string UserFile(bool on)
{
    const std::string b = on ? "1" : "0";
    std::string ini = "[common]\nautosync=" + b + "\nsynctype=" + (on ? "3" : "1")
                      + "\nserver=1\nserver1=one.example.test\nserver2=two.example.test\n"
                        "[user:main]\nlanguage=en\nskin=Brass\ntrayclocks=4\nweek_start=3\nweek_numeration=" + b
                      + "\nplaceviews=" + b + "\nautostart=" + b + "\ntransparentskin=" + b + "\noverlayprefixes=" + b
                      + "\ntooltips=" + b + "\ntooltipkind=" + b + "\ntooltip_calendar=" + b + "\nads=" + b
                      + "\nnotifications=" + b + "\nfade_news=" + b + "\nrss_channels=" + (on ? "4" : "2")
                      + "\n[user:calendar]\nnum_month=2\n";
    const char* names[] = {"one", "two", "three", "four"};
    for (int k = 1; k <= (on ? 4 : 2); ++k) {
        ini += "[user:rss" + std::to_string(k) + "]\nurl=http://" + names[k - 1] + ".example.test/feed\nttl="
               + std::to_string(15 * k) + "\nexpanded=" + b + "\nenabled=" + b + "\n";
    }
    return ini;
}

void SetField(WCHAR* field, size_t width, const WCHAR* text)
{
    CopyFixed(field, width, text);
}

// A program folder per test with user "user".
class GeneralSettings : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildIniPathsFor(m_folder.Path().c_str(), L"user", &paths));
        seams = FakeMainSettingsSeams(paths, language, autostart, service);
    }

    void TearDown() override
    {
        // the profile functions keep files cached; flush before the folder goes
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
    }

    void Settings(const std::string& bytes) { ASSERT_TRUE(m_folder.WriteBytes(L"tempolan.ini", bytes)); }
    std::wstring Raw(const WCHAR* section, const WCHAR* key)
    {
        std::wstring value;
        ReadProfileText(paths.userIni, section, key, kMissingKey, &value);
        return value;
    }
    // The settings file as the profile functions list it: "[section]" and
    // its lines, sections and keys in file order.
    std::string FileText()
    {
        std::vector<std::wstring> sections;
        EXPECT_TRUE(ReadSectionNames(paths.userIni, &sections));
        std::string text;
        for (const std::wstring& section : sections) {
            text += "[" + Utf8(section) + "]\n";
            std::vector<std::wstring> lines;
            EXPECT_TRUE(ReadSectionLines(paths.userIni, section.c_str(), &lines));
            for (const std::wstring& line : lines)
                text += Utf8(line) + "\n";
        }
        return text;
    }

    SettingsPaths paths = {};
    CFakeActiveLanguage language;
    CFakeAutostart autostart;
    CFakeTimeService service;
    MainSettingsSeams seams = {};

private:
    CTempFolder m_folder;
};

struct Edit {
    const char* what;
    uint32_t groups;
    std::function<void(CMainSettings&)> apply;
};

std::vector<Edit> PageEdits()
{
    auto toggle = [](uint32_t bit) { return [bit](CMainSettings& s) { s.Block().options ^= bit; }; };
    auto toggleNews = [](uint32_t bit) { return [bit](CMainSettings& s) { s.Block().newsFlags ^= bit; }; };
    std::vector<Edit> edits = {
        {"language", kWriteGeneral, [](CMainSettings& s) { SetField(s.Block().language, 16, L"de"); }},
        {"city photos", kWriteGeneral, toggle(kOptCityPhotos)},
        {"autostart", kWriteGeneral, [](CMainSettings& s) { s.Edited().autostart = !s.Edited().autostart; }},
        {"week numbering", kWriteGeneral, [](CMainSettings& s) { s.Block().weekNumbering ^= 1; }},
        {"week from Sunday", kWriteGeneral, [](CMainSettings& s) { s.Block().weekStart = 0; }},
        {"week from Saturday", kWriteGeneral, [](CMainSettings& s) { s.Block().weekStart = 6; }},
        {"calendar months", kWriteGeneral, [](CMainSettings& s) { s.Block().calendarMonths = 12; }},
        {"autosync", kWriteSynchronisation, toggle(kOptAutoSync)},
        {"sync type", kWriteSynchronisation,
         [](CMainSettings& s) {
             s.Block().syncType = s.Block().syncType == kSyncBeforeAlarms ? kSyncTypeDefault : kSyncBeforeAlarms;
         }},
        {"listed server", kWriteSynchronisation,
         [](CMainSettings& s) {
             s.Edited().serverIndex = 2;
             SetField(s.Block().timeServer, 128, L"two.example.test");
         }},
        {"typed server", kWriteSynchronisation,
         [](CMainSettings& s) {
             s.Edited().serverIndex = -3;
             SetField(s.Block().timeServer, 128, L"time.example.test");
         }},
        {"tray clocks", kWriteTaskbar, [](CMainSettings& s) { s.Block().trayClocks = 7; }},
        {"transparent skin", kWriteTaskbar, toggle(kOptTransparentSkin)},
        {"overlay prefixes", kWriteTaskbar, toggle(kOptOverlayPrefixes)},
        {"tooltips", kWriteTaskbar, toggle(kOptTooltips)},
        {"other tooltip", kWriteTaskbar, toggle(kOptOtherTooltip)},
        {"tooltip calendar", kWriteTaskbar, toggle(kOptTooltipCalendar)},
        {"skin", kWriteTaskbar, [](CMainSettings& s) { SetField(s.Block().skin, 80, L"Copper"); }},
        {"ads", kWriteNews, toggleNews(1)},
        {"notifications", kWriteNews, toggleNews(2)},
        {"fading news", kWriteNews, toggleNews(4)},
        {"three feeds", kWriteNews,
         [](CMainSettings& s) {
             s.Edited().feeds = {{L"http://a.example.test/rss", 5, true, true},
                                 {L"http://b.example.test/atom", 60, false, true},
                                 {L"http://c.example.test/", 1440, true, false}};
         }},
    };
    std::vector<Edit> each = edits;
    edits.push_back({"all", kWriteAllGroups, [each](CMainSettings& s) {
                         for (const Edit& e : each)
                             e.apply(s);
                     }});
    return edits;
}

}  // namespace

// What a page changes and writes, the main program reads back, from a file
// with every switch off and one with every switch on.
TEST_F(GeneralSettings, RoundTripThroughTheMainProgramsReader)
{
    const SYSTEMTIME now = MakeTime(2026, 6, 1, 12);
    for (bool on : {false, true}) {
        for (const Edit& edit : PageEdits()) {
            SCOPED_TRACE(testing::Message() << edit.what << (on ? " from on" : " from off"));
            Settings(UserFile(on));
            CMainSettings settings(seams);
            settings.LoadAllSettings(now);
            const std::string loaded = Describe(settings);
            edit.apply(settings);
            ASSERT_NE(loaded, Describe(settings)) << "the edit must change a value";

            // a typed server is listed under its index's absolute value once written
            SettingsBlock block = settings.Block();
            EditedSettings edited = settings.Edited();
            const bool typed = edited.serverIndex < 0;
            if (typed)
                edited.serverIndex = -edited.serverIndex;

            autostart.calls.clear();
            service.codes.clear();
            settings.WriteGeneralSettings(edit.groups);

            std::vector<std::wstring> run;
            if (edit.groups & kWriteGeneral) {
                run.push_back(edited.autostart ? L"set " + std::wstring(paths.folder) + L"tempolan.exe" : L"remove");
                EXPECT_EQ(edited.autostart, autostart.present);
            }
            EXPECT_EQ(run, autostart.calls);
            std::vector<DWORD> controls;
            if (edit.groups & kWriteSynchronisation)
                controls.push_back(kServiceControlReadSettings);
            EXPECT_EQ(controls, service.codes);
            EXPECT_EQ(edited.serverIndex, settings.Edited().serverIndex);
            if (typed) {
                EXPECT_EQ(L"time.example.test", Raw(L"common", L"server3"));
                EXPECT_EQ(L"3", Raw(L"common", L"server"));
            }
            // a feed section past the count stays, unread
            if (on && (edit.groups & kWriteNews)) {
                EXPECT_EQ(L"http://four.example.test/feed", Raw(L"user:rss4", L"url"));
                EXPECT_EQ(std::to_wstring(edited.feeds.size()), Raw(L"user:main", L"rss_channels"));
            }

            CMainSettings fresh(seams);
            fresh.LoadAllSettings(now);
            EXPECT_EQ(Describe(block, edited), Describe(fresh));
        }
    }
}

// Starting from an empty file, every key in it afterwards was written by the
// groups asked for, in the order they write them.
TEST_F(GeneralSettings, WritesOnlyTheGroupsAskedForInOrder)
{
    const std::string skin(80, 'k');
    const std::string general = "language=de\nplaceviews=1\nautostart=1\nweek_numeration=1\nweek_start=6\n";
    const std::string calendar = "[user:calendar]\nnum_month=3\n";
    const std::string sync = "[common]\nautosync=1\nsynctype=3\nserver2=typed.example.test\nserver=2\n";
    const std::string taskbar = "trayclocks=5\ntransparentskin=0\noverlayprefixes=1\ntooltips=0\ntooltipkind=0\n"
                                "tooltip_calendar=1\nskin=" + skin + "\n";
    const std::string news = "ads=1\nnotifications=0\nfade_news=1\nrss_channels=2\n";
    const std::string feeds = "[user:rss1]\nurl=http://a.example.test/\nttl=20\nexpanded=1\nenabled=0\n"
                              "[user:rss2]\nurl=\nttl=10\nexpanded=0\nenabled=1\n";
    struct Case {
        uint32_t groups;
        std::string file;
    } cases[] = {
        {kWriteGeneral, "[user:main]\n" + general + calendar},
        {kWriteSynchronisation, sync},
        {kWriteTaskbar, "[user:main]\n" + taskbar},
        {kWriteNews, "[user:main]\n" + news + feeds},
        {kWriteSynchronisation | kWriteNews, sync + "[user:main]\n" + news + feeds},
        {kWriteAllGroups, "[user:main]\n" + general + taskbar + news + calendar + sync + feeds},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.groups);
        Settings("");
        CMainSettings settings(seams);
        settings.LoadMainSettings();
        SettingsBlock& block = settings.Block();
        SetField(block.language, 16, L"de");
        block.options = kOptCityPhotos | kOptAutoSync | kOptOverlayPrefixes | kOptTooltipCalendar;
        settings.Edited().autostart = true;
        block.weekNumbering = 1;
        block.weekStart = 6;
        block.calendarMonths = 3;
        block.syncType = kSyncBeforeAlarms;
        settings.Edited().serverIndex = -2;
        SetField(block.timeServer, 128, L"typed.example.test");
        block.trayClocks = 5;
        // as wide as the field, so without a terminator
        SetField(block.skin, 80, std::wstring(skin.begin(), skin.end()).c_str());
        block.newsFlags = 5;
        settings.Edited().feeds = {{L"http://a.example.test/", 20, true, false}, {L"", 10, false, true}};

        settings.WriteGeneralSettings(c.groups);
        EXPECT_EQ(c.file, FileText());
    }
}

// The profile functions keep a file's encoding, and an ANSI one cannot hold
// a Greek name: the file becomes UTF-16 before anything is written.
TEST_F(GeneralSettings, WritesIntoAUtf16File)
{
    const std::string clock = "[user:clock1]\r\nlocation=\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1\r\n";
    const std::wstring athens = L"\x0391\x03B8\x03AE\x03BD\x03B1";
    const std::wstring omega = L"\x03A9\x03BC\x03AD\x03B3\x03B1";
    struct Case {
        const char* what;
        std::string bytes;
        const WCHAR* location;
    } cases[] = {
        {"UTF-8", "\xEF\xBB\xBF[user:main]\r\nskin=Brass\r\n" + clock, athens.c_str()},
        {"ANSI", "[user:main]\r\nskin=Brass\r\n[user:clock1]\r\nlocation=Paris\r\n", L"Paris"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Settings(c.bytes);
        CMainSettings settings(seams);
        settings.LoadMainSettings();
        SetField(settings.Block().skin, 80, omega.c_str());
        settings.WriteGeneralSettings(kWriteTaskbar);

        std::string bytes = ReadFileBytes(paths.userIni);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
        EXPECT_EQ(omega, Raw(L"user:main", L"skin"));
        EXPECT_EQ(c.location, Raw(L"user:clock1", L"location"));
        CMainSettings fresh(seams);
        fresh.LoadMainSettings();
        EXPECT_EQ(omega, std::wstring(fresh.Block().skin, FixedLength(fresh.Block().skin, 80)));
    }
}
