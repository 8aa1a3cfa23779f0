// Ids of the language strings the settings program shows.
#pragma once

#include <windows.h>

// Default texts that follow the language while the user leaves them alone.
const UINT kStrDefaultAlarmText = 122;
const UINT kStrNewAlarm = 172;
const UINT kStrNewBackground = 173;
const UINT kStrDefaultBackground = 219;
const UINT kStrWorkingHours = 220;

// Captions of the tree's fixed nodes.
const UINT kStrBackgrounds = 211;
const UINT kStrAlarms = 212;
const UINT kStrFormats = 213;
const UINT kStrDesktop = 214;
const UINT kStrTimePage = 215;
const UINT kStrGeneralPage = 216;
const UINT kStrTaskbarPage = 217;
const UINT kStrNewsPage = 243;
const UINT kStrProfilesPage = 267;
const UINT kStrCalendarPage = 270;

// Before the event name of a countdown to a date.
const UINT kStrCountdownTo = 256;

// The program's caption, and what the taskbar preview shows with nothing to draw.
const UINT kStrSettingsCaption = 149;
const UINT kStrNoPreview = 218;

// The settings dialog's question before it deletes a node, and its caption.
const UINT kStrDeleteQuestion = 124;
const UINT kStrDeleteCaption = 125;
