// tempolan.exe's stand-in for the settings program's tests (standin_main.exe
// of the test binaries) and what its log says it received.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/TestProcess.h"

struct StandinMainEntry {
    DWORD tick = 0;            // GetTickCount when it came
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool copyData = false;     // WM_COPYDATA: the block below
    ULONG_PTR copyId = 0;
    DWORD copyBytes = 0;
    std::wstring text;         // the block as text, controls as \xHH
    std::wstring snapshot;     // UM_SAVESTATE, UM_SETTINGSCHANGED: the settings file as it was then
};

// The complete lines of the log in the order the messages came; a line still
// being written is left out.
std::vector<StandinMainEntry> ReadStandinMainLog(const std::wstring& path);

class CStandinMain {
public:
    // Starts it with its log in `logPath` and `settingsPath` for the marker
    // and waits for its window; Window() is null when it did not come.
    CStandinMain(const std::wstring& logPath, const std::wstring& settingsPath);
    // Stop().
    ~CStandinMain();
    CStandinMain(const CStandinMain&) = delete;
    CStandinMain& operator=(const CStandinMain&) = delete;

    HWND Window() const { return m_window; }
    std::vector<StandinMainEntry> Log() const { return ReadStandinMainLog(m_logPath); }
    // The entries of `message`, in order.
    std::vector<StandinMainEntry> Received(UINT message) const;
    // Dispatches this thread's messages until `count` of `message` are logged.
    bool WaitFor(UINT message, size_t count, DWORD ms) const;
    // WM_CLOSE, then ended by its handle when it is still there; its exit
    // code, -1 when it had to be ended.
    int Stop();

private:
    std::wstring m_logPath;
    CTestProcess m_process;
    HWND m_window = nullptr;
};
