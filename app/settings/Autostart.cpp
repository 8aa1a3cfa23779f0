#include "app/settings/Autostart.h"

#include "graphics/system/Handles.h"

const WCHAR kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const WCHAR kAutostartValueName[] = L"Tempolan";

bool CRegistryAutostart::Set(const WCHAR* programFile)
{
    CRegKey key;
    if (RegCreateKeyExW(m_root, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr)
        != ERROR_SUCCESS)
        return false;
    DWORD bytes = (DWORD)((lstrlenW(programFile) + 1) * sizeof(WCHAR));
    return RegSetValueExW(key.Get(), kAutostartValueName, 0, REG_SZ, (const BYTE*)programFile, bytes)
           == ERROR_SUCCESS;
}

bool CRegistryAutostart::Remove()
{
    CRegKey key;
    LONG rc = RegOpenKeyExW(m_root, kRunKeyPath, 0, KEY_SET_VALUE, key.Receive());
    if (rc == ERROR_FILE_NOT_FOUND)
        return true;
    if (rc != ERROR_SUCCESS)
        return false;
    rc = RegDeleteValueW(key.Get(), kAutostartValueName);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool CRegistryAutostart::Query(WCHAR* path, DWORD chars) const
{
    if (!chars)
        return false;
    path[0] = 0;
    CRegKey key;
    if (RegOpenKeyExW(m_root, kRunKeyPath, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD bytes = (chars - 1) * sizeof(WCHAR);
    if (RegQueryValueExW(key.Get(), kAutostartValueName, nullptr, &type, (BYTE*)path, &bytes) != ERROR_SUCCESS
        || type != REG_SZ)
        return false;
    // the stored text need not carry its terminator
    path[bytes / sizeof(WCHAR)] = 0;
    return true;
}
