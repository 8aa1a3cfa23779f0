#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string.h>

#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "tests/support/FakeUserDataShell.h"
#include "tests/support/HandlerWindow.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"
#include "tests/support/TestServers.h"
#include "windows/news/FeedParser.h"
#include "windows/news/FeedRegistry.h"
#include "windows/news/NewsReader.h"

namespace {

std::string Feed(const std::string& title, const std::string& items)
{
    return "<rss version=\"2.0\"><channel><title>" + title + "</title><link>L</link><description>D</description>" +
           items + "</channel></rss>";
}

const std::string kTwoItems = "<item><title>One</title><guid>1</guid></item><item><title>Two</title><guid>2</guid></item>";

FILETIME FileTimeOf(const SYSTEMTIME& t)
{
    FILETIME f;
    SystemTimeToFileTime(&t, &f);
    return f;
}

// What each job reported, in order, noted on the worker thread.
struct JobLog {
    std::mutex lock;
    std::vector<std::wstring> entries;  // "job index/count url"
};
JobLog g_jobs;

bool RecordProgress(const FeedProgress& progress)
{
    std::lock_guard<std::mutex> hold(g_jobs.lock);
    g_jobs.entries.push_back(std::to_wstring(progress.jobId) + L" " + std::to_wstring(progress.index) + L"/" +
                             std::to_wstring(progress.count) + L" " + progress.url);
    return true;
}

std::wstring TakeJobLog()
{
    std::lock_guard<std::mutex> hold(g_jobs.lock);
    std::wstring text;
    for (const std::wstring& e : g_jobs.entries)
        text += e + L"\n";
    g_jobs.entries.clear();
    return text;
}

bool WaitForJobEnd()
{
    return PumpUntil([] { return !IsFeedDownloadRunning(); }, 30000);
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

}  // namespace

TEST(FeedSubscribers, HoldEightAndTellOnlyWindowsThatExist)
{
    std::vector<std::string> heard;
    std::vector<std::unique_ptr<CHandlerWindow>> windows;
    FeedSubscriberList list;
    for (int i = 0; i < 9; ++i) {
        windows.push_back(std::make_unique<CHandlerWindow>([&heard, i](UINT message, WPARAM code, LPARAM) {
            if (message == UM_RSSCHANGED)
                heard.push_back(std::to_string(i) + ":" + std::to_string(code));
            return message == UM_RSSCHANGED;
        }));
    }
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(list.Add(windows[i]->Window()));
    EXPECT_FALSE(list.Add(windows[8]->Window()));
    EXPECT_TRUE(list.Add(windows[3]->Window()));  // listed already
    EXPECT_EQ(8, list.Count());

    // one gone, one left: the ninth finds room, the rest keep their order
    RSS::Channel channel(L"u");
    DestroyWindow(windows[1]->Window());
    list.Remove(windows[2]->Window());
    EXPECT_TRUE(list.Add(windows[8]->Window()));
    list.Notify(kRssChannelParsed, &channel);
    EXPECT_EQ((std::vector<std::string>{"0:4", "3:4", "4:4", "5:4", "6:4", "7:4", "8:4"}), heard);

    heard.clear();
    list.Notify(kRssItemAdded, nullptr);
    EXPECT_TRUE(heard.empty());
}

TEST(FeedRegistry, AddFeedRegistersOnlyEnabledFeedsWithTheirInterval)
{
    const WCHAR* folder = L"C:\\data\\Tempolan";
    struct Case {
        const wchar_t* url;
        int ttl, index;
        bool enabled, added;
        int interval;
    } cases[] = {
        {L"http://127.0.0.1/feed.xml", 10, 0, true, true, 10},
        {L"http://a.example/", 0, 1, true, true, 3},
        {L"http://b.example/", 200000, 2, true, true, 129600},
        {L"http://c.example/", -5, 3, true, true, -5},  // the feed's own ttl
        {L"http://d.example/", -1, 4, true, true, -3},
        {L"http://e.example/", 10, 5, false, false, 0},
        {L"", 10, 6, true, false, 0},
        {L"http://f.example/", 10, -1, true, false, 0},
    };
    FeedRegistry registry;
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.url) + " index " + std::to_string(c.index));
        EXPECT_EQ(c.added, AddFeed(registry, folder, c.url, c.ttl, c.index, c.index % 2 == 0, c.enabled));
        RSS::Channel* channel = FindFeedByUrl(registry, c.url);
        ASSERT_EQ(c.added, channel != nullptr);
        if (!channel)
            continue;
        EXPECT_EQ(c.interval, channel->refreshInterval);
        EXPECT_EQ(c.index, channel->position);
        EXPECT_EQ(c.index % 2 == 0 ? 1 : 0, channel->expanded);
        EXPECT_EQ(1, channel->enabled);
        EXPECT_EQ(1, channel->seen);
        EXPECT_EQ(&registry.subscribers, channel->subscribers);
    }
    EXPECT_EQ(5, GetFeedCount(registry));
    EXPECT_EQ(L"C:\\data\\Tempolan\\rss-f53afab6.xml", GetFeed(registry, 0)->cachePath);
}

TEST(FeedRegistry, OneChannelPerUrlInSettingsOrder)
{
    FeedRegistry registry;
    ASSERT_NE(nullptr, AddFeedChannel(registry, L"b", L"b.xml", 2));
    ASSERT_NE(nullptr, AddFeedChannel(registry, L"a", L"a.xml", 0));
    ASSERT_NE(nullptr, AddFeedChannel(registry, L"c", nullptr, 1));
    RSS::Channel* b = AddFeedChannel(registry, L"b", nullptr, 3);  // a later section with the same URL
    EXPECT_EQ(nullptr, AddFeedChannel(registry, L"", L"x.xml", 4));

    EXPECT_EQ(3, GetFeedCount(registry));
    EXPECT_EQ(3u, registry.channelsByUrl.size());
    EXPECT_EQ(L"a", GetFeed(registry, 0)->url);
    EXPECT_EQ(L"c", GetFeed(registry, 1)->url);
    EXPECT_EQ(b, GetFeed(registry, 2));
    EXPECT_EQ(3, b->position);
    EXPECT_EQ(L"b.xml", b->cachePath);  // kept when none is given
    EXPECT_EQ(nullptr, GetFeed(registry, 3));
    EXPECT_EQ(nullptr, GetFeed(registry, -1));
    EXPECT_EQ(nullptr, FindFeedByUrl(registry, L"B"));  // URLs compare exactly
}

class FeedFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
    std::wstring Write(const wchar_t* name, const std::string& bytes)
    {
        EXPECT_TRUE(m_folder.WriteBytes(name, bytes));
        return m_folder.File(name);
    }
    CTempFolder m_folder;
};

TEST_F(FeedFiles, AReloadKeepsTheChannelsItNamesWithTheirItems)
{
    FeedRegistry registry;
    RSS::Channel* kept = AddFeedChannel(registry, L"kept", Write(L"kept.xml", Feed("Kept", kTwoItems)).c_str(), 0);
    AddFeedChannel(registry, L"dropped", Write(L"dropped.xml", Feed("Dropped", kTwoItems)).c_str(), 1);
    AddFeedChannel(registry, L"missing", m_folder.File(L"none.xml").c_str(), 2);
    LoadCachedFeeds(registry);
    EXPECT_EQ(L"Kept", kept->title);
    EXPECT_EQ(1, kept->parsed);
    EXPECT_EQ(2u, kept->itemsInOrder.size());
    EXPECT_EQ(0, CountAllNewItems(registry));  // the cache at start-up is nothing new
    EXPECT_EQ(0, FindFeedByUrl(registry, L"missing")->parsed);

    ClearFeedSeenFlags(registry);
    AddFeedChannel(registry, L"kept", nullptr, 1);
    AddFeedChannel(registry, L"new", nullptr, 0);
    RemoveUnseenFeeds(registry);
    EXPECT_EQ(2, GetFeedCount(registry));
    EXPECT_EQ(2u, registry.channelsByUrl.size());
    EXPECT_EQ(nullptr, FindFeedByUrl(registry, L"dropped"));
    EXPECT_EQ(nullptr, FindFeedByUrl(registry, L"missing"));
    EXPECT_EQ(kept, GetFeed(registry, 1));
    EXPECT_EQ(2u, kept->itemsInOrder.size());
    EXPECT_EQ(1, kept->parsed);

    // a download's parse counts what is new across the channels
    ASSERT_TRUE(ParseFeedFile(kept, Write(L"kept2.xml", Feed("Kept", kTwoItems + "<item><title>3</title></item>")).c_str(),
                              false));
    EXPECT_EQ(1, CountAllNewItems(registry));
}

// The due rule as a refresh applies it to the registry: one "now" for all.
TEST(FeedJobs, ARefreshTakesTheDueEnabledFeedsAndNumbersItsJobs)
{
    ASSERT_NE(0, TestServerPort());
    ASSERT_TRUE(WaitForJobEnd());
    TakeJobLog();
    const SYSTEMTIME now = MakeTime(2026, 3, 2, 0, 8);
    FeedRegistry registry;
    FeedJobSettings settings = {RecordProgress, nullptr, L"TlFeedTest", true};
    FILETIME nowTime = FileTimeOf(now);
    EXPECT_FALSE(StartFeedDownloads(registry, settings, false, nowTime));  // nothing registered

    struct Feed {
        const wchar_t* name;
        bool enabled, parsed;
        int interval, feedTtl;
        SYSTEMTIME file;
    } feeds[] = {
        {L"never", true, false, 10, 60, {}},
        {L"late", true, true, 10, 60, MakeTime(2026, 3, 1, 23, 58)},   // due at 00:08
        {L"fresh", true, true, 10, 60, MakeTime(2026, 3, 2, 0, 1)},
        {L"ownttl", true, true, -5, 3, MakeTime(2026, 3, 2, 0, 5)},    // the feed's 3 minutes count
        {L"future", true, true, 10, 60, MakeTime(2026, 3, 9, 12, 0)},  // the clock was set back
        {L"off", false, false, 10, 60, {}},
    };
    std::vector<std::wstring> urls;
    CTempFolder folder;
    int index = 0;
    for (const Feed& f : feeds) {
        urls.push_back(TestServerUrl(std::wstring(L"/feed?name=") + f.name));
        RSS::Channel* channel = AddFeedChannel(registry, urls.back().c_str(), folder.File(f.name).c_str(), index++);
        channel->enabled = f.enabled;
        channel->parsed = f.parsed;
        channel->refreshInterval = f.interval;
        channel->feedTtl = f.feedTtl;
        channel->fileTime = f.file;
    }
    auto line = [&](int job, int i, int count, int feed) {
        return std::to_wstring(job) + L" " + std::to_wstring(i) + L"/" + std::to_wstring(count) + L" " + urls[feed] +
               L"\n";
    };

    ASSERT_TRUE(StartFeedDownloads(registry, settings, true, nowTime));
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_EQ(line(1, 0, 4, 0) + line(1, 1, 4, 1) + line(1, 2, 4, 3) + line(1, 3, 4, 4), TakeJobLog());
    EXPECT_EQ(1u, registry.jobCounter);

    // a minute earlier "late" and "ownttl" wait
    ASSERT_TRUE(StartFeedDownloads(registry, settings, true, FileTimeOf(MakeTime(2026, 3, 2, 0, 7))));
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_EQ(line(2, 0, 2, 0) + line(2, 1, 2, 4), TakeJobLog());

    // nothing due: no job, and the number stays free
    for (RSS::Channel* channel : registry.channelsInOrder) {
        channel->parsed = 1;
        channel->refreshInterval = 10;
        channel->fileTime = now;
    }
    EXPECT_FALSE(StartFeedDownloads(registry, settings, true, nowTime));
    EXPECT_EQ(2u, registry.jobCounter);

    // all of them on request, the disabled one still not
    ASSERT_TRUE(StartFeedDownloads(registry, settings, false, nowTime));
    ASSERT_TRUE(WaitForJobEnd());
    std::wstring all;
    for (int i = 0; i < 5; ++i)
        all += line(3, i, 5, i);
    EXPECT_EQ(all, TakeJobLog());
    EXPECT_EQ(3u, registry.jobCounter);
}

TEST(FeedJobs, ARefreshWhileAJobRunsDoesNothing)
{
    ASSERT_NE(0, TestServerPort());
    ASSERT_TRUE(WaitForJobEnd());
    TakeJobLog();
    CTempFolder folder;
    FeedRegistry registry;
    std::wstring slow = TestServerUrl(L"/delay?ms=1500");
    AddFeedChannel(registry, slow.c_str(), folder.File(L"slow.xml").c_str(), 0);
    FeedJobSettings settings = {RecordProgress, nullptr, L"TlFeedTest", true};
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ASSERT_TRUE(StartFeedDownloads(registry, settings, false, now));
    EXPECT_FALSE(StartFeedDownloads(registry, settings, false, now));
    EXPECT_EQ(1u, registry.jobCounter);
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_EQ(L"1 0/1 " + slow + L"\n", TakeJobLog());
}

namespace {

// The reader with its window calls noted and a clock of the test's.
class CTestNewsReader : public CNewsReader {
public:
    explicit CTestNewsReader(IUserDataShell& shell) : CNewsReader(shell, L"TlFeedTest", nullptr) {}
    std::vector<std::string> calls;
    FILETIME now = {};
    bool fixedNow = false;

protected:
    void ShowNewsPopup(uint32_t jobId) override { calls.push_back("popup " + std::to_string(jobId)); }
    void UpdateRSSWindows(int flags, uint32_t jobId) override
    {
        calls.push_back("update " + std::to_string(flags) + " " + std::to_string(jobId));
    }
    void ClearRSSWindows() override { calls.push_back("clear"); }
    FILETIME NowUtc() override { return fixedNow ? now : CNewsReader::NowUtc(); }
};

class NewsReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        m_shell.appData = m_appData.Path();
        ASSERT_NE(0, TestServerPort());
        ASSERT_TRUE(WaitForJobEnd());
        TestServerGet(L"/feed/mode?to=ok");
        TestServerGet(L"/log/clear");
    }
    void TearDown() override
    {
        EXPECT_TRUE(WaitForJobEnd());
        TestServerGet(L"/feed/mode?to=ok");
        OleUninitialize();
    }
    std::wstring CacheFile(const wchar_t* name) const { return m_appData.Path() + L"Tempolan\\" + name; }

    CTempFolder m_appData;
    CFakeUserDataShell m_shell;
};

}  // namespace

TEST_F(NewsReader, ProgressParsesTheArrivedFileAndRefreshesTheWindows)
{
    CTestNewsReader reader(m_shell);
    EXPECT_FALSE(reader.AddFeed(L"http://a.example/", 10, 0, true, true));  // no folder yet
    ASSERT_TRUE(reader.CreateDataFolder(nullptr));
    ASSERT_TRUE(reader.AddFeed(L"http://a.example/", 10, 0, true, true));
    ASSERT_TRUE(reader.AddFeed(L"http://b.example/", 10, 1, true, true));
    RSS::Channel* a = FindFeedByUrl(reader.Registry(), L"http://a.example/");
    RSS::Channel* b = FindFeedByUrl(reader.Registry(), L"http://b.example/");
    CTempFolder scratch;
    ASSERT_TRUE(scratch.WriteBytes(L"a.xml", Feed("A", kTwoItems)));
    ASSERT_TRUE(CopyFileW(scratch.File(L"a.xml").c_str(), a->cachePath.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(scratch.File(L"a.xml").c_str(), b->cachePath.c_str(), FALSE));

    struct Step {
        const wchar_t* url;
        int result;
        uint32_t index, count;
        const char* calls;
        int aJob, bJob;
    } steps[] = {
        {L"http://a.example/", 200, 0, 3, "update 2 5", 5, 0},
        {L"http://b.example/", 404, 1, 3, "update 2 5", 5, 0},  // the old file is not read again
        {L"http://nobody.example/", 200, 2, 3, "popup 5|update 1 5", 5, 0},
        {L"http://b.example/", 0, 0, 1, "popup 5|update 1 5", 5, 5},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(Narrow(s.url) + " " + std::to_string(s.result));
        reader.calls.clear();
        FeedProgress progress = {s.url, L"ignored", s.result, 5, s.index, s.count, nullptr};
        reader.OnProgress((WPARAM)(INT_PTR)s.result, (LPARAM)&progress);
        std::string calls;
        for (const std::string& c : reader.calls)
            calls += (calls.empty() ? "" : "|") + c;
        EXPECT_EQ(s.calls, calls);
        EXPECT_EQ(s.aJob, a->lastJob);
        EXPECT_EQ(s.bJob, b->lastJob);
    }
    EXPECT_EQ(2, a->CountNew());

    reader.calls.clear();
    reader.ClearChannels();
    reader.AddFeed(L"http://b.example/", 10, 0, true, true);
    reader.RemoveUnregisteredChannels();
    EXPECT_EQ(std::vector<std::string>{"clear"}, reader.calls);
    EXPECT_EQ(1, GetFeedCount(reader.Registry()));
    EXPECT_EQ(b, GetFeed(reader.Registry(), 0));
}

// The whole path in one process: the reader's job reports to a window that
// hands each record back to the reader, as the main window does.
TEST_F(NewsReader, DownloadsIntoTheCacheAndKeepItWhenAnAnswerFails)
{
    CTestNewsReader reader(m_shell);
    CHandlerWindow main([&reader](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != UM_RSSPROGRESS)
            return false;
        reader.OnProgress(wParam, lParam);
        return true;
    });
    ASSERT_TRUE(reader.CreateDataFolder(main.Window()));
    std::wstring one = TestServerUrl(L"/feed?name=One&items=3");
    std::wstring two = TestServerUrl(L"/feed/two?name=Two");
    ASSERT_TRUE(reader.AddFeed(one.c_str(), 10, 0, true, true));
    ASSERT_TRUE(reader.AddFeed(two.c_str(), 10, 1, true, true));
    ASSERT_FALSE(reader.AddFeed(TestServerUrl(L"/feed?name=Off").c_str(), 10, 2, true, false));
    reader.LoadCache();  // nothing cached yet

    reader.RefreshDueFeeds();
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_EQ(2u, CountServerRequests("/feed"));
    RSS::Channel* first = FindFeedByUrl(reader.Registry(), one.c_str());
    RSS::Channel* second = FindFeedByUrl(reader.Registry(), two.c_str());
    EXPECT_EQ(L"One", first->title);
    EXPECT_EQ(3u, first->itemsInOrder.size());
    EXPECT_EQ(L"Two", second->title);
    EXPECT_EQ(1, first->lastJob);
    EXPECT_EQ(5, CountAllNewItems(reader.Registry()));
    EXPECT_EQ((std::vector<std::string>{"update 2 1", "popup 1", "update 1 1"}), reader.calls);
    std::string cached = ReadFileBytes(first->cachePath);
    EXPECT_EQ(TestServerGet(L"/feed?name=One&items=3"), cached);
    EXPECT_EQ(TestServerGet(L"/feed/two?name=Two"), ReadFileBytes(second->cachePath));

    // both just fetched: a due-only refresh has nothing to do
    TestServerGet(L"/log/clear");
    reader.RefreshDueFeeds();
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_EQ(0u, CountServerRequests("/feed"));

    // failed answers leave the files and the items as they were
    const char* modes[] = {"500", "cut"};
    for (const char* mode : modes) {
        SCOPED_TRACE(mode);
        TestServerGet(L"/feed/mode?to=" + std::wstring(mode, mode + strlen(mode)));
        reader.RefreshAllFeeds();
        ASSERT_TRUE(WaitForJobEnd());
        EXPECT_EQ(cached, ReadFileBytes(first->cachePath));
        EXPECT_EQ(3u, first->itemsInOrder.size());
        EXPECT_EQ(1, first->lastJob);
    }
    EXPECT_EQ(2u, FolderFileNames(m_appData.Path() + L"Tempolan\\").size());
}
