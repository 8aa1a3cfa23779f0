// The map's child window: its OpenGL context, the globe's scene, the camera
// and its keys and mouse, the overlay, the texture hand-over from the loader
// threads and the messages with the host and the main program. Runs on the
// host's GUI thread; one map window at a time.
#pragma once

#include <windows.h>

#include <vector>

#include "map/scene/GLCaps.h"
#include "map/scene/GLObject.h"
#include "map/scene/GlobeView.h"
#include "map/scene/Scene.h"
#include "map/textures/DetailLevel.h"
#include "map/window/MapCamera.h"
#include "map/window/MapFont.h"
#include "map/window/PhotoStrip.h"

class CLamp;
class CMapLibrary;
class CPlanet;
struct CityRecord;

// The window's extra bytes: its CMapWindow at offset 0.
const int kMapWindowExtraBytes = 8;

// The window's timers.
const UINT_PTR IDT_BUTTONREPEAT = 1;  // a held 2-D button, every 30 ms
const UINT_PTR IDT_FLYTO = 2;         // a flight step, every 20 ms
const UINT_PTR IDT_PHOTOHOVER = 3;    // the cursor rested on a city, 500 ms
const UINT_PTR kUploadRetryTimer = 4; // a refused texture upload, once more

LRESULT CALLBACK MapWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class CMapWindow {
public:
    explicit CMapWindow(CMapLibrary& library);
    ~CMapWindow();
    CMapWindow(const CMapWindow&) = delete;
    CMapWindow& operator=(const CMapWindow&) = delete;

    // The object of a map window; null for any other window.
    static CMapWindow* FromWindow(HWND window);

    // For hosts that link the library: the camera, angles wrapped.
    void SetCamera(float distance, double tilt, double rotation);
    const MapCamera& Camera() const { return m_camera; }
    // A new detail factor: the scene rebuilt, the earth texture read again
    // (the H and L keys).
    void ReloadTextures(int factor);
    // Ends the frame-rate test, so that hosts measure at a fixed factor.
    void EndFrameRateTest() { m_rateTest.counter = FrameRateTest::kFinished; }
    // Where the strip's calls go (not owned); null: a strip that shows nothing.
    void SetPhotoStrip(IPhotoStrip* strip) { m_strip = strip ? strip : &m_noStrip; }
    // The probe follows window x, y (origin bottom left), as the mouse does.
    void ProbeAt(int x, int y);
    CScene& Scene() { return m_scene; }
    CPlanet* Planet() const { return m_planet; }
    const GLCaps& Caps() const { return m_caps; }
    const FrameRateTest& RateTest() const { return m_rateTest; }
    double FramesPerSecond() const { return m_fps; }
    bool Flying() const { return m_flying; }
    // Labels the last paint drew.
    int LabelsDrawn() const { return m_labelsDrawn; }

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend LRESULT CALLBACK MapWndProc(HWND, UINT, WPARAM, LPARAM);

    struct HoverRequest {
        bool pending = false;
        int32_t index = 0;  // signed: negative for the city's country
        int x = 0, y = 0;   // where the cursor rested
    };

    // MapWindow.cpp: life, paint, textures
    LRESULT OnCreate();
    void OnSize(int width, int height);
    void OnPaint();
    void OnDestroy();
    void OnTextureLoaded(WPARAM stage, LPARAM success);
    void OnSetOverlay(bool on);
    bool FitTextureForTest();
    bool TakeEarthTiles();
    void TextureFailed();
    bool ApplyClouds(bool on);
    void PlacePointerLight();
    void MakeCurrent();
    void ApplyCamera();
    void MeasureGlobe();

    // MapInput.cpp: keys, mouse, timers, the photo protocol
    bool OnKeyDown(UINT key);
    void OnMouseMove(int x, int y, WPARAM keys);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnMouseWheel(int delta);
    bool OnSetCursor();
    void OnTimer(UINT_PTR id);
    void OnSelectCity(WPARAM index);
    void OnShowCity(WPARAM index, LPARAM record);
    void OnPhotoReady(WPARAM index, LPARAM number);
    void OnHoverTimer();
    void OnFlyTimer();
    void StartFlyTo(double latitude, double longitude);
    void StopFlight();
    void StartHoverTimer(int32_t index);
    void CancelHover();
    // Sends UM_REQUESTPHOTO to the main program; true when it accepted.
    bool RequestPhotosForCity(int32_t signedIndex);
    void RequestAndShow(int32_t signedIndex);
    // The nearest city to the probe with its distance kept (hover, click).
    int ProbeNearestCity(bool* inRadius);
    int ButtonHitTest(int x, int y, bool press);
    bool OverStrip(int x, int y) const;
    void OpenAddPhotoPage();
    // The probe to the cursor's place (the centre before the mouse came).
    void ProbeCursor();

    // MapOverlay.cpp: the 2-D layer
    void DrawOverlay();
    void DrawCityLabels();
    void DrawCredits();
    void DrawReadouts();
    void DrawButtonHint();
    // The credit line under window x, y; -1 for none.
    int CreditHitTest(int x, int y) const;
    void OpenCredit(int line);
    int LineHeight() const { return m_font.Height() + 2; }

    CMapLibrary& m_library;
    HWND m_window = nullptr;
    HDC m_dc = nullptr;
    CGLContext m_context;
    GLCaps m_caps;
    CGLFontLists m_font;
    HCURSOR m_hand = nullptr;

    CScene m_scene;
    CLamp* m_lamp = nullptr;        // owned by the scene
    CPlanet* m_planet = nullptr;    // owned by the scene
    CGLGroup m_buttons;
    GLuint m_buttonTexture = 0;
    IPhotoStrip m_noStrip;
    IPhotoStrip* m_strip = &m_noStrip;

    MapCamera m_camera;
    GlobeOnScreen m_globe = {0, 1};
    double m_probe[4] = {0, 0, 0, 1};
    double m_probeLatitude = 0, m_probeLongitude = 0;
    bool m_probeOnGlobe = false;
    std::vector<int> m_labelCities;
    int m_labelsDrawn = 0;

    int m_cursorX = -1, m_cursorY = -1;  // client pixels, y from the bottom
    bool m_tracking = false;
    DragStart m_drag = {};
    bool m_pressOnGlobe = false;
    bool m_dragged = false;
    int m_pressedKey = 0;
    int m_pressedCredit = -1;
    HoverRequest m_hover;
    Flight m_flight;
    bool m_flying = false;

    bool m_showFps = false;
    bool m_showInfo = false;
    FrameRateTest m_rateTest;
    DWORD m_paintTick = 0;
    double m_fps = 0;
    bool m_uploadRetried = false;
};
