// Ends the instance from outside: a thread waits on the exit event, and when
// any process of the logon sets it, posts WM_CLOSE to the main window.
#pragma once

#include <windows.h>

#include "graphics/system/StoppableThread.h"

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
    bool IsRunning() const { return m_thread.IsRunning(); }

private:
    void Run(HANDLE stop);

    HANDLE m_exit = nullptr;
    FindWindowFn m_findMain = nullptr;
    CStoppableThread m_thread;  // last: it ends before the members it uses go
};
