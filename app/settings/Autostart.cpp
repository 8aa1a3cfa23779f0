#include "app/settings/Autostart.h"

#include <string>
#include <vector>

#include "graphics/system/Handles.h"

const WCHAR kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const WCHAR kAutostartValueName[] = L"Tempolan";

bool CRegistryAutostart::Set(const WCHAR* programFile)
{
    CRegKey key;
    if (RegCreateKeyExW(m_root, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr)
        != ERROR_SUCCESS)
        return false;
    // The shell runs the value as a command line: unquoted, "C:\Program Files\x.exe"
    // would start C:\Program.exe when there is one. Paths without a blank stay
    // bare, so that values written before remain the same.
    std::wstring value(programFile);
    if (value.find(L' ') != std::wstring::npos)
        value = L"\"" + value + L"\"";
    DWORD bytes = (DWORD)((value.size() + 1) * sizeof(WCHAR));
    return RegSetValueExW(key.Get(), kAutostartValueName, 0, REG_SZ, (const BYTE*)value.c_str(), bytes)
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
    // room for the quotes around a path that fills `path`, its stored
    // terminator and ours
    std::vector<WCHAR> value(chars + 3);
    DWORD type = 0;
    DWORD bytes = (chars + 2) * sizeof(WCHAR);
    if (RegQueryValueExW(key.Get(), kAutostartValueName, nullptr, &type, (BYTE*)value.data(), &bytes)
            != ERROR_SUCCESS
        || type != REG_SZ)
        return false;
    // the stored text need not carry its terminator
    value[bytes / sizeof(WCHAR)] = 0;
    const WCHAR* begin = value.data();
    size_t length = wcslen(begin);
    if (begin[0] == L'"') {
        // a quoted value names the path between the quotes
        ++begin;
        const WCHAR* close = wcschr(begin, L'"');
        length = close ? (size_t)(close - begin) : wcslen(begin);
    }
    if (length > chars - 1)
        return false;
    wmemcpy(path, begin, length);
    path[length] = 0;
    return true;
}
