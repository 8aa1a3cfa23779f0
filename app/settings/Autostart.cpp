#include "app/settings/Autostart.h"

const WCHAR kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const WCHAR kAutostartValueName[] = L"Tempolan";

namespace {

class CKeyOwner {
public:
    explicit CKeyOwner(HKEY key = nullptr) : m_key(key) {}
    ~CKeyOwner()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    CKeyOwner(const CKeyOwner&) = delete;
    CKeyOwner& operator=(const CKeyOwner&) = delete;
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key;
};

}  // namespace

bool CRegistryAutostart::Set(const WCHAR* programFile)
{
    CKeyOwner key;
    if (RegCreateKeyExW(m_root, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(), nullptr)
        != ERROR_SUCCESS)
        return false;
    DWORD bytes = (DWORD)((lstrlenW(programFile) + 1) * sizeof(WCHAR));
    return RegSetValueExW(key.Get(), kAutostartValueName, 0, REG_SZ, (const BYTE*)programFile, bytes)
           == ERROR_SUCCESS;
}

bool CRegistryAutostart::Remove()
{
    CKeyOwner key;
    LONG rc = RegOpenKeyExW(m_root, kRunKeyPath, 0, KEY_SET_VALUE, key.Out());
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
    CKeyOwner key;
    if (RegOpenKeyExW(m_root, kRunKeyPath, 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS)
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
