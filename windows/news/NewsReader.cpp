#include "windows/news/NewsReader.h"

#include "windows/http/HttpDownloader.h"
#include "windows/news/FeedParser.h"

CNewsReader::CNewsReader(IUserDataShell& shell, const WCHAR* userAgent, const SettingsBlock* settings)
    : m_shell(shell), m_settings(settings), m_userAgent(), m_folder(), m_window(nullptr)
{
    lstrcpynW(m_userAgent, userAgent ? userAgent : L"", ARRAYSIZE(m_userAgent));
}

bool CNewsReader::CreateDataFolder(HWND mainWindow)
{
    m_window = mainWindow;
    return CreateUserDataFolder(m_shell, mainWindow, m_folder);
}

bool CNewsReader::AddFeed(const WCHAR* url, int ttlMinutes, int index, bool expanded, bool enabled)
{
    return m_folder[0] && ::AddFeed(m_registry, m_folder, url, ttlMinutes, index, expanded, enabled);
}

void CNewsReader::LoadCache()
{
    LoadCachedFeeds(m_registry);
}

FILETIME CNewsReader::NowUtc()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return now;
}

bool CNewsReader::StartDownloads(bool dueOnly)
{
    FeedJobSettings job = {PostRssProgress, m_window, m_userAgent, UsesDirectAccess(m_settings)};
    return StartFeedDownloads(m_registry, job, dueOnly, NowUtc());
}

void CNewsReader::RefreshDueFeeds()
{
    StartDownloads(true);
}

void CNewsReader::RefreshAllFeeds()
{
    StartDownloads(false);
}

LRESULT CNewsReader::OnProgress(WPARAM status, LPARAM progress)
{
    const auto* record = (const FeedProgress*)progress;
    if (!record)
        return 0;
    int result = (int)(INT_PTR)status;
    if (result == 0 || result == 200) {
        RSS::Channel* channel = FindFeedByUrl(m_registry, record->url);
        if (channel && ParseFeedFile(channel, channel->cachePath.c_str(), false))
            channel->lastJob = (INT32)record->jobId;
    }
    if (record->index + 1 == record->count) {
        ShowNewsPopup(record->jobId);
        UpdateRSSWindows(kRefreshChannelWindow, record->jobId);
    } else {
        UpdateRSSWindows(kRefreshPopup, record->jobId);
    }
    return 0;
}

void CNewsReader::ClearChannels()
{
    ClearFeedSeenFlags(m_registry);
    ClearRSSWindows();
}

void CNewsReader::RemoveUnregisteredChannels()
{
    RemoveUnseenFeeds(m_registry);
}

void CNewsReader::RefreshWindows()
{
    UpdateRSSWindows(kRefreshChannelWindow | kRefreshPopup, m_registry.jobCounter);
}
