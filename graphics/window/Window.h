// Objects bound to a window: one shared window procedure for the classes
// "KG_Generic_Window" and "KG_Layered_Window", mouse capture while a button is
// held, transparency, and per-pixel-alpha layered windows painted from a
// 32-bit back buffer. Objects live on the heap and are used on the thread that
// created their windows; a window destroyed from outside deletes its object.
#pragma once

#include <windows.h>

#include "graphics/image/Bitmap.h"

// Registers both classes once per process with the module of the first call
// (later calls with another module add nothing); true when both exist.
bool RegisterWindowClasses(HINSTANCE module);
// Only the module that registered the classes removes them; then the next
// registration may name another module.
void UnregisterWindowClasses(HINSTANCE module);

struct WindowMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;  // returned when the message was handled
};

class CWindow {
public:
    CWindow();
    // False when the message is not handled.
    virtual bool OnMessage(WindowMessage& message);
    virtual ~CWindow();
    // The class follows WS_EX_LAYERED in `exStyle`; true when a window exists.
    virtual bool Create(HWND parent, const WCHAR* title, DWORD style, DWORD exStyle);
    // Destroys the window; the object stays for its owner to delete.
    virtual void Destroy();
    // Values below 10 give 10.
    virtual void SetAlpha(int alpha);

    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // The procedure of both window classes.
    static LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND GetHandle() const { return m_hwnd; }
    int GetAlpha() const { return m_alpha; }
    void SetBounds(int x, int y, int width, int height);
    void SetColorKey(COLORREF key) { m_colorKey = key; }

protected:
    WNDPROC m_fallbackProc;
    int m_x;
    int m_y;
    int m_width;
    int m_height;
    BYTE m_alpha;
    COLORREF m_colorKey;  // CLR_INVALID: none
    bool m_destroying;
    HWND m_hwnd;
};

class CAlphaWindow : public CWindow {
public:
    CAlphaWindow();
    bool OnMessage(WindowMessage& message) override;
    void SetAlpha(int alpha) override;
    // Puts the back buffer on the screen with the constant and per-pixel alpha.
    virtual bool UpdateLayered(HDC dc);
    bool Redraw();

    CDibSection& BackBuffer() { return m_buffer; }
    void SetPerPixelAlpha(bool on) { m_perPixelAlpha = on; }

protected:
    bool m_perPixelAlpha;
    CDibSection m_buffer;
};
