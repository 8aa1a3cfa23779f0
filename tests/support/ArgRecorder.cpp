// Stands in for the main program where a test wants to see how it was
// started: appends its command line to "args.txt" next to itself and ends.
#include <windows.h>

#include "graphics/system/Handles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != L'\\' && path[n - 1] != L'/')
        --n;
    lstrcpyW(path + n, L"args.txt");
    CKernelHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
    if (!file)
        return 1;
    const WCHAR* line = GetCommandLineW();
    DWORD written;
    WriteFile(file.Get(), line, lstrlenW(line) * sizeof(WCHAR), &written, nullptr);
    WriteFile(file.Get(), L"\n", sizeof(WCHAR), &written, nullptr);
    return 0;
}
