#include "tests/map/JpegFixtures.h"

#include <stdlib.h>
#include <string.h>

TopDownPicture FlatBlocks(int width, int height, int columns, int rows, const uint32_t* rgb)
{
    TopDownPicture picture(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t colour = rgb[x * columns / width + columns * (y * rows / height)];
            uint8_t* p = picture.At(x, y);
            p[0] = (uint8_t)(colour >> 16);
            p[1] = (uint8_t)(colour >> 8);
            p[2] = (uint8_t)colour;
        }
    return picture;
}

void CTestPicture::Set(const TopDownPicture& picture)
{
    size_t stride = (size_t)picture.width * picture.components;
    uint8_t* block = (uint8_t*)malloc(stride * picture.height);
    for (int y = 0; y < picture.height; ++y)
        memcpy(block + (size_t)(picture.height - 1 - y) * stride, &picture.bytes[(size_t)y * stride], stride);
    TakePixels(block, picture.width, picture.height, picture.width, picture.height, picture.components);
}

const uint8_t* CTestPicture::PixelFromTop(uint32_t x, uint32_t yFromTop) const
{
    return ::PixelFromTop(*this, x, yFromTop);
}

const uint8_t* PixelFromTop(const CJpegTexture& picture, uint32_t x, uint32_t yFromTop)
{
    size_t row = picture.GetHeight() - 1 - yFromTop;
    return picture.GetPixels() + (row * picture.GetBufferWidth() + x) * picture.GetComponents();
}

bool NearRgb(const uint8_t* p, uint32_t rgb, int tolerance)
{
    return abs(p[0] - (int)(rgb >> 16 & 0xFF)) <= tolerance && abs(p[1] - (int)(rgb >> 8 & 0xFF)) <= tolerance &&
           abs(p[2] - (int)(rgb & 0xFF)) <= tolerance;
}
