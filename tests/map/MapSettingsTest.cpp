#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "graphics/system/Handles.h"
#include "graphics/system/Restrictions.h"
#include "map/MapSettings.h"
#include "tests/support/TestFiles.h"

namespace {

// The prefix's HKEY_LOCAL_MACHINE switches (ctest's lock "hklm_tempolan"
// keeps other tests off them); the key goes again after each test.
class RestrictionSwitches : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgramMachineKey);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProgramMachineKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, m_key.Receive(), nullptr));
    }
    void TearDown() override
    {
        m_key.Reset();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgramMachineKey);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Kestrin Group");     // only when empty
    }
    void SetDword(const WCHAR* name, DWORD value)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(m_key.Get(), name, 0, REG_DWORD, (const BYTE*)&value, sizeof(value)));
    }
    void SetString(const WCHAR* name, const WCHAR* text)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(m_key.Get(), name, 0, REG_SZ, (const BYTE*)text,
                                                (DWORD)((wcslen(text) + 1) * sizeof(WCHAR))));
    }
    CRegKey m_key;
};

std::string Ini(const std::string& map, const std::string& common)
{
    return "[map]\r\n" + map + "[common]\r\n" + common;
}

}  // namespace

TEST_F(RestrictionSwitches, OnlyNonzeroDwordsAreSet)
{
    EXPECT_EQ(0u, ReadRestrictionFlags());
    SetDword(kNoUpdatesValue, 1);
    SetDword(kNoNewsValue, 0);                  // present but 0
    SetString(kNoCityPhotosValue, L"1");        // 4 bytes, but a string
    SetDword(kNoCloudMapValue, 0x100);
    // no "no_preferences" at all
    EXPECT_EQ(kNoUpdates | kNoCloudMap, ReadRestrictionFlags());
    SetDword(kNoNewsValue, 7);
    SetDword(kNoCityPhotosValue, 1);
    SetDword(kNoPreferencesValue, 1);
    EXPECT_EQ(kNoUpdates | kNoNews | kNoCityPhotos | kNoCloudMap | kNoPreferences, ReadRestrictionFlags());
    m_key.Reset();
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgramMachineKey));
    EXPECT_EQ(0u, ReadRestrictionFlags());      // a missing key clears them all
}

TEST_F(RestrictionSwitches, CloudMapSwitchKeepsTheCloudsOff)
{
    CTempFolder folder;
    ASSERT_TRUE(folder.WriteBytes(L"tempolan.ini", Ini("", "cloudmap_interval=60\r\n")));
    MapSettings settings;
    DetailLevel detail;
    ASSERT_TRUE(LoadMapSettings(folder.File(L"tempolan.ini").c_str(), &settings, &detail));
    EXPECT_TRUE(settings.CloudsOn());
    SetDword(kNoCloudMapValue, 1);
    ASSERT_TRUE(LoadMapSettings(folder.File(L"tempolan.ini").c_str(), &settings, &detail));
    EXPECT_EQ(kNoCloudMap, settings.restrictions);
    EXPECT_FALSE(settings.CloudsOn());
    SetDword(kNoCloudMapValue, 0);
    ASSERT_TRUE(LoadMapSettings(folder.File(L"tempolan.ini").c_str(), &settings, &detail));
    EXPECT_TRUE(settings.CloudsOn());
}

TEST(MapSettings, KeysAreClampedAndTurnedIntoTheDetailFactor)
{
    struct Case {
        const char* map;
        const char* common;
        int texScalerX, texScalerY;
        bool compression;
        int factor;
        bool clouds;
        int cloudsAlpha;
    } cases[] = {
        {"", "", 0, -1, false, 100, false, 192},    // the defaults
        {"texScalerX=5\r\ntexScalerY=-9\r\n", "", 2, -3, false, 100, false, 192},
        {"texScalerX=-4\r\ntexScalerY=2\r\n", "", -3, 1, false, 100, false, 192},
        {"tex_compression=7\r\n", "", 0, -1, true, 100, false, 192},
        {"lag_factor=0\r\n", "", 0, -1, false, 50, false, 192},
        {"lag_factor=3\r\n", "", 0, -1, false, 300, false, 192},
        {"lag_factor=12\r\n", "", 0, -1, false, 800, false, 192},
        {"lag_factor=-2\r\n", "", 0, -1, false, 50, false, 192},
        {"", "cloudmap_interval=0\r\n", 0, -1, false, 100, false, 192},
        {"", "cloudmap_interval=60\r\n", 0, -1, false, 100, true, 192},
        {"", "clouds_alpha=300\r\n", 0, -1, false, 100, false, 255},
        {"", "clouds_alpha=10\r\n", 0, -1, false, 100, false, 32},
    };
    CTempFolder folder;
    std::wstring ini = folder.File(L"tempolan.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.map << c.common);
        ASSERT_TRUE(folder.WriteBytes(L"tempolan.ini", Ini(c.map, c.common)));
        MapSettings settings;
        DetailLevel detail;
        detail.maxTextureSize = 2048;
        ASSERT_TRUE(LoadMapSettings(ini.c_str(), &settings, &detail));
        EXPECT_EQ(c.texScalerX, settings.texScalerX);
        EXPECT_EQ(c.texScalerY, settings.texScalerY);
        EXPECT_EQ(c.compression, settings.texCompression);
        EXPECT_EQ(c.factor, detail.factor);
        EXPECT_EQ(2048, detail.textureSize);
        EXPECT_EQ(c.clouds, settings.CloudsOn());
        EXPECT_EQ(c.cloudsAlpha, settings.cloudsAlpha);
    }
}

TEST(MapSettings, VanishedKeysKeepTheirValues)
{
    CTempFolder folder;
    std::wstring ini = folder.File(L"tempolan.ini");
    ASSERT_TRUE(folder.WriteBytes(L"tempolan.ini",
                                  Ini("texScalerX=2\r\ntexScalerY=-3\r\ntex_compression=1\r\nlag_factor=4\r\n",
                                      "cloudmap_interval=30\r\nclouds_alpha=100\r\n")));
    MapSettings settings;
    DetailLevel detail;
    ASSERT_TRUE(LoadMapSettings(ini.c_str(), &settings, &detail));
    ASSERT_EQ(400, detail.factor);
    ASSERT_TRUE(settings.CloudsOn());

    ASSERT_TRUE(folder.WriteBytes(L"tempolan.ini", Ini("", "")));
    ASSERT_TRUE(LoadMapSettings(ini.c_str(), &settings, &detail));
    EXPECT_EQ(2, settings.texScalerX);
    EXPECT_EQ(-3, settings.texScalerY);
    EXPECT_TRUE(settings.texCompression);
    EXPECT_EQ(100, settings.cloudsAlpha);
    EXPECT_EQ(400, detail.factor);          // the current factor is the default
    EXPECT_FALSE(settings.CloudsOn());      // the interval's default is fixed

    // a factor between the hundreds comes back as its hundreds
    SetDetailFactor(detail, 250);
    ASSERT_TRUE(LoadMapSettings(ini.c_str(), &settings, &detail));
    EXPECT_EQ(200, detail.factor);

    // without a path nothing is read
    MapSettings untouched;
    untouched.texScalerX = 1;
    DetailLevel level;
    level.factor = 700;
    EXPECT_FALSE(LoadMapSettings(nullptr, &untouched, &level));
    EXPECT_FALSE(LoadMapSettings(L"", &untouched, &level));
    EXPECT_EQ(1, untouched.texScalerX);
    EXPECT_EQ(700, level.factor);
}

TEST(MapSettings, ShiftsMultiplyOrDivideByPowersOfTwo)
{
    struct Case {
        int size, shift, result;
    } cases[] = {{1024, 0, 1024}, {1024, 2, 4096}, {1024, 1, 2048}, {1024, -1, 512}, {1024, -3, 128}, {128, -3, 16}};
    for (const Case& c : cases)
        EXPECT_EQ(c.result, ShiftTextureSize(c.size, c.shift)) << c.size << " " << c.shift;
}
