#include "settings/dialog/NewAlarmTime.h"

#include "app/clocks/ClockSettings.h"
#include "graphics/time/ZoneConvert.h"

namespace {

// The kind bits that tell timers apart.
const uint32_t kTimerKindMask = kClockTimer | kClockCountdown | kClockFixedMoment;
const uint32_t kStopwatch = kClockTimer;
const uint32_t kFixedCountdown = kClockTimer | kClockCountdown;
const uint32_t kStopwatchFromDate = kClockTimer | kClockFixedMoment;
// a new alarm of a free-running stopwatch comes after five minutes
const int32_t kStopwatchAlarmSeconds = 300;

}  // namespace

void InitNewAlarmTime(AlarmRecord* alarm, const ClockRecord* clock, const SYSTEMTIME& nowUtc)
{
    if (!alarm || !clock)
        return;
    if (!(clock->kind & kClockTimer)) {
        SYSTEMTIME local;
        GetClockLocalTime(nowUtc, &local, *clock);
        local.wSecond = 0;
        local.wMilliseconds = 0;
        alarm->once = local;
        return;
    }
    switch (clock->kind & kTimerKindMask) {
    case kStopwatch:
        alarm->timerOffset = kStopwatchAlarmSeconds;
        break;
    case kFixedCountdown:
        alarm->timerOffset = 0;
        break;
    case kStopwatchFromDate:
        alarm->once = clock->timerMoment;
        break;
    default:
        alarm->once = clock->timerMoment;
        AlarmTimeToFileTime(clock->timerMoment, *clock, alarm);
        break;
    }
}
