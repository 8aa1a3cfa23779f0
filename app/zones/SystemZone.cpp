#include "app/zones/SystemZone.h"

namespace {

const wchar_t kZonesKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";
const wchar_t kTziKey[] = L"SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation";
const UINT kBroadcastTimeoutMs = 512;

}  // namespace

CSystemZone::CSystemZone() : m_zonesKey(), m_zoneKey(), m_zoneKeyName() {}

CSystemZone::~CSystemZone() = default;

HKEY CSystemZone::ZonesKey()
{
    HKEY key;
    if (!m_zonesKey && RegOpenKeyExW(HKEY_LOCAL_MACHINE, kZonesKey, 0, KEY_READ, &key) == ERROR_SUCCESS)
        m_zonesKey.Reset(key);
    return m_zonesKey.Get();
}

bool CSystemZone::ReadZoneValue(const WCHAR* zoneKey, const WCHAR* value, WCHAR* buffer, DWORD chars)
{
    HKEY zones = ZonesKey();
    if (chars == 0 || !zones || !zoneKey)
        return false;
    // the values of one zone are read one after another: keep its key
    if (!m_zoneKey || lstrcmpiW(m_zoneKeyName, zoneKey) != 0) {
        m_zoneKey.Reset();
        m_zoneKeyName[0] = 0;
        HKEY key;
        if (lstrlenW(zoneKey) >= (int)(sizeof(m_zoneKeyName) / sizeof(m_zoneKeyName[0])) ||
            RegOpenKeyExW(zones, zoneKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        m_zoneKey.Reset(key);
        lstrcpyW(m_zoneKeyName, zoneKey);
    }
    DWORD bytes = chars * sizeof(WCHAR);
    if (RegGetValueW(m_zoneKey.Get(), nullptr, value, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
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
    CKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()))
        return;
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, L"SeTimeZonePrivilege", &tp.Privileges[0].Luid))
        AdjustTokenPrivileges(token.Get(), FALSE, &tp, 0, nullptr, nullptr);
}

bool CSystemZone::SetTimeZone(const TIME_ZONE_INFORMATION& tzi)
{
    return SetTimeZoneInformation(&tzi) != FALSE;
}

bool CSystemZone::WriteDisableAutoDaylight(bool disable)
{
    CRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTziKey, 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS)
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
