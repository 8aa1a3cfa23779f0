#include "graphics/system/StoppableThread.h"

#include <utility>

bool CStoppableThread::Start(std::function<void(HANDLE stop)> body)
{
    Stop();
    // manual reset: the body may wait on it in more than one place
    m_stop.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_stop)
        return false;
    m_body = std::move(body);
    m_thread.Reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (!m_thread) {
        Stop();
        return false;
    }
    return true;
}

void CStoppableThread::Stop()
{
    if (m_thread) {
        SetEvent(m_stop.Get());
        WaitForSingleObject(m_thread.Get(), INFINITE);
        m_thread.Reset();
    }
    m_stop.Reset();
    m_body = nullptr;
}

void CStoppableThread::StopAnsweringSends()
{
    if (m_thread) {
        SetEvent(m_stop.Get());
        HANDLE thread = m_thread.Get();
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            // a peek delivers the sent messages and removes nothing
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    Stop();
}

DWORD WINAPI CStoppableThread::Run(void* parameter)
{
    CStoppableThread* self = (CStoppableThread*)parameter;
    self->m_body(self->m_stop.Get());
    return 0;
}
