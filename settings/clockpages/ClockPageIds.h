// Control ids and strings of the clock, desktop and formats pages, shared by
// their templates' users: the pages and the tests that drive them.
#pragma once

#include <windows.h>

// Clock pages (templates 166, 208, 209).
const int kIdcLocationText = 1160;
const int kIdcLocationButton = 1161;
const int kIdcUseDaylight = 1018;
const int kIdcAction = 1111;
const int kIdcUrl = 1009;
const int kIdcBrowse = 1071;
const int kIdcCaption = 1010;
const int kIdcCaptionShown = 1241;
const int kIdcOnDesktop = 1164;
const int kIdcInTaskbar = 1165;
const int kIdcFixedDuration = 1287;   // countdown
const int kIdcToDate = 1284;          // countdown
const int kIdcFromDate = 1306;        // timer
const int kIdcDays = 1288;
const int kIdcHours = 1289;
const int kIdcMinutes = 1290;
const int kIdcSeconds = 1291;
const int kIdcDate = 1285;
const int kIdcTime = 1286;

// Desktop and formats pages (templates 198, 197, 210).
const int kIdcPreview = 1086;
const int kIdcOpacity = 1151;
const int kIdcSkin = 1166;
const int kIdcOpaque = 1167;
const int kIdcTimeFormat = 1079;
const int kIdcDateFormat = 1080;
const int kIdcSecondsHand = 1254;
const int kIdcSuffix = 1255;

// The desktop slider: its position is 255 less the clock's opacity.
const int kOpacitySliderMax = 239;

// The click actions' names, by action 0..7.
const UINT kStrClickActions[8] = {200, 201, 202, 203, 204, 205, 231, 262};
const int kClickActionCount = 8;
// The action only timers have: start and stop.
const int kTimerOnlyAction = 7;
