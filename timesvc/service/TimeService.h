// The service "TLTime" between the service manager and the engine: its
// start with the heartbeat, its control handler and its stop.
#pragma once

#include <windows.h>

#include "timesvc/service/ServiceStatus.h"
#include "timesvc/service/ServiceWorker.h"

class IServiceEngine;
class IServiceStatusReporter;

// While starting: start pending, the check point one further each period.
const DWORD kStartHeartbeatMs = 1000;
const DWORD kStartWaitHintMs = 2000;
// Stopping waits for the attempt under way: SNTP ends by the engine's 8 s
// watchdog, HTTP by its client's time-outs (five phases of 1.8 s).
const DWORD kStopWaitHintMs = 15000;

class CTimeService {
public:
    CTimeService(IServiceStatusReporter& reporter, IServiceEngine& engine, DWORD heartbeatMs = kStartHeartbeatMs);
    CTimeService(const CTimeService&) = delete;
    CTimeService& operator=(const CTimeService&) = delete;

    // The body of ServiceMain, once the handler is registered: starts, runs
    // the worker on this thread until stopped and reports stopped last.
    void Run();
    // The control handler: acts on `control` and reports the status; on the
    // manager's thread.
    void Control(DWORD control);

private:
    CServiceStatus m_status;
    CServiceWorker m_worker;
    DWORD m_heartbeatMs;
};
