// The system's colour box behind a seam: the background page's colour
// button. GUI thread only.
#pragma once

#include <windows.h>

class IColorBox {
public:
    virtual ~IColorBox() = default;
    // A modal box over `owner`, fully opened, starting from `*color`; true
    // with the chosen colour in `*color`, false (unchanged) when cancelled.
    virtual bool Choose(HWND owner, COLORREF* color) = 0;
};

// ChooseColorW; its custom colours start empty each time.
class CSystemColorBox : public IColorBox {
public:
    bool Choose(HWND owner, COLORREF* color) override;
};
