#include "timesvc/service/SyncSchedule.h"

namespace {

const uint32_t kMsPerMinute = 60000;
const uint32_t kOnceAfterMinutes = 5;

uint32_t PeriodMinutes(int syncType)
{
    switch (syncType) {
    case kSyncDaily:
        return 24 * 60;
    case kSyncHourly:
        return 60;
    case kSyncQuarterHourly:
        return 15;
    default:
        return 0;
    }
}

}  // namespace

bool IsSyncDue(SyncScheduleState* state, bool autoSync, int syncType, uint32_t now)
{
    uint32_t previous = state->lastCheckTick;
    state->lastCheckTick = now;
    if (!autoSync) {
        // turned on later, the schedule waits for its next boundary
        state->firstCheckDone = true;
        return false;
    }
    uint32_t elapsedNow = (now - state->startTick) / kMsPerMinute;
    uint32_t elapsedPrev = (previous - state->startTick) / kMsPerMinute;
    bool due;
    if (uint32_t period = PeriodMinutes(syncType)) {
        due = !(state->firstCheckDone && elapsedPrev / period == elapsedNow / period);
    } else if (syncType == kSyncOnce) {
        due = !state->firstCheckDone && elapsedNow >= kOnceAfterMinutes;
    } else {
        state->firstCheckDone = true;
        return false;
    }
    if (due)
        state->firstCheckDone = true;
    return due;
}
