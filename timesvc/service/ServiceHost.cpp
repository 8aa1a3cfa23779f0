#include "timesvc/service/ServiceHost.h"

#include "graphics/protocol/TimeServiceProtocol.h"
#include "timesvc/service/ServiceSeams.h"
#include "timesvc/service/TimeService.h"
#include "timesvc/sync/SyncEngine.h"

namespace {

class CManagerStatusReporter : public IServiceStatusReporter {
public:
    CManagerStatusReporter() : m_handle(nullptr) {}
    void SetHandle(SERVICE_STATUS_HANDLE handle) { m_handle = handle; }
    void ReportStatus(const SERVICE_STATUS& status) override
    {
        SERVICE_STATUS copy = status;
        SetServiceStatus(m_handle, &copy);
    }

private:
    SERVICE_STATUS_HANDLE m_handle;
};

class CEngineCalls : public IServiceEngine {
public:
    explicit CEngineCalls(CSyncEngine& engine) : m_engine(engine) {}
    bool LoadSyncSettings() override { return m_engine.LoadSyncSettings(); }
    int RunSync(DWORD watchdogMs) override { return m_engine.RunSync(watchdogMs); }
    bool AutoSync() override { return m_engine.AutoSync(); }
    int SyncType() override { return m_engine.SyncType(); }
    DWORD StartTick() override { return m_engine.StartTick(); }
    DWORD LastCheckTick() override { return m_engine.LastCheckTick(); }
    void SetLastCheckTick(DWORD tick) override { m_engine.SetLastCheckTick(tick); }
    DWORD TickCount() override { return m_engine.TickCount(); }
    const WCHAR* ProgramFolder() override { return m_engine.ProgramFolder(); }

private:
    CSyncEngine& m_engine;
};

// The dispatcher's service entry has no parameter of ours: the engine is
// reachable from it only while RunServiceDispatcher runs.
CSyncEngine* g_engine = nullptr;

DWORD WINAPI ServiceControlHandler(DWORD control, DWORD, void*, void* context)
{
    ((CTimeService*)context)->Control(control);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPWSTR*)
{
    CEngineCalls engine(*g_engine);
    CManagerStatusReporter reporter;
    CTimeService service(reporter, engine);
    SERVICE_STATUS_HANDLE handle = RegisterServiceCtrlHandlerExW(kTimeServiceName, ServiceControlHandler, &service);
    // without a handle no status can reach the manager
    if (!handle)
        return;
    reporter.SetHandle(handle);
    service.Run();
}

}  // namespace

bool RunServiceDispatcher(CSyncEngine& engine, DWORD* error)
{
    g_engine = &engine;
    SERVICE_TABLE_ENTRYW table[] = {{(LPWSTR)kTimeServiceName, ServiceMain}, {nullptr, nullptr}};
    bool done = StartServiceCtrlDispatcherW(table) != FALSE;
    DWORD lastError = GetLastError();
    g_engine = nullptr;
    if (!done && error)
        *error = lastError;
    return done;
}
