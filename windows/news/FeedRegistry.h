// The news feeds that the user's settings name, each an RSS::Channel with a
// cache file in the per-user data folder. GUI thread only; the download
// worker sees only its job.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "windows/news/FeedDownload.h"
#include "windows/news/RssModel.h"

struct FeedRegistry {
    FeedRegistry() = default;
    ~FeedRegistry();
    FeedRegistry(const FeedRegistry&) = delete;
    FeedRegistry& operator=(const FeedRegistry&) = delete;

    std::map<std::wstring, RSS::Channel*> channelsByUrl;  // owned
    std::vector<RSS::Channel*> channelsInOrder;  // by position
    uint32_t jobCounter = 0;  // the last job started; the first is 1
    FeedSubscriberList subscribers;
};

// The channel of `url`, made when it is new; null only for an empty URL.
// Marks it configured and moves it to `settingsIndex`; `cachePath` (may be
// null) replaces its cache file.
RSS::Channel* AddFeedChannel(FeedRegistry& registry, const WCHAR* url, const WCHAR* cachePath, int settingsIndex);
RSS::Channel* FindFeedByUrl(const FeedRegistry& registry, const WCHAR* url);
// Null when out of range.
RSS::Channel* GetFeed(const FeedRegistry& registry, int index);
int GetFeedCount(const FeedRegistry& registry);
int CountAllNewItems(const FeedRegistry& registry);

// A settings reload: clear the flags, let the loader name the feeds again,
// then drop the ones it did not name. A kept channel keeps its items.
void ClearFeedSeenFlags(FeedRegistry& registry);
void RemoveUnseenFeeds(FeedRegistry& registry);

// The settings loader's callback for one feed section: registers an enabled
// feed with its cache file in `folder`. False, without effect, for a negative
// index, an empty URL or a disabled feed.
bool AddFeed(FeedRegistry& registry, const WCHAR* folder, const WCHAR* url, int ttl, int settingsIndex,
             bool expanded, bool enabled);

// Parses, quietly, each channel's cache file that exists.
void LoadCachedFeeds(FeedRegistry& registry);

// What a download job needs besides its feeds.
struct FeedJobSettings {
    FeedProgressCallback callback;
    HWND window;  // where the callback reports
    const WCHAR* userAgent;
    bool directAccess;
};

// Starts one job for the enabled feeds, all of them or (`dueOnly`) those due
// at `nowUtc`. False when there are no feeds, a job still runs, none is
// taken or the worker cannot start; the job counter moves only on success.
bool StartFeedDownloads(FeedRegistry& registry, const FeedJobSettings& settings, bool dueOnly, const FILETIME& nowUtc);
