// Clock records and their alarms from the user's clock sections.
#pragma once

#include "../graphics/ClockRecord.h"
#include "../graphics/SettingsPaths.h"

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

bool ReadClockSection(const ClockReadContext& context, const WCHAR* section, ClockRecord* clock);
// Section "<userPrefix>:clock<number>".
bool ReadClock(const ClockReadContext& context, const WCHAR* userPrefix, int number, ClockRecord* clock);
// `clock` (may be null) converts a fixed-moment timer's range to UTC.
bool ParseClockProfile(const WCHAR* text, ClockProfileRecord* profile, const ClockRecord* clock);
bool ProfileRangeToUtc(const ClockRecord& clock, ClockProfileRecord* profile);

// A zeroed block of `count` records (global memory); null on failure.
ClockRecord* AllocClockTable(int count);
// Frees every clock's alarm array and the block.
void FreeClockTable(ClockRecord* clocks, int count);
// The array of the user's `count` clock sections (ids 1..count). Returns the
// number of enabled clocks; when none is enabled the last one is.
int BuildClockTable(const ClockReadContext& context, int count, ClockRecord** clocks);

// Section "<clockSection>:alarm<number>"; false when it is missing or invalid.
bool ReadAlarmSection(const ClockReadContext& context, const WCHAR* clockSection, const ClockRecord& clock,
                      int number, AlarmRecord* alarm);
// Anchored timer clocks only: stores the zone time and the offset from the anchor.
bool AlarmTimeToFileTime(const SYSTEMTIME& zoneTime, const ClockRecord& clock, AlarmRecord* alarm);
