// The TAB-separated field splitter of the text data files, and a character count.
#pragma once

#include "graphics/records/WinTypes.h"

// Splits `line` into at most `capacity` fields. A field ends at TAB, NUL, CR or
// LF; a line that starts with NUL, CR or LF has none, and a TAB right before
// the line end starts no further field. The pointers point into `line`; the
// fields are not terminated, `lengths` (may be null) gives their lengths in
// characters. Returns the number of fields.
int SplitFields(const WCHAR* line, const WCHAR** fields, int* lengths, int capacity);

// Occurrences of `ch` in the NUL-terminated `text` (0 for null).
int CountChar(const WCHAR* text, WCHAR ch);
