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

// A window's client area as the screen shows it, after a redraw of the window
// and its children and a moment of message handling; its origin on the
// screen goes to `place`. Without a window manager nobody draws the frame,
// so the client area is all a picture can hold.
struct ClientPicture {
    RECT place = {};
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top-down RGB bytes
    uint32_t At(int x, int y) const
    {
        const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
        return (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
    }
};

inline ClientPicture GrabClientPicture(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    }
    ClientPicture picture;
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    picture.place = RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    picture.width = client.right;
    picture.height = client.bottom;
    picture.rgb = GrabScreenRgb(picture.place);
    return picture;
}
