// The exports of the built orbex.dll as its callers use them: loaded by name
// by tests/maphost, which runs from a folder of its own with the library,
// the hook library and the pictures, since the library takes its folder
// from the host's executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "graphics/image/JpegTexture.h"
#include "map/MapExports.h"
#include "tests/map/JpegFixtures.h"
#include "tests/support/PngFile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcess.h"

namespace {

// InstallMap's window and a cold Wine take their time.
const DWORD kHostWaitMs = 120000;

class MapExports : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* name : {L"orbex.dll", L"hook.dll", L"buttons.png", L"clouds.jpg"})
            ASSERT_TRUE(CopyFileW((std::wstring(TL_PROGRAM_FOLDER) + name).c_str(), folder.File(name).c_str(), FALSE))
                << name;
        ASSERT_TRUE(CopyFileW(TL_TEST_BINARIES L"maphost.exe", folder.File(L"maphost.exe").c_str(), FALSE));
    }
    // maphost's exit code; -1 when it hung.
    int Host(const std::wstring& arguments)
    {
        CTestProcess host;
        if (!host.Start(folder.File(L"maphost.exe"), arguments, folder.Path()))
            return -2;
        return host.ExitCode(kHostWaitMs);
    }
    void PutEarth(const wchar_t* name, const std::wstring& from)
    {
        ASSERT_TRUE(CopyFileW(from.c_str(), folder.File(name).c_str(), FALSE));
    }
    void WriteEarth(const wchar_t* name, int width, int height, int components = 3)
    {
        TopDownPicture picture(width, height, components);
        for (size_t i = 0; i < picture.bytes.size(); ++i)
            picture.bytes[i] = (uint8_t)(i * 7);
        ASSERT_TRUE(WriteJpegFile(folder.File(name), picture));
    }
    JpegHeader Header(const wchar_t* name)
    {
        JpegHeader header = {};
        EXPECT_TRUE(ReadJpegHeader(folder.File(name).c_str(), &header)) << "unreadable";
        return header;
    }

    CTempFolder folder;
};

}  // namespace

TEST_F(MapExports, InstallFitsTheShippedEarthAndKeepsTheBackup)
{
    PutEarth(L"map.jpg", TL_PROGRAM_FOLDER L"map.jpg");
    std::string original = ReadFileBytes(folder.File(L"map.jpg"));
    // the folder is the host's own, whatever its command line holds
    ASSERT_EQ(0, Host(L"install Z:\\elsewhere\\map.jpg"));
    // written back at the size the hardware took, the original kept aside
    JpegHeader fitted = Header(L"map.jpg");
    EXPECT_EQ(2048u, fitted.width);
    EXPECT_EQ(1024u, fitted.height);
    EXPECT_EQ(original, ReadFileBytes(folder.File(L"map0.jpg")));
    // a second run finds the picture as it is and changes nothing
    std::string fittedBytes = ReadFileBytes(folder.File(L"map.jpg"));
    ASSERT_EQ(0, Host(L"install"));
    EXPECT_EQ(fittedBytes, ReadFileBytes(folder.File(L"map.jpg")));
}

TEST_F(MapExports, InstallRefusesABadEarth)
{
    struct Case {
        const char* name;
        int width, height, components;
        bool goodBackup;
        DWORD expected;
    } cases[] = {
        // the backup is made from the bad file, and nothing is restored
        {"15 x 2000 without a backup", 15, 2000, 3, false, MAPERR_BADTEXTURE},
        {"grey without a backup", 64, 32, 1, false, MAPERR_BADTEXTURE},
        // a header that passes and a body that does not load uploads nothing
        {"CMYK without a backup", 64, 32, 4, false, MAPERR_BADTEXTURE},
        // a damaged earth comes back from a good backup and passes
        {"15 x 2000 with a good backup", 15, 2000, 3, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(folder.File(L"map0.jpg").c_str());
        WriteEarth(L"map.jpg", c.width, c.height, c.components);
        std::string bad = ReadFileBytes(folder.File(L"map.jpg"));
        if (c.goodBackup)
            WriteEarth(L"map0.jpg", 256, 128);
        EXPECT_EQ((int)c.expected, Host(L"install"));
        if (c.goodBackup) {
            EXPECT_EQ(256u, Header(L"map.jpg").width);
        } else {
            EXPECT_EQ(bad, ReadFileBytes(folder.File(L"map0.jpg")));
        }
    }
}

TEST_F(MapExports, InstallReportsATruncatedEarth)
{
    PutEarth(L"map.jpg", TL_PROGRAM_FOLDER L"map.jpg");
    std::string whole = ReadFileBytes(folder.File(L"map.jpg"));
    // the header survives, the picture does not
    ASSERT_TRUE(folder.WriteBytes(L"map.jpg", whole.substr(0, whole.size() / 20)));
    ASSERT_TRUE(folder.WriteBytes(L"map0.jpg", whole.substr(0, whole.size() / 20)));
    EXPECT_EQ((int)MAPERR_BADTEXTURE, Host(L"install"));
}

TEST_F(MapExports, ASecondInitIsRefusedWithTheSystemsError)
{
    EXPECT_EQ(0, Host(L"initagain"));
}

TEST_F(MapExports, TwentyWindowsComeAndGoWithTheLibrary)
{
    PutEarth(L"map.jpg", TL_PROGRAM_FOLDER L"map.jpg");
    // the loader threads are still at work when FreeMap and FreeLibrary come
    EXPECT_EQ(0, Host(L"cycles 20"));
}

// The real library, loaded by name, asks the main program (a stand-in window
// of its class in maphost) for the photos of the city the host selects, and
// takes UM_MAPSHOWCITY only with the address of its own record.
TEST_F(MapExports, TheLoadedLibraryAsksTheMainProgramForPhotos)
{
    PutEarth(L"map.jpg", TL_PROGRAM_FOLDER L"map.jpg");
    const struct {
        const wchar_t* arguments;
        int exitCode;  // 100 + the index asked for, 99 nothing asked
    } cases[] = {
        {L"select 1", 101},
        {L"select 3", 99},  // the count: out of the list
        {L"show 2 own", 102},
        {L"show 2 foreign", 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments, c.arguments + wcslen(c.arguments)));
        EXPECT_EQ(c.exitCode, Host(c.arguments));
    }
}

// tools/mapshot draws the shipped earth for a person to look at.
TEST(MapShot, DrawsTheShippedEarth)
{
    const std::wstring out = std::wstring(TL_SHOTS_FOLDER) + L"map.png";
    DeleteFileW(out.c_str());
    CTestProcess shot;
    // Africa and Europe: latitude 20, longitude 10
    ASSERT_TRUE(shot.Start(TL_PROGRAM_FOLDER L"mapshot.exe",
                           std::wstring(L"\"") + TL_PROGRAM_FOLDER + L"\" 20 350 -12.2 \"" + out + L"\""));
    ASSERT_EQ(0, shot.ExitCode(kHostWaitMs));
    RgbPicture picture;
    ASSERT_TRUE(ReadPngPicture(out, &picture));
    ASSERT_EQ(800, picture.width);
    ASSERT_EQ(600, picture.height);
    EXPECT_NE(0u, picture.At(400, 300)) << "no earth in the middle";
    EXPECT_EQ(0u, picture.At(2, 2)) << "space is black";
    EXPECT_EQ(0u, picture.At(797, 2));
}

// The main program's world map window around the loaded library, as maphost
// opens it with the host code: the globe textured at the left, the city list
// pane in the button face colour at the right with its links underlined in
// blue.
TEST_F(MapExports, WorldMapWindowShowsTheGlobeBesideThePane)
{
    for (const wchar_t* name : {L"map.jpg", L"cities.txt", L"timezones.txt", L"res_en.dll"})
        PutEarth(name, std::wstring(TL_PROGRAM_FOLDER) + name);
    const std::wstring out = std::wstring(TL_SHOTS_FOLDER) + L"worldmap.png";
    DeleteFileW(out.c_str());
    ASSERT_EQ(0, Host(L"worldmap " + out));
    RgbPicture picture;
    ASSERT_TRUE(ReadPngPicture(out, &picture));
    const int paneLeft = picture.width - 320;
    ASSERT_GT(paneLeft, 0);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    uint32_t faceRgb = (uint32_t)GetRValue(face) << 16 | (uint32_t)GetGValue(face) << 8 | GetBValue(face);
    // the pane's inset and the space beside its list
    EXPECT_EQ(faceRgb, picture.At(paneLeft + 1, picture.height / 2));
    EXPECT_EQ(faceRgb, picture.At(picture.width - 2, picture.height / 2));
    // a link's underline: a blue run in the pane
    int longestBlue = 0;
    for (int y = 0; y < picture.height; ++y) {
        int run = 0;
        for (int x = paneLeft; x < picture.width; ++x) {
            run = picture.At(x, y) == 0x0000FF ? run + 1 : 0;
            longestBlue = std::max(longestBlue, run);
        }
    }
    EXPECT_GE(longestBlue, 40);
    // the globe's land around the middle of the map at the left, none of it grey
    int land = 0;
    for (int y = picture.height / 4; y < picture.height * 3 / 4; y += 2) {
        for (int x = paneLeft / 4; x < paneLeft * 3 / 4; x += 2) {
            uint32_t p = picture.At(x, y);
            if ((int)(p >> 16) > (int)(p & 0xFF) + 24)
                ++land;
        }
    }
    EXPECT_GT(land, 100);
}
