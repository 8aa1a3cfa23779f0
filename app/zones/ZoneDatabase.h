// The main program's table of zones from timezones.txt, with the dated
// changes of tz_changes.txt. GUI thread only; no lock.
#pragma once

#include "graphics/records/ClockRecord.h"
#include "graphics/time/ZoneTime.h"

class ISystemZone;

// A dated replacement of a zone (in memory only).
struct ZoneChangeRecord {
    TimeZoneRecord* target;     // live record; null once applied or when the zone is unknown
    TimeZoneRecord replacement; // the zone as loaded, with the line's fields replaced
    SYSTEMTIME effective;       // UTC
    int64_t key;                // packed key of `effective`
};

class CZoneDatabase {
public:
    explicit CZoneDatabase(ISystemZone& system);
    ~CZoneDatabase();
    CZoneDatabase(const CZoneDatabase&) = delete;
    CZoneDatabase& operator=(const CZoneDatabase&) = delete;

    // Record 0 ("Local System Time") then the file; true when the file gave a
    // zone. False without doing anything when the table already exists.
    bool LoadTimeZonesFile(const WCHAR* path);
    bool LoadZoneChangesFile(const WCHAR* path);
    // Applies the due, not yet applied changes in file order; returns how many.
    int ApplyDueZoneChanges(const SYSTEMTIME& utcNow);
    // The tick's step: undoes the changes when the time went back before the
    // last applied one (or into an earlier year), applies the due ones and
    // refreshes the clocks. True when the clocks must be sent again.
    bool UpdateZoneChanges(const SYSTEMTIME& utcNow, ClockRecord* clocks, int count);
    // The zone as of `utc` for the all-clocks dialog and the time table.
    bool ApplyZoneChanges(TimeZoneRecord* zone, bool useDaylight, const SYSTEMTIME& utc) const;
    bool RefreshClockZone(TimeZoneRecord* zone, bool useDaylight) const;
    void RefreshAllClockZones(ClockRecord* clocks, int count) const;
    void RestoreZoneTable(ClockRecord* clocks, int count);

    int FindZoneByName(const WCHAR* name) const;
    int FindZoneIndexById(int32_t id) const;

    void RefreshLocalZone(ClockRecord* clocks, int count);
    // Registry name of the computer's zone, or the subkey's value `valueName`; returns the length.
    int GetLocalRegistryZoneName(WCHAR* buffer, int chars, const WCHAR* valueName) const;
    // Makes the clock's zone the system's; `postResend` asks the main window to push the clocks.
    void SetSystemTimeZone(const ClockRecord& clock, ClockRecord* clocks, int count, void (*postResend)(void*),
                           void* context);

    void FreeZoneChanges();
    void FreeZoneTable();

    int Count() const { return m_count; }
    const TimeZoneRecord& Zone(int index) const { return m_live[index]; }
    TimeZoneRecord& Zone(int index) { return m_live[index]; }
    const TimeZoneRecord& LoadedZone(int index) const { return m_loaded[index]; }
    int ChangeCount() const { return m_changeCount; }
    const ZoneChangeRecord& Change(int index) const { return m_changes[index]; }
    bool AutoDaylight() const { return m_autoDaylight; }
    const LocalZoneState& LocalZone() const { return m_local; }

private:
    TimeZoneRecord* NextFreeZone();
    ZoneChangeRecord* NextFreeChange();
    void ReadRegistryNames(TimeZoneRecord* zone);

    ISystemZone& m_system;
    TimeZoneRecord* m_live;
    int m_count;
    int m_capacity;
    TimeZoneRecord* m_loaded;
    ZoneChangeRecord* m_changes;
    int m_changeCount;
    int m_changeCapacity;
    LocalZoneState m_local;
    bool m_autoDaylight;
    int64_t m_lastAppliedKey;
    int m_lastYear;
};
