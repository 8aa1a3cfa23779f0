#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/settings/SettingsExport.h"
#include "app/settings/SettingsFiles.h"
#include "app/settings/SettingsIni.h"
#include "app/settings/SettingsSeams.h"
#include "app/settings/SettingsValues.h"
#include "graphics/records/AlarmRecord.h"
#include "graphics/records/FixedText.h"
#include "tests/support/FakeSettingsSeams.h"
#include "tests/support/TestFiles.h"

namespace {

class CFakeZoneNames : public ILocalZoneNames {
public:
    int GetLocalRegistryZoneName(WCHAR* buffer, int chars, const WCHAR* valueName) const override
    {
        const WCHAR* text = valueName ? L"(UTC+01:00) Amsterdam" : L"W. Europe Standard Time";
        lstrcpynW(buffer, text, chars);
        return lstrlenW(buffer);
    }
};

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_TRUE(f != nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// A program folder of its own per test, with the running user's prefix.
class SettingsFiles : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = m_scratch.Path();
        paths = {};
        CopyFixed(paths.folder, 259, m_folder.c_str());
        CopyFixed(paths.defaultIni, 259, (m_folder + L"default.ini").c_str());
        CopyFixed(paths.userIni, 259, (m_folder + L"tempolan.ini").c_str());
        CopyFixed(paths.skinsRoot, 259, (m_folder + L"skins\\").c_str());
        RefreshUserPrefix(&paths);
        ASSERT_NE(0, paths.userPrefix[0]);
        user = paths.userPrefix;
    }

    void TearDown() override
    {
        // the profile functions keep files cached; flush before removing them
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
    }

    std::wstring File(const WCHAR* name) const { return m_folder + name; }
    void Defaults(const std::string& text) { WriteBytes(paths.defaultIni, text); }
    void Settings(const std::string& text) { WriteBytes(paths.userIni, text); }

    std::wstring Get(const std::wstring& section, const WCHAR* key, const std::wstring& file = L"") const
    {
        std::wstring value;
        ReadProfileText(file.empty() ? paths.userIni : file.c_str(), section.c_str(), key, kMissingKey, &value);
        return value;
    }
    std::wstring Section(const WCHAR* suffix) const { return user + suffix; }
    bool HasSection(const std::wstring& section, const std::wstring& file = L"") const
    {
        std::vector<std::wstring> keys;
        ReadKeyNames(file.empty() ? paths.userIni : file.c_str(), section.c_str(), &keys);
        return !keys.empty();
    }

    SettingsPaths paths;
    std::wstring user;

private:
    CTempFolder m_scratch;
    std::wstring m_folder;
};


std::string Ansi(const std::wstring& s)
{
    return Narrow(s);
}

}  // namespace

TEST_F(SettingsFiles, MergeFillsOnlyMissingKeys)
{
    Defaults("[default:main]\r\n"
             "present=from-defaults\r\n"
             "blank=from-defaults\r\n"
             "missing=filled\r\n"
             "zone=\r\n"
             "timezone=\r\n"
             "emptydefault=\r\n"
             "sentinel=real\r\n"
             "casefold=from-defaults\r\n");
    Settings("[" + Ansi(user) + ":main]\r\npresent=mine\r\nblank=\r\nsentinel=!\\!Empty!\\!\r\nCaseFold=mine\r\n");
    CFakeZoneNames zones;
    ASSERT_TRUE(MergeDefaultSection(paths, paths.userPrefix, L":main", true, &zones));

    struct Case {
        const WCHAR* key;
        const WCHAR* value;
    } cases[] = {
        {L"present", L"mine"},
        {L"blank", L""},  // an empty value exists and stays
        {L"missing", L"filled"},
        {L"zone", L"W. Europe Standard Time"},
        {L"timezone", L"(UTC+01:00) Amsterdam"},
        {L"emptydefault", L""},
        {L"sentinel", L"real"},  // the sentinel as a value means missing
        {L"casefold", L"mine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.key));
        EXPECT_EQ(c.value, Get(Section(L":main"), c.key));
    }
}

TEST_F(SettingsFiles, MergeChoosesTheDefaultsSection)
{
    Defaults("[default:common]\r\nserver=1\r\n"
             "[default:clocks]\r\nshared=yes\r\n"
             "[default:clock2]\r\nnumbered=yes\r\n");
    // a suffix without ":" gets one between; the flag off means the shared clock defaults
    EXPECT_TRUE(MergeDefaultSection(paths, L"", L"common", true, nullptr));
    EXPECT_EQ(L"1", Get(L"common", L"server"));
    EXPECT_TRUE(MergeDefaultSection(paths, paths.userPrefix, L":clock2", false, nullptr));
    EXPECT_EQ(L"yes", Get(Section(L":clock2"), L"shared"));
    EXPECT_EQ(kMissingKey, Get(Section(L":clock2"), L"numbered"));
    EXPECT_TRUE(MergeDefaultSection(paths, paths.userPrefix, L":clock2", true, nullptr));
    EXPECT_EQ(L"yes", Get(Section(L":clock2"), L"numbered"));
    EXPECT_FALSE(MergeDefaultSection(paths, paths.userPrefix, L":clock3", true, nullptr));
    EXPECT_FALSE(HasSection(Section(L":clock3")));
}

TEST_F(SettingsFiles, MergeNeverCutsLongListsOrValues)
{
    // more key names than 2048 characters, and a value past 256 and past 3072
    std::string defaults = "[default:main]\r\n";
    for (int i = 0; i < 100; ++i)
        defaults += "a_rather_long_key_name_" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    std::string longValue(5000, 'v');
    defaults += "long=" + longValue + "\r\n";
    Defaults(defaults);
    ASSERT_TRUE(MergeDefaultSection(paths, paths.userPrefix, L":main", true, nullptr));
    EXPECT_EQ(L"99", Get(Section(L":main"), L"a_rather_long_key_name_99"));
    EXPECT_EQ(std::wstring(5000, L'v'), Get(Section(L":main"), L"long"));
}

TEST_F(SettingsFiles, MergeSurvivesMalformedLines)
{
    Defaults("garbage before any section\r\n"
             "[default:main]\r\n"
             "no equals sign here\r\n"
             "; a comment\r\n"
             "=value without a key\r\n"
             "good=1\r\n"
             "[unterminated section\r\n"
             "after=2\r\n");
    Settings("[" + Ansi(user) + ":main]\r\n=nameless\r\nkeep=this\r\nstray line\r\n");
    MergeDefaultSection(paths, paths.userPrefix, L":main", true, nullptr);
    EXPECT_EQ(L"1", Get(Section(L":main"), L"good"));
    EXPECT_EQ(L"this", Get(Section(L":main"), L"keep"));
}

TEST_F(SettingsFiles, CopyGoesPastEmptyNames)
{
    // an empty section name or key name must not end the lists early
    std::wstring from = File(L"odd.ini"), to = File(L"odd-copy.ini");
    WriteBytes(from, "[]\r\nx=1\r\n"
                     "[a:main]\r\n=nameless\r\nfirst=1\r\n\r\nsecond=2\r\n"
                     "[a:clock1]\r\nzone=z\r\n");
    ASSERT_TRUE(CopySettingsSections(from.c_str(), L"a", to.c_str(), L"b"));
    EXPECT_EQ(L"1", Get(L"b:main", L"first", to));
    EXPECT_EQ(L"2", Get(L"b:main", L"second", to));
    EXPECT_EQ(L"z", Get(L"b:clock1", L"zone", to));
}

namespace {

const char kShippedClocks[] =
    "[default:common]\r\nsyncserver=pool\r\n"
    "[default:main]\r\nlanguage=en\r\n"
    "[default:calendar]\r\nweeks=1\r\n"
    "[default:clocks]\r\nenabled=1\r\nalpha=255\r\n"
    "[default:clock1]\r\nenabled=1\r\nzone=\r\n"
    "[default:clock1:alarm1]\r\ntext=first\r\n"
    "[default:clock1:alarm2]\r\ntext=second\r\n"
    "[default:clock1:alarm4]\r\ntext=after a gap\r\n"
    "[default:clock2]\r\nenabled=0\r\nzone=Tokyo Standard Time\r\n"
    "[default:clock3]\r\nenabled=1\r\n"
    "[default:rss1]\r\nurl=a\r\n"
    "[default:rss2]\r\nurl=b\r\n";

}  // namespace

TEST_F(SettingsFiles, NewUserGetsTheShippedClocksAndChannels)
{
    Defaults(kShippedClocks);
    CFakeTimeService service;
    CFakeZoneNames zones;
    int clocks = -1;
    EXPECT_EQ(2, InitSettingsSections(paths, service, &zones, &clocks));
    EXPECT_EQ(3, clocks);
    EXPECT_EQ(std::vector<DWORD>{129}, service.codes);
    EXPECT_EQ(L"pool", Get(L"common", L"syncserver"));
    EXPECT_EQ(L"en", Get(Section(L":main"), L"language"));
    EXPECT_EQ(L"1", Get(Section(L":calendar"), L"weeks"));
    EXPECT_EQ(L"W. Europe Standard Time", Get(Section(L":clock1"), L"zone"));
    EXPECT_EQ(L"Tokyo Standard Time", Get(Section(L":clock2"), L"zone"));
    EXPECT_EQ(kMissingKey, Get(Section(L":clock1"), L"alpha"));  // the numbered defaults, not the shared ones
    EXPECT_EQ(L"second", Get(Section(L":clock1:alarm2"), L"text"));
    EXPECT_FALSE(HasSection(Section(L":clock1:alarm4")));  // the alarms stop at the first gap
    EXPECT_EQ(L"b", Get(Section(L":rss2"), L"url"));
    EXPECT_EQ(L"2", Get(Section(L":main"), L"rss_channels"));

    // the second run finds an existing user: only the shared clock defaults are added
    EXPECT_EQ(2, InitSettingsSections(paths, service, &zones, &clocks));
    EXPECT_EQ(3, clocks);
    EXPECT_EQ(L"255", Get(Section(L":clock3"), L"alpha"));
    EXPECT_EQ(L"0", Get(Section(L":clock2"), L"enabled"));
    EXPECT_FALSE(HasSection(Section(L":clock1:alarm4")));
    EXPECT_EQ(L"2", Get(Section(L":main"), L"rss_channels"));
}

TEST_F(SettingsFiles, ExistingUserOnlyGetsMissingClockKeys)
{
    Defaults(kShippedClocks);
    Settings("[" + Ansi(user) + ":main]\r\nrss_channels=0\r\n"
             "[" + Ansi(user) + ":clock1]\r\nzone=Mine\r\n");
    CFakeTimeService service;
    int clocks = -1;
    EXPECT_EQ(1, InitSettingsSections(paths, service, nullptr, &clocks));
    EXPECT_EQ(1, clocks);
    EXPECT_EQ(L"Mine", Get(Section(L":clock1"), L"zone"));
    EXPECT_EQ(L"255", Get(Section(L":clock1"), L"alpha"));
    EXPECT_FALSE(HasSection(Section(L":clock1:alarm1")));
    EXPECT_FALSE(HasSection(Section(L":clock2")));
    // "rss_channels" of 0 stops the channel merge
    EXPECT_FALSE(HasSection(Section(L":rss1")));
    EXPECT_EQ(L"0", Get(Section(L":main"), L"rss_channels"));
}

TEST_F(SettingsFiles, NoShippedClockGivesNoClocks)
{
    Defaults("[default:main]\r\nlanguage=en\r\n");
    CFakeTimeService service;
    int clocks = -1;
    EXPECT_EQ(0, InitSettingsSections(paths, service, nullptr, &clocks));
    EXPECT_EQ(0, clocks);
    EXPECT_EQ(L"0", Get(Section(L":main"), L"rss_channels"));
}

TEST_F(SettingsFiles, ClockCountStopsAtThirty)
{
    std::string settings;
    for (int i = 1; i <= 32; ++i)
        settings += "[" + Ansi(user) + ":clock" + std::to_string(i) + "]\r\nenabled=1\r\n";
    Settings(settings);
    Defaults("");
    CFakeTimeService service;
    int clocks = -1;
    EXPECT_EQ(30, InitSettingsSections(paths, service, nullptr, &clocks));
    EXPECT_EQ(30, clocks);
}

TEST(SettingsValues, Milliseconds)
{
    struct Case {
        const WCHAR* text;
        bool ok;
        int64_t value;
    } cases[] = {
        {L"0", true, 0},
        {L"1500", true, 15000000},
        {L"25ms", true, 250000},  // digits up to the first other character
        {L" 5", false, 0},
        {L"-5", false, 0},
        {L"", false, 0},
        {L"abc", false, 0},
        {L"922337203685477", true, 922337203685477LL * 10000},
        {L"922337203685478", false, 0},  // would overflow in 100-ns units
        {L"99999999999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        int64_t value = -7;
        EXPECT_EQ(c.ok, ParseMsValue(c.text, &value));
        EXPECT_EQ(c.ok ? c.value : -7, value);
    }
    WCHAR text[24];
    ASSERT_TRUE(FormatMsValue(15009999, text, 24));
    EXPECT_STREQ(L"1500", text);
}

TEST(SettingsValues, TimeStamps)
{
    struct Case {
        const WCHAR* text;
        bool ok;
        WORD y, mo, d, h, mi, s;
    } cases[] = {
        {L"2024.03.09 07:05:01", true, 2024, 3, 9, 7, 5, 1},
        {L"2024.3.9 7:5:1 ok", true, 2024, 3, 9, 7, 5, 1},
        {L"2024.03.09  07:05:01", true, 2024, 3, 9, 7, 5, 1},
        {L"2024.03.0907:05:01", true, 2024, 3, 9, 7, 5, 1},
        {L"20240.03.09 07:05:01", false},  // the year has at most 4 digits
        {L"2024.03.09 07:05", false},
        {L"2024-03-09 07:05:01", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        SYSTEMTIME t = {};
        ASSERT_EQ(c.ok, ParseTimeStampValue(c.text, &t));
        if (c.ok) {
            EXPECT_EQ(c.y, t.wYear);
            EXPECT_EQ(c.mo, t.wMonth);
            EXPECT_EQ(c.d, t.wDay);
            EXPECT_EQ(c.h, t.wHour);
            EXPECT_EQ(c.mi, t.wMinute);
            EXPECT_EQ(c.s, t.wSecond);
        }
    }
    SYSTEMTIME t = {2024, 3, 6, 9, 7, 5, 1, 0};
    WCHAR text[300];
    FormatTimeStampValue(t, L" 133", text, 300);
    EXPECT_STREQ(L"2024.03.09 07:05:01 133", text);
    std::wstring longText(400, L'x');
    FormatTimeStampValue(t, longText.c_str(), text, 300);
    EXPECT_EQ(kMaxTypedValueChars, wcslen(text));
}

TEST(SettingsValues, FontStyles)
{
    struct Case {
        const WCHAR* text;
        int style;
    } cases[] = {
        {L"", 0}, {L"regular", 0}, {L"Bold", 8}, {L"ITALIC", 1}, {L"bold italic", 9}, {L"italic,BOLD", 9}, {L"bol", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        EXPECT_EQ(c.style, ParseFontStyle(c.text));
    }
}

TEST_F(SettingsFiles, TypedKeysRoundTrip)
{
    std::wstring main = Section(L":main");
    ASSERT_TRUE(WriteMsKey(paths, main.c_str(), L"interval", 36000000000LL));
    EXPECT_EQ(L"3600000", Get(main, L"interval"));
    int64_t ms = 0;
    ASSERT_TRUE(ReadMsKey(paths, main.c_str(), L"interval", &ms));
    EXPECT_EQ(36000000000LL, ms);

    SYSTEMTIME stamp = {2023, 12, 0, 31, 23, 59, 58, 0};
    ASSERT_TRUE(WriteTimeStampKey(paths, main.c_str(), L"last", stamp, L" tail"));
    EXPECT_EQ(L"2023.12.31 23:59:58 tail", Get(main, L"last"));
    SYSTEMTIME read = {};
    ASSERT_TRUE(ReadTimeStampKey(paths, main.c_str(), L"last", &read));
    EXPECT_EQ(2023, read.wYear);
    EXPECT_EQ(31, read.wDay);
    EXPECT_EQ(58, read.wSecond);
    EXPECT_EQ(0, read.wDayOfWeek);  // a Sunday, filled in by the check

    // missing or malformed: false and the value untouched
    WritePrivateProfileStringW(main.c_str(), L"bad", L"2023.02.30 10:00:00", paths.userIni);
    WritePrivateProfileStringW(main.c_str(), L"word", L"soon", paths.userIni);
    SYSTEMTIME kept = read;
    EXPECT_FALSE(ReadTimeStampKey(paths, main.c_str(), L"bad", &kept));
    EXPECT_FALSE(ReadTimeStampKey(paths, main.c_str(), L"absent", &kept));
    EXPECT_EQ(0, memcmp(&kept, &read, sizeof(kept)));
    ms = 42;
    EXPECT_FALSE(ReadMsKey(paths, main.c_str(), L"word", &ms));
    EXPECT_FALSE(ReadMsKey(paths, main.c_str(), L"absent", &ms));
    EXPECT_EQ(42, ms);

    WritePrivateProfileStringW(L"font", L"style", L"Bold Italic", paths.defaultIni);
    EXPECT_EQ(9, ReadFontStyleKey(L"font", L"style", paths.defaultIni));
    EXPECT_EQ(0, ReadFontStyleKey(L"font", L"absent", paths.defaultIni));
}

TEST_F(SettingsFiles, SentinelValueCountsAsMissingInAnyCase)
{
    Settings("[s]\r\nshout=!\\!EMPTY!\\!\r\nreal=x\r\n");
    EXPECT_FALSE(KeyExists(paths.userIni, L"s", L"shout"));
    EXPECT_FALSE(KeyExists(paths.userIni, L"s", L"nothing"));
    EXPECT_TRUE(KeyExists(paths.userIni, L"s", L"real"));
}

namespace {

std::string UserSections(const std::string& prefix)
{
    return "[" + prefix + ":main]\r\nowner=" + prefix + "\r\n"
           "[" + prefix + ":clock1]\r\nzone=" + prefix + " zone\r\n"
           "[" + prefix + ":clock1:alarm1]\r\ntext=" + prefix + " alarm\r\n"
           "[" + prefix + ":clock2]\r\nzone=second\r\n";
}

}  // namespace

TEST_F(SettingsFiles, ExportThenImportRestoresTheUsersSections)
{
    Settings(UserSections(Ansi(user)) + UserSections(Ansi(user) + "x") +
             "[common]\r\nserver=time.example\r\n[map]\r\ninitialized=1\r\n");
    std::wstring target = File(L"export.ini");
    ASSERT_TRUE(ExportSettings(&paths, target.c_str()));

    std::string bytes = ReadFileBytes(target);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
    EXPECT_EQ(user, Get(L"default:main", L"owner", target));
    EXPECT_EQ(L"second", Get(L"default:clock2", L"zone", target));
    EXPECT_EQ(L"time.example", Get(L"common", L"server", target));
    EXPECT_EQ(L"1", Get(L"map", L"initialized", target));
    std::wstring description = Get(L"default:main", L"description", target);
    EXPECT_EQ(0u, description.find(L"Tempolan World Clock settings exported by ")) << Narrow(description);
    // the longer name that starts with the user's stays out
    std::vector<std::wstring> names;
    ReadSectionNames(target.c_str(), &names);
    for (const std::wstring& n : names)
        EXPECT_EQ(std::wstring::npos, n.find(user + L"x")) << Narrow(n);

    // import into an empty settings file
    Settings("");
    ASSERT_TRUE(ImportSettings(&paths, target.c_str()));
    EXPECT_EQ(user, Get(Section(L":main"), L"owner"));
    EXPECT_EQ(user + L" alarm", Get(Section(L":clock1:alarm1"), L"text"));
    EXPECT_EQ(L"second", Get(Section(L":clock2"), L"zone"));
    EXPECT_EQ(L"time.example", Get(L"common", L"server"));
    EXPECT_EQ(kMissingKey, Get(Section(L":main"), L"description"));
}

TEST_F(SettingsFiles, PrefixOnlyMatchesTheWholeName)
{
    Settings(UserSections(Ansi(user)) + UserSections(Ansi(user) + "x"));
    std::wstring target = File(L"longer.ini");
    ASSERT_TRUE(CopySettingsSections(paths.userIni, (user + L"x").c_str(), target.c_str(), L"default"));
    EXPECT_EQ(user + L"x", Get(L"default:main", L"owner", target));
    EXPECT_EQ(user + L"x alarm", Get(L"default:clock1:alarm1", L"text", target));
}

TEST_F(SettingsFiles, ImportWithoutDescriptionIsRefused)
{
    Settings(UserSections(Ansi(user)));
    std::string before = ReadFileBytes(paths.userIni);
    std::wstring source = File(L"nodesc.ini");
    WriteBytes(source, "[default:main]\r\nowner=intruder\r\ndescription=\r\n[default:clock1]\r\nzone=z\r\n");
    EXPECT_FALSE(ImportSettings(&paths, source.c_str()));
    EXPECT_FALSE(ImportSettings(&paths, File(L"missing.ini").c_str()));
    EXPECT_EQ(before, ReadFileBytes(paths.userIni));
}

TEST_F(SettingsFiles, ExportRefusesTheSettingsFileUnderAnySpelling)
{
    Settings(UserSections(Ansi(user)));
    std::string before = ReadFileBytes(paths.userIni);
    std::wstring upper = paths.userIni;
    CharUpperW(&upper[0]);
    std::wstring slashes = paths.userIni;
    for (WCHAR& c : slashes)
        if (c == L'\\')
            c = L'/';
    std::wstring dotted = File(L"sub\\..\\tempolan.ini");
    std::wstring link = File(L"hardlink.ini");
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), paths.userIni, nullptr));

    const std::wstring spellings[] = {paths.userIni, upper, slashes, dotted, link, paths.defaultIni};
    for (const std::wstring& spelling : spellings) {
        SCOPED_TRACE(Narrow(spelling));
        EXPECT_FALSE(ExportSettings(&paths, spelling.c_str()));
        EXPECT_EQ(before, ReadFileBytes(paths.userIni));
    }
    // nor may the settings file be imported into itself
    WritePrivateProfileStringW(L"default:main", L"description", L"x", paths.userIni);
    before = ReadFileBytes(paths.userIni);
    EXPECT_FALSE(ImportSettings(&paths, upper.c_str()));
    EXPECT_EQ(before, ReadFileBytes(paths.userIni));
}

TEST_F(SettingsFiles, BareFileNamesMeanTheCurrentFolder)
{
    Settings(UserSections(Ansi(user)));
    WCHAR previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(paths.folder));
    bool exported = ExportSettings(&paths, L"bare-export.ini");
    Settings("");
    bool imported = ImportSettings(&paths, L"bare-export.ini");
    SetCurrentDirectoryW(previous);

    ASSERT_TRUE(exported);
    std::wstring target = File(L"bare-export.ini");
    // the mark and the sections are in the one file
    EXPECT_EQ("\xFF\xFE", ReadFileBytes(target).substr(0, 2));
    EXPECT_EQ(user, Get(L"default:main", L"owner", target));
    EXPECT_TRUE(imported);
    EXPECT_EQ(user, Get(Section(L":main"), L"owner"));
}

TEST_F(SettingsFiles, CopyKeepsSectionsAndNameListsWhole)
{
    // other users' 30 clocks with 20 alarms each fill the first 32767
    // characters of the section names; the copied user comes last
    std::string source;
    const std::string others[] = {std::string(60, 'a'), std::string(60, 'b')};
    for (const std::string& u : others)
        for (int c = 1; c <= 30; ++c)
            for (int a = 0; a <= 20; ++a)
                source += "[" + u + ":clock" + std::to_string(c) + (a ? ":alarm" + std::to_string(a) : "") +
                          "]\r\nx=1\r\n";
    for (int c = 1; c <= 30; ++c)
        source += "[last:clock" + std::to_string(c) + "]\r\nenabled=1\r\n";
    source += "[last:clock30:alarm20]\r\ntext=20\r\n";
    // and a section past 32767 characters
    source += "[last:main]\r\n";
    for (int i = 0; i < 2000; ++i)
        source += "key" + std::to_string(i) + "=" + std::string(20, 'q') + "\r\n";
    std::wstring from = File(L"many.ini"), to = File(L"copy.ini");
    WriteBytes(from, source);
    std::vector<std::wstring> names;
    ASSERT_TRUE(ReadSectionNames(from.c_str(), &names));
    size_t chars = 0;
    for (const std::wstring& n : names)
        chars += n.size() + 1;
    ASSERT_GT(chars, 32767u);

    ASSERT_TRUE(CopySettingsSections(from.c_str(), L"last", to.c_str(), L"default"));
    EXPECT_EQ(L"20", Get(L"default:clock30:alarm20", L"text", to));
    EXPECT_EQ(L"1", Get(L"default:clock30", L"enabled", to));
    EXPECT_EQ(std::wstring(20, L'q'), Get(L"default:main", L"key1999", to));
    EXPECT_FALSE(HasSection(L"default:clock1:alarm1", to));  // nothing of the other users
}

TEST_F(SettingsFiles, CopyDropsStaleTargetSectionsAndBadClockNumbers)
{
    std::wstring from = File(L"from.ini");
    WriteBytes(from, "[default:clock1]\r\nzone=new1\r\n"
                     "[default:clock1:alarm1]\r\ntext=new\r\n"
                     "[default:clock2]\r\nzone=new2\r\n"
                     "[default:clock0]\r\nzone=bad\r\n"
                     "[default:clock31]\r\nzone=bad\r\n"
                     "[default:clocks]\r\nzone=bad\r\n"
                     "[default:clock2x]\r\nzone=bad\r\n");
    std::string target;
    for (int c = 1; c <= 4; ++c) {
        target += "[" + Ansi(user) + ":clock" + std::to_string(c) + "]\r\nzone=old\r\n";
        for (int a = 1; a <= 3; ++a)
            target += "[" + Ansi(user) + ":clock" + std::to_string(c) + ":alarm" + std::to_string(a) + "]\r\nx=1\r\n";
    }
    Settings(target);
    ASSERT_TRUE(CopySettingsSections(from.c_str(), L"default", paths.userIni, paths.userPrefix));

    EXPECT_EQ(L"new1", Get(Section(L":clock1"), L"zone"));
    EXPECT_EQ(L"new", Get(Section(L":clock1:alarm1"), L"text"));
    EXPECT_FALSE(HasSection(Section(L":clock1:alarm2")));
    EXPECT_EQ(L"new2", Get(Section(L":clock2"), L"zone"));
    EXPECT_FALSE(HasSection(Section(L":clock2:alarm1")));
    EXPECT_FALSE(HasSection(Section(L":clock3")));
    EXPECT_FALSE(HasSection(Section(L":clock3:alarm1")));
    EXPECT_FALSE(HasSection(Section(L":clock4")));
    const WCHAR* bad[] = {L":clock0", L":clock31", L":clocks", L":clock2x"};
    for (const WCHAR* suffix : bad) {
        SCOPED_TRACE(Narrow(suffix));
        EXPECT_FALSE(HasSection(Section(suffix)));
    }
}

TEST_F(SettingsFiles, CopyRefusesMissingOrSameFiles)
{
    Settings(UserSections(Ansi(user)));
    std::string before = ReadFileBytes(paths.userIni);
    std::wstring upper = paths.userIni;
    CharUpperW(&upper[0]);
    EXPECT_FALSE(CopySettingsSections(paths.userIni, nullptr, upper.c_str(), L"other"));
    EXPECT_FALSE(CopySettingsSections(nullptr, nullptr, paths.userIni, nullptr));
    EXPECT_FALSE(CopySettingsSections(L"", nullptr, paths.userIni, nullptr));
    EXPECT_FALSE(CopySettingsSections(paths.userIni, nullptr, L"", nullptr));
    EXPECT_EQ(before, ReadFileBytes(paths.userIni));
}

TEST(AlarmArray, ResizeKeepsRecordsAndZeroesNewOnes)
{
    AlarmRecord* alarms = ResizeAlarmArray(nullptr, 8);
    ASSERT_TRUE(alarms != nullptr);
    EXPECT_EQ(0, alarms[7].enabled);
    alarms[3].enabled = 1;
    CopyFixed(alarms[3].text, FIELD_WIDTH(alarms[3].text), L"wake");
    alarms = ResizeAlarmArray(alarms, 16);
    ASSERT_TRUE(alarms != nullptr);
    EXPECT_EQ(1, alarms[3].enabled);
    EXPECT_TRUE(FixedEquals(alarms[3].text, FIELD_WIDTH(alarms[3].text), L"wake"));
    AlarmRecord zero = {};
    EXPECT_EQ(0, memcmp(&zero, &alarms[15], sizeof(zero)));
    // a count that cannot be allocated leaves the array as it was
    EXPECT_EQ(nullptr, ResizeAlarmArray(alarms, -1));
    EXPECT_EQ(1, alarms[3].enabled);
    EXPECT_EQ(nullptr, ResizeAlarmArray(alarms, 0));
}

TEST(DurationFields, FourFieldsGiveSecondsWithinATimersReach)
{
    struct Case {
        const wchar_t* days;
        const wchar_t* hours;
        const wchar_t* minutes;
        const wchar_t* seconds;
        int64_t total;  // -1: refused
    };
    const Case cases[] = {
        {L"0", L"1", L"2", L"3", 3723},
        {L"999", L"0", L"0", L"0", 999ll * 86400},
        {L"1000", L"0", L"0", L"0", -1},
        {L"-1", L"0", L"0", L"0", -1},
        {L"2", L"12abc", L" 5", L"0", 2 * 86400 + 12 * 3600 + 300},  // leading digits count
        {L"0", L"x", L"0", L"0", -1},
        {L"0", L"", L"0", L"0", -1},
        {L"0", L"0", L"-5", L"0", -1},                                // a negative total
        {L"0", L"0", L"0", L"2147483647", 2147483647},
        {L"0", L"0", L"0", L"2147483648", -1},
        {L"0", L"596523", L"14", L"8", -1},                            // 2,147,483,648: one second past
        {L"0", L"99999999999999999999", L"0", L"0", -1},              // no overflow into range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.hours).c_str() << " " << std::wstring(c.seconds).c_str());
        int64_t total = -7;
        bool ok = ParseDurationFields(c.days, c.hours, c.minutes, c.seconds, &total);
        EXPECT_EQ(c.total >= 0, ok);
        if (ok) {
            EXPECT_EQ(c.total, total);
        } else {
            EXPECT_EQ(-7, total);
        }
    }
    int64_t total;
    EXPECT_FALSE(ParseDurationFields(nullptr, L"0", L"0", L"0", &total));
}

TEST(UnicodeSettingsFile, OnlyFilesThatAreNotUtf16AreConverted)
{
    const std::string mainUtf16("\xFF\xFE[\0u\0:\0m\0a\0i\0n\0]\0\r\0\n\0", 24);
    // UTF-16 without ":main": another user's section in Greek, never re-read as ANSI
    const std::string otherUtf16("\xFF\xFE[\0b\0:\0c\0]\0\r\0\n\0x\0=\0\xA9\x03\r\0\n\0", 26);
    const std::string noBomUtf16("[\0u\0:\0m\0a\0i\0n\0]\0\r\0\n\0", 22);
    const std::string ansi = "[u:main]\r\nskin=Blue LCD\r\n";
    const std::string utf8 = "\xEF\xBB\xBF[u:main]\r\ncaption=\xCE\xA9mega\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        bool converted;
        const wchar_t* caption;  // read back from "u:main" when converted
    };
    const Case cases[] = {
        {"UTF-16 with :main", mainUtf16, false, nullptr},
        {"UTF-16 without :main", otherUtf16, false, nullptr},
        {"UTF-16 without a byte order mark", noBomUtf16, false, nullptr},
        {"ANSI", ansi, true, L""},
        {"UTF-8", utf8, true, L"\x03A9mega"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTempFolder folder;
        ASSERT_TRUE(folder.WriteBytes(L"tempolan.ini", c.bytes));
        std::wstring path = folder.File(L"tempolan.ini");
        EXPECT_TRUE(EnsureUnicodeSettingsFile(path.c_str()));
        std::string after = ReadFileBytes(path);
        if (!c.converted) {
            EXPECT_EQ(c.bytes, after);
            continue;
        }
        ASSERT_GE(after.size(), 2u);
        EXPECT_EQ("\xFF\xFE", after.substr(0, 2));
        WCHAR value[64];
        GetPrivateProfileStringW(L"u:main", L"caption", L"", value, 64, path.c_str());
        EXPECT_EQ(std::wstring(c.caption), std::wstring(value));
        if (c.bytes == ansi) {
            GetPrivateProfileStringW(L"u:main", L"skin", L"", value, 64, path.c_str());
            EXPECT_EQ(std::wstring(L"Blue LCD"), std::wstring(value));
        }
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((path + L".utf16").c_str()));
    }
}

TEST(UnicodeSettingsFile, AFailedConversionLeavesTheFileAsItWas)
{
    CTempFolder folder;
    const std::string ansi = "[u:main]\r\nskin=Blue LCD\r\n";
    ASSERT_TRUE(folder.WriteBytes(L"tempolan.ini", ansi));
    // the temporary file's name is taken by a folder
    ASSERT_TRUE(folder.AddFolder(L"tempolan.ini.utf16"));
    std::wstring path = folder.File(L"tempolan.ini");
    EXPECT_FALSE(EnsureUnicodeSettingsFile(path.c_str()));
    EXPECT_EQ(ansi, ReadFileBytes(path));

    EXPECT_FALSE(EnsureUnicodeSettingsFile(folder.File(L"missing.ini").c_str()));
    std::string big(16u * 1024 * 1024 + 1, 'x');
    ASSERT_TRUE(folder.WriteBytes(L"big.ini", big));
    EXPECT_FALSE(EnsureUnicodeSettingsFile(folder.File(L"big.ini").c_str()));
}
