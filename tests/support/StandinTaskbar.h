// The stand-in taskbar program (tools/standin-taskbar) with its clock window,
// ended when the object goes.
#pragma once

#include <windows.h>

#include "tests/support/TestProcess.h"

class CStandinTaskbar {
public:
    // `edge`: bottom, top, left or right; the menus its clock window shows
    // are noted to `menuFile` when given (SQ_MENUCHOICE). False when its
    // clock window did not appear.
    bool Start(const wchar_t* edge = L"bottom", const wchar_t* menuFile = nullptr);
    // True once a hook has subclassed the clock window.
    bool WaitAttached(DWORD waitMs);
    // True once the clock window has its own procedure again.
    bool WaitDetached(DWORD waitMs);
    CTestProcess& Process() { return m_process; }
    DWORD Pid() const { return m_process.Pid(); }
    HWND Notify() const { return GetParent(clock); }

    HWND taskbar = nullptr;
    HWND clock = nullptr;

private:
    CTestProcess m_process;
};
