#include "windows/http/HttpDownloader.h"

#include "graphics/records/SettingsBlock.h"
#include "windows/http/HttpClient.h"

CHttpFileDownloader::CHttpFileDownloader(const WCHAR* userAgent, const SettingsBlock* settings)
    : m_userAgent(), m_settings(settings)
{
    lstrcpynW(m_userAgent, userAgent, ARRAYSIZE(m_userAgent));
}

int CHttpFileDownloader::Download(const WCHAR* url, const WCHAR* file)
{
    WCHAR temporary[MAX_PATH + 8];
    if (!url || !file || lstrlenW(file) + 5 >= MAX_PATH)
        return 0;
    wsprintfW(temporary, L"%s.part", file);
    bool direct = !m_settings || (m_settings->options & kOptInetScripts);
    CHttpClient client(m_userAgent, direct);
    int status = DownloadFile(client, url, temporary);
    // an older file stays unless a whole new one came
    if (status == 200 && !MoveFileExW(temporary, file, MOVEFILE_REPLACE_EXISTING))
        status = kHttpCannotCreateFile;
    if (status != 200)
        DeleteFileW(temporary);
    return status;
}
