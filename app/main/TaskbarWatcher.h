// Watches the taskbar's process: when it ends and a taskbar window comes
// back, the program is started again with /restart, and the main window is
// told to go (UM_CLOSEMAIN, wParam 1) whether or not the taskbar came back.
#pragma once

#include <windows.h>

class IProgramStarter;

const DWORD kTaskbarPollMs = 512;
const DWORD kTaskbarWatcherStopMs = 512;

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
    // Ends the thread: waits up to kTaskbarWatcherStopMs, then terminates it.
    void Stop();
    bool IsRunning() const { return m_thread != nullptr; }

    // A window of class "Shell_TrayWnd" exists.
    static bool ShellTaskbarExists();

private:
    static DWORD WINAPI Run(void* self);

    HWND m_main = nullptr;
    HANDLE m_process = nullptr;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
    IProgramStarter* m_starter = nullptr;
    TaskbarExists m_taskbarExists = nullptr;
    WCHAR m_programFile[MAX_PATH] = {};
};
