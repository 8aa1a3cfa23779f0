#include "map/MapSettings.h"

#include "graphics/system/Restrictions.h"

namespace {

const WCHAR kMapSection[] = L"map";
const WCHAR kCommonSection[] = L"common";

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

}  // namespace

bool MapSettings::CloudsOn() const
{
    return cloudmapInterval > 0 && !(restrictions & kNoCloudMap);
}

bool LoadMapSettings(const WCHAR* iniPath, MapSettings* settings, DetailLevel* detail)
{
    if (!iniPath || !*iniPath)
        return false;
    settings->restrictions = ReadRestrictionFlags();
    auto read = [iniPath](const WCHAR* section, const WCHAR* key, int fallback) {
        return (int)GetPrivateProfileIntW(section, key, fallback, iniPath);
    };
    // the values held are the defaults, so a key that goes keeps its last value
    settings->texScalerX = Clamp(read(kMapSection, L"texScalerX", settings->texScalerX), -3, 2);
    settings->texScalerY = Clamp(read(kMapSection, L"texScalerY", settings->texScalerY), -3, 1);
    settings->texCompression = read(kMapSection, L"tex_compression", settings->texCompression) != 0;
    int lag = Clamp(read(kMapSection, L"lag_factor", detail->factor / 100), 0, 8);
    settings->cloudmapInterval = read(kCommonSection, L"cloudmap_interval", -3);
    settings->cloudsAlpha = Clamp(read(kCommonSection, L"clouds_alpha", settings->cloudsAlpha), 32, 255);
    SetDetailFactor(*detail, lag * 100);
    return true;
}

int ShiftTextureSize(int size, int shift)
{
    return shift >= 0 ? size << shift : size >> -shift;
}
