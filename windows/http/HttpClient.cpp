#include "windows/http/HttpClient.h"

#include <string.h>
#include <wchar.h>

#include "windows/http/ContentMd5.h"
#include "windows/http/HttpDate.h"
#include "windows/http/Md5.h"

namespace {

const DWORD kProxyMutexWaitMs = 2000;
const DWORD kReadBufferBytes = 1u << 20;
const int kLogTextBytes = 2048;
const WCHAR kLogFileName[] = L"http_log.txt";
const WCHAR* g_defaultAcceptTypes[] = {L"application/octet-stream", nullptr};

// The user's proxy settings, shared by every client of the process.
WINHTTP_CURRENT_USER_IE_PROXY_CONFIG g_ieConfig = {TRUE, nullptr, nullptr, nullptr};
HANDLE g_proxyMutex;
HttpProxyApi g_proxyApi = {WinHttpGetIEProxyConfigForCurrentUser, WinHttpGetProxyForUrl, WinHttpSetOption};

// The first client of the process to write starts the log afresh; the
// others append to it.
SRWLOCK g_logLock = SRWLOCK_INIT;
bool g_logStarted;

void FreeGlobal(LPWSTR* text)
{
    if (*text)
        GlobalFree(*text);
    *text = nullptr;
}

LPWSTR CopyGlobal(const WCHAR* text)
{
    if (!text)
        return nullptr;
    size_t bytes = (wcslen(text) + 1) * sizeof(WCHAR);
    LPWSTR copy = (LPWSTR)GlobalAlloc(GMEM_FIXED, bytes);
    if (copy)
        memcpy(copy, text, bytes);
    return copy;
}

void FreeIeConfig()
{
    FreeGlobal(&g_ieConfig.lpszAutoConfigUrl);
    FreeGlobal(&g_ieConfig.lpszProxy);
    FreeGlobal(&g_ieConfig.lpszProxyBypass);
}

// A header of the answer as text; empty when it is absent or longer than `chars`.
void QueryText(HINTERNET request, DWORD query, WCHAR* out, DWORD chars)
{
    DWORD bytes = chars * sizeof(WCHAR);
    if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, out, &bytes, WINHTTP_NO_HEADER_INDEX))
        out[0] = 0;
    out[chars - 1] = 0;
}

bool QueryNumber(HINTERNET request, DWORD query, DWORD* value)
{
    DWORD bytes = sizeof(*value);
    return WinHttpQueryHeaders(request, query | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX, value,
                               &bytes, WINHTTP_NO_HEADER_INDEX) != FALSE;
}

struct CGlobalBuffer {
    explicit CGlobalBuffer(SIZE_T bytes) : block((BYTE*)GlobalAlloc(GPTR, bytes)) {}
    ~CGlobalBuffer()
    {
        if (block)
            GlobalFree(block);
    }
    BYTE* block;
};

}  // namespace

CHttpRequestHandles::~CHttpRequestHandles()
{
    if (request)
        WinHttpCloseHandle(request);
    if (connection)
        WinHttpCloseHandle(connection);
}

void SetHttpProxyApi(const HttpProxyApi& api)
{
    g_proxyApi = api;
}

HttpProxyApi DefaultHttpProxyApi()
{
    return {WinHttpGetIEProxyConfigForCurrentUser, WinHttpGetProxyForUrl, WinHttpSetOption};
}

bool InitProxyConfig()
{
    if (!g_proxyMutex)
        g_proxyMutex = CreateMutexW(nullptr, FALSE, nullptr);
    FreeIeConfig();
    g_ieConfig.fAutoDetect = TRUE;
    return g_proxyMutex != nullptr;
}

void FreeProxyConfig()
{
    FreeIeConfig();
    if (g_proxyMutex)
        CloseHandle(g_proxyMutex);
    g_proxyMutex = nullptr;
}

bool LoadProxyConfig()
{
    if (!g_proxyMutex || WaitForSingleObject(g_proxyMutex, INFINITE) == WAIT_FAILED)
        return false;
    FreeIeConfig();
    g_ieConfig.fAutoDetect = TRUE;
    bool read = g_proxyApi.getIeProxyConfig(&g_ieConfig) != FALSE;
    if (!read)
        g_ieConfig.fAutoDetect = TRUE;
    ReleaseMutex(g_proxyMutex);
    return read;
}

void FormatHttpUserAgent(const VS_FIXEDFILEINFO& version, bool bitness, WCHAR* out, size_t chars)
{
    WCHAR text[64];
    wsprintfW(text, L"Tempolan %d.%d.%d%s", (int)HIWORD(version.dwFileVersionMS),
              (int)LOWORD(version.dwFileVersionMS), (int)HIWORD(version.dwFileVersionLS), bitness ? L" 64-bit" : L"");
    lstrcpynW(out, text, (int)chars);
}

bool GetHttpLogPath(WCHAR* path, size_t chars)
{
    WCHAR module[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH - 1);
    if (n == 0 || n >= MAX_PATH - 1)
        return false;
    module[n] = 0;
    WCHAR* slash = wcsrchr(module, L'\\');
    if (!slash)
        return false;
    slash[1] = 0;
    if (wcslen(module) + wcslen(kLogFileName) + 1 > chars)
        return false;
    wcscpy(path, module);
    wcscat(path, kLogFileName);
    return true;
}

bool CopyHttpUrl(const WCHAR* url, WCHAR* out)
{
    out[0] = 0;
    if (!url)
        return false;
    size_t length = wcslen(url);
    // a cut URL would fetch another resource
    if (length >= (size_t)kHttpUrlChars)
        return false;
    wcscpy(out, url);
    for (WCHAR* p = out; *p && *p != L':' && *p != L'/'; ++p)
        *p = (WCHAR)towlower(*p);
    return true;
}

bool SplitHttpUrl(const WCHAR* url, HttpUrlParts* parts)
{
    WCHAR copy[kHttpUrlChars];
    if (!CopyHttpUrl(url, copy))
        return false;
    WCHAR path[kHttpUrlChars], extra[kHttpUrlChars];
    URL_COMPONENTS c = {};
    c.dwStructSize = sizeof(c);
    c.lpszHostName = parts->host;
    c.dwHostNameLength = ARRAYSIZE(parts->host);
    c.lpszUrlPath = path;
    c.dwUrlPathLength = ARRAYSIZE(path);
    c.lpszExtraInfo = extra;
    c.dwExtraInfoLength = ARRAYSIZE(extra);
    if (!WinHttpCrackUrl(copy, 0, 0, &c))
        return false;
    if (wcslen(path) + wcslen(extra) >= ARRAYSIZE(parts->path))
        return false;
    wcscpy(parts->path, path);
    wcscat(parts->path, extra);
    parts->port = c.nPort;
    parts->secure = c.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

CHttpClient::CHttpClient(const WCHAR* userAgent, bool directAccess, const WCHAR* logFolder)
    : m_session(nullptr), m_logFolder(), m_proxyUrl(), m_proxy(), m_status(0), m_lastError(0), m_date(),
      m_statusText(), m_contentType(), m_acceptTypes(g_defaultAcceptTypes), m_extraHeaders(nullptr)
{
    if (logFolder) {
        lstrcpynW(m_logFolder, logFolder, MAX_PATH);
    } else {
        WCHAR path[MAX_PATH + 16];
        if (GetHttpLogPath(path, ARRAYSIZE(path))) {
            path[wcslen(path) - wcslen(kLogFileName)] = 0;
            lstrcpynW(m_logFolder, path, MAX_PATH);
        }
    }
    m_session = WinHttpOpen(userAgent, directAccess ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                            WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
}

CHttpClient::~CHttpClient()
{
    Close();
}

void CHttpClient::Close()
{
    Reset();
    if (m_session)
        WinHttpCloseHandle(m_session);
    m_session = nullptr;
    m_log.Reset();
}

void CHttpClient::Reset()
{
    FreeGlobal(&m_proxy.lpszProxy);
    FreeGlobal(&m_proxy.lpszProxyBypass);
    m_proxy = {};
}

void CHttpClient::ClearAnswer()
{
    m_status = 0;
    m_lastError = 0;
    m_date = {};
    m_statusText[0] = 0;
    m_contentType[0] = 0;
}

bool CHttpClient::ReadAnswer(HINTERNET request)
{
    DWORD status = 0;
    if (!QueryNumber(request, WINHTTP_QUERY_STATUS_CODE, &status)) {
        m_lastError = ::GetLastError();
        m_status = 0;
        return false;
    }
    m_status = status;
    QueryText(request, WINHTTP_QUERY_STATUS_TEXT, m_statusText, ARRAYSIZE(m_statusText));
    QueryText(request, WINHTTP_QUERY_CONTENT_TYPE, m_contentType, ARRAYSIZE(m_contentType));
    // WinHTTP's own conversion takes any text for a date
    WCHAR date[128];
    QueryText(request, WINHTTP_QUERY_DATE, date, ARRAYSIZE(date));
    ParseHttpDate(date, &m_date);
    return true;
}

bool CHttpClient::SetProxyForUrl(HINTERNET request, const WCHAR* url)
{
    if (!url) {
        m_proxyUrl[0] = 0;
        return false;
    }
    const WCHAR* question = wcschr(url, L'?');
    size_t n = question && question - url < kHttpUrlChars - 1 ? (size_t)(question - url) : kHttpUrlChars - 1;
    bool same = _wcsnicmp(m_proxyUrl, url, n) == 0;
    lstrcpynW(m_proxyUrl, url, (int)n + 1);
    if (!same) {
        Reset();
        DWORD wait = g_proxyMutex ? WaitForSingleObject(g_proxyMutex, kProxyMutexWaitMs) : WAIT_FAILED;
        if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
            Log(L"Cannot hold proxy config mutex");
            return false;
        }
        WINHTTP_AUTOPROXY_OPTIONS options = {};
        options.fAutoLogonIfChallenged = TRUE;
        LPWSTR configUrl = nullptr;
        bool lookup = false;
        if (g_ieConfig.lpszAutoConfigUrl) {
            configUrl = CopyGlobal(g_ieConfig.lpszAutoConfigUrl);
            options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
            options.lpszAutoConfigUrl = configUrl;
            lookup = true;
        } else if (g_ieConfig.fAutoDetect) {
            options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
            options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
            lookup = true;
        } else if (g_ieConfig.lpszProxy) {
            m_proxy.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
            m_proxy.lpszProxy = CopyGlobal(g_ieConfig.lpszProxy);
            m_proxy.lpszProxyBypass = CopyGlobal(g_ieConfig.lpszProxyBypass ? g_ieConfig.lpszProxyBypass : L"<local>");
        } else {
            m_proxy.dwAccessType = WINHTTP_ACCESS_TYPE_NO_PROXY;
        }
        ReleaseMutex(g_proxyMutex);

        if (lookup && !g_proxyApi.getProxyForUrl(m_session, url, &options, &m_proxy)) {
            DWORD error = ::GetLastError();
            if (configUrl) {
                Log(L"Auto-proxy URL:");
                Log(configUrl);
            }
            WCHAR text[96];
            wsprintfW(text, L"Error %d while trying to get proxy for url:", (int)error);
            Log(text);
            Log(url);
            FreeGlobal(&configUrl);
            return false;
        }
        FreeGlobal(&configUrl);
    }
    // a cleared proxy info (type 0) means no proxy as much as NO_PROXY does
    if (m_proxy.dwAccessType == 0 || m_proxy.dwAccessType == WINHTTP_ACCESS_TYPE_NO_PROXY)
        return true;
    if (!g_proxyApi.setOption(request, WINHTTP_OPTION_PROXY, &m_proxy, sizeof(m_proxy))) {
        WCHAR text[96];
        wsprintfW(text, L"Error %d while setting proxy for url:", (int)::GetLastError());
        Log(text);
        Log(url);
        return false;
    }
    return true;
}

void CHttpClient::WriteLine(const char* stamp, const char* text, size_t length)
{
    if (!m_log) {
        if (!m_logFolder[0])
            return;
        WCHAR path[MAX_PATH + 16];
        wsprintfW(path, L"%s%s", m_logFolder, kLogFileName);
        AcquireSRWLockExclusive(&g_logLock);
        DWORD disposition = g_logStarted ? OPEN_ALWAYS : CREATE_ALWAYS;
        m_log.Reset(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (m_log && disposition == CREATE_ALWAYS) {
            // the process's first log: what earlier runs wrote goes
            HANDLE truncate = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (truncate != INVALID_HANDLE_VALUE)
                CloseHandle(truncate);
            g_logStarted = true;
        }
        ReleaseSRWLockExclusive(&g_logLock);
        if (!m_log)
            return;
    }
    size_t stampLength = strlen(stamp);
    char* line = (char*)HeapAlloc(GetProcessHeap(), 0, stampLength + length + 2);
    if (!line)
        return;
    memcpy(line, stamp, stampLength);
    if (length)
        memcpy(line + stampLength, text, length);
    memcpy(line + stampLength + length, "\r\n", 2);
    // at the end of the file, whoever else writes to it: an offset of all
    // ones means the end, and the lock keeps this process's lines whole
    OVERLAPPED end = {};
    end.Offset = end.OffsetHigh = 0xFFFFFFFF;
    DWORD written;
    AcquireSRWLockExclusive(&g_logLock);
    WriteFile(m_log.Get(), line, (DWORD)(stampLength + length + 2), &written, &end);
    ReleaseSRWLockExclusive(&g_logLock);
    HeapFree(GetProcessHeap(), 0, line);
}

namespace {

void FormatStamp(LCID locale, char* stamp, int chars)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    int n = GetDateFormatA(locale, 0, &now, "dd MMM yy ", stamp, chars);
    if (n <= 0)
        n = 1;
    if (GetTimeFormatA(locale, 0, &now, "HH:mm:ss ", stamp + n - 1, chars - n + 1) <= 0)
        stamp[n - 1] = 0;
}

}  // namespace

void CHttpClient::Log(const WCHAR* text)
{
    char stamp[64];
    FormatStamp(LOCALE_SYSTEM_DEFAULT, stamp, sizeof(stamp));
    char ansi[kLogTextBytes];
    int n = 0;
    if (text && text[0]) {
        // a text too long for the line leaves the stamp alone
        n = WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, kLogTextBytes, nullptr, nullptr);
        n = n > 0 ? n - 1 : 0;
    }
    WriteLine(stamp, ansi, (size_t)n);
}

void CHttpClient::LogA(const char* text)
{
    char stamp[64];
    FormatStamp(MAKELCID(1033, SORT_DEFAULT), stamp, sizeof(stamp));
    WriteLine(stamp, text ? text : "", text ? strlen(text) : 0);
}

int DownloadFile(CHttpClient& client, const WCHAR* url, const WCHAR* path, uint64_t bodyLimit)
{
    client.ClearAnswer();
    HttpUrlParts parts;
    if (!SplitHttpUrl(url, &parts))
        return kHttpBadUrl;
    CHttpRequestHandles handles;
    handles.connection = WinHttpConnect(client.Session(), parts.host, parts.port, 0);
    if (!handles.connection) {
        client.SetLastError(GetLastError());
        return kHttpNoConnection;
    }
    DWORD flags = WINHTTP_FLAG_REFRESH | (parts.secure ? WINHTTP_FLAG_SECURE : 0);
    handles.request = WinHttpOpenRequest(handles.connection, L"GET", parts.path, nullptr, WINHTTP_NO_REFERER,
                                         client.AcceptTypes(), flags);
    if (!handles.request) {
        client.SetLastError(GetLastError());
        return kHttpRequestFailed;
    }
    client.SetProxyForUrl(handles.request, url);
    if (client.ExtraHeaders())
        WinHttpAddRequestHeaders(handles.request, client.ExtraHeaders(), (DWORD)-1,
                                 WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
    if (!WinHttpSendRequest(handles.request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                            (DWORD_PTR)&client) ||
        !WinHttpReceiveResponse(handles.request, nullptr)) {
        client.SetLastError(GetLastError());
        return kHttpRequestFailed;
    }
    if (!client.ReadAnswer(handles.request)) {
        client.Log(url);
        client.Log(L"DownloadFile: Can not retrieve HTTP status code after the request");
        return kHttpRequestFailed;
    }
    if (client.Status() != 200)
        return (int)client.Status();

    DWORD contentLength = 0;
    bool lengthGiven = QueryNumber(handles.request, WINHTTP_QUERY_CONTENT_LENGTH, &contentLength);
    WCHAR md5Header[kContentMd5Chars];
    DWORD md5Bytes = sizeof(md5Header);
    bool md5Present = WinHttpQueryHeaders(handles.request, WINHTTP_QUERY_CONTENT_MD5, WINHTTP_HEADER_NAME_BY_INDEX,
                                          md5Header, &md5Bytes, WINHTTP_NO_HEADER_INDEX) != FALSE;
    uint8_t expected[16];
    ContentMd5 md5 = ParseContentMd5(md5Present ? md5Header : nullptr, expected);
    if (md5 == ContentMd5::Absent) {
        client.Log(L"DownloadFile: No MD5 provided for:");
        client.Log(url);
    }

    CKernelHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        client.Log(L"DownloadFile: cannot create file for writing");
        return kHttpCannotCreateFile;
    }
    CGlobalBuffer buffer(kReadBufferBytes);
    if (!buffer.block) {
        client.Log(L"DownloadFile: cannot allocate buffer");
        return kHttpNoBuffer;
    }
    Md5Context context;
    Md5Init(&context);
    uint64_t total = 0;
    bool wroteAny = false, writeFailed = false, readFailed = false, tooLarge = false;
    for (;;) {
        DWORD read = 0;
        if (!WinHttpReadData(handles.request, buffer.block, kReadBufferBytes, &read)) {
            client.SetLastError(GetLastError());
            readFailed = true;
            break;
        }
        if (read == 0)
            break;
        if (total + read > bodyLimit) {
            tooLarge = true;
            break;
        }
        DWORD written = 0;
        if (!WriteFile(file.Get(), buffer.block, read, &written, nullptr) || written != read) {
            writeFailed = true;
            break;
        }
        wroteAny = true;
        Md5Update(&context, buffer.block, read);
        total += read;
    }
    uint8_t digest[16];
    Md5Final(digest, &context);

    // a cut body is never a whole one
    if (readFailed)
        return kHttpReadFailed;
    if (tooLarge) {
        client.Log(L"DownloadFile: body too large");
        return kHttpBodyTooLarge;
    }
    if (!wroteAny || writeFailed)
        return kHttpNothingWritten;
    if (lengthGiven && contentLength != total) {
        client.Log(L"DownloadFile: downloaded file size mismatch");
        return kHttpSizeMismatch;
    }
    if (md5 == ContentMd5::Check && memcmp(digest, expected, sizeof(digest)) != 0) {
        client.Log(L"DownloadFile: MD5 check failed");
        return kHttpDigestMismatch;
    }
    return 200;
}
