#include "graphics/system/Restrictions.h"

#include "graphics/system/Handles.h"

DWORD ReadRestrictionFlags()
{
    static const struct {
        const WCHAR* name;
        DWORD bit;
    } kSwitches[] = {
        {kNoUpdatesValue, kNoUpdates},         {kNoNewsValue, kNoNews},
        {kNoCityPhotosValue, kNoCityPhotos},   {kNoCloudMapValue, kNoCloudMap},
        {kNoPreferencesValue, kNoPreferences},
    };
    DWORD flags = 0;
    CRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramMachineKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return flags;
    for (const auto& s : kSwitches) {
        // a string "1" is 4 bytes long too: only the type tells it apart
        DWORD type = 0, value = 0, bytes = sizeof(value);
        if (RegQueryValueExW(key.Get(), s.name, nullptr, &type, (BYTE*)&value, &bytes) == ERROR_SUCCESS &&
            type == REG_DWORD && bytes == sizeof(value) && value != 0)
            flags |= s.bit;
    }
    return flags;
}
