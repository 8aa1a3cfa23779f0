// Starting, stopping and resetting timers and stopwatches, and saving their
// running state into the clocks' sections. GUI thread only.
#pragma once

#include "graphics/records/ClockRecord.h"
#include "graphics/records/SettingsPaths.h"
#include "app/clocks/ClockSettings.h"
#include "app/main/MainSeams.h"

class CUnitNames;

// The operations take "now" as UTC (milliseconds are ignored) and leave a
// clock that is not a timer alone.
void StartTimerClock(ClockRecord& clock, const SYSTEMTIME& nowUtc);
void StopTimerClock(ClockRecord& clock);
void ResetTimerClock(ClockRecord& clock, const SYSTEMTIME& nowUtc);

// Writes the running state of every timer among `clocks` into its section
// "<userPrefix>:clock<id>" of paths.userIni, as ReadClockSection reads it back.
void SaveTimerState(const SettingsPaths& paths, const ClockRecord* clocks, int count);

// What the timers reach in the main program.
class ITimerClockHost {
public:
    // The clock array (may be null) and its length.
    virtual ClockRecord* Clocks() = 0;
    virtual int ClockCount() = 0;
    virtual const SettingsPaths& Paths() = 0;
    virtual const CUnitNames& UnitNames() = 0;
    virtual void SendDataToTrayClock() = 0;
    // Where the timer panel's buttons send their notice and command.
    virtual HWND MainWindow() = 0;

protected:
    ~ITimerClockHost() = default;
};

// The timer panel as the timers drive it.
class ITimerPanel {
public:
    // Opens the panel of `clock` (element `clockIndex` of the array) beside
    // it in `owner`; its buttons talk to `mainWindow`.
    virtual bool Show(HWND owner, const ClockRecord& clock, int clockIndex, HWND mainWindow) = 0;
    virtual bool IsShown() const = 0;
    // Null while no panel is open.
    virtual HWND Window() const = 0;
    virtual void Close() = 0;

protected:
    ~ITimerPanel() = default;
};

class CTimerClocks : public ITimerClocks, public ITimerRestart {
public:
    // `host` may be null (then nothing is done) and must outlive this object.
    explicit CTimerClocks(ITimerClockHost* host = nullptr) : m_host(host) {}
    void SetHost(ITimerClockHost* host) { m_host = host; }
    // `panel` may be null (no panel opens) and must outlive this object.
    void SetPanel(ITimerPanel* panel) { m_panel = panel; }

    // ITimerClocks
    void AdvanceTimer(ClockRecord& clock, const SYSTEMTIME& nowUtc) override;
    void SaveTimerState() override;
    bool IsPanelVisible() override;
    void SendSettingsChanged(WPARAM wParam, LPARAM lParam) override;
    // Runs `operation` (kTimerReset, kTimerStop, kTimerStart; others do
    // nothing) on clock `clockIndex` (0-based; out of range does nothing),
    // closes the timer panel, saves the timers and pushes the clocks to the
    // tray clock.
    void ControlTimerClock(int clockIndex, int operation) override;
    // Nothing for an index out of range or a clock that is no timer.
    void ShowPanel(int clockIndex, HWND beside) override;

    // ITimerClocks and ITimerRestart: a reset, then a start.
    void RestartTimer(ClockRecord& clock) override;

protected:
    // UTC; tests fix it.
    virtual SYSTEMTIME NowUtc();

private:
    ITimerClockHost* m_host;
    ITimerPanel* m_panel = nullptr;
};
