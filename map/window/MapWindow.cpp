#include "map/window/MapWindow.h"

#include <stdio.h>

#include <windowsx.h>

#include <GL/gl.h>

#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Restrictions.h"
#include "map/MapExports.h"
#include "map/MapLibrary.h"
#include "map/MapProtocol.h"
#include "map/scene/GlobeView.h"
#include "map/scene/Lamp.h"
#include "map/scene/MapButtons.h"
#include "map/scene/Planet.h"
#include "map/textures/TextureFiles.h"
#include "map/window/NearestCity.h"

namespace {

const float kPlanetRadius = 3.0f;
// The pointer light stands this far out from the point under the cursor.
const double kPointerLightReach = 1.2;
// How long the window waits for the texture mutex before touching the tiles.
const DWORD kUploadMutexWaitMs = 1000;
const UINT kUploadRetryMs = 1000;
// The test window's texture is halved until it loads, down to this size.
const int kSmallestTestTexture = 257;
const int kRewriteQuality = 85;

const WCHAR kEarthFile[] = L"map.jpg";
const WCHAR kTextureError[] = L"Can not load textures.\n Check for the \"%ls\" presence or make it smaller.";

// Holds the texture mutex for a scope; Held() false when it was not free.
class CTextureLock {
public:
    CTextureLock(HANDLE mutex, DWORD waitMs) : m_mutex(mutex)
    {
        DWORD result = mutex ? WaitForSingleObject(mutex, waitMs) : WAIT_FAILED;
        m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    ~CTextureLock()
    {
        if (m_held)
            ReleaseMutex(m_mutex);
    }
    CTextureLock(const CTextureLock&) = delete;
    CTextureLock& operator=(const CTextureLock&) = delete;
    bool Held() const { return m_held; }

private:
    HANDLE m_mutex;
    bool m_held;
};

}  // namespace

CMapWindow::CMapWindow(CMapLibrary& library) : m_library(library)
{
}

CMapWindow::~CMapWindow() = default;

CMapWindow* CMapWindow::FromWindow(HWND window)
{
    WCHAR name[64];
    if (!GetClassNameW(window, name, 64) || lstrcmpW(name, kMapWindowClass) != 0)
        return nullptr;
    return (CMapWindow*)GetWindowLongPtrW(window, 0);
}

LRESULT CALLBACK MapWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* library = (CMapLibrary*)((CREATESTRUCTW*)lParam)->lpCreateParams;
        if (!library)
            return FALSE;
        auto* self = new CMapWindow(*library);
        self->m_window = window;
        SetWindowLongPtrW(window, 0, (LONG_PTR)self);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto* self = (CMapWindow*)GetWindowLongPtrW(window, 0);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, 0, 0);
        delete self;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT CMapWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && OnSetCursor())
            return TRUE;
        break;
    case WM_KEYDOWN:
        if (OnKeyDown((UINT)wParam))
            return 0;
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), wParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_MOUSELEAVE:
        m_tracking = false;
        return 0;
    case UM_TEXTURELOADED:
        OnTextureLoaded(wParam, lParam);
        return 0;
    case UM_MAPSETOVERLAY:
        OnSetOverlay(lParam != 0);
        return 0;
    case UM_MAPSELECTCITY:
        OnSelectCity(wParam);
        return 0;
    case UM_MAPSHOWCITY:
        OnShowCity(wParam, lParam);
        return 0;
    case UM_PHOTOREADY:
        OnPhotoReady(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void CMapWindow::MakeCurrent()
{
    wglMakeCurrent(m_dc, m_context.Get());
}

LRESULT CMapWindow::OnCreate()
{
    m_library.SetSetupStatus(0);
    CMapTextures& textures = m_library.Textures();
    // an own DC (CS_OWNDC): kept for the window's life
    m_dc = GetDC(m_window);
    // a shared system cursor: never destroyed
    m_hand = LoadCursorW(nullptr, (LPCWSTR)IDC_HAND);

    DWORD sysError = 0;
    DWORD setup = CreateGLContext(m_dc, &m_context, &sysError);
    if (setup != 0) {
        m_library.SetSetupStatus(setup);
        m_library.KeepError(sysError);
        return -1;
    }
    ReadGLCaps(&m_caps);
    // without lists the overlay has no text; the globe still works
    m_font.Create(m_dc);
    textures.detail.maxTextureSize = m_caps.maxTextureSize;
    LoadMapSettings(m_library.SettingsFile().c_str(), &textures.settings, &textures.detail);
    m_camera = MapCamera();
    ApplyCamera();

    m_lamp = new CLamp(GL_LIGHT1);
    m_planet = new CPlanet(&m_caps);
    m_planet->SetRadius(kPlanetRadius);
    m_planet->SetDetail(textures.detail);
    m_scene.AddChild(m_lamp);
    m_scene.AddChild(m_planet);
    m_planet->SetCompression(textures.settings.texCompression);
    m_planet->SetCities(m_library.Cities(), m_library.CityCount());

    ApplyClouds(textures.settings.CloudsOn());

    if (m_library.TestMode()) {
        if (!FitTextureForTest())
            m_library.SetSetupStatus(MAPERR_BADTEXTURE);
    } else if (textures.earthTiles.Ready()) {
        // an earlier window of this process left them
        m_planet->SetSurfaceTiles(&textures.earthTiles);
    } else {
        textures.StartTextureLoadThread(m_window);
    }

    m_scene.Init();
    CreateMapButtons(m_library.Folder().c_str(), &m_buttons, &m_buttonTexture);
    PlaceCities(*m_planet, m_library.Cities(), m_library.CityCount());
    return 0;
}

bool CMapWindow::FitTextureForTest()
{
    CMapTextures& textures = m_library.Textures();
    std::wstring earth = m_library.Folder() + kEarthFile;
    int size = textures.detail.maxTextureSize;
    for (;;) {
        textures.detail.textureSize = size;
        if (!textures.earthTiles.Ready()) {
            if (textures.earth.GetPixels()) {
                textures.FitEarthTexture(textures.earth);
            } else if (textures.LoadEarthTexture() == kTextureRescaled) {
                // the next start reads the smaller picture
                SaveTextureReplacing(textures.earth, earth.c_str(), kRewriteQuality);
            }
            if (!textures.earth.GetPixels())
                return false;
            textures.SplitEarthTexture();
        }
        if (textures.earthTiles.Ready()) {
            MakeCurrent();
            if (m_planet->SetSurfaceTiles(&textures.earthTiles) == 0 && m_planet->HasSurface())
                return true;
        }
        if (size < kSmallestTestTexture)
            return false;
        textures.FreeTextures();
        size /= 2;
    }
}

void CMapWindow::OnSize(int width, int height)
{
    if (!m_context.Get())
        return;
    CancelHover();
    MakeCurrent();
    m_scene.Resize(width, height);
    m_scene.Build();
    MeasureGlobe();
    // the pointer light starts over the middle of the globe
    ProbeCursor();
}

void CMapWindow::MeasureGlobe()
{
    m_globe = MeasureGlobeOnScreen(m_scene, *m_planet);
}

void CMapWindow::ApplyCamera()
{
    m_scene.SetCamera(m_camera.distance, m_camera.tilt, m_camera.rotation);
}

void CMapWindow::SetCamera(float distance, double tilt, double rotation)
{
    m_camera.distance = distance;
    m_camera.tilt = Wrap360(tilt);
    m_camera.rotation = Wrap360(rotation);
    ApplyCamera();
    MeasureGlobe();
    InvalidateRect(m_window, nullptr, FALSE);
}

void CMapWindow::ProbeAt(int x, int y)
{
    double hit[4];
    m_probeOnGlobe = m_planet && PickGlobePoint(m_scene, *m_planet, x + 0.5, y + 0.5, hit);
    if (!m_probeOnGlobe)
        return;
    for (int i = 0; i < 4; ++i)
        m_probe[i] = hit[i];
    PointToLatLong(m_probe, &m_probeLatitude, &m_probeLongitude);
}

void CMapWindow::PlacePointerLight()
{
    m_lamp->SetPosition(m_probe[0] * kPointerLightReach, m_probe[1] * kPointerLightReach,
                        m_probe[2] * kPointerLightReach);
}

void CMapWindow::OnPaint()
{
    m_paintTick = GetTickCount();
    PAINTSTRUCT paint;
    BeginPaint(m_window, &paint);
    MakeCurrent();
    RECT client;
    GetClientRect(m_window, &client);
    m_scene.Resize(client.right, client.bottom);

    // off the globe nothing is probed and no label drawn
    m_labelCities.clear();
    if (m_probeOnGlobe)
        FindNearestCity(m_library.Cities(), m_library.CityCount(), m_probe, kProbeRadius2, kMaxLabelCandidates,
                        false, &m_labelCities, nullptr);

    glClearColor(0, 0, 0, 1);
    PlacePointerLight();
    m_scene.Draw();
    DrawOverlay();

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glFlush();
    SwapBuffers(m_dc);

    DWORD ms = GetTickCount() - m_paintTick;
    m_fps = ms == 0 ? 1001.0 : 1000.0 / ms;
    CMapTextures& textures = m_library.Textures();
    int next = textures.detail.factor;
    DetailAction action = AdaptDetailFactor(m_rateTest, textures.detail.factor, (double)ms,
                                            textures.Loading() || textures.Splitting(), &next);
    EndPaint(m_window, &paint);
    if (action == DetailAction::Reload)
        ReloadTextures(next);
    else if (action == DetailAction::Paint || m_showFps)
        InvalidateRect(m_window, nullptr, FALSE);
}

void CMapWindow::ReloadTextures(int factor)
{
    CMapTextures& textures = m_library.Textures();
    textures.SetDetailFactor(factor);
    m_planet->SetDetail(textures.detail);
    MakeCurrent();
    m_scene.Build();
    m_rateTest.counter = FrameRateTest::kFinished;
    InvalidateRect(m_window, nullptr, FALSE);
    textures.StartTextureLoadThread(m_window);
}

bool CMapWindow::TakeEarthTiles()
{
    CMapTextures& textures = m_library.Textures();
    CTextureLock lock(textures.Mutex(), kUploadMutexWaitMs);
    if (!lock.Held())
        return false;
    MakeCurrent();
    m_planet->SetSurfaceTiles(&textures.earthTiles);
    return true;
}

void CMapWindow::TextureFailed()
{
    CMapTextures& textures = m_library.Textures();
    {
        CTextureLock lock(textures.Mutex(), kUploadMutexWaitMs);
        if (lock.Held())
            textures.earthTiles.Free();
    }
    InvalidateRect(m_window, nullptr, FALSE);
    WCHAR text[256];
    swprintf(text, 256, kTextureError, kEarthFile);
    MessageBoxW(GetParent(m_window), text, L"Error", MB_OK | MB_ICONERROR);
}

void CMapWindow::OnTextureLoaded(WPARAM stage, LPARAM success)
{
    if (!success) {
        TextureFailed();
        return;
    }
    if (stage == kTextureRead) {
        m_library.Textures().StartTextureSplitThread(m_window);
        return;
    }
    if (!TakeEarthTiles()) {
        // the loader may still hold the mutex: once more, then give up
        if (!m_uploadRetried) {
            m_uploadRetried = true;
            SetTimer(m_window, kUploadRetryTimer, kUploadRetryMs, nullptr);
            return;
        }
        m_uploadRetried = false;
        TextureFailed();
        return;
    }
    m_uploadRetried = false;
    m_scene.Build();
    RestartFrameRateTest(m_rateTest, m_library.Textures().detail.factor);
    InvalidateRect(m_window, nullptr, FALSE);
}

bool CMapWindow::ApplyClouds(bool on)
{
    CMapTextures& textures = m_library.Textures();
    MakeCurrent();
    if (!on || (textures.settings.restrictions & kNoCloudMap)) {
        m_planet->SetCloudTiles(nullptr);
        return true;
    }
    if (!textures.cloudTiles.Ready() && !textures.LoadCloudTexture(textures.detail.textureSize))
        return false;
    m_planet->SetCloudTiles(&textures.cloudTiles);
    return true;
}

void CMapWindow::OnSetOverlay(bool on)
{
    if (!ApplyClouds(on))
        return;
    m_scene.Build();
    InvalidateRect(m_window, nullptr, FALSE);
}

void CMapWindow::OnDestroy()
{
    if (m_context.Get()) {
        MakeCurrent();
        m_scene.DeleteChildren();
        m_planet = nullptr;
        m_lamp = nullptr;
        if (m_buttonTexture)
            glDeleteTextures(1, &m_buttonTexture);
        m_buttonTexture = 0;
    }
    KillTimer(m_window, IDT_BUTTONREPEAT);
    KillTimer(m_window, IDT_PHOTOHOVER);
    KillTimer(m_window, IDT_FLYTO);
    KillTimer(m_window, kUploadRetryTimer);
    m_buttons.DeleteChildren();
    if (m_context.Get())
        MakeCurrent();
    m_font.Release();
    m_context.Reset();
    if (m_dc)
        ReleaseDC(m_window, m_dc);
    m_dc = nullptr;
}
