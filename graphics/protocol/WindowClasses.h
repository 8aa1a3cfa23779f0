// Window class names other processes look for, defined once.
#pragma once

#include <windows.h>

const WCHAR kMainWindowClass[] = L"TempolanClass";
const WCHAR kSettingsWindowClass[] = L"TL_SETTINGS";
// The settings program's location chooser, the map beside the city list.
const WCHAR kLocationChooserClass[] = L"Tempolan World Map";
const WCHAR kLogWindowClass[] = L"Tempolan_Log_Window";
// The world map's OpenGL child window (orbex.dll).
const WCHAR kMapWindowClass[] = L"Tempolan 3D map window - OpenGL version";
// The classes of the graphics library's own windows (desktop clocks, popups).
const WCHAR kGenericWindowClass[] = L"KG_Generic_Window";
const WCHAR kLayeredWindowClass[] = L"KG_Layered_Window";

// The shell's windows: the taskbar, its notification area and its clock.
const WCHAR kTaskbarClass[] = L"Shell_TrayWnd";
const WCHAR kTrayNotifyClass[] = L"TrayNotifyWnd";
const WCHAR kTrayClockClass[] = L"TrayClockWClass";
