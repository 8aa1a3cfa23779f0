// Owners of Win32 handles. Each closes its handle once, in its destructor,
// with the function that kind needs. Not copyable; a move leaves the source
// empty; Detach() hands the handle over to the caller, who then closes it.
#pragma once

#include <windows.h>
#include <oleauto.h>

template <class Traits>
class CHandleOwner {
public:
    using Handle = typename Traits::Handle;

    CHandleOwner() : m_h(Traits::Empty()) {}
    explicit CHandleOwner(Handle h) : m_h(h) {}
    ~CHandleOwner() { Close(); }
    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;
    CHandleOwner(CHandleOwner&& other) noexcept : m_h(other.Detach()) {}
    CHandleOwner& operator=(CHandleOwner&& other) noexcept
    {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }

    explicit operator bool() const { return Traits::Valid(m_h); }
    Handle Get() const { return m_h; }
    Handle Detach()
    {
        Handle h = m_h;
        m_h = Traits::Empty();
        return h;
    }
    // Closes the handle held so far and takes `h`.
    void Reset(Handle h = Traits::Empty())
    {
        Close();
        m_h = h;
    }
    // For functions that hand a new handle out through a pointer.
    Handle* Receive()
    {
        Reset();
        return &m_h;
    }

private:
    void Close()
    {
        if (Traits::Valid(m_h))
            Traits::Close(m_h);
    }

    Handle m_h;
};

// Kernel objects. CreateFile and its kin fail with INVALID_HANDLE_VALUE, the
// others with null: both count as empty. (GetCurrentProcess()'s pseudo-handle
// is also -1; it is never owned.)
struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using CKernelHandle = CHandleOwner<KernelHandleTraits>;

// The predefined roots (HKEY_CURRENT_USER, ...) are never owned.
struct RegKeyTraits {
    using Handle = HKEY;
    static HKEY Empty() { return nullptr; }
    static bool Valid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
using CRegKey = CHandleOwner<RegKeyTraits>;

// A pen, brush, font, bitmap or region; it must not be selected into a DC
// when the owner dies.
template <class T>
struct GdiObjectTraits {
    using Handle = T;
    static T Empty() { return nullptr; }
    static bool Valid(T h) { return h != nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
template <class T>
using CGdiObject = CHandleOwner<GdiObjectTraits<T>>;

// A DC of CreateCompatibleDC or CreateDC.
struct MemoryDcTraits {
    using Handle = HDC;
    static HDC Empty() { return nullptr; }
    static bool Valid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
using CMemoryDC = CHandleOwner<MemoryDcTraits>;

struct ModuleTraits {
    using Handle = HMODULE;
    static HMODULE Empty() { return nullptr; }
    static bool Valid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
using CModule = CHandleOwner<ModuleTraits>;

struct MenuTraits {
    using Handle = HMENU;
    static HMENU Empty() { return nullptr; }
    static bool Valid(HMENU h) { return h != nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
};
using CMenu = CHandleOwner<MenuTraits>;

// A hook of SetWindowsHookEx, removed before its module may go.
struct WindowsHookTraits {
    using Handle = HHOOK;
    static HHOOK Empty() { return nullptr; }
    static bool Valid(HHOOK h) { return h != nullptr; }
    static void Close(HHOOK h) { UnhookWindowsHookEx(h); }
};
using CWindowsHook = CHandleOwner<WindowsHookTraits>;

// OpenSCManager and OpenService.
struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static SC_HANDLE Empty() { return nullptr; }
    static bool Valid(SC_HANDLE h) { return h != nullptr; }
    static void Close(SC_HANDLE h) { CloseServiceHandle(h); }
};
using CServiceHandle = CHandleOwner<ServiceHandleTraits>;

// FindFirstFile fails with INVALID_HANDLE_VALUE.
// A cursor of LoadImage without LR_SHARED (shared ones are never destroyed).
struct CursorTraits {
    using Handle = HCURSOR;
    static HCURSOR Empty() { return nullptr; }
    static bool Valid(HCURSOR h) { return h != nullptr; }
    static void Close(HCURSOR h) { DestroyCursor(h); }
};
using CCursor = CHandleOwner<CursorTraits>;

struct FindHandleTraits {
    using Handle = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
using CFindHandle = CHandleOwner<FindHandleTraits>;

// A COM interface pointer, released once.
template <class T>
struct ComTraits {
    using Handle = T*;
    static T* Empty() { return nullptr; }
    static bool Valid(T* p) { return p != nullptr; }
    static void Close(T* p) { p->Release(); }
};
template <class T>
using CComRef = CHandleOwner<ComTraits<T>>;

struct BstrTraits {
    using Handle = BSTR;
    static BSTR Empty() { return nullptr; }
    static bool Valid(BSTR s) { return s != nullptr; }
    static void Close(BSTR s) { SysFreeString(s); }
};
using CBstr = CHandleOwner<BstrTraits>;

// GetDC of a window (null: the screen), given back with ReleaseDC to the
// same window.
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CWindowDC() { Close(); }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    CWindowDC(CWindowDC&& other) noexcept : m_window(other.m_window), m_dc(other.Detach()) {}
    CWindowDC& operator=(CWindowDC&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_window = other.m_window;
            m_dc = other.Detach();
        }
        return *this;
    }

    explicit operator bool() const { return m_dc != nullptr; }
    HDC Get() const { return m_dc; }
    HWND Window() const { return m_window; }
    // The caller gives the DC back with ReleaseDC(Window(), dc).
    HDC Detach()
    {
        HDC dc = m_dc;
        m_dc = nullptr;
        return dc;
    }

private:
    void Close()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
        m_dc = nullptr;
    }

    HWND m_window;
    HDC m_dc;
};
