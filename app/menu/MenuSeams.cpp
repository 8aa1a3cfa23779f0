#include "app/menu/MenuSeams.h"

#include "app/alarms/AlarmActions.h"

bool CSystemClipboard::SetText(HWND owner, const WCHAR* text)
{
    size_t bytes = ((size_t)lstrlenW(text) + 1) * sizeof(WCHAR);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block)
        return false;
    void* memory = GlobalLock(block);
    if (!memory) {
        GlobalFree(block);
        return false;
    }
    memcpy(memory, text, bytes);
    GlobalUnlock(block);
    bool taken = false;
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        taken = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        CloseClipboard();
    }
    // the clipboard owns the block only once it took it
    if (!taken)
        GlobalFree(block);
    return taken;
}

bool CShellTrayIconApi::Notify(DWORD message, NOTIFYICONDATAW* data)
{
    return Shell_NotifyIconW(message, data) != FALSE;
}

bool CAlarmCommandRunner::Run(const WCHAR* text)
{
    return RunCommandLine(text, m_shell);
}
