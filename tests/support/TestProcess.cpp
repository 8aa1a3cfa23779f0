#include "tests/support/TestProcess.h"

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
    m_process = pi.hProcess;
    m_pid = pi.dwProcessId;
    return true;
}

bool CTestProcess::Adopt(DWORD pid)
{
    End();
    m_process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    m_pid = m_process ? pid : 0;
    return m_process != nullptr;
}

bool CTestProcess::Running() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

int CTestProcess::ExitCode(DWORD waitMs)
{
    if (!m_process || !PumpUntil([&] { return !Running(); }, waitMs))
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return (int)code;
}

void CTestProcess::End()
{
    if (!m_process)
        return;
    if (Running()) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
    m_process = nullptr;
    m_pid = 0;
}
