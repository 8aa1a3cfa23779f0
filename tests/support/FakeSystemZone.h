// A system zone for tests: the zone, the registry's zone list and the
// daylight switch are plain members; calls that would change the system are
// recorded.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/zones/SystemZone.h"

class CFakeSystemZone : public ISystemZone {
public:
    CFakeSystemZone();

    bool GetTimeZone(TIME_ZONE_INFORMATION* tzi) override;
    bool ReadDisableAutoDaylight(DWORD* value) override;
    bool ReadZoneValue(const WCHAR* zoneKey, const WCHAR* value, WCHAR* buffer, DWORD chars) override;
    bool EnumZoneKey(DWORD index, WCHAR* name, DWORD chars) override;
    void EnableTimeZonePrivilege() override { ++privilegeCalls; }
    bool SetTimeZone(const TIME_ZONE_INFORMATION& tzi) override;
    bool WriteDisableAutoDaylight(bool disable) override;
    void Beep(DWORD frequency, DWORD ms) override { beeps.push_back({frequency, ms}); }
    void BroadcastIntlChange() override { ++broadcasts; }

    // registry key -> value name -> text
    void AddZoneKey(const std::wstring& key, const std::wstring& display, const std::wstring& std,
                    const std::wstring& dlt);

    TIME_ZONE_INFORMATION zone;
    bool zoneFails = false;
    bool hasDisableValue = false;
    DWORD disableValue = 0;
    bool keyWritable = true;
    bool setFails = false;
    int privilegeCalls = 0;
    int setCalls = 0;
    int broadcasts = 0;
    int writes = 0;
    std::vector<std::pair<DWORD, DWORD>> beeps;
    std::vector<std::wstring> keyOrder;
    std::map<std::wstring, std::map<std::wstring, std::wstring>> keys;
};

// A zone with yearly rules: daylight from the last Sunday of March 02:00 to
// the last Sunday of October 03:00, UTC+1 (as "W. Europe Standard Time").
TIME_ZONE_INFORMATION CentralEuropeTzi();
