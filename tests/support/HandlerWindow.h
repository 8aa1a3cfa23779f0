// A message-only window of the test's own whose private messages (WM_USER
// and up) go to a handler: a subscriber or a main window as the code under
// test sees it.
#pragma once

#include <windows.h>

#include <functional>

class CHandlerWindow {
public:
    // True when the message was handled (answered 0).
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit CHandlerWindow(Handler handler) : m_handler(std::move(handler))
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TlTestHandlerWindow";
        RegisterClassW(&wc);  // fails harmlessly for the second window
        m_window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
    }
    ~CHandlerWindow()
    {
        if (IsWindow(m_window))
            DestroyWindow(m_window);
    }
    CHandlerWindow(const CHandlerWindow&) = delete;
    CHandlerWindow& operator=(const CHandlerWindow&) = delete;

    HWND Window() const { return m_window; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lParam)->lpCreateParams);
        auto* self = (CHandlerWindow*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
        if (self && message >= WM_USER && self->m_handler(message, wParam, lParam))
            return 0;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    Handler m_handler;
    HWND m_window;
};
