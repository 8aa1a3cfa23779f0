#include "app/zones/SystemZone.h"

namespace {

const wchar_t kZonesKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";
const wchar_t kTziKey[] = L"SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation";
const UINT kBroadcastTimeoutMs = 512;

class CRegKey {
public:
    CRegKey() : m_key(nullptr) {}
    ~CRegKey() { if (m_key) RegCloseKey(m_key); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    bool Open(HKEY parent, const wchar_t* path, REGSAM access)
    {
        return RegOpenKeyExW(parent, path, 0, access, &m_key) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key;
};

}  // namespace

CSystemZone::CSystemZone() : m_zonesKey(nullptr), m_zoneKey(nullptr), m_zoneKeyName() {}

CSystemZone::~CSystemZone()
{
    if (m_zoneKey)
        RegCloseKey(m_zoneKey);
    if (m_zonesKey)
        RegCloseKey(m_zonesKey);
}

HKEY CSystemZone::ZonesKey()
{
    if (!m_zonesKey && RegOpenKeyExW(HKEY_LOCAL_MACHINE, kZonesKey, 0, KEY_READ, &m_zonesKey) != ERROR_SUCCESS)
        m_zonesKey = nullptr;
    return m_zonesKey;
}

bool CSystemZone::ReadZoneValue(const WCHAR* zoneKey, const WCHAR* value, WCHAR* buffer, DWORD chars)
{
    HKEY zones = ZonesKey();
    if (chars == 0 || !zones || !zoneKey)
        return false;
    // the values of one zone are read one after another: keep its key
    if (!m_zoneKey || lstrcmpiW(m_zoneKeyName, zoneKey) != 0) {
        if (m_zoneKey)
            RegCloseKey(m_zoneKey);
        m_zoneKey = nullptr;
        m_zoneKeyName[0] = 0;
        if (lstrlenW(zoneKey) >= (int)(sizeof(m_zoneKeyName) / sizeof(m_zoneKeyName[0])) ||
            RegOpenKeyExW(zones, zoneKey, 0, KEY_READ, &m_zoneKey) != ERROR_SUCCESS) {
            m_zoneKey = nullptr;
            return false;
        }
        lstrcpyW(m_zoneKeyName, zoneKey);
    }
    DWORD bytes = chars * sizeof(WCHAR);
    if (RegGetValueW(m_zoneKey, nullptr, value, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return false;
    buffer[chars - 1] = 0;
    return true;
}

bool CSystemZone::EnumZoneKey(DWORD index, WCHAR* name, DWORD chars)
{
    HKEY zones = ZonesKey();
    if (!zones)
        return false;
    DWORD len = chars;
    return RegEnumKeyExW(zones, index, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void CSystemZone::EnableTimeZonePrivilege()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, L"SeTimeZonePrivilege", &tp.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    CloseHandle(token);
}

bool CSystemZone::SetTimeZone(const TIME_ZONE_INFORMATION& tzi)
{
    return SetTimeZoneInformation(&tzi) != FALSE;
}

bool CSystemZone::WriteDisableAutoDaylight(bool disable)
{
    CRegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kTziKey, KEY_SET_VALUE))
        return false;
    if (!disable) {
        RegDeleteValueW(key.Get(), L"DisableAutoDaylightTimeSet");
        return true;
    }
    DWORD one = 1;
    return RegSetValueExW(key.Get(), L"DisableAutoDaylightTimeSet", 0, REG_DWORD, (const BYTE*)&one,
                          sizeof(one)) == ERROR_SUCCESS;
}

void CSystemZone::Beep(DWORD frequency, DWORD ms)
{
    ::Beep(frequency, ms);
}

void CSystemZone::BroadcastIntlChange()
{
    DWORD_PTR result;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)L"intl", SMTO_ABORTIFHUNG,
                        kBroadcastTimeoutMs, &result);
}
