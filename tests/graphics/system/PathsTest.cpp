#include <gtest/gtest.h>

#include <string>
#include <windows.h>

#include "graphics/system/Paths.h"
#include "tests/support/TestFiles.h"

namespace {

// An empty file in the scratch folder.
void AddFile(const CTempFolder& folder, const std::wstring& name)
{
    ASSERT_TRUE(folder.WriteBytes(name, ""));
}

}  // namespace

TEST(Paths, BuiltFromTheProgramFolder)
{
    struct Case {
        const WCHAR* folder;
        const WCHAR* user;
        const WCHAR* expectedFolder;
        const WCHAR* prefix;
    } cases[] = {
        {L"C:\\Program Files\\Tempolan", L"Anna.B", L"C:\\Program Files\\Tempolan\\", L"anna.b"},
        {L"C:\\Tempolan\\", L"ROOT", L"C:\\Tempolan\\", L"root"},
        {L"C:\\Tempolan\\", nullptr, L"C:\\Tempolan\\", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.folder)));
        SettingsPaths paths;
        ASSERT_TRUE(BuildIniPathsFor(c.folder, c.user, &paths));
        const std::wstring folder = c.expectedFolder;
        EXPECT_EQ(folder, paths.folder);
        EXPECT_EQ(folder + L"default.ini", paths.defaultIni);
        EXPECT_EQ(folder + L"tempolan.ini", paths.userIni);
        EXPECT_EQ(folder + L"skins\\", paths.skinsRoot);
        EXPECT_EQ(std::wstring(c.prefix), paths.userPrefix);
    }
}

TEST(Paths, TooLongFolderOrNameLeavesThemEmpty)
{
    SettingsPaths paths;
    // room for the folder but not for "tempolan.ini" after it
    const std::wstring folder = L"C:\\" + std::wstring(250, 'f') + L"\\";
    EXPECT_FALSE(BuildIniPathsFor(folder.c_str(), L"anna", &paths));
    EXPECT_EQ(std::wstring(), paths.folder);
    EXPECT_EQ(std::wstring(), paths.userIni);
    EXPECT_EQ(std::wstring(), paths.userPrefix);

    const std::wstring longName(65, 'N');
    ASSERT_TRUE(BuildIniPathsFor(L"C:\\T\\", longName.c_str(), &paths));
    EXPECT_EQ(std::wstring(), paths.userPrefix);
    const std::wstring longestName(64, 'N');
    ASSERT_TRUE(BuildIniPathsFor(L"C:\\T\\", longestName.c_str(), &paths));
    EXPECT_EQ(std::wstring(64, 'n'), paths.userPrefix);
}

TEST(Paths, PrefixIsTheRunningUserLowerCased)
{
    WCHAR name[65];
    DWORD chars = ARRAYSIZE(name);
    ASSERT_TRUE(GetUserNameW(name, &chars));
    CharLowerW(name);
    SettingsPaths paths;
    ASSERT_TRUE(BuildIniPaths(L"Z:\\tmp\\", &paths));
    EXPECT_NE(std::wstring(), paths.userPrefix);
    EXPECT_EQ(std::wstring(name), paths.userPrefix);
}

TEST(Paths, FileExistsOnlyForFiles)
{
    CTempFolder temp;
    AddFile(temp, L"file.txt");
    temp.AddFolder(L"folder");
    EXPECT_TRUE(FileExists((temp.Path() + L"file.txt").c_str()));
    EXPECT_FALSE(FileExists((temp.Path() + L"folder").c_str()));
    EXPECT_FALSE(FileExists((temp.Path() + L"missing.txt").c_str()));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(FileExists(nullptr));
}

TEST(Paths, SkinWithAClockFace)
{
    CTempFolder temp;
    temp.AddFolder(L"skins");
    for (const WCHAR* skin : {L"skins\\Png", L"skins\\Bitmap", L"skins\\Digits", L"skins\\Odd"})
        temp.AddFolder(skin);
    AddFile(temp, L"skins\\Png\\clkface.png");
    AddFile(temp, L"skins\\Bitmap\\clkface.bmp");
    AddFile(temp, L"skins\\Digits\\digits.png");
    temp.AddFolder(L"skins\\Odd\\clkface.png");  // a folder is no face
    AddFile(temp, L"skins\\clkface.png");          // nor is a face in the skins root
    SettingsPaths paths;
    ASSERT_TRUE(BuildIniPathsFor(temp.Path().c_str(), L"anna", &paths));
    struct Case {
        const WCHAR* skin;
        bool face;
    } cases[] = {{L"Png", true},     {L"Bitmap", true}, {L"Digits", false},
                 {L"Odd", false},    {L"Missing", false}, {L"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.skin)));
        EXPECT_EQ(c.face, SkinHasClockFace(paths, c.skin));
    }
}
