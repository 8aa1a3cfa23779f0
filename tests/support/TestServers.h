// The local test servers that tests/servers/with-servers.sh starts for every
// test executable, on 127.0.0.1.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <stdlib.h>

#include <string>

// "TL_TEST_HTTP_PORT", "TL_TEST_TLS_PORT" or "TL_TEST_SNTP_PORT"; 0 without a server.
inline int TestServerPort(const WCHAR* name = L"TL_TEST_HTTP_PORT")
{
    WCHAR value[16];
    DWORD n = GetEnvironmentVariableW(name, value, 16);
    return n > 0 && n < 16 ? _wtoi(value) : 0;
}

// A URL of the HTTP server: `path` begins with "/".
inline std::wstring TestServerUrl(const std::wstring& path)
{
    return L"http://127.0.0.1:" + std::to_wstring(TestServerPort()) + path;
}

// The body of a GET of the HTTP server's `path` (a case, its request log, a
// mode switch), fetched without the code under test; empty on failure.
inline std::string TestServerGet(const std::wstring& path)
{
    std::string body;
    HINTERNET session = WinHttpOpen(L"test", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
    HINTERNET connection = WinHttpConnect(session, L"127.0.0.1", (INTERNET_PORT)TestServerPort(), 0);
    HINTERNET request = WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, nullptr, nullptr, 0);
    if (request && WinHttpSendRequest(request, nullptr, 0, nullptr, 0, 0, 0) &&
        WinHttpReceiveResponse(request, nullptr)) {
        char buffer[65536];
        DWORD read;
        while (WinHttpReadData(request, buffer, sizeof(buffer), &read) && read > 0)
            body.append(buffer, read);
    }
    WinHttpCloseHandle(request);
    WinHttpCloseHandle(connection);
    WinHttpCloseHandle(session);
    return body;
}

// The requests in the HTTP server's log whose path begins with `prefix`.
inline size_t CountServerRequests(const std::string& prefix)
{
    std::string log = TestServerGet(L"/log");
    std::string key = "\"path\": \"" + prefix;
    size_t n = 0;
    for (size_t at = log.find(key); at != std::string::npos; at = log.find(key, at + 1))
        ++n;
    return n;
}
