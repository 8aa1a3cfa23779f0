// The main menu, the tray icon and the clocks' click actions: what the user
// reaches of the main program without a window of its own. GUI thread only.
#pragma once

#include <windows.h>

#include "app/alarms/AlarmSeams.h"
#include "app/main/MainSeams.h"
#include "app/menu/MenuSeams.h"
#include "app/menu/TrayIcon.h"
#include "graphics/records/ClockRecord.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/records/SettingsPaths.h"
#include "graphics/menu/ClockMenu.h"
#include "graphics/system/Handles.h"
#include "graphics/time/ZoneTime.h"

class CCityList;
class CLanguage;

// The texts the copy action puts on the clipboard: prefix, time and date of
// a time clock at `nowUtc` (a desktop clock's own time when it shows one),
// prefix and value of a timer.
void FormatClockClipboardText(const ClockRecord& clock, const SYSTEMTIME& nowUtc, const CLanguage& language,
                              const WeekRules& rules, WCHAR* out, int chars);

// The address of the city photo page of a clock's `location` into `out` of
// kWebAddressChars: its city's country and name when the location is a known
// city, else the location, cut before a part that does not fit.
void FormatCityPhotoPage(const WCHAR* location, const CCityList* cities, DWORD affiliateId, WCHAR* out);

// What the menu reaches of the main program.
class IMenuHost {
public:
    virtual ~IMenuHost() = default;
    virtual HWND MainWindow() = 0;
    virtual ClockRecord* Clocks() = 0;
    virtual int ClockCount() = 0;
    virtual const SettingsBlock& ProgramSettings() = 0;
    virtual const SettingsPaths& Paths() = 0;
    virtual const LocalZoneState& LocalZone() = 0;
    virtual bool IsTaskbarHookInPlace() = 0;
    virtual int TaskbarClockCount() = 0;
    virtual void SetTaskbarClockCount(int count) = 0;
    virtual void SaveState() = 0;
    virtual void SendDataToTrayClock() = 0;
    virtual void SetSystemZone(const ClockRecord& clock) = 0;
    virtual SYSTEMTIME NowUtc() = 0;
    // The other windows; every member is set.
    virtual const MainSeams& Seams() = 0;
};

struct MainMenuServices {
    const CLanguage* language;  // texts and the resource library
    HINSTANCE program;          // the program's icon and own strings
    const WCHAR* programFolder; // with a trailing "\"
    const CCityList* cities;    // may be null
    IProgramStarter* starter;
    IClipboard* clipboard;
    ITrayIconApi* tray;
    ICommandRunner* runner;
    IAlarmMessageBox* messages; // the failure boxes
};

// The program's own strings of the menu's failures.
const UINT kOwnErrorCaption = 102;
const UINT kOwnAboutFailed = 103;
const UINT kOwnMenuFailed = 105;

// Click actions of a clock.
const uint32_t kClickCalendar = 0;
const uint32_t kClickOpenText = 1;
const uint32_t kClickSettings = 2;
const uint32_t kClickAllClocks = 3;
const uint32_t kClickDateTimePanel = 4;
const uint32_t kClickCopy = 5;
const uint32_t kClickTimeTable = 6;
const uint32_t kClickTimerToggle = 7;

class CMainMenu : public IMainMenu {
public:
    explicit CMainMenu(const MainMenuServices& services);
    CMainMenu(const CMainMenu&) = delete;
    CMainMenu& operator=(const CMainMenu&) = delete;
    // Before the main window exists.
    void SetHost(IMenuHost* host) { m_host = host; }

    void OnCommand(WORD id) override;
    void ShowMainMenu() override;
    LRESULT OnClockMouse(int index, WPARAM event, HWND window) override;
    void UpdateTrayTip() override { m_tray.Update(); }
    void AddTrayIcon() override;
    void CloseClockWindows() override;
    void DestroyMainMenu() override { m_menu.Reset(); }
    HMENU BuildClockMenu(int index, bool onTop, bool grouped) override;

    // The clock whose menu or click is handled; -1 for the tray icon.
    int CurrentClock() const { return m_current; }
    const CTrayIcon& TrayIcon() const { return m_tray; }
    // The program folder's settings.exe with `format` filled with the two
    // numbers, after the state was saved; false when it did not start.
    bool StartSettings(const WCHAR* format, int a = 0, int b = 0);
    // -1 a new timer, 0 a new clock, 1 a new stopwatch.
    bool StartSettingsNew(int kind);
    void OnClockClick(int index);
    void ToggleOnDesktop();
    bool OpenCityPhotoPage(int index);

private:
    // The current clock, checked again: a reload in a menu loop may have
    // replaced the array. Null when the index is not valid.
    ClockRecord* Current();
    HMENU Build(const ClockRecord* clock, bool onTop, bool grouped);
    void ShowMenuFailure();
    void RunClickText(const WCHAR* text);
    void CopyClockText(const ClockRecord& clock);
    void Post(WORD command);

    MainMenuServices m_services;
    IMenuHost* m_host;
    CMenu m_menu;
    CTrayIcon m_tray;
    int m_current;
};
