// The system's file-open box behind a seam: the pages' browse buttons.
#pragma once

#include <windows.h>

class IFileBox {
public:
    virtual ~IFileBox() = default;
    // A modal box over `owner`; `filter` is pairs of texts ending with an
    // empty one. `path` (of `chars`) holds the start and receives the
    // chosen file, which must exist. False when nothing was chosen.
    virtual bool ChooseFile(HWND owner, const WCHAR* filter, WCHAR* path, DWORD chars) = 0;
};

// GetOpenFileNameW; a start the box refuses as a name is dropped for one
// more try with none.
class CSystemFileBox : public IFileBox {
public:
    bool ChooseFile(HWND owner, const WCHAR* filter, WCHAR* path, DWORD chars) override;
};
