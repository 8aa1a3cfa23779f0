// Draws the map window's globe once and saves the frame:
//   mapshot <folder> <tilt> <rotation> <distance> <out.png>
// <folder> holds map.jpg, buttons.png and clouds.jpg as a program folder
// does; the camera is set as the keys would set it. An 800 x 600 frame,
// read back from the map's back buffer (a child OpenGL window's frames do
// not reach the screen under Wine). Exit code 0, or 1 for bad arguments,
// 2 when the window cannot be made, 3 without a texture, 4 when the file
// cannot be written.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "graphics/image/Bitmap.h"
#include "map/MapLibrary.h"
#include "map/scene/Planet.h"
#include "map/window/MapWindow.h"
#include "tools/common/PngWriter.h"

namespace {

const int kWidth = 800;
const int kHeight = 600;
const DWORD kTextureWaitMs = 120000;

HWND MakeHost()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TempolanMapShot";
    RegisterClassW(&wc);
    return CreateWindowW(wc.lpszClassName, L"Map shot", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kWidth,
                         kHeight, nullptr, nullptr, wc.hInstance, nullptr);
}

bool WaitForTexture(CMapWindow& window)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kTextureWaitMs; Sleep(10)) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (window.Planet() && window.Planet()->HasSurface())
            return true;
    }
    return false;
}

// The frame the last paint left in the back buffer of the current context.
bool SaveFrame(const wchar_t* path)
{
    std::vector<uint8_t> rgb((size_t)kWidth * kHeight * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    CDibSection image;
    if (!image.Create(kWidth, kHeight))
        return false;
    // both bottom-up
    uint32_t* bits = image.GetBits();
    for (size_t i = 0; i < (size_t)kWidth * kHeight; ++i)
        bits[i] = (uint32_t)rgb[i * 3] << 16 | (uint32_t)rgb[i * 3 + 1] << 8 | rgb[i * 3 + 2];
    GdiFlush();
    return WritePng(path, image);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 6) {
        fprintf(stderr, "usage: mapshot <folder> <tilt> <rotation> <distance> <out.png>\n");
        return 1;
    }
    std::wstring folder = argv[1];
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    double tilt = _wtof(argv[2]);
    double rotation = _wtof(argv[3]);
    float distance = (float)_wtof(argv[4]);

    HWND host = MakeHost();
    CMapLibrary library;
    if (!host || library.Init(nullptr, 0, folder) != 0)
        return 2;
    DWORD status = 0;
    HWND map = library.CreateMapWindow(host, 0, 0, kWidth, kHeight, &status);
    CMapWindow* window = map ? CMapWindow::FromWindow(map) : nullptr;
    if (!window) {
        fprintf(stderr, "no map window: 0x%08lX\n", status);
        return 2;
    }
    int result = 0;
    if (!WaitForTexture(*window)) {
        fprintf(stderr, "no texture from %ls\n", folder.c_str());
        result = 3;
    } else {
        window->SetCamera(distance, tilt, rotation);
        RedrawWindow(map, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        if (!SaveFrame(argv[5]))
            result = 4;
    }
    DestroyWindow(map);
    library.Free();
    DestroyWindow(host);
    return result;
}
