#include "app/main/TaskbarWatcher.h"

#include <utility>

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
    CKernelHandle owned(process);
    Stop();
    if (!owned)
        return false;
    m_process = std::move(owned);
    m_stop.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!m_stop) {
        Stop();
        return false;
    }
    m_main = mainWindow;
    m_starter = &starter;
    m_taskbarExists = taskbarExists;
    lstrcpynW(m_programFile, programFile, MAX_PATH);
    m_thread.Reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (!m_thread) {
        Stop();
        return false;
    }
    return true;
}

void CTaskbarWatcher::Stop()
{
    // the thread uses the handles and this object: it ends before they go
    if (m_thread) {
        SetEvent(m_stop.Get());
        WaitForSingleObject(m_thread.Get(), INFINITE);
        m_thread.Reset();
    }
    m_process.Reset();
    m_stop.Reset();
}

DWORD WINAPI CTaskbarWatcher::Run(void* parameter)
{
    CTaskbarWatcher* self = (CTaskbarWatcher*)parameter;
    HANDLE handles[2] = {self->m_process.Get(), self->m_stop.Get()};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0)
        return 0;
    // the taskbar ended: wait for a new one
    bool back = false;
    while (!(back = self->m_taskbarExists())) {
        if (WaitForSingleObject(self->m_stop.Get(), kTaskbarPollMs) != WAIT_TIMEOUT)
            break;
    }
    if (back)
        self->m_starter->Start(self->m_programFile, L"/restart", nullptr);
    PostMessageW(self->m_main, UM_CLOSEMAIN, kCloseFromTaskbarWatcher, 0);
    return 0;
}
