// What other processes send the settings program's window ("TL_SETTINGS"):
// the main program and a second start of the settings program.
#pragma once

#include <windows.h>

#include <stdint.h>

// A command for the settings dialog: wParam the SettingsCommandCode, lParam
// PackSettingsCommand(n, m). Code 0 does nothing.
const UINT UM_SETTINGSCOMMAND = WM_USER + 2;
// Posted when a clock was moved to the desktop or back: wParam the clock's
// id, lParam non-zero on the desktop, 0 in the taskbar.
const UINT UM_SETCLOCKONDESKTOP = WM_USER + 5;
// A second start ends the modal location chooser before its command comes.
const UINT UM_CLOSEMODAL = WM_USER + 10;
// The time page's synchronisation thread reports; passed on to that page.
const UINT UM_SYNCSTATUS = 0x800E;

// What the settings program is asked to show or do, by its command line
// ("/alarm3.1") or by UM_SETTINGSCOMMAND. N is a clock's id, M a position
// counted from 0.
enum SettingsCommandCode : uint32_t {
    kSettingsNoCommand = 0,
    kSettingsNewClock = 1,
    kSettingsDeleteClock = 2,     // N
    kSettingsShowClock = 3,       // N, a bare number
    kSettingsNewAlarm = 4,        // N
    kSettingsZonePage = 5,        // N
    kSettingsDesktopPage = 6,     // N
    kSettingsFormatsPage = 7,     // N
    kSettingsAlarmList = 8,       // N
    kSettingsAlarm = 9,           // N, M
    kSettingsBackgroundList = 10, // N
    kSettingsBackground = 11,     // N, M
    kSettingsTaskbarPage = 12,
    kSettingsSyncPage = 13,
    kSettingsGeneralPage = 14,
    kSettingsNewsPage = 15,
    kSettingsNewCountdown = 16,
    kSettingsNewTimer = 17,
};

// N and M share lParam; each must fit 16 bits.
inline LPARAM PackSettingsCommand(uint32_t n, uint32_t m)
{
    return (LPARAM)(m * 65536u + n);
}
inline uint32_t SettingsCommandClock(LPARAM packed)
{
    return (uint32_t)packed & 0xFFFFu;
}
inline uint32_t SettingsCommandPosition(LPARAM packed)
{
    return ((uint32_t)packed >> 16) & 0xFFFFu;
}
