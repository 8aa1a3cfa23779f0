#include "app/log/ReminderLog.h"

#include <string.h>

#include "graphics/language/Language.h"
#include "graphics/records/SettingsBlock.h"

CReminderLog::CReminderLog(const ReminderLogServices& services) : m_services(services), m_alarms(nullptr) {}

CReminderLog::~CReminderLog()
{
    Destroy();
}

std::wstring CReminderLog::Expand(const ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time) const
{
    AlarmTextContext context = {};
    context.language = m_services.language;
    context.cities = m_services.cities;
    context.build = m_services.build;
    if (const SettingsBlock* settings = m_services.settings)
        context.weekRules = {settings->weekNumbering, settings->weekStart % 7};
    // a text as wide as its field has no terminator
    WCHAR text[ARRAYSIZE(alarm.text) + 1] = {};
    memcpy(text, alarm.text, sizeof(alarm.text));
    WCHAR out[kAlarmTextChars + 1];
    ExpandAlarmText(text, out, ARRAYSIZE(out), &clock, &alarm, time, context);
    return out;
}

void CReminderLog::Create()
{
    if (m_window || !m_alarms)
        return;
    m_writer = std::make_unique<CSettingsAlarmCheckWriter>(*m_services.paths, *m_alarms);
    LogWindowSeams seams = {};
    seams.expand = [this](const ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time) {
        return Expand(clock, alarm, time);
    };
    seams.closeAlarmWindows = [this] {
        if (m_firing)
            m_firing->DestroyDialogs();
    };
    m_window = std::make_unique<CReminderLogWindow>(*m_services.paths, *m_services.language, *m_alarms,
                                                    m_services.program, seams);
    AlarmFiringSeams firing = m_services.firing;
    if (!firing.host)
        firing.host = m_writer.get();
    m_firing = std::make_unique<CAlarmFiring>(firing, *m_window, *m_services.language);
    m_window->CreateLogWindow();
}

void CReminderLog::Show()
{
    if (m_window)
        m_window->Show();
}

void CReminderLog::Relocalize()
{
    if (m_window)
        m_window->Relocalize();
}

void CReminderLog::Destroy()
{
    if (m_window)
        m_window->DestroyLogWindow();
    m_firing.reset();
    m_window.reset();
    m_writer.reset();
}

void CReminderLog::FireAlarm(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock)
{
    if (m_firing)
        m_firing->FireAlarm(alarm, occurrence, &clock);
}

void CReminderLog::AddReminder(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock)
{
    if (m_window)
        m_window->AddLogEntry(clock, alarm, occurrence, true);
}
