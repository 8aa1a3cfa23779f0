// The one HTTP client of the programs: a WinHTTP session that fetches one URL
// at a time into a file, checks status, length and MD5 digest, takes the
// proxy for each URL from the user's Internet Explorer settings, and keeps
// the log "http_log.txt". A client belongs to the thread that made it; the
// proxy settings are shared by the process under a mutex.
#pragma once

#include <stdint.h>
#include <windows.h>
#include <winhttp.h>

#include "graphics/system/Handles.h"

// Results of DownloadFile besides the HTTP status of a non-200 answer.
const int kHttpBadUrl = -1;
const int kHttpNoConnection = -2;
const int kHttpRequestFailed = -3;
const int kHttpNoBuffer = -20;
const int kHttpCannotCreateFile = -100;
const int kHttpNothingWritten = -101;
const int kHttpReadFailed = -102;
const int kHttpSizeMismatch = -103;
const int kHttpDigestMismatch = -104;
const int kHttpBodyTooLarge = -105;

const int kHttpUrlChars = 1024;  // with the terminator
const uint64_t kHttpDefaultBodyLimit = 64ull << 20;

// The WinHTTP proxy functions, replaceable for tests: automatic proxy
// discovery would leave the machine, and Wine takes a request's proxy
// option without using it.
struct HttpProxyApi {
    BOOL(WINAPI* getIeProxyConfig)(WINHTTP_CURRENT_USER_IE_PROXY_CONFIG* config);
    BOOL(WINAPI* getProxyForUrl)(HINTERNET session, LPCWSTR url, WINHTTP_AUTOPROXY_OPTIONS* options,
                                 WINHTTP_PROXY_INFO* info);
    BOOL(WINAPI* setOption)(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length);
};
void SetHttpProxyApi(const HttpProxyApi& api);
HttpProxyApi DefaultHttpProxyApi();

// The process-wide proxy settings: made at start-up (auto-detect, no
// strings), freed at exit.
bool InitProxyConfig();
void FreeProxyConfig();
// Reads the current user's settings again; true when the system call
// succeeded (else auto-detect).
bool LoadProxyConfig();

// "Tempolan 5.3.1 64-bit" from the first three parts of a file version;
// without `bitness` the suffix is left out.
void FormatHttpUserAgent(const VS_FIXEDFILEINFO& version, bool bitness, WCHAR* out, size_t chars);

class CHttpClient {
public:
    // `directAccess`: no system proxy for the session (each request still
    // gets the proxy SetProxyForUrl finds). `logFolder` (trailing backslash;
    // null: the program file's folder) holds http_log.txt.
    CHttpClient(const WCHAR* userAgent, bool directAccess, const WCHAR* logFolder = nullptr);
    ~CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    void Close();
    // Frees the proxy info worked out last; the next request works it out again.
    void Reset();
    // The proxy of one open request; false (after a log line) when none
    // could be set.
    bool SetProxyForUrl(HINTERNET request, const WCHAR* url);
    // One log line: the local date and time, the text (either may be null:
    // the stamp alone), CR LF.
    void Log(const WCHAR* text);
    void LogA(const char* text);

    HINTERNET Session() const { return m_session; }
    // The proxy worked out for the last URL base.
    const WINHTTP_PROXY_INFO& Proxy() const { return m_proxy; }
    DWORD Status() const { return m_status; }
    DWORD LastError() const { return m_lastError; }
    // Year 0 when the answer had no date in a form HTTP allows.
    const SYSTEMTIME& Date() const { return m_date; }
    const WCHAR* StatusText() const { return m_statusText; }
    const WCHAR* ContentType() const { return m_contentType; }
    // Null-terminated; must outlive the downloads that use it.
    void SetAcceptTypes(const WCHAR** types) { m_acceptTypes = types; }
    const WCHAR** AcceptTypes() const { return m_acceptTypes; }
    // One header line for every request; null: none.
    void SetExtraHeaders(const WCHAR* headers) { m_extraHeaders = headers; }
    const WCHAR* ExtraHeaders() const { return m_extraHeaders; }

    // For DownloadFile and the time request.
    void ClearAnswer();
    // Status, status text, content type and date of an answered request;
    // false when the status cannot be read.
    bool ReadAnswer(HINTERNET request);
    void SetLastError(DWORD error) { m_lastError = error; }

private:
    void WriteLine(const char* stamp, const char* text, size_t length);

    HINTERNET m_session;
    CKernelHandle m_log;
    WCHAR m_logFolder[MAX_PATH];
    WCHAR m_proxyUrl[kHttpUrlChars];
    WINHTTP_PROXY_INFO m_proxy;
    DWORD m_status;
    DWORD m_lastError;
    SYSTEMTIME m_date;
    WCHAR m_statusText[1024];
    WCHAR m_contentType[1024];
    const WCHAR** m_acceptTypes;
    const WCHAR* m_extraHeaders;
};

// The connection and request handles of one request, closed on every path.
struct CHttpRequestHandles {
    CHttpRequestHandles() = default;
    ~CHttpRequestHandles();
    CHttpRequestHandles(const CHttpRequestHandles&) = delete;
    CHttpRequestHandles& operator=(const CHttpRequestHandles&) = delete;
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;
};

// Fetches `url` with GET into the file `path`: 200 when the body is stored
// and its size and digest are right or not given; the status of any other
// answer (no file made); or one of the kHttp results. A body past
// `bodyLimit` bytes ends the download. The file is not removed on failure:
// download to a temporary name.
int DownloadFile(CHttpClient& client, const WCHAR* url, const WCHAR* path,
                 uint64_t bodyLimit = kHttpDefaultBodyLimit);

// The program file's folder with "http_log.txt".
bool GetHttpLogPath(WCHAR* path, size_t chars);

// `url` with its scheme in lower case (WinHttpCrackUrl under Wine takes no
// other), into `out` of kHttpUrlChars; false for a URL of 1024 characters or more.
bool CopyHttpUrl(const WCHAR* url, WCHAR* out);
// The URL's host, port, path and query and whether it is https; false when
// WinHTTP cannot split it.
struct HttpUrlParts {
    WCHAR host[256];
    INTERNET_PORT port;
    WCHAR path[kHttpUrlChars];
    bool secure;
};
bool SplitHttpUrl(const WCHAR* url, HttpUrlParts* parts);
