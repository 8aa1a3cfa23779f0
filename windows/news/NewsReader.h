// The main program's news reader: the feed registry, its cache folder and
// the download jobs, reached through INewsReader. GUI thread only.
#pragma once

#include <windows.h>

#include "app/main/MainSeams.h"
#include "windows/news/FeedCache.h"
#include "windows/news/FeedRegistry.h"

struct SettingsBlock;

class CNewsReader : public INewsReader {
public:
    // `shell` and `settings` (may be null: direct access) outlive the reader;
    // `userAgent` is copied.
    CNewsReader(IUserDataShell& shell, const WCHAR* userAgent, const SettingsBlock* settings);
    void SetSettings(const SettingsBlock* settings) { m_settings = settings; }

    FeedRegistry& Registry() { return m_registry; }
    // Empty until CreateDataFolder succeeded.
    const WCHAR* Folder() const { return m_folder; }

    bool CreateDataFolder(HWND mainWindow) override;
    bool AddFeed(const WCHAR* url, int ttlMinutes, int index, bool expanded, bool enabled) override;
    void LoadCache() override;
    void RefreshDueFeeds() override;
    void RefreshAllFeeds() override;
    // UM_RSSPROGRESS: `progress` is the worker's FeedProgress.
    LRESULT OnProgress(WPARAM status, LPARAM progress) override;
    void ClearChannels() override;
    void RemoveUnregisteredChannels() override;
    void RefreshWindows() override;

protected:
    // Flags of UpdateRSSWindows.
    static const int kRefreshChannelWindow = 1;
    static const int kRefreshPopup = 2;

    // The channel window and the news popup: nothing to show them in yet.
    virtual void ShowNewsPopup(uint32_t jobId) {}
    virtual void UpdateRSSWindows(int flags, uint32_t jobId) {}
    virtual void ClearRSSWindows() {}
    virtual FILETIME NowUtc();

private:
    bool StartDownloads(bool dueOnly);

    IUserDataShell& m_shell;
    const SettingsBlock* m_settings;
    WCHAR m_userAgent[64];
    WCHAR m_folder[MAX_PATH];
    HWND m_window;
    FeedRegistry m_registry;
};
