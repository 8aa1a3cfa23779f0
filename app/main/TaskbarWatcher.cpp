#include "app/main/TaskbarWatcher.h"

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "app/main/MainSeams.h"

bool CTaskbarWatcher::ShellTaskbarExists()
{
    return FindWindowW(kTaskbarClass, nullptr) != nullptr;
}

bool CTaskbarWatcher::Start(HWND mainWindow, HANDLE process, IProgramStarter& starter, const WCHAR* programFile,
                            TaskbarExists taskbarExists)
{
    Stop();
    m_process = process;
    if (!m_process)
        return false;
    m_stop = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_stop) {
        Stop();
        return false;
    }
    m_main = mainWindow;
    m_starter = &starter;
    m_taskbarExists = taskbarExists;
    lstrcpynW(m_programFile, programFile, MAX_PATH);
    m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    if (!m_thread) {
        Stop();
        return false;
    }
    return true;
}

void CTaskbarWatcher::Stop()
{
    if (m_thread) {
        SetEvent(m_stop);
        if (WaitForSingleObject(m_thread, kTaskbarWatcherStopMs) == WAIT_TIMEOUT)
            TerminateThread(m_thread, 0);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    if (m_process)
        CloseHandle(m_process);
    if (m_stop)
        CloseHandle(m_stop);
    m_process = m_stop = nullptr;
}

DWORD WINAPI CTaskbarWatcher::Run(void* parameter)
{
    CTaskbarWatcher* self = (CTaskbarWatcher*)parameter;
    HANDLE handles[2] = {self->m_process, self->m_stop};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0)
        return 0;
    // the taskbar ended: wait for a new one
    bool back = false;
    while (!(back = self->m_taskbarExists())) {
        if (WaitForSingleObject(self->m_stop, kTaskbarPollMs) != WAIT_TIMEOUT)
            break;
    }
    if (back)
        self->m_starter->Start(self->m_programFile, L"/restart", nullptr);
    PostMessageW(self->m_main, UM_CLOSEMAIN, kCloseFromTaskbarWatcher, 0);
    return 0;
}
