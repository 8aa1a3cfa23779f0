// capture <out.png> [<window class> [<window title>]]
// Saves what the screen shows as a PNG (24-bit): with a class, the rectangle
// of the top-level window FindWindowW finds for the class (and title), else
// the whole virtual screen. Read from the screen DC, so layered windows and
// whatever covers the window come out as shown.
// Exit codes: 0 saved, 1 no such window, 2 could not capture or write (also
// for bad arguments).
#include <windows.h>

#include <stdio.h>

#include "graphics/image/Bitmap.h"
#include "graphics/system/Handles.h"
#include "tools/common/PngWriter.h"

namespace {

const int kSaved = 0;
const int kNoWindow = 1;
const int kFailed = 2;

int Usage()
{
    fprintf(stderr, "usage: capture <out.png> [<window class> [<window title>]]\n");
    return kFailed;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || argc > 4)
        return Usage();
    RECT rect;
    if (argc >= 3) {
        HWND window = FindWindowW(argv[2], argc == 4 ? argv[3] : nullptr);
        if (!window) {
            fprintf(stderr, "capture: no window of class %ls\n", argv[2]);
            return kNoWindow;
        }
        if (!GetWindowRect(window, &rect)) {
            fprintf(stderr, "capture: the window went away\n");
            return kFailed;
        }
    } else {
        rect.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
        rect.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
        rect.right = rect.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
        rect.bottom = rect.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    }
    int width = rect.right - rect.left, height = rect.bottom - rect.top;

    CWindowDC screen(nullptr);
    CDibSection shot;
    // CAPTUREBLT: Windows leaves layered windows out of a screen blit without it
    if (!screen || !shot.Create(width, height) ||
        !BitBlt(shot.GetDC(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT)) {
        fprintf(stderr, "capture: cannot read %d x %d pixels of the screen\n", width, height);
        return kFailed;
    }
    GdiFlush();
    if (!WritePng(argv[1], shot)) {
        fprintf(stderr, "capture: cannot write %ls\n", argv[1]);
        return kFailed;
    }
    return kSaved;
}
