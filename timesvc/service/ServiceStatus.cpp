#include "timesvc/service/ServiceStatus.h"

#include "timesvc/service/ServiceSeams.h"

namespace {

class CExclusive {
public:
    explicit CExclusive(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~CExclusive() { ReleaseSRWLockExclusive(&m_lock); }
    CExclusive(const CExclusive&) = delete;
    CExclusive& operator=(const CExclusive&) = delete;

private:
    SRWLOCK& m_lock;
};

}  // namespace

CServiceStatus::CServiceStatus(IServiceStatusReporter& reporter)
    : m_reporter(reporter), m_lock(SRWLOCK_INIT), m_status(), m_stopped(false)
{
    m_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    m_status.dwCurrentState = SERVICE_START_PENDING;
    m_status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE | SERVICE_ACCEPT_SHUTDOWN;
}

void CServiceStatus::ReportPending(DWORD state, DWORD waitHintMs)
{
    CExclusive lock(m_lock);
    SetLocked(state, waitHintMs);
    ReportLocked();
}

void CServiceStatus::SetPending(DWORD state, DWORD waitHintMs)
{
    CExclusive lock(m_lock);
    SetLocked(state, waitHintMs);
}

void CServiceStatus::ReportUnlessStopping(DWORD state)
{
    CExclusive lock(m_lock);
    if (m_status.dwCurrentState != SERVICE_STOP_PENDING && m_status.dwCurrentState != SERVICE_STOPPED)
        SetLocked(state, 0);
    ReportLocked();
}

void CServiceStatus::ReportStopped(DWORD win32Error, DWORD specificError)
{
    CExclusive lock(m_lock);
    SetLocked(SERVICE_STOPPED, 0);
    m_status.dwWin32ExitCode = win32Error;
    m_status.dwServiceSpecificExitCode = specificError;
    ReportLocked();
    m_stopped = true;
}

void CServiceStatus::ReportNextCheckPoint()
{
    CExclusive lock(m_lock);
    ++m_status.dwCheckPoint;
    ReportLocked();
}

void CServiceStatus::ReportUnchanged()
{
    CExclusive lock(m_lock);
    ReportLocked();
}

void CServiceStatus::ClearProgress()
{
    CExclusive lock(m_lock);
    m_status.dwCheckPoint = 0;
    m_status.dwWaitHint = 0;
}

void CServiceStatus::SetLocked(DWORD state, DWORD waitHintMs)
{
    m_status.dwCurrentState = state;
    m_status.dwCheckPoint = 0;
    m_status.dwWaitHint = waitHintMs;
}

void CServiceStatus::ReportLocked()
{
    // under the lock: the manager sees the records in the order they changed;
    // after stopped the manager may already have let the process go
    if (!m_stopped)
        m_reporter.ReportStatus(m_status);
}
