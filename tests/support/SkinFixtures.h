// Skin folders made on the fly: BMP files from a pixel function, and a
// sentinel-filled target the skin draws into.
#pragma once

#include <stdint.h>
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "graphics/image/Bitmap.h"
#include "graphics/skin/Graphics.h"

// A 24-bit BMP file whose pixel (x, y from the top) is fn(x, y) as a COLORREF.
inline std::string BmpBytes(int width, int height, const std::function<COLORREF(int, int)>& fn)
{
    int stride = (width * 3 + 3) & ~3;
    std::string bytes(54 + (size_t)stride * height, '\0');
    auto put = [&](size_t at, uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes[at + i] = (char)(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, (uint32_t)bytes.size(), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, (uint32_t)width, 4);
    put(22, (uint32_t)height, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = fn(x, y);
            size_t at = 54 + (size_t)(height - 1 - y) * stride + 3 * x;
            bytes[at] = (char)GetBValue(c);
            bytes[at + 1] = (char)GetGValue(c);
            bytes[at + 2] = (char)GetRValue(c);
        }
    return bytes;
}

const COLORREF kCanvasSentinel = RGB(1, 2, 3);

// A 32-bit target filled with the sentinel (opaque), bound to the style.
struct SkinCanvas {
    CDibSection dib;
    CGraphics& style;
    SkinCanvas(CGraphics& graphics, int width, int height) : style(graphics)
    {
        EXPECT_TRUE(dib.Create(width, height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                dib.SetPixel(x, y, 0xFF010203);
        style.SetDC(dib.GetDC(), nullptr);
    }
    ~SkinCanvas() { style.SetDC(nullptr, nullptr); }
    SkinCanvas(const SkinCanvas&) = delete;
    SkinCanvas& operator=(const SkinCanvas&) = delete;
    // GDI colour at (x, y from the top).
    COLORREF At(int x, int y)
    {
        GdiFlush();
        return ::GetPixel(dib.GetDC(), x, y);
    }
    // The whole 0xAARRGGBB pixel at (x, y from the top).
    uint32_t Pixel(int x, int y)
    {
        GdiFlush();
        return dib.GetPixel(x, dib.GetHeight() - 1 - y);
    }
};
