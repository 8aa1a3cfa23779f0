#include "settings/frame/SettingsFrame.h"

#include "app/ui/DialogHelpers.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "settings/SettingsResources.h"
#include "settings/chooser/LocationChooser.h"
#include "settings/dialog/PageProtocol.h"

namespace {

// The location chooser's host keeps its state in these.
const int kChooserExtraBytes = 16;

BOOL CALLBACK RelocalizeDialogProc(HWND window, LPARAM)
{
    if (IsDialogWindow(window))
        SendMessageW(window, UM_RELOCALIZE, 0, 0);
    return TRUE;
}

}  // namespace

CSettingsFrame::CSettingsFrame(ISettingsFrameHost& host)
    : m_host(host), m_window(nullptr), m_dialog(nullptr), m_chooser(nullptr), m_dialogFailed(false),
      m_closingDialog(false)
{
}

CSettingsFrame::~CSettingsFrame()
{
    if (m_window)
        DestroyWindow(m_window);
}

bool CSettingsFrame::RegisterClasses(HINSTANCE instance)
{
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SETTINGS));
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);

    WNDCLASSW frame = {};
    frame.style = CS_HREDRAW | CS_VREDRAW;
    frame.lpfnWndProc = SettingsFrameWndProc;
    frame.hInstance = instance;
    frame.hIcon = icon;
    frame.hCursor = arrow;
    frame.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    frame.lpszMenuName = MAKEINTRESOURCEW(IDM_SETTINGS_FRAME);
    frame.lpszClassName = kSettingsWindowClass;
    if (!RegisterClassW(&frame))
        return false;

    WNDCLASSW chooser = {};
    chooser.style = CS_HREDRAW | CS_VREDRAW;
    chooser.lpfnWndProc = CLocationChooser::HostWindowProc;
    chooser.cbWndExtra = kChooserExtraBytes;
    chooser.hInstance = instance;
    chooser.hIcon = icon;
    chooser.hCursor = arrow;
    chooser.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    chooser.lpszClassName = kLocationChooserClass;
    return RegisterClassW(&chooser) != 0;
}

void CSettingsFrame::UnregisterClasses(HINSTANCE instance)
{
    UnregisterClassW(kSettingsWindowClass, instance);
    UnregisterClassW(kLocationChooserClass, instance);
}

bool CSettingsFrame::Create(HINSTANCE instance, const WCHAR* caption)
{
    m_dialogFailed = false;
    // never shown: the dialog is what the user sees
    HWND window = CreateWindowExW(0, kSettingsWindowClass, caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    return window != nullptr;
}

HWND CSettingsFrame::Dialog() const
{
    return m_dialog && IsWindow(m_dialog) ? m_dialog : nullptr;
}

bool CSettingsFrame::OpenSettingsDialog()
{
    if (Dialog())
        return true;
    m_dialog = m_window ? m_host.CreateSettingsDialogFor(m_window) : nullptr;
    return m_dialog != nullptr;
}

LRESULT CALLBACK CSettingsFrame::SettingsFrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = (CSettingsFrame*)((CREATESTRUCTW*)lParam)->lpCreateParams;
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, (LONG_PTR)self);
    }
    auto* self = (CSettingsFrame*)GetWindowLongPtrW(window, GWLP_USERDATA);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (self)
            self->m_window = nullptr;
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    // the host builds the tree here; running out of memory must not unwind
    // through the system's code
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        return message == WM_CREATE ? -1 : 0;
    }
}

LRESULT CSettingsFrame::ToDialog(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND dialog = Dialog();
    return dialog ? SendMessageW(dialog, message, wParam, lParam) : 0;
}

LRESULT CSettingsFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case UM_SETTINGSCOMMAND:
        if (wParam != kSettingsNoCommand)
            ToDialog(UM_RUNSETTINGSCOMMAND, wParam, lParam);
        return 0;
    case UM_SETCLOCKONDESKTOP:
    case UM_SYNCSTATUS:
    case UM_MAPOVERLAYCHANGED:
        return ToDialog(message, wParam, lParam);
    case UM_CLOSEMODAL:
        if (m_chooser && IsWindow(m_chooser))
            EndDialog(m_chooser, kChooserClosed);
        return 0;
    case UM_RELOCALIZE:
        OnRelocalize();
        return 0;
    case WM_WININICHANGE:
        m_host.ReloadVisualStyles();
        ToDialog(WM_WININICHANGE, wParam, lParam);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_SETTINGS_EXIT)
            DestroyWindow(m_window);
        else if (LOWORD(wParam) == IDM_SETTINGS_OPEN)
            OpenSettingsDialog();
        return 0;
    case WM_TIMER:
        if (wParam == kZoneWatchTimer)
            m_host.CheckZoneChanges();
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

bool CSettingsFrame::OnCreate()
{
    if (!OpenSettingsDialog()) {
        // without its dialog the program has nothing to show: it ends quietly
        m_dialogFailed = true;
        return false;
    }
    SetTimer(m_window, kZoneWatchTimer, kZoneWatchMs, nullptr);
    return true;
}

void CSettingsFrame::OnClose()
{
    // the dialog's own closing puts back a loaded profile's backup; it then
    // destroys itself and closes us again
    HWND dialog = Dialog();
    if (dialog && !m_closingDialog) {
        m_closingDialog = true;
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        m_closingDialog = false;
        return;
    }
    DestroyWindow(m_window);
}

void CSettingsFrame::OnDestroy()
{
    KillTimer(m_window, kZoneWatchTimer);
    if (HWND dialog = Dialog())
        DestroyWindow(dialog);
    m_dialog = nullptr;
    m_host.FrameDestroyed();
    PostQuitMessage(0);
}

void CSettingsFrame::OnRelocalize()
{
    WCHAR caption[kSettingsTextChars] = {};
    m_host.ReloadTexts(caption);
    SetWindowTextW(m_window, caption);
    HWND dialog = Dialog();
    if (!dialog)
        return;
    SendMessageW(dialog, UM_RELOCALIZE, 0, 0);
    // a dialog's translation leaves its nested pages to themselves
    EnumChildWindows(dialog, RelocalizeDialogProc, 0);
    InvalidateRect(dialog, nullptr, TRUE);
}
