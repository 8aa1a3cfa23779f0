// Where desktop clock windows go: the default place of a window without a
// saved one, saved positions counted from any corner of the work area, and
// the rule that keeps a window on its monitor's work area.
#pragma once

#include <windows.h>

#include <vector>

// The point a new window's bottom-right corner goes to: the top-right corner
// of the highest window already placed inside the work area (so windows stack
// upwards, right-aligned), else the work area's bottom-right corner.
POINT DefaultAnchor(const RECT& work, const std::vector<RECT>& others);

// A saved coordinate ("dsk_org": 0 top left, 1 x from the right, 2 x and y
// from the right and the bottom, 3 y from the bottom) counted from the left
// and the top. Other origins count as 0.
void ResolveSavedOrigin(int origin, const RECT& work, int* x, int* y);

// The top-left corner `window` moves to so that more than a quarter of its
// width and height stays inside `work`; its own top-left when it is in place.
POINT KeepOnWorkArea(const RECT& window, const RECT& work);
