// The moment a new alarm starts with, taken from its clock.
#pragma once

#include "graphics/records/AlarmRecord.h"
#include "graphics/records/ClockRecord.h"

// A plain clock: its zone's time at `nowUtc`, to the minute. A timer without
// a date: 300 seconds into the run; a countdown of fixed length: its end;
// a timer bound to a date: that moment, with its offset from the anchor
// (none for a stopwatch from a date). Nothing without a clock.
void InitNewAlarmTime(AlarmRecord* alarm, const ClockRecord* clock, const SYSTEMTIME& nowUtc);
