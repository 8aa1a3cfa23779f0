// The main menu: resource "MENU_Main" of the language library and its
// command ids. The main program shows it for the tray icon and the desktop
// clocks, the tray clock for the taskbar clocks; both deliver its commands to
// the main window as WM_COMMAND, so the ids are fixed.
#pragma once

#include <windows.h>

const WORD kMainMenuResource = 105;
const WCHAR kMainMenuSection[] = L"MENU_Main";

const WORD kCmdDesktopGroup = 101;      // a desktop clock moves with its group
const WORD kCmdToggleDesktop = 102;     // the clock to the desktop or back
const WORD kCmdDesktopOnTop = 103;      // a desktop clock stays on top
const WORD kCmdClockSettings = 107;
const WORD kCmdAbout = 108;
const WORD kCmdUpdatePage = 110;
const WORD kCmdUserGuide = 114;
const WORD kCmdDateTimePanel = 115;
const WORD kCmdSetSystemZone = 401;
const WORD kCmdShowLog = 402;
const WORD kCmdAllClocks = 407;
const WORD kCmdCalendar = 408;
const WORD kCmdWorldMap = 410;
const WORD kCmdCityPhotos = 412;
const WORD kCmdNewAlarm = 414;
const WORD kCmdBackToTaskbar = 420;     // a desktop clock's item, which takes kCmdToggleDesktop's id
const WORD kCmdZoneSettings = 424;
const WORD kCmdSkinSettings = 425;
const WORD kCmdFormatSettings = 426;
const WORD kCmdAlarmSettings = 427;
const WORD kCmdProfileSettings = 428;
const WORD kCmdTaskbarSettings = 429;
const WORD kCmdSyncSettings = 430;
const WORD kCmdGeneralSettings = 431;
const WORD kCmdTimeTable = 432;
const WORD kCmdNewsWindow = 437;
const WORD kCmdNewsSettings = 438;
const WORD kCmdRefreshNews = 439;
const WORD kCmdStartTimer = 443;
const WORD kCmdStopTimer = 445;
const WORD kCmdResetTimer = 448;
const WORD kCmdNewClock = 450;
const WORD kCmdNewTimer = 451;
const WORD kCmdNewStopwatch = 453;
const WORD kCmdShowDesktopClocks = 455;
const WORD kCmdFirstProfile = 3000;     // + the profile's index
const int kMenuProfileCount = 12;
const WORD kCmdFirstAlarm = 4000;       // + the alarm's index
const int kMenuAlarmCount = 20;
