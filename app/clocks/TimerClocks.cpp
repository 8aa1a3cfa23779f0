#include "app/clocks/TimerClocks.h"

#include <string>

#include "graphics/text/DurationFormat.h"
#include "graphics/time/FileTimeTicks.h"
#include "app/settings/SettingsIni.h"
#include "graphics/protocol/MainWindowProtocol.h"

namespace {

// Whole seconds: the saved state and the tick both drop the milliseconds.
bool NowTicks(const SYSTEMTIME& nowUtc, uint64_t* ticks)
{
    SYSTEMTIME now = nowUtc;
    now.wMilliseconds = 0;
    return SystemTimeToTicks(now, ticks);
}

void SetAnchor(ClockRecord& clock, uint64_t anchor)
{
    clock.timerAnchorUtc = anchor;
    TicksToSystemTime(anchor, &clock.timerMoment);
}

uint64_t DurationTicks(const ClockRecord& clock)
{
    return clock.countdownSeconds > 0 ? (uint64_t)clock.countdownSeconds * kTicksPerSecond : 0;
}

bool IsTimer(const ClockRecord& clock)
{
    return (clock.kind & kClockTimer) != 0;
}

bool IsCountdown(const ClockRecord& clock)
{
    return (clock.kind & kClockCountdown) != 0;
}

bool IsFixedMoment(const ClockRecord& clock)
{
    return (clock.kind & kClockFixedMoment) != 0;
}

void StartStopwatch(ClockRecord& clock, uint64_t now)
{
    if (IsFixedMoment(clock)) {
        if (now < clock.timerAnchorUtc) {
            clock.timerRunning = 0;
            clock.timerValue = 0;
        } else {
            clock.timerRunning = 1;
            clock.timerValue = now - clock.timerAnchorUtc;
        }
        return;
    }
    if (clock.timerRunning)
        return;
    clock.timerRunning = 1;
    // a start moment after now means the clock went back: start afresh
    if (clock.timerMoment.wYear != 0 && clock.timerAnchorUtc <= now && clock.timerValue <= now) {
        SetAnchor(clock, now - clock.timerValue);
        return;
    }
    clock.timerValue = 0;
    SetAnchor(clock, now);
}

void StartCountdown(ClockRecord& clock, uint64_t now, bool wasFinished)
{
    uint64_t end = clock.timerAnchorUtc;
    if (IsFixedMoment(clock)) {
        if (end <= now) {
            clock.timerRunning = 0;
            clock.timerFinished = 1;
            clock.timerValue = 0;
        } else {
            clock.timerRunning = 1;
            clock.timerValue = end - now;
        }
        return;
    }
    if (clock.timerRunning && end > now)
        return;
    // A paused countdown keeps what was left even when the pause outlasted
    // its old end; a running one past its end has ended, as has one that
    // finished or has nothing left, and those start over.
    bool ended = wasFinished || clock.timerValue == 0 || (clock.timerRunning && end <= now);
    end = now + (ended ? DurationTicks(clock) : clock.timerValue);
    SetAnchor(clock, end);
    clock.timerRunning = 1;
    clock.timerValue = end - now;
}

}  // namespace

void StartTimerClock(ClockRecord& clock, const SYSTEMTIME& nowUtc)
{
    uint64_t now;
    if (!IsTimer(clock) || !NowTicks(nowUtc, &now))
        return;
    bool wasFinished = clock.timerFinished != 0;
    clock.timerFinished = 0;
    if (IsCountdown(clock))
        StartCountdown(clock, now, wasFinished);
    else
        StartStopwatch(clock, now);
}

void StopTimerClock(ClockRecord& clock)
{
    if (!IsTimer(clock))
        return;
    clock.timerRunning = 0;
    clock.timerFinished = 0;
}

void ResetTimerClock(ClockRecord& clock, const SYSTEMTIME& nowUtc)
{
    uint64_t now;
    if (!IsTimer(clock) || !NowTicks(nowUtc, &now))
        return;
    clock.timerRunning = 0;
    clock.timerFinished = 0;
    uint64_t anchor = clock.timerAnchorUtc;
    if (!IsCountdown(clock)) {
        if (IsFixedMoment(clock)) {
            clock.timerValue = now >= anchor ? now - anchor : 0;
        } else {
            clock.timerValue = 0;
            SetAnchor(clock, now);
        }
    } else if (IsFixedMoment(clock)) {
        clock.timerValue = anchor > now ? anchor - now : 0;
    } else {
        clock.timerValue = DurationTicks(clock);
        SetAnchor(clock, now + clock.timerValue);
    }
}

void SaveTimerState(const SettingsPaths& paths, const ClockRecord* clocks, int count)
{
    if (!clocks)
        return;
    for (int i = 0; i < count; ++i) {
        const ClockRecord& clock = clocks[i];
        if (!IsTimer(clock))
            continue;
        std::wstring name = UserSection(paths.userPrefix, (L":clock" + std::to_wstring(clock.id)).c_str());
        const WCHAR* section = name.c_str();
        WritePrivateProfileStringW(section, L"running", std::to_wstring(clock.timerRunning).c_str(), paths.userIni);
        if (!IsCountdown(clock)) {
            WriteMsKey(paths, section, L"elapsed", (int64_t)clock.timerValue);
            WriteTimeStampKey(paths, section, IsFixedMoment(clock) ? L"start_at" : L"start_time", clock.timerMoment);
        } else if (IsFixedMoment(clock)) {
            WriteTimeStampKey(paths, section, L"term", clock.timerMoment);
        } else {
            WriteMsKey(paths, section, L"remaining", (int64_t)clock.timerValue);
            WriteMsKey(paths, section, L"term_tsc", (int64_t)clock.timerAnchorUtc);
        }
    }
}

void CTimerClocks::AdvanceTimer(ClockRecord& clock, const SYSTEMTIME& nowUtc)
{
    if (m_host)
        UpdateTimerText(clock, nowUtc, m_host->UnitNames());
}

void CTimerClocks::SaveTimerState()
{
    if (m_host)
        ::SaveTimerState(m_host->Paths(), m_host->Clocks(), m_host->ClockCount());
}

void CTimerClocks::ControlTimerClock(int clockIndex, int operation)
{
    if (!m_host)
        return;
    ClockRecord* clocks = m_host->Clocks();
    if (!clocks || clockIndex < 0 || clockIndex >= m_host->ClockCount())
        return;
    ClockRecord& clock = clocks[clockIndex];
    switch (operation) {
    case kTimerReset:
        ResetTimerClock(clock, NowUtc());
        break;
    case kTimerStop:
        StopTimerClock(clock);
        break;
    case kTimerStart:
        StartTimerClock(clock, NowUtc());
        break;
    default:
        return;
    }
    if (m_panel && m_panel->Window())
        m_panel->Close();
    SaveTimerState();
    m_host->SendDataToTrayClock();
}

bool CTimerClocks::IsPanelVisible()
{
    return m_panel && m_panel->IsShown();
}

void CTimerClocks::SendSettingsChanged(WPARAM wParam, LPARAM lParam)
{
    if (m_panel && m_panel->Window())
        SendMessageW(m_panel->Window(), UM_SETTINGSCHANGED, wParam, lParam);
}

void CTimerClocks::ShowPanel(int clockIndex, HWND beside)
{
    if (!m_host || !m_panel)
        return;
    ClockRecord* clocks = m_host->Clocks();
    if (!clocks || clockIndex < 0 || clockIndex >= m_host->ClockCount() || !IsTimer(clocks[clockIndex]))
        return;
    m_panel->Show(beside, clocks[clockIndex], clockIndex, m_host->MainWindow());
}

void CTimerClocks::RestartTimer(ClockRecord& clock)
{
    SYSTEMTIME now = NowUtc();
    ResetTimerClock(clock, now);
    StartTimerClock(clock, now);
}

SYSTEMTIME CTimerClocks::NowUtc()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return now;
}
