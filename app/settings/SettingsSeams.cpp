#include "app/settings/SettingsSeams.h"

#include "app/zones/ZoneDatabase.h"

int CZoneDatabaseNames::GetLocalRegistryZoneName(WCHAR* buffer, int chars, const WCHAR* valueName) const
{
    return m_db.GetLocalRegistryZoneName(buffer, chars, valueName);
}
