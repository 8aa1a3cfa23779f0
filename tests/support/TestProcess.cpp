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

int RunForOutput(const std::wstring& exe, const std::wstring& arguments, std::string* output, DWORD waitMs)
{
    output->clear();
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return -1;
    CKernelHandle reader(readEnd);
    CKernelHandle writer(writeEnd);
    SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si = {sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writer.Get();
    si.hStdError = writer.Get();
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CKernelHandle process(pi.hProcess);
    // ours closed: the read ends when the program's copy goes
    writer.Reset();
    DWORD start = GetTickCount();
    char buffer[4096];
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(reader.Get(), nullptr, 0, nullptr, &available, nullptr))
            break;  // the program ended and its output is read
        DWORD got = 0;
        if (available > 0 && ReadFile(reader.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
            output->append(buffer, got);
            continue;
        }
        if (GetTickCount() - start >= waitMs) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), 5000);
            return -1;
        }
        Sleep(10);
    }
    WaitForSingleObject(process.Get(), 5000);
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return (int)code;
}
