// Programs the process tests start: each is ended by its own handle when its
// owner goes, so that a failed test leaves nothing running.
#pragma once

#include <windows.h>

#include <string>

#include "graphics/system/Handles.h"

class CTestProcess {
public:
    CTestProcess() = default;
    ~CTestProcess() { End(); }
    CTestProcess(const CTestProcess&) = delete;
    CTestProcess& operator=(const CTestProcess&) = delete;

    // `exe` quoted as the first argument; `folder` empty: this process's folder.
    bool Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder = L"");
    // Takes over a process someone else started.
    bool Adopt(DWORD pid);
    // The exit code; -1 when it still runs after the wait. This thread's
    // messages are dispatched meanwhile: the program may send to our windows.
    int ExitCode(DWORD waitMs);
    bool Running() const;
    // Terminates it when it still runs.
    void End();
    DWORD Pid() const { return m_pid; }
    HANDLE Handle() const { return m_process.Get(); }

private:
    CKernelHandle m_process;
    DWORD m_pid = 0;
};

// Runs `exe` with `arguments` and collects what it writes to its standard
// output. Its exit code; -1 when it could not start or still ran after
// `waitMs` (it is ended then).
int RunForOutput(const std::wstring& exe, const std::wstring& arguments, std::string* output, DWORD waitMs);
