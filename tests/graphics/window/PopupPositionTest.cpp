#include <gtest/gtest.h>

#include <windows.h>

#include "graphics/window/PopupPosition.h"

TEST(PopupPosition, BelowAboveOrBesideTheAnchor)
{
    const RECT screen = {0, 0, 1280, 770};
    const RECT shortScreen = {0, 0, 1280, 300};
    struct Case {
        const char* name;
        RECT work, anchor;
        int width, height;
        POINT at;
    } cases[] = {
        {"below, centred on the right edge", screen, {600, 300, 700, 330}, 200, 100, {595, 330}},
        {"above at the bottom of the screen", screen, {1000, 740, 1100, 770}, 200, 100, {995, 640}},
        {"just no room below", screen, {600, 600, 700, 670}, 200, 100, {595, 500}},
        {"room below by one pixel", screen, {600, 600, 700, 669}, 200, 100, {595, 669}},
        {"above, flush with the top", screen, {600, 100, 700, 770}, 200, 100, {595, 0}},
        {"pushed left off the right edge", screen, {1200, 300, 1270, 330}, 200, 100, {1080, 330}},
        {"pushed right off the left edge", screen, {0, 300, 50, 330}, 200, 100, {0, 330}},
        {"beside, to the right", shortScreen, {500, 100, 560, 130}, 200, 250, {560, -10}},
        {"beside, to the left when the right is full", shortScreen, {1100, 100, 1180, 130}, 200, 250, {970, -10}},
        {"beside, right side reached exactly", shortScreen, {1000, 100, 1080, 130}, 200, 250, {870, -10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        POINT at = PlacePopup(c.work, c.anchor, c.width, c.height);
        EXPECT_EQ(c.at.x, at.x);
        EXPECT_EQ(c.at.y, at.y);
    }
}

TEST(PopupPosition, WindowClientCoordinatesBothWays)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 300, 200, 300, 200, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(nullptr, window);
    // in the screen the anchor is (310, 210)-(360, 230), far from every edge:
    // the popup goes below it, its x centred on the anchor's right edge
    POINT at = GetPopupPosition(window, RECT{10, 10, 60, 30}, 100, 50);
    EXPECT_EQ(60 - 50 - 5, at.x);
    EXPECT_EQ(30, at.y);
    DestroyWindow(window);
}
