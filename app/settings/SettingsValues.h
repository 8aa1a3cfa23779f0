// The text forms of typed values in the settings files. No Win32 here.
#pragma once

#include <stddef.h>
#include "graphics/records/WinTypes.h"

// Longest value a typed writer produces, without the terminator.
const size_t kMaxTypedValueChars = 255;

// Bits of a font style value.
const int kFontStyleItalic = 1;
const int kFontStyleBold = 8;

// A decimal count of milliseconds, returned in 100-ns units. False when the
// text does not start with a digit or the count does not fit.
bool ParseMsValue(const WCHAR* text, int64_t* value100ns);
// Writes value / 10000 in decimal; `chars` of at least 24 always suffices.
bool FormatMsValue(int64_t value100ns, WCHAR* out, size_t chars);

// "yyyy.mm.dd hh:mm:ss" with up to 4 digits for the year and 2 for the rest,
// blanks allowed before each number; what follows the seconds is ignored. Fills
// year to second and clears the rest; the date itself is not checked here.
bool ParseTimeStampValue(const WCHAR* text, SYSTEMTIME* value);
// "%04u.%02hu.%02u %02u:%02u:%02u" followed by `text` (may be null), cut to
// kMaxTypedValueChars and to `chars` - 1.
void FormatTimeStampValue(const SYSTEMTIME& value, const WCHAR* text, WCHAR* out, size_t chars);

// `count` signed decimal numbers of any length, each after optional blanks;
// between two of them `separator` follows the number directly (0: none, the
// next number's blanks part them). What follows the last one is ignored.
// False when a number is missing or does not fit 32 bits.
bool ParseNumberList(const WCHAR* text, WCHAR separator, int32_t* values, int count);

// kFontStyleBold and kFontStyleItalic for "bold" and "italic" anywhere in the text, any case.
int ParseFontStyle(const WCHAR* text);

// A duration typed in four fields: days (0..999), hours, minutes, seconds,
// each a decimal number (its leading digits, an optional minus before them).
// The total in seconds; false when a field holds no number, the days are out
// of range, or the total is below 0 or above 2,147,483,647 (a timer's 32 bits).
bool ParseDurationFields(const WCHAR* days, const WCHAR* hours, const WCHAR* minutes, const WCHAR* seconds,
                         int64_t* total);
