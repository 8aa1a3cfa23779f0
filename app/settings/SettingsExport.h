// Export of the current user's settings to a file of "default:" sections, and
// import of such a file as the current user's sections (/export, /import).
#pragma once

#include "graphics/records/SettingsPaths.h"

// Both read the user name again and refresh paths->userPrefix; both refuse an
// unknown user. File names are made full paths first, so a bare name means a
// file in the current folder. True on success; a failure part way leaves the
// files as far as they got, but nothing is written when the sections cannot be
// read whole.

// The target is made afresh as a UTF-16 file; never the settings or defaults file.
bool ExportSettings(SettingsPaths* paths, const WCHAR* targetFile);
// The source must hold a "description" in "default:main".
bool ImportSettings(SettingsPaths* paths, const WCHAR* sourceFile);
