// The stand-in taskbar for the benchmarks, bare or with the hook library's
// clocks attached; every process started is ended by its own handle.
#pragma once

#include <stdint.h>

#include <windows.h>

#include "graphics/system/Handles.h"

// Handles this thread's messages for `ms`.
void PumpFor(DWORD ms);

// The stand-in taskbar process; ended when it goes, also after a failed start.
struct BenchTaskbar {
    BenchTaskbar() = default;
    ~BenchTaskbar() { Stop(); }
    BenchTaskbar(const BenchTaskbar&) = delete;
    BenchTaskbar& operator=(const BenchTaskbar&) = delete;
    void Stop();

    CKernelHandle process;
    DWORD pid = 0;
    HWND taskbar = nullptr;
    HWND clock = nullptr;
};

// Starts the stand-in of the program folder; false when its clock window
// did not appear.
bool StartBenchTaskbar(BenchTaskbar* taskbar);
// CPU time (ms) the taskbar used over `seconds`, by its own count: Wine
// reports another process's times unreliably.
int64_t MeasureTaskbarCpu(const BenchTaskbar& taskbar, int seconds);

// The hook library attached to a stand-in, with `clocks` clocks showing
// seconds pushed as the main program pushes them. Detached and freed when
// the object goes; the taskbar must be ended before that.
class CHookedClocks {
public:
    CHookedClocks();
    ~CHookedClocks();
    CHookedClocks(const CHookedClocks&) = delete;
    CHookedClocks& operator=(const CHookedClocks&) = delete;

    // Loads the library; false when it or its exports are missing.
    bool Load();
    // Installs the hook on `taskbar` (started after Load) and pushes the
    // clocks; the handshakes seen so far are counted.
    void Attach(const BenchTaskbar& taskbar, int clocks);
    void Remove();
    int Handshakes() const;

private:
    CModule m_hook;
    HWND m_main;
    bool m_installed;
};
