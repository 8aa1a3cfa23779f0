#include <windows.h>

#include "../taskbar/HookExports.h"
#include "SystemZone.h"
#include "ZoneDatabase.h"

namespace {

// Program folder with a trailing backslash.
void GetProgramFolder(WCHAR* folder, DWORD chars)
{
    DWORD n = GetModuleFileNameW(nullptr, folder, chars);
    while (n > 0 && folder[n - 1] != L'\\')
        --n;
    folder[n] = 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WCHAR folder[MAX_PATH];
    GetProgramFolder(folder, MAX_PATH);
    SetHookArguments(folder, nullptr);

    CSystemZone system;
    CZoneDatabase zones(system);
    WCHAR path[MAX_PATH + 32];
    wsprintfW(path, L"%stimezones.txt", folder);
    if (!zones.LoadTimeZonesFile(path))
        return 0;
    wsprintfW(path, L"%stz_changes.txt", folder);
    zones.LoadZoneChangesFile(path);
    SYSTEMTIME now;
    GetSystemTime(&now);
    zones.ApplyDueZoneChanges(now);
    return 0;
}
