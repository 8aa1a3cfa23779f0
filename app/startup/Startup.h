// The main program's start-up: switches, one instance per logon, the
// language library, import/export, the data files, the hidden main window and
// the message loop.
#pragma once

#include <windows.h>

const int kExitNormal = 0;
const int kExitNoResources = 1;
const int kExitAlreadyRunning = 3;

// Returns the process exit code.
int RunTempolan(HINSTANCE instance, const char* commandLine);
