#include <windows.h>

#include "app/startup/Startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return RunTempolan(instance, commandLine);
}
