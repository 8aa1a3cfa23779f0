// A picture cut into the 4 x 2 tiles the globe is textured with: tile
// column + 4 x row, row 0 the northern half.
#pragma once

#include "map/textures/GLTexture.h"

const int kTileColumns = 4;
const int kTileRows = 2;
const int kTileCount = kTileColumns * kTileRows;

struct TileSet {
    CGLTexture tiles[kTileCount];

    // Every tile holds pixels.
    bool Ready() const
    {
        for (const CJpegTexture& tile : tiles)
            if (!tile.GetPixels())
                return false;
        return true;
    }
    void Free()
    {
        for (CJpegTexture& tile : tiles)
            tile.Free(true);
    }
};
