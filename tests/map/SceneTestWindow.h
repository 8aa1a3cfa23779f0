// A shown top-level window with a context of the map's kind current, and
// the frames drawn into it read back from the back buffer.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "map/scene/GLCaps.h"
#include "map/textures/TileSet.h"
#include "tests/support/GLFrame.h"

class CSceneTestWindow {
public:
    CSceneTestWindow() = default;
    ~CSceneTestWindow();
    CSceneTestWindow(const CSceneTestWindow&) = delete;
    CSceneTestWindow& operator=(const CSceneTestWindow&) = delete;

    // A new context on the run's shown window of width x height at the
    // screen's top left; the result of CreateGLContext (caps read on success).
    DWORD Create(int width, int height);
    HWND Window() const { return m_hwnd; }
    HDC DC() const { return m_dc; }
    const GLCaps& Caps() const { return m_caps; }
    DWORD SysError() const { return m_sysError; }

    // Reads the back buffer, then shows it.
    GLFrame TakeFrame();

private:
    HWND m_hwnd = nullptr;
    HDC m_dc = nullptr;
    CGLContext m_context;
    GLCaps m_caps;
    DWORD m_sysError = 0;
    int m_width = 0, m_height = 0;
};

// Saves the frame under TL_SHOTS_FOLDER for a person to look at.
void SaveShot(const GLFrame& frame, const std::wstring& name);

// Eight tiles of width x height pixels (3 components), each one flat colour
// (0xRRGGBB), cut from one picture as the earth's are; with `marker`, a
// white block in the top right sixteenth of each tile (its east edge and the
// northern edge of its picture).
void MakeTiles(TileSet* tiles, const uint32_t colours[kTileCount], int width, int height, bool marker);
// Eight white tiles of 4 components, tile i of alpha alphas[i].
void MakeWhiteTiles(TileSet* tiles, const uint8_t alphas[kTileCount], int width, int height);
