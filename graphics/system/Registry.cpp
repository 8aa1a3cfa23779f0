#include "graphics/system/Registry.h"

#include "graphics/system/Handles.h"

DWORD ReadRegistryDword(HKEY root, const WCHAR* subkey, const WCHAR* name, DWORD fallback)
{
    CRegKey key;
    if (RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return fallback;
    DWORD value = 0, bytes = sizeof(value);
    LONG result = RegQueryValueExW(key.Get(), name, nullptr, nullptr, (BYTE*)&value, &bytes);
    return result == ERROR_SUCCESS && bytes == sizeof(value) ? value : fallback;
}
