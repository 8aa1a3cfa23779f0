// When a news feed is due for download and what its cache file is called.
// No Win32 calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "graphics/records/WinTypes.h"

const int32_t kFeedMinIntervalMinutes = 3;
const int32_t kFeedMaxIntervalMinutes = 129600;  // 90 days

// The refresh interval of a "ttl" setting in minutes: its size clamped to
// kFeedMinIntervalMinutes..kFeedMaxIntervalMinutes, its sign kept. A negative
// interval stands for the feed's own ttl.
int32_t FeedRefreshInterval(int32_t ttl);

// What the due rule needs of one feed.
struct FeedDueState {
    int32_t intervalMinutes;  // FeedRefreshInterval; below 1: the feed's ttl
    int32_t feedTtlMinutes;   // the ttl the feed itself gives
    bool parsed;              // its latest parse succeeded
    const FILETIME* cacheTime;  // the cache file's last write (UTC); null: no file
};

// Whether a due-only refresh takes the feed at `nowUtc`; every feed of one
// refresh is judged against the same `nowUtc`. A cache file dated after now
// (the clock was set back) counts as due.
bool IsFeedDue(const FeedDueState& feed, const FILETIME& nowUtc);

// "<folder>\rss-<crc>.xml": the CRC-32 of the URL's UTF-16LE bytes, all
// `url` characters, as 8 lower-case hex digits. False (empty `out`) when the
// name does not fit `outChars`, terminator included.
bool FormatFeedCachePath(const WCHAR* folder, const WCHAR* url, WCHAR* out, size_t outChars);
