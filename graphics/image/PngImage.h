// PNG files decoded by libpng into a pixel block laid out for the pixel
// buffers: rows bottom-up at libpng's row size (unpadded), then room for the
// span table. 32-bit images come as B, G, R, A; 24-bit as R, G, B; 8-bit grey.
#pragma once

#include <windows.h>

struct PngImage {
    BITMAPV4HEADER header;      // bV4Size 108, positive height, masks set
    void* block;                // fixed global memory block; the caller frees it
    DWORD blockSize;
    DWORD pixelBytes;           // where the span table starts
    int stride;                 // row size in pixels, rounded up
    int rows;
};

// False, with no block, for a missing file, a wrong signature, a libpng error
// or a failed allocation.
bool DecodePngFile(const WCHAR* path, PngImage* image);
