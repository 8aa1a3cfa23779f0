#include "timesvc/service/Heartbeat.h"

#include "timesvc/service/ServiceStatus.h"

CHeartbeat::CHeartbeat(CServiceStatus& status, DWORD periodMs, DWORD waitHintMs)
    : m_status(status), m_periodMs(periodMs), m_waitHintMs(waitHintMs)
{
}

CHeartbeat::~CHeartbeat()
{
    Stop();
}

bool CHeartbeat::Start()
{
    m_stop.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_stop)
        return false;
    m_thread.Reset(CreateThread(nullptr, 0, Beat, this, 0, nullptr));
    if (!m_thread) {
        m_stop.Reset();
        return false;
    }
    return true;
}

void CHeartbeat::Stop()
{
    if (!m_thread)
        return;
    SetEvent(m_stop.Get());
    // the thread wakes at once: the wait is short and a report in flight ends
    WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset();
    m_stop.Reset();
}

DWORD WINAPI CHeartbeat::Beat(void* parameter)
{
    CHeartbeat* self = (CHeartbeat*)parameter;
    self->m_status.SetPending(SERVICE_START_PENDING, self->m_waitHintMs);
    while (WaitForSingleObject(self->m_stop.Get(), self->m_periodMs) == WAIT_TIMEOUT)
        self->m_status.ReportNextCheckPoint();
    self->m_status.ClearProgress();
    return 0;
}
