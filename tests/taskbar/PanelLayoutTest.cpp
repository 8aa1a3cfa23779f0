#include <gtest/gtest.h>

#include <vector>

#include "taskbar/panel/PanelLayout.h"

namespace {

// Items per line, read back from the boxes: a new line starts where an
// item does not continue along the previous one.
std::vector<int> LineSizes(const PanelBox* boxes, int count, bool horizontal)
{
    std::vector<int> sizes;
    for (int i = 0; i < count; i++) {
        bool newLine = i == 0 || (horizontal ? boxes[i].left != boxes[i - 1].left : boxes[i].top != boxes[i - 1].top);
        if (newLine)
            sizes.push_back(0);
        sizes.back()++;
    }
    return sizes;
}

struct BreakCase {
    const char* name;
    std::vector<int32_t> lengths;
    int room;
    std::vector<int> expected;
};

}  // namespace

TEST(PanelLayout, BreaksGreedilyThenBalances)
{
    // 10-pixel clocks, spacing 2: three fit on a 40-pixel line with a spacing to spare.
    const BreakCase cases[] = {
        {"one clock", {10}, 40, {1}},
        {"three fit", {10, 10, 10}, 40, {3}},
        {"four become two and two", {10, 10, 10, 10}, 40, {2, 2}},
        {"five stay three and two", {10, 10, 10, 10, 10}, 40, {3, 2}},
        {"seven become two, three, two", {10, 10, 10, 10, 10, 10, 10}, 40, {2, 3, 2}},
        {"a wide clock sits alone", {10, 50, 10}, 40, {1, 1, 1}},
        {"a wide first clock sits alone", {50, 10, 10}, 40, {1, 2}},
        {"no spare spacing: a new line", {10, 10, 10}, 35, {2, 1}},
    };
    for (const BreakCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool horizontal : {false, true}) {
            SCOPED_TRACE(horizontal ? "columns" : "rows");
            int count = (int)c.lengths.size();
            std::vector<int32_t> across(count, 16);
            PanelBox boxes[kMaxPanelItems];
            int lines = horizontal
                ? LayoutPanel(across.data(), c.lengths.data(), count, 200, c.room, true, 0, 2, boxes)
                : LayoutPanel(c.lengths.data(), across.data(), count, c.room, 200, false, 0, 2, boxes);
            EXPECT_EQ((int)c.expected.size(), lines);
            EXPECT_EQ(c.expected, LineSizes(boxes, count, horizontal));
        }
    }
}

TEST(PanelLayout, LinesTakeTheirThickestClockAndEndTogether)
{
    // Rows on a vertical taskbar: widths along, heights across.
    const int32_t widths[] = {10, 10, 10, 10, 10};
    const int32_t heights[] = {12, 16, 14, 11, 13};
    PanelBox boxes[5];
    ASSERT_EQ(2, LayoutPanel(widths, heights, 5, 40, 200, false, 0, 2, boxes));

    // 3 + 2: the first row is 16 high, the second 13, with 2 between.
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(0, boxes[i].top);
        EXPECT_EQ(16, boxes[i].bottom);
    }
    for (int i = 3; i < 5; i++) {
        EXPECT_EQ(18, boxes[i].top);
        EXPECT_EQ(31, boxes[i].bottom);
    }
    // The first row ends at 34; the second (22 long) grows by 12 split over its two clocks.
    EXPECT_EQ(34, boxes[2].right);
    EXPECT_EQ(0, boxes[3].left);
    EXPECT_EQ(16, boxes[3].right);
    EXPECT_EQ(18, boxes[4].left);
    EXPECT_EQ(34, boxes[4].right);
}

TEST(PanelLayout, OddRemainderGoesToTheLastClock)
{
    const int32_t widths[] = {10, 10, 10, 5, 10};
    const int32_t heights[] = {10, 10, 10, 10, 10};
    PanelBox boxes[5];
    ASSERT_EQ(2, LayoutPanel(widths, heights, 5, 40, 200, false, 0, 2, boxes));
    // Second row 17 long against 34: 17 over two clocks, 8 each; the last one
    // moves by 8 and grows by the remaining 9.
    EXPECT_EQ(0, boxes[3].left);
    EXPECT_EQ(13, boxes[3].right);
    EXPECT_EQ(15, boxes[4].left);
    EXPECT_EQ(34, boxes[4].right);
}

TEST(PanelLayout, EdgesAddLeadingGapsAndExtent)
{
    struct Case {
        uint32_t edges;
        int left, top, roomWidth, roomHeight, width, height;
    } cases[] = {
        {0, 0, 0, 60, 30, 20, 10},
        {kPanelRightEnd, 3, 0, 57, 30, 23, 10},
        {kPanelBottomEnd, 0, 3, 60, 27, 20, 13},
        {kPanelLeftEnd, 0, 0, 57, 30, 23, 10},
        {kPanelTopEnd, 0, 0, 60, 27, 20, 13},
    };
    const int32_t widths[] = {20};
    const int32_t heights[] = {10};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edges);
        int roomWidth, roomHeight;
        GetPanelRoom(60, 30, c.edges, 3, &roomWidth, &roomHeight);
        EXPECT_EQ(c.roomWidth, roomWidth);
        EXPECT_EQ(c.roomHeight, roomHeight);

        PanelBox box;
        ASSERT_EQ(1, LayoutPanel(widths, heights, 1, 60, 30, true, c.edges, 3, &box));
        EXPECT_EQ(c.left, box.left);
        EXPECT_EQ(c.top, box.top);
        int width, height;
        MeasurePanel(&box, 1, c.edges, 3, &width, &height);
        EXPECT_EQ(c.width, width);
        EXPECT_EQ(c.height, height);
    }
}

TEST(PanelLayout, NoItemsNoLines)
{
    PanelBox box;
    EXPECT_EQ(0, LayoutPanel(nullptr, nullptr, 0, 60, 30, true, 0, 2, &box));
    int width = -1, height = -1;
    MeasurePanel(&box, 0, 0, 2, &width, &height);
    EXPECT_EQ(0, width);
    EXPECT_EQ(0, height);
}
