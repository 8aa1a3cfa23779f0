// Queries and drives a service of the prefix's service manager, for tests and
// scripts (Wine's sc.exe has neither control nor query).
//   svcctl <name> query                 state, check point, wait hint, exit
//                                       codes, pid, start type, path, display name
//   svcctl <name> start
//   svcctl <name> control <code>
//   svcctl <name> wait <state> <ms>     until the state is reached
//   svcctl <name> delete
//   svcctl <name> kill                  the service's process, for clean-up only
// Exit code 0 on success; 1 when the service does not exist; 2 on bad
// arguments; 3 when a call failed (its error is printed); 4 when a wait ran out.
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include <vector>

#include "graphics/system/Handles.h"

namespace {

const int kExitOk = 0;
const int kExitNoService = 1;
const int kExitUsage = 2;
const int kExitFailed = 3;
const int kExitTimedOut = 4;
const DWORD kPollMs = 20;

int Usage()
{
    fwprintf(stderr, L"usage: svcctl <name> query | start | control <code> | wait <state> <ms> | delete | kill\n");
    return kExitUsage;
}

int Failed(const wchar_t* call)
{
    DWORD error = GetLastError();
    wprintf(L"%ls failed: %lu\n", call, error);
    return error == ERROR_SERVICE_DOES_NOT_EXIST ? kExitNoService : kExitFailed;
}

bool ParseNumber(const wchar_t* text, DWORD* value)
{
    wchar_t* end = nullptr;
    unsigned long number = wcstoul(text, &end, 10);
    if (!text[0] || !end || *end)
        return false;
    *value = number;
    return true;
}

bool QueryStatus(SC_HANDLE service, SERVICE_STATUS_PROCESS* status)
{
    DWORD needed = 0;
    return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, (BYTE*)status, sizeof(*status), &needed) != FALSE;
}

int Query(SC_HANDLE service)
{
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStatus(service, &status))
        return Failed(L"QueryServiceStatusEx");
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : sizeof(QUERY_SERVICE_CONFIGW));
    auto* config = (QUERY_SERVICE_CONFIGW*)buffer.data();
    if (!QueryServiceConfigW(service, config, (DWORD)buffer.size(), &needed))
        return Failed(L"QueryServiceConfigW");
    wprintf(L"state=%lu\ncheckpoint=%lu\nwaithint=%lu\nwin32exit=%lu\nserviceexit=%lu\npid=%lu\n",
            status.dwCurrentState, status.dwCheckPoint, status.dwWaitHint, status.dwWin32ExitCode,
            status.dwServiceSpecificExitCode, status.dwProcessId);
    wprintf(L"starttype=%lu\npath=%ls\ndisplay=%ls\n", config->dwStartType,
            config->lpBinaryPathName ? config->lpBinaryPathName : L"",
            config->lpDisplayName ? config->lpDisplayName : L"");
    return kExitOk;
}

int Wait(SC_HANDLE service, DWORD state, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        SERVICE_STATUS_PROCESS status = {};
        if (!QueryStatus(service, &status))
            return Failed(L"QueryServiceStatusEx");
        if (status.dwCurrentState == state)
            return kExitOk;
        if (GetTickCount() - start >= ms) {
            wprintf(L"state=%lu\n", status.dwCurrentState);
            return kExitTimedOut;
        }
        Sleep(kPollMs);
    }
}

int Kill(SC_HANDLE service)
{
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStatus(service, &status))
        return Failed(L"QueryServiceStatusEx");
    if (!status.dwProcessId)
        return kExitOk;
    CKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId));
    if (!process)
        return Failed(L"OpenProcess");
    if (!TerminateProcess(process.Get(), 1))
        return Failed(L"TerminateProcess");
    WaitForSingleObject(process.Get(), 5000);
    return kExitOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return Usage();
    const wchar_t* verb = argv[2];
    DWORD first = 0, second = 0;
    bool control = wcscmp(verb, L"control") == 0;
    bool wait = wcscmp(verb, L"wait") == 0;
    if ((control && (argc != 4 || !ParseNumber(argv[3], &first))) ||
        (wait && (argc != 5 || !ParseNumber(argv[3], &first) || !ParseNumber(argv[4], &second))) ||
        (!control && !wait && argc != 3))
        return Usage();

    CServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager)
        return Failed(L"OpenSCManagerW");
    CServiceHandle service(OpenServiceW(manager.Get(), argv[1], SERVICE_ALL_ACCESS));
    if (!service)
        return Failed(L"OpenServiceW");

    if (wcscmp(verb, L"query") == 0)
        return Query(service.Get());
    if (wcscmp(verb, L"start") == 0)
        return StartServiceW(service.Get(), 0, nullptr) ? kExitOk : Failed(L"StartServiceW");
    if (control) {
        SERVICE_STATUS status = {};
        if (!ControlService(service.Get(), first, &status))
            return Failed(L"ControlService");
        wprintf(L"state=%lu\n", status.dwCurrentState);
        return kExitOk;
    }
    if (wait)
        return Wait(service.Get(), first, second);
    if (wcscmp(verb, L"delete") == 0)
        return DeleteService(service.Get()) ? kExitOk : Failed(L"DeleteService");
    if (wcscmp(verb, L"kill") == 0)
        return Kill(service.Get());
    return Usage();
}
