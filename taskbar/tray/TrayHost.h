// The hook library's state inside the taskbar's process, and the operations
// of attaching to and detaching from the taskbar's clock window. Taskbar GUI
// thread only.
#pragma once

#include <windows.h>

#include "taskbar/tray/TrayCopies.h"

class CClockPanel;
class CTooltip;

struct TrayHost {
    TrayCopies copies;
    HINSTANCE taskbarModule;      // the window classes are registered under it
    HMODULE languageLibrary;
    HMODULE dwmapi;
    LONG_PTR savedExStyle;
    ULONG_PTR savedClassStyle;
    bool visible;
    bool compositionOn;
    LPARAM lastMouse;             // -1: none
    int contextClock;
    int sizing;                   // re-entrancy of the sizing
    bool menuNewClocks;
    bool menuSeveralClocks;
    bool pinned;                  // the library stays loaded while it subclasses
    uint64_t detachedHook;        // the hook under which the clock was last detached
    LONG_PTR ownPrevious;         // the clock's procedure before ours, kept here too
};

extern TrayHost g_host;
extern CClockPanel g_clockPanel;
extern CTooltip g_tooltip;

void AttachTrayClock(HWND trayClock);
void DetachTrayClock();
LRESULT CALLBACK TrayClockWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// DwmEnableBlurBehindWindow; 1 when composition functions are not loaded.
HRESULT SetTaskbarBlurBehind(HWND window, BOOL enable);
bool QueryCompositionOn();
void RestartTrayTimer(HWND trayClock);
bool IsTaskbarHorizontal();
// Reply of the main window, 0 when it is gone, hung or too slow.
LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs);
void AllowMainToForeground();
