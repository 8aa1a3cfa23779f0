// The clock pages' rules over plain values: the duration fields, the
// caption a chosen city gives, and the format lists. No Win32 here.
#pragma once

#include <stdint.h>

#include "graphics/records/WinTypes.h"

// The four duration fields (days, hours, minutes, seconds) of a countdown:
// -1 with the total in `*seconds` when they are valid, else the index of the
// field to blame: a field that holds no number or days outside 0..999 blame
// that field, a total of 0 or one beyond a timer's 32 bits the days.
int FindInvalidDurationField(const WCHAR* const fields[4], int64_t* seconds);

// The caption for a chosen city: its name up to the first comma, at most
// kCityCaptionChars characters, into `out` (kCityCaptionChars + 1).
const int kCityCaptionChars = 30;
void CityCaption(const WCHAR* cityName, WCHAR* out);

// One entry of a format list: the literal the settings store and the
// language string it is shown under (0: shown as the literal).
struct FormatEntry {
    const WCHAR* literal;
    uint32_t stringId;
};
enum FormatList { kTimeFormatList, kDateFormatList, kTimerFormatList };
const FormatEntry* FormatListEntries(FormatList list, int* count);
// The date list's last entry is kept as shown, in the user's language.
bool StoresShownText(FormatList list, int index);

// The entry a box's text stands for: the first whose shown text equals it,
// else the last whose literal does; -1 for a text of the user's own.
// `shown` holds the list's shown texts in list order.
int FindFormatEntry(FormatList list, const WCHAR* const* shown, const WCHAR* text);
