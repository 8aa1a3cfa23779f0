// What the service host reaches outside itself: the service manager's status
// and the synchronisation engine. Tests replace both.
#pragma once

#include <windows.h>

class IServiceStatusReporter {
public:
    // Called on the handler's, the heartbeat's and the service's threads,
    // one at a time.
    virtual void ReportStatus(const SERVICE_STATUS& status) = 0;

protected:
    ~IServiceStatusReporter() = default;
};

// The engine as the service uses it; all on the service's own thread.
class IServiceEngine {
public:
    // True when a server is configured.
    virtual bool LoadSyncSettings() = 0;
    // Sets the last-check tick when it starts.
    virtual int RunSync(DWORD watchdogMs) = 0;
    virtual bool AutoSync() = 0;
    virtual int SyncType() = 0;
    virtual DWORD StartTick() = 0;
    virtual DWORD LastCheckTick() = 0;
    virtual void SetLastCheckTick(DWORD tick) = 0;
    // GetTickCount milliseconds.
    virtual DWORD TickCount() = 0;
    // With a trailing backslash.
    virtual const WCHAR* ProgramFolder() = 0;

protected:
    ~IServiceEngine() = default;
};
