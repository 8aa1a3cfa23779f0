// Carries out the action of an alarm that fell due: a log entry or message
// box, a sound, the shell, a command line, or a shut-down or hibernate
// countdown. Owns the one countdown dialog and the one stop-sound dialog.
// GUI thread only; the dialogs are modeless unless a modal owner is given,
// so the message loop must give their messages to IsDialogMessage.
#pragma once

#include <windows.h>

#include "app/alarms/AlarmLogEntries.h"
#include "app/alarms/AlarmSeams.h"
#include "graphics/records/AlarmRecord.h"
#include "graphics/records/ClockRecord.h"

class CLanguage;

// Seconds the countdown dialogs count down from.
const int kCountdownSeconds = 15;
// Characters of the countdown's format, without the NUL.
const int kCountdownFormatChars = 98;

class CAlarmFiring {
public:
    // All seams must be set; they, `log` and `language` (with its resource
    // library) outlive the object.
    CAlarmFiring(const AlarmFiringSeams& seams, IAlarmLogEntries& log, const CLanguage& language);
    ~CAlarmFiring();
    CAlarmFiring(const CAlarmFiring&) = delete;
    CAlarmFiring& operator=(const CAlarmFiring&) = delete;

    // `occurrence` in the clock's zone time; `clock` null for an alarm of no
    // clock (a reminder then shows a message box, which runs a modal loop).
    // With `modalOwner` the stop-sound and countdown dialogs it opens are
    // modal over that window: the call returns once they are closed.
    void FireAlarm(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord* clock,
                   HWND modalOwner = nullptr);
    // Destroys the countdown and stop-sound dialogs and stops all sounds.
    void DestroyDialogs();

    HWND CountdownDialog() const { return m_countdown; }
    HWND StopDialog() const { return m_stopDialog; }
    // Alarm message boxes showing now.
    int OpenMessageBoxes() const { return m_openBoxes; }

    static INT_PTR CALLBACK ShutdownCountdownProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK StopPlayingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void ShowMessageBox(const AlarmRecord& alarm);
    void PlaySound(const AlarmRecord& alarm);
    void StartShellThread(const AlarmRecord& alarm);
    void StartCountdown(const AlarmRecord& alarm);
    void ShowStopDialog(const AlarmRecord& alarm);

    INT_PTR OnCountdownMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnStopMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void ShowSecondsLeft(int seconds);
    // Modal over the owner of the FireAlarm under way, else modeless;
    // `*modal` says which.
    void OpenDialog(UINT id, DLGPROC proc, const AlarmRecord& alarm, bool* modal);
    // DestroyWindow for a modeless dialog, EndDialog for a modal one.
    void CloseDialog(HWND dialog);

    AlarmFiringSeams m_seams;
    IAlarmLogEntries& m_log;
    const CLanguage& m_language;
    HWND m_countdown;
    HWND m_stopDialog;
    HWND m_modalOwner;  // during FireAlarm
    bool m_countdownModal;
    bool m_stopModal;
    int32_t m_countdownAction;
    DWORD m_countdownStart;
    WCHAR m_countdownFormat[kCountdownFormatChars + 1];
    int m_openBoxes;
};
