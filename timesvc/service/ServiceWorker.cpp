#include "timesvc/service/ServiceWorker.h"

#include <wchar.h>

#include "timesvc/service/ServiceSeams.h"
#include "timesvc/service/SyncSchedule.h"
#include "timesvc/sync/SyncEngine.h"

const WCHAR kServiceLogName[] = L"horalink.log";

namespace {

// The longest the worker sleeps between two schedule tests.
const DWORD kWorkerPollMs = 500;

}  // namespace

CServiceWorker::CServiceWorker(IServiceEngine& engine)
    : m_engine(engine), m_eventLock(SRWLOCK_INIT), m_stop(0), m_reload(0), m_syncNow(0), m_paused(0),
      m_settingsValid(false), m_firstCheckDone(false)
{
}

bool CServiceWorker::Init(DWORD* error)
{
    InterlockedExchange(&m_stop, 0);
    CKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) {
        *error = GetLastError();
        return false;
    }
    AcquireSRWLockExclusive(&m_eventLock);
    m_event.Reset(event.Detach());
    ReleaseSRWLockExclusive(&m_eventLock);
    m_settingsValid = m_engine.LoadSyncSettings();
    return true;
}

DWORD CServiceWorker::Run()
{
    WCHAR path[MAX_PATH + 16];
    const WCHAR* folder = m_engine.ProgramFolder();
    if (wcslen(folder) + ARRAYSIZE(kServiceLogName) > ARRAYSIZE(path))
        return ERROR_FILENAME_EXCED_RANGE;
    wcscpy(path, folder);
    wcscat(path, kServiceLogName);
    // left empty; readers may look while the service holds it
    CKernelHandle log(
        CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log)
        return GetLastError();

    DWORD error = 0;
    while (!m_stop) {
        DWORD wait = WaitForSingleObject(m_event.Get(), kWorkerPollMs);
        if (wait == WAIT_OBJECT_0) {
            if (!m_stop)
                ResetEvent(m_event.Get());
        } else if (wait != WAIT_TIMEOUT) {
            error = GetLastError();
            InterlockedExchange(&m_stop, 1);
        }
        if (m_stop)
            break;
        // requests stay pending until continue
        if (m_paused)
            continue;
        if (InterlockedExchange(&m_reload, 0))
            m_settingsValid = m_engine.LoadSyncSettings();
        if (!m_settingsValid)
            continue;
        // taken before the attempt: a request during it asks for one more
        if (InterlockedExchange(&m_syncNow, 0) || IsSyncDue())
            m_engine.RunSync(kSyncWatchdogMs);
    }
    return error;
}

void CServiceWorker::Close()
{
    AcquireSRWLockExclusive(&m_eventLock);
    m_event.Reset();
    ReleaseSRWLockExclusive(&m_eventLock);
}

void CServiceWorker::StopWorker()
{
    Signal(&m_stop, 1);
}

void CServiceWorker::PauseWorker()
{
    Signal(&m_paused, 1);
}

void CServiceWorker::ContinueWorker()
{
    Signal(&m_paused, 0);
}

void CServiceWorker::RequestSettingsReload()
{
    Signal(&m_reload, 1);
}

void CServiceWorker::RequestSyncNow()
{
    Signal(&m_syncNow, 1);
}

bool CServiceWorker::IsSyncDue()
{
    SyncScheduleState state = {m_engine.StartTick(), m_engine.LastCheckTick(), m_firstCheckDone};
    bool due = ::IsSyncDue(&state, m_engine.AutoSync(), m_engine.SyncType(), m_engine.TickCount());
    m_engine.SetLastCheckTick(state.lastCheckTick);
    m_firstCheckDone = state.firstCheckDone;
    return due;
}

void CServiceWorker::Signal(volatile LONG* flag, LONG value)
{
    // the flag first: the worker reads it once the event woke it
    InterlockedExchange(flag, value);
    AcquireSRWLockShared(&m_eventLock);
    if (m_event)
        SetEvent(m_event.Get());
    ReleaseSRWLockShared(&m_eventLock);
}
