// The texts of a list view of this process, for checks of what it shows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

// The text of a cell (column 0 is the row's own text); empty when none.
inline std::wstring ListViewCellText(HWND list, int row, int column)
{
    WCHAR text[600] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = ARRAYSIZE(text);
    SendMessageW(list, LVM_GETITEMTEXTW, row, (LPARAM)&item);
    return text;
}

// A column's title in a report list.
inline std::wstring ListViewColumnTitle(HWND list, int column)
{
    WCHAR text[260] = {};
    LVCOLUMNW c = {};
    c.mask = LVCF_TEXT;
    c.pszText = text;
    c.cchTextMax = ARRAYSIZE(text);
    SendMessageW(list, LVM_GETCOLUMNW, column, (LPARAM)&c);
    return text;
}
