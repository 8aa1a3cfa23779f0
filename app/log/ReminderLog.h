// The reminder log and the actions of fired alarms, as the main program
// reaches them: one log window, and the firing that writes into it.
#pragma once

#include <windows.h>

#include <memory>

#include "app/alarms/AlarmFiring.h"
#include "app/alarms/AlarmSeams.h"
#include "app/alarms/AlarmText.h"
#include "app/log/ReminderLogWindow.h"
#include "app/main/MainSeams.h"

class CLanguage;
struct SettingsBlock;

struct ReminderLogServices {
    const SettingsPaths* paths;
    const CLanguage* language;
    HMODULE program;             // the entries' icons
    AlarmFiringSeams firing;     // every member; a null host: the log's own, saving the previous tick
    const CCityList* cities;     // may be null
    const BuildInfo* build;      // may be null
    const SettingsBlock* settings;  // the week rules of date pictures; may be null
};

class CReminderLog : public IReminderLog {
public:
    explicit CReminderLog(const ReminderLogServices& services);
    ~CReminderLog() override;
    CReminderLog(const CReminderLog&) = delete;
    CReminderLog& operator=(const CReminderLog&) = delete;

    // The tick's state, which the window takes back to the last check;
    // before Create.
    void SetAlarmState(AlarmCheckState* alarms) { m_alarms = alarms; }
    void SetSettings(const SettingsBlock* settings) { m_services.settings = settings; }

    void Create() override;
    void Show() override;
    void Relocalize() override;
    void Destroy() override;
    void FireAlarm(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock) override;
    void AddReminder(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock) override;

    CReminderLogWindow* Window() { return m_window.get(); }
    CAlarmFiring* Firing() { return m_firing.get(); }

private:
    std::wstring Expand(const ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time) const;

    ReminderLogServices m_services;
    AlarmCheckState* m_alarms;
    std::unique_ptr<CSettingsAlarmCheckWriter> m_writer;
    std::unique_ptr<CReminderLogWindow> m_window;
    std::unique_ptr<CAlarmFiring> m_firing;
};
