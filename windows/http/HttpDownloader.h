// Downloads for the main program's workers: each call makes its own client
// on the calling thread and replaces the target file only with a whole body.
#pragma once

#include <windows.h>

#include "app/main/MainSeams.h"

struct SettingsBlock;
class CHttpClient;

// Fetches `url` into "<file>.part" and moves it over `file` on 200 only, so a
// reader never sees half a file and a failed download keeps the last good one.
int DownloadFileReplacing(CHttpClient& client, const WCHAR* url, const WCHAR* file);

// Whether downloads go without the system proxy ("inet_scripts"); null
// settings: direct.
bool UsesDirectAccess(const SettingsBlock* settings);

class CHttpFileDownloader : public IHttpDownloader {
public:
    // `userAgent` is copied. `settings` (may be null: direct access) gives
    // the "inet_scripts" option at each download; it outlives the downloads.
    CHttpFileDownloader(const WCHAR* userAgent, const SettingsBlock* settings);
    // Before the first download.
    void SetSettings(const SettingsBlock* settings) { m_settings = settings; }

    // Into a temporary file beside `file`, renamed over it on 200 only.
    int Download(const WCHAR* url, const WCHAR* file) override;

private:
    WCHAR m_userAgent[64];
    const SettingsBlock* m_settings;
};
