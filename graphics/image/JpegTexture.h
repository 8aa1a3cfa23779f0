// JPEG files as textures: decoded rows bottom-up into a block of the image
// size or of power-of-two sizes, and encoded back. Each object has its own
// decoder, so different threads may load different files at once.
#pragma once

#include <stdint.h>

#include "graphics/records/WinTypes.h"

// Makes a 32-bit pixel of `byteCount` packed bytes (first byte lowest).
typedef uint32_t (*JpegPixelConverter)(uint32_t packed, int components, int byteCount);

class CJpegTexture {
public:
    CJpegTexture();
    virtual ~CJpegTexture();
    CJpegTexture(const CJpegTexture&) = delete;
    CJpegTexture& operator=(const CJpegTexture&) = delete;

    // With a requested size below 1 the buffer is the image (width rounded up
    // to a multiple of 4); otherwise powers of two from 16 up to the request
    // or the image, whichever is reached first, and the load fails when that
    // cannot hold the image. Padding is zero.
    virtual bool Load(const WCHAR* path, int width, int height);
    // Only 3-component images; quality 0-100.
    virtual bool Save(const WCHAR* path, int quality);
    // Turns every pixel of the buffer into a 32-bit one; false without pixels,
    // without a converter, or when already converted.
    bool ConvertPixels(JpegPixelConverter converter);
    void Free(bool clearSizes);

    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    uint32_t GetBufferWidth() const { return m_bufferWidth; }
    uint32_t GetBufferRows() const { return m_bufferRows; }
    int GetComponents() const { return m_components; }
    // Rows bottom-up, GetBufferWidth() * GetComponents() bytes apart.
    const uint8_t* GetPixels() const { return m_pixels; }

    // Takes a copy of a picture of `width` x `height` pixels of 1, 3 or 4
    // components, rows bottom-up and packed; the buffer is laid out as Load
    // lays it out at the image size. False (and empty) for other arguments
    // or without memory.
    bool Assign(uint32_t width, uint32_t height, int components, const uint8_t* pixels);

private:
    uint8_t* m_pixels;
    uint32_t m_width;
    uint32_t m_height;
    uint32_t m_bufferWidth;
    uint32_t m_bufferRows;
    int m_components;
};
