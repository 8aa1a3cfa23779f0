#include "app/ui/DialogHelpers.h"

#include <wchar.h>

#include <commctrl.h>

#include "graphics/system/Handles.h"
#include "graphics/text/Fonts.h"

HFONT CreateFontFromSpec(const WCHAR* face, int size, DWORD style, BYTE charset)
{
    if (!face || !face[0])
        return nullptr;
    CWindowDC screen(nullptr);
    if (!screen)
        return nullptr;
    int dpiX = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    int dpiY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    LOGFONTW font;
    FillLogFont(face, 0, size, 0, style, dpiX, dpiY, charset, &font);
    return CreateFontIndirectW(&font);
}

bool SizeComboDropDown(HWND combo, int items)
{
    if (!combo)
        return false;
    LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    LRESULT itemHeight = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
    if (count == CB_ERR || itemHeight == CB_ERR)
        return false;
    if (items > (int)count)
        items = (int)count;
    if (items < 0)
        items = 0;
    RECT rect;
    if (!GetWindowRect(combo, &rect))
        return false;
    // The closed height is what the window rectangle shows while it is closed.
    int closedHeight = rect.bottom - rect.top;
    int height = (int)itemHeight * items + closedHeight + 2;
    HWND parent = GetParent(combo);
    MapWindowPoints(nullptr, parent, (POINT*)&rect, 2);
    return SetWindowPos(combo, nullptr, rect.left, rect.top, rect.right - rect.left, height,
                        SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void CenterOnDesktop(HWND window)
{
    RECT desktop;
    RECT rect;
    if (!window || !GetWindowRect(GetDesktopWindow(), &desktop) || !GetWindowRect(window, &rect))
        return;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = desktop.left + (desktop.right - desktop.left - width) / 2;
    int y = desktop.top + (desktop.bottom - desktop.top - height) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterOverOwner(HWND window)
{
    HWND owner = window ? GetWindow(window, GW_OWNER) : nullptr;
    if (!owner && window)
        owner = GetParent(window);
    RECT own;
    RECT outer;
    if (!owner || !GetWindowRect(window, &own) || !GetWindowRect(owner, &outer))
        return;
    int x = (own.left + outer.left + outer.right - own.right) / 2;
    int y = (own.top + outer.top + outer.bottom - own.bottom) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsDialogWindow(HWND window)
{
    WCHAR name[16];
    return window && GetClassNameW(window, name, 16) && wcscmp(name, L"#32770") == 0;
}

int RunDialogMessageLoop(bool translate)
{
    MSG msg;
    BOOL got;
    // -1 is one message that could not be fetched (Wine fails an oversized
    // WM_COPYDATA this way): the program goes on; only WM_QUIT ends the loop
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            continue;
        HWND active = GetActiveWindow();
        if (IsDialogWindow(active) && IsDialogMessageW(active, &msg))
            continue;
        if (translate)
            TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return (int)msg.wParam;
}

BOOL CALLBACK DestroyDialogsProc(HWND window, LPARAM)
{
    if (IsDialogWindow(window))
        DestroyWindow(window);
    return TRUE;
}

void SelectListViewRow(HWND list, int row)
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, (LPARAM)&state);
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);

    RECT item = {}, top = {}, client = {};
    item.left = top.left = LVIR_BOUNDS;
    int topIndex = (int)SendMessageW(list, LVM_GETTOPINDEX, 0, 0);
    if (!SendMessageW(list, LVM_GETITEMRECT, row, (LPARAM)&item) ||
        !SendMessageW(list, LVM_GETITEMRECT, topIndex, (LPARAM)&top))
        return;
    GetClientRect(list, &client);
    // by the row's distance from the top row, which sits at the header's foot
    SendMessageW(list, LVM_SCROLL, 0, item.top - client.bottom / 2 - top.top);
}

void InsertListViewColumns(HWND list, const int* widths, int count)
{
    for (int i = 0; i < count; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH | LVCF_SUBITEM | LVCF_TEXT;
        column.cx = widths[i];
        column.iSubItem = i;
        column.pszText = const_cast<WCHAR*>(L"");
        SendMessageW(list, LVM_INSERTCOLUMNW, i, (LPARAM)&column);
    }
}
