// The countdown and stop-sound dialogs of CAlarmFiring.
#include "app/alarms/AlarmFiring.h"

#include <wchar.h>

#include "app/alarms/AlarmResources.h"
#include "app/ui/DialogHelpers.h"
#include "app/ui/LocalText.h"
#include "app/ui/NumberFormat.h"
#include "graphics/language/Language.h"
#include "graphics/records/FixedText.h"

const WCHAR kSectionShutdown[] = L"DLG_Shutdown";
const WCHAR kSectionHibernate[] = L"DLG_Hibernate";
const WCHAR kSectionStopPlaying[] = L"DLG_StopPlaying";

namespace {

const UINT_PTR kCountdownTimer = 1;
const UINT kCountdownTimerMs = 500;
const DWORD kRefusedBeepHertz = 1760;
const DWORD kRefusedBeepMs = 500;

// What WM_INITDIALOG receives.
struct DialogStart {
    CAlarmFiring* self;
    const AlarmRecord* alarm;
};

CAlarmFiring* FiringOf(HWND dialog, UINT message, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* start = (const DialogStart*)lParam;
        SetWindowLongPtrW(dialog, DWLP_USER, (LONG_PTR)start->self);
        return start->self;
    }
    return (CAlarmFiring*)GetWindowLongPtrW(dialog, DWLP_USER);
}

// A dialog shown by a call, while another program holds the foreground:
// SetForegroundWindow is refused then, but the desktop window activates the
// window named in a hot-key system command.
void ComeForward(HWND dialog, WPARAM shown, LPARAM status)
{
    if (!shown || status != 0)
        return;
    if (GetForegroundWindow() != dialog && !SetForegroundWindow(dialog))
        PostMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_HOTKEY, (LPARAM)dialog);
}

void SetTitle(HWND dialog, const AlarmRecord& alarm)
{
    WCHAR title[FIELD_WIDTH(alarm.comment) + 1];
    size_t n = FixedLength(alarm.comment, FIELD_WIDTH(alarm.comment));
    wmemcpy(title, alarm.comment, n);
    title[n] = 0;
    SetWindowTextW(dialog, title);
}

}  // namespace

void CAlarmFiring::DestroyDialogs()
{
    for (HWND dialog : {m_countdown, m_stopDialog}) {
        if (!dialog)
            continue;
        KillTimer(dialog, kCountdownTimer);
        CloseDialog(dialog);
        // a modal one lives on until its loop returns, and this object may
        // be gone by then
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
    }
    m_countdown = nullptr;
    m_stopDialog = nullptr;
    m_seams.sound->Purge();
}

void CAlarmFiring::CloseDialog(HWND dialog)
{
    bool modal = (dialog == m_countdown && m_countdownModal) || (dialog == m_stopDialog && m_stopModal);
    if (modal) {
        // the loop ends and destroys the dialog; WM_DESTROY comes later
        EndDialog(dialog, 0);
        if (dialog == m_countdown)
            m_countdown = nullptr;
        if (dialog == m_stopDialog)
            m_stopDialog = nullptr;
    } else {
        DestroyWindow(dialog);
    }
}

void CAlarmFiring::StartCountdown(const AlarmRecord& alarm)
{
    // a second alarm never restarts a running countdown
    if (m_countdown) {
        SetForegroundWindow(m_countdown);
        return;
    }
    UINT id = alarm.action == kActionHibernate ? kDlgHibernateCountdown : kDlgShutdownCountdown;
    OpenDialog(id, ShutdownCountdownProc, alarm, &m_countdownModal);
}

void CAlarmFiring::ShowStopDialog(const AlarmRecord& alarm)
{
    if (m_stopDialog) {
        SetForegroundWindow(m_stopDialog);
        SetTitle(m_stopDialog, alarm);
        return;
    }
    OpenDialog(kDlgStopPlaying, StopPlayingProc, alarm, &m_stopModal);
}

void CAlarmFiring::OpenDialog(UINT id, DLGPROC proc, const AlarmRecord& alarm, bool* modal)
{
    DialogStart start = {this, &alarm};
    *modal = m_modalOwner != nullptr;
    if (*modal) {
        // returns once the dialog was closed
        DialogBoxParamW(m_language.GetResources(), MAKEINTRESOURCEW(id), m_modalOwner, proc, (LPARAM)&start);
        return;
    }
    HWND dialog = CreateDialogParamW(m_language.GetResources(), MAKEINTRESOURCEW(id), nullptr, proc, (LPARAM)&start);
    if (dialog)
        ShowWindow(dialog, SW_SHOW);
}

void CAlarmFiring::ShowSecondsLeft(int seconds)
{
    WCHAR text[kCountdownFormatChars + 32];
    FormatWithOneNumber(m_countdownFormat, seconds, text, (int)FIELD_WIDTH(text));
    SetDlgItemTextW(m_countdown, kIdCountdownText, text);
}

INT_PTR CALLBACK CAlarmFiring::ShutdownCountdownProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    CAlarmFiring* self = FiringOf(dialog, message, lParam);
    return self ? self->OnCountdownMessage(dialog, message, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK CAlarmFiring::StopPlayingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    CAlarmFiring* self = FiringOf(dialog, message, lParam);
    return self ? self->OnStopMessage(dialog, message, wParam, lParam) : FALSE;
}

INT_PTR CAlarmFiring::OnCountdownMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const AlarmRecord* alarm = ((const DialogStart*)lParam)->alarm;
        m_countdownAction = alarm->action;
        m_countdown = dialog;
        LocalizeDialog(dialog, m_countdownAction == kActionHibernate ? kSectionHibernate : kSectionShutdown,
                       m_language);
        GetDlgItemTextW(dialog, kIdCountdownText, m_countdownFormat, kCountdownFormatChars + 1);
        ShowSecondsLeft(kCountdownSeconds);
        m_countdownStart = m_seams.ticks->TickCount();
        SetTimer(dialog, kCountdownTimer, kCountdownTimerMs, nullptr);
        CenterOnDesktop(dialog);
        return TRUE;
    }
    case WM_TIMER: {
        if (wParam != kCountdownTimer)
            return TRUE;
        // unsigned difference: right across the tick count's wrap
        int elapsed = (int)((m_seams.ticks->TickCount() - m_countdownStart) / 1000);
        if (elapsed >= kCountdownSeconds) {
            // once: the posted command may wait behind another timer message
            KillTimer(dialog, kCountdownTimer);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), (LPARAM)GetDlgItem(dialog, IDOK));
        } else {
            ShowSecondsLeft(kCountdownSeconds - elapsed);
        }
        return 0;
    }
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        if (id != IDOK && id != IDCANCEL)
            return TRUE;
        if (HIWORD(wParam) != 0)
            return 0;
        KillTimer(dialog, kCountdownTimer);
        if (id == IDOK) {
            m_seams.host->WriteLastAlarmCheck();
            if (!m_seams.power->ShutdownOrHibernate(m_countdownAction == kActionHibernate))
                m_seams.sound->Beep(kRefusedBeepHertz, kRefusedBeepMs);
        }
        CloseDialog(dialog);
        return TRUE;
    }
    case WM_SHOWWINDOW:
        ComeForward(dialog, wParam, lParam);
        return 0;
    case WM_DESTROY:
        KillTimer(dialog, kCountdownTimer);
        if (m_countdown == dialog)
            m_countdown = nullptr;
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return 0;
    default:
        return FALSE;
    }
}

INT_PTR CAlarmFiring::OnStopMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        m_stopDialog = dialog;
        LocalizeDialog(dialog, kSectionStopPlaying, m_language);
        SetTitle(dialog, *((const DialogStart*)lParam)->alarm);
        CenterOnDesktop(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL || HIWORD(wParam) != 0)
            return FALSE;
        m_seams.sound->Purge();
        CloseDialog(dialog);
        return TRUE;
    case WM_SHOWWINDOW:
        ComeForward(dialog, wParam, lParam);
        return 0;
    case WM_DESTROY:
        if (m_stopDialog == dialog)
            m_stopDialog = nullptr;
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return 0;
    default:
        return FALSE;
    }
}
