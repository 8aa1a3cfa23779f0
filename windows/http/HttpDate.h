// The HTTP "Date" header, read strictly: the three forms HTTP/1.1 allows
// (RFC 9110: IMF-fixdate, the obsolete RFC 850 form and asctime), in GMT,
// of a day that exists. No Win32 here.
#pragma once

#include "graphics/records/WinTypes.h"

// UTC into `out` (day of the week computed, milliseconds 0); false and a
// year of 0 for anything else.
bool ParseHttpDate(const WCHAR* text, SYSTEMTIME* out);
