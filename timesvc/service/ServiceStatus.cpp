#include "timesvc/service/ServiceStatus.h"

#include "timesvc/service/ServiceSeams.h"

CServiceStatus::CServiceStatus(IServiceStatusReporter& reporter)
    : m_reporter(reporter), m_lock(SRWLOCK_INIT), m_status(), m_stopped(false)
{
    m_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    m_status.dwCurrentState = SERVICE_START_PENDING;
    m_status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE | SERVICE_ACCEPT_SHUTDOWN;
}

void CServiceStatus::Report(DWORD state)
{
    AcquireSRWLockExclusive(&m_lock);
    m_status.dwCurrentState = state;
    m_status.dwCheckPoint = 0;
    m_status.dwWaitHint = 0;
    ReportLocked();
    ReleaseSRWLockExclusive(&m_lock);
}

void CServiceStatus::ReportPending(DWORD state, DWORD waitHintMs)
{
    AcquireSRWLockExclusive(&m_lock);
    m_status.dwCurrentState = state;
    m_status.dwCheckPoint = 0;
    m_status.dwWaitHint = waitHintMs;
    ReportLocked();
    ReleaseSRWLockExclusive(&m_lock);
}

void CServiceStatus::SetPending(DWORD state, DWORD waitHintMs)
{
    AcquireSRWLockExclusive(&m_lock);
    m_status.dwCurrentState = state;
    m_status.dwCheckPoint = 0;
    m_status.dwWaitHint = waitHintMs;
    ReleaseSRWLockExclusive(&m_lock);
}

void CServiceStatus::ReportUnlessStopping(DWORD state)
{
    AcquireSRWLockExclusive(&m_lock);
    if (m_status.dwCurrentState != SERVICE_STOP_PENDING && m_status.dwCurrentState != SERVICE_STOPPED) {
        m_status.dwCurrentState = state;
        m_status.dwCheckPoint = 0;
        m_status.dwWaitHint = 0;
    }
    ReportLocked();
    ReleaseSRWLockExclusive(&m_lock);
}

void CServiceStatus::ReportStopped(DWORD win32Error, DWORD specificError)
{
    AcquireSRWLockExclusive(&m_lock);
    m_status.dwCurrentState = SERVICE_STOPPED;
    m_status.dwCheckPoint = 0;
    m_status.dwWaitHint = 0;
    m_status.dwWin32ExitCode = win32Error;
    m_status.dwServiceSpecificExitCode = specificError;
    ReportLocked();
    m_stopped = true;
    ReleaseSRWLockExclusive(&m_lock);
}

void CServiceStatus::ReportNextCheckPoint()
{
    AcquireSRWLockExclusive(&m_lock);
    ++m_status.dwCheckPoint;
    ReportLocked();
    ReleaseSRWLockExclusive(&m_lock);
}

void CServiceStatus::ReportUnchanged()
{
    AcquireSRWLockExclusive(&m_lock);
    ReportLocked();
    ReleaseSRWLockExclusive(&m_lock);
}

void CServiceStatus::ClearProgress()
{
    AcquireSRWLockExclusive(&m_lock);
    m_status.dwCheckPoint = 0;
    m_status.dwWaitHint = 0;
    ReleaseSRWLockExclusive(&m_lock);
}

DWORD CServiceStatus::State()
{
    AcquireSRWLockShared(&m_lock);
    DWORD state = m_status.dwCurrentState;
    ReleaseSRWLockShared(&m_lock);
    return state;
}

void CServiceStatus::ReportLocked()
{
    // under the lock: the manager sees the records in the order they changed;
    // after stopped the manager may already have let the process go
    if (!m_stopped)
        m_reporter.ReportStatus(m_status);
}
