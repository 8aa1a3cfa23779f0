#include "windows/news/FeedRegistry.h"

#include <algorithm>

#include "windows/news/FeedParser.h"
#include "windows/news/FeedSchedule.h"

FeedRegistry::~FeedRegistry()
{
    for (auto& entry : channelsByUrl)
        delete entry.second;
}

RSS::Channel* AddFeedChannel(FeedRegistry& registry, const WCHAR* url, const WCHAR* cachePath, int settingsIndex)
{
    if (!url || !url[0])
        return nullptr;
    RSS::Channel*& slot = registry.channelsByUrl[url];
    if (!slot) {
        slot = new RSS::Channel(url);
        registry.channelsInOrder.push_back(slot);
        slot->subscribers = &registry.subscribers;
    }
    RSS::Channel* channel = slot;
    if (cachePath)
        channel->cachePath = cachePath;
    channel->seen = 1;
    channel->position = settingsIndex;
    std::stable_sort(registry.channelsInOrder.begin(), registry.channelsInOrder.end(),
                     [](const RSS::Channel* a, const RSS::Channel* b) { return a->position < b->position; });
    return channel;
}

RSS::Channel* FindFeedByUrl(const FeedRegistry& registry, const WCHAR* url)
{
    if (!url)
        return nullptr;
    auto found = registry.channelsByUrl.find(url);
    return found == registry.channelsByUrl.end() ? nullptr : found->second;
}

RSS::Channel* GetFeed(const FeedRegistry& registry, int index)
{
    if (index < 0 || (size_t)index >= registry.channelsInOrder.size())
        return nullptr;
    return registry.channelsInOrder[index];
}

int GetFeedCount(const FeedRegistry& registry)
{
    return (int)registry.channelsInOrder.size();
}

int CountAllNewItems(const FeedRegistry& registry)
{
    int count = 0;
    for (const RSS::Channel* channel : registry.channelsInOrder)
        count += channel->CountNew();
    return count;
}

void ClearFeedSeenFlags(FeedRegistry& registry)
{
    for (RSS::Channel* channel : registry.channelsInOrder)
        channel->seen = 0;
}

void RemoveUnseenFeeds(FeedRegistry& registry)
{
    auto& order = registry.channelsInOrder;
    order.erase(std::remove_if(order.begin(), order.end(), [](const RSS::Channel* c) { return !c->seen; }),
                order.end());
    for (auto it = registry.channelsByUrl.begin(); it != registry.channelsByUrl.end();) {
        if (it->second->seen) {
            ++it;
            continue;
        }
        delete it->second;
        it = registry.channelsByUrl.erase(it);
    }
}

bool AddFeed(FeedRegistry& registry, const WCHAR* folder, const WCHAR* url, int ttl, int settingsIndex,
             bool expanded, bool enabled)
{
    if (settingsIndex < 0 || !url || !url[0] || !enabled)
        return false;
    WCHAR cachePath[MAX_PATH];
    // a name that does not fit leaves the channel without a cache file
    const WCHAR* path = FormatFeedCachePath(folder, url, cachePath, MAX_PATH) ? cachePath : nullptr;
    RSS::Channel* channel = AddFeedChannel(registry, url, path, settingsIndex);
    if (!channel)
        return false;
    channel->expanded = expanded ? 1 : 0;
    channel->enabled = 1;
    channel->refreshInterval = FeedRefreshInterval(ttl);
    return true;
}

void LoadCachedFeeds(FeedRegistry& registry)
{
    for (RSS::Channel* channel : registry.channelsInOrder) {
        if (channel->cachePath.empty() || GetFileAttributesW(channel->cachePath.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        ParseFeedFile(channel, channel->cachePath.c_str(), true);
    }
}

bool StartFeedDownloads(FeedRegistry& registry, const FeedJobSettings& settings, bool dueOnly, const FILETIME& nowUtc)
{
    if (registry.channelsInOrder.empty() || IsFeedDownloadRunning())
        return false;
    FeedDownloadJob* job = AllocFeedDownloadJob((uint32_t)registry.channelsInOrder.size(), settings.callback,
                                                settings.window, settings.userAgent, settings.directAccess);
    if (!job)
        return false;
    for (RSS::Channel* channel : registry.channelsInOrder) {
        if (!channel->enabled || channel->cachePath.empty())
            continue;
        if (dueOnly) {
            FILETIME written;
            FeedDueState state = {};
            state.intervalMinutes = channel->refreshInterval;
            state.feedTtlMinutes = channel->feedTtl;
            state.parsed = channel->parsed != 0;
            state.cacheTime = SystemTimeToFileTime(&channel->fileTime, &written) ? &written : nullptr;
            if (!IsFeedDue(state, nowUtc))
                continue;
        }
        AddFeedDownloadEntry(job, channel->url.c_str(), channel->cachePath.c_str());
    }
    job->jobId = registry.jobCounter + 1;
    if (!StartFeedDownloadJob(job))  // frees the job, also when it is empty
        return false;
    ++registry.jobCounter;
    return true;
}
