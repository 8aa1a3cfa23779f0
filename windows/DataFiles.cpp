#include "windows/DataFiles.h"

#include "app/zones/ZoneDatabase.h"
#include "windows/CityList.h"

bool LoadZoneAndCityFiles(const WCHAR* folder, CZoneDatabase& zones, CCityList& cities, const SYSTEMTIME& nowUtc)
{
    WCHAR path[MAX_PATH + 32];
    wsprintfW(path, L"%stimezones.txt", folder);
    if (!zones.LoadTimeZonesFile(path))
        return false;
    wsprintfW(path, L"%stz_changes.txt", folder);
    zones.LoadZoneChangesFile(path);  // missing: no dated changes
    zones.ApplyDueZoneChanges(nowUtc);
    wsprintfW(path, L"%scities.txt", folder);
    return cities.LoadCityList(path);
}
