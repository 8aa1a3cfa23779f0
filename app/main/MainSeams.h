// What the main window reaches in the windows and services that other parts
// of the program bring. Every member has a do-nothing body, so that a message
// whose window does not exist yet does nothing. GUI thread only, except
// IHttpDownloader, which a download worker calls.
#pragma once

#include <windows.h>

#include "graphics/records/AlarmRecord.h"
#include "graphics/records/ClockRecord.h"

// The main menu, the tray icon and the click actions.
class IMainMenu {
public:
    virtual ~IMainMenu() = default;
    virtual void OnCommand(WORD id) {}
    // The main menu at the cursor for no clock (current clock -1).
    virtual void ShowMainMenu() {}
    // The mouse on clock `index` (event code as sent by the tray clock, the
    // window of the clock); its result.
    virtual LRESULT OnClockMouse(int index, WPARAM event, HWND window) { return 0; }
    virtual void SetClockCountFlags(bool canAdd, bool canDelete) {}
    virtual void UpdateTrayTip() {}
    virtual void AddTrayIcon() {}
    virtual void CloseClockWindows() {}
    virtual void DestroyMainMenu() {}
    // The main menu for clock `index` with its desktop window's state; the
    // caller tracks its first submenu. Owned by the menu; null: no menu.
    virtual HMENU BuildClockMenu(int index, bool onTop, bool grouped) { return nullptr; }
};

// ControlTimerClock's operations.
const int kTimerReset = 0;
const int kTimerStop = 1;
const int kTimerStart = 2;

// Timers and stopwatches.
class ITimerClocks {
public:
    virtual ~ITimerClocks() = default;
    virtual void AdvanceTimer(ClockRecord& clock, const SYSTEMTIME& nowUtc) {}
    virtual void SaveTimerState() {}
    virtual bool IsPanelVisible() { return false; }
    virtual void SendSettingsChanged(WPARAM wParam, LPARAM lParam) {}
    // The operation on clock `clockIndex` (nothing when it is not valid).
    virtual void ControlTimerClock(int clockIndex, int operation) {}
    // A timer saved as running whose state is incomplete.
    virtual void RestartTimer(ClockRecord& clock) {}
    // The timer panel of clock `clockIndex` beside `beside`.
    virtual void ShowPanel(int clockIndex, HWND beside) {}
};

// The alarm windows and the reminder log.
class IReminderLog {
public:
    virtual ~IReminderLog() = default;
    virtual void Create() {}
    virtual void Show() {}
    virtual void Relocalize() {}
    virtual void Destroy() {}
    virtual void FireAlarm(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock) {}
    virtual void AddReminder(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock) {}
};

// The desktop clock windows.
class IDesktopClocks {
public:
    virtual ~IDesktopClocks() = default;
    // A window for every enabled clock of `clocks` that goes on the desktop;
    // false when one could not be made (those made so far stay).
    virtual bool Create(ClockRecord* clocks, int count) { return true; }
    // Before the clock array is freed.
    virtual void Destroy() {}
    // A new second began; `force` repaints even when none did.
    virtual bool GiveTime(bool force) { return false; }
    // Hides nest: true when this call hid the windows.
    virtual bool Hide() { return false; }
    // True when the windows are visible afterwards.
    virtual bool Show() { return true; }
    // To the top (`toDesktop`: through the desktop window, else each one
    // made the foreground window); false while hidden.
    virtual bool BringForward(bool toDesktop) { return false; }
    // Windows lying mostly outside their monitor's work area.
    virtual int CountOutsideWorkArea() { return 0; }
    virtual void KeepOnScreen() {}
    virtual void SavePositions() {}
    // Offers WM_COMMAND `wParam` to the windows; the one that took it, or null.
    virtual HWND DispatchCommand(WPARAM wParam) { return nullptr; }
    virtual HWND Find(uint32_t clockId) { return nullptr; }
    // One clock moved to or from the desktop: `clock` is element `index` of the array.
    virtual bool CreateOne(ClockRecord& clock, int index) { return false; }
    virtual void DestroyOne(uint32_t clockId) {}
};

// The calendar popup, the all-clocks dialog, the time table and the About box.
class IClockDialogs {
public:
    virtual ~IClockDialogs() = default;
    virtual void ShowCalendar() {}
    virtual void ReopenCalendar() {}
    // False when the dialog cannot be shown.
    virtual bool ShowAllClocks() { return true; }
    virtual void PostAllClocks(UINT message, WPARAM wParam, LPARAM lParam) {}
    virtual void UpdateTimeTable() {}
    virtual void ShowTimeTable() {}
    // False when the About dialog cannot be shown.
    virtual bool ShowAbout() { return true; }
    // An open About dialog comes to the top: true; false when none is open.
    virtual bool RaiseAbout() { return false; }
    virtual void CloseAbout() {}
};

// The world map window.
class IWorldMap {
public:
    virtual ~IWorldMap() = default;
    virtual HWND Window() { return nullptr; }
    // Opens the map or brings it to the front; the city of `clock`'s location
    // is shown when it is one (null: the tray icon's menu, no clock).
    virtual void Open(const ClockRecord* clock) {}
    virtual void Close() {}
};

// The news reader: cache, downloads and its windows.
class INewsReader {
public:
    virtual ~INewsReader() = default;
    // The per-user data folder; true when feeds can be registered (AddFeed
    // becomes the settings loader's feed callback).
    virtual bool CreateDataFolder(HWND mainWindow) { return false; }
    // One feed section of the settings; true when the feed was registered.
    virtual bool AddFeed(const WCHAR* url, int ttlMinutes, int index, bool expanded, bool enabled) { return false; }
    virtual void LoadCache() {}
    virtual void RefreshDueFeeds() {}
    // The menu's "refresh now": every feed, due or not.
    virtual void RefreshAllFeeds() {}
    virtual LRESULT OnProgress(WPARAM status, LPARAM progress) { return 0; }
    virtual void ShowChannelWindow() {}
    virtual void HidePopup() {}
    virtual void SendSettingsChanged(WPARAM wParam, LPARAM lParam) {}
    virtual void ClearChannels() {}
    virtual void RemoveUnregisteredChannels() {}
    virtual void RefreshWindows() {}
};

// City photo downloads.
class ICityPhotos {
public:
    virtual ~ICityPhotos() = default;
    virtual void Request(int32_t cityIndex, HWND requester) {}
    virtual void Stop() {}
};

// Fetches a URL into a file; called on a download worker thread.
class IHttpDownloader {
public:
    virtual ~IHttpDownloader() = default;
    // The HTTP status (200 = the file was written); 0 when nothing was reached.
    virtual int Download(const WCHAR* url, const WCHAR* file) { return 0; }
};

// Starts a program as the shell does; the restart and the settings program.
class IProgramStarter {
public:
    virtual ~IProgramStarter() = default;
    virtual bool Start(const WCHAR* file, const WCHAR* parameters, const WCHAR* folder) = 0;
};

class CShellProgramStarter : public IProgramStarter {
public:
    bool Start(const WCHAR* file, const WCHAR* parameters, const WCHAR* folder) override;
};

// The visual-style functions and the language resource library, loaded
// again when the system's settings change.
class ILanguageReload {
public:
    virtual ~ILanguageReload() = default;
    virtual void Reload() {}
};

// Null members take the do-nothing bodies.
struct MainSeams {
    IMainMenu* menu;
    ITimerClocks* timers;
    IReminderLog* log;
    IDesktopClocks* desktop;
    IClockDialogs* dialogs;
    IWorldMap* map;
    INewsReader* news;
    ICityPhotos* photos;
    IHttpDownloader* http;
    IProgramStarter* starter;
    ILanguageReload* language;
};
