// Keeps the service manager waiting while the service starts: start pending
// with a growing check point, until stopped.
#pragma once

#include <windows.h>

#include "graphics/system/Handles.h"

class CServiceStatus;

class CHeartbeat {
public:
    // `periodMs` between two check points, `waitHintMs` reported with each.
    CHeartbeat(CServiceStatus& status, DWORD periodMs, DWORD waitHintMs);
    ~CHeartbeat();
    CHeartbeat(const CHeartbeat&) = delete;
    CHeartbeat& operator=(const CHeartbeat&) = delete;

    // False when it could not start; the service then starts without it.
    bool Start();
    // Signals the thread and waits for it; it reports nothing after this.
    void Stop();

private:
    static DWORD WINAPI Beat(void* parameter);

    CServiceStatus& m_status;
    DWORD m_periodMs;
    DWORD m_waitHintMs;
    CKernelHandle m_stop;
    CKernelHandle m_thread;
};
