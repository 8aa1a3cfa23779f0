#include "tests/support/TestProcess.h"

#include <aclapi.h>

#include "graphics/system/Handles.h"
#include "tests/support/TestMessages.h"

bool CTestProcess::Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder)
{
    End();
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    m_process.Reset(pi.hProcess);
    m_pid = pi.dwProcessId;
    return true;
}

bool CTestProcess::Adopt(DWORD pid)
{
    End();
    // The main program lets Everyone only query and read its process; as its
    // owner we may rewrite that list (to none: all access) and then open it.
    CKernelHandle owner(OpenProcess(WRITE_DAC, FALSE, pid));
    if (owner)
        SetSecurityInfo(owner.Get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
    m_process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, pid));
    m_pid = m_process ? pid : 0;
    return (bool)m_process;
}

bool CTestProcess::Running() const
{
    return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

int CTestProcess::ExitCode(DWORD waitMs)
{
    if (!m_process || !PumpUntil([&] { return !Running(); }, waitMs))
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process.Get(), &code);
    return (int)code;
}

void CTestProcess::End()
{
    if (Running()) {
        TerminateProcess(m_process.Get(), 99);
        WaitForSingleObject(m_process.Get(), 5000);
    }
    m_process.Reset();
    m_pid = 0;
}
