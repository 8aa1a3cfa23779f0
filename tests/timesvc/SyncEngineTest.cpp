#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>
#include <aclapi.h>

#include <stdlib.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "timesvc/sync/SyncEngine.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestServers.h"

namespace {

const SyncVersion kVersion = {5, 3, 1};
const DWORD kShortWatchdogMs = 1500;

// Records the times the engine sets; names resolve only to the test server.
class CFakeSyncSystem : public ISyncSystem {
public:
    explicit CFakeSyncSystem(const std::wstring& folder) : m_folder(folder) {}

    bool SetSystemTime(const SYSTEMTIME& utc) override
    {
        set.push_back(utc);
        return !refuse;
    }
    bool ResolveHost(const char* name, uint32_t* address) override
    {
        if (std::string(name) != "time.test")
            return false;
        *address = htonl(INADDR_LOOPBACK);
        return true;
    }
    uint16_t SntpPort() override { return (uint16_t)TestServerPort(L"TL_TEST_SNTP_PORT"); }
    bool ReadNoPreferences(DWORD* size, DWORD* value) override
    {
        if (!preferencesValue)
            return false;
        *size = preferencesSize;
        *value = preferencesValue - 1;
        return true;
    }
    DWORD TickCount() override { return GetTickCount(); }
    const WCHAR* ProgramFolder() override { return m_folder.c_str(); }

    std::vector<SYSTEMTIME> set;
    bool refuse = false;
    DWORD preferencesValue = 0;  // the value + 1; 0: none
    DWORD preferencesSize = 4;

private:
    std::wstring m_folder;
};

// Counts the signals of the time event.
class CEventCounter {
public:
    CEventCounter() : m_count(0), m_stop(false)
    {
        m_event = OpenEventW(SYNCHRONIZE, FALSE, kTimeEventName);
        m_thread = std::thread([this] {
            while (!m_stop)
                if (WaitForSingleObject(m_event, 50) == WAIT_OBJECT_0)
                    ++m_count;
        });
    }
    ~CEventCounter()
    {
        m_stop = true;
        m_thread.join();
        if (m_event)
            CloseHandle(m_event);
    }
    bool Opened() const { return m_event != nullptr; }
    // After a moment for the last signal to be seen.
    int Count()
    {
        Sleep(150);
        return m_count;
    }

private:
    HANDLE m_event;
    std::atomic<int> m_count;
    std::atomic<bool> m_stop;
    std::thread m_thread;
};

class SyncEngine : public testing::Test {
protected:
    SyncEngine() : m_system(m_folder.Path()), m_engine(m_system, kVersion) {}

    void SetUp() override
    {
        ASSERT_NE(0, TestServerPort(L"TL_TEST_SNTP_PORT")) << "run under tests/servers/with-servers.sh";
        ASSERT_TRUE(m_engine.SyncInit());
    }
    void TearDown() override { TestServerGet(L"/sntp?mode=normal"); }

    void Configure(const std::wstring& server, const wchar_t* wait = nullptr)
    {
        std::wstring ini = m_folder.File(L"tempolan.ini");
        WritePrivateProfileStringW(L"common", L"server", L"2", ini.c_str());
        WritePrivateProfileStringW(L"common", L"server2", server.c_str(), ini.c_str());
        WritePrivateProfileStringW(L"common", L"http_sync_wait", wait, ini.c_str());
        WritePrivateProfileStringW(L"common", L"synclasttime", nullptr, ini.c_str());
        WritePrivateProfileStringW(L"common", L"synclastresult", nullptr, ini.c_str());
        ASSERT_TRUE(m_engine.LoadSyncSettings());
    }
    std::wstring Key(const wchar_t* key)
    {
        WCHAR value[64];
        GetPrivateProfileStringW(L"common", key, L"<none>", value, 64, m_folder.File(L"tempolan.ini").c_str());
        return value;
    }

    CTempFolder m_folder;
    CFakeSyncSystem m_system;
    CSyncEngine m_engine;
};

int64_t MsBetween(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    FILETIME fa, fb;
    SystemTimeToFileTime(&a, &fa);
    SystemTimeToFileTime(&b, &fb);
    ULARGE_INTEGER ua = {{fa.dwLowDateTime, fa.dwHighDateTime}}, ub = {{fb.dwLowDateTime, fb.dwHighDateTime}};
    return ((int64_t)ua.QuadPart - (int64_t)ub.QuadPart) / 10000;
}

}  // namespace

TEST_F(SyncEngine, SntpAnswersAreTakenOnlyWhenSound)
{
    struct Case {
        const wchar_t* mode;  // the server's answer
        int code;
        bool set;             // the clock was given a time
    };
    const Case cases[] = {
        {L"normal", SYNC_OK, true},
        {L"long68", SYNC_OK, true},
        {L"otherport", SYNC_OK, true},  // a stranger's earlier answer is ignored
        {L"short47", SYNC_BAD_REPLY, false},
        {L"garbage", SYNC_BAD_REPLY, false},
        {L"kod", SYNC_BAD_REPLY, false},
        {L"li3", SYNC_BAD_REPLY, false},
        {L"version0", SYNC_BAD_REPLY, false},
        {L"version5", SYNC_BAD_REPLY, false},
        {L"mode3", SYNC_BAD_REPLY, false},
        {L"transmit0", SYNC_BAD_REPLY, false},
        {L"silent", SYNC_NO_REPLY, false},
    };
    Configure(L"127.0.0.1");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode, c.mode + wcslen(c.mode)));
        TestServerGet(std::wstring(L"/sntp?mode=") + c.mode);
        m_system.set.clear();
        CEventCounter events;
        ASSERT_TRUE(events.Opened());
        SYSTEMTIME before;
        GetSystemTime(&before);
        EXPECT_EQ(c.code, m_engine.RunSync(kShortWatchdogMs));
        ASSERT_EQ(c.set ? 1u : 0u, m_system.set.size());
        if (c.set) {  // the server's own clock: now, not an hour ahead
            EXPECT_LT(llabs(MsBetween(m_system.set[0], before)), 5000);
        }
        EXPECT_EQ(std::to_wstring(c.code), Key(L"synclastresult"));
        EXPECT_EQ(c.code == SYNC_OK, Key(L"synclasttime") != L"<none>");
        WritePrivateProfileStringW(L"common", L"synclasttime", nullptr, m_folder.File(L"tempolan.ini").c_str());
        // the start (133) and the outcome; only a slow answer keeps two
        // signals of the auto-reset event apart for certain
        if (c.code == SYNC_NO_REPLY) {
            EXPECT_EQ(2, events.Count());
        } else {
            EXPECT_LE(1, events.Count());
        }
    }
}

TEST_F(SyncEngine, TheTransmitTimeIsSetToTheMillisecond)
{
    struct Case {
        const wchar_t* query;
        SYSTEMTIME expected;
    };
    const Case cases[] = {
        // 2026-12-11 00:00:00.500
        {L"/sntp?mode=normal&seconds=4005936000&fraction=0x80000000", {2026, 12, 5, 11, 0, 0, 0, 500}},
        // seconds with the top bit clear: the era after 2036
        {L"/sntp?mode=normal&seconds=16&fraction=0", {2036, 2, 4, 7, 6, 28, 32, 0}},
    };
    Configure(L"time.test");
    for (const Case& c : cases) {
        TestServerGet(c.query);
        m_system.set.clear();
        ASSERT_EQ(SYNC_OK, m_engine.RunSync(kSyncWatchdogMs));
        ASSERT_EQ(1u, m_system.set.size());
        EXPECT_EQ(0, MsBetween(m_system.set[0], c.expected));
    }
    m_system.refuse = true;
    EXPECT_EQ(SYNC_SET_FAILED, m_engine.RunSync(kSyncWatchdogMs));
    EXPECT_EQ(L"250", Key(L"synclastresult"));
}

TEST_F(SyncEngine, ServersThatAreNoServers)
{
    struct Case {
        const wchar_t* server;
        int code;
    };
    const Case cases[] = {
        {L"unknown.test", SYNC_NO_HOST},           // the resolver knows no such name
        {L"HTTP://127.0.0.1/", SYNC_NO_HOST},      // only "http://" in lower case means HTTP
        {L"https://127.0.0.1/", SYNC_NO_HOST},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.server, c.server + wcslen(c.server)));
        Configure(c.server);
        EXPECT_EQ(c.code, m_engine.RunSync(kSyncWatchdogMs));
        EXPECT_TRUE(m_system.set.empty());
    }
}

TEST_F(SyncEngine, HttpDatesAndTheirFailures)
{
    std::wstring base = TestServerUrl(L"");
    struct Case {
        std::wstring server;
        const wchar_t* wait;
        int code;
    };
    const Case cases[] = {
        {base + L"/date/imf?t=1000000000", nullptr, SYNC_OK},
        {base + L"/date/rfc850?t=1000000000", nullptr, SYNC_OK},
        {base + L"/date/none", nullptr, SYNC_BAD_REPLY},
        {base + L"/date/garbage", nullptr, SYNC_BAD_REPLY},
        {base + L"/date/feb31", nullptr, SYNC_BAD_REPLY},
        {base + L"/redirect/301?to=/date/imf", nullptr, SYNC_NOT_READY},  // a moved server is not followed
        {base + L"/status/404", nullptr, SYNC_NOT_READY},
        {base + L"/status/204", nullptr, SYNC_OK},
        {base + L"/delay?ms=400", L"100", SYNC_NO_REPLY},                  // too slow to be trusted
        {base + L"/delay?ms=100", L"2000", SYNC_OK},
        {L"http://127.0.0.1:9/", nullptr, SYNC_SEND_FAILED},              // nothing listens
        {base + L"/silent", nullptr, SYNC_NO_REPLY},                       // WinHTTP's time-outs end it
        {L"http://%s%s%s%s%s", nullptr, SYNC_NO_HOST},
        {L"http://%n", nullptr, SYNC_NO_HOST},
        {L"http://x/%99999d", nullptr, SYNC_NO_HOST},
        {L"http://x/a%20b", nullptr, SYNC_NO_HOST},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.server.begin(), c.server.end()));
        Configure(c.server, c.wait);
        m_system.set.clear();
        EXPECT_EQ(c.code, m_engine.RunSync(kSyncWatchdogMs));
        if (c.code == SYNC_OK && c.server.find(L"t=1000000000") != std::wstring::npos) {
            ASSERT_EQ(1u, m_system.set.size());
            EXPECT_EQ(0, MsBetween(m_system.set[0], {2001, 9, 0, 9, 1, 46, 40, 0}));
        }
        if (c.code != SYNC_OK) {
            EXPECT_TRUE(m_system.set.empty());
        }
        EXPECT_EQ(std::to_wstring(c.code), Key(L"synclastresult"));
    }
}

TEST_F(SyncEngine, TheUrlTemplateGetsTheRequestsValues)
{
    TestServerGet(L"/log/clear");
    Configure(TestServerUrl(L"/t?%d%d%d%s%d%d%d&v=%d.%d.%d"));
    EXPECT_EQ(SYNC_NOT_READY, m_engine.RunSync(kSyncWatchdogMs));  // the server knows no such page
    std::string log = TestServerGet(L"/log");
    EXPECT_NE(std::string::npos, log.find("\"method\": \"HEAD\", \"path\": \"/t?000%20000&v=5.3.1\"")) << log;
    EXPECT_NE(std::string::npos, log.find("\"User-Agent\": \"Tempolan 5.3.1\"")) << log;
}

TEST_F(SyncEngine, DefaultModeReadsTheDefaultsAndWritesNothing)
{
    m_system.preferencesValue = 0 + 1;  // "no_preferences" = 0
    WritePrivateProfileStringW(L"default:common", L"server0", L"time.test", m_folder.File(L"default.ini").c_str());
    ASSERT_TRUE(m_engine.LoadSyncSettings());
    EXPECT_TRUE(m_engine.IsDefaultMode());
    CEventCounter events;
    EXPECT_EQ(SYNC_OK, m_engine.RunSync(kSyncWatchdogMs));
    EXPECT_EQ(0, events.Count());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(m_folder.File(L"tempolan.ini").c_str()));
    EXPECT_EQ(L"<none>", Key(L"synclastresult"));

    // any other value, or another size, leaves the user's file in charge
    for (DWORD value : {1u, 7u}) {
        m_system.preferencesValue = value + 1;
        EXPECT_TRUE(m_engine.UserPreferencesAllowed());
    }
    m_system.preferencesValue = 1;
    m_system.preferencesSize = 2;
    EXPECT_TRUE(m_engine.UserPreferencesAllowed());
}

TEST_F(SyncEngine, TheHttpWaitKeepsTheValueReadBefore)
{
    Configure(L"time.test", L"2500");
    EXPECT_EQ(2500u, m_engine.HttpSyncWait());
    Configure(L"time.test", nullptr);  // the key removed
    EXPECT_EQ(2500u, m_engine.HttpSyncWait());
}

TEST(SyncEngineLife, EveryoneMayWaitOnTheTimeEvent)
{
    CTempFolder folder;
    CFakeSyncSystem system(folder.Path());
    CSyncEngine engine(system, kVersion);
    ASSERT_TRUE(engine.SyncInit());
    HANDLE event = OpenEventW(READ_CONTROL | SYNCHRONIZE, FALSE, kTimeEventName);
    ASSERT_NE(nullptr, event);
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ((DWORD)ERROR_SUCCESS, GetSecurityInfo(event, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                                    nullptr, &dacl, nullptr, &descriptor));
    // who gets what: Everyone only waits, SYSTEM and the administrators own it
    struct Expected {
        WELL_KNOWN_SID_TYPE sid;
        ACCESS_MASK mask;
        bool seen;
    } expected[] = {{WinWorldSid, SYNCHRONIZE, false},
                    {WinLocalSystemSid, EVENT_ALL_ACCESS, false},
                    {WinBuiltinAdministratorsSid, EVENT_ALL_ACCESS, false}};
    ASSERT_NE(nullptr, dacl);
    EXPECT_EQ(3u, (unsigned)dacl->AceCount);
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, (void**)&ace));
        ASSERT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType);
        for (Expected& e : expected) {
            if (IsWellKnownSid((PSID)&ace->SidStart, e.sid)) {
                EXPECT_EQ(e.mask, ace->Mask);
                e.seen = true;
            }
        }
    }
    for (const Expected& e : expected)
        EXPECT_TRUE(e.seen) << e.sid;
    LocalFree(descriptor);
    CloseHandle(event);
}

TEST(SyncEngineLife, NothingRunsBeforeInitOrAfterCleanup)
{
    CTempFolder folder;
    CFakeSyncSystem system(folder.Path());
    CSyncEngine engine(system, kVersion);
    EXPECT_EQ(SYNC_NOT_READY, engine.RunSync(kSyncWatchdogMs));
    ASSERT_TRUE(engine.SyncInit());
    EXPECT_TRUE(engine.SyncInit());  // again: nothing new
    engine.SyncCleanup();
    EXPECT_EQ(SYNC_NOT_READY, engine.RunSync(kSyncWatchdogMs));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.File(L"tempolan.ini").c_str()));
}

TEST_F(SyncEngine, RepliesAsTheWatchdogFires)
{
    // the socket goes to whichever comes first, the exchange or the
    // watchdog; either way the attempt ends and the next one is whole
    Configure(L"127.0.0.1");
    for (int i = 0; i < 200; ++i) {
        int code = m_engine.RunSync((DWORD)(i % 4));
        ASSERT_TRUE(code == SYNC_OK || code == SYNC_NO_REPLY || code == SYNC_SEND_FAILED) << code;
    }
    EXPECT_EQ(SYNC_OK, m_engine.RunSync(kSyncWatchdogMs));

    // a watchdog that fires before the socket is open still ends the attempt
    TestServerGet(L"/sntp?mode=silent");
    EXPECT_EQ(SYNC_NO_REPLY, m_engine.RunSync(0));
}

// The system's own setter under Wine: a change of less than half a second
// is taken, an hour is refused. The host's clock is never touched.
TEST_F(SyncEngine, TheRealClockTakesOnlyASmallStep)
{
    class CRealClock : public CRealSyncSystem {
    public:
        explicit CRealClock(const std::wstring& folder) : m_folder(folder) {}
        uint16_t SntpPort() override { return (uint16_t)TestServerPort(L"TL_TEST_SNTP_PORT"); }
        const WCHAR* ProgramFolder() override { return m_folder.c_str(); }

    private:
        std::wstring m_folder;
    };
    CRealClock system(m_folder.Path());
    CSyncEngine engine(system, kVersion);
    ASSERT_TRUE(engine.SyncInit());
    WritePrivateProfileStringW(L"common", L"server0", L"127.0.0.1", m_folder.File(L"tempolan.ini").c_str());
    ASSERT_TRUE(engine.LoadSyncSettings());
    TestServerGet(L"/sntp?mode=normal&offset_ms=0");
    EXPECT_EQ(SYNC_OK, engine.RunSync(kSyncWatchdogMs));
    TestServerGet(L"/sntp?mode=normal&offset_ms=3600000");
    EXPECT_EQ(SYNC_SET_FAILED, engine.RunSync(kSyncWatchdogMs));
}
