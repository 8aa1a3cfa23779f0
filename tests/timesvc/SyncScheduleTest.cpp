#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "timesvc/service/SyncSchedule.h"

namespace {

struct Check {
    uint32_t minute;  // since the service started
    bool autoSync;
    bool due;
};

struct Timeline {
    const char* name;
    int syncType;
    std::vector<Check> checks;
};

const uint32_t kMsPerMinute = 60000;

}  // namespace

// Each timeline is walked from a fresh start, once with an early start tick
// and once 30 s before the tick counter wraps.
TEST(SyncSchedule, TimelinesOfEachKind)
{
    const Timeline timelines[] = {
        {"daily", 0, {{0, true, true}, {1, true, false}, {1439, true, false}, {1440, true, true}, {1441, true, false},
                      {2879, true, false}, {2880, true, true}}},
        {"hourly", 1, {{0, true, true}, {30, true, false}, {59, true, false}, {60, true, true}, {61, true, false},
                       {179, true, true}, {181, true, true}, {200, true, false}}},
        {"quarter", 2, {{0, true, true}, {14, true, false}, {15, true, true}, {29, true, false}, {31, true, true}}},
        {"once", 4, {{0, true, false}, {4, true, false}, {5, true, true}, {6, true, false}, {600, true, false}}},
        {"never 3", 3, {{0, true, false}, {60, true, false}, {1440, true, false}}},
        {"never 5", 5, {{0, true, false}, {5, true, false}, {6, true, false}, {60, true, false}}},
        {"never 7", 7, {{0, true, false}, {15, true, false}, {1440, true, false}}},
        // turned on later: the next boundary, not at once
        {"hourly off then on", 1, {{0, false, false}, {10, true, false}, {59, true, false}, {60, true, true},
                                   {61, true, false}}},
        // once seen off, the single synchronisation never comes
        {"once off then on", 4, {{0, false, false}, {6, true, false}, {100, true, false}}},
    };
    const uint32_t startTicks[] = {100000, 0xFFFFFFFFu - 30000};
    for (uint32_t start : startTicks) {
        for (const Timeline& t : timelines) {
            SyncScheduleState state = {start, 0, false};
            for (const Check& c : t.checks) {
                SCOPED_TRACE(testing::Message() << t.name << ", start " << start << ", minute " << c.minute);
                uint32_t now = start + c.minute * kMsPerMinute + 1000;
                EXPECT_EQ(c.due, IsSyncDue(&state, c.autoSync, t.syncType, now));
                EXPECT_EQ(now, state.lastCheckTick);
            }
        }
    }
}
