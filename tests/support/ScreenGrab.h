// What the screen shows in a rectangle, as top-down RGB bytes, for shots
// and pixel checks of windows.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

#include "graphics/system/Handles.h"

// Empty when the rectangle is empty or the screen could not be read.
inline std::vector<uint8_t> GrabScreenRgb(const RECT& r)
{
    int width = r.right - r.left, height = r.bottom - r.top;
    std::vector<uint8_t> rgb;
    if (width <= 0 || height <= 0)
        return rgb;
    CWindowDC screen(nullptr);
    CMemoryDC memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    CGdiObject<HBITMAP> bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return rgb;
    HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
    BOOL copied = BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY);
    SelectObject(memory.Get(), old);
    GdiFlush();
    if (!copied)
        return rgb;
    const uint32_t* pixels = (const uint32_t*)bits;
    rgb.reserve((size_t)width * height * 3);
    for (size_t i = 0; i < (size_t)width * height; ++i) {
        rgb.push_back((uint8_t)(pixels[i] >> 16));
        rgb.push_back((uint8_t)(pixels[i] >> 8));
        rgb.push_back((uint8_t)pixels[i]);
    }
    return rgb;
}
