// Stands in for settings.exe: notes its arguments in "settings_args.txt" of
// its working folder and ends.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR arguments, int)
{
    HANDLE file = CreateFileW(L"settings_args.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, arguments, (DWORD)(lstrlenW(arguments) * sizeof(WCHAR)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
