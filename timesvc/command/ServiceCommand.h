// What the time service program does with its switches, and its exit code.
#pragma once

#include <windows.h>

struct InstallerContext;
struct ServiceSwitches;

const int kExitOk = 0;
const int kExitUsage = 1;
const int kExitInstallFailed = 2;
const int kExitUninstallFailed = 3;
const int kExitStartFailed = 4;
const int kExitSyncUnavailable = 10;

// The engine and the service dispatcher, as the program reaches them.
class IServiceProgram {
public:
    virtual bool LoadSyncSettings() = 0;
    virtual bool SyncInit() = 0;
    virtual int RunSync(DWORD watchdogMs) = 0;
    virtual void SyncCleanup() = 0;
    // Returns once the service stopped, or at once outside the service manager.
    virtual bool RunServiceDispatcher(DWORD* error) = 0;

protected:
    ~IServiceProgram() = default;
};

int RunServiceCommand(const ServiceSwitches& switches, IServiceProgram& program, const InstallerContext& installer);
