#include "windows/news/FeedSchedule.h"

#include "app/startup/Crc32.h"

namespace {

const uint64_t kTicksPerMinute = 600000000ull;  // FILETIME counts 100 ns

uint64_t MinutesOf(const FILETIME& t)
{
    return ((uint64_t)t.dwHighDateTime << 32 | t.dwLowDateTime) / kTicksPerMinute;
}

size_t TextLength(const WCHAR* text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

}  // namespace

int32_t FeedRefreshInterval(int32_t ttl)
{
    // the size in 64 bits: -INT32_MIN has no 32-bit value
    int64_t size = ttl < 0 ? -(int64_t)ttl : ttl;
    if (size < kFeedMinIntervalMinutes)
        size = kFeedMinIntervalMinutes;
    if (size > kFeedMaxIntervalMinutes)
        size = kFeedMaxIntervalMinutes;
    return ttl < 0 ? -(int32_t)size : (int32_t)size;
}

bool IsFeedDue(const FeedDueState& feed, const FILETIME& nowUtc)
{
    if (!feed.parsed || !feed.cacheTime)
        return true;
    int64_t interval = feed.intervalMinutes < 1 ? feed.feedTtlMinutes : feed.intervalMinutes;
    // whole minutes since 1601: the same count as the day number times 1440
    // plus the minutes of the day, across any number of midnights
    uint64_t now = MinutesOf(nowUtc);
    uint64_t written = MinutesOf(*feed.cacheTime);
    if (written > now)
        return true;
    return (int64_t)(now - written) >= interval;
}

bool FormatFeedCachePath(const WCHAR* folder, const WCHAR* url, WCHAR* out, size_t outChars)
{
    static const WCHAR kPrefix[] = {'\\', 'r', 's', 's', '-'};
    static const WCHAR kSuffix[] = {'.', 'x', 'm', 'l'};
    static const char kHex[] = "0123456789abcdef";
    if (!out || outChars == 0)
        return false;
    out[0] = 0;
    if (!folder || !url)
        return false;
    size_t folderChars = TextLength(folder);
    size_t total = folderChars + 5 + 8 + 4;
    if (total + 1 > outChars)
        return false;
    // WCHAR is little-endian wherever this builds, so its memory is the
    // UTF-16LE byte string
    uint32_t crc = Crc32(url, TextLength(url) * sizeof(WCHAR));
    WCHAR* p = out;
    for (size_t i = 0; i < folderChars; ++i)
        *p++ = folder[i];
    for (WCHAR c : kPrefix)
        *p++ = c;
    for (int shift = 28; shift >= 0; shift -= 4)
        *p++ = (WCHAR)kHex[(crc >> shift) & 15];
    for (WCHAR c : kSuffix)
        *p++ = c;
    *p = 0;
    return true;
}
