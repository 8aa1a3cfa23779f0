#include "windows/desktop/DesktopPlacement.h"

POINT DefaultAnchor(const RECT& work, const std::vector<RECT>& others)
{
    const RECT* highest = nullptr;
    for (const RECT& r : others) {
        bool inside = r.left > work.left && r.top >= work.top && r.top < work.bottom;
        if (inside && (!highest || r.top < highest->top))
            highest = &r;
    }
    if (highest)
        return {highest->right, highest->top};
    return {work.right, work.bottom};
}

void ResolveSavedOrigin(int origin, const RECT& work, int* x, int* y)
{
    if (origin == 1 || origin == 2)
        *x = work.right - *x - 1;
    if (origin == 2 || origin == 3)
        *y = work.bottom - *y - 1;
}

namespace {

// One axis of the rule: a window whose near quarter lies past the far edge
// comes back inside, and likewise at the near edge.
LONG KeepOnAxis(LONG low, LONG high, LONG workLow, LONG workHigh)
{
    LONG size = high - low;
    LONG quarter = size / 4;
    if (low + quarter >= workHigh)
        return workHigh - size;
    if (high - quarter <= workLow)
        return workLow;
    return low;
}

}  // namespace

POINT KeepOnWorkArea(const RECT& window, const RECT& work)
{
    return {KeepOnAxis(window.left, window.right, work.left, work.right),
            KeepOnAxis(window.top, window.bottom, work.top, work.bottom)};
}
