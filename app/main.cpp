#include <windows.h>

#include "Startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return RunTempolan(instance, commandLine);
}
