#include "app/menu/TrayIcon.h"

#include <stddef.h>

#include "graphics/protocol/MainWindowProtocol.h"

const WCHAR kTrayIconTip[] = L"Tempolan World Clock";

static_assert(offsetof(NOTIFYICONDATAW, dwInfoFlags) + sizeof(DWORD) == kTrayIconDataBytes, "shell layout");

void CTrayIcon::Fill(NOTIFYICONDATAW* data, UINT flags) const
{
    ZeroMemory(data, sizeof(*data));
    data->cbSize = kTrayIconDataBytes;
    data->hWnd = m_window;
    data->uID = kTrayIconId;
    data->uFlags = flags;
    data->uCallbackMessage = UM_TRAYNOTIFY;
    data->hIcon = m_icon;
    lstrcpynW(data->szTip, kTrayIconTip, ARRAYSIZE(data->szTip));
}

bool CTrayIcon::Add(HWND window, HICON icon, int taskbarClocks)
{
    if (m_added)
        return true;
    if (taskbarClocks != 0 || !icon || !window)
        return false;
    m_window = window;
    m_icon = icon;
    NOTIFYICONDATAW data;
    Fill(&data, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    m_added = m_api.Notify(NIM_ADD, &data);
    return m_added;
}

void CTrayIcon::Update()
{
    if (!m_added)
        return;
    NOTIFYICONDATAW data;
    Fill(&data, NIF_TIP);
    m_api.Notify(NIM_MODIFY, &data);
}

void CTrayIcon::Delete()
{
    if (!m_added)
        return;
    NOTIFYICONDATAW data;
    Fill(&data, 0);
    m_api.Notify(NIM_DELETE, &data);
    m_added = false;
}
