#include "taskbar/tray/TrayTooltip.h"

namespace {

const UINT_PTR kHideTimer = 1;

}  // namespace

bool CTrayTooltip::CreateTooltip()
{
    m_clock = -1;
    return Create(nullptr, L"Tempoler Tooltip", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
}

bool CTrayTooltip::IsShown() const
{
    return m_hwnd && IsWindowVisible(m_hwnd);
}

void CTrayTooltip::Hide()
{
    if (m_hwnd) {
        KillTimer(m_hwnd, kHideTimer);
        ShowWindow(m_hwnd, SW_HIDE);
    }
}

void CTrayTooltip::HideAfter(UINT ms)
{
    if (m_hwnd)
        SetTimer(m_hwnd, kHideTimer, ms, nullptr);
}

void CTrayTooltip::CancelHide()
{
    if (m_hwnd)
        KillTimer(m_hwnd, kHideTimer);
}

bool CTrayTooltip::OnMessage(WindowMessage& message)
{
    if (message.message == WM_TIMER && message.wParam == kHideTimer) {
        Hide();
        message.result = 0;
        return true;
    }
    // a global object: closing it from outside must not delete it
    if (message.message == WM_CLOSE) {
        message.result = 0;
        return true;
    }
    return CWindow::OnMessage(message);
}
