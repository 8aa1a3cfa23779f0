// Stand-ins for orbex.dll: the four entry points the loader requires, a
// CreateMapWindow that makes no window, and by definition:
//   STUB_INSTALL_FAILS (with STUB_SYSTEM_ERROR)  an InstallMap that fails the
//                      way a computer without OpenGL would
//   STUB_INIT_FAILS (with STUB_SYSTEM_ERROR)     an InitMap that fails so,
//                      the Win32 error kept for GetLastSysError
//   STUB_WITHOUT_CREATEWINDOW                    one required export missing
//   STUB_CHILD_WINDOW  a CreateMapWindow that makes a plain child window
//                      noting the host's messages (StubMapMessages)
#include <windows.h>

#include <stdint.h>

struct CityRecord;

// What the stand-in's child was sent or posted.
struct StubMapMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// the linker's symbol at this module's start
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

DWORD g_lastError = 0;

#ifdef STUB_CHILD_WINDOW
HINSTANCE ThisLibrary()
{
    return (HINSTANCE)&__ImageBase;
}

const WCHAR kStubChildClass[] = L"TempolanStubMapChild";
const int kMaxNoted = 64;
StubMapMessage g_noted[kMaxNoted];
int g_notedCount = 0;

LRESULT CALLBACK StubChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // the host's messages: the map's own range and the wheel
    if ((message >= WM_USER || message == WM_MOUSEWHEEL) && g_notedCount < kMaxNoted)
        g_noted[g_notedCount++] = {message, wParam, lParam};
    return DefWindowProcW(window, message, wParam, lParam);
}
#endif

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI InitMap(CityRecord*, int32_t)
{
#ifdef STUB_INIT_FAILS
    SetLastError(STUB_SYSTEM_ERROR);
    g_lastError = GetLastError();
    return STUB_INIT_FAILS;
#else
    return 0;
#endif
}

__declspec(dllexport) void WINAPI FreeMap()
{
#ifdef STUB_CHILD_WINDOW
    UnregisterClassW(kStubChildClass, ThisLibrary());
#endif
}

#if defined(STUB_CHILD_WINDOW)
__declspec(dllexport) HWND WINAPI CreateMapWindow(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height,
                                                  DWORD* status)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = StubChildProc;
    wc.hInstance = ThisLibrary();
    wc.lpszClassName = kStubChildClass;
    RegisterClassW(&wc);  // fails harmlessly for the second window
    *status = 0;
    return CreateWindowW(kStubChildClass, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                         wc.hInstance, nullptr);
}

// The messages noted since the last call; `count` gets their number.
__declspec(dllexport) const StubMapMessage* WINAPI StubMapMessages(int* count)
{
    static StubMapMessage taken[kMaxNoted];
    *count = g_notedCount;
    for (int i = 0; i < g_notedCount; ++i)
        taken[i] = g_noted[i];
    g_notedCount = 0;
    return taken;
}
#elif !defined(STUB_WITHOUT_CREATEWINDOW)
__declspec(dllexport) HWND WINAPI CreateMapWindow(HWND, int32_t, int32_t, int32_t, int32_t, DWORD*)
{
    return nullptr;
}
#endif

__declspec(dllexport) DWORD WINAPI GetLastSysError()
{
    return g_lastError;
}

#ifdef STUB_INSTALL_FAILS
__declspec(dllexport) DWORD WINAPI InstallMap()
{
    g_lastError = STUB_SYSTEM_ERROR;
    return STUB_INSTALL_FAILS;
}
#endif
}
