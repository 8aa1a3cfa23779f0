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
    m_main = mainWindow;
    m_starter = &starter;
    m_taskbarExists = taskbarExists;
    lstrcpynW(m_programFile, programFile, MAX_PATH);
    if (!m_thread.Start([this](HANDLE stop) { Run(stop); })) {
        m_process.Reset();
        return false;
    }
    return true;
}

void CTaskbarWatcher::Stop()
{
    // the thread uses the process handle and this object: it ends before they go
    m_thread.Stop();
    m_process.Reset();
}

void CTaskbarWatcher::Run(HANDLE stop)
{
    HANDLE handles[2] = {m_process.Get(), stop};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0)
        return;
    // the taskbar ended: wait for a new one
    bool back = false;
    while (!(back = m_taskbarExists())) {
        if (WaitForSingleObject(stop, kTaskbarPollMs) != WAIT_TIMEOUT)
            break;
    }
    if (back)
        m_starter->Start(m_programFile, L"/restart", nullptr);
    PostMessageW(m_main, UM_CLOSEMAIN, kCloseFromTaskbarWatcher, 0);
}
