#include "graphics/system/Paths.h"

#include <string.h>

#include <windows.h>

#include "graphics/records/FixedText.h"

namespace {

const int kMaxUserName = 64;

// dst = a + b when it fits in `chars`; false (dst empty) otherwise.
bool Join(WCHAR* dst, size_t chars, const WCHAR* a, const WCHAR* b)
{
    size_t na = lstrlenW(a), nb = lstrlenW(b);
    dst[0] = 0;
    if (na + nb >= chars)
        return false;
    memcpy(dst, a, na * sizeof(WCHAR));
    memcpy(dst + na, b, (nb + 1) * sizeof(WCHAR));
    return true;
}

}  // namespace

bool BuildIniPathsFor(const WCHAR* folder, const WCHAR* userName, SettingsPaths* paths)
{
    *paths = SettingsPaths();
    if (!folder)
        folder = L"";
    size_t n = lstrlenW(folder);
    const WCHAR* separator = n && folder[n - 1] != '\\' && folder[n - 1] != '/' ? L"\\" : L"";
    bool ok = Join(paths->folder, FIELD_WIDTH(paths->folder), folder, separator) &&
              Join(paths->defaultIni, FIELD_WIDTH(paths->defaultIni), paths->folder, L"default.ini") &&
              Join(paths->userIni, FIELD_WIDTH(paths->userIni), paths->folder, L"tempolan.ini") &&
              Join(paths->skinsRoot, FIELD_WIDTH(paths->skinsRoot), paths->folder, L"skins\\");
    if (!ok) {
        // half-built paths would point the settings at the wrong files
        *paths = SettingsPaths();
        return false;
    }
    if (userName && lstrlenW(userName) < (int)FIELD_WIDTH(paths->userPrefix)) {
        lstrcpyW(paths->userPrefix, userName);
        CharLowerW(paths->userPrefix);
    }
    return true;
}

void ReadUserPrefix(WCHAR* prefix)
{
    WCHAR name[kMaxUserName + 1];
    DWORD chars = ARRAYSIZE(name);
    prefix[0] = 0;
    if (GetUserNameW(name, &chars)) {
        lstrcpyW(prefix, name);
        CharLowerW(prefix);
    }
}

bool BuildIniPaths(const WCHAR* folder, SettingsPaths* paths)
{
    if (!BuildIniPathsFor(folder, nullptr, paths))
        return false;
    ReadUserPrefix(paths->userPrefix);
    return true;
}

bool BuildProgramPaths(SettingsPaths* paths)
{
    WCHAR module[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (n >= MAX_PATH)
        n = 0;
    while (n > 0 && module[n - 1] != L'\\')
        --n;
    module[n] = 0;
    return BuildIniPaths(module, paths);
}

bool FileExists(const WCHAR* path)
{
    if (!path || !*path)
        return false;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SkinHasClockFace(const SettingsPaths& paths, const WCHAR* skinName)
{
    return SkinHasClockFace(paths.skinsRoot, skinName);
}

bool SkinHasClockFace(const WCHAR* skinsRoot, const WCHAR* skinName)
{
    if (!skinsRoot || !skinName || !*skinName)
        return false;
    WCHAR folder[MAX_PATH], path[MAX_PATH];
    return Join(folder, MAX_PATH, skinsRoot, skinName) &&
           ((Join(path, MAX_PATH, folder, L"\\clkface.png") && FileExists(path)) ||
            (Join(path, MAX_PATH, folder, L"\\clkface.bmp") && FileExists(path)));
}
