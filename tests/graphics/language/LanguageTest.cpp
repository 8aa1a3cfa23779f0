#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "graphics/language/Language.h"
#include "graphics/system/Handles.h"
#include "settings/SettingsStrings.h"
#include "tests/support/TestFiles.h"

namespace {

// Language files: UTF-16 with its byte order mark, and text in the ANSI code
// page (false when the code page cannot hold the text).
void WriteUtf16(const CTempFolder& folder, const wchar_t* name, const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    bytes.append((const char*)text.data(), text.size() * sizeof(wchar_t));
    ASSERT_TRUE(folder.WriteBytes(name, bytes));
}

bool WriteAnsi(const CTempFolder& folder, const wchar_t* name, const std::wstring& text)
{
    BOOL lost = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, &lost);
    std::string bytes(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), &bytes[0], n, nullptr, &lost);
    return !lost && folder.WriteBytes(name, bytes);
}

// Resources only: no code of the library runs.
HMODULE LoadDataLibrary(const wchar_t* path)
{
    return LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

std::wstring String(HMODULE module, UINT id)
{
    wchar_t text[256] = {};
    LoadStringW(module, id, text, 256);
    return text;
}

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

// A language set up as the loaders do: program folder, "tempolan", and the
// thread locale given back at the end.
class Language : public testing::Test {
protected:
    Language() : m_savedLocale(GetThreadLocale()) {}
    ~Language() override { SetThreadLocale(m_savedLocale); }
    void SetUp() override
    {
        lang.SetAppName(L"tempolan");
        lang.SetFolder(folder.Path().c_str());
    }
    CTempFolder folder;
    CLanguage lang;

private:
    LCID m_savedLocale;
};

// The default-constructed object, before the loaders touch it.
TEST(LanguageStart, TakesTheUserLocaleAndTheModuleFolder)
{
    CLanguage lang;
    EXPECT_EQ((LCID)LOCALE_USER_DEFAULT, lang.GetLcid());
    wchar_t abbrev[16] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, abbrev, 16);
    CharLowerW(abbrev);
    EXPECT_STREQ(abbrev, lang.GetCode());

    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder = exe;
    folder.erase(folder.find_last_of(L'\\') + 1);
    EXPECT_STREQ(folder.c_str(), lang.GetFolder());
    // the executable's name without folder and extension
    std::wstring name = std::wstring(exe).substr(folder.size());
    name.erase(name.find_last_of(L'.'));
    EXPECT_STREQ(name.c_str(), lang.GetAppName());
    EXPECT_STREQ(L"", lang.GetIniPath());
    EXPECT_STREQ(L"", lang.GetFallbackIniPath());
    EXPECT_EQ(nullptr, lang.GetResources());
}

TEST(LanguageNames, IniPathTakesTheFirstTwoLettersOfTheCode)
{
    // the longest folder, with room for "tempo_de.ini" and the NUL
    const std::wstring longFolder = L"C:\\" + std::wstring(kLanguageFolderMaxChars - 4, L'f') + L"\\";
    struct {
        std::wstring folder, app;
        const wchar_t* code;
        bool fix;
        std::wstring expected;  // empty: no path
    } cases[] = {
        {L"C:\\Prog\\", L"tempolan", L"de", true, L"C:\\Prog\\tempolan_de.ini"},
        {L"C:\\Prog", L"tempolan", L"deu", true, L"C:\\Prog\\tempolan_de.ini"},
        {L"C:\\Prog\\", L"tempolan", L"jp", true, L"C:\\Prog\\tempolan_ja.ini"},
        {L"C:\\Prog\\", L"tempolan", L"mr", true, L"C:\\Prog\\tempolan_mi.ini"},
        {L"C:\\Prog\\", L"tempolan", L"mr", false, L"C:\\Prog\\tempolan_mr.ini"},
        {L"C:\\Prog\\", L"tempolan", L"d", true, L"C:\\Prog\\tempolan_.ini"},
        {L"C:\\Prog\\", L"tempolan", nullptr, true, L"C:\\Prog\\tempolan_.ini"},
        {longFolder, L"tempo", L"de", true, longFolder + L"tempo_de.ini"},
        {longFolder, L"tempol", L"de", true, L""},         // path longer than MAX_PATH
        {L"g" + longFolder, L"t", L"de", true, L""},       // one over the folder limit
        {L"", L"tempolan", L"de", true, L""},                // a relative name
        {L"C:\\Prog\\", L"", L"de", true, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.folder.size() << " " << (c.code ? c.code : L"(null)"));
        wchar_t path[kLanguagePathChars];
        path[0] = L'x';
        bool built = BuildLanguageIniPath(path, c.folder.c_str(), c.app.c_str(), c.code, c.fix, L".ini");
        EXPECT_EQ(!c.expected.empty(), built);
        EXPECT_EQ(c.expected, path);
    }
}

TEST(LanguageNames, OldCodesAreReplacedOnce)
{
    const wchar_t* cases[][2] = {
        {L"in", L"id"}, {L"mr", L"mi"}, {L"ml", L"mt"}, {L"ts", L"tn"}, {L"sm", L"se"}, {L"mo", L"mn"},
        {L"jp", L"ja"}, {L"ch", L"zh"}, {L"di", L"dv"}, {L"ma", L"mr"}, {L"ka", L"kn"}, {L"my", L"ml"},
        // codes that are not old stay, and a replacement is not replaced again
        {L"de", L"de"}, {L"mi", L"mi"}, {L"JP", L"JP"}, {L"e", L"e"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0]);
        wchar_t out[3];
        FixOldLanguageCode(c[0], out);
        EXPECT_STREQ(c[1], out);
    }
}

TEST(LanguageNames, MenuKeysKeepOnlyPlainCharacters)
{
    struct {
        const wchar_t* text;
        int length;
        const wchar_t* key;
    } cases[] = {
        {L"&Time zones...", 256, L"Time_zones..."},
        {L"\u00dcber &Tempolan", 256, L"ber_Tempolan"},
        {L"Log-in_1.2", 256, L"Log-in_1.2"},
        {L"Show\tCtrl+A", 256, L"ShowCtrlA"},
        {L"&&Co (new)!", 256, L"Co_new"},
        {L"", 256, L""},
        {L"abcdef", 4, L"abc"},  // no NUL within the buffer: ended on its last place
        {L"a&bcdef", 4, L"abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length);
        std::wstring text = c.text;
        text.resize(256, L'\0');
        int length = MakeMenuKey(&text[0], c.length);
        EXPECT_STREQ(c.key, text.c_str());
        EXPECT_EQ((int)wcslen(c.key), length);
    }
}

TEST_F(Language, SetFolderTellsWhetherTheEnglishFileExists)
{
    EXPECT_FALSE(lang.SetFolder(folder.Path().c_str()));
    EXPECT_STREQ(L"", lang.GetFallbackIniPath());
    folder.WriteBytes(L"tempolan_en.ini", "[MENU_Main]\r\n100=Open\r\n");
    EXPECT_TRUE(lang.SetFolder(folder.Path().c_str()));
    EXPECT_EQ(folder.File(L"tempolan_en.ini"), lang.GetFallbackIniPath());

    // without a backslash the same file
    std::wstring bare = folder.Path();
    bare.pop_back();
    EXPECT_TRUE(lang.SetFolder(bare.c_str()));
    EXPECT_EQ(folder.File(L"tempolan_en.ini"), lang.GetFallbackIniPath());

    EXPECT_FALSE(lang.SetAppName(L"other"));
    EXPECT_TRUE(lang.SetAppName(L"tempolan"));
    EXPECT_FALSE(lang.SetAppName(nullptr));
    EXPECT_STREQ(L"", lang.GetAppName());
    lang.SetAppName(L"tempolan");
    EXPECT_FALSE(lang.SetFolder(nullptr));
    EXPECT_STREQ(L"", lang.GetFolder());
    EXPECT_STREQ(L"", lang.GetFallbackIniPath());
}

TEST_F(Language, FindIniFileLowerCasesAndFixesTheCode)
{
    folder.WriteBytes(L"tempolan_ja.ini", "");
    folder.WriteBytes(L"tempolan_de.ini", "");
    folder.AddFolder(L"tempolan_fr.ini");
    struct {
        const wchar_t* code;
        const wchar_t* file;
        bool exists;
    } cases[] = {
        {L"jp", L"tempolan_ja.ini", true},
        {L"JP", L"tempolan_ja.ini", true},
        {L"ja", L"tempolan_ja.ini", true},
        {L"DEU", L"tempolan_de.ini", true},
        {L"fr", L"tempolan_fr.ini", false},  // a folder
        {L"it", L"tempolan_it.ini", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code);
        wchar_t path[kLanguagePathChars];
        EXPECT_EQ(c.exists, lang.FindIniFile(c.code, path));
        EXPECT_EQ(folder.File(c.file), path);
    }
    lang.SetAppName(nullptr);
    wchar_t path[kLanguagePathChars];
    EXPECT_FALSE(lang.FindIniFile(L"de", path));
}

TEST_F(Language, EmptyCodeTakesTheIsoNameOfTheLocale)
{
    lang.SetLanguage(nullptr);
    wchar_t iso[16] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, iso, 16);
    iso[2] = 0;
    wchar_t path[kLanguagePathChars];
    lang.FindIniFile(nullptr, path);
    EXPECT_EQ(folder.File((L"tempolan_" + std::wstring(iso) + L".ini").c_str()), path);
    lang.FindIniFile(L"", path);
    EXPECT_EQ(folder.File((L"tempolan_" + std::wstring(iso) + L".ini").c_str()), path);
}

// ISO names that look like old codes name other languages and stay as they are.
TEST_F(Language, IsoNamesAreNotOldCodes)
{
    struct {
        const wchar_t* code;  // of the abbreviated name
        LANGID language;
        const wchar_t* codeFile;
        const wchar_t* isoFile;
    } cases[] = {
        {L"ma", LANG_MARATHI, L"tempolan_mr.ini", L"tempolan_mr.ini"},
        {L"my", 0x55 /* Burmese */, L"tempolan_ml.ini", L"tempolan_my.ini"},
        {L"mr", LANG_MAORI, L"tempolan_mi.ini", L"tempolan_mi.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code);
        lang.SetLanguage(c.code);
        if (PRIMARYLANGID(LANGIDFROMLCID(lang.GetLcid())) != c.language) {
            ADD_FAILURE() << "no installed locale for " << c.code;
            continue;
        }
        wchar_t path[kLanguagePathChars];
        lang.FindIniFile(nullptr, path);
        EXPECT_EQ(folder.File(c.codeFile), path);
        lang.FindIniFile(L"", path);
        EXPECT_EQ(folder.File(c.isoFile), path);
    }
}

TEST(LanguageLcid, FindsTheFirstLocaleOfTheAbbreviatedName)
{
    struct {
        const wchar_t* code;
        LANGID language;  // 0: none found
    } cases[] = {
        {L"de", LANG_GERMAN}, {L"DE", LANG_GERMAN}, {L"deu", LANG_GERMAN}, {L"jp", LANG_JAPANESE},
        {L"fr", LANG_FRENCH}, {L"ch", LANG_CHINESE}, {L"qq", 0},        {L"d", 0},
        {L"", 0},             {nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.code ? c.code : L"(null)"));
        LCID lcid = FindLanguageLcid(c.code);
        if (c.language == 0) {
            EXPECT_EQ((LCID)LOCALE_USER_DEFAULT, lcid);
        } else {
            EXPECT_EQ(c.language, PRIMARYLANGID(LANGIDFROMLCID(lcid)));
            wchar_t abbrev[16] = {};
            GetLocaleInfoW(lcid, LOCALE_SABBREVLANGNAME, abbrev, 16);
            EXPECT_EQ(0, _wcsnicmp(abbrev, c.code, 2));
        }
    }
}

TEST_F(Language, SetLanguageSetsTheLocaleAndTheFile)
{
    folder.WriteBytes(L"tempolan_de.ini", "");
    lang.SetLanguage(L"de");
    EXPECT_STREQ(L"de", lang.GetCode());
    EXPECT_EQ(LANG_GERMAN, PRIMARYLANGID(LANGIDFROMLCID(lang.GetLcid())));
    EXPECT_EQ(lang.GetLcid(), GetThreadLocale());
    EXPECT_EQ(folder.File(L"tempolan_de.ini"), lang.GetIniPath());

    // an unknown language keeps its texts but follows the user's locale
    lang.SetLanguage(L"qq");
    EXPECT_STREQ(L"qq", lang.GetCode());
    EXPECT_EQ((LCID)LOCALE_USER_DEFAULT, lang.GetLcid());
    EXPECT_STREQ(L"", lang.GetIniPath());

    lang.SetLanguage(L"a-code-too-long-to-keep");
    EXPECT_STREQ(L"a-code-too-long", lang.GetCode());

    lang.SetLanguage(L"de");
    lang.SetLanguage(L"");
    EXPECT_STREQ(L"", lang.GetCode());
    EXPECT_EQ((LCID)LOCALE_USER_DEFAULT, lang.GetLcid());
}

// Strings: the language file, then the library, never the English file.
TEST_F(Language, StringsComeFromTheLanguageFileThenTheLibrary)
{
    CModule res(LoadDataLibrary(TL_RES_EN_DLL));
    ASSERT_NE(nullptr, res.Get());
    folder.WriteBytes(L"tempolan_de.ini",
                      "[StringTable]\r\n257=Sekunden;1 Sekunde\r\n259=\r\n"
                      "[Custom]\r\n140=Eigener Text\r\n");
    folder.WriteBytes(L"tempolan_en.ini", "[StringTable]\r\n258=from the English file\r\n141=English caption\r\n");
    ASSERT_TRUE(lang.SetFolder(folder.Path().c_str()));
    lang.SetLanguage(L"de");
    lang.SetResources(res.Get(), nullptr);

    struct {
        UINT id;
        const wchar_t* section;
        std::wstring text;
    } cases[] = {
        {257, nullptr, L"Sekunden;1 Sekunde"},
        {257, L"StringTable", L"Sekunden;1 Sekunde"},
        {258, nullptr, L"minutes;1 minute"},  // not from the English file
        {259, nullptr, L"hours;1 hour"},      // an empty value falls through
        {140, L"Custom", L"Eigener Text"},
        {141, L"Custom", String(res.Get(), 141)},
        {257, L"", L"seconds;1 second"},  // no section: the library alone
        {999, nullptr, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " " << (c.section ? c.section : L"(null)"));
        wchar_t text[64];
        text[0] = L'x';
        EXPECT_EQ((int)c.text.size(), lang.LoadString(res.Get(), c.id, text, 64, c.section));
        EXPECT_EQ(c.text, text);
        if (!c.section) {
            wchar_t same[64];
            EXPECT_EQ((int)c.text.size(), lang.GetString(c.id, same, 64));
            EXPECT_EQ(c.text, same);
        }
    }
    EXPECT_STRNE(L"", String(res.Get(), 141).c_str());
}

TEST_F(Language, StringBuffersAreNeverOverrun)
{
    CModule res(LoadDataLibrary(TL_RES_EN_DLL));
    folder.WriteBytes(L"tempolan_de.ini", "[StringTable]\r\n257=Sekunden;1 Sekunde\r\n");
    lang.SetLanguage(L"de");

    wchar_t text[8];
    std::fill(text, text + 8, L'#');
    EXPECT_EQ(0, lang.LoadString(res.Get(), 257, text, 0, nullptr));
    EXPECT_EQ(L'#', text[0]);
    EXPECT_EQ(0, lang.LoadString(res.Get(), 257, nullptr, 8, nullptr));
    EXPECT_EQ(4, lang.LoadString(res.Get(), 257, text, 5, nullptr));
    EXPECT_STREQ(L"Seku", text);
    EXPECT_EQ(L'#', text[5]);
    EXPECT_EQ(4, lang.LoadString(res.Get(), 258, text, 5, nullptr));
    EXPECT_STREQ(L"minu", text);

    // no library: nothing, not the program's own strings
    EXPECT_EQ(0, lang.LoadString(nullptr, 258, text, 8, nullptr));
    EXPECT_STREQ(L"", text);
}

TEST_F(Language, LanguageFilesInUtf16AndAnsi)
{
    const std::wstring german = L"Zeitzonen f\u00fcr \u00c4rzte";
    const std::wstring russian = L"\u043c\u0438\u043d\u0443\u0442";
    WriteUtf16(folder, L"tempolan_de.ini", L"[StringTable]\r\n258=" + russian + L";1 " + german +
                                              L"\r\n[MENU_Main]\r\n100=" + german + L"\r\n");
    lang.SetLanguage(L"de");
    wchar_t text[64];
    EXPECT_EQ((int)(russian.size() + 3 + german.size()), lang.LoadString(nullptr, 258, text, 64, nullptr));
    EXPECT_EQ(russian + L";1 " + german, text);
    EXPECT_EQ((int)german.size(), lang.LookUpText(L"MENU_Main", L"100", text, 64));
    EXPECT_EQ(german, text);

    CTempFolder ansi;
    if (!WriteAnsi(ansi, L"tempolan_de.ini", L"[StringTable]\r\n258=" + german + L"\r\n"))
        GTEST_SKIP() << "the ANSI code page cannot hold the text";
    lang.SetFolder(ansi.Path().c_str());
    EXPECT_EQ((int)german.size(), lang.LoadString(nullptr, 258, text, 64, nullptr));
    EXPECT_EQ(german, text);
}

// Menus: the language file, then the English file.
TEST_F(Language, TranslateMenuByIdsAndPopupTexts)
{
    folder.WriteBytes(L"tempolan_de.ini",
                      "[MENU_Main]\r\n32777=&Einstellungen...\r\nTime_zones...=&Zeitzonen\r\n0=not a separator\r\n"
                      "101=\r\n");
    folder.WriteBytes(L"tempolan_en.ini", "[MENU_Main]\r\n100=Show &all clocks\r\n32777=English settings\r\n");
    lang.SetFolder(folder.Path().c_str());
    lang.SetLanguage(L"de");

    HMENU zones = CreatePopupMenu();
    AppendMenuW(zones, MF_STRING, 100, L"Show &all");
    AppendMenuW(zones, MF_STRING, 101, L"&Hide");
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 32777, L"&Settings...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, (UINT_PTR)zones, L"&Time zones...");
    AppendMenuW(menu, MF_STRING, 200, L"E&xit");

    EXPECT_TRUE(lang.TranslateMenu(menu, L"MENU_Main"));
    EXPECT_EQ(L"&Einstellungen...", MenuText(menu, 0));
    EXPECT_EQ((UINT)MF_SEPARATOR, GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(L"&Zeitzonen", MenuText(menu, 2));
    EXPECT_EQ(zones, GetSubMenu(menu, 2));
    EXPECT_EQ(L"E&xit", MenuText(menu, 3));
    EXPECT_EQ(L"Show &all clocks", MenuText(zones, 0));
    EXPECT_EQ(L"&Hide", MenuText(zones, 1));
    EXPECT_EQ(100u, GetMenuItemID(zones, 0));

    // a change in a submenu alone counts
    HMENU outer = CreatePopupMenu();
    HMENU inner = CreatePopupMenu();
    AppendMenuW(inner, MF_STRING, 100, L"Show");
    AppendMenuW(outer, MF_POPUP, (UINT_PTR)inner, L"Untranslated");
    EXPECT_TRUE(lang.TranslateMenu(outer, L"MENU_Main"));
    EXPECT_EQ(L"Show &all clocks", MenuText(inner, 0));
    EXPECT_EQ(L"Untranslated", MenuText(outer, 0));

    EXPECT_FALSE(lang.TranslateMenu(menu, L"MENU_Other"));
    EXPECT_FALSE(lang.TranslateMenu(menu, L""));
    EXPECT_FALSE(lang.TranslateMenu(menu, nullptr));
    DestroyMenu(outer);
    DestroyMenu(menu);
}

TEST_F(Language, MenusStayWithoutALanguageFile)
{
    folder.WriteBytes(L"tempolan_en.ini", "[MENU_Main]\r\n100=Show &all clocks\r\n");
    lang.SetFolder(folder.Path().c_str());
    lang.SetLanguage(L"fr");
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 100, L"Tout afficher");
    EXPECT_FALSE(lang.TranslateMenu(menu, L"MENU_Main"));
    EXPECT_EQ(L"Tout afficher", MenuText(menu, 0));
    DestroyMenu(menu);
}

TEST_F(Language, UnitNamesFollowTheLanguage)
{
    CModule res(LoadDataLibrary(TL_RES_EN_DLL));
    // a Russian-style rule for minutes, and a days text longer than a unit holds
    WriteUtf16(folder, L"tempolan_de.ini",
                      L"[StringTable]\r\n258=\u043c\u0438\u043d\u0443\u0442;1,21,31 \u043c\u0438\u043d\u0443\u0442\u0430;"
                      L"2-4,22-24 \u043c\u0438\u043d\u0443\u0442\u044b\r\n260=" +
                          std::wstring(2000, L'd') + L"\r\n");

    lang.SetLanguage(L"de");
    EXPECT_STREQ(L"m", lang.GetUnitName(kUnitMinutes, 5));  // no library: nothing loaded

    lang.SetResources(res.Get(), kUnitNameStringIds);
    lang.SetLanguage(L"de");
    struct {
        int unit;
        int32_t number;
        const wchar_t* name;
    } cases[] = {
        {kUnitSeconds, 1, L"second"},
        {kUnitSeconds, 0, L"seconds"},
        {kUnitSeconds, 59, L"seconds"},
        {kUnitHours, 1, L"hour"},
        {kUnitWeeks, 2, L"weeks"},
        {kUnitMinutes, 21, L"\u043c\u0438\u043d\u0443\u0442\u0430"},
        {kUnitMinutes, 12, L"\u043c\u0438\u043d\u0443\u0442"},
        {kUnitMinutes, 23, L"\u043c\u0438\u043d\u0443\u0442\u044b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.unit << " " << c.number);
        EXPECT_STREQ(c.name, lang.GetUnitName(c.unit, c.number));
    }
    EXPECT_EQ((size_t)CUnitNames::kTextChars, wcslen(lang.GetUnitName(kUnitDays, 3)));

    // units without a string id have only their letter
    lang.SetResources(res.Get(), nullptr);
    lang.SetLanguage(L"de");
    EXPECT_STREQ(L"s", lang.GetUnitName(kUnitSeconds, 1));
}

TEST(LanguageLibrary, VersionCheck)
{
    CModule en(LoadDataLibrary(TL_RES_EN_DLL)), old(LoadDataLibrary(TL_RES_OLD_DLL)),
        other(LoadDataLibrary(TL_RES_TEST_DLL));
    ASSERT_NE(nullptr, en.Get());
    ASSERT_NE(nullptr, old.Get());
    ASSERT_NE(nullptr, other.Get());
    EXPECT_EQ(L"5.3.1", String(en.Get(), kResourceVersionStringId));
    EXPECT_TRUE(CheckResourceVersion(en.Get()));
    EXPECT_TRUE(CheckResourceVersion(other.Get()));
    EXPECT_FALSE(CheckResourceVersion(old.Get()));
    EXPECT_FALSE(CheckResourceVersion(GetModuleHandleW(nullptr)));  // no string 139
    EXPECT_FALSE(CheckResourceVersion(nullptr));
}

TEST(LanguageLibrary, MessageTextsAreCutToTheirFields)
{
    CModule en(LoadDataLibrary(TL_RES_EN_DLL)), old(LoadDataLibrary(TL_RES_OLD_DLL));
    wchar_t text[128], caption[32];
    ASSERT_TRUE(LoadResourceMessage(old.Get(), kResourceMessageTextId, kResourceMessageCaptionId, text, caption));
    EXPECT_EQ(127u, wcslen(text));
    EXPECT_EQ(31u, wcslen(caption));
    EXPECT_EQ(0, wcsncmp(text, String(old.Get(), kResourceMessageTextId).c_str(), 127));

    ASSERT_TRUE(LoadResourceMessage(en.Get(), kResourceMessageTextId, kResourceMessageCaptionId, text, caption));
    EXPECT_EQ(String(en.Get(), kResourceMessageTextId), text);
    EXPECT_EQ(String(en.Get(), kResourceMessageCaptionId), caption);
    EXPECT_LT(0u, wcslen(caption));

    EXPECT_FALSE(LoadResourceMessage(nullptr, kResourceMessageTextId, kResourceMessageCaptionId, text, caption));
    EXPECT_STREQ(L"", text);
    EXPECT_STREQ(L"", caption);
}

TEST(LanguageLibrary, LoadsTheLanguageElseEnglish)
{
    const wchar_t* kGood = TL_RES_TEST_DLL;  // a valid library with German unit names
    const wchar_t* kEnglish = TL_RES_EN_DLL;
    const wchar_t* kOld = TL_RES_OLD_DLL;
    struct {
        const char* name;
        const wchar_t* de;  // source of res_de.dll, "" for a damaged file, null for none
        const wchar_t* en;  // source of res_en.dll
        const wchar_t* code;
        ResourceLoad result;
        const wchar_t* codeAfter;
        const wchar_t* seconds;  // string 257 of the loaded library
    } cases[] = {
        {"language", kGood, kEnglish, L"de", ResourceLoad::Loaded, L"de", L"Sekunden;1 Sekunde"},
        {"English not needed", kGood, kOld, L"de", ResourceLoad::Loaded, L"de", L"Sekunden;1 Sekunde"},
        {"old language", kOld, kEnglish, L"de", ResourceLoad::Loaded, L"en", L"seconds;1 second"},
        {"damaged language", L"", kEnglish, L"de", ResourceLoad::Loaded, L"en", L"seconds;1 second"},
        {"missing language", nullptr, kEnglish, L"de", ResourceLoad::Loaded, L"en", L"seconds;1 second"},
        {"no code", kGood, kEnglish, L"", ResourceLoad::Loaded, L"en", L"seconds;1 second"},
        {"both old", kOld, kOld, L"de", ResourceLoad::WrongVersion, L"en", nullptr},
        {"English old", nullptr, kOld, L"en", ResourceLoad::WrongVersion, L"en", nullptr},
        {"English damaged", nullptr, L"", L"de", ResourceLoad::Missing, L"en", nullptr},
        {"none", nullptr, nullptr, L"de", ResourceLoad::Missing, L"en", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempFolder folder;
        const wchar_t* sources[2] = {c.de, c.en};
        const wchar_t* names[2] = {L"res_de.dll", L"res_en.dll"};
        for (int i = 0; i < 2; ++i) {
            if (sources[i] && sources[i][0])
                ASSERT_TRUE(CopyFileW(sources[i], folder.File(names[i]).c_str(), FALSE));
            else if (sources[i])
                folder.WriteBytes(names[i], std::string("MZ") + std::string(300, '\x7f'));
        }
        wchar_t code[CLanguage::kCodeChars + 1];
        wcscpy(code, c.code);
        ResourceLoad result = ResourceLoad::Loaded;
        CModule module(LoadLanguageLibrary(folder.Path().c_str(), code, nullptr, false, &result));
        EXPECT_EQ((int)c.result, (int)result);
        EXPECT_STREQ(c.codeAfter, code);
        EXPECT_EQ(c.seconds != nullptr, module.Get() != nullptr);
        if (c.seconds && module.Get()) {
            EXPECT_EQ(c.seconds, String(module.Get(), 257));
            EXPECT_TRUE(CheckResourceVersion(module.Get()));
        }
    }
}

// The program folder as the build leaves it: the English library and file.
TEST(LanguageLibrary, ProgramFolderCarriesEnglish)
{
    std::wstring dll = TL_RES_EN_DLL;
    std::wstring programFolder = dll.substr(0, dll.size() - wcslen(L"res_en.dll"));
    std::replace(programFolder.begin(), programFolder.end(), L'/', L'\\');
    CLanguage lang;
    lang.SetAppName(L"tempolan");
    EXPECT_TRUE(lang.SetFolder(programFolder.c_str()));
    wchar_t code[CLanguage::kCodeChars + 1] = L"xx";
    ResourceLoad result;
    CModule res(LoadLanguageLibrary(programFolder.c_str(), code, nullptr, false, &result));
    ASSERT_NE(nullptr, res.Get());
    EXPECT_STREQ(L"en", code);
    for (UINT id : {139u, 140u, 141u, 222u, 257u, 258u, 259u, 260u, 261u, kStrDefaultAlarmText, kStrNewAlarm,
                    kStrNewBackground, kStrDefaultBackground, kStrWorkingHours, kStrCountdownTo}) {
        SCOPED_TRACE(id);
        EXPECT_NE(L"", String(res.Get(), id));
    }
    // the settings tree's fixed nodes, each told apart by its caption
    std::set<std::wstring> captions;
    for (UINT id : {kStrBackgrounds, kStrAlarms, kStrFormats, kStrDesktop, kStrTimePage, kStrGeneralPage,
                    kStrTaskbarPage, kStrNewsPage, kStrProfilesPage, kStrCalendarPage}) {
        SCOPED_TRACE(id);
        std::wstring caption = String(res.Get(), id);
        EXPECT_NE(L"", caption);
        EXPECT_TRUE(captions.insert(caption).second);
    }
    EXPECT_LE(String(res.Get(), kResourceMessageTextId).size(), 127u);
    EXPECT_LE(String(res.Get(), kResourceMessageCaptionId).size(), 31u);
}

}  // namespace
