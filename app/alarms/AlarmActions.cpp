#include "app/alarms/AlarmActions.h"

#include <objbase.h>
#include <powrprof.h>
#include <wchar.h>

#include <string>

#include "graphics/records/AlarmRecord.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Handles.h"

static_assert(sizeof(AlarmRecord) == kAlarmCopyBytes, "the copy holds one record");

namespace {

// MAX_PATH without its terminator.
const int kCommandPathChars = 259;

bool Exists(const WCHAR* path)
{
    return path[0] && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// The full path's folder: everything before its last backslash, a drive's
// root keeping its backslash.
std::wstring FolderOf(const WCHAR* full)
{
    std::wstring path(full);
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return L"";
    if (slash == 2 && path[1] == ':')
        return path.substr(0, 3);
    return path.substr(0, slash);
}

bool Start(const WCHAR* program, const WCHAR* rest, IAlarmShell& shell)
{
    WCHAR full[MAX_PATH];
    DWORD n = GetFullPathNameW(program, MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH)
        return false;
    while (*rest == ' ')
        ++rest;
    std::wstring folder = FolderOf(full);
    return shell.Open(full, *rest ? rest : nullptr, folder.c_str()) > 32;
}

}  // namespace

INT_PTR RunAlarmCopy(HGLOBAL copy, IAlarmShell& shell)
{
    WCHAR text[FIELD_WIDTH(AlarmRecord::text) + 1] = {};
    if (const AlarmRecord* alarm = (const AlarmRecord*)GlobalLock(copy)) {
        // the copy's text may fill its field without a terminator
        wmemcpy(text, alarm->text, FixedLength(alarm->text, FIELD_WIDTH(alarm->text)));
        GlobalUnlock(copy);
    }
    GlobalFree(copy);
    return text[0] ? shell.Open(text, nullptr, nullptr) : 0;
}

DWORD WINAPI RunAlarmAction(LPVOID param)
{
    // the shell may hand the file to a COM server (a browser for an address)
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    CSystemAlarmShell shell;
    INT_PTR result = RunAlarmCopy((HGLOBAL)param, shell);
    if (SUCCEEDED(com))
        CoUninitialize();
    return (DWORD)result;
}

bool RunCommandLine(const WCHAR* text, IAlarmShell& shell)
{
    if (!text)
        return false;
    WCHAR buffer[kCommandPathChars + 1];
    if (text[0] == '"') {
        const WCHAR* close = wcschr(text + 1, '"');
        size_t n = close ? (size_t)(close - text - 1) : wcslen(text + 1);
        if (n == 0 || n > (size_t)kCommandPathChars)
            return false;
        wmemcpy(buffer, text + 1, n);
        buffer[n] = 0;
        return Exists(buffer) && Start(buffer, close ? close + 1 : text + 1 + n, shell);
    }
    int end = 0;
    while (end < kCommandPathChars && text[end])
        ++end;
    wmemcpy(buffer, text, end);
    buffer[end] = 0;
    while (!Exists(buffer)) {
        int blank = end - 1;
        while (blank >= 0 && buffer[blank] != ' ')
            --blank;
        if (blank <= 0)
            return false;
        end = blank;
        buffer[end] = 0;
    }
    return Start(buffer, text + end, shell);
}

bool ShutdownOrHibernate(bool hibernate)
{
    CKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()))
        return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        return false;
    // succeeds even when the privilege was not held: only the error tells
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    if (GetLastError() != ERROR_SUCCESS)
        return false;
    if (hibernate)
        return SetSuspendState(TRUE, FALSE, FALSE) != FALSE;
    return ExitWindowsEx(EWX_POWEROFF | EWX_FORCE,
                         SHTDN_REASON_FLAG_PLANNED | SHTDN_REASON_MAJOR_APPLICATION |
                             SHTDN_REASON_MINOR_MAINTENANCE) != FALSE;
}
