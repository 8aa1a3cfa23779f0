// Ids of the resources the firing of alarms takes from the language
// resource library.
#pragma once

#include <windows.h>

const UINT kDlgShutdownCountdown = 156;
const UINT kDlgHibernateCountdown = 167;
const UINT kDlgStopPlaying = 159;
// The countdown's text, a format with one number: the seconds left.
const int kIdCountdownText = 1146;

const UINT kStrAlarmBoxCaption = 145;

// Language file sections of those dialogs.
extern const WCHAR kSectionShutdown[];
extern const WCHAR kSectionHibernate[];
extern const WCHAR kSectionStopPlaying[];
