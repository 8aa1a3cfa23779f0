#include "settings/dialog/FileBox.h"

bool CSystemFileOpenBox::OpenFile(OPENFILENAMEW* box, DWORD* error)
{
    if (GetOpenFileNameW(box)) {
        *error = 0;
        return true;
    }
    *error = CommDlgExtendedError();
    return false;
}

bool BrowseForFile(IFileOpenBox& box, HWND owner, const WCHAR* filter, WCHAR* path, DWORD chars)
{
    if (!path || chars == 0)
        return false;
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof(open);
    open.hwndOwner = owner;
    open.lpstrFilter = filter;
    open.nFilterIndex = 1;
    open.lpstrFile = path;
    open.nMaxFile = chars;
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    DWORD error = 0;
    bool chosen = box.OpenFile(&open, &error);
    if (!chosen && error == FNERR_INVALIDFILENAME) {
        path[0] = 0;
        chosen = box.OpenFile(&open, &error);
    }
    path[chars - 1] = 0;
    return chosen;
}
