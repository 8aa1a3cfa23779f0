#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "windows/http/HttpClient.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestServers.h"

namespace {

const WCHAR kAgent[] = L"Tempolan 5.3.1 64-bit";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A log line without its stamp ("dd MMM yy HH:mm:ss ").
std::string Text(const std::string& line)
{
    size_t space = 0;
    for (int i = 0; i < 4 && space != std::string::npos; ++i)
        space = line.find(' ', space + (i ? 1 : 0));
    return space == std::string::npos ? line : line.substr(space + 1);
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The proxy settings the tests give, and what was asked of the lookup.
struct FakeProxy {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config;
    int lookups;
    DWORD flags, detectFlags;
    std::wstring configUrl;
    std::wstring answer;  // the named proxy a lookup gives
    HANDLE blockLoad;     // while set, a load waits on it (holding the mutex)
    int proxiesSet;       // requests given a proxy, the last one's proxy and bypass list
    std::wstring setProxy, setBypass;
    bool refuseOption;
};
FakeProxy g_fake;

LPWSTR GlobalCopy(const WCHAR* text)
{
    if (!text)
        return nullptr;
    size_t bytes = (wcslen(text) + 1) * sizeof(WCHAR);
    LPWSTR copy = (LPWSTR)GlobalAlloc(GMEM_FIXED, bytes);
    memcpy(copy, text, bytes);
    return copy;
}

BOOL WINAPI FakeIeConfig(WINHTTP_CURRENT_USER_IE_PROXY_CONFIG* config)
{
    if (g_fake.blockLoad)
        WaitForSingleObject(g_fake.blockLoad, 10000);
    config->fAutoDetect = g_fake.config.fAutoDetect;
    config->lpszAutoConfigUrl = GlobalCopy(g_fake.config.lpszAutoConfigUrl);
    config->lpszProxy = GlobalCopy(g_fake.config.lpszProxy);
    config->lpszProxyBypass = GlobalCopy(g_fake.config.lpszProxyBypass);
    return TRUE;
}

BOOL WINAPI FakeSetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length)
{
    if (option == WINHTTP_OPTION_PROXY && length == sizeof(WINHTTP_PROXY_INFO)) {
        const WINHTTP_PROXY_INFO* info = (const WINHTTP_PROXY_INFO*)buffer;
        g_fake.setProxy = info->lpszProxy ? info->lpszProxy : L"";
        g_fake.setBypass = info->lpszProxyBypass ? info->lpszProxyBypass : L"";
        ++g_fake.proxiesSet;
        if (g_fake.refuseOption) {
            SetLastError(ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
            return FALSE;
        }
    }
    return WinHttpSetOption(handle, option, buffer, length);
}

BOOL WINAPI FakeProxyForUrl(HINTERNET, LPCWSTR, WINHTTP_AUTOPROXY_OPTIONS* options, WINHTTP_PROXY_INFO* info)
{
    ++g_fake.lookups;
    g_fake.flags = options->dwFlags;
    g_fake.detectFlags = options->dwAutoDetectFlags;
    g_fake.configUrl = options->lpszAutoConfigUrl ? options->lpszAutoConfigUrl : L"";
    if (g_fake.answer.empty()) {
        SetLastError(ERROR_WINHTTP_AUTODETECTION_FAILED);
        return FALSE;
    }
    info->dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
    info->lpszProxy = GlobalCopy(g_fake.answer.c_str());
    info->lpszProxyBypass = nullptr;
    return TRUE;
}

// Every client of these tests goes direct unless a test says otherwise:
// the system's automatic detection would leave the machine.
class HttpClient : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(0, TestServerPort()) << "run under tests/servers/with-servers.sh";
        ASSERT_TRUE(InitProxyConfig());
        g_fake = FakeProxy();
        SetHttpProxyApi({FakeIeConfig, FakeProxyForUrl, FakeSetOption});
        ASSERT_TRUE(LoadProxyConfig());
        TestServerGet(L"/log/clear");
    }
    void TearDown() override
    {
        SetHttpProxyApi(DefaultHttpProxyApi());
        FreeProxyConfig();
    }
    std::vector<std::string> LogLines() const { return Lines(ReadFileBytes(m_folder.File(L"http_log.txt"))); }

    CTempFolder m_folder;
};

}  // namespace

TEST_F(HttpClient, DownloadsAndChecksEachKindOfAnswer)
{
    const char* const kNoMd5 = "DownloadFile: No MD5 provided for:";
    struct Case {
        const wchar_t* path;
        int result;
        long long fileSize;      // -1: no file; -2: a file of any size
        bool noDigest;           // the log says so, with the URL
        const char* failure;     // the log line of the failure; null: none
    };
    const Case cases[] = {
        {L"/ok?len=1000", 200, 1000, true, nullptr},
        {L"/ok?len=1000&md5=right", 200, 1000, false, nullptr},
        {L"/ok?len=1000&md5=wrong", kHttpDigestMismatch, 1000, false, "DownloadFile: MD5 check failed"},
        {L"/ok?len=1000&md5=long", 200, 1000, true, nullptr},
        {L"/ok?len=1000&md5=short", 200, 1000, false, nullptr},
        {L"/ok?len=777&nolen=1&md5=right", 200, 777, false, nullptr},
        {L"/empty", kHttpNothingWritten, 0, true, nullptr},
        {L"/status/404", 404, -1, false, nullptr},
        {L"/status/500", 500, -1, false, nullptr},
        {L"/redirect/301?to=/ok%3Flen%3D10%26md5%3Dright", 200, 10, false, nullptr},
        {L"/redirect/302?to=/ok%3Flen%3D10%26md5%3Dright", 200, 10, false, nullptr},
        {L"/loop", kHttpRequestFailed, -1, false, nullptr},
        {L"/chunked", 200, 3000, true, nullptr},
        // how much came before the reset depends on timing
        {L"/reset", kHttpReadFailed, -2, true, nullptr},
        // WinHTTP ends the body at the close: the count tells
        {L"/truncated", kHttpSizeMismatch, 500, true, "DownloadFile: downloaded file size mismatch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        std::wstring target = m_folder.File(L"body.bin");
        DeleteFileW(target.c_str());
        DeleteFileW(m_folder.File(L"http_log.txt").c_str());
        {
            CHttpClient client(kAgent, true, m_folder.Path().c_str());
            EXPECT_EQ(c.result, DownloadFile(client, TestServerUrl(c.path).c_str(), target.c_str()));
        }
        if (c.fileSize == -1) {
            EXPECT_FALSE(Exists(target));
        } else if (c.fileSize == -2) {
            EXPECT_TRUE(Exists(target));
        } else {
            EXPECT_EQ(c.fileSize, (long long)ReadFileBytes(target).size());
        }
        std::vector<std::string> expected;
        if (c.noDigest) {
            expected.push_back(kNoMd5);
            expected.push_back(Narrow(TestServerUrl(c.path)));
        }
        if (c.failure)
            expected.push_back(c.failure);
        std::vector<std::string> lines;
        for (const std::string& line : LogLines())
            lines.push_back(Text(line));
        EXPECT_EQ(expected, lines);
    }
}

TEST_F(HttpClient, TheBodyIsCheckedAgainstTheServersDigestAtEveryLength)
{
    // 1 MiB reads: the edges of the buffer and of MD5's 64-byte blocks
    const int lengths[] = {1, 63, 64, 65, 1048575, 1048576, 1048577, 1048576 + 64, 3 * 1048576 - 1};
    CHttpClient client(kAgent, true, m_folder.Path().c_str());
    int seed = 11;
    for (int length : lengths) {
        SCOPED_TRACE(length);
        std::wstring path = L"/ok?md5=right&len=" + std::to_wstring(length) + L"&seed=" + std::to_wstring(++seed);
        std::wstring target = m_folder.File(L"random.bin");
        EXPECT_EQ(200, DownloadFile(client, TestServerUrl(path).c_str(), target.c_str()));
        EXPECT_EQ((size_t)length, ReadFileBytes(target).size());
    }
}

TEST_F(HttpClient, UrlsAndTargetsThatCannotWork)
{
    CHttpClient client(kAgent, true, m_folder.Path().c_str());
    std::wstring target = m_folder.File(L"out.bin");

    std::wstring longUrl = TestServerUrl(L"/ok?len=10&pad=");
    std::wstring exact = longUrl + std::wstring(1023 - longUrl.size(), L'x');
    EXPECT_EQ(200, DownloadFile(client, exact.c_str(), target.c_str()));
    EXPECT_EQ(kHttpBadUrl, DownloadFile(client, (exact + L"x").c_str(), target.c_str()));  // never cut
    EXPECT_EQ(kHttpBadUrl, DownloadFile(client, L"not a url", target.c_str()));

    std::wstring upper = L"HTTP://127.0.0.1:" + std::to_wstring(TestServerPort()) + L"/ok?len=5";
    EXPECT_EQ(200, DownloadFile(client, upper.c_str(), target.c_str()));

    std::wstring missingFolder = m_folder.File(L"no such folder\\out.bin");
    EXPECT_EQ(kHttpCannotCreateFile, DownloadFile(client, TestServerUrl(L"/ok?len=10").c_str(), missingFolder.c_str()));
    EXPECT_EQ("DownloadFile: cannot create file for writing", Text(LogLines().back()));

    EXPECT_EQ(kHttpBodyTooLarge,
              DownloadFile(client, TestServerUrl(L"/ok?len=5000&md5=right").c_str(), target.c_str(), 4096));
    EXPECT_EQ("DownloadFile: body too large", Text(LogLines().back()));
}

TEST_F(HttpClient, HttpsInCapitalsIsSpokenAsTls)
{
    CHttpClient client(kAgent, true, m_folder.Path().c_str());
    std::wstring url = L"HTTPS://127.0.0.1:" + std::to_wstring(TestServerPort(L"TL_TEST_TLS_PORT")) + L"/x";
    EXPECT_EQ(kHttpRequestFailed, DownloadFile(client, url.c_str(), m_folder.File(L"tls.bin").c_str()));
    EXPECT_NE(std::string::npos, TestServerGet(L"/tls").find("clienthello"));
}

TEST_F(HttpClient, TheRequestCarriesAgentAcceptTypesAndExtraHeader)
{
    CHttpClient client(kAgent, true, m_folder.Path().c_str());
    const WCHAR* types[] = {L"text/xml", L"text/plain", nullptr};
    client.SetAcceptTypes(types);
    client.SetExtraHeaders(L"Accept-Language: de,en");
    ASSERT_EQ(200, DownloadFile(client, TestServerUrl(L"/ok?len=3&md5=right").c_str(), m_folder.File(L"a").c_str()));
    std::string log = TestServerGet(L"/log");
    EXPECT_NE(std::string::npos, log.find("\"User-Agent\": \"Tempolan 5.3.1 64-bit\"")) << log;
    EXPECT_NE(std::string::npos, log.find("\"Accept\": \"text/xml, text/plain\"")) << log;
    EXPECT_NE(std::string::npos, log.find("\"Accept-Language\": \"de,en\"")) << log;
    EXPECT_NE(std::string::npos, log.find("no-cache")) << log;
}

TEST_F(HttpClient, TheAnswersDateIsReadStrictly)
{
    struct Case {
        const wchar_t* path;
        WORD year;  // 0: no date
    };
    const Case cases[] = {
        {L"/date/imf?t=1000000000", 2001},
        {L"/date/rfc850?t=1000000000", 2001},
        {L"/date/asctime?t=1000000000", 2001},
        {L"/date/none", 0},
        {L"/date/garbage", 0},
        {L"/date/feb31", 0},
    };
    CHttpClient client(kAgent, true, m_folder.Path().c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        ASSERT_EQ(200, DownloadFile(client, TestServerUrl(c.path).c_str(), m_folder.File(L"d").c_str()));
        EXPECT_EQ(c.year, client.Date().wYear);
        if (c.year) {
            // 2001-09-09 01:46:40 UTC
            EXPECT_EQ(9, client.Date().wMonth);
            EXPECT_EQ(9, client.Date().wDay);
            EXPECT_EQ(1, client.Date().wHour);
            EXPECT_EQ(46, client.Date().wMinute);
            EXPECT_EQ(40, client.Date().wSecond);
        }
    }
}

namespace {

class HttpProxy : public HttpClient {
protected:
    // The proxy worked out for `url` on a fresh request of `client`.
    bool ProxyFor(CHttpClient& client, const std::wstring& url)
    {
        HINTERNET connection = WinHttpConnect(client.Session(), L"127.0.0.1", 80, 0);
        HINTERNET request = WinHttpOpenRequest(connection, L"GET", L"/", nullptr, nullptr, nullptr, 0);
        bool set = client.SetProxyForUrl(request, url.c_str());
        WinHttpCloseHandle(request);
        WinHttpCloseHandle(connection);
        return set;
    }
};

}  // namespace

TEST_F(HttpProxy, EachKindOfSettingGivesItsProxy)
{
    std::wstring proxy = L"127.0.0.1:" + std::to_wstring(TestServerPort());
    struct Case {
        const char* name;
        BOOL autoDetect;
        const wchar_t* configUrl;
        const wchar_t* proxyList;
        const wchar_t* bypass;
        int lookups;
        DWORD flags;
        DWORD accessType;          // of the proxy info afterwards
        const wchar_t* infoBypass;
    };
    const Case cases[] = {
        {"configuration script", FALSE, L"http://127.0.0.1/proxy.pac", nullptr, nullptr, 1,
         WINHTTP_AUTOPROXY_CONFIG_URL, WINHTTP_ACCESS_TYPE_NAMED_PROXY, nullptr},
        {"named proxy, no bypass list", FALSE, nullptr, proxy.c_str(), nullptr, 0, 0,
         WINHTTP_ACCESS_TYPE_NAMED_PROXY, L"<local>"},
        {"named proxy with its bypass list", FALSE, nullptr, proxy.c_str(), L"*.example", 0, 0,
         WINHTTP_ACCESS_TYPE_NAMED_PROXY, L"*.example"},
        {"direct", FALSE, nullptr, nullptr, nullptr, 0, 0, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr},
        {"detection with a script", TRUE, L"http://127.0.0.1/wpad.dat", nullptr, nullptr, 1,
         WINHTTP_AUTOPROXY_CONFIG_URL, WINHTTP_ACCESS_TYPE_NAMED_PROXY, nullptr},
        {"detection alone", TRUE, nullptr, nullptr, nullptr, 1, WINHTTP_AUTOPROXY_AUTO_DETECT,
         WINHTTP_ACCESS_TYPE_NAMED_PROXY, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_fake = FakeProxy();
        g_fake.config = {c.autoDetect, (LPWSTR)c.configUrl, (LPWSTR)c.proxyList, (LPWSTR)c.bypass};
        g_fake.answer = proxy;
        ASSERT_TRUE(LoadProxyConfig());
        CHttpClient client(kAgent, true, m_folder.Path().c_str());
        EXPECT_TRUE(ProxyFor(client, TestServerUrl(L"/ok")));
        EXPECT_EQ(c.lookups, g_fake.lookups);
        if (c.lookups) {
            EXPECT_EQ(c.flags, g_fake.flags);
            EXPECT_EQ(std::wstring(c.configUrl ? c.configUrl : L""), g_fake.configUrl);
            if (c.flags == WINHTTP_AUTOPROXY_AUTO_DETECT) {
                EXPECT_EQ((DWORD)(WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A), g_fake.detectFlags);
            }
        }
        EXPECT_EQ(c.accessType, client.Proxy().dwAccessType);
        EXPECT_EQ(std::wstring(c.infoBypass ? c.infoBypass : L""),
                  std::wstring(client.Proxy().lpszProxyBypass ? client.Proxy().lpszProxyBypass : L""));
    }
}

TEST_F(HttpProxy, ALookupServesEveryUrlOfTheSameBase)
{
    g_fake.config.fAutoDetect = TRUE;
    g_fake.answer = L"127.0.0.1:1";
    ASSERT_TRUE(LoadProxyConfig());
    CHttpClient client(kAgent, true, m_folder.Path().c_str());
    EXPECT_TRUE(ProxyFor(client, L"http://feeds.example/news?id=1"));
    EXPECT_TRUE(ProxyFor(client, L"http://feeds.example/news?id=2"));   // differs after "?"
    EXPECT_TRUE(ProxyFor(client, L"HTTP://FEEDS.example/news?id=3"));   // and in case before it
    EXPECT_EQ(1, g_fake.lookups);
    EXPECT_TRUE(ProxyFor(client, L"http://photos.example/index"));
    EXPECT_EQ(2, g_fake.lookups);

    // a failed lookup says why, with the script's URL
    g_fake.answer.clear();
    g_fake.config.lpszAutoConfigUrl = (LPWSTR)L"http://127.0.0.1/proxy.pac";
    ASSERT_TRUE(LoadProxyConfig());
    EXPECT_FALSE(ProxyFor(client, L"http://other.example/"));
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("Auto-proxy URL:", Text(lines[0]));
    EXPECT_EQ("http://127.0.0.1/proxy.pac", Text(lines[1]));
    EXPECT_EQ("Error 12180 while trying to get proxy for url:", Text(lines[2]));
    EXPECT_EQ("http://other.example/", Text(lines[3]));

    // a reset proxy info means no proxy: nothing is set and that is no failure
    client.Reset();
    EXPECT_TRUE(ProxyFor(client, L"http://other.example/"));
}

TEST_F(HttpProxy, ANamedProxyIsSetOnTheRequest)
{
    // Wine accepts a request's proxy option and goes direct all the same:
    // what the request is given is recorded instead
    std::wstring proxy = L"127.0.0.1:" + std::to_wstring(TestServerPort());
    g_fake.config.lpszProxy = (LPWSTR)proxy.c_str();
    ASSERT_TRUE(LoadProxyConfig());
    CHttpClient client(kAgent, true, m_folder.Path().c_str());
    EXPECT_EQ(200, DownloadFile(client, TestServerUrl(L"/ok?len=4&md5=right").c_str(), m_folder.File(L"p").c_str()));
    EXPECT_EQ(1, g_fake.proxiesSet);
    EXPECT_EQ(proxy, g_fake.setProxy);
    EXPECT_EQ(std::wstring(L"<local>"), g_fake.setBypass);

    // a request that refuses it goes on without, after a log line
    g_fake.refuseOption = true;
    EXPECT_EQ(200, DownloadFile(client, TestServerUrl(L"/ok?len=4&md5=right").c_str(), m_folder.File(L"p").c_str()));
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("Error 12019 while setting proxy for url:", Text(lines[0]));
    EXPECT_EQ(Narrow(TestServerUrl(L"/ok?len=4&md5=right")), Text(lines[1]));
}

TEST_F(HttpProxy, ABusyConfigurationIsWaitedForTwoSecondsAtMost)
{
    g_fake.blockLoad = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread loader([] { LoadProxyConfig(); });  // holds the mutex inside the system call
    Sleep(200);
    CHttpClient client(kAgent, true, m_folder.Path().c_str());
    DWORD start = GetTickCount();
    EXPECT_FALSE(ProxyFor(client, L"http://feeds.example/"));
    DWORD waited = GetTickCount() - start;
    SetEvent(g_fake.blockLoad);
    loader.join();
    CloseHandle(g_fake.blockLoad);
    g_fake.blockLoad = nullptr;
    EXPECT_GE(waited, 1900u);
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("Cannot hold proxy config mutex", Text(lines[0]));
}

TEST_F(HttpClient, LogLinesOfSeveralClientsStayWhole)
{
    const int kLines = 1000;
    auto writer = [this](char tag) {
        CHttpClient client(kAgent, true, m_folder.Path().c_str());
        std::string text(40, tag);
        for (int i = 0; i < kLines; ++i)
            client.LogA(text.c_str());
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(2u * kLines, lines.size());
    int as = 0, bs = 0;
    for (const std::string& line : lines) {
        std::string text = Text(line);
        as += text == std::string(40, 'a');
        bs += text == std::string(40, 'b');
    }
    EXPECT_EQ(kLines, as);
    EXPECT_EQ(kLines, bs);

    // a later client of the process appends; a too long text leaves the stamp
    {
        CHttpClient client(kAgent, true, m_folder.Path().c_str());
        client.Log(std::wstring(3000, L'x').c_str());
        client.Log(L"short");
        client.Log(nullptr);
    }
    lines = LogLines();
    ASSERT_EQ(2u * kLines + 3, lines.size());
    EXPECT_EQ(19u, lines[2 * kLines].size()) << lines[2 * kLines];  // "dd MMM yy HH:mm:ss "
    EXPECT_EQ("short", Text(lines[2 * kLines + 1]));
    EXPECT_EQ(19u, lines[2 * kLines + 2].size());
}

// The programs under test read the user's real settings: the test prefix
// must make them go direct, or WinHTTP would look for a proxy on the network.
TEST(HttpTestPrefix, TheUsersProxySettingIsDirect)
{
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config = {};
    ASSERT_TRUE(WinHttpGetIEProxyConfigForCurrentUser(&config));
    EXPECT_FALSE(config.fAutoDetect);
    EXPECT_EQ(nullptr, config.lpszAutoConfigUrl);
    EXPECT_EQ(nullptr, config.lpszProxy);
    for (LPWSTR text : {config.lpszAutoConfigUrl, config.lpszProxy, config.lpszProxyBypass})
        if (text)
            GlobalFree(text);
}
