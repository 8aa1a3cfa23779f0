#include <gtest/gtest.h>

#include <string.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "app/startup/CommandLine.h"
#include "app/startup/Crc32.h"

TEST(CommandLine, Switches)
{
    StartupSwitches s;
    ParseStartupSwitches("/EXIT", &s);
    EXPECT_TRUE(s.exit);
    ParseStartupSwitches("-x /nh /Restart", &s);
    EXPECT_TRUE(s.noHook);
    EXPECT_TRUE(s.restart);
    EXPECT_FALSE(s.exit);

    struct { const char* line; const char* kept; } digits[] = {
        {"/12", "/12"}, {"/3abc", "/3abc"}, {"/a12", ""}, {"/1 /25", "/25"}, {"/", ""},
    };
    for (auto& c : digits) {
        SCOPED_TRACE(c.line);
        ParseStartupSwitches(c.line, &s);
        EXPECT_STREQ(c.kept, s.settingsSwitch);
    }
}

TEST(CommandLine, ImportAndExportTakeTheNextArgument)
{
    StartupSwitches s;
    ParseStartupSwitches("/import \"C:\\My Settings\\a.ini\" /export b.ini /nh", &s);
    ASSERT_TRUE(s.import);
    EXPECT_STREQ(L"C:\\My Settings\\a.ini", s.importFile);
    ASSERT_TRUE(s.exportTo);
    EXPECT_STREQ(L"b.ini", s.exportFile);
    EXPECT_TRUE(s.noHook);  // switches after them are still read

    ParseStartupSwitches("/import", &s);
    EXPECT_FALSE(s.import);
    ParseStartupSwitches("/import   'x y.ini", &s);  // to the end without a closing quote
    EXPECT_STREQ(L"x y.ini", s.importFile);

    WCHAR target[4];
    const char* line = "  abcdefgh rest";
    const char* after = ReadCommandArgument(line, target, 4);
    EXPECT_EQ(line + 10, after);
    EXPECT_STREQ(L"abc", target);  // cut to the target and terminated
    EXPECT_EQ(line, ReadCommandArgument(line + 15, nullptr, 0) - 15);
}

TEST(CommandLine, ASwitchIsNeverTakenAsAFileName)
{
    struct {
        const char* line;
        bool import;
        const wchar_t* file;
        bool noHook;
        const char* kept;
    } cases[] = {
        {"/import /nh", false, L"", true, ""},
        {"/import /NH x.ini", false, L"", true, ""},
        {"/import /12", false, L"", false, "/12"},
        {"/import /export b.ini", false, L"", false, ""},
        {"/import /backup.ini /nh", true, L"/backup.ini", true, ""},
        {"/import /nhx", true, L"/nhx", false, ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.line);
        StartupSwitches s;
        ParseStartupSwitches(c.line, &s);
        EXPECT_EQ(c.import, s.import);
        EXPECT_STREQ(c.file, s.importFile);
        EXPECT_EQ(c.noHook, s.noHook);
        EXPECT_STREQ(c.kept, s.settingsSwitch);
    }
    StartupSwitches s;
    ParseStartupSwitches("/import /export b.ini", &s);
    EXPECT_TRUE(s.exportTo);
    EXPECT_STREQ(L"b.ini", s.exportFile);
    ParseStartupSwitches("/export /exit", &s);
    EXPECT_FALSE(s.exportTo);
    EXPECT_TRUE(s.exit);
}

TEST(Crc32, MatchesZlib)
{
    EXPECT_EQ(0xCBF43926u, Crc32("123456789", 9));
    EXPECT_EQ(0u, Crc32("", 0));
    std::mt19937 random(7);
    for (int n : {1, 3, 64, 1000}) {
        std::vector<unsigned char> data(n);
        for (auto& b : data)
            b = (unsigned char)random();
        EXPECT_EQ(crc32(0, data.data(), n), Crc32(data.data(), data.size()));
    }
}
