#include "timesvc/command/ServiceManagerApi.h"

DWORD CServiceManagerApi::OpenManager(DWORD access, SC_HANDLE* manager)
{
    *manager = OpenSCManagerW(nullptr, nullptr, access);
    return *manager ? 0 : GetLastError();
}

DWORD CServiceManagerApi::CreateEntry(SC_HANDLE manager, const ServiceEntry& entry, SC_HANDLE* service)
{
    *service = CreateServiceW(manager, entry.name, entry.displayName, entry.access, entry.serviceType,
        entry.startType, entry.errorControl, entry.binaryPath, nullptr, nullptr, nullptr, entry.account, nullptr);
    return *service ? 0 : GetLastError();
}

DWORD CServiceManagerApi::OpenEntry(SC_HANDLE manager, const WCHAR* name, DWORD access, SC_HANDLE* service)
{
    *service = OpenServiceW(manager, name, access);
    return *service ? 0 : GetLastError();
}

DWORD CServiceManagerApi::SendControl(SC_HANDLE service, DWORD control)
{
    SERVICE_STATUS status = {};
    return ::ControlService(service, control, &status) ? 0 : GetLastError();
}

DWORD CServiceManagerApi::QueryState(SC_HANDLE service, DWORD* state)
{
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service, &status))
        return GetLastError();
    *state = status.dwCurrentState;
    return 0;
}

DWORD CServiceManagerApi::StartEntry(SC_HANDLE service)
{
    return StartServiceW(service, 0, nullptr) ? 0 : GetLastError();
}

DWORD CServiceManagerApi::DeleteEntry(SC_HANDLE service)
{
    return ::DeleteService(service) ? 0 : GetLastError();
}

void CServiceManagerApi::CloseServiceHandle(SC_HANDLE handle)
{
    if (handle)
        ::CloseServiceHandle(handle);
}

DWORD CServiceManagerApi::OpenMachineKey(const WCHAR* path, REGSAM access, HKEY* key)
{
    *key = nullptr;
    return (DWORD)RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, access, key);
}

DWORD CServiceManagerApi::SetValue(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD bytes)
{
    return (DWORD)RegSetValueExW(key, name, 0, type, data, bytes);
}

void CServiceManagerApi::CloseKey(HKEY key)
{
    if (key)
        RegCloseKey(key);
}

void CServiceManagerApi::Sleep(DWORD ms)
{
    ::Sleep(ms);
}
