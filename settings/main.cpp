#include <windows.h>

// The settings dialog comes with the settings issue.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return 0;
}
