// Stands in for the main program where a test wants to see how it was
// started: appends its command line to "args.txt" next to itself and ends.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != L'\\' && path[n - 1] != L'/')
        --n;
    lstrcpyW(path + n, L"args.txt");
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const WCHAR* line = GetCommandLineW();
    DWORD written;
    WriteFile(file, line, lstrlenW(line) * sizeof(WCHAR), &written, nullptr);
    WriteFile(file, L"\n", sizeof(WCHAR), &written, nullptr);
    CloseHandle(file);
    return 0;
}
