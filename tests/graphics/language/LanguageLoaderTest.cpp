#include <gtest/gtest.h>

#include <string>

#include "graphics/language/Language.h"
#include "graphics/language/LanguageLoader.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Paths.h"
#include "graphics/window/Theme.h"
#include "tests/support/TestFiles.h"

namespace {

// A program folder with the English library and a second language as "res_de.dll".
class LanguageLoader : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyFileW((std::wstring(TL_PROGRAM_FOLDER) + L"res_en.dll").c_str(),
                              folder.File(L"res_en.dll").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((std::wstring(TL_TEST_BINARIES) + L"res_test.dll").c_str(),
                              folder.File(L"res_de.dll").c_str(), FALSE));
        BuildIniPaths(folder.Path().c_str(), &paths);
    }
    void TearDown() override
    {
        library.Reset();
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.defaultIni);
    }
    // LoadLanguageAndTheme keeps a library loaded before.
    bool Load()
    {
        HMODULE loaded = library.Detach();
        bool ok = LoadLanguageAndTheme(folder.Path().c_str(), true, styles, language, &loaded, code);
        library.Reset(loaded);
        return ok;
    }

    CTempFolder folder;
    SettingsPaths paths;
    CUxThemeApi theme;
    CVisualStyles styles{theme};
    CLanguage language;
    CModule library;
    WCHAR code[3] = {};
};

}  // namespace

TEST_F(LanguageLoader, TheUsersLanguageFirst)
{
    std::wstring section = std::wstring(paths.userPrefix) + L":main";
    WritePrivateProfileStringW(section.c_str(), L"language", L"DEU", paths.userIni);
    WritePrivateProfileStringW(L"default:main", L"language", L"en", paths.defaultIni);
    ASSERT_TRUE(Load());
    EXPECT_STREQ(L"de", code);
    EXPECT_TRUE(library);
    EXPECT_TRUE(theme.Loaded());
    EXPECT_EQ(theme.IsThemeActive() != FALSE, styles.Active());
}

TEST_F(LanguageLoader, DefaultsThenEnglish)
{
    WritePrivateProfileStringW(L"default:main", L"language", L"xx", paths.defaultIni);
    ASSERT_TRUE(Load());
    EXPECT_STREQ(L"en", code);  // no res_xx.dll: the English library
    HMODULE first = library.Get();
    ASSERT_TRUE(Load());        // a loaded library stays
    EXPECT_EQ(first, library.Get());
}
