// What the firing of alarms does to the computer, behind seams: sounds, the
// power state, the shell, message boxes, the clock of the countdown, and the
// host's record of the last alarm check. The real ones are made by the main
// program; tests pass fakes. GUI thread only, except IAlarmShell::Open.
#pragma once

#include <windows.h>

#include "app/alarms/AlarmCheck.h"
#include "graphics/records/SettingsPaths.h"

class IAlarmSound {
public:
    virtual ~IAlarmSound() = default;
    // A sound file, played asynchronously; `loop` repeats it until purged.
    virtual void PlayFile(const WCHAR* file, bool loop) = 0;
    virtual void Beep(DWORD hertz, DWORD ms) = 0;
    // Stops every sound the program plays.
    virtual void Purge() = 0;
};

class IAlarmPower {
public:
    virtual ~IAlarmPower() = default;
    // Shuts the computer down, or hibernates it; false when refused.
    virtual bool ShutdownOrHibernate(bool hibernate) = 0;
};

class IAlarmShell {
public:
    virtual ~IAlarmShell() = default;
    // ShellExecuteW "open" with SW_SHOWNORMAL and no owner; the shell's
    // result (above 32 = started). Any thread.
    virtual INT_PTR Open(const WCHAR* file, const WCHAR* parameters, const WCHAR* folder) = 0;
    // Runs `proc(param)` on a new thread whose handle is closed at once;
    // false when no thread could be started (`param` is then still the caller's).
    virtual bool StartThread(LPTHREAD_START_ROUTINE proc, void* param) = 0;
};

class IAlarmMessageBox {
public:
    virtual ~IAlarmMessageBox() = default;
    // A modal message box without owner; its result.
    virtual int Show(const WCHAR* text, const WCHAR* caption, UINT type) = 0;
};

class IAlarmTicks {
public:
    virtual ~IAlarmTicks() = default;
    // Milliseconds as GetTickCount counts them.
    virtual DWORD TickCount() = 0;
};

class IAlarmCheckWriter {
public:
    virtual ~IAlarmCheckWriter() = default;
    // Writes "lastalarmcheck" before the computer goes down, so that the
    // next start catches up only what falls due after this moment.
    virtual void WriteLastAlarmCheck() = 0;
};

struct AlarmFiringSeams {
    IAlarmSound* sound;
    IAlarmPower* power;
    IAlarmShell* shell;
    IAlarmMessageBox* messages;
    IAlarmTicks* ticks;
    IAlarmCheckWriter* host;
};

class CSystemAlarmSound : public IAlarmSound {
public:
    void PlayFile(const WCHAR* file, bool loop) override;
    void Beep(DWORD hertz, DWORD ms) override;
    void Purge() override;
};

class CSystemAlarmPower : public IAlarmPower {
public:
    bool ShutdownOrHibernate(bool hibernate) override;
};

class CSystemAlarmShell : public IAlarmShell {
public:
    INT_PTR Open(const WCHAR* file, const WCHAR* parameters, const WCHAR* folder) override;
    bool StartThread(LPTHREAD_START_ROUTINE proc, void* param) override;
};

class CSystemAlarmMessageBox : public IAlarmMessageBox {
public:
    int Show(const WCHAR* text, const WCHAR* caption, UINT type) override;
};

class CSystemAlarmTicks : public IAlarmTicks {
public:
    DWORD TickCount() override;
};

// The main program's record: its previous tick (UTC), as "lastalarmcheck"
// of the user's main section. Both arguments outlive the object.
class CSettingsAlarmCheckWriter : public IAlarmCheckWriter {
public:
    CSettingsAlarmCheckWriter(const SettingsPaths& paths, const AlarmCheckState& state)
        : m_paths(paths), m_state(state)
    {
    }
    void WriteLastAlarmCheck() override;

private:
    const SettingsPaths& m_paths;
    const AlarmCheckState& m_state;
};
