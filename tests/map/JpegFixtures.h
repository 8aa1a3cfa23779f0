// Picture fixtures of the map tests; the JPEG files come from JpegFiles.h.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "map/textures/GLTexture.h"
#include "tests/support/JpegFiles.h"

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
