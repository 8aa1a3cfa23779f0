// The computer's own zone, read through a source that tests replace.
#pragma once

#include "graphics/time/ZoneTime.h"

// What the system says about its zone.
class ILocalZoneSource {
public:
    virtual ~ILocalZoneSource() = default;
    // GetTimeZoneInformation; false when it fails.
    virtual bool GetTimeZone(TIME_ZONE_INFORMATION* tzi) = 0;
    // The 4-byte value "DisableAutoDaylightTimeSet"; false when it is missing or of another size.
    virtual bool ReadDisableAutoDaylight(DWORD* value) = 0;
};

// The real system: kernel32 and HKEY_LOCAL_MACHINE.
class CSystemLocalZone : public ILocalZoneSource {
public:
    bool GetTimeZone(TIME_ZONE_INFORMATION* tzi) override;
    bool ReadDisableAutoDaylight(DWORD* value) override;
};

// Fills the record of "Local System Time" from the system.
void InitLocalZone(TimeZoneRecord* zone, ILocalZoneSource& source);
// True when the zone has a daylight date and the system adjusts for it by itself.
bool IsAutoDaylight(const TimeZoneRecord& zone, ILocalZoneSource& source);
void RefreshLocalZoneState(LocalZoneState* state, ILocalZoneSource& source);
