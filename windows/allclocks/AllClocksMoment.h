// The shared moment of the all-clocks dialog and how a picked date or time on
// one clock moves it. UTC throughout; the zone conversion is the clocks' own.
#pragma once

#include "graphics/records/ClockRecord.h"

// The next whole hour after `utcNow`: one hour later, cut to the hour on the
// full date, so that 23:30 on 31 December gives 00:00 on 1 January. False
// for a time that is no valid date.
bool NextWholeHour(const SYSTEMTIME& utcNow, SYSTEMTIME* out);

// The moment at which `clock` shows `hour`:`minute` (seconds 0) on the day it
// shows at `moment`. A time its zone skips moves the moment by the minutes
// between the shown and the picked time, so that the clock lands as far past
// the gap as it was asked to move.
SYSTEMTIME MomentForPickedTime(const ClockRecord& clock, const SYSTEMTIME& moment, int hour, int minute);

// The moment at which `clock` shows the day of `date` at the time of day it
// shows at `moment`.
SYSTEMTIME MomentForPickedDate(const ClockRecord& clock, const SYSTEMTIME& moment, const SYSTEMTIME& date);

// The locale's time format `format` without its seconds: the first time
// separator followed by "s" goes with its "s", and every further "s".
void TimeFormatWithoutSeconds(const WCHAR* format, const WCHAR* separator, WCHAR* out, int chars);
