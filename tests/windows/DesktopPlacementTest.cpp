#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "windows/desktop/DesktopPlacement.h"

// In the global namespace, where gtest looks for them beside RECT and POINT
static bool operator==(const POINT& a, const POINT& b)
{
    return a.x == b.x && a.y == b.y;
}

static bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

namespace {

const RECT kWork = {0, 0, 1280, 760};

// Three windows placed one after another by their anchors: the first in the
// work area's corner, each next one above the one before, right-aligned.
TEST(DesktopPlacement, DefaultPlacesStackUpwardsFromTheCorner)
{
    const SIZE sizes[3] = {{120, 40}, {80, 30}, {200, 60}};
    std::vector<RECT> placed;
    for (const SIZE& s : sizes) {
        POINT anchor = DefaultAnchor(kWork, placed);
        placed.push_back({anchor.x - s.cx, anchor.y - s.cy, anchor.x, anchor.y});
    }
    EXPECT_EQ((RECT{1160, 720, 1280, 760}), placed[0]);
    EXPECT_EQ((RECT{1200, 690, 1280, 720}), placed[1]);
    EXPECT_EQ((RECT{1080, 630, 1280, 690}), placed[2]);
}

// Windows outside the work area, or at its left edge, are no anchor.
TEST(DesktopPlacement, OnlyWindowsInsideTheWorkAreaAnchor)
{
    std::vector<RECT> others = {{0, 100, 50, 150},        // at the left edge
                                {300, -80, 400, -10},     // above the work area
                                {300, 760, 400, 800},     // below it
                                {500, 400, 600, 450}};    // the one
    POINT anchor = DefaultAnchor(kWork, others);
    EXPECT_EQ(600, anchor.x);
    EXPECT_EQ(400, anchor.y);
    others.pop_back();
    anchor = DefaultAnchor(kWork, others);
    EXPECT_EQ(1280, anchor.x);
    EXPECT_EQ(760, anchor.y);
}

TEST(DesktopPlacement, SavedOriginsCountFromTheirCorner)
{
    struct {
        int origin, x, y, wantX, wantY;
    } table[] = {
        {0, 10, 20, 10, 20},
        {1, 10, 20, 1269, 20},   // right - 11
        {2, 10, 20, 1269, 739},
        {3, 10, 20, 10, 739},
        {7, 10, 20, 10, 20},     // unknown: from the top left
    };
    for (auto& c : table) {
        SCOPED_TRACE(c.origin);
        int x = c.x, y = c.y;
        ResolveSavedOrigin(c.origin, kWork, &x, &y);
        EXPECT_EQ(c.wantX, x);
        EXPECT_EQ(c.wantY, y);
    }
}

TEST(DesktopPlacement, AQuarterOfTheWindowStaysOnTheWorkArea)
{
    struct {
        const char* name;
        RECT window;
        POINT want;
    } table[] = {
        {"inside", {100, 100, 200, 140}, {100, 100}},
        {"more than a quarter on the left", {-74, 100, 26, 140}, {-74, 100}},
        {"a quarter on the left", {-75, 100, 25, 140}, {0, 100}},
        {"more than a quarter on the right", {1254, 100, 1354, 140}, {1254, 100}},
        {"a quarter on the right", {1255, 100, 1355, 140}, {1180, 100}},
        {"minimised far away", {-32000, -32000, -31840, -31972}, {0, 0}},
        {"more than a quarter above the bottom", {100, 749, 200, 789}, {100, 749}},
        {"a quarter above the bottom", {100, 750, 200, 790}, {100, 720}},
    };
    for (auto& c : table) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.want, KeepOnWorkArea(c.window, kWork));
    }
}

}  // namespace
