#include "timesvc/command/ServiceInstaller.h"

#include <string>

#include "graphics/protocol/TimeServiceProtocol.h"
#include "timesvc/command/HoralinkText.h"
#include "timesvc/command/HoralinkUi.h"
#include "timesvc/command/ServiceManagerApi.h"

const WCHAR kTimeServiceKey[] = L"System\\CurrentControlSet\\Services\\TLTime";

namespace {

// A service manager handle closed through the api that opened it (the
// fake's handles are not the system's).
class CApiServiceHandle {
public:
    explicit CApiServiceHandle(IServiceManagerApi& api) : m_api(api), m_h(nullptr) {}
    ~CApiServiceHandle() { Reset(); }
    CApiServiceHandle(const CApiServiceHandle&) = delete;
    CApiServiceHandle& operator=(const CApiServiceHandle&) = delete;

    SC_HANDLE Get() const { return m_h; }
    SC_HANDLE* Receive()
    {
        Reset();
        return &m_h;
    }
    void Reset()
    {
        if (m_h)
            m_api.CloseServiceHandle(m_h);
        m_h = nullptr;
    }

private:
    IServiceManagerApi& m_api;
    SC_HANDLE m_h;
};

UINT OpenManagerFailure(DWORD error)
{
    return error == ERROR_ACCESS_DENIED ? IDS_SCM_ACCESS_DENIED : IDS_SCM_OPEN_FAILED;
}

}  // namespace

UINT InstallSyncService(const InstallerContext& context, bool automatic, SC_HANDLE* created)
{
    *created = nullptr;
    // no entry that would start nothing
    if (!context.programFile || !context.programFile[0])
        return IDS_CREATE_FAILED;
    CApiServiceHandle manager(context.api);
    DWORD error = context.api.OpenManager(SC_MANAGER_CREATE_SERVICE, manager.Receive());
    if (error)
        return OpenManagerFailure(error);
    // quoted, or the manager would try "C:\Program.exe" for a path with spaces
    std::wstring path = L"\"";
    path += context.programFile;
    path += L"\"";
    ServiceEntry entry = {kTimeServiceName, kTimeServiceDisplayName, SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, automatic ? (DWORD)SERVICE_AUTO_START : (DWORD)SERVICE_DEMAND_START,
        SERVICE_ERROR_NORMAL, path.c_str(), nullptr};
    error = context.api.CreateEntry(manager.Get(), entry, created);
    if (!error)
        return 0;
    *created = nullptr;
    // A display name taken by another service comes back as 1078; 52 is a
    // network name clash the manager never reports here.
    if (error == ERROR_DUPLICATE_SERVICE_NAME)
        return IDS_DUPLICATE_NAME;
    if (error == ERROR_SERVICE_EXISTS)
        return IDS_SERVICE_EXISTS;
    return IDS_CREATE_FAILED;
}

UINT WriteServiceDescription(const InstallerContext& context)
{
    WCHAR text[kHoralinkTextChars];
    if (!context.ui.LoadText(IDS_DESCRIPTION, text, kHoralinkTextChars))
        return IDS_LOAD_DESCRIPTION_FAILED;
    text[kHoralinkTextChars - 1] = 0;
    HKEY key = nullptr;
    if (context.api.OpenMachineKey(kTimeServiceKey, KEY_SET_VALUE, &key))
        return IDS_OPEN_KEY_FAILED;
    DWORD bytes = (DWORD)((lstrlenW(text) + 1) * sizeof(WCHAR));  // the terminator too
    DWORD error = context.api.SetValue(key, L"Description", REG_SZ, (const BYTE*)text, bytes);
    context.api.CloseKey(key);
    return error ? IDS_WRITE_DESCRIPTION_FAILED : 0;
}

UINT UninstallSyncService(const InstallerContext& context)
{
    CApiServiceHandle manager(context.api);
    DWORD error = context.api.OpenManager(SC_MANAGER_ALL_ACCESS, manager.Receive());
    if (error)
        return OpenManagerFailure(error);
    CApiServiceHandle service(context.api);
    error = context.api.OpenEntry(
        manager.Get(), kTimeServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE, service.Receive());
    if (error == ERROR_SERVICE_DOES_NOT_EXIST)
        return 0;
    if (error)
        return IDS_OPEN_SERVICE_FAILED;
    // A running service is only marked for deletion; wait for it to stop so
    // that an install straight after finds the name free. A service that is
    // not running refuses the control, and the state says so at once.
    context.api.SendControl(service.Get(), SERVICE_CONTROL_STOP);
    for (DWORD waited = 0;; waited += kServiceStopPollMs) {
        DWORD state = 0;
        if (context.api.QueryState(service.Get(), &state) || state == SERVICE_STOPPED)
            break;
        if (waited >= kServiceStopWaitMs)
            break;
        context.api.Sleep(kServiceStopPollMs);
    }
    error = context.api.DeleteEntry(service.Get());
    // already marked by an earlier run: it goes when its last handle closes
    if (error && error != ERROR_SERVICE_MARKED_FOR_DELETE)
        return IDS_DELETE_FAILED;
    return 0;
}

UINT StartSyncService(const InstallerContext& context)
{
    CApiServiceHandle manager(context.api);
    DWORD error = context.api.OpenManager(SC_MANAGER_ALL_ACCESS, manager.Receive());
    if (error)
        return OpenManagerFailure(error);
    CApiServiceHandle service(context.api);
    if (context.api.OpenEntry(manager.Get(), kTimeServiceName, SERVICE_START, service.Receive()))
        return IDS_OPEN_SERVICE_FAILED;
    if (context.api.StartEntry(service.Get()))
        return IDS_START_FAILED;
    return 0;
}

namespace {

// An error box for a failure, quiet or not; the success text unless quiet.
bool ShowOutcome(IHoralinkUi& ui, UINT failure, bool quiet, UINT successText)
{
    if (failure) {
        ui.ShowBox(failure, true);
        return false;
    }
    if (!quiet)
        ui.ShowBox(successText, false);
    return true;
}

}  // namespace

bool InstallCommand(const InstallerContext& context, bool quiet, bool automatic)
{
    CApiServiceHandle created(context.api);
    UINT failure = InstallSyncService(context, automatic, created.Receive());
    if (!failure) {
        failure = WriteServiceDescription(context);
        // Undo only what this run made: the entry it created, by the handle
        // it holds. A service that was there before stays as it was.
        if (failure)
            context.api.DeleteEntry(created.Get());
    }
    // the event-log source step has nothing to do
    return ShowOutcome(context.ui, failure, quiet, IDS_SERVICE_CREATED);
}

bool UninstallCommand(const InstallerContext& context, bool quiet)
{
    return ShowOutcome(context.ui, UninstallSyncService(context), quiet, IDS_SERVICE_DELETED);
}

bool StartServiceCommand(const InstallerContext& context, bool quiet)
{
    return ShowOutcome(context.ui, StartSyncService(context), quiet, IDS_SERVICE_STARTED);
}
