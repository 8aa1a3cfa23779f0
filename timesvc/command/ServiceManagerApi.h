// The service manager and registry calls the installer makes. Every call
// returns 0 or the system error of the call.
#pragma once

#include <windows.h>

struct ServiceEntry {
    const WCHAR* name;
    const WCHAR* displayName;
    DWORD access;
    DWORD serviceType;
    DWORD startType;
    DWORD errorControl;
    const WCHAR* binaryPath;
    const WCHAR* account;  // null: the local system account
};

class IServiceManagerApi {
public:
    virtual DWORD OpenManager(DWORD access, SC_HANDLE* manager) = 0;
    virtual DWORD CreateEntry(SC_HANDLE manager, const ServiceEntry& entry, SC_HANDLE* service) = 0;
    virtual DWORD OpenEntry(SC_HANDLE manager, const WCHAR* name, DWORD access, SC_HANDLE* service) = 0;
    virtual DWORD SendControl(SC_HANDLE service, DWORD control) = 0;
    virtual DWORD QueryState(SC_HANDLE service, DWORD* state) = 0;
    virtual DWORD StartEntry(SC_HANDLE service) = 0;
    virtual DWORD DeleteEntry(SC_HANDLE service) = 0;
    virtual void CloseServiceHandle(SC_HANDLE handle) = 0;
    // `path` under HKEY_LOCAL_MACHINE.
    virtual DWORD OpenMachineKey(const WCHAR* path, REGSAM access, HKEY* key) = 0;
    virtual DWORD SetValue(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD bytes) = 0;
    virtual void CloseKey(HKEY key) = 0;
    virtual void Sleep(DWORD ms) = 0;

protected:
    ~IServiceManagerApi() = default;
};

// advapi32's service manager and registry.
class CServiceManagerApi : public IServiceManagerApi {
public:
    DWORD OpenManager(DWORD access, SC_HANDLE* manager) override;
    DWORD CreateEntry(SC_HANDLE manager, const ServiceEntry& entry, SC_HANDLE* service) override;
    DWORD OpenEntry(SC_HANDLE manager, const WCHAR* name, DWORD access, SC_HANDLE* service) override;
    DWORD SendControl(SC_HANDLE service, DWORD control) override;
    DWORD QueryState(SC_HANDLE service, DWORD* state) override;
    DWORD StartEntry(SC_HANDLE service) override;
    DWORD DeleteEntry(SC_HANDLE service) override;
    void CloseServiceHandle(SC_HANDLE handle) override;
    DWORD OpenMachineKey(const WCHAR* path, REGSAM access, HKEY* key) override;
    DWORD SetValue(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD bytes) override;
    void CloseKey(HKEY key) override;
    void Sleep(DWORD ms) override;
};
