#include "settings/dialog/SettingsBackup.h"

#include "app/settings/SettingsFiles.h"
#include "app/settings/SettingsIni.h"

namespace {

// Written by the time service while the settings program runs: the backup
// holds older values.
const WCHAR kCommonSection[] = L"common";
const WCHAR* const kServiceKeys[] = {L"synclastresult", L"synclasttime"};

}  // namespace

std::wstring SettingsBackupPath(const WCHAR* settingsFile)
{
    std::wstring path = settingsFile ? settingsFile : L"";
    if (path.size() < 3)
        return std::wstring();
    path.replace(path.size() - 3, 3, L"bak");
    return path;
}

bool FinishSettingsBackup(SettingsPaths* paths, bool restore)
{
    std::wstring backup = SettingsBackupPath(paths->userIni);
    if (backup.empty() || GetFileAttributesW(backup.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    bool restored = false;
    if (restore && paths->userPrefix[0]) {
        std::wstring kept[2];
        for (int i = 0; i < 2; ++i)
            ReadProfileText(paths->userIni, kCommonSection, kServiceKeys[i], kMissingKey, &kept[i]);
        restored = CopySettingsSections(backup.c_str(), paths->userPrefix, paths->userIni, paths->userPrefix);
        for (int i = 0; i < 2; ++i) {
            const WCHAR* value = IsMissingKey(kept[i].c_str()) ? nullptr : kept[i].c_str();
            WritePrivateProfileStringW(kCommonSection, kServiceKeys[i], value, paths->userIni);
        }
    }
    // a failed restore keeps the backup: it is the only copy of the old settings
    if (!restore || restored)
        DeleteFileW(backup.c_str());
    return restored;
}
