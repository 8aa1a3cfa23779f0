// A JPEG picture made fit for OpenGL: sized to powers of two within limits,
// scaled down, cut into tiles. No OpenGL calls here; the upload is elsewhere.
#pragma once

#include "graphics/image/JpegTexture.h"

struct TileSet;

// Results of CGLTexture::Load.
const int kTextureLoadFailed = 0;
const int kTextureLoaded = 1;       // as the file holds it
const int kTextureRescaled = 3;     // scaled down to fit the limits

class CGLTexture : public CJpegTexture {
public:
    // Reads the whole image. With both limits above 0 each side becomes a
    // power of two, doubled from 16 while below both its limit and the image
    // side and halved once when that passed the image, and the picture is
    // scaled down to it (failing when it cannot be). One of the results above.
    int Load(const WCHAR* path, int maxWidth, int maxHeight) override;

    // Scales down to `width` x `height` (not above the picture's size), each
    // new pixel the average of the old ones that fall on it. 1 or 3
    // components only; false, picture unchanged, otherwise.
    bool Rescale(uint32_t width, uint32_t height);
    // Both sides down to the largest powers of two not above them.
    bool FitPowerOfTwo();
    // Cuts the picture into `columns` x `rows` tiles (powers of two) by
    // halving it, columns first: tile column + columns x row, row 0 the upper
    // half of the picture. The picture stays as it is; false without pixels.
    bool SplitTiles(TileSet& tiles, int columns, int rows) const;
    // Turns the pixels into R, G, B, A bytes with `alpha` (grey: g, g, g).
    bool ConvertToRgba(uint8_t alpha);

private:
    bool SplitInto(TileSet& tiles, int columns, uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                   int firstColumn, int firstRow, int columnCount, int rowCount) const;
};

// The largest power of two not above `n` (n at least 1).
uint32_t FloorPowerOfTwo(uint32_t n);
