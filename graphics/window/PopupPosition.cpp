#include "graphics/window/PopupPosition.h"

namespace {

// Room the popup keeps from the anchor's right edge.
const int kBelowInset = 5;
const int kBesideGap = 10;

}  // namespace

POINT PlacePopup(const RECT& workArea, const RECT& anchor, int width, int height)
{
    POINT at;
    if (anchor.bottom + height < workArea.bottom) {
        at.y = anchor.bottom;
        at.x = anchor.right - width / 2 - kBelowInset;
    } else if (anchor.top - height >= workArea.top) {
        at.y = anchor.top - height;
        at.x = anchor.right - width / 2 - kBelowInset;
    } else {
        at.y = (anchor.top - height + anchor.bottom) / 2;
        at.x = anchor.right + width >= workArea.right ? anchor.right - width - kBesideGap : anchor.right;
    }
    if (at.x + width > workArea.right)
        at.x = workArea.right - width;
    else if (at.x < workArea.left)
        at.x = workArea.left;
    return at;
}

RECT PrimaryWorkArea()
{
    RECT work;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        GetWindowRect(GetDesktopWindow(), &work);
    return work;
}

RECT MonitorWorkArea(HWND window)
{
    MONITORINFO monitor = {sizeof(monitor)};
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return PrimaryWorkArea();
    return monitor.rcWork;
}

POINT GetPopupPosition(HWND window, const RECT& anchor, int width, int height)
{
    RECT screen = anchor;
    MapWindowPoints(window, nullptr, (POINT*)&screen, 2);
    POINT at = PlacePopup(MonitorWorkArea(window), screen, width, height);
    ScreenToClient(window, &at);
    return at;
}
