// Names of the language files and of the keys in them. No Win32 calls.
#pragma once

#include "graphics/records/WinTypes.h"

// Characters of a path buffer, with the NUL (MAX_PATH).
const int kLanguagePathChars = 260;
// A program folder longer than this leaves no room for the file name.
const int kLanguageFolderMaxChars = 247;

// Lower-cases ASCII letters in place; other characters stay.
void LowerAsciiCode(WCHAR* code);

// The code a language file uses for the two-letter code `code`: codes taken
// from abbreviated language names ("jp" of "JPN") that differ from the ISO
// name ("ja"). `out` holds 3 characters; other codes are copied unchanged.
void FixOldLanguageCode(const WCHAR code[2], WCHAR out[3]);

// folder + "\" (unless the folder ends in one) + appName + "_" + the first two
// letters of `code` + extension, into `out` (kLanguagePathChars). `code` is
// expected lower-case; a one-letter code adds no letter. `fixOldCode` maps
// the old codes (FixOldLanguageCode). False, with an empty `out`, when the
// folder or application name is empty, the folder is longer than
// kLanguageFolderMaxChars or the path does not fit.
bool BuildLanguageIniPath(WCHAR* out, const WCHAR* folder, const WCHAR* appName, const WCHAR* code,
                          bool fixOldCode, const WCHAR* extension);

// Reduces a menu text to an INI key in place: keeps ASCII letters, digits,
// "-", "." and "_", turns blanks into "_" and drops everything else ("&Time
// zones..." becomes "Time_zones..."). `length` is the size of the buffer in
// characters; the key always ends with a NUL inside it. Returns its length.
int MakeMenuKey(WCHAR* text, int length);
