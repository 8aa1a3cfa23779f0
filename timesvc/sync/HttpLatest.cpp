#include "timesvc/sync/HttpLatest.h"

#include "timesvc/sync/SyncEngine.h"
#include "timesvc/sync/UrlTemplate.h"
#include "windows/http/HttpClient.h"
#include "windows/http/HttpDate.h"

int GetLatest(CHttpClient& client, const WCHAR* urlTemplate, const SyncVersion& version, SYSTEMTIME* lastModified)
{
    client.ClearAnswer();
    *lastModified = {};
    // year, month, day, the blank, hour, minute, second, then the version
    const UrlTemplateArg args[] = {
        {false, 0, nullptr}, {false, 0, nullptr}, {false, 0, nullptr}, {true, 0, L"%20"},
        {false, 0, nullptr}, {false, 0, nullptr}, {false, 0, nullptr}, {false, version.major, nullptr},
        {false, version.minor, nullptr}, {false, version.build, nullptr},
    };
    WCHAR url[kHttpUrlChars];
    HttpUrlParts parts;
    if (!FormatUrlTemplate(urlTemplate, args, ARRAYSIZE(args), url, kHttpUrlChars) || !SplitHttpUrl(url, &parts)) {
        client.Log(L"Malformed url:");
        client.Log(url[0] ? url : urlTemplate);
        return kLatestBadUrl;
    }
    CHttpRequestHandles handles;
    WCHAR text[512];
    handles.connection = WinHttpConnect(client.Session(), parts.host, parts.port, 0);
    if (!handles.connection) {
        DWORD error = GetLastError();
        client.SetLastError(error);
        wsprintfW(text, L"GetLatest: WinHttpConnect(%lx, %s:%d) returned %d", (unsigned long)(ULONG_PTR)client.Session(),
                  parts.host, (int)parts.port, (int)error);
        client.Log(text);
        return kLatestNoConnection;
    }
    DWORD flags = WINHTTP_FLAG_REFRESH | (parts.secure ? WINHTTP_FLAG_SECURE : 0);
    handles.request = WinHttpOpenRequest(handles.connection, L"HEAD", parts.path, nullptr, WINHTTP_NO_REFERER,
                                         client.AcceptTypes(), flags);
    if (!handles.request) {
        DWORD error = GetLastError();
        client.SetLastError(error);
        wsprintfW(text, L"GetLatest: HttpOpenRequest() returned %d, URL:", (int)error);
        client.Log(text);
        client.Log(url);
        return kLatestRequestFailed;
    }
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(handles.request, WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof(noRedirects));
    client.SetProxyForUrl(handles.request, url);
    if (client.ExtraHeaders())
        WinHttpAddRequestHeaders(handles.request, client.ExtraHeaders(), (DWORD)-1,
                                 WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
    if (!WinHttpSendRequest(handles.request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(handles.request, nullptr)) {
        DWORD error = GetLastError();
        client.SetLastError(error);
        wsprintfW(text, L"GetLatest: WinHttpSendRequest() returned %d", (int)error);
        client.Log(text);
        return kLatestRequestFailed;
    }
    if (!client.ReadAnswer(handles.request)) {
        client.Log(L"GetLatest: Can not retrieve HTTP status code after the request");
        return 0;
    }
    DWORD status = client.Status();
    if (status == 200 || status == 204) {
        WCHAR modified[128];
        DWORD bytes = sizeof(modified);
        if (WinHttpQueryHeaders(handles.request, WINHTTP_QUERY_LAST_MODIFIED, WINHTTP_HEADER_NAME_BY_INDEX, modified,
                                &bytes, WINHTTP_NO_HEADER_INDEX))
            ParseHttpDate(modified, lastModified);
    }
    return (int)status;
}
