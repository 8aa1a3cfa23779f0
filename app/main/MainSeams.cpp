#include "app/main/MainSeams.h"

#include <shellapi.h>

bool CShellProgramStarter::Start(const WCHAR* file, const WCHAR* parameters, const WCHAR* folder)
{
    // ShellExecute reports success as a value above 32
    return (INT_PTR)ShellExecuteW(nullptr, L"open", file, parameters, folder, SW_SHOWNORMAL) > 32;
}
