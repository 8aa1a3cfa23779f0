// A static control whose text may hold links: <a href="url">label</a> and
// <br> line breaks. A click on a link opens it through the shell seam.
#pragma once

#include <stdint.h>
#include <windows.h>

// Opens a link; the real one asks the shell, tests record the target.
class ILinkOpener {
public:
    virtual ~ILinkOpener() = default;
    virtual void OpenLink(const WCHAR* url) = 0;
};

// ShellExecuteW "open", shown normally.
class CShellLinkOpener : public ILinkOpener {
public:
    void OpenLink(const WCHAR* url) override;
};

const uint32_t kHyperlinkColorsTag = 0xA100FACE;
const COLORREF kHyperlinkDefaultColor = 0xFFFFFFFF;
const COLORREF kHyperlinkLinkColor = 0xFF0000;
const int kHyperlinkTextChars = 2047;
const int kHyperlinkMaxRuns = 64;

// Optional colours, kept in the control's user data by its owner; used only
// when size and tag match.
struct HyperlinkColors {
    uint32_t size;   // sizeof(HyperlinkColors)
    uint32_t tag;    // kHyperlinkColorsTag
    COLORREF text;   // kHyperlinkDefaultColor: button text
    COLORREF link;   // kHyperlinkDefaultColor: blue
    uint32_t reserved;
};
static_assert(sizeof(HyperlinkColors) == 20, "colour record layout");

// The window procedure put on a static control by AttachHyperlink.
LRESULT CALLBACK HyperlinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Subclasses the static control with HyperlinkProc; `opener` must outlive
// it. The control is restored when it is destroyed. False when it fails or
// the control already has it.
bool AttachHyperlink(HWND control, ILinkOpener* opener);

// Index of the link run under the client point (x, y), -1 when none; the URL
// (kHyperlinkTextChars + 1) is copied to `url` when given.
int HyperlinkHitTest(HWND control, int x, int y, WCHAR* url);
