// The map library's test run of an installation ("/inst"): whether the map
// can be shown on this computer, written for the main program to read.
#pragma once

#include <windows.h>

// Loads "<folder>orbex.dll" (trailing backslash), runs its InstallMap and
// writes section "map" of `sharedIni`: "initialized" 1 or 0 and
// "install_result" with the failing code (family bit cleared) and the
// library's system error. The library is unloaded before it returns.
void RunMapTestRun(const WCHAR* folder, const WCHAR* sharedIni);
