// The news feeds of the real program: the enabled feeds of the user's
// settings are fetched at the first tick into cache files in the prefix's
// per-user data folder, which this test empties before and after.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <string.h>

#include <string>
#include <vector>

#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/SettingsPaths.h"
#include "graphics/system/Paths.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestMessages.h"
#include "tests/support/TestServers.h"
#include "windows/news/FeedSchedule.h"

namespace {

// "<application data>\Tempolan\", emptied while the object lives.
class CUserDataFolder {
public:
    CUserDataFolder()
    {
        WCHAR appData[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData)))
            m_path = std::wstring(appData) + L"\\Tempolan\\";
        Empty();
    }
    ~CUserDataFolder() { Empty(); }
    CUserDataFolder(const CUserDataFolder&) = delete;
    CUserDataFolder& operator=(const CUserDataFolder&) = delete;

    bool Ready() const { return !m_path.empty(); }
    // The cache file of `url`, as the program names it.
    std::wstring CacheFile(const std::wstring& url) const
    {
        WCHAR path[MAX_PATH];
        std::wstring folder = m_path.substr(0, m_path.size() - 1);
        return FormatFeedCachePath(folder.c_str(), url.c_str(), path, MAX_PATH) ? path : L"";
    }
    std::vector<std::wstring> Files() const { return FolderFileNames(m_path); }

private:
    void Empty()
    {
        if (!m_path.empty())
            RemoveFolderTree(m_path);
    }
    std::wstring m_path;
};

struct FeedSection {
    std::wstring url;
    bool enabled;
};

// A program folder whose user names `feeds` in order.
class CNewsProgram : public CProgramFolder {
public:
    explicit CNewsProgram(const std::vector<FeedSection>& feeds) : m_paths()
    {
        m_ready = BuildIniPaths(Path().c_str(), &m_paths);
        std::wstring user = m_paths.userPrefix;
        WritePrivateProfileStringW((user + L":main").c_str(), L"rss_channels", std::to_wstring(feeds.size()).c_str(),
                                   m_paths.userIni);
        for (size_t i = 0; i < feeds.size(); ++i) {
            std::wstring section = user + L":rss" + std::to_wstring(i + 1);
            WritePrivateProfileStringW(section.c_str(), L"url", feeds[i].url.c_str(), m_paths.userIni);
            WritePrivateProfileStringW(section.c_str(), L"ttl", L"10", m_paths.userIni);
            WritePrivateProfileStringW(section.c_str(), L"enabled", feeds[i].enabled ? L"1" : L"0", m_paths.userIni);
        }
    }
    bool Ready() const { return m_ready && CProgramFolder::Ready(); }

    // Runs the program until the server saw `requests` feed requests and
    // the job had a moment to finish, then ends it; false on any failure.
    bool RunUntilFetched(size_t requests)
    {
        int index = Start(L"/nh");
        if (index < 0 || !WaitForMainWindow())
            return false;
        bool fetched = PumpUntil([&] { return CountServerRequests("/feed") >= requests; }, kProgramWaitMs);
        // what would go wrong with an answer happens right after it
        PumpUntil([] { return false; }, 1000);
        return fetched && Exit() == 0 && ExitCode(index) == 0;
    }

private:
    SettingsPaths m_paths;
    bool m_ready = false;
};

FILETIME LastWrite(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// Dates the file `hours` back, so that its feed is due again.
bool Age(const std::wstring& path, int hours)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t = {{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= (ULONGLONG)hours * 3600 * 10000000;
    FILETIME old = {t.LowPart, t.HighPart};
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    bool done = file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &old);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return done;
}

}  // namespace

TEST(NewsFeeds, EnabledFeedsAreCachedAndAFailedAnswerKeepsTheCache)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    ASSERT_NE(0, TestServerPort());
    TestServerGet(L"/feed/mode?to=ok");
    TestServerGet(L"/log/clear");
    CUserDataFolder data;
    ASSERT_TRUE(data.Ready());

    // a URL of 1000 characters is fetched and named whole
    std::wstring longPath = L"/feed/long?name=Long&pad=";
    std::wstring longUrl = TestServerUrl(longPath);
    longPath.append(1000 - longUrl.size(), L'x');
    longUrl = TestServerUrl(longPath);
    ASSERT_EQ(1000u, longUrl.size());
    const std::vector<FeedSection> feeds = {
        {TestServerUrl(L"/feed?name=One&items=3"), true},
        {TestServerUrl(L"/feed?name=Off"), false},
        {longUrl, true},
    };
    CNewsProgram program(feeds);
    ASSERT_TRUE(program.Ready());

    ASSERT_TRUE(program.RunUntilFetched(2));
    EXPECT_EQ(2u, CountServerRequests("/feed"));
    EXPECT_EQ(0u, CountServerRequests("/feed?name=Off"));
    const std::wstring oneFile = data.CacheFile(feeds[0].url), longFile = data.CacheFile(longUrl);
    const std::string one = ReadFileBytes(oneFile), longFeed = ReadFileBytes(longFile);
    EXPECT_EQ(TestServerGet(L"/feed?name=One&items=3"), one);
    EXPECT_EQ(TestServerGet(longPath), longFeed);
    EXPECT_NE(std::string::npos, longFeed.find("<title>Long</title>"));
    EXPECT_EQ(2u, data.Files().size());

    // dated back, the feeds are due at the next start; the answers fail
    for (const char* mode : {"500", "cut"}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(Age(oneFile, 2));
        ASSERT_TRUE(Age(longFile, 2));
        const FILETIME oneTime = LastWrite(oneFile);
        TestServerGet(L"/feed/mode?to=" + std::wstring(mode, mode + strlen(mode)));
        TestServerGet(L"/log/clear");
        ASSERT_TRUE(program.RunUntilFetched(2));
        EXPECT_EQ(one, ReadFileBytes(oneFile));
        EXPECT_EQ(longFeed, ReadFileBytes(longFile));
        const FILETIME after = LastWrite(oneFile);
        EXPECT_EQ(0, CompareFileTime(&oneTime, &after));
        EXPECT_EQ(2u, data.Files().size());  // no part of an answer left behind
    }
    TestServerGet(L"/feed/mode?to=ok");
}
