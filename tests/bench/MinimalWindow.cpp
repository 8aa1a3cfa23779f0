// The anchor of the start-up and idle benchmarks: a program that only creates
// a hidden window and, with "/timer", runs a 64 ms timer that does nothing.
#include <windows.h>

#include <string.h>

namespace {

LRESULT CALLBACK MinimalProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MinimalProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"TlMinimalClass";
    if (!RegisterClassW(&wc))
        return 1;
    HWND window = CreateWindowW(wc.lpszClassName, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    if (arguments && strstr(arguments, "/timer"))
        SetTimer(window, 1, 64, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
