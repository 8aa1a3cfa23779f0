// printf-style formats that come from translations and carry one number or
// one text.
#pragma once

#include "graphics/records/WinTypes.h"

// Writes `format` with `value` in place of its one integer conversion
// ("%d", "%i" or "%u", with flags, width, precision and an "h" or "l" size)
// into `out` (`cap` characters with the NUL; truncated, always terminated).
// "%%" gives "%". A format with no conversion, more than one, or any other
// conversion gives the number alone. Returns the length written.
int FormatWithOneNumber(const WCHAR* format, int32_t value, WCHAR* out, int cap);

// The same for formats that may use the number up to `most` times, each
// conversion with its own flags; more than `most` gives the number alone.
int FormatWithNumber(const WCHAR* format, int32_t value, int most, WCHAR* out, int cap);

// True when `format` holds exactly one integer conversion as above.
bool IsOneNumberFormat(const WCHAR* format);

// Writes `format` with `text` in place of its one "%s" ("%%" gives "%");
// any other format (none, two, or another conversion) gives the format's
// text, a blank and `text`. Truncated to `cap` characters with the NUL,
// always terminated. Returns the length written.
int FormatWithOneText(const WCHAR* format, const WCHAR* text, WCHAR* out, int cap);
