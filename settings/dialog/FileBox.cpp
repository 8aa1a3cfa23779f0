#include "settings/dialog/FileBox.h"

#include <cderr.h>
#include <commdlg.h>

bool CSystemFileBox::ChooseFile(HWND owner, const WCHAR* filter, WCHAR* path, DWORD chars)
{
    if (!path || chars == 0)
        return false;
    OPENFILENAMEW box = {};
    box.lStructSize = sizeof(box);
    box.hwndOwner = owner;
    box.lpstrFilter = filter;
    box.lpstrFile = path;
    box.nMaxFile = chars;
    box.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&box))
        return true;
    // a text that is no file name (a web address, a command line) makes the box fail at once
    if (CommDlgExtendedError() != FNERR_INVALIDFILENAME)
        return false;
    path[0] = 0;
    return GetOpenFileNameW(&box) != FALSE;
}
