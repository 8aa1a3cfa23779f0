// The service's worker: re-reads the settings and synchronises on request or
// when the schedule says so. The requests come from the control handler's
// thread; Run, Init and Close belong to the service's own thread.
#pragma once

#include <windows.h>

#include "graphics/system/Handles.h"

class IServiceEngine;

// The file the worker holds open, in the program folder.
extern const WCHAR kServiceLogName[];

class CServiceWorker {
public:
    explicit CServiceWorker(IServiceEngine& engine);
    CServiceWorker(const CServiceWorker&) = delete;
    CServiceWorker& operator=(const CServiceWorker&) = delete;

    // Creates the worker event and reads the settings; false with the Win32
    // error when the event cannot be made.
    bool Init(DWORD* error);
    // Until stopped; 0 when asked to stop, else the Win32 error that ended it.
    // The attempt under way is finished first.
    DWORD Run();
    // Closes the worker event once Run has returned; later requests are
    // dropped.
    void Close();

    void StopWorker();
    void PauseWorker();
    void ContinueWorker();
    void RequestSettingsReload();
    void RequestSyncNow();

    // The schedule test against the engine's ticks and settings.
    bool IsSyncDue();

private:
    // Sets `flag` to `value`, then wakes the worker.
    void Signal(volatile LONG* flag, LONG value);

    IServiceEngine& m_engine;
    SRWLOCK m_eventLock;  // Signal against Close
    CKernelHandle m_event;
    volatile LONG m_stop;
    volatile LONG m_reload;
    volatile LONG m_syncNow;
    volatile LONG m_paused;
    bool m_settingsValid;
    bool m_firstCheckDone;
};
