#include "tests/map/SceneTestWindow.h"

#include <string.h>

#include <map>
#include <utility>

#include "tests/map/JpegFixtures.h"
#include "tests/support/PngFile.h"

namespace {

const wchar_t kClassName[] = L"TempolanSceneTest";

void RegisterOnce()
{
    WNDCLASSW wc = {};
    // OpenGL windows keep their DC for the context's lifetime
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);  // fails harmlessly the second time
}

}  // namespace

CSceneTestWindow::~CSceneTestWindow()
{
    m_context.Reset();
}

DWORD CSceneTestWindow::Create(int width, int height)
{
    // One window of each size for the whole run: under Wine without a window
    // manager, hiding or destroying a shown window waits two seconds for X.
    // Each test still gets a context, and so OpenGL state, of its own.
    static std::map<std::pair<int, int>, HWND> windows;
    HWND& shared = windows[{width, height}];
    if (!shared) {
        RegisterOnce();
        shared = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"scene test", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                 height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!shared)
            return GetLastError();
    }
    m_hwnd = shared;
    m_width = width;
    m_height = height;
    m_dc = GetDC(m_hwnd);
    DWORD status = CreateGLContext(m_dc, &m_context, &m_sysError);
    if (status == 0)
        ReadGLCaps(&m_caps);
    return status;
}

GLFrame CSceneTestWindow::TakeFrame()
{
    glFinish();
    GLFrame frame = ReadBackFrame(m_width, m_height);
    SwapBuffers(m_dc);
    return frame;
}

void SaveShot(const GLFrame& frame, const std::wstring& name)
{
    std::vector<uint8_t> topDown(frame.rgb.size());
    size_t row = (size_t)frame.width * 3;
    for (int y = 0; y < frame.height; ++y)
        memcpy(&topDown[y * row], &frame.rgb[(size_t)(frame.height - 1 - y) * row], row);
    WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + name, frame.width, frame.height, 3, topDown.data());
}

namespace {

void SplitPicture(const TopDownPicture& picture, TileSet* tiles)
{
    CTestPicture whole;
    whole.Set(picture);
    whole.SplitTiles(*tiles, kTileColumns, kTileRows);
}

}  // namespace

void MakeTiles(TileSet* tiles, const uint32_t colours[kTileCount], int width, int height, bool marker)
{
    TopDownPicture picture = FlatBlocks(width * kTileColumns, height * kTileRows, kTileColumns, kTileRows, colours);
    if (marker)
        for (int tile = 0; tile < kTileCount; ++tile) {
            int left = tile % kTileColumns * width, top = tile / kTileColumns * height;
            for (int y = top; y < top + height / 4; ++y)
                for (int x = left + width * 3 / 4; x < left + width; ++x)
                    memset(picture.At(x, y), 0xFF, 3);
        }
    SplitPicture(picture, tiles);
}

void MakeWhiteTiles(TileSet* tiles, const uint8_t alphas[kTileCount], int width, int height)
{
    TopDownPicture picture(width * kTileColumns, height * kTileRows, 4);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            uint8_t* p = picture.At(x, y);
            p[0] = p[1] = p[2] = 0xFF;
            p[3] = alphas[x / width + kTileColumns * (y / height)];
        }
    SplitPicture(picture, tiles);
}
