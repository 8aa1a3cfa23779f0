#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "tests/support/HandlerWindow.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"
#include "tests/support/TestServers.h"
#include "windows/news/FeedDownload.h"

namespace {

// What the main window would see of each UM_RSSPROGRESS, copied while the
// record is valid, with the cache file as it is at that moment.
struct Seen {
    WPARAM wParam;
    std::wstring url, cachePath;
    int32_t result;
    uint32_t jobId, index, count;
    std::string cache;
};

// Notes each UM_RSSPROGRESS as the main window would see it.
class CProgressWindow {
public:
    CProgressWindow()
        : m_window([this](UINT message, WPARAM wParam, LPARAM lParam) {
              if (message != UM_RSSPROGRESS)
                  return false;
              const auto& p = *(const FeedProgress*)lParam;
              seen.push_back({wParam, p.url, p.cachePath, p.result, p.jobId, p.index, p.count,
                              ReadFileBytes(p.cachePath)});
              return true;
          })
    {
    }
    HWND Window() const { return m_window.Window(); }
    std::vector<Seen> seen;

private:
    CHandlerWindow m_window;
};

struct Feed {
    std::wstring path;  // of the test server
    std::wstring cacheName;
};

FeedDownloadJob* MakeJob(HWND window, uint32_t id, const CTempFolder& folder, const std::vector<Feed>& feeds)
{
    FeedDownloadJob* job = AllocFeedDownloadJob((uint32_t)feeds.size(), PostRssProgress, window, L"TlFeedTest", true);
    if (!job)
        return nullptr;
    job->jobId = id;
    for (const Feed& f : feeds)
        AddFeedDownloadEntry(job, TestServerUrl(f.path).c_str(), folder.File(f.cacheName.c_str()).c_str());
    return job;
}

bool WaitForJobEnd()
{
    return PumpUntil([] { return !IsFeedDownloadRunning(); }, 30000);
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class FeedDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(0, TestServerPort());
        ASSERT_FALSE(IsFeedDownloadRunning());
        TestServerGet(L"/log/clear");
    }
    void TearDown() override { EXPECT_TRUE(WaitForJobEnd()); }
    CTempFolder m_folder;
    CProgressWindow m_window;
};

}  // namespace

TEST_F(FeedDownload, RequestsAskForFeedsInTheUsersLanguage)
{
    ASSERT_TRUE(StartFeedDownloadJob(MakeJob(m_window.Window(), 1, m_folder, {{L"/ok?len=10", L"a.xml"}})));
    ASSERT_TRUE(WaitForJobEnd());
    WCHAR abbrev[16] = {};
    ASSERT_GE(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, abbrev, 16), 3);
    std::string language = {(char)towlower(abbrev[0]), (char)towlower(abbrev[1])};
    std::string log = TestServerGet(L"/log");
    EXPECT_NE(std::string::npos, log.find("\"Accept\": \"text/xml, application/xml, text/plain\"")) << log;
    EXPECT_NE(std::string::npos, log.find("\"Accept-Language\": \"" + language + ",en\"")) << log;
}

TEST_F(FeedDownload, ReportsEachEntryInOrderOnceItsCacheIsInPlace)
{
    std::vector<Feed> feeds = {
        {L"/ok?len=300&seed=1", L"first.xml"}, {L"/status/404", L"second.xml"}, {L"/ok?len=50&seed=2", L"third.xml"}};
    ASSERT_TRUE(StartFeedDownloadJob(MakeJob(m_window.Window(), 7, m_folder, feeds)));
    ASSERT_TRUE(WaitForJobEnd());
    const int results[] = {200, 404, 200};
    ASSERT_EQ(3u, m_window.seen.size());
    for (uint32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Seen& s = m_window.seen[i];
        EXPECT_EQ(results[i], s.result);
        EXPECT_EQ((WPARAM)(INT_PTR)results[i], s.wParam);
        EXPECT_EQ(TestServerUrl(feeds[i].path), s.url);
        EXPECT_EQ(m_folder.File(feeds[i].cacheName.c_str()), s.cachePath);
        EXPECT_EQ(7u, s.jobId);
        EXPECT_EQ(i, s.index);
        EXPECT_EQ(3u, s.count);
        // the main window parses the file during the message
        EXPECT_EQ(results[i] == 200 ? TestServerGet(feeds[i].path) : std::string(), s.cache);
    }
    // no temporary file stays behind
    std::vector<std::wstring> files = FolderFileNames(m_folder.Path());
    EXPECT_EQ(2u, files.size());
}

TEST_F(FeedDownload, OnlyAWholeAnswerReplacesTheCache)
{
    const std::string previous = "<rss><channel><title>kept</title></channel></rss>";
    struct Case {
        const wchar_t* path;
        int result;
    } cases[] = {
        {L"/status/404", 404},
        {L"/status/500", 500},
        {L"/truncated", kHttpSizeMismatch},  // 500 of 1000 bytes, then a close
        {L"/reset", kHttpReadFailed},        // part of the body, then a reset
        {L"/ok?len=300&md5=wrong", kHttpDigestMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        ASSERT_TRUE(m_folder.WriteBytes(L"rss.xml", previous));
        m_window.seen.clear();
        ASSERT_TRUE(StartFeedDownloadJob(MakeJob(m_window.Window(), 1, m_folder, {{c.path, L"rss.xml"}})));
        ASSERT_TRUE(WaitForJobEnd());
        ASSERT_EQ(1u, m_window.seen.size());
        EXPECT_EQ(c.result, m_window.seen[0].result);
        EXPECT_EQ(previous, ReadFileBytes(m_folder.File(L"rss.xml")));
        EXPECT_EQ(std::vector<std::wstring>{L"rss.xml"}, FolderFileNames(m_folder.Path()));
    }
    ASSERT_TRUE(StartFeedDownloadJob(MakeJob(m_window.Window(), 2, m_folder, {{L"/ok?len=300&md5=right", L"rss.xml"}})));
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_EQ(TestServerGet(L"/ok?len=300"), ReadFileBytes(m_folder.File(L"rss.xml")));
    EXPECT_EQ(std::vector<std::wstring>{L"rss.xml"}, FolderFileNames(m_folder.Path()));
}

TEST_F(FeedDownload, OneJobAtATime)
{
    // a job without entries starts nothing and holds no place
    EXPECT_FALSE(StartFeedDownloadJob(MakeJob(m_window.Window(), 9, m_folder, {})));
    EXPECT_FALSE(StartFeedDownloadJob(nullptr));
    EXPECT_FALSE(IsFeedDownloadRunning());
    ASSERT_TRUE(StartFeedDownloadJob(MakeJob(m_window.Window(), 1, m_folder, {{L"/delay?ms=1500", L"slow.xml"}})));
    // straight after, before the worker has run
    EXPECT_FALSE(StartFeedDownloadJob(MakeJob(m_window.Window(), 2, m_folder, {{L"/ok?len=10&seed=2", L"b.xml"}})));
    EXPECT_TRUE(IsFeedDownloadRunning());
    // while the first waits for its answer
    PumpUntil([] { return false; }, 500);
    ASSERT_TRUE(IsFeedDownloadRunning());
    EXPECT_FALSE(StartFeedDownloadJob(MakeJob(m_window.Window(), 3, m_folder, {{L"/ok?len=10&seed=3", L"c.xml"}})));
    ASSERT_TRUE(WaitForJobEnd());
    ASSERT_EQ(1u, m_window.seen.size());
    EXPECT_EQ(1u, m_window.seen[0].jobId);
    EXPECT_EQ(0u, CountServerRequests("/ok"));
    // and the next one starts once it is done
    EXPECT_TRUE(StartFeedDownloadJob(MakeJob(m_window.Window(), 4, m_folder, {{L"/ok?len=10&seed=4", L"d.xml"}})));
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_EQ(1u, CountServerRequests("/ok"));
}

TEST_F(FeedDownload, AGoneWindowEndsTheJob)
{
    HWND gone = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    std::vector<Feed> feeds = {{L"/ok?len=10&seed=1", L"a.xml"}, {L"/ok?len=10&seed=2", L"b.xml"}};
    ASSERT_TRUE(StartFeedDownloadJob(MakeJob(gone, 1, m_folder, feeds)));
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_EQ(1u, CountServerRequests("/ok?len=10&seed=1"));
    EXPECT_EQ(0u, CountServerRequests("/ok?len=10&seed=2"));
}

TEST_F(FeedDownload, TheRecordCarriesTheWholeUrl)
{
    std::wstring path = L"/ok?len=20&pad=";
    path += std::wstring(1000 - TestServerUrl(path).size(), L'p');
    ASSERT_EQ(1000u, TestServerUrl(path).size());
    ASSERT_TRUE(StartFeedDownloadJob(MakeJob(m_window.Window(), 1, m_folder, {{path, L"long.xml"}})));
    ASSERT_TRUE(WaitForJobEnd());
    ASSERT_EQ(1u, m_window.seen.size());
    EXPECT_EQ(TestServerUrl(path), m_window.seen[0].url);
    EXPECT_EQ(200, m_window.seen[0].result);
    EXPECT_EQ(1u, CountServerRequests(Narrow(path)));
}
