// How close the engine sets the clock. SNTP: the local server's clock runs at
// an injected offset; the error of each exchange is the time set minus the
// host's clock at the setting, minus that offset. Anchor: a four-timestamp
// client (RFC 4330) against the same server. HTTP: a HEAD answered early in
// a second; the error is the time set minus the host's clock, against the
// request's round trip.
#include <stdio.h>
#include <math.h>
#include <stdlib.h>

#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <string>
#include <vector>

#include "timesvc/sync/SntpPacket.h"
#include "timesvc/sync/SyncEngine.h"
#include "tests/bench/BenchTimer.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestServers.h"

namespace {

const double kOffsetMs = 1234.567;
const int kExchanges = 50;
const int kHeads = 20;

double NowMs()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER u = {{ft.dwLowDateTime, ft.dwHighDateTime}};
    return (double)u.QuadPart / 10000.0;
}

double ToMs(const SYSTEMTIME& t)
{
    FILETIME ft;
    SystemTimeToFileTime(&t, &ft);
    ULARGE_INTEGER u = {{ft.dwLowDateTime, ft.dwHighDateTime}};
    return (double)u.QuadPart / 10000.0;
}

// Notes each time set and the host's clock at that moment.
class CRecordingSystem : public ISyncSystem {
public:
    explicit CRecordingSystem(const std::wstring& folder) : m_folder(folder) {}
    bool SetSystemTime(const SYSTEMTIME& utc) override
    {
        host.push_back(NowMs());
        set.push_back(ToMs(utc));
        return true;
    }
    bool ResolveHost(const char*, uint32_t*) override { return false; }
    uint16_t SntpPort() override { return (uint16_t)TestServerPort(L"TL_TEST_SNTP_PORT"); }
    bool ReadNoPreferences(DWORD*, DWORD*) override { return false; }
    DWORD TickCount() override { return GetTickCount(); }
    const WCHAR* ProgramFolder() override { return m_folder.c_str(); }

    std::vector<double> host, set;

private:
    std::wstring m_folder;
};

// NTP time (seconds since 1900 with fraction) of the host's clock, and back.
void PutNtp(uint8_t* p, double ms)
{
    double seconds = ms / 1000.0 - 11644473600.0 + 2208988800.0;  // 1601 -> 1970 -> 1900
    uint32_t whole = (uint32_t)(uint64_t)seconds;
    uint32_t fraction = (uint32_t)((seconds - (double)(uint64_t)seconds) * 4294967296.0);
    for (int i = 0; i < 4; ++i) {
        p[i] = (uint8_t)(whole >> (24 - 8 * i));
        p[4 + i] = (uint8_t)(fraction >> (24 - 8 * i));
    }
}

double GetNtp(const uint8_t* p)
{
    uint32_t whole = 0, fraction = 0;
    for (int i = 0; i < 4; ++i) {
        whole = whole << 8 | p[i];
        fraction = fraction << 8 | p[4 + i];
    }
    double seconds = (double)whole + (double)fraction / 4294967296.0;
    return (seconds - 2208988800.0 + 11644473600.0) * 1000.0;
}

// The four-timestamp client's offset errors against the injected offset.
std::vector<double> ReferenceErrors()
{
    std::vector<double> errors;
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    DWORD timeout = 2000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, (const char*)&timeout, sizeof(timeout));
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons((u_short)TestServerPort(L"TL_TEST_SNTP_PORT"));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < kExchanges; ++i) {
        uint8_t packet[1024] = {0x23};  // version 4, client
        double t1 = NowMs();
        PutNtp(packet + 40, t1);
        sendto(s, (const char*)packet, 48, 0, (sockaddr*)&to, sizeof(to));
        int n = recv(s, (char*)packet, sizeof(packet), 0);
        double t4 = NowMs();
        if (n < 48)
            continue;
        double t2 = GetNtp(packet + 32), t3 = GetNtp(packet + 40);
        errors.push_back(((t2 - t1) + (t3 - t4)) / 2 - kOffsetMs);
    }
    closesocket(s);
    return errors;
}

double HeadRoundTripMs()
{
    std::vector<double> trips;
    HINTERNET session = WinHttpOpen(L"bench", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
    for (int i = 0; i < kHeads; ++i) {
        double t0 = NowMs();
        HINTERNET connection = WinHttpConnect(session, L"127.0.0.1", (INTERNET_PORT)TestServerPort(), 0);
        HINTERNET request = WinHttpOpenRequest(connection, L"HEAD", L"/status/204", nullptr, nullptr, nullptr, 0);
        if (request && WinHttpSendRequest(request, nullptr, 0, nullptr, 0, 0, 0))
            WinHttpReceiveResponse(request, nullptr);
        WinHttpCloseHandle(request);
        WinHttpCloseHandle(connection);
        trips.push_back(NowMs() - t0);
    }
    WinHttpCloseHandle(session);
    return Median(trips);
}

}  // namespace

int main()
{
    if (!TestServerPort(L"TL_TEST_SNTP_PORT")) {
        fprintf(stderr, "sync_bench: run it under tests/servers/with-servers.sh\n");
        return 1;
    }
    CTempFolder folder;
    CRecordingSystem system(folder.Path());
    CSyncEngine engine(system, {5, 3, 1});
    if (!engine.SyncInit()) {
        fprintf(stderr, "sync_bench: the engine did not start\n");
        return 1;
    }
    std::wstring ini = folder.File(L"tempolan.ini");
    WCHAR offset[32];
    swprintf(offset, 32, L"%.3f", kOffsetMs);
    TestServerGet(std::wstring(L"/sntp?mode=normal&offset_ms=") + offset);

    WritePrivateProfileStringW(L"common", L"server0", L"127.0.0.1", ini.c_str());
    engine.LoadSyncSettings();
    std::vector<double> errors;
    for (int i = 0; i < kExchanges; ++i) {
        system.host.clear();
        system.set.clear();
        if (engine.RunSync(kSyncWatchdogMs) == SYNC_OK && system.set.size() == 1)
            errors.push_back(system.set[0] - system.host[0] - kOffsetMs);
    }
    std::vector<double> reference = ReferenceErrors();
    TestServerGet(L"/sntp?mode=normal");
    std::vector<double> absolute, referenceAbsolute;
    for (double e : errors)
        absolute.push_back(fabs(e));
    for (double e : reference)
        referenceAbsolute.push_back(fabs(e));
    double ours = Median(absolute), theirs = Median(referenceAbsolute);
    printf("SNTP, four-timestamp reference client   %9.3f ms median error (anchor, %d exchanges)\n", theirs,
           (int)reference.size());
    printf("SNTP, engine (transmit time, ms cut)    %9.3f ms median error  ratio %.1f  (goal: median < 1 ms)\n",
           ours, theirs > 0 ? ours / theirs : 0.0);

    std::wstring server = TestServerUrl(L"/date/early");
    WritePrivateProfileStringW(L"common", L"server0", server.c_str(), ini.c_str());
    engine.LoadSyncSettings();
    std::vector<double> httpErrors;
    for (int i = 0; i < kHeads; ++i) {
        system.host.clear();
        system.set.clear();
        if (engine.RunSync(kSyncWatchdogMs) == SYNC_OK && system.set.size() == 1)
            httpErrors.push_back(fabs(system.set[0] - system.host[0]));
    }
    double worst = httpErrors.empty() ? 0 : *std::max_element(httpErrors.begin(), httpErrors.end());
    double trip = HeadRoundTripMs();
    printf("HTTP HEAD round trip                    %9.3f ms median (anchor)\n", trip);
    printf("HTTP Date, engine (whole seconds)       %9.3f ms median error, worst %.3f ms, %d of %d set  ratio %.1f"
           "  (goal: median <= 500 ms, each < 1000 ms)\n",
           Median(httpErrors), worst, (int)httpErrors.size(), kHeads, trip > 0 ? Median(httpErrors) / trip : 0.0);
    engine.SyncCleanup();
    return 0;
}
