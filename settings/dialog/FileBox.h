// The system's file-open box behind a seam, and the browse rule the pages'
// browse buttons share.
#pragma once

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

class IFileOpenBox {
public:
    virtual ~IFileOpenBox() = default;
    // True with the chosen file in the box's buffer; false with
    // CommDlgExtendedError's code in `*error` (0 when the user cancelled).
    virtual bool OpenFile(OPENFILENAMEW* box, DWORD* error) = 0;
};

class CSystemFileOpenBox : public IFileOpenBox {
public:
    bool OpenFile(OPENFILENAMEW* box, DWORD* error) override;
};

// A modal box over `owner` for an existing file; `filter` is pairs of texts
// ending with an empty one. `path` (of `chars`) holds the start and
// receives the choice; a start the box refuses as a name (a web address, a
// command line) is dropped for one more try with none. False when nothing
// was chosen.
bool BrowseForFile(IFileOpenBox& box, HWND owner, const WCHAR* filter, WCHAR* path, DWORD chars);
