// The map's child window: its OpenGL context, the globe's scene, the camera
// and the texture hand-over from the loader threads. Runs on the host's GUI
// thread; one map window at a time.
#pragma once

#include <windows.h>

#include "graphics/system/Handles.h"
#include "map/scene/GLCaps.h"
#include "map/scene/GLObject.h"
#include "map/scene/Scene.h"
#include "map/textures/DetailLevel.h"

class CLamp;
class CMapLibrary;
class CPlanet;

// The window's extra bytes: its CMapWindow at offset 0.
const int kMapWindowExtraBytes = 8;

LRESULT CALLBACK MapWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The camera's home and its limits (scene units, degrees).
const float kHomeDistance = -12.2f;
const double kHomeTilt = 40.0;
const double kHomeRotation = 0.0;

class CMapWindow {
public:
    explicit CMapWindow(CMapLibrary& library);
    ~CMapWindow();
    CMapWindow(const CMapWindow&) = delete;
    CMapWindow& operator=(const CMapWindow&) = delete;

    // The object of a map window; null for any other window.
    static CMapWindow* FromWindow(HWND window);

    // For hosts that link the library: the camera until the keys exist.
    void SetCamera(float distance, double tilt, double rotation);
    // A new detail factor: the scene rebuilt, the earth texture read again
    // (the H and L keys).
    void ReloadTextures(int factor);
    // Ends the frame-rate test, so that hosts measure at a fixed factor.
    void EndFrameRateTest() { m_rateTest.counter = FrameRateTest::kFinished; }
    CScene& Scene() { return m_scene; }
    CPlanet* Planet() const { return m_planet; }
    const GLCaps& Caps() const { return m_caps; }
    const FrameRateTest& RateTest() const { return m_rateTest; }
    double FramesPerSecond() const { return m_fps; }

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend LRESULT CALLBACK MapWndProc(HWND, UINT, WPARAM, LPARAM);

    LRESULT OnCreate();
    void OnSize(int width, int height);
    void OnPaint();
    void OnDestroy();
    void OnTextureLoaded(WPARAM stage, LPARAM success);
    void OnSetOverlay(bool on);
    void OnTimer(UINT_PTR id);

    // The earth texture fitted to the hardware, synchronously (InstallMap's
    // window); true when tiles were uploaded.
    bool FitTextureForTest();
    // Takes the earth tiles under the mutex; false when it was not free.
    bool TakeEarthTiles();
    void TextureFailed();
    // Clouds on or off as the settings and switches allow; false when the
    // cloud picture cannot be had.
    bool ApplyClouds(bool on);
    void DrawOverlay();
    void PlacePointerLight();
    void MakeCurrent();

    CMapLibrary& m_library;
    HWND m_window = nullptr;
    HDC m_dc = nullptr;
    CGLContext m_context;
    GLCaps m_caps;
    CGdiObject<HFONT> m_font;
    HGDIOBJ m_oldFont = nullptr;
    GLuint m_fontLists = 0;
    HCURSOR m_hand = nullptr;

    CScene m_scene;
    CLamp* m_lamp = nullptr;        // owned by the scene
    CPlanet* m_planet = nullptr;    // owned by the scene
    CGLGroup m_buttons;
    GLuint m_buttonTexture = 0;

    float m_distance = kHomeDistance;
    double m_tilt = kHomeTilt;
    double m_rotation = kHomeRotation;
    double m_probe[4] = {0, 0, 0, 1};

    FrameRateTest m_rateTest;
    DWORD m_paintTick = 0;
    double m_fps = 0;
    bool m_uploadRetried = false;
};
