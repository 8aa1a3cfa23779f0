// A worker thread that is told to stop by an event and joined, never killed.
#pragma once

#include <windows.h>

#include <functional>

#include "graphics/system/Handles.h"

class CStoppableThread {
public:
    CStoppableThread() = default;
    ~CStoppableThread() { Stop(); }
    CStoppableThread(const CStoppableThread&) = delete;
    CStoppableThread& operator=(const CStoppableThread&) = delete;

    // Runs `body` on a new thread with the stop event, which it must watch
    // wherever it waits. A running thread is stopped first. False when no
    // thread was started.
    bool Start(std::function<void(HANDLE stop)> body);
    // Sets the stop event and waits until the thread has ended; what the body
    // uses may go after this returns.
    void Stop();
    // Stop for a GUI thread whose windows the body sends to: messages sent
    // to this thread are answered while it waits.
    void StopAnsweringSends();
    bool IsRunning() const { return (bool)m_thread; }

private:
    static DWORD WINAPI Run(void* self);

    std::function<void(HANDLE)> m_body;
    CKernelHandle m_stop;
    CKernelHandle m_thread;
};
