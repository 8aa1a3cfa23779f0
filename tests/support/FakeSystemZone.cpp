#include "tests/support/FakeSystemZone.h"

#include <string.h>
#include <wchar.h>

TIME_ZONE_INFORMATION CentralEuropeTzi()
{
    TIME_ZONE_INFORMATION tzi = {};
    tzi.Bias = -60;
    wcscpy(tzi.StandardName, L"W. Europe Standard Time");
    wcscpy(tzi.DaylightName, L"W. Europe Daylight Time");
    tzi.StandardDate = SYSTEMTIME{0, 10, 0, 5, 3, 0, 0, 0};
    tzi.DaylightDate = SYSTEMTIME{0, 3, 0, 5, 2, 0, 0, 0};
    tzi.DaylightBias = -60;
    return tzi;
}

CFakeSystemZone::CFakeSystemZone() : zone(CentralEuropeTzi())
{
}

bool CFakeSystemZone::GetTimeZone(TIME_ZONE_INFORMATION* tzi)
{
    if (zoneFails)
        return false;
    *tzi = zone;
    return true;
}

bool CFakeSystemZone::ReadDisableAutoDaylight(DWORD* value)
{
    if (!hasDisableValue)
        return false;
    *value = disableValue;
    return true;
}

bool CFakeSystemZone::ReadZoneValue(const WCHAR* zoneKey, const WCHAR* value, WCHAR* buffer, DWORD chars)
{
    auto key = keys.find(zoneKey);
    if (key == keys.end())
        return false;
    auto v = key->second.find(value);
    if (v == key->second.end())
        return false;
    wcsncpy(buffer, v->second.c_str(), chars);
    buffer[chars - 1] = 0;
    return true;
}

bool CFakeSystemZone::EnumZoneKey(DWORD index, WCHAR* name, DWORD chars)
{
    if (index >= keyOrder.size())
        return false;
    wcsncpy(name, keyOrder[index].c_str(), chars);
    name[chars - 1] = 0;
    return true;
}

bool CFakeSystemZone::SetTimeZone(const TIME_ZONE_INFORMATION& tzi)
{
    ++setCalls;
    if (setFails)
        return false;
    zone = tzi;
    return true;
}

bool CFakeSystemZone::WriteDisableAutoDaylight(bool disable)
{
    ++writes;
    if (!keyWritable)
        return false;
    hasDisableValue = disable;
    disableValue = disable ? 1 : 0;
    return true;
}

void CFakeSystemZone::AddZoneKey(const std::wstring& key, const std::wstring& display, const std::wstring& std,
                                 const std::wstring& dlt)
{
    keyOrder.push_back(key);
    auto& values = keys[key];
    if (!display.empty())
        values[L"Display"] = display;
    if (!std.empty())
        values[L"Std"] = std;
    if (!dlt.empty())
        values[L"Dlt"] = dlt;
}
