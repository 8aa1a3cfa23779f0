// JPEG files as textures: decoded rows bottom-up into a block of the image
// size or of power-of-two sizes, and encoded back. Each object has its own
// decoder, so different threads may load different files at once.
#pragma once

#include <stdint.h>

#include "graphics/records/WinTypes.h"

// Makes a 32-bit pixel of `byteCount` packed bytes (first byte lowest).
typedef uint32_t (*JpegPixelConverter)(uint32_t packed, int components, int byteCount);
// The same with the caller's data, for converters that need a parameter.
typedef uint32_t (*JpegPixelMapper)(uint32_t packed, int components, const void* context);

struct JpegHeader {
    uint32_t width;
    uint32_t height;
    int components;     // 1 grey, 3 colour, 4 CMYK/YCCK
};

// The sizes of a JPEG file from its header alone, nothing decoded; false when
// the file cannot be opened or its header is not a JPEG one.
bool ReadJpegHeader(const WCHAR* path, JpegHeader* header);

class CJpegTexture {
public:
    CJpegTexture();
    virtual ~CJpegTexture();
    CJpegTexture(const CJpegTexture&) = delete;
    CJpegTexture& operator=(const CJpegTexture&) = delete;

    // With a requested size below 1 the buffer is the image (width rounded up
    // to a multiple of 4); otherwise powers of two from 16 up to the request
    // or the image, whichever is reached first, and the load fails when that
    // cannot hold the image. Padding is zero. 1 loaded, 0 failed; a subclass
    // may tell more with other nonzero values.
    virtual int Load(const WCHAR* path, int width, int height);
    // Only 3-component images; quality 0-100.
    virtual bool Save(const WCHAR* path, int quality);
    // Turns every pixel of the buffer into a 32-bit one; false without pixels,
    // without a converter, or when already converted.
    bool ConvertPixels(JpegPixelConverter converter);
    bool ConvertPixels(JpegPixelMapper mapper, const void* context);
    void Free(bool clearSizes);

    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    uint32_t GetBufferWidth() const { return m_bufferWidth; }
    uint32_t GetBufferRows() const { return m_bufferRows; }
    int GetComponents() const { return m_components; }
    // Rows bottom-up, GetBufferWidth() * GetComponents() bytes apart.
    const uint8_t* GetPixels() const { return m_pixels; }

protected:
    // Takes a block of malloc (rows bottom-up, bufferWidth * components bytes
    // apart) in place of the current one; null frees and clears the sizes.
    void TakePixels(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bufferWidth, uint32_t bufferRows,
                    int components);

private:
    uint8_t* m_pixels;
    uint32_t m_width;
    uint32_t m_height;
    uint32_t m_bufferWidth;
    uint32_t m_bufferRows;
    int m_components;
};
