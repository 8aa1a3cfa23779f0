// Where a popup opens next to a clock.
#pragma once

#include <windows.h>

// The top left of a `width` x `height` popup beside `anchor`, both in screen
// coordinates, kept within `workArea`: below the anchor when it fits, else
// above, else beside it (right of it, or left when the right side is full).
// Calls no system function.
POINT PlacePopup(const RECT& workArea, const RECT& anchor, int width, int height);

// The primary monitor's work area; the desktop's rectangle when it cannot be read.
RECT PrimaryWorkArea();
// The work area of `window`'s monitor (the primary one when it is on none).
RECT MonitorWorkArea(HWND window);

// The same for an anchor in `window`'s client coordinates, within the work
// area of the window's monitor (the primary one when it is on none); the
// result is in the window's client coordinates.
POINT GetPopupPosition(HWND window, const RECT& anchor, int width, int height);
