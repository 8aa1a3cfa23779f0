#include "timesvc/service/TimeService.h"

#include "graphics/protocol/TimeServiceProtocol.h"
#include "timesvc/service/Heartbeat.h"
#include "timesvc/sync/SyncEngine.h"

static_assert(kStopWaitHintMs > kSyncWatchdogMs, "a stop waits for the attempt under way");

CTimeService::CTimeService(IServiceStatusReporter& reporter, IServiceEngine& engine, DWORD heartbeatMs)
    : m_status(reporter), m_worker(engine), m_heartbeatMs(heartbeatMs)
{
}

void CTimeService::Run()
{
    DWORD error = 0;
    bool started;
    {
        // without a heartbeat the service still starts
        CHeartbeat heartbeat(m_status, m_heartbeatMs, kStartWaitHintMs);
        heartbeat.Start();
        started = m_worker.Init(&error);
        heartbeat.Stop();
    }
    if (started) {
        m_status.ReportUnlessStopping(SERVICE_RUNNING);
        error = m_worker.Run();
    }
    // the event goes only after the worker ended, and stopped comes last: once
    // it is reported the process may end, even mid-write of the settings file
    m_worker.Close();
    m_status.ReportStopped(error, 0);
}

void CTimeService::Control(DWORD control)
{
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        // pending first: the worker may end and report stopped at once
        m_status.ReportPending(SERVICE_STOP_PENDING, kStopWaitHintMs);
        m_worker.StopWorker();
        return;
    case SERVICE_CONTROL_PAUSE:
        m_worker.PauseWorker();
        m_status.ReportUnlessStopping(SERVICE_PAUSED);
        return;
    case SERVICE_CONTROL_CONTINUE:
        m_worker.ContinueWorker();
        m_status.ReportUnlessStopping(SERVICE_RUNNING);
        return;
    case kServiceControlReadSettings:
        m_worker.RequestSettingsReload();
        break;
    case kServiceControlSyncNow:
        m_worker.RequestSyncNow();
        break;
    default:
        break;
    }
    m_status.ReportUnchanged();
}
