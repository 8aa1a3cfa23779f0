// The notification-area icon, shown while no clock sits in the taskbar so
// that the main menu can still be reached.
#pragma once

#include <windows.h>

#include "app/menu/MenuSeams.h"

const UINT kTrayIconId = 1;
// The block as the shell has read it since its second version; later
// fields are not needed.
const DWORD kTrayIconDataBytes = 952;
extern const WCHAR kTrayIconTip[];

class CTrayIcon {
public:
    explicit CTrayIcon(ITrayIconApi& api) : m_api(api), m_window(nullptr), m_icon(nullptr), m_added(false) {}
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Adds the icon for `window` when `taskbarClocks` is 0 and `icon` is
    // there (shared: never destroyed); true when it is shown afterwards.
    bool Add(HWND window, HICON icon, int taskbarClocks);
    // The tip again, after a settings change.
    void Update();
    void Delete();
    bool IsAdded() const { return m_added; }

private:
    void Fill(NOTIFYICONDATAW* data, UINT flags) const;

    ITrayIconApi& m_api;
    HWND m_window;
    HICON m_icon;
    bool m_added;
};
