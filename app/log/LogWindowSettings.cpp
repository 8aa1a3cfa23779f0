#include "app/log/LogWindowSettings.h"

#include <string>

#include "app/settings/SettingsIni.h"
#include "app/settings/SettingsValues.h"

namespace {

const WCHAR kPlaceKey[] = L"logwindowpos";
const WCHAR kColumnsKey[] = L"logwindowcolumns";

// Smaller stored sizes are taken for damage, not for a user's choice.
const LONG kMinUsableWidth = 40;
const LONG kMinUsableHeight = 22;

std::wstring MainSection(const SettingsPaths& paths)
{
    return UserSection(paths.userPrefix, L":main");
}

bool ReadNumbers(const SettingsPaths& paths, const WCHAR* key, WCHAR separator, int32_t* values, int count)
{
    std::wstring text;
    if (!ReadProfileText(paths.userIni, MainSection(paths).c_str(), key, kMissingKey, &text) ||
        IsMissingKey(text.c_str()))
        return false;
    return ParseNumberList(text.c_str(), separator, values, count);
}

}  // namespace

bool CSystemLogScreens::GetWorkArea(RECT* area)
{
    return SystemParametersInfoW(SPI_GETWORKAREA, 0, area, 0) != 0;
}

bool CSystemLogScreens::IsOnMonitor(const RECT& r)
{
    return MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

RECT LoadLogWindowPlace(const SettingsPaths& paths, ILogScreens& screens)
{
    int32_t v[4];
    if (ReadNumbers(paths, kPlaceKey, ',', v, 4)) {
        RECT stored = {v[0], v[1], v[2], v[3]};
        if (stored.right - stored.left > kMinUsableWidth && stored.bottom - stored.top > kMinUsableHeight &&
            screens.IsOnMonitor(stored))
            return stored;
    }
    RECT work = {0, 0, 640, 480};
    if (!screens.GetWorkArea(&work))
        work = RECT{0, 0, 640, 480};
    LONG width = (work.right - work.left) / 3, height = (work.bottom - work.top) / 6;
    return RECT{work.right - width, work.bottom - height, work.right, work.bottom};
}

void SaveLogWindowPlace(const SettingsPaths& paths, const RECT& place)
{
    WCHAR text[64];
    wsprintfW(text, L"%ld, %ld, %ld, %ld", place.left, place.top, place.right, place.bottom);
    WritePrivateProfileStringW(MainSection(paths).c_str(), kPlaceKey, text, paths.userIni);
}

bool LoadLogColumnWidths(const SettingsPaths& paths, int widths[kLogColumnCount])
{
    int32_t v[kLogColumnCount];
    if (!ReadNumbers(paths, kColumnsKey, 0, v, kLogColumnCount))
        return false;
    for (int i = 0; i < kLogColumnCount; ++i) {
        if (v[i] < 0)
            return false;
    }
    for (int i = 0; i < kLogColumnCount; ++i)
        widths[i] = v[i];
    return true;
}

void SaveLogColumnWidths(const SettingsPaths& paths, const int widths[kLogColumnCount])
{
    WCHAR text[32];
    wsprintfW(text, L"%d %d", widths[0], widths[1]);
    WritePrivateProfileStringW(MainSection(paths).c_str(), kColumnsKey, text, paths.userIni);
}
