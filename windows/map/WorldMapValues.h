// The world map host's rules that need no Win32: the texts of the map
// library's error codes, the saved window position and the map child's width.
#pragma once

#include "graphics/records/WinTypes.h"

// Bit 29 marks the map library's error codes: the family is this + the cause.
const DWORD kMapErrorFamily = 0x20000000;

// Longest text a map error box shows, with the terminator.
const int kMapErrorTextChars = 1024;

// The text of a map library code into `out` (`chars` with the NUL, cut and
// always terminated): empty for 0, "Unknown error <n>" for a code it does not
// know, n being the code without bit 29.
void MapErrorText(DWORD code, WCHAR* out, int chars);

// The codes whose box adds the system's message for GetLastSysError.
bool MapErrorHasSystemCause(DWORD code);

// The normal placement of the map window as "MapWindowPos" keeps it.
struct MapWindowPos {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
};

// Four decimal numbers of any length parted by blanks; false when one of them
// is missing (the saved position is then not used).
bool ParseMapWindowPos(const WCHAR* text, MapWindowPos* pos);

// The map child's width in a client area `clientWidth` wide of which the
// city list pane takes `paneWidth` at the right; never below 1 pixel.
int MapChildWidth(int clientWidth, int paneWidth);
