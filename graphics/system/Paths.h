// The settings paths of a process and file tests.
#pragma once

#include "graphics/records/SettingsPaths.h"

// Fills `paths` from the program folder (a trailing backslash is added when
// missing) and `userName` lower-cased (null or too long for the field: an
// empty prefix). False, with every path empty, when the folder is too long
// for the paths.
bool BuildIniPathsFor(const WCHAR* folder, const WCHAR* userName, SettingsPaths* paths);

// The same with the name of the Windows user running the process
// (GetUserNameW; an empty prefix when it cannot be read).
// The settings' section prefix: the Windows user name in lower case, into
// `prefix` (65 characters); empty when the name cannot be read.
void ReadUserPrefix(WCHAR* prefix);
bool BuildIniPaths(const WCHAR* folder, SettingsPaths* paths);
// The same for the folder of the running program's file.
bool BuildProgramPaths(SettingsPaths* paths);

// True when `path` exists and is not a folder.
bool FileExists(const WCHAR* path);

// True when the skin's folder under the skins root holds "clkface.png" or
// "clkface.bmp".
bool SkinHasClockFace(const SettingsPaths& paths, const WCHAR* skinName);
// The same under `skinsRoot` (trailing backslash).
bool SkinHasClockFace(const WCHAR* skinsRoot, const WCHAR* skinName);
