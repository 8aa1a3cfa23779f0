// A hidden window of the main program's class, as the map library finds it to
// ask for city photos: it notes every UM_REQUESTPHOTO and answers `reply`.
// One per process at a time (the class is the main program's).
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"

class CPhotoRequestStandIn {
public:
    struct Request {
        int32_t index;  // signed: negative for the country of that city
        HWND map;
    };

    CPhotoRequestStandIn()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kMainWindowClass;
        RegisterClassW(&wc);
        // hidden: FindWindow finds it all the same, a message-only window it would not
        m_window = CreateWindowW(kMainWindowClass, L"Tempolan stand-in", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, this);
    }
    ~CPhotoRequestStandIn()
    {
        if (IsWindow(m_window))
            DestroyWindow(m_window);
        UnregisterClassW(kMainWindowClass, GetModuleHandleW(nullptr));
    }
    CPhotoRequestStandIn(const CPhotoRequestStandIn&) = delete;
    CPhotoRequestStandIn& operator=(const CPhotoRequestStandIn&) = delete;

    HWND Window() const { return m_window; }

    std::vector<Request> requests;
    LRESULT reply = 1;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lParam)->lpCreateParams);
        auto* self = (CPhotoRequestStandIn*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
        if (self && message == UM_REQUESTPHOTO) {
            self->requests.push_back({(int32_t)wParam, (HWND)lParam});
            return self->reply;
        }
        if (message == WM_NCDESTROY)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND m_window;
};
