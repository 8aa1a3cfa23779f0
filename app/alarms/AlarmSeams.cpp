#include "app/alarms/AlarmSeams.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "app/alarms/AlarmActions.h"
#include "app/settings/SettingsIni.h"
#include "graphics/system/Handles.h"

void CSystemAlarmSound::PlayFile(const WCHAR* file, bool loop)
{
    // a file that cannot be played stays silent: PlaySoundW reports nothing useful
    PlaySoundW(file, nullptr, SND_FILENAME | SND_ASYNC | (loop ? SND_LOOP : 0));
}

void CSystemAlarmSound::Beep(DWORD hertz, DWORD ms)
{
    ::Beep(hertz, ms);
}

void CSystemAlarmSound::Purge()
{
    PlaySoundW(nullptr, nullptr, SND_PURGE);
}

bool CSystemAlarmPower::ShutdownOrHibernate(bool hibernate)
{
    return ::ShutdownOrHibernate(hibernate);
}

INT_PTR CSystemAlarmShell::Open(const WCHAR* file, const WCHAR* parameters, const WCHAR* folder)
{
    return (INT_PTR)ShellExecuteW(nullptr, L"open", file, parameters, folder, SW_SHOWNORMAL);
}

bool CSystemAlarmShell::StartThread(LPTHREAD_START_ROUTINE proc, void* param)
{
    // nobody waits for the thread: it owns what it was given
    CKernelHandle thread(CreateThread(nullptr, 0, proc, param, 0, nullptr));
    return (bool)thread;
}

int CSystemAlarmMessageBox::Show(const WCHAR* text, const WCHAR* caption, UINT type)
{
    return MessageBoxW(nullptr, text, caption, type);
}

DWORD CSystemAlarmTicks::TickCount()
{
    return GetTickCount();
}

void CSettingsAlarmCheckWriter::WriteLastAlarmCheck()
{
    SaveLastAlarmCheck(m_paths, m_state);
}
