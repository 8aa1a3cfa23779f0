// Clock records and their alarms from the user's clock sections.
#pragma once

#include "graphics/records/ClockRecord.h"
#include "graphics/records/SettingsPaths.h"

struct AlarmRecord;
class CZoneDatabase;
class ILanguageStrings;
class ILocalZoneSource;

// Restarts a running timer whose saved state is incomplete (the timers' code).
class ITimerRestart {
public:
    virtual ~ITimerRestart() = default;
    virtual void RestartTimer(ClockRecord& clock) = 0;
};

// What reading a clock needs beyond its section.
struct ClockReadContext {
    const SettingsPaths* paths;
    CZoneDatabase* zones;
    const ILanguageStrings* language;   // string 222 replaces the date format "Week w"
    ILocalZoneSource* localZone;        // "DisableAutoDaylightTimeSet"
    ITimerRestart* timers;              // may be null
    SYSTEMTIME nowUtc;                  // "now" for timers without a saved moment
};

// Fills the record from the section, keeping its id, the words the table
// builder sets and its local time. An alarm array the record holds is freed
// first, so the record must be zeroed or hold an earlier read.
// False only for missing arguments: a missing section gives the defaults.
bool ReadClockSection(const ClockReadContext& context, const WCHAR* section, ClockRecord* clock);
// Writes the clock's section "<userPrefix>:clock<id>" key by key in a fixed
// order, with its profiles and alarm sections, as ReadClockSection reads it
// back: the local zone as empty "zone" and "timezone" values, formats and
// the prefix quoted so that blanks survive, stale keys of the other kind of
// clock and the first profile and alarm past the record's deleted.
void WriteClockSection(const SettingsPaths& paths, const ClockRecord& clock);
// Section "<userPrefix>:clock<number>".
bool ReadClock(const ClockReadContext& context, const WCHAR* userPrefix, int number, ClockRecord* clock);
// `clock` (may be null) converts a fixed-moment timer's range to UTC.
bool ParseClockProfile(const WCHAR* text, ClockProfileRecord* profile, const ClockRecord* clock);
bool ProfileRangeToUtc(const ClockRecord& clock, ClockProfileRecord* profile);
// One "profile<N>" value as ParseClockProfile reads it back for `clock`: a
// time window with weekday digits for a time clock, two second counts for a
// timer, two zone-local moments for a timer bound to a date. The colour is
// written RRGGBB.
void WriteClockProfile(const ClockProfileRecord& profile, WCHAR* out, size_t chars, const ClockRecord& clock);

// Frees the clock's alarm array (see ResizeAlarmArray) and sets its alarm count to 0.
void FreeClockAlarms(ClockRecord* clock);

// A zeroed block of `count` (1 to 30) records (global memory); null otherwise
// or on failure.
ClockRecord* AllocClockTable(int count);
// Frees every clock's alarm array and the block.
void FreeClockTable(ClockRecord* clocks, int count);
// The array of the user's `count` clock sections (ids 1..count, at most 30)
// into `*clocks`, which the caller frees with FreeClockTable. Returns the
// number of enabled clocks; when none is enabled the last one is. A count of
// 0 (or a failed allocation) gives a null table and 0.
int BuildClockTable(const ClockReadContext& context, int count, ClockRecord** clocks);

// Section "<clockSection>:alarm<number>"; false when it is missing or invalid.
bool ReadAlarmSection(const ClockReadContext& context, const WCHAR* clockSection, const ClockRecord& clock,
                      int number, AlarmRecord* alarm);
// Writes section "<clockSection>:alarm<number>" as ReadAlarmSection reads it;
// false when "type" or "enabled" could not be written.
bool WriteAlarmSection(const WCHAR* file, const WCHAR* clockSection, const ClockRecord& clock, int number,
                       const AlarmRecord& alarm);
// Anchored timer clocks only: stores the zone time and the offset from the anchor.
bool AlarmTimeToFileTime(const SYSTEMTIME& zoneTime, const ClockRecord& clock, AlarmRecord* alarm);
