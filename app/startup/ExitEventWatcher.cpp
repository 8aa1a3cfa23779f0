#include "app/startup/ExitEventWatcher.h"

bool CExitEventWatcher::Start(HANDLE exitEvent, FindWindowFn findMain)
{
    Stop();
    if (!exitEvent)
        return false;
    m_exit = exitEvent;
    m_findMain = findMain;
    return m_thread.Start([this](HANDLE stop) { Run(stop); });
}

void CExitEventWatcher::Stop()
{
    // the thread waits on the caller's event: it must be gone before that closes
    m_thread.Stop();
    m_exit = nullptr;
}

void CExitEventWatcher::Run(HANDLE stop)
{
    HANDLE handles[2] = {m_exit, stop};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) {
        HWND main = m_findMain();
        if (main)
            PostMessageW(main, WM_CLOSE, 0, 0);
    }
}
