// The modal question which kind of clock Add makes (template 207).
#pragma once

#include <windows.h>

class CLanguage;

enum ClockTypeChoice : int {
    kChoiceNone = 0,       // cancelled
    kChoiceClock = 1,
    kChoiceCountdown = 2,
    kChoiceTimer = 3,
};

// Centred over `owner`, which it disables while it is open.
ClockTypeChoice ChooseClockType(HWND owner, const CLanguage& language);
