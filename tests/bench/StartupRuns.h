// Starting a program of a bench folder and timing it until it is ready, for
// the start-up benchmarks; each program started is ended by its own handle.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/system/Handles.h"
#include "tests/bench/BenchTimer.h"

// Long enough for a cold Wine to start a program.
const DWORD kStartWaitMs = 20000;

// A fresh folder under the temporary folder, "<name>_<our pid>\", with
// `programFiles` copied in from the built program folder and `testFiles`
// from the test binaries; empty when it could not be made (what was made
// is removed).
std::wstring MakeBenchFolder(const wchar_t* name, const std::vector<const wchar_t*>& programFiles,
                             const std::vector<const wchar_t*>& testFiles);
// Its files and the folder.
void RemoveBenchFolder(const std::wstring& folder);

// A started program; ended when it goes, also after a failed start.
struct Running {
    Running() = default;
    ~Running() { Stop(); }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    // Closes `window` and waits; terminates it when it has none or does not end.
    void Stop();

    CKernelHandle process;
    DWORD pid = 0;
    HWND window = nullptr;
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to);

// Starts `exe` of `folder` and polls `ready` (given the process id) every
// millisecond until it gives the window that closes the program; the
// seconds from the start go to `seconds`. False when it did not start,
// ended, or was not ready within kStartWaitMs.
bool StartUntilReady(const std::wstring& folder, const wchar_t* exe, const wchar_t* arguments,
                     const std::function<HWND(DWORD pid)>& ready, Running* run, double* seconds);
// The same until a window of `windowClass` exists.
bool StartUntilWindow(const std::wstring& folder, const wchar_t* exe, const wchar_t* arguments,
                      const wchar_t* windowClass, Running* run, double* seconds);

// Starts a program with `startProgram` (it fills the run and the seconds)
// and minimal_window.exe of `folder` by turns, `runs` times after a first
// pair that warms the file cache; each is ended before the next starts.
// The medians in milliseconds; false when a start failed.
bool MedianStartups(const std::wstring& folder, int runs,
                    const std::function<bool(Running* run, double* seconds)>& startProgram, double* programMs,
                    double* minimalMs);

// The host's /proc folder of the program `exe` started from a bench folder
// made with `folderName` by this process; empty when not found.
std::wstring FindHostProcess(const wchar_t* folderName, const char* exe);
// User and system time of a host process in seconds; -1 when unknown.
double HostCpuSeconds(const std::wstring& procDir);

// The settings program's frame once the dialog it owns is shown: the
// program is ready for the user then, and closing the frame ends it.
HWND ShownSettingsFrame(DWORD pid);
