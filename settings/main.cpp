#include <windows.h>

#include "settings/frame/SettingsProgram.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // the whole line: the switch is found after the program's own path
    return SettingsWinMain(instance, GetCommandLineW());
}
