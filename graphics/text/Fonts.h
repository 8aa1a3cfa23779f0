// Fonts with the character set of the user's locale.
#pragma once

#include <windows.h>

// Style flags of BuildLogFont and CreateTextFont.
const DWORD kFontItalic = 1;
const DWORD kFontUnderline = 2;
const DWORD kFontStrikeOut = 4;
const DWORD kFontBold = 8;  // only when the weight is 0: it becomes FW_BOLD

// The character set that goes with an ANSI code page; 0 when the code page is
// not one of ours or maps to ANSI_CHARSET, which means "take the screen's".
BYTE CharsetForCodePage(UINT codePage);

// A size above 0 is in points and becomes a negative pixel height at
// `pixelsPerInch`; 0 or less is a pixel value used as it is.
LONG FontPixelsFromSize(int size, int pixelsPerInch);

// Fills `font` for the screen at the given resolution and character set;
// `face` (may be null) is cut to 31 characters. No device is consulted.
void FillLogFont(const WCHAR* face, int width, int size, int weight, DWORD flags, int dpiX, int dpiY,
                 BYTE charset, LOGFONTW* font);

// The same for the screen, with the user locale's character set (the
// screen's when the locale gives none). False when there is no screen DC.
bool BuildLogFont(const WCHAR* face, int width, int size, int weight, DWORD flags, LOGFONTW* font);

// A font from BuildLogFont; null on failure. The caller deletes it.
HFONT CreateTextFont(const WCHAR* face, int width, int size, int weight, DWORD flags);
