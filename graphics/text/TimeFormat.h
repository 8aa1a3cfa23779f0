// Times and dates as the clocks show them, through the system's formatting
// in the language's locale.
#pragma once

#include "graphics/time/ZoneTime.h"

class ILanguageStrings;

// Output sizes, in characters with the NUL.
const int kTimeTextChars = 289;
const int kDateTextChars = 80;

// Text shown for a time or date the system cannot format.
extern const WCHAR kFormatErrorText[];

// `out` holds kTimeTextChars. `name`: null, "" or "Default" for the locale's
// format without seconds, "24 hours", "12 hours", or a GetTimeFormatW picture
// (cut to 31 characters). "Error!" when the system fails.
void FormatTime(const ILanguageStrings& language, WCHAR* out, const SYSTEMTIME& time, const WCHAR* name);

// `out` holds kDateTextChars. `picture`: GetDateFormatW codes plus the week
// codes wd, wD, ww, w and \n (see BuildDatePicture); null, "" or "None" give
// "". `rules` give the week numbering and the first day of the week.
// "Error!" when the system fails.
void FormatDate(const ILanguageStrings& language, WCHAR* out, const SYSTEMTIME& date, const WCHAR* picture,
                bool singleLine, const WeekRules& rules);

// A time picture following the user's locale; `out` holds at least 12 characters.
void BuildLocaleTimeFormat(WCHAR* out, bool withSeconds);

// GetLocaleInfoW into a buffer cleared first; the length with the NUL, 0 on failure.
int GetLocaleText(LCID lcid, LCTYPE item, WCHAR* out, int chars);
