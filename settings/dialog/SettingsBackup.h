// The copy of the settings file the profiles page makes before it loads a
// profile, taken back when the settings program closes without OK.
#pragma once

#include <string>

#include "graphics/records/SettingsPaths.h"

// The settings file's path with its last three characters replaced by "bak".
std::wstring SettingsBackupPath(const WCHAR* settingsFile);

// When the backup exists: with `restore`, what a profile load replaced comes
// back from it (the user's sections and those without ":"), while the time
// service's last results in [common] and other users' sections stay as they
// are now; then the backup is deleted, unless a restore failed. True when
// the settings were restored.
bool FinishSettingsBackup(SettingsPaths* paths, bool restore);
