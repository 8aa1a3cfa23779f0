#include "settings/MainProgramLink.h"

#include "graphics/protocol/MainWindowProtocol.h"

namespace {

// A hung main program must not freeze the settings program: the state is
// then written without its last timer values.
const UINT kSaveStateWaitMs = 10000;

}  // namespace

CMainProgramLink::CMainProgramLink(const WCHAR* className) : m_className(className)
{
}

void CMainProgramLink::SaveState()
{
    HWND main = FindWindowW(m_className, nullptr);
    if (!main)
        return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, UM_SAVESTATE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSaveStateWaitMs, &result);
}

LRESULT CMainProgramLink::SendToMainProgram(UINT message, WPARAM wParam, LPARAM lParam, bool send)
{
    HWND main = FindWindowW(m_className, nullptr);
    if (!main)
        return 0;
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    if (pid)
        AllowSetForegroundWindow(pid);
    return send ? SendMessageW(main, message, wParam, lParam) : PostMessageW(main, message, wParam, lParam);
}
