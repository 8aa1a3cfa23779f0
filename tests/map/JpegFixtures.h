// JPEG and picture fixtures of the map tests, written independently of the
// code under test: libjpeg straight, rows top-down as the file keeps them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "map/textures/GLTexture.h"

// A picture of `components` bytes per pixel, rows top-down.
struct TopDownPicture {
    int width = 0, height = 0, components = 3;
    std::vector<uint8_t> bytes;

    TopDownPicture(int w, int h, int c) : width(w), height(h), components(c), bytes((size_t)w * h * c) {}
    uint8_t* At(int x, int yFromTop) { return &bytes[((size_t)yFromTop * width + x) * components]; }
};

// Writes the picture as a JPEG file (1 grey, 3 RGB or 4 CMYK components);
// false on failure.
bool WriteJpegFile(const std::wstring& path, const TopDownPicture& picture, int quality = 95);

// A picture of flat blocks, one colour per block, `columns` x `rows` blocks,
// colours[column + columns x row] with row 0 on top.
TopDownPicture FlatBlocks(int width, int height, int columns, int rows, const uint32_t* rgb);

// A CGLTexture whose pixels a test sets directly.
class CTestPicture : public CGLTexture {
public:
    // Rows given top-down; stored bottom-up as the loader stores them.
    void Set(const TopDownPicture& picture);
    // The bytes of a pixel, y counted from the top.
    const uint8_t* PixelFromTop(uint32_t x, uint32_t yFromTop) const;
    using CGLTexture::TakePixels;
};

// The bytes of a pixel of any picture, y counted from the top.
const uint8_t* PixelFromTop(const CJpegTexture& picture, uint32_t x, uint32_t yFromTop);

// All three bytes within `tolerance` of 0xRRGGBB.
bool NearRgb(const uint8_t* p, uint32_t rgb, int tolerance);
