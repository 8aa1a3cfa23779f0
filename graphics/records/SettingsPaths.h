// The settings paths of a process, built from the program folder.
#pragma once

#include "graphics/records/WinTypes.h"

struct SettingsPaths {
    WCHAR folder[260];            // program folder with a trailing backslash
    WCHAR defaultIni[260];     // <folder>default.ini
    WCHAR userIni[260];        // <folder>tempolan.ini
    WCHAR skinsRoot[260];      // <folder>skins\ (trailing backslash)
    WCHAR userPrefix[65];           // the Windows user name, lower-cased; empty when unknown
};
