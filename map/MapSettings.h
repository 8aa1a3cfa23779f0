// The map's tuning keys of the settings file and the restriction switches,
// read each time a map window is created. Nothing is written.
#pragma once

#include <windows.h>

#include "map/textures/DetailLevel.h"

struct MapSettings {
    int texScalerX = 0;         // earth texture width limit = texture size shifted by this (-3..2)
    int texScalerY = -1;        // height limit, the same (-3..1)
    bool texCompression = false;
    int cloudmapInterval = -3;
    int cloudsAlpha = 192;      // cloud opacity, 32..255
    DWORD restrictions = 0;     // bits of ReadRestrictionFlags

    // Clouds are shown: an interval above 0 and no "no_cloud_map" switch.
    bool CloudsOn() const;
};

// Does nothing and returns false without a settings file path. Otherwise reads
// the restriction switches, then the keys into `settings` (a missing texture or
// alpha key keeps the value held), and sets `detail` to the factor of
// "lag_factor" (missing: the current factor).
bool LoadMapSettings(const WCHAR* iniPath, MapSettings* settings, DetailLevel* detail);

// `size` x 2^shift for a positive shift, / 2^-shift for a negative one.
int ShiftTextureSize(int size, int shift);
