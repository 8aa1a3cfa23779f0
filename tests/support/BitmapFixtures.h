// Small images for the bitmap and pixel buffer tests.
#pragma once

#include <stdint.h>

#include <functional>
#include <string>

#include "graphics/image/Bitmap.h"
#include "graphics/image/PixelBuffer.h"

// Pixel at column x, row y counted from the bottom.
using PixelFn = std::function<uint32_t(int x, int y)>;

// A 32-bit DIB section with the pixels of `fn`.
inline bool MakeDib(CDibSection& dib, int width, int height, const PixelFn& fn)
{
    if (!dib.Create(width, height))
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib.SetPixel(x, y, fn(x, y));
    return true;
}

// A buffer read from such a DIB section.
inline bool MakeBuffer(CPixelBuffer& buffer, int width, int height, const PixelFn& fn)
{
    CDibSection dib;
    return MakeDib(dib, width, height, fn) && buffer.ReadFrom(dib, 0, 0);
}

inline PixelFn Uniform(uint32_t value)
{
    return [value](int, int) { return value; };
}

// Every pixel different, and telling its own position: 0xFF00xxyy.
inline uint32_t Position(int x, int y)
{
    return 0xFF000000u | (uint32_t)x << 8 | (uint32_t)y;
}

// A 24-bit BMP file with the pixels of `fn` (0x00RRGGBB).
inline std::string BmpFile(int width, int height, const PixelFn& fn)
{
    const int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + height * rowBytes;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::string out((const char*)&file, sizeof(file));
    out.append((const char*)&info, sizeof(info));
    for (int y = 0; y < height; ++y) {
        std::string row((size_t)rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            uint32_t p = fn(x, y);
            row[x * 3] = (char)(p & 0xFF);
            row[x * 3 + 1] = (char)(p >> 8 & 0xFF);
            row[x * 3 + 2] = (char)(p >> 16 & 0xFF);
        }
        out += row;
    }
    return out;
}
