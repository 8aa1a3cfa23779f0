// The local test servers that tests/servers/with-servers.sh starts for every
// test executable, on 127.0.0.1.
#pragma once

#include <windows.h>

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
