#include "graphics/window/Window.h"

#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"

namespace {

const int kMinAlpha = 10;
const WORD kWindowIcon = 32512;

HINSTANCE g_module;
bool g_genericRegistered;
bool g_layeredRegistered;

bool RegisterOne(HINSTANCE module, const WCHAR* name, UINT style)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = CWindow::SharedWindowProc;
    wc.cbWndExtra = 8;
    wc.hInstance = module;
    wc.hIcon = LoadIconW(module, MAKEINTRESOURCEW(kWindowIcon));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

bool IsButtonDown(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

bool ReleasesCapture(UINT message)
{
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP ||
           message == WM_SHOWWINDOW || message == WM_DESTROY;
}

}  // namespace

bool RegisterWindowClasses(HINSTANCE module)
{
    // Local classes are found by name and module: windows must be created
    // with the module that registered the classes, not with a later caller's.
    if (!g_genericRegistered && !g_layeredRegistered)
        g_module = module;
    if (!g_genericRegistered)
        g_genericRegistered = RegisterOne(g_module, kGenericWindowClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC);
    if (!g_layeredRegistered)
        g_layeredRegistered = RegisterOne(g_module, kLayeredWindowClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
    return g_genericRegistered && g_layeredRegistered;
}

void UnregisterWindowClasses(HINSTANCE module)
{
    // another module's call would fail to remove them yet forget them
    if (module != g_module)
        return;
    UnregisterClassW(kGenericWindowClass, module);
    UnregisterClassW(kLayeredWindowClass, module);
    g_genericRegistered = g_layeredRegistered = false;
    g_module = nullptr;
}

CWindow::CWindow()
    : m_fallbackProc(DefWindowProcW), m_x(0), m_y(0), m_width(300), m_height(200), m_alpha(255),
      m_colorKey(CLR_INVALID), m_destroying(false), m_hwnd(nullptr)
{
}

CWindow::~CWindow()
{
    m_destroying = true;
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

LRESULT CALLBACK CWindow::SharedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindow* self = (CWindow*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (message == WM_CREATE && !self && lParam) {
        // a window of these classes made by someone else has no object: it
        // stays a plain DefWindowProc window
        self = (CWindow*)((CREATESTRUCTW*)lParam)->lpCreateParams;
        if (self) {
            self->m_hwnd = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)self);
        }
    }
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);

    if (IsButtonDown(message))
        SetCapture(hwnd);
    else if (ReleasesCapture(message) && GetCapture() == hwnd)
        ReleaseCapture();

    WindowMessage record = {message, wParam, lParam, 0};
    bool handled = self->OnMessage(record);
    if ((CWindow*)GetWindowLongPtrW(hwnd, GWLP_USERDATA) != self) {
        // a modal loop inside the handler (a menu, a dialog) let its owner
        // delete the object: nothing of it may be touched any more
        return handled ? record.result : DefWindowProcW(hwnd, message, wParam, lParam);
    }

    if (message == WM_DESTROY && !self->m_destroying) {
        // closed from outside: the window takes its object with it
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        delete self;
        self = nullptr;
    } else if (message == WM_DESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    if (handled)
        return record.result;
    return self ? CallWindowProcW(self->m_fallbackProc, hwnd, message, wParam, lParam)
                : DefWindowProcW(hwnd, message, wParam, lParam);
}

bool CWindow::OnMessage(WindowMessage&)
{
    return false;
}

bool CWindow::Create(HWND parent, const WCHAR* title, DWORD style, DWORD exStyle)
{
    // a failed creation destroys the window: the object must survive that for its owner
    m_destroying = true;
    const WCHAR* windowClass = (exStyle & WS_EX_LAYERED) ? kLayeredWindowClass : kGenericWindowClass;
    HWND hwnd = CreateWindowExW(exStyle, windowClass, title, style, m_x, m_y, m_width, m_height, parent, nullptr,
                                g_module, this);
    m_destroying = false;
    if (!hwnd) {
        m_hwnd = nullptr;
        return false;
    }
    if (exStyle & WS_EX_LAYERED)
        SetAlpha(m_alpha);
    return true;
}

void CWindow::Destroy()
{
    // the owner deletes the object afterwards: the window must not
    m_destroying = true;
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    m_destroying = false;
}

void CWindow::SetAlpha(int alpha)
{
    m_alpha = (BYTE)(alpha < kMinAlpha ? kMinAlpha : alpha > 255 ? 255 : alpha);
    if (m_hwnd && (GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & WS_EX_LAYERED))
        SetLayeredWindowAttributes(m_hwnd, m_colorKey == CLR_INVALID ? 0 : m_colorKey, m_alpha,
                                   LWA_ALPHA | (m_colorKey == CLR_INVALID ? 0 : LWA_COLORKEY));
}

void CWindow::SetBounds(int x, int y, int width, int height)
{
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
}

CAlphaWindow::CAlphaWindow() : m_perPixelAlpha(true)
{
}

bool CAlphaWindow::OnMessage(WindowMessage& message)
{
    switch (message.message) {
    case WM_CREATE:
        SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE, GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        message.result = m_buffer.Create(m_width, m_height) ? 0 : -1;
        return true;
    case WM_DESTROY:
        m_buffer.Destroy();
        return false;
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* pos = (const WINDOWPOS*)message.lParam;
        m_x = pos->x;
        m_y = pos->y;
        if (!(pos->flags & SWP_NOSIZE) && (pos->cx != m_buffer.GetWidth() || pos->cy != m_buffer.GetHeight())) {
            m_width = pos->cx;
            m_height = pos->cy;
            m_buffer.Create(m_width, m_height);
        }
        Redraw();
        message.result = 0;
        return true;
    }
    }
    return false;
}

void CAlphaWindow::SetAlpha(int alpha)
{
    m_alpha = (BYTE)(alpha < kMinAlpha ? kMinAlpha : alpha > 255 ? 255 : alpha);
    if (m_hwnd && (GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & WS_EX_LAYERED))
        Redraw();
}

bool CAlphaWindow::Redraw()
{
    if (!m_hwnd)
        return false;
    CWindowDC dc(m_hwnd);
    return UpdateLayered(dc.Get());
}

bool CAlphaWindow::UpdateLayered(HDC dc)
{
    if (!m_hwnd || !m_buffer.IsValid())
        return false;
    RECT rect;
    GetWindowRect(m_hwnd, &rect);
    POINT position = {rect.left, rect.top};
    SIZE size = {m_buffer.GetWidth(), m_buffer.GetHeight()};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_alpha, (BYTE)(m_perPixelAlpha ? AC_SRC_ALPHA : 0)};
    DWORD flags = ULW_ALPHA | (m_colorKey == CLR_INVALID ? 0 : ULW_COLORKEY);
    return UpdateLayeredWindow(m_hwnd, dc, &position, &size, m_buffer.GetDC(), &source,
                               m_colorKey == CLR_INVALID ? 0 : m_colorKey, &blend, flags) != FALSE;
}
