// When the service's schedule asks for a synchronisation. No Win32 here.
#pragma once

#include <stdint.h>

// Ticks are GetTickCount milliseconds; every difference is taken modulo 2^32,
// so a wrap of the counter is harmless.
struct SyncScheduleState {
    uint32_t startTick;      // taken when the engine started
    uint32_t lastCheckTick;  // the previous test or the start of the last synchronisation
    bool firstCheckDone;     // false until the first test that was due, or saw the schedule off
};

// "synctype" values: a period counted from the service start, or once.
const int kSyncDaily = 0;
const int kSyncHourly = 1;
const int kSyncQuarterHourly = 2;
const int kSyncOnce = 4;

// Whether a synchronisation is due at `now`; updates `state`. Any kind other
// than the four above never is.
bool IsSyncDue(SyncScheduleState* state, bool autoSync, int syncType, uint32_t now);
