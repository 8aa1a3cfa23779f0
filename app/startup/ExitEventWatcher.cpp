#include "app/startup/ExitEventWatcher.h"

bool CExitEventWatcher::Start(HANDLE exitEvent, FindWindowFn findMain)
{
    Stop();
    if (!exitEvent)
        return false;
    m_stop.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_stop)
        return false;
    m_exit = exitEvent;
    m_findMain = findMain;
    m_thread.Reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (!m_thread) {
        Stop();
        return false;
    }
    return true;
}

void CExitEventWatcher::Stop()
{
    // the thread waits on the caller's event: it must be gone before that closes
    if (m_thread) {
        SetEvent(m_stop.Get());
        WaitForSingleObject(m_thread.Get(), INFINITE);
        m_thread.Reset();
    }
    m_stop.Reset();
    m_exit = nullptr;
}

DWORD WINAPI CExitEventWatcher::Run(void* parameter)
{
    CExitEventWatcher* self = (CExitEventWatcher*)parameter;
    HANDLE handles[2] = {self->m_exit, self->m_stop.Get()};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) {
        HWND main = self->m_findMain();
        if (main)
            PostMessageW(main, WM_CLOSE, 0, 0);
    }
    return 0;
}
