#include <gtest/gtest.h>

#include <vector>

#include "map/textures/DetailLevel.h"

TEST(DetailLevel, FactorGivesSlicesStacksAndLayers)
{
    struct Case {
        int requested, factor, slices, stacks, layers;
    } cases[] = {
        {10, 50, 180, 120, 20},     // clamped up
        {50, 50, 180, 120, 20},
        {100, 100, 180, 120, 10},
        {150, 150, 180, 120, 6},
        {200, 200, 180, 90, 5},
        {250, 250, 180, 90, 1},     // one shell above 200
        {300, 300, 120, 90, 1},
        {499, 499, 120, 60, 1},
        {500, 500, 60, 60, 1},
        {600, 600, 60, 30, 1},
        {799, 799, 36, 30, 1},
        {800, 800, 36, 30, 1},
        {5000, 800, 36, 30, 1},     // clamped down
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        DetailLevel level;
        level.maxTextureSize = 4096;
        level.textureSize = 256;
        SetDetailFactor(level, c.requested);
        EXPECT_EQ(c.factor, level.factor);
        EXPECT_EQ(c.slices, level.slices);
        EXPECT_EQ(c.stacks, level.stacks);
        EXPECT_EQ(c.layers, level.layers);
        EXPECT_EQ(4096, level.textureSize);
    }
}

TEST(DetailLevel, KeysHalveOrDoubleWithinTheRange)
{
    struct Case {
        int factor;
        bool coarser;
        bool changed;
        int next;
    } cases[] = {
        {50, false, false, 50},     // H at the finest
        {800, true, false, 800},    // L at the coarsest
        {100, false, true, 50},
        {100, true, true, 200},
        {400, true, true, 800},
        {600, true, true, 800},
        {75, false, true, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.factor << (c.coarser ? " L" : " H"));
        int next = -1;
        EXPECT_EQ(c.changed, StepDetailFactor(c.factor, c.coarser, &next));
        EXPECT_EQ(c.next, next);
    }
}

// The frame-rate test after an upload, frame by frame.
TEST(DetailLevel, FrameRateTestCoarsensSlowMachines)
{
    using A = DetailAction;
    struct Frame {
        double ms;
        bool busy;
        A action;
    };
    struct Case {
        const char* name;
        int factor;
        std::vector<Frame> frames;
        int next;   // the factor of a Reload
    } cases[] = {
        // 5 per second at 400: the skipped frame, three measured, then 800
        {"slow", 400, {{200, false, A::Paint}, {200, false, A::Paint}, {200, false, A::Paint},
                       {200, false, A::Reload}, {200, false, A::None}}, 800},
        // already the coarsest: nothing is measured at all
        {"slow at 800", 800, {{200, false, A::None}, {200, false, A::None}}, -1},
        // 10 per second is fast enough
        {"ten", 100, {{1, false, A::Paint}, {100, false, A::Paint}, {100, false, A::Paint},
                      {100, false, A::None}}, -1},
        // the skipped frame's time is not counted: it would make the mean 10
        {"skip", 100, {{1, false, A::Paint}, {200, false, A::Paint}, {200, false, A::Paint},
                       {200, false, A::Reload}}, 200},
        // a frame of 0 ms measures nothing
        {"zero", 100, {{200, false, A::Paint}, {0, false, A::Paint}, {200, false, A::Paint},
                       {200, false, A::Paint}, {200, false, A::Reload}}, 200},
        // a mean over the three: 2 + 2 + 27 per second is above 10
        {"mean", 100, {{200, false, A::Paint}, {500, false, A::Paint}, {500, false, A::Paint},
                       {37, false, A::None}}, -1},
        // a texture being read ends the test
        {"busy", 400, {{200, false, A::Paint}, {200, true, A::None}, {200, false, A::None}}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameRateTest test;
        EXPECT_FALSE(test.Running());
        RestartFrameRateTest(test, c.factor);
        for (size_t i = 0; i < c.frames.size(); ++i) {
            SCOPED_TRACE(i);
            int next = -1;
            EXPECT_EQ(c.frames[i].action, AdaptDetailFactor(test, c.factor, c.frames[i].ms, c.frames[i].busy, &next));
            if (c.frames[i].action == A::Reload) {
                EXPECT_EQ(c.next, next);
            }
        }
        EXPECT_FALSE(test.Running());
    }
}
