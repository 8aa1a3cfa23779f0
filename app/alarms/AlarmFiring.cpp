#include "app/alarms/AlarmFiring.h"

#include <string.h>
#include <wchar.h>

#include "app/alarms/AlarmActions.h"
#include "app/alarms/AlarmResources.h"
#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"
#include "graphics/records/FixedText.h"

namespace {

const int kCaptionChars = 128;

// A record field as a terminated text.
template <size_t N>
void CopyField(WCHAR (&out)[N + 1], const WCHAR (&field)[N])
{
    size_t n = FixedLength(field, N);
    wmemcpy(out, field, n);
    out[n] = 0;
}

}  // namespace

CAlarmFiring::CAlarmFiring(const AlarmFiringSeams& seams, IAlarmLogEntries& log, const CLanguage& language)
    : m_seams(seams),
      m_log(log),
      m_language(language),
      m_countdown(nullptr),
      m_stopDialog(nullptr),
      m_modalOwner(nullptr),
      m_countdownModal(false),
      m_stopModal(false),
      m_countdownAction(kActionShutdown),
      m_countdownStart(0),
      m_countdownFormat(),
      m_openBoxes(0)
{
}

CAlarmFiring::~CAlarmFiring()
{
    DestroyDialogs();
}

void CAlarmFiring::FireAlarm(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord* clock,
                             HWND modalOwner)
{
    m_modalOwner = modalOwner;
    switch (alarm.action) {
    case kActionReminder:
        if (clock)
            m_log.AddLogEntry(*clock, alarm, occurrence, false);
        else
            ShowMessageBox(alarm);
        break;
    case kActionSound:
    case kActionSoundLoop:
        PlaySound(alarm);
        break;
    case kActionOpenFile:
    case kActionOpenAddress:
    case kActionOpenDocument:
        StartShellThread(alarm);
        break;
    case kActionCommandLine: {
        WCHAR text[FIELD_WIDTH(alarm.text) + 1];
        CopyField(text, alarm.text);
        RunCommandLine(text, *m_seams.shell);
        break;
    }
    case kActionShutdown:
    case kActionHibernate:
        StartCountdown(alarm);
        break;
    default:
        break;
    }
    m_modalOwner = nullptr;
}

void CAlarmFiring::ShowMessageBox(const AlarmRecord& alarm)
{
    WCHAR caption[kCaptionChars];
    LoadLocalString(m_language, m_language.GetResources(), kStrAlarmBoxCaption, caption, kCaptionChars, nullptr);
    WCHAR comment[FIELD_WIDTH(alarm.comment) + 1], text[FIELD_WIDTH(alarm.text) + 1];
    CopyField(comment, alarm.comment);
    CopyField(text, alarm.text);
    WCHAR message[FIELD_WIDTH(alarm.comment) + FIELD_WIDTH(alarm.text) + 2];
    swprintf(message, FIELD_WIDTH(message), L"%ls %ls", comment, text);
    ++m_openBoxes;
    m_seams.messages->Show(message, caption, MB_TOPMOST);
    --m_openBoxes;
}

void CAlarmFiring::PlaySound(const AlarmRecord& alarm)
{
    WCHAR file[FIELD_WIDTH(alarm.text) + 1];
    CopyField(file, alarm.text);
    if (!file[0]) {
        m_seams.sound->Purge();
        return;
    }
    bool loop = alarm.action == kActionSoundLoop;
    if (!loop && _wcsicmp(file, L"beep!") == 0)
        m_seams.sound->Beep(1000, 300);
    else
        m_seams.sound->PlayFile(file, loop);
    if (loop)
        ShowStopDialog(alarm);
}

void CAlarmFiring::StartShellThread(const AlarmRecord& alarm)
{
    HGLOBAL copy = GlobalAlloc(GHND, kAlarmCopyBytes);
    if (!copy)
        return;
    void* bytes = GlobalLock(copy);
    if (!bytes) {
        GlobalFree(copy);
        return;
    }
    memcpy(bytes, &alarm, sizeof(alarm));
    GlobalUnlock(copy);
    // the thread owns the copy from here on; without one, nobody does
    if (!m_seams.shell->StartThread(RunAlarmAction, copy))
        GlobalFree(copy);
}
