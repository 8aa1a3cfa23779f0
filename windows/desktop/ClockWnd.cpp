#include "windows/desktop/ClockWnd.h"

#include <string.h>

#include <string>

#include "app/startup/ProgramResources.h"
#include "graphics/clock/Clock.h"
#include "graphics/clock/ClockFactory.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/records/SettingsPaths.h"
#include "graphics/skin/Graphics.h"
#include "graphics/system/Paths.h"
#include "graphics/time/ZoneTime.h"
#include "graphics/window/PopupPosition.h"
#include "windows/SkinManager.h"
#include "windows/TaskbarColours.h"
#include "windows/desktop/DesktopClocks.h"
#include "windows/desktop/DesktopPlacement.h"

namespace {

const DWORD kStyle = WS_POPUP;
const DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_LAYERED;
const int kNoPosition = 32767;
const int kLargestDesktopFace = 150;
const int kSmallestFaceClient = 32;
const int kAlphaStep = 8;
const int kLowestAlpha = 16;
const int kWheelDelta = 120;
const int kUnbounded = 0x7FFFFFFF;
// A press this close to the right or bottom edge of a face clock sizes it.
const int kSizingGrip = 6;

bool OwnBackground(CGraphics* skin)
{
    return skin->GetKind() != kKindStandard && skin->GetKind() != kKindClassic;
}

bool IsColour(COLORREF color)
{
    return color != kNoColor && color != kDefaultColor;
}

// The array's record of a window's clock, when the array still holds it there.
ClockRecord* ArrayRecord(CDesktopClocks& owner, int index, uint32_t id)
{
    IDesktopClockHost* host = owner.Host();
    if (!host || index < 0 || index >= host->ClockCount() || !host->Clocks())
        return nullptr;
    ClockRecord* record = &host->Clocks()[index];
    return record->id == id ? record : nullptr;
}

}  // namespace

CClockWnd::CClockWnd(CDesktopClocks& owner)
    : m_owner(owner), m_skin(nullptr), m_clock(nullptr), m_clockIndex(-1), m_fontIndex(0), m_natural{0, 0},
      m_textSkin(true), m_transparentBack(false), m_drag(kIdle), m_edges(0), m_grab{0, 0}, m_pressRect{},
      m_lastDateKey(-1), m_lastSecond(-1), m_onTop(0), m_armed(0), m_lastHover(-1), m_group(0), m_z(-1),
      m_hasSavedPosition(false), m_trackingLeave(false)
{
}

CClockWnd::~CClockWnd()
{
    m_owner.Remove(this);
    // the window goes first: its last messages still find the clock
    m_destroying = true;
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    delete m_clock;
    m_clock = nullptr;
    if (m_skin)
        m_owner.Services().skins->ReleaseSkin(m_skin);
    m_skin = nullptr;
}

uint32_t CClockWnd::ClockId() const
{
    return m_clock ? m_clock->Record().id : 0;
}

void CClockWnd::GetBounds(RECT* rect) const
{
    if (!m_hwnd || !GetWindowRect(m_hwnd, rect))
        SetRect(rect, m_x, m_y, m_x + m_width, m_y + m_height);
}

int CClockWnd::ReadKey(const WCHAR* key, int def) const
{
    const SettingsPaths& paths = *m_owner.Services().paths;
    WCHAR section[96];
    wsprintfW(section, L"%s:clock%d", paths.userPrefix, (int)ClockId());
    return (int)GetPrivateProfileIntW(section, key, def, paths.userIni);
}

void CClockWnd::WriteKey(const WCHAR* key, int value) const
{
    const SettingsPaths& paths = *m_owner.Services().paths;
    WCHAR section[96], text[16];
    wsprintfW(section, L"%s:clock%d", paths.userPrefix, (int)ClockId());
    wsprintfW(text, L"%d", value);
    WritePrivateProfileStringW(section, key, text, paths.userIni);
}

bool CClockWnd::LoadSettings(HWND parent, ClockRecord& record, int index)
{
    const DesktopClockServices& services = m_owner.Services();
    IDesktopClockHost& host = *m_owner.Host();
    m_clockIndex = index;

    if (FixedLength(record.skin, FIELD_WIDTH(record.skin)) == 0)
        CopyFixedField(record.skin, host.ProgramSettings().skin, FIELD_WIDTH(record.skin));
    WCHAR skinName[FIELD_WIDTH(record.skin) + 1];
    CopyFieldText(skinName, FIELD_WIDTH(skinName), record.skin, FIELD_WIDTH(record.skin));
    m_skin = services.skins->GetSkin(skinName);
    if (!m_skin)
        return false;

    m_textSkin = !SkinHasClockFace(*services.paths, skinName);
    ClockOptions options = {};
    m_clock = CreateClock(record, m_skin, m_owner.Context(), options);
    bool face = !m_textSkin && dynamic_cast<CMechClock*>(m_clock);
    SetPerPixelAlpha(face);
    m_transparentBack = (record.flags & kClockTransparent) != 0;

    m_onTop = (BYTE)(ReadKey(L"dsk_on_top", m_onTop) != 0);
    m_group = ReadKey(L"dsk_group", m_group);
    if (m_group != 0) {
        for (int i = 0; i < m_owner.Count(); ++i) {
            CClockWnd* other = m_owner.At(i);
            if (other != this && other->m_group == m_group) {
                m_onTop = other->m_onTop;
                break;
            }
        }
    }

    // a small first buffer: the clock is measured once the window exists
    m_alpha = record.alpha;
    SetBounds(0, 0, 1, 1);
    WCHAR caption[FIELD_WIDTH(record.caption) + 1];
    CopyFieldText(caption, FIELD_WIDTH(caption), record.caption, FIELD_WIDTH(record.caption));
    if (!Create(parent, caption, kStyle, kExStyle | (m_onTop ? WS_EX_TOPMOST : 0)))
        return false;

    TakeTaskbarColours(m_skin, m_hwnd, services.styles);
    COLORREF key = CLR_INVALID;
    if (!m_perPixelAlpha) {
        COLORREF back = m_skin->GetBackColor();
        if (!m_transparentBack && OwnBackground(m_skin))
            // one step off the skin's background: a bitmap skin fills and
            // frames its cells in that very colour, which must stay
            key = (IsColour(back) ? back : GetSysColor(COLOR_BTNFACE)) ^ 1;
        else if (m_skin->GetBorderStyle() == kBorderRounded || m_transparentBack)
            // the corners outside a rounded frame, or all a transparent
            // clock leaves unpainted, show the desktop
            key = GetSysColor(COLOR_BTNFACE);
    }
    SetColorKey(key);
    SetAlpha(m_alpha);

    if (!m_owner.Add(this))
        return false;

    RECT work = PrimaryWorkArea();
    std::vector<RECT> others;
    for (int i = 0; i < m_owner.Count(); ++i) {
        CClockWnd* other = m_owner.At(i);
        if (other != this) {
            RECT r;
            other->GetBounds(&r);
            others.push_back(r);
        }
    }
    POINT anchor = DefaultAnchor(work, others);

    WCHAR savedSkin[96];
    const SettingsPaths& paths = *services.paths;
    WCHAR section[96];
    wsprintfW(section, L"%s:clock%d", paths.userPrefix, (int)ClockId());
    GetPrivateProfileStringW(section, L"dsk_skin", L"", savedSkin, FIELD_WIDTH(savedSkin), paths.userIni);
    bool sameSkin = SameStyleName(savedSkin, skinName);
    int x = ReadKey(L"dsk_pos_x", kNoPosition), y = ReadKey(L"dsk_pos_y", kNoPosition);
    m_hasSavedPosition = x < kNoPosition && y < kNoPosition;
    m_z = ReadKey(L"dsk_pos_z", m_z);
    ResolveSavedOrigin(ReadKey(L"dsk_org", 0), work, &x, &y);

    SYSTEMTIME now;
    GetSystemTime(&now);
    TakeTimerState();
    m_clock->Update(now);
    GiveTimerState();
    HDC dc = m_buffer.GetDC();
    m_clock->Measure(dc, work.right - work.left, work.bottom - work.top, nullptr, nullptr);

    CMechClock* mech = face ? static_cast<CMechClock*>(m_clock) : nullptr;
    int current = mech ? mech->GetFaceSize() : m_clock->GetFontSize();
    int size = current;
    if (sameSkin) {
        m_fontIndex = ReadKey(L"dsk_font", m_fontIndex);
        size = ReadKey(L"dsk_size", current);
        // a size no step of the wheel could reach is not taken
        if (!mech && (size == 0 || size > 72 || size < -200))
            size = current;
    }
    if (size != current) {
        if (mech)
            mech->ApplyFaceSize(dc, size);
        else
            m_clock->SetFontSize(size);
    } else if (mech && current > kLargestDesktopFace) {
        mech->ApplyFaceSize(dc, kLargestDesktopFace);
    }

    SIZE windowSize = FitClock(kUnbounded, kUnbounded);
    int left = m_hasSavedPosition ? x - windowSize.cx / 2 : anchor.x - windowSize.cx;
    int top = m_hasSavedPosition ? y - windowSize.cy / 2 : anchor.y - windowSize.cy;
    SetWindowPos(m_hwnd, nullptr, left, top, windowSize.cx, windowSize.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // a place saved on a monitor that is gone, or a minimised window's
    // (-32000, -32000), would keep the clock out of sight
    POINT place;
    if (FindOnScreenPlace(&place))
        SetWindowPos(m_hwnd, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!m_owner.IsBusy() && !m_owner.IsHidden())
        ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    return true;
}

void CClockWnd::SaveSettings()
{
    if (!m_clock)
        return;
    const SettingsPaths& paths = *m_owner.Services().paths;
    WCHAR section[96], skin[FIELD_WIDTH(m_clock->Record().skin) + 1];
    wsprintfW(section, L"%s:clock%d", paths.userPrefix, (int)ClockId());
    CopyFieldText(skin, FIELD_WIDTH(skin), m_clock->Record().skin, FIELD_WIDTH(m_clock->Record().skin));
    WritePrivateProfileStringW(section, L"dsk_skin", skin, paths.userIni);
    WriteKey(L"dsk_on_top", m_onTop);
    RECT r;
    GetBounds(&r);
    WriteKey(L"dsk_pos_x", r.left + (r.right - r.left) / 2);
    WriteKey(L"dsk_pos_y", r.top + (r.bottom - r.top) / 2);
    WritePrivateProfileStringW(section, L"dsk_org", nullptr, paths.userIni);
    if (m_z >= 0)
        WriteKey(L"dsk_pos_z", m_z);
    WriteKey(L"dsk_group", m_group);
    WriteKey(L"dsk_font", m_fontIndex);
    CMechClock* mech = m_textSkin ? nullptr : dynamic_cast<CMechClock*>(m_clock);
    WriteKey(L"dsk_size", mech ? mech->GetFaceSize() : m_clock->GetFontSize());
}

SIZE CClockWnd::WindowSizeFor(int clientWidth, int clientHeight) const
{
    RECT r = {0, 0, clientWidth, clientHeight};
    DWORD exStyle = m_hwnd ? (DWORD)GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) : kExStyle;
    AdjustWindowRectEx(&r, kStyle, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE CClockWnd::FitClock(int largestWidth, int largestHeight)
{
    HDC dc = m_buffer.GetDC();
    CMechClock* mech = m_textSkin ? nullptr : dynamic_cast<CMechClock*>(m_clock);
    if (mech) {
        mech->ApplyFaceSize(dc, mech->GetFaceSize());
        // a new size drops the rendered face; a clock without a seconds hand
        // would stay blank until its minute changes
        SYSTEMTIME now;
        GetSystemTime(&now);
        m_clock->Update(now);
    } else
        m_clock->Measure(dc, largestWidth, largestHeight, nullptr, nullptr);
    RECT r = m_clock->GetRect();
    m_natural = WindowSizeFor(r.right - r.left, r.bottom - r.top);
    return m_natural;
}

void CClockWnd::FitToWindow()
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    m_clock->Measure(m_buffer.GetDC(), client.right, client.bottom, nullptr, nullptr);
    SIZE size = FitClock(kUnbounded, kUnbounded);
    SetWindowPos(m_hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Redraw();
}

void CClockWnd::ResizeAroundCentre(SIZE size, bool repaint)
{
    RECT r;
    GetBounds(&r);
    int cx = r.left + (r.right - r.left) / 2, cy = r.top + (r.bottom - r.top) / 2;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
    SetWindowPos(m_hwnd, nullptr, cx - size.cx / 2, cy - size.cy / 2, size.cx, size.cy, flags);
}

void CClockWnd::TakeTimerState()
{
    ClockRecord& own = m_clock->Record();
    if (!(own.kind & kClockTimer))
        return;
    if (ClockRecord* shared = ArrayRecord(m_owner, m_clockIndex, own.id))
        CopyTimerState(own, *shared);
}

void CClockWnd::GiveTimerState()
{
    ClockRecord& own = m_clock->Record();
    if (!(own.kind & kClockTimer))
        return;
    if (ClockRecord* shared = ArrayRecord(m_owner, m_clockIndex, own.id))
        CopyTimerState(*shared, own);
}

void CClockWnd::Tick(int64_t dateKey, int second, const SYSTEMTIME& utc, bool force)
{
    if (!m_clock || !m_hwnd)
        return;
    if (!force && dateKey == m_lastDateKey && second / 60 == m_lastSecond / 60) {
        if (second == m_lastSecond || !m_clock->ShowsSeconds()) {
            m_lastSecond = second;
            return;
        }
    }
    m_lastDateKey = dateKey;
    m_lastSecond = second;
    TakeTimerState();
    int result = m_clock->Update(utc);
    GiveTimerState();
    if (result == kClockRelayout)
        ResizeAroundCentre(FitClock(kUnbounded, kUnbounded), false);
    if (IsWindowVisible(m_hwnd))
        Redraw();
}

bool CClockWnd::FindOnScreenPlace(POINT* place) const
{
    if (!m_hwnd)
        return false;
    RECT r;
    GetBounds(&r);
    *place = KeepOnWorkArea(r, MonitorWorkArea(m_hwnd));
    return place->x != r.left || place->y != r.top;
}

void CClockWnd::SetOnTop(bool onTop)
{
    m_onTop = onTop ? 1 : 0;
    if (m_hwnd)
        SetWindowPos(m_hwnd, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

COLORREF CClockWnd::PaintKey() const
{
    return m_colorKey == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : m_colorKey;
}

void CClockWnd::PaintBackground(HDC)
{
    if (!m_clock || !m_skin || !m_buffer.IsValid())
        return;
    HDC target = m_buffer.GetDC();
    RECT client = {0, 0, m_buffer.GetWidth(), m_buffer.GetHeight()};
    // the skin is shared: what this window changes of it is put back
    COLORREF back = m_skin->GetBackColor();
    m_skin->SetDrawingTarget(&m_buffer);
    if (m_perPixelAlpha) {
        GdiFlush();
        if (m_transparentBack)
            memset(m_buffer.GetBits(), 0, (size_t)client.right * client.bottom * 4);
        else
            m_skin->FillBackground(&client, back);
    } else {
        COLORREF key = PaintKey();
        if (OwnBackground(m_skin))
            m_skin->SetBackColor(m_transparentBack ? key : key ^ 1);
        else if (back == key)
            // a background the key would cut out stays visible, one step off
            m_skin->SetBackColor(key ^ 1);
        CGdiObject<HBRUSH> brush(CreateSolidBrush(key));
        FillRect(target, &client, brush.Get());
    }
    m_clock->Paint(target, nullptr);
    m_skin->SetDrawingTarget(nullptr);
    m_skin->SetBackColor(back);
    GdiFlush();
    // GDI leaves the alpha bytes at 0, and Wine takes them even without
    // AC_SRC_ALPHA: everything but our text would vanish
    if (!m_perPixelAlpha)
        m_buffer.SetAlphaRect(0, 0, client.right, client.bottom, 255);
}

bool CClockWnd::UpdateLayered(HDC dc)
{
    PaintBackground(dc);
    return CAlphaWindow::UpdateLayered(dc);
}

LRESULT CClockWnd::SendToMainWindow(WPARAM wParam, LPARAM lParam)
{
    HWND main = m_owner.Host() ? m_owner.Host()->MainWindow() : nullptr;
    if (!main || m_clockIndex < 0 || m_clockIndex >= kTrayClockMouseCount)
        return 0;
    return SendMessageW(main, UM_TRAYCLOCKMOUSE + m_clockIndex, wParam, lParam);
}

bool CClockWnd::OnSetCursor()
{
    HCURSOR cursor = m_owner.DragCursor();
    if (!m_armed || !cursor || !m_clock || !m_clock->UsesFontText() || GetForegroundWindow() != m_hwnd)
        return false;
    SetCursor(cursor);
    return true;
}

void CClockWnd::OnMinMaxInfo(MINMAXINFO* info) const
{
    info->ptMaxTrackSize.x = m_natural.cx;
    info->ptMaxTrackSize.y = m_natural.cy;
    if (m_textSkin) {
        info->ptMinTrackSize.x = m_natural.cx;
        info->ptMinTrackSize.y = m_natural.cy;
    } else {
        SIZE least = WindowSizeFor(kSmallestFaceClient, kSmallestFaceClient);
        info->ptMinTrackSize.x = least.cx;
        info->ptMinTrackSize.y = least.cy;
    }
}

void CClockWnd::OnKeyDown(WPARAM key, LRESULT* result, bool* handled)
{
    *handled = true;
    *result = 0;
    int alpha = m_alpha;
    switch (key) {
    case VK_PRIOR:
        OnWheel(-kWheelDelta);
        return;
    case VK_NEXT:
        OnWheel(kWheelDelta);
        return;
    case VK_UP:
    case VK_ADD:
        alpha += kAlphaStep;
        break;
    case VK_DOWN:
    case VK_SUBTRACT:
        alpha -= kAlphaStep;
        break;
    default:
        *handled = false;
        return;
    }
    if (alpha > 255)
        alpha = 255;
    if (alpha < kLowestAlpha)
        alpha = kLowestAlpha;
    SetAlpha(alpha);
}

void CClockWnd::OnWheel(int delta)
{
    int steps = -delta / kWheelDelta;
    if (steps == 0 || !m_clock)
        return;
    if (!m_clock->ChangeFontSize(m_buffer.GetDC(), steps > 0))
        return;
    ResizeAroundCentre(FitClock(kUnbounded, kUnbounded), true);
    Redraw();
}

bool CClockWnd::OnCommand(WPARAM wParam, LRESULT* result)
{
    *result = 0;
    WORD id = LOWORD(wParam);
    if (id != kCmdDesktopGroup && id != kCmdDesktopOnTop)
        return false;
    if (HIWORD(wParam) != m_clockIndex)
        return false;
    if (id == kCmdDesktopGroup) {
        m_group = m_group ? 0 : 1;
        for (int i = 0; m_group && i < m_owner.Count(); ++i) {
            CClockWnd* other = m_owner.At(i);
            if (other != this && other->m_group == m_group) {
                m_onTop = other->m_onTop;
                break;
            }
        }
        SetOnTop(m_onTop != 0);
        return true;
    }
    bool onTop = !m_onTop;
    std::vector<CClockWnd*> group = m_group ? m_owner.GroupWindows(m_group) : std::vector<CClockWnd*>();
    if (group.size() > 1) {
        for (CClockWnd* window : group)
            window->SetOnTop(onTop);
    } else {
        SetOnTop(onTop);
    }
    return true;
}

void CClockWnd::OnContextMenu(LPARAM lParam)
{
    if (SendToMainWindow(kTrayIconClick, lParam))
        return;
    IDesktopClockHost& host = *m_owner.Host();
    HWND main = host.MainWindow();
    HMENU menu = host.Menu().BuildClockMenu(m_clockIndex, m_onTop != 0, m_group != 0);
    HMENU items = menu ? GetSubMenu(menu, 0) : nullptr;
    if (!main || !items)
        return;
    if (!host.IsTaskbarHookInPlace())
        EnableMenuItem(items, kCmdToggleDesktop, MF_BYCOMMAND | MF_GRAYED);
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(main);
    // the menu's loop may dispatch a reload that deletes this window:
    // nothing of the object is touched once it returns
    TrackPopupMenu(items, TPM_RIGHTBUTTON, at.x, at.y, 0, main, nullptr);
}

void CClockWnd::OnLeftButtonDown(LPARAM lParam)
{
    m_edges = 0;
    GetBounds(&m_pressRect);
    m_grab.x = (short)LOWORD(lParam);
    m_grab.y = (short)HIWORD(lParam);
    if (m_group)
        m_owner.RaiseGroup(m_group);
    m_drag = kMoving;
    if (!m_textSkin) {
        int width = m_pressRect.right - m_pressRect.left, height = m_pressRect.bottom - m_pressRect.top;
        if (m_grab.x >= width - kSizingGrip)
            m_edges |= kRightEdge;
        if (m_grab.y >= height - kSizingGrip)
            m_edges |= kBottomEdge;
        if (m_edges)
            m_drag = kSizing;
    }
}

void CClockWnd::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    // captured while a button is down: the point may lie outside the window
    POINT cursor = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    ClientToScreen(m_hwnd, &cursor);
    if (m_drag == kMoving) {
        RECT r;
        GetBounds(&r);
        int dx = cursor.x - m_grab.x - r.left, dy = cursor.y - m_grab.y - r.top;
        if (dx == 0 && dy == 0)
            return;
        std::vector<CClockWnd*> moving;
        if (m_group)
            moving = m_owner.GroupWindows(m_group);
        else
            moving.push_back(this);
        for (CClockWnd* window : moving) {
            RECT w;
            window->GetBounds(&w);
            SetWindowPos(window->m_hwnd, nullptr, w.left + dx, w.top + dy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return;
    }
    if (m_drag == kSizing) {
        MINMAXINFO limits = {};
        OnMinMaxInfo(&limits);
        int width = m_pressRect.right - m_pressRect.left, height = m_pressRect.bottom - m_pressRect.top;
        if (m_edges & kRightEdge)
            width += cursor.x - (m_pressRect.left + m_grab.x);
        if (m_edges & kBottomEdge)
            height += cursor.y - (m_pressRect.top + m_grab.y);
        width = width < limits.ptMinTrackSize.x ? limits.ptMinTrackSize.x : width;
        width = width > limits.ptMaxTrackSize.x ? limits.ptMaxTrackSize.x : width;
        height = height < limits.ptMinTrackSize.y ? limits.ptMinTrackSize.y : height;
        height = height > limits.ptMaxTrackSize.y ? limits.ptMaxTrackSize.y : height;
        SetWindowPos(m_hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, 0};
        m_trackingLeave = TrackMouseEvent(&track) != FALSE;
    }
    if (wParam == 0 && m_clock && (m_clock->Record().kind & kClockTimer) && lParam != m_lastHover) {
        m_lastHover = lParam;
        SendToMainWindow(WM_MOUSEMOVE, (LPARAM)m_hwnd);
    }
}

bool CClockWnd::OnMessage(WindowMessage& message)
{
    switch (message.message) {
    case WM_CREATE:
        if (HMODULE program = m_owner.Services().program) {
            HICON icon = LoadIconW(program, MAKEINTRESOURCEW(kProgramIconId));
            SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, (LPARAM)icon);
        }
        return CAlphaWindow::OnMessage(message);
    case WM_DESTROY:
        CAlphaWindow::OnMessage(message);
        message.result = 0;
        return true;
    case WM_MOVE:
    case WM_SIZE: {
        RECT r;
        if (GetWindowRect(m_hwnd, &r))
            SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        return false;
    }
    case WM_ACTIVATE:
        if (LOWORD(message.wParam) != WA_INACTIVE && !m_owner.IsBusy())
            m_owner.RenumberZ();
        return false;
    case WM_KILLFOCUS:
    case WM_MOUSELEAVE:
        m_armed = 0;
        m_lastHover = -1;
        if (message.message == WM_MOUSELEAVE)
            m_trackingLeave = false;
        return false;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(m_hwnd, &ps);
        EndPaint(m_hwnd, &ps);
        Redraw();
        message.result = 0;
        return true;
    }
    case WM_CLOSE:
        message.result = 0;
        return true;
    case WM_SETCURSOR:
        if (!OnSetCursor())
            return false;
        message.result = TRUE;
        return true;
    case WM_GETMINMAXINFO:
        OnMinMaxInfo((MINMAXINFO*)message.lParam);
        message.result = 0;
        return true;
    case WM_WINDOWPOSCHANGED:
        m_onTop = (GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0;
        return CAlphaWindow::OnMessage(message);
    case WM_CONTEXTMENU:
        // may delete this object: return at once
        OnContextMenu(message.lParam);
        message.result = 0;
        return true;
    case WM_KEYDOWN: {
        bool handled = false;
        OnKeyDown(message.wParam, &message.result, &handled);
        return handled;
    }
    case WM_COMMAND:
        return OnCommand(message.wParam, &message.result);
    case WM_MOUSEMOVE:
        OnMouseMove(message.wParam, message.lParam);
        message.result = 0;
        return true;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(message.lParam);
        message.result = 0;
        return true;
    case WM_LBUTTONUP:
        if (m_drag == kSizing)
            FitToWindow();
        m_armed = 1;
        m_drag = kIdle;
        message.result = 0;
        return true;
    case WM_LBUTTONDBLCLK:
        SendToMainWindow(WM_LBUTTONDBLCLK, message.lParam);
        message.result = 0;
        return true;
    case WM_MOUSEWHEEL:
        if (m_armed)
            OnWheel(GET_WHEEL_DELTA_WPARAM(message.wParam));
        message.result = 0;
        return true;
    case UM_TRAYCLOCKPOPUPPOS: {
        RECT client;
        GetClientRect(m_hwnd, &client);
        POINT at = GetPopupPosition(m_hwnd, client, LOWORD(message.lParam), HIWORD(message.lParam));
        message.result = MAKELONG(at.x, at.y);
        return true;
    }
    case UM_TRAYCLOCKCLICK: {
        message.result = 0;
        POINT at;
        if (m_clock && message.wParam == m_clock->Record().id && GetCursorPos(&at) && ScreenToClient(m_hwnd, &at))
            message.result = m_clock->HitButton(at) ? 1 : 0;
        return true;
    }
    }
    return CAlphaWindow::OnMessage(message);
}
