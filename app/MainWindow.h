// The hidden main window "TempolanClass".
#pragma once

#include <windows.h>

HWND FindMainWindow();
// Registers the class and creates the window, which is never shown.
HWND CreateMainWindow(HINSTANCE instance);
void UnregisterMainWindowClass(HINSTANCE instance);
