// The map library's test run ("/inst"): what it writes into tempolan.ini for
// the real library, a missing one and stand-ins that lack or fail InstallMap.
#include <gtest/gtest.h>

#include <string>

#include "app/settings/SettingsIni.h"
#include "map/MapExports.h"
#include "settings/frame/MapTestRun.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcess.h"
#include "windows/map/MapLibraryLoader.h"

namespace {

// InstallMap's window and a cold Wine take their time.
const DWORD kHostWaitMs = 120000;

class MapTestRun : public testing::Test {
protected:
    std::wstring Key(const wchar_t* key) const
    {
        WCHAR value[256];
        GetPrivateProfileStringW(L"map", key, L"<missing>", value, 256, folder.File(L"tempolan.ini").c_str());
        return value;
    }
    void AddLibrary(const wchar_t* from)
    {
        ASSERT_TRUE(CopyFileW(from, folder.File(L"orbex.dll").c_str(), FALSE));
    }

    CTempFolder folder;
};

}  // namespace

TEST_F(MapTestRun, MissingLibrary)
{
    RunMapTestRun(folder.Path().c_str(), folder.File(L"tempolan.ini").c_str());
    EXPECT_EQ(L"0", Key(L"initialized"));
    EXPECT_EQ(L"Install return code: 1, system error: 0", Key(L"install_result"));
}

TEST_F(MapTestRun, LibraryWithoutInstallMap)
{
    AddLibrary(TL_TEST_BINARIES L"stub_map_noinstall.dll");
    RunMapTestRun(folder.Path().c_str(), folder.File(L"tempolan.ini").c_str());
    EXPECT_EQ(L"0", Key(L"initialized"));
    EXPECT_EQ(L"Install return code: 2, system error: 0", Key(L"install_result"));
}

TEST_F(MapTestRun, FailingInstallGivesItsCodeAndSystemError)
{
    AddLibrary(TL_TEST_BINARIES L"stub_map_failing.dll");
    RunMapTestRun(folder.Path().c_str(), folder.File(L"tempolan.ini").c_str());
    EXPECT_EQ(L"0", Key(L"initialized"));
    // MAPERR_CHOOSEPIXELFORMAT and the stand-in's error 1234
    EXPECT_EQ(L"Install return code: 7, system error: 1234", Key(L"install_result"));
    // the library was let go: the file can be replaced
    EXPECT_TRUE(DeleteFileW(folder.File(L"orbex.dll").c_str()));
}

TEST_F(MapTestRun, RealLibraryInstalls)
{
    for (const wchar_t* name : {L"orbex.dll", L"hook.dll", L"buttons.png", L"clouds.jpg", L"map.jpg"})
        ASSERT_TRUE(CopyFileW((std::wstring(TL_PROGRAM_FOLDER) + name).c_str(), folder.File(name).c_str(), FALSE))
            << name;
    ASSERT_TRUE(CopyFileW(TL_TEST_BINARIES L"maptestrun.exe", folder.File(L"maptestrun.exe").c_str(), FALSE));
    CTestProcess host;
    ASSERT_TRUE(host.Start(folder.File(L"maptestrun.exe"), L"", folder.Path()));
    ASSERT_EQ(0, host.ExitCode(kHostWaitMs));
    EXPECT_EQ(L"1", Key(L"initialized"));
    EXPECT_EQ(L"Install return code: 0, system error: 0", Key(L"install_result"));
}

TEST(MapLibraryLoader, TableIsEmptyAfterAFailureAndAfterUnloading)
{
    CTempFolder folder;
    MapLibraryTable table;
    EXPECT_EQ(MAPERR_LOADLIBRARY, LoadMapLibrary(table, folder.Path().c_str(), nullptr, 0));
    EXPECT_FALSE(table.module);

    // a library without the map's exports
    ASSERT_TRUE(CopyFileW(TL_TEST_BINARIES L"menuhook.dll", folder.File(L"orbex.dll").c_str(), FALSE));
    EXPECT_EQ(MAPERR_IMPORTS, LoadMapLibrary(table, folder.Path().c_str(), nullptr, 0));
    EXPECT_FALSE(table.module);
    EXPECT_EQ(nullptr, table.initMap);
    EXPECT_EQ(nullptr, table.freeMap);

    ASSERT_TRUE(CopyFileW(TL_TEST_BINARIES L"stub_map_noinstall.dll", folder.File(L"orbex.dll").c_str(), FALSE));
    EXPECT_EQ(0u, LoadMapLibrary(table, folder.Path().c_str(), nullptr, 0));
    EXPECT_TRUE(table.module);
    EXPECT_NE(nullptr, table.getLastSysError);
    EXPECT_EQ(nullptr, table.setLocalString);  // optional
    UnloadMapLibrary(table);
    EXPECT_FALSE(table.module);
    EXPECT_EQ(nullptr, table.createMapWindow);
    // unloaded: the file is free again
    EXPECT_TRUE(DeleteFileW(folder.File(L"orbex.dll").c_str()));
}
