#include <windowsx.h>

#include "graphics/records/FixedText.h"
#include "graphics/system/Handles.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/WindowsVersion.h"
#include "graphics/time/LocalZone.h"
#include "graphics/window/PopupPosition.h"
#include "graphics/window/Theme.h"
#include "taskbar/panel/ClockPanel.h"
#include "taskbar/hook/HookGlobals.h"
#include "taskbar/tray/TrayHost.h"
#include "taskbar/tray/TrayMenu.h"
#include "taskbar/tray/TrayTimings.h"
#include "taskbar/hook/TrayShared.h"
#include "taskbar/tooltip/Tooltip.h"

namespace {

const UINT kTooltipHideMs = 500;

HWND Taskbar()
{
    return (HWND)(UINT_PTR)g_shared.taskbar;
}

HWND MainWindow()
{
    return (HWND)(UINT_PTR)g_shared.mainWindow;
}

LRESULT PassOn(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // our own copy: the shared one can be cleared by another process
    WNDPROC previous = (WNDPROC)g_host.ownPrevious;
    return previous ? CallWindowProcW(previous, hwnd, message, wParam, lParam)
                    : DefWindowProcW(hwnd, message, wParam, lParam);
}

bool IsNotifiableIndex(int index)
{
    return index >= 0 && index < kMaxClocks;
}

void LayoutPanel(HWND window, int width, int height, bool horizontal, int edges)
{
    CWindowDC dc(window);
    HTHEME theme = g_visualStyles.OpenThemeIfActive(window, L"CLOCK");
    g_clockPanel.Layout(dc.Get(), theme, width, height, horizontal, edges);
    g_visualStyles.CloseTheme(&theme);
}

void LayoutForTaskbar(HWND window)
{
    HWND taskbar = Taskbar();
    RECT t = {}, k = {};
    GetClientRect(taskbar, &t);
    GetClientRect(window, &k);
    MapWindowPoints(window, taskbar, (POINT*)&k, 2);
    bool styles = g_visualStyles.Active();
    if (t.bottom < t.right) {
        HWND parent = GetParent(window);
        RECT p = {};
        GetClientRect(parent, &p);
        MapWindowPoints(parent, taskbar, (POINT*)&p, 2);
        int height = styles ? p.bottom - p.top : t.bottom - 2 * p.top - 2;
        int edges = (t.right - k.right < k.left - t.left) ? kEdgeRight : kEdgeLeft;
        LayoutPanel(window, t.right / 2, height, true, edges);
    } else {
        int edges = (t.bottom - k.bottom < k.top - t.top) ? kEdgeBottom : kEdgeTop;
        LayoutPanel(window, t.right - 8 - (styles ? 0 : 2), t.bottom / 2, false, edges);
    }
}

void AdjustTrayClockPos(HWND window, WINDOWPOS* pos)
{
    RECT p = {};
    GetClientRect(GetParent(window), &p);
    LayoutForTaskbar(window);
    RECT e = g_clockPanel.GetRect();
    if (!(pos->flags & SWP_NOMOVE)) {
        if (IsTaskbarHorizontal()) {
            if (IsWindowsXpOrLater() || p.bottom - p.top < GetSystemMetrics(SM_CYSMICON) + 4)
                pos->y = (e.top + p.bottom - e.bottom - p.top) / 2;
        } else if (IsWindowsXpOrLater()) {
            pos->x = (e.left + p.right - e.right - p.left) / 2;
        }
    }
    if (!(pos->flags & SWP_NOSIZE) && g_host.visible) {
        pos->cx = e.right - e.left;
        pos->cy = e.bottom - e.top;
    }
}

LRESULT QueryPanelSize(HWND window)
{
    if (!g_host.visible)
        return 0;
    LayoutForTaskbar(window);
    RECT e = g_clockPanel.GetRect();
    return MAKELONG(e.right - e.left, e.bottom - e.top);
}

void SizeWindow(HWND window)
{
    if (g_host.sizing)
        return;
    ++g_host.sizing;
    LayoutForTaskbar(window);
    RECT e = g_clockPanel.GetRect();
    HWND taskbar = Taskbar();
    SendMessageW(taskbar, WM_SIZE, 0, 0);
    UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
    if (g_host.visible)
        flags |= SWP_SHOWWINDOW;
    SetWindowPos(window, nullptr, 0, 0, e.right - e.left, e.bottom - e.top, flags);
    SendMessageW(GetParent(window), WM_SIZE, 0, 0);
    SendMessageW(taskbar, WM_SIZE, 0, 0);
    --g_host.sizing;
}

// What the panel's clocks are made with in this process.
LocalZoneState g_localZone;
PanelEnvironment g_panelEnvironment;

void SetPanelEnvironment()
{
    const SettingsBlock& settings = g_host.copies.settings;
    ClockContext& context = g_panelEnvironment.context;
    context.language = &g_language;
    context.unitNames = &g_language.UnitNames();
    context.weekRules.numbering = settings.weekNumbering;
    context.weekRules.firstDay = settings.weekStart % 7;
    context.localZone = &g_localZone;
    context.localHighlight = &settings.localHighlight;
    context.shadeTable = ShadeTable.values;
    context.timerButton = &TimerButtonBitmap;
    context.resources = g_language.GetResources();
    g_panelEnvironment.styles = &g_visualStyles;
    g_clockPanel.SetEnvironment(&g_panelEnvironment);
}

void RefreshLocalZone()
{
    CSystemLocalZone source;
    RefreshLocalZoneState(&g_localZone, source);
    TimeZoneRecord local = {};
    InitLocalZone(&local, source);
    bool automatic = IsAutoDaylight(local, source);
    TrayCopies& copies = g_host.copies;
    int n = ClockCopyCount(copies);
    for (int i = 0; i < n; ++i) {
        ClockRecord& clock = copies.clocks[i];
        if (!FixedEquals(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName), kLocalZoneName))
            continue;
        clock.zone = local;
        clock.flags = automatic ? (clock.flags | kClockUseDaylight) : (clock.flags & ~kClockUseDaylight);
    }
}

bool IsClockBusy(int index)
{
    return MainWindow() && SendToMainWindow(UM_QUERYCLOCKBUSY, index, 0, kQueryTimeoutMs) != 0;
}

void ShowTooltipForClock(HWND window, int index, bool forcePhoto)
{
    const TrayCopies& copies = g_host.copies;
    if (!copies.clocks || !(copies.settings.options & kOptTooltips) || index < 0 || index >= ClockCopyCount(copies))
        return;
    g_tooltip.SetClock(index);
    if (!g_tooltip.GetHandle() || !copies.cities)
        return;
    if ((copies.settings.options & kOptCityPhotos) && (forcePhoto || g_tooltip.PhotoCity() < 0))
        g_tooltip.LoadPhoto();
    // the clock's own rectangle when it is in the panel, else the whole window
    RECT anchor;
    GetClientRect(window, &anchor);
    for (int i = 0; i < g_clockPanel.Count(); ++i)
        if (g_clockPanel.Clock(i).index == index)
            anchor = g_clockPanel.Clock(i).rect;
    MapWindowPoints(window, HWND_DESKTOP, (POINT*)&anchor, 2);
    g_tooltip.ShowAt(anchor, IsTaskbarHorizontal());
}

void ReloadPath(HWND window, UINT message)
{
    RefreshLocalZone();
    if (message != WM_TIMECHANGE)
        g_tooltip.Hide();
    SetPanelEnvironment();
    g_clockPanel.Rebuild(g_host.copies);
    RestartTrayTimer(window);
    g_clockPanel.Tick(false);
    HWND parent = GetParent(window);
    if (g_host.visible) {
        RECT r;
        GetWindowRect(window, &r);
        MapWindowPoints(HWND_DESKTOP, parent, (POINT*)&r, 2);
        WINDOWPOS pos = {window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, 0};
        AdjustTrayClockPos(window, &pos);
        MoveWindow(window, pos.x, pos.y, pos.cx, pos.cy, TRUE);
        SendMessageW(window, WM_SIZE, 0, MAKELPARAM(pos.cx, pos.cy));
        SendMessageW(GetParent(parent), WM_SIZE, 0, 0);
    }
    SendMessageW(parent, WM_SIZE, 0, 0);
}

void RefreshPath(HWND window, UINT message, WPARAM wParam)
{
    bool timerTick = message == WM_TIMER && wParam == kTrayTimerId;
    int r = 0;
    if (g_host.visible && g_clockPanel.Count() > 0)
        r = g_clockPanel.Tick(!timerTick);
    if (timerTick && r == 0)
        return;
    if (r > 1) {
        RECT c;
        GetClientRect(window, &c);
        SendMessageW(window, WM_SIZE, 0, MAKELPARAM(c.right, c.bottom));
    }
    if (r != 0 && g_tooltip.IsShown()) {
        int index = g_tooltip.ClockIndex();
        const TrayCopies& copies = g_host.copies;
        if (index < 0 || index >= ClockCopyCount(copies) || !(copies.clocks[index].kind & kClockTimer))
            ShowTooltipForClock(window, index, false);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT);
}

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc)
        return;
    DWORD layout = GetLayout(dc);
    if (layout != GDI_ERROR)
        SetLayout(dc, 0);
    HTHEME theme = g_visualStyles.OpenThemeIfActive(window, L"CLOCK");
    g_clockPanel.Paint(window, dc, theme, theme != nullptr);
    if (layout != GDI_ERROR)
        SetLayout(dc, layout);
    EndPaint(window, &ps);
    g_visualStyles.CloseTheme(&theme);
}

LRESULT OnCopyData(HWND window, WPARAM wParam, LPARAM lParam)
{
    if ((HWND)wParam != MainWindow() || !lParam)
        return 0;
    const COPYDATASTRUCT* block = (const COPYDATASTRUCT*)lParam;
    LRESULT reply = 0;
    switch (ReceiveTrayBlock(g_host.copies, block->dwData, block->cbData, block->lpData, g_shared.folder, &reply)) {
    case BlockResult::Settings:
        g_host.lastMouse = -1;
        g_language.SetLanguage(g_host.copies.settings.language);
        g_tooltip.ApplySettings(g_host.copies.settings.tooltip);
        break;
    case BlockResult::Clocks:
        SendMessageW(window, UM_TRAYCLOCKREFRESH, 0, 0);
        break;
    default:
        break;
    }
    return reply;
}

void OnMouseMove(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (g_host.copies.clocks && g_tooltip.GetHandle()) {
        int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        int index = g_clockPanel.HitTest(x, y);
        if (wParam == 0 && IsNotifiableIndex(index) && g_clockPanel.HitsButton(index, x, y)) {
            g_tooltip.Hide();
            if (lParam != g_host.lastMouse)
                SendToMainWindow(UM_TRAYCLOCKMOUSE + index, WM_MOUSEMOVE, (LPARAM)window, kQueryTimeoutMs);
            g_host.lastMouse = lParam;
        }
    }
    TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, window, HOVER_DEFAULT};
    TrackMouseEvent(&track);
}

void OnMouseHover(HWND window, LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    int index = g_clockPanel.HitTest(pt.x, pt.y);
    ClientToScreen(window, &pt);
    RECT r;
    GetWindowRect(window, &r);
    if (!PtInRect(&r, pt)) {
        g_host.lastMouse = -1;
        if (g_host.copies.clocks)
            g_tooltip.StartHideTimer(kTooltipHideMs);
    } else if (index >= 0 && index != g_tooltip.ClockIndex() && !IsClockBusy(index)) {
        ShowTooltipForClock(window, index, true);
    } else {
        g_tooltip.KillHideTimer();
    }
}

void OnDoubleClick(LPARAM lParam)
{
    HWND main = MainWindow();
    int index = g_clockPanel.HitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (!main || !IsNotifiableIndex(index))
        return;
    HWND settings = FindWindowW(kSettingsWindowClass, nullptr);
    DWORD process = 0;
    if (settings && GetWindowThreadProcessId(settings, &process) && process)
        AllowSetForegroundWindow(process);
    AllowMainToForeground();
    PostMessageW(main, UM_TRAYCLOCKMOUSE + index, WM_LBUTTONDBLCLK, lParam);
}

void OnContextMenu(HWND window, LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT client = pt;
    ScreenToClient(window, &client);
    int index = g_clockPanel.HitTest(client.x, client.y);
    g_host.contextClock = index;
    // outside every clock there is no clock message to send: our own menu at once
    if (IsNotifiableIndex(index)) {
        AllowMainToForeground();
        if (SendToMainWindow(UM_TRAYCLOCKMOUSE + index, WM_CONTEXTMENU, lParam, kQueryTimeoutMs))
            return;
    }
    TrayMenuContext context = {};
    context.resources = g_language.GetResources();
    context.language = &g_language;
    context.copies = &g_host.copies;
    context.clockIndex = index;
    context.localZone = &g_localZone;
    context.newClocksAllowed = g_host.menuNewClocks;
    context.sendToMain = SendToMainWindow;
    HMENU menu = BuildTrayClockMenu(context);
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (!popup)
        return;
    g_tooltip.Hide();
    SetForegroundWindow(window);
    SetFocus(window);
    // the chosen command comes back as WM_COMMAND and goes on to the main window
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, pt.x, pt.y, 0, window, nullptr);
}

LRESULT OnPopupPosition(HWND window, WPARAM wParam, LPARAM lParam)
{
    const PanelClock* clock = g_clockPanel.ClockById((uint32_t)wParam);
    if (!clock || !(g_host.copies.clocks[clock->index].kind & kClockTimer))
        return 0;
    POINT at = GetPopupPosition(window, clock->rect, LOWORD(lParam), HIWORD(lParam));
    return MAKELONG((WORD)(SHORT)at.x, (WORD)(SHORT)at.y);
}

LRESULT OnClockClick(HWND window, WPARAM wParam)
{
    const PanelClock* clock = g_clockPanel.ClockById((uint32_t)wParam);
    POINT pt;
    if (!clock || !GetCursorPos(&pt) || !ScreenToClient(window, &pt))
        return 0;
    return g_clockPanel.Click(clock->index, pt.x, pt.y) ? 1 : 0;
}

}  // namespace

LRESULT CALLBACK TrayClockWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA:
        return OnCopyData(hwnd, wParam, lParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == UM_TRAYCLOCKDETACH) {
            DetachTrayClock();
            return 0;
        }
        AllowMainToForeground();
        if (MainWindow())
            PostMessageW(MainWindow(), WM_COMMAND, wParam, (LPARAM)hwnd);
        return 0;
    case UM_TRAYCLOCKREFRESH:
    case WM_FONTCHANGE:
    case WM_TIMECHANGE:
        ReloadPath(hwnd, message);
        RefreshPath(hwnd, message, wParam);
        return 0;
    case UM_TRAYCLOCKCOUNT: {
        uint32_t count = wParam ? (uint32_t)wParam : g_host.copies.settings.clockCount;
        int clocks = count > (uint32_t)kMaxClocks ? kMaxClocks : (int)count;  // any wParam: no sign games
        g_host.menuNewClocks = CanAddClock(clocks);
        g_host.menuSeveralClocks = CanDeleteClock(clocks);
        return 0;
    }
    case UM_TRAYCLOCKPOPUPPOS:
        return OnPopupPosition(hwnd, wParam, lParam);
    case UM_TRAYCLOCKCLICK:
        return OnClockClick(hwnd, wParam);
    case UM_MAINWINDOWREADY:
        if (!g_host.sizing)
            InvalidateRect(hwnd, nullptr, FALSE);
        return QueryPanelSize(hwnd);
    case UM_TRAYCLOCKREPAINT:
    case WM_TIMER:
    case WM_SYSCOLORCHANGE:
        RefreshPath(hwnd, message, wParam);
        return 0;
    case WM_WININICHANGE:
        if (g_host.compositionOn && QueryCompositionOn())
            SetTaskbarBlurBehind(Taskbar(), FALSE);
        if (wParam == SPI_SETWORKAREA)
            return PassOn(hwnd, message, wParam, lParam);
        ReloadPath(hwnd, message);
        RefreshPath(hwnd, message, wParam);
        return 0;
    case WM_DWMCOMPOSITIONCHANGED:
        if (QueryCompositionOn())
            SetTaskbarBlurBehind(Taskbar(), FALSE);
        return PassOn(hwnd, message, wParam, lParam);
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        SizeWindow(hwnd);
        return 0;
    case WM_WINDOWPOSCHANGING:
        if (lParam)
            AdjustTrayClockPos(hwnd, (WINDOWPOS*)lParam);
        return 0;
    case WM_SHOWWINDOW:
        g_host.visible = wParam != 0;
        return PassOn(hwnd, message, wParam, lParam);
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 0;
    case WM_NCHITTEST:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_MOUSEMOVE:
        OnMouseMove(hwnd, wParam, lParam);
        return PassOn(hwnd, message, wParam, lParam);
    case WM_MOUSEHOVER:
        if (wParam == 0)
            OnMouseHover(hwnd, lParam);
        return PassOn(hwnd, message, wParam, lParam);
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
    case WM_KILLFOCUS:
        g_host.lastMouse = -1;
        g_tooltip.StartHideTimer(kTooltipHideMs);
        return 0;
    case WM_LBUTTONDOWN: {
        int index = g_clockPanel.HitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (IsNotifiableIndex(index) && MainWindow()) {
            AllowMainToForeground();
            SendToMainWindow(UM_TRAYCLOCKMOUSE + index, WM_LBUTTONDOWN, lParam, kQueryTimeoutMs);
        }
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        OnDoubleClick(lParam);
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(hwnd, lParam);
        return 0;
    }
    return PassOn(hwnd, message, wParam, lParam);
}
