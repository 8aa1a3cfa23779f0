// Watches the taskbar's process: when it ends and a taskbar window comes
// back, the program is started again with /restart, and the main window is
// told to go (UM_CLOSEMAIN, wParam 1) whether or not the taskbar came back.
#pragma once

#include <windows.h>

#include "graphics/system/Handles.h"
#include "graphics/system/StoppableThread.h"

class IProgramStarter;

const DWORD kTaskbarPollMs = 512;

class CTaskbarWatcher {
public:
    using TaskbarExists = bool (*)();

    CTaskbarWatcher() = default;
    ~CTaskbarWatcher() { Stop(); }
    CTaskbarWatcher(const CTaskbarWatcher&) = delete;
    CTaskbarWatcher& operator=(const CTaskbarWatcher&) = delete;

    // Takes `process` (a handle that is signalled when the taskbar ends) in
    // every case. `starter` must outlive the watcher; `programFile` is copied.
    // False when no thread was started.
    bool Start(HWND mainWindow, HANDLE process, IProgramStarter& starter, const WCHAR* programFile,
               TaskbarExists taskbarExists = &ShellTaskbarExists);
    // Signals the thread to stop and waits until it has ended (within
    // kTaskbarPollMs, or once a restart it began has been started).
    void Stop();
    bool IsRunning() const { return m_thread.IsRunning(); }

    // A window of class "Shell_TrayWnd" exists.
    static bool ShellTaskbarExists();

private:
    void Run(HANDLE stop);

    HWND m_main = nullptr;
    CKernelHandle m_process;
    IProgramStarter* m_starter = nullptr;
    TaskbarExists m_taskbarExists = nullptr;
    WCHAR m_programFile[MAX_PATH] = {};
    CStoppableThread m_thread;  // last: it ends before the members it uses go
};
