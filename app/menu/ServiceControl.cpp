#include "app/menu/ServiceControl.h"

#include "graphics/system/Handles.h"

DWORD ControlSyncService(DWORD code)
{
    CServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager)
        return GetLastError();
    CServiceHandle service(
        OpenServiceW(manager.Get(), kTimeServiceName, SERVICE_USER_DEFINED_CONTROL | SERVICE_INTERROGATE));
    if (!service)
        return GetLastError();
    SERVICE_STATUS status = {};
    if (!ControlService(service.Get(), code, &status))
        return GetLastError();
    return 0;
}
