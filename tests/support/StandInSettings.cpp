// Stands in for settings.exe: notes its arguments in "settings_args.txt" of
// its working folder and ends.
#include <windows.h>

#include "graphics/system/Handles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR arguments, int)
{
    CKernelHandle file(CreateFileW(L"settings_args.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return 1;
    DWORD written = 0;
    WriteFile(file.Get(), arguments, (DWORD)(lstrlenW(arguments) * sizeof(WCHAR)), &written, nullptr);
    return 0;
}
