#include "tests/support/StandinTaskbar.h"

#include <string>

#include "graphics/protocol/WindowClasses.h"
#include "tests/support/TestMessages.h"
#include "tools/standin-taskbar/StandinQueries.h"

bool CStandinTaskbar::Start(const wchar_t* edge, const wchar_t* menuFile)
{
    std::wstring arguments = edge;
    if (menuFile)
        arguments += std::wstring(L" --menus \"") + menuFile + L"\"";
    if (!m_process.Start(std::wstring(TL_PROGRAM_FOLDER) + L"standin-taskbar.exe", arguments.c_str()))
        return false;
    FindTray find = {m_process.Pid(), nullptr};
    PumpUntil([&] {
        EnumWindows(FindTrayProc, (LPARAM)&find);
        return find.taskbar && IsWindowVisible(find.taskbar);
    }, 10000);
    taskbar = find.taskbar;
    HWND notify = taskbar ? FindWindowExW(taskbar, nullptr, kTrayNotifyClass, nullptr) : nullptr;
    clock = notify ? FindWindowExW(notify, nullptr, kTrayClockClass, nullptr) : nullptr;
    return clock != nullptr;
}

bool CStandinTaskbar::WaitAttached(DWORD waitMs)
{
    return PumpUntil([&] { return Query(clock, SQ_OWNPROC) == 0; }, waitMs);
}

bool CStandinTaskbar::WaitDetached(DWORD waitMs)
{
    return PumpUntil([&] { return Query(clock, SQ_OWNPROC) == 1; }, waitMs);
}
