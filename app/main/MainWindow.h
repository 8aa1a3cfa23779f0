// The hidden main window "TempolanClass".
#pragma once

#include <windows.h>

HWND FindMainWindow();
class CMainProgram;

// Registers the class and creates the window, which is never shown; the
// window drives `program`.
HWND CreateMainWindow(HINSTANCE instance, CMainProgram& program);
void UnregisterMainWindowClass(HINSTANCE instance);
// The main window's procedure; WM_CREATE's parameter is the CMainProgram.
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
