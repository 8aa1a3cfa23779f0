#include "windows/http/HttpDownloader.h"

#include "graphics/records/SettingsBlock.h"
#include "windows/http/HttpClient.h"

CHttpFileDownloader::CHttpFileDownloader(const WCHAR* userAgent, const SettingsBlock* settings)
    : m_userAgent(), m_settings(settings)
{
    lstrcpynW(m_userAgent, userAgent, ARRAYSIZE(m_userAgent));
}

int DownloadFileReplacing(CHttpClient& client, const WCHAR* url, const WCHAR* file)
{
    WCHAR temporary[MAX_PATH + 8];
    if (!url || !file || lstrlenW(file) + 5 >= MAX_PATH)
        return kHttpCannotCreateFile;
    wsprintfW(temporary, L"%s.part", file);
    int status = DownloadFile(client, url, temporary);
    if (status == 200 && !MoveFileExW(temporary, file, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        status = kHttpCannotCreateFile;
    if (status != 200)
        DeleteFileW(temporary);
    return status;
}

bool UsesDirectAccess(const SettingsBlock* settings)
{
    return !settings || (settings->options & kOptInetScripts);
}

int CHttpFileDownloader::Download(const WCHAR* url, const WCHAR* file)
{
    if (!url || !file)
        return 0;
    CHttpClient client(m_userAgent, UsesDirectAccess(m_settings));
    return DownloadFileReplacing(client, url, file);
}
