// What the zone database needs of the system beyond the local zone: the
// registry's zone list and the means to change the system's zone. Tests
// replace it; they never touch the machine's zone.
#pragma once

#include "graphics/system/Handles.h"
#include "graphics/time/LocalZone.h"

class ISystemZone : public ILocalZoneSource {
public:
    // Value `value` of the subkey `zoneKey` of the registry's Time Zones key.
    virtual bool ReadZoneValue(const WCHAR* zoneKey, const WCHAR* value, WCHAR* buffer, DWORD chars) = 0;
    // Name of the index-th subkey of the Time Zones key; false past the last.
    virtual bool EnumZoneKey(DWORD index, WCHAR* name, DWORD chars) = 0;
    virtual void EnableTimeZonePrivilege() = 0;
    virtual bool SetTimeZone(const TIME_ZONE_INFORMATION& tzi) = 0;
    // Writes (disable) or deletes "DisableAutoDaylightTimeSet"; false when the key cannot be opened.
    virtual bool WriteDisableAutoDaylight(bool disable) = 0;
    virtual void Beep(DWORD frequency, DWORD ms) = 0;
    // WM_SETTINGCHANGE "intl" to all top-level windows.
    virtual void BroadcastIntlChange() = 0;
};

class CSystemZone : public ISystemZone {
public:
    CSystemZone();
    ~CSystemZone();
    CSystemZone(const CSystemZone&) = delete;
    CSystemZone& operator=(const CSystemZone&) = delete;

    bool GetTimeZone(TIME_ZONE_INFORMATION* tzi) override { return m_local.GetTimeZone(tzi); }
    bool ReadDisableAutoDaylight(DWORD* value) override { return m_local.ReadDisableAutoDaylight(value); }
    bool ReadZoneValue(const WCHAR* zoneKey, const WCHAR* value, WCHAR* buffer, DWORD chars) override;
    bool EnumZoneKey(DWORD index, WCHAR* name, DWORD chars) override;
    void EnableTimeZonePrivilege() override;
    bool SetTimeZone(const TIME_ZONE_INFORMATION& tzi) override;
    bool WriteDisableAutoDaylight(bool disable) override;
    void Beep(DWORD frequency, DWORD ms) override;
    void BroadcastIntlChange() override;

private:
    // Kept open: loading the zone files reads hundreds of values, a few per zone.
    HKEY ZonesKey();

    CSystemLocalZone m_local;
    CRegKey m_zonesKey;
    CRegKey m_zoneKey;
    WCHAR m_zoneKeyName[128];
};
