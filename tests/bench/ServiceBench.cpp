// The running time service's answer to "sync now": ControlService(130) until
// the time event's second signal (the attempt's "running", then its result),
// against the same attempt made in process on the same SNTP server plus one
// interrogate round trip to the service. The service is the tests' 64-bit
// twin, installed from a folder of its own and removed at the end.
#include <stdio.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/protocol/TimeServiceProtocol.h"
#include "graphics/system/Handles.h"
#include "tests/bench/BenchTimer.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcess.h"
#include "tests/support/TestServers.h"
#include "timesvc/sync/SyncEngine.h"

namespace {

const int kRounds = 20;
const DWORD kSntpPort = 123;
const DWORD kWaitMs = 20000;

// The engine in process, on port 123, without setting the clock.
class CQuietSystem : public ISyncSystem {
public:
    explicit CQuietSystem(const std::wstring& folder) : m_folder(folder) {}
    bool SetSystemTime(const SYSTEMTIME&) override { return true; }
    bool ResolveHost(const char*, uint32_t*) override { return false; }
    uint16_t SntpPort() override { return (uint16_t)kSntpPort; }
    bool ReadNoPreferences(DWORD*, DWORD*) override { return false; }
    DWORD TickCount() override { return GetTickCount(); }
    const WCHAR* ProgramFolder() override { return m_folder.c_str(); }

private:
    std::wstring m_folder;
};

int RunTwin(const std::wstring& exe, const std::wstring& folder, const wchar_t* arguments)
{
    CTestProcess twin;
    if (!twin.Start(exe, arguments, folder))
        return -1;
    return twin.ExitCode(kWaitMs);
}

bool WaitForState(SC_HANDLE service, DWORD state)
{
    DWORD start = GetTickCount();
    SERVICE_STATUS status = {};
    while (QueryServiceStatus(service, &status) && status.dwCurrentState != state) {
        if (GetTickCount() - start > kWaitMs)
            return false;
        Sleep(10);
    }
    return status.dwCurrentState == state;
}

// ControlService(130) to the event's second signal, `rounds` times; empty on a failure.
std::vector<double> ServiceRounds(SC_HANDLE service, HANDLE event)
{
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        SERVICE_STATUS status = {};
        double start = QpcNowMs();
        if (!ControlService(service, kServiceControlSyncNow, &status))
            return {};
        for (int signal = 0; signal < 2; ++signal) {
            if (WaitForSingleObject(event, kWaitMs) != WAIT_OBJECT_0)
                return {};
        }
        times.push_back(QpcNowMs() - start);
    }
    return times;
}

// RunSync in process and one interrogate of the service, `rounds` times.
std::vector<double> AnchorRounds(CSyncEngine& engine, SC_HANDLE service)
{
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        SERVICE_STATUS status = {};
        double start = QpcNowMs();
        int result = engine.RunSync(kSyncWatchdogMs);
        ControlService(service, SERVICE_CONTROL_INTERROGATE, &status);
        times.push_back(QpcNowMs() - start);
        if (result != SYNC_OK)
            return {};
    }
    return times;
}

bool Measure(const std::wstring& folder)
{
    std::wstring exe = folder + L"horalink.exe";
    if (RunTwin(exe, folder, L"/install /q") != 0) {
        printf("service_bench: the service did not install\n");
        return false;
    }
    bool ok = false;
    {
        CServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
        CServiceHandle service(manager ? OpenServiceW(manager.Get(), kTimeServiceName,
                                                      SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS |
                                                          SERVICE_USER_DEFINED_CONTROL | SERVICE_INTERROGATE)
                                       : nullptr);
        if (service && StartServiceW(service.Get(), 0, nullptr) && WaitForState(service.Get(), SERVICE_RUNNING)) {
            CKernelHandle event(OpenEventW(SYNCHRONIZE, FALSE, kTimeEventName));
            std::vector<double> served = event ? ServiceRounds(service.Get(), event.Get()) : std::vector<double>();

            CQuietSystem system(folder);
            CSyncEngine engine(system, {5, 3, 1});
            std::vector<double> anchor;
            if (engine.SyncInit() && engine.LoadSyncSettings())
                anchor = AnchorRounds(engine, service.Get());
            engine.SyncCleanup();

            if (!served.empty() && !anchor.empty()) {
                double a = Median(anchor), s = Median(served);
                printf("RunSync in process + one interrogate   %8.2f ms (anchor, median of %d)\n", a, kRounds);
                printf("service: control 130 to its result     %8.2f ms  ratio %.2f  (goal: ratio <= 2.00)\n", s,
                       s / a);
                ok = true;
            } else {
                printf("service_bench: a round failed (service %d, anchor %d)\n", (int)served.size(),
                       (int)anchor.size());
            }
            SERVICE_STATUS status = {};
            ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
            WaitForState(service.Get(), SERVICE_STOPPED);
        } else {
            printf("service_bench: the service did not start (%lu)\n", GetLastError());
        }
    }
    RunTwin(exe, folder, L"/uninstall /q");
    return ok;
}

}  // namespace

int main()
{
    if (TestServerPort(L"TL_TEST_SNTP_PORT") != (int)kSntpPort) {
        printf("service_bench: the service asks port 123: run it with TL_TEST_SNTP_BIND_PORT=123\n");
        return 1;
    }
    TestServerGet(L"/sntp?mode=normal");
    CTempFolder folder;
    std::wstring path = folder.Path();
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    if (!CopyFileW((std::wstring(TL_TEST_BINARIES) + L"horalink_twin.exe").c_str(), (path + L"horalink.exe").c_str(),
                   FALSE)) {
        printf("service_bench: no twin to install\n");
        return 1;
    }
    std::wstring ini = path + L"tempolan.ini";
    WritePrivateProfileStringW(L"common", L"autosync", L"0", ini.c_str());
    WritePrivateProfileStringW(L"common", L"server", L"0", ini.c_str());
    WritePrivateProfileStringW(L"common", L"server0", L"127.0.0.1", ini.c_str());
    return Measure(path) ? 0 : 1;
}
