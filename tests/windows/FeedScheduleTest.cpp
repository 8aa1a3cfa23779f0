#include <gtest/gtest.h>

#include <limits.h>
#include <windows.h>

#include <string>

#include "windows/news/FeedSchedule.h"

namespace {

FILETIME Utc(int y, int mo, int d, int h, int mi, int s = 0)
{
    SYSTEMTIME t = {(WORD)y, (WORD)mo, 0, (WORD)d, (WORD)h, (WORD)mi, (WORD)s, 0};
    FILETIME f = {};
    SystemTimeToFileTime(&t, &f);
    return f;
}

}  // namespace

TEST(FeedSchedule, IntervalKeepsTheSignAndClampsTheSize)
{
    struct Case {
        int32_t ttl, interval;
    } cases[] = {
        {0, 3},           {1, 3},          {3, 3},          {10, 10},
        {129600, 129600}, {200000, 129600}, {INT_MAX, 129600},
        {-1, -3},         {-5, -5},        {-200000, -129600},
        {INT_MIN, -129600},  // its size has no 32-bit value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ttl);
        EXPECT_EQ(c.interval, FeedRefreshInterval(c.ttl));
    }
}

// One "now" and one file time per row; the interval comes from the ttl
// setting as the registry makes it.
TEST(FeedSchedule, DueRule)
{
    const FILETIME now = Utc(2026, 3, 10, 0, 8, 30);
    struct Case {
        const char* what;
        int32_t ttl;
        int32_t feedTtl;
        bool parsed;
        bool hasFile;
        FILETIME file;
        FILETIME now;
        bool due;
    } cases[] = {
        {"never parsed, fresh file", 10, 60, false, true, Utc(2026, 3, 10, 0, 8), now, true},
        {"parsed, no cache file", 10, 60, true, false, {}, now, true},
        {"ttl 0 is 3 minutes, not the feed's ttl", 0, 60, true, true, Utc(2026, 3, 10, 0, 5), now, true},
        {"ttl 0: 2 minutes are not 3", 0, 60, true, true, Utc(2026, 3, 10, 0, 6), now, false},
        {"ttl 200000 is 129600 minutes", 200000, 60, true, true, Utc(2025, 12, 10, 0, 8), now, true},
        {"ttl 200000: a minute short", 200000, 60, true, true, Utc(2025, 12, 10, 0, 9), now, false},
        {"ttl -5: the feed's 60 minutes", -5, 60, true, true, Utc(2026, 3, 9, 23, 8), now, true},
        {"ttl -5: 59 minutes are short of the feed's 60", -5, 60, true, true, Utc(2026, 3, 9, 23, 9), now, false},
        {"ttl -5: 5 minutes are short of the feed's 60", -5, 60, true, true, Utc(2026, 3, 10, 0, 3), now, false},
        {"23:58 yesterday + 10 minutes: due at 00:08", 10, 60, true, true, Utc(2026, 3, 9, 23, 58),
         Utc(2026, 3, 10, 0, 8), true},
        {"23:58 yesterday + 10 minutes: not at 00:07", 10, 60, true, true, Utc(2026, 3, 9, 23, 58),
         Utc(2026, 3, 10, 0, 7, 59), false},
        {"across a new year", 10, 60, true, true, Utc(2025, 12, 31, 23, 58), Utc(2026, 1, 1, 0, 8), true},
        {"a day later at an earlier hour", 1440, 60, true, true, Utc(2026, 3, 9, 5, 0), now, false},
        {"a file later today: the clock went back", 10, 60, true, true, Utc(2026, 3, 10, 5, 0), now, true},
        {"a file dated tomorrow", 10, 60, true, true, Utc(2026, 3, 11, 0, 0), now, true},
        {"written this minute", 10, 60, true, true, Utc(2026, 3, 10, 0, 8, 50), now, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FeedDueState feed = {FeedRefreshInterval(c.ttl), c.feedTtl, c.parsed, c.hasFile ? &c.file : nullptr};
        EXPECT_EQ(c.due, IsFeedDue(feed, c.now));
    }
}

TEST(FeedCacheName, CrcOfTheWholeUrlAsUtf16)
{
    WCHAR path[MAX_PATH];
    ASSERT_TRUE(FormatFeedCachePath(L"C:\\data\\Tempolan", L"http://127.0.0.1/feed.xml", path, MAX_PATH));
    EXPECT_STREQ(L"C:\\data\\Tempolan\\rss-f53afab6.xml", path);

    // 1000 characters; its first 511 alone would give rss-f2e64241.xml
    std::wstring url = L"http://127.0.0.1/" + std::wstring(983, L'a');
    ASSERT_TRUE(FormatFeedCachePath(L"D:", url.c_str(), path, MAX_PATH));
    EXPECT_STREQ(L"D:\\rss-2015d382.xml", path);
}

TEST(FeedCacheName, RefusesWhatDoesNotFit)
{
    WCHAR path[32] = L"stale";
    // "C:\x\rss-f53afab6.xml" has 21 characters and a terminator
    EXPECT_FALSE(FormatFeedCachePath(L"C:\\x", L"http://127.0.0.1/feed.xml", path, 21));
    EXPECT_STREQ(L"", path);
    EXPECT_TRUE(FormatFeedCachePath(L"C:\\x", L"http://127.0.0.1/feed.xml", path, 22));
    EXPECT_STREQ(L"C:\\x\\rss-f53afab6.xml", path);
}
