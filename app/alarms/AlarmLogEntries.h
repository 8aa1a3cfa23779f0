// Where a fired alarm and a due reminder are written down: the reminder log
// window. The firing of alarms and the log window meet only here.
#pragma once

#include <windows.h>

#include "graphics/records/AlarmRecord.h"
#include "graphics/records/ClockRecord.h"

class IAlarmLogEntries {
public:
    virtual ~IAlarmLogEntries() = default;
    // Adds an entry for `alarm` of `clock` at `time` (the occurrence, as the
    // alarm check passes it) and shows the log; false when the log window
    // does not exist. `reminder`: a reminder ahead of the alarm, else the
    // alarm itself.
    virtual bool AddLogEntry(ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time, bool reminder) = 0;
};
