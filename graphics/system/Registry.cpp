#include "graphics/system/Registry.h"

DWORD ReadRegistryDword(HKEY root, const WCHAR* subkey, const WCHAR* name, DWORD fallback)
{
    HKEY key;
    if (RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return fallback;
    DWORD value = 0, bytes = sizeof(value);
    LONG result = RegQueryValueExW(key, name, nullptr, nullptr, (BYTE*)&value, &bytes);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && bytes == sizeof(value) ? value : fallback;
}
