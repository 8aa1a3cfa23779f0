// Ends the instance from outside: a thread waits on the exit event, and when
// any process of the logon sets it, posts WM_CLOSE to the main window.
#pragma once

#include <windows.h>

#include "graphics/system/Handles.h"

class CExitEventWatcher {
public:
    using FindWindowFn = HWND (*)();

    CExitEventWatcher() = default;
    ~CExitEventWatcher() { Stop(); }
    CExitEventWatcher(const CExitEventWatcher&) = delete;
    CExitEventWatcher& operator=(const CExitEventWatcher&) = delete;

    // `exitEvent` is not taken: it must stay open until Stop() returns.
    // `findMain` is called on the watcher's thread. False when no thread was started.
    bool Start(HANDLE exitEvent, FindWindowFn findMain);
    // Signals the thread to stop and waits until it has ended.
    void Stop();
    bool IsRunning() const { return (bool)m_thread; }

private:
    static DWORD WINAPI Run(void* self);

    HANDLE m_exit = nullptr;
    FindWindowFn m_findMain = nullptr;
    CKernelHandle m_stop;
    CKernelHandle m_thread;
};
