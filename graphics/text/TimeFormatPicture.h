// Pictures handed to the system's time and date formatting: the named time
// formats, the week codes of date pictures and a time picture built from the
// locale's own. No Win32 calls.
#pragma once

#include "graphics/time/ZoneTime.h"

// Longest picture passed on, in characters (without the NUL).
const int kPictureChars = 31;

// The time picture of a format name: false for no name, "" and "Default"
// (the locale's own format without seconds applies), else true with the
// picture of "24 hours", "12 hours", or the name itself cut to kPictureChars.
// Reads at most kPictureChars + 1 characters of `name`.
bool GetTimePicture(const WCHAR* name, WCHAR (&picture)[kPictureChars + 1]);

// The working date picture: false (and "") for no picture, "" and "None".
// Replaces \n by a line break, wd by the weekday counted from the first day
// of the week (0-6), wD by the same plus 1, ww by the week number in two
// digits and a lone w by the week number, then cuts to kPictureChars; with
// `singleLine` line breaks become blanks. Quotes do not protect from the
// codes. Reads at most 2 * kPictureChars + 1 characters of `picture`.
bool BuildDatePicture(const WCHAR* picture, const SYSTEMTIME& date, const WeekRules& rules, bool singleLine,
                      WCHAR (&working)[kPictureChars + 1]);

// A time picture that follows a locale's time format and separator: H or HH
// (h or hh and " tt" for a 12-hour clock), the separator, m or mm, and with
// seconds the separator and s or ss. `out` holds at least 12 characters.
void BuildTimePictureFrom(const WCHAR* localeFormat, const WCHAR* separator, bool withSeconds, WCHAR* out);
