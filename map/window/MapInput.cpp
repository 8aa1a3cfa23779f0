// The map window's input: keys, mouse, timers, and the messages with the host
// and the main program about cities and their photos.
#include "map/window/MapWindow.h"

#include <stdlib.h>

#include <string>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/WebSites.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/CityRecord.h"
#include "map/MapLibrary.h"
#include "map/MapProtocol.h"
#include "map/scene/2DButton.h"
#include "map/scene/Planet.h"
#include "map/window/NearestCity.h"

namespace {

const UINT kButtonRepeatMs = 30;
const UINT kFlightStepMs = 20;
const UINT kHoverMs = 500;
const int kWheelNotch = 120;
// The reply of the main program that takes a photo request.
const LRESULT kPhotoRequestAccepted = 1;
const WCHAR kAddPhotoPage[] = L"cms/add_photo.htm";

// Buttons that act when released over them, not while held.
bool ActsOnRelease(int key)
{
    return key == VK_PRIOR || key == VK_NEXT || key == VK_HOME || key == VK_INSERT;
}

}  // namespace

bool CMapWindow::OnKeyDown(UINT key)
{
    CameraKey camera = ApplyCameraKey(key, &m_camera);
    if (camera != CameraKey::None) {
        ApplyCamera();
        if (camera != CameraKey::Moved)
            MeasureGlobe();
        if (camera == CameraKey::Zoomed)
            CancelHover();
        ProbeCursor();
    } else {
        int next = 0;
        switch (key) {
        case VK_PRIOR:
        case VK_NEXT:
            m_strip->Page(key == VK_NEXT);
            break;
        case VK_INSERT:
            OpenAddPhotoPage();
            break;
        case 'F':
            m_showFps = !m_showFps;
            break;
        case 'I':
            m_showInfo = !m_showInfo;
            break;
        case 'H':
        case 'L':
            if (StepDetailFactor(m_library.Textures().detail.factor, key == 'L', &next))
                ReloadTextures(next);
            break;
        default:
            return false;
        }
    }
    StopFlight();
    InvalidateRect(m_window, nullptr, FALSE);
    return true;
}

void CMapWindow::OpenAddPhotoPage()
{
    std::wstring address = std::wstring(kCityPhotoSite) + kAddPhotoPage;
    m_library.WebOpener().OpenAddress(address.c_str());
}

void CMapWindow::ProbeCursor()
{
    // before the mouse came, the probe is the window's centre
    if (m_cursorX < 0)
        ProbeAt(m_scene.GetWidth() / 2, m_scene.GetHeight() / 2);
    else
        ProbeAt(m_cursorX, m_cursorY);
}

int CMapWindow::ProbeNearestCity(bool* inRadius)
{
    return FindNearestCity(m_library.Cities(), m_library.CityCount(), m_probe, kProbeRadius2, 0, true, nullptr,
                           inRadius);
}

bool CMapWindow::OverStrip(int x, int y) const
{
    return m_strip->IsOver(x, y, m_scene.GetWidth(), m_scene.GetHeight());
}

void CMapWindow::OnMouseMove(int x, int y, WPARAM keys)
{
    CancelHover();
    if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_window, 0};
        m_tracking = TrackMouseEvent(&track) != FALSE;
    }
    m_cursorX = x;
    m_cursorY = m_scene.GetHeight() - y - 1;
    if (m_flying)
        return;
    ProbeAt(m_cursorX, m_cursorY);
    if (keys & MK_LBUTTON) {
        if (!m_pressedKey && m_pressedCredit < 0 && m_pressOnGlobe && m_probeOnGlobe) {
            DragCamera(m_drag, m_probeLatitude, m_probeLongitude, &m_camera);
            ApplyCamera();
            m_dragged = true;
        }
    } else if (m_probeOnGlobe && !OverStrip(m_cursorX, m_cursorY)) {
        bool inRadius = false;
        int index = ProbeNearestCity(&inRadius);
        // the first city of the list starts no hover: its negation is itself
        if (index > 0 && index < m_library.CityCount())
            StartHoverTimer(inRadius ? index : -index);
    }
    InvalidateRect(m_window, nullptr, FALSE);
}

int CMapWindow::ButtonHitTest(int x, int y, bool press)
{
    int left = m_scene.GetWidth() - kPhotoStripWidth, key = 0;
    for (int i = 0; i < m_buttons.GetChildCount(); ++i) {
        auto* button = static_cast<C2DButton*>(m_buttons.GetChild(i));
        bool hit = button->HitTest(x - left, y);
        if (hit && !key)
            key = button->GetKey();
        if (press)
            button->SetPressed(hit && key == button->GetKey());
    }
    return key;
}

void CMapWindow::OnLButtonDown(int x, int y)
{
    m_cursorX = x;
    m_cursorY = m_scene.GetHeight() - y - 1;
    m_dragged = false;
    ProbeAt(m_cursorX, m_cursorY);
    m_pressOnGlobe = m_probeOnGlobe;
    if (m_pressOnGlobe)
        m_drag = {m_camera.tilt, m_camera.rotation, m_probeLatitude, m_probeLongitude};
    SetFocus(m_window);
    SetCapture(m_window);
    m_pressedKey = ButtonHitTest(m_cursorX, m_cursorY, true);
    m_pressedCredit = CreditHitTest(m_cursorX, m_cursorY);
    if (m_pressedKey && !ActsOnRelease(m_pressedKey)) {
        SendMessageW(m_window, WM_KEYDOWN, m_pressedKey, 0);
        SetTimer(m_window, IDT_BUTTONREPEAT, kButtonRepeatMs, nullptr);
    }
    InvalidateRect(m_window, nullptr, FALSE);
}

void CMapWindow::OnLButtonUp(int x, int y)
{
    KillTimer(m_window, IDT_BUTTONREPEAT);
    // the capture must go before anything that may send messages elsewhere
    if (GetCapture() == m_window)
        ReleaseCapture();
    m_cursorX = x;
    m_cursorY = m_scene.GetHeight() - y - 1;
    int key = m_pressedKey, credit = m_pressedCredit;
    m_pressedKey = 0;
    m_pressedCredit = -1;
    int released = ButtonHitTest(m_cursorX, m_cursorY, false);
    for (int i = 0; i < m_buttons.GetChildCount(); ++i)
        static_cast<C2DButton*>(m_buttons.GetChild(i))->SetPressed(false);
    if (key && released == key && ActsOnRelease(key))
        SendMessageW(m_window, WM_KEYDOWN, key, 0);
    else if (!key)
        m_strip->OpenPhotoAt(m_cursorX, m_cursorY);

    if (!m_dragged && !key && !OverStrip(m_cursorX, m_cursorY)) {
        if (credit >= 0) {
            OpenCredit(credit);
        } else {
            ProbeAt(m_cursorX, m_cursorY);
            if (m_probeOnGlobe) {
                bool inRadius = false;
                int index = ProbeNearestCity(&inRadius);
                if (index >= 0) {
                    CityRecord* city = &m_library.Cities()[index];
                    if (inRadius)
                        SendMessageW(GetParent(m_window), UM_MAPSELECTCITY, index, (LPARAM)city);
                    RequestAndShow(inRadius ? index : -index);
                }
                StartFlyTo(m_probeLatitude, m_probeLongitude);
            }
        }
    }
    InvalidateRect(m_window, nullptr, FALSE);
}

void CMapWindow::OnMouseWheel(int delta)
{
    if (m_strip->HasHiddenPhotos() && OverStrip(m_cursorX, m_cursorY)) {
        // a notch back pages forward, as a page down would
        OnKeyDown(delta < 0 ? VK_NEXT : VK_PRIOR);
        return;
    }
    ZoomCamera(delta / -kWheelNotch, &m_camera);
    ApplyCamera();
    MeasureGlobe();
    ProbeCursor();
    CancelHover();
    InvalidateRect(m_window, nullptr, FALSE);
}

bool CMapWindow::OnSetCursor()
{
    if (m_cursorX < 0 || CreditHitTest(m_cursorX, m_cursorY) < 0)
        return false;
    SetCursor(m_hand);
    return true;
}

void CMapWindow::OnTimer(UINT_PTR id)
{
    switch (id) {
    case IDT_BUTTONREPEAT:
        if (m_pressedKey)
            SendMessageW(m_window, WM_KEYDOWN, m_pressedKey, 0);
        break;
    case IDT_FLYTO:
        OnFlyTimer();
        break;
    case IDT_PHOTOHOVER:
        OnHoverTimer();
        break;
    case kUploadRetryTimer:
        KillTimer(m_window, kUploadRetryTimer);
        OnTextureLoaded(kTextureSplit, 1);
        break;
    }
}

void CMapWindow::StartFlyTo(double latitude, double longitude)
{
    m_flight = PlanFlight(m_camera, latitude, 360.0 - longitude);
    m_flying = true;
    SetTimer(m_window, IDT_FLYTO, kFlightStepMs, nullptr);
}

void CMapWindow::StopFlight()
{
    if (!m_flying)
        return;
    KillTimer(m_window, IDT_FLYTO);
    m_flying = false;
}

void CMapWindow::OnFlyTimer()
{
    if (!m_flying) {
        KillTimer(m_window, IDT_FLYTO);
        return;
    }
    bool done = FlightStep(&m_flight, &m_camera);
    ApplyCamera();
    if (done) {
        StopFlight();
        ProbeAt(m_scene.GetWidth() / 2, m_scene.GetHeight() / 2);
    }
    InvalidateRect(m_window, nullptr, FALSE);
}

void CMapWindow::StartHoverTimer(int32_t index)
{
    m_hover.pending = true;
    m_hover.index = index;
    m_hover.x = m_cursorX;
    m_hover.y = m_cursorY;
    SetTimer(m_window, IDT_PHOTOHOVER, kHoverMs, nullptr);
}

void CMapWindow::CancelHover()
{
    if (!m_hover.pending)
        return;
    KillTimer(m_window, IDT_PHOTOHOVER);
    m_hover.pending = false;
}

void CMapWindow::OnHoverTimer()
{
    KillTimer(m_window, IDT_PHOTOHOVER);
    if (!m_hover.pending)
        return;
    m_hover.pending = false;
    if (m_hover.x != m_cursorX || m_hover.y != m_cursorY || abs(m_hover.index) >= m_library.CityCount())
        return;
    RequestAndShow(m_hover.index);
    InvalidateRect(m_window, nullptr, FALSE);
}

bool CMapWindow::RequestPhotosForCity(int32_t signedIndex)
{
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    if (!main)
        return false;
    return SendMessageW(main, UM_REQUESTPHOTO, (WPARAM)(INT_PTR)signedIndex, (LPARAM)m_window) ==
           kPhotoRequestAccepted;
}

void CMapWindow::RequestAndShow(int32_t signedIndex)
{
    if (RequestPhotosForCity(signedIndex))
        m_strip->ShowPhotosOfCity(m_library.Cities()[abs(signedIndex)], signedIndex);
}

void CMapWindow::OnSelectCity(WPARAM index)
{
    if (index >= (WPARAM)m_library.CityCount())
        return;
    const CityRecord& city = m_library.Cities()[index];
    StartFlyTo(city.latitude, city.longitude);
    for (int i = 0; i < 4; ++i)
        m_probe[i] = city.mapPosition[i];
    m_probeLatitude = city.latitude;
    m_probeLongitude = city.longitude;
    m_probeOnGlobe = true;
    RequestAndShow((int32_t)index);
    InvalidateRect(m_window, nullptr, FALSE);
}

void CMapWindow::OnShowCity(WPARAM index, LPARAM record)
{
    // any process can send this: only the address of that very record of our
    // own array is taken
    if (index >= (WPARAM)m_library.CityCount() || record != (LPARAM)&m_library.Cities()[index])
        return;
    RequestAndShow((int32_t)index);
    InvalidateRect(m_window, nullptr, FALSE);
}

void CMapWindow::OnPhotoReady(WPARAM wParam, LPARAM number)
{
    int32_t index = (int32_t)wParam;
    int64_t magnitude = index < 0 ? -(int64_t)index : index;
    if (magnitude >= m_library.CityCount() || number < 1)
        return;
    if (m_hover.pending && m_hover.index == index)
        CancelHover();
    const CityRecord& city = m_library.Cities()[magnitude];
    if (!m_strip->ShowsPlace(city, index < 0) || !RequestPhotosForCity(index))
        return;
    m_strip->ShowPhotosOfCity(city, index);
    InvalidateRect(m_window, nullptr, FALSE);
}
