#include "graphics/time/LocalZone.h"

#include <string.h>

#include "graphics/records/FixedText.h"

namespace {

const wchar_t kTziKey[] = L"SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation";

int WeekRuleOf(const SYSTEMTIME& date)
{
    if (date.wYear != 0)
        return 0;
    return date.wDay <= 4 ? date.wDay : -1;
}

}  // namespace

bool CSystemLocalZone::GetTimeZone(TIME_ZONE_INFORMATION* tzi)
{
    return GetTimeZoneInformation(tzi) != TIME_ZONE_ID_INVALID;
}

bool CSystemLocalZone::ReadDisableAutoDaylight(DWORD* value)
{
    DWORD size = sizeof(*value);
    DWORD type = 0;
    LSTATUS rc = RegGetValueW(HKEY_LOCAL_MACHINE, kTziKey, L"DisableAutoDaylightTimeSet",
                              RRF_RT_ANY, &type, value, &size);
    return rc == ERROR_SUCCESS && size == sizeof(*value);
}

void InitLocalZone(TimeZoneRecord* zone, ILocalZoneSource& source)
{
    memset(zone, 0, sizeof(*zone));
    CopyFixed(zone->zoneName, FIELD_WIDTH(zone->zoneName), kLocalZoneName);
    CopyFixed(zone->displayName, FIELD_WIDTH(zone->displayName), kLocalZoneName);
    if (!source.GetTimeZone(&zone->tzi))
        memset(&zone->tzi, 0, sizeof(zone->tzi));
    zone->standardRule = WeekRuleOf(zone->tzi.StandardDate);
    zone->daylightRule = WeekRuleOf(zone->tzi.DaylightDate);
}

bool IsAutoDaylight(const TimeZoneRecord& zone, ILocalZoneSource& source)
{
    if (zone.tzi.DaylightDate.wMonth == 0)
        return false;
    DWORD disable = 0;
    return !(source.ReadDisableAutoDaylight(&disable) && disable == 1);
}

void RefreshLocalZoneState(LocalZoneState* state, ILocalZoneSource& source)
{
    InitLocalZone(&state->zone, source);
    state->daylight = IsAutoDaylight(state->zone, source);
}
