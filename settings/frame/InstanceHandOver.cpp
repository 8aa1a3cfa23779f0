#include "settings/frame/InstanceHandOver.h"

#include "graphics/protocol/WindowClasses.h"

namespace {

bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT waitMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, waitMs, &result) != 0;
}

}  // namespace

bool HandOverToRunningInstance(const SettingsCommand& command, UINT waitMs)
{
    HWND running = FindWindowW(kSettingsWindowClass, nullptr);
    if (!running)
        return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    if (processId)
        AllowSetForegroundWindow(processId);
    // a modal chooser would hold the command back until the user closes it
    if (!SendWithin(running, UM_CLOSEMODAL, 0, 0, waitMs))
        return true;
    SetForegroundWindow(running);
    if (command.code != kSettingsNoCommand)
        SendWithin(running, UM_SETTINGSCOMMAND, command.code, PackSettingsCommand(command.n, command.m), waitMs);
    return true;
}
