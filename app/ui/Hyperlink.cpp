#include "app/ui/Hyperlink.h"

#include <shellapi.h>
#include <wchar.h>

#include "graphics/system/Handles.h"
#include "graphics/text/LinkText.h"

namespace {

const WCHAR kPreviousProp[] = L"TlLinkPrev";
const WCHAR kOpenerProp[] = L"TlLinkOpener";

WNDPROC PreviousProc(HWND window) { return (WNDPROC)GetPropW(window, kPreviousProp); }

// The colour record of the user data, or null when it is not ours.
const HyperlinkColors* Colors(HWND window)
{
    auto* colors = (const HyperlinkColors*)GetWindowLongPtrW(window, GWLP_USERDATA);
    if (!colors || colors->size != sizeof(HyperlinkColors) || colors->tag != kHyperlinkColorsTag)
        return nullptr;
    return colors;
}

int ReadText(HWND window, WCHAR* text)
{
    text[0] = 0;
    return GetWindowTextW(window, text, kHyperlinkTextChars + 1);
}

HFONT ControlFont(HWND window) { return (HFONT)SendMessageW(window, WM_GETFONT, 0, 0); }

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc)
        return;
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    WCHAR text[kHyperlinkTextChars + 1];
    ReadText(window, text);
    COLORREF textColor = GetSysColor(COLOR_BTNTEXT);
    COLORREF linkColor = kHyperlinkLinkColor;
    if (const HyperlinkColors* colors = Colors(window)) {
        if (colors->text != kHyperlinkDefaultColor)
            textColor = colors->text;
        if (colors->link != kHyperlinkDefaultColor)
            linkColor = colors->link;
    }
    HFONT font = ControlFont(window);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = GetTextColor(dc);

    CLinkTextLayout layout;
    int count = LayoutLinkText(text, 0, 0, dc, nullptr, nullptr, &layout, kHyperlinkMaxRuns);
    for (int i = 0; i < count; ++i) {
        const LinkTextRun& run = layout.Run(i);
        COLORREF color = run.target ? linkColor : textColor;
        SetTextColor(dc, color);
        TextOutW(dc, run.rect.left, run.rect.top, run.text, run.length);
        if (run.target && run.rect.right > run.rect.left) {
            RECT line = {run.rect.left, run.rect.bottom - 1, run.rect.right, run.rect.bottom};
            CGdiObject<HBRUSH> brush(CreateSolidBrush(color));
            if (brush)
                FillRect(dc, &line, brush.Get());
        }
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(window, &ps);
}

LRESULT Forward(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = PreviousProc(window);
    return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                    : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void CShellLinkOpener::OpenLink(const WCHAR* url)
{
    if (url && url[0])
        ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

int HyperlinkHitTest(HWND control, int x, int y, WCHAR* url)
{
    if (url)
        url[0] = 0;
    WCHAR text[kHyperlinkTextChars + 1];
    if (!ReadText(control, text))
        return -1;
    CLinkTextLayout layout;
    int index;
    {
        CWindowDC dc(control);
        if (!dc)
            return -1;
        index = HitTestLinkText(dc.Get(), ControlFont(control), 0, 0, text, x, y, &layout, kHyperlinkMaxRuns);
    }
    if (index >= 0 && url) {
        wcsncpy(url, layout.Run(index).target, kHyperlinkTextChars);
        url[kHyperlinkTextChars] = 0;
    }
    return index;
}

LRESULT CALLBACK HyperlinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST:
        // a static without SS_NOTIFY is transparent to the mouse
        return HTCLIENT;
    case WM_SETCURSOR: {
        POINT point;
        if (GetCursorPos(&point) && ScreenToClient(window, &point) &&
            HyperlinkHitTest(window, point.x, point.y, nullptr) >= 0) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONUP: {
        WCHAR url[kHyperlinkTextChars + 1];
        auto* opener = (ILinkOpener*)GetPropW(window, kOpenerProp);
        if (opener && HyperlinkHitTest(window, (short)LOWORD(lParam), (short)HIWORD(lParam), url) >= 0)
            opener->OpenLink(url);
        return 0;
    }
    case WM_NCDESTROY: {
        WNDPROC previous = PreviousProc(window);
        if (previous)
            SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)previous);
        RemovePropW(window, kPreviousProp);
        RemovePropW(window, kOpenerProp);
        return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                        : DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        break;
    }
    return Forward(window, message, wParam, lParam);
}

bool AttachHyperlink(HWND control, ILinkOpener* opener)
{
    if (!control || GetPropW(control, kPreviousProp))
        return false;
    SetPropW(control, kOpenerProp, (HANDLE)opener);
    auto previous = (WNDPROC)SetWindowLongPtrW(control, GWLP_WNDPROC, (LONG_PTR)HyperlinkProc);
    if (!previous) {
        RemovePropW(control, kOpenerProp);
        return false;
    }
    SetPropW(control, kPreviousProp, (HANDLE)previous);
    InvalidateRect(control, nullptr, TRUE);
    return true;
}
