// Fakes of the alarm firing's seams. Every call is written, in order, to
// one shared event list, so a test sees what happened and in which order.
// Nothing here plays a sound, starts a program or touches the power state.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/alarms/AlarmLogEntries.h"
#include "app/alarms/AlarmSeams.h"

using AlarmEvents = std::vector<std::wstring>;

class CFakeAlarmSound : public IAlarmSound {
public:
    explicit CFakeAlarmSound(AlarmEvents& events) : m_events(events) {}
    void PlayFile(const WCHAR* file, bool loop) override
    {
        m_events.push_back(std::wstring(loop ? L"loop " : L"play ") + file);
    }
    void Beep(DWORD hertz, DWORD ms) override
    {
        m_events.push_back(L"beep " + std::to_wstring(hertz) + L"/" + std::to_wstring(ms));
    }
    void Purge() override { m_events.push_back(L"purge"); }

private:
    AlarmEvents& m_events;
};

class CFakeAlarmPower : public IAlarmPower {
public:
    explicit CFakeAlarmPower(AlarmEvents& events) : m_events(events) {}
    bool ShutdownOrHibernate(bool hibernate) override
    {
        m_events.push_back(hibernate ? L"hibernate" : L"shut down");
        return succeed;
    }
    bool succeed = true;

private:
    AlarmEvents& m_events;
};

class CFakeAlarmShell : public IAlarmShell {
public:
    struct Opened {
        std::wstring file, parameters, folder;
        bool hasParameters;
    };
    explicit CFakeAlarmShell(AlarmEvents& events) : m_events(events) {}
    INT_PTR Open(const WCHAR* file, const WCHAR* parameters, const WCHAR* folder) override
    {
        opened.push_back({file ? file : L"", parameters ? parameters : L"", folder ? folder : L"", parameters != nullptr});
        m_events.push_back(L"open " + opened.back().file);
        return result;
    }
    bool StartThread(LPTHREAD_START_ROUTINE proc, void* param) override
    {
        threads.push_back({proc, param});
        m_events.push_back(L"thread");
        return startThreads;
    }
    std::vector<Opened> opened;
    std::vector<std::pair<LPTHREAD_START_ROUTINE, void*>> threads;
    INT_PTR result = 42;
    bool startThreads = true;

private:
    AlarmEvents& m_events;
};

// Records the box; `whileShown` runs in place of the modal loop.
class CFakeAlarmMessageBox : public IAlarmMessageBox {
public:
    explicit CFakeAlarmMessageBox(AlarmEvents& events) : m_events(events) {}
    int Show(const WCHAR* text, const WCHAR* caption, UINT type) override
    {
        m_events.push_back(std::wstring(L"box ") + caption + L"|" + text + L"|" + std::to_wstring(type));
        if (whileShown)
            whileShown();
        return IDOK;
    }
    std::function<void()> whileShown;

private:
    AlarmEvents& m_events;
};

class CFakeAlarmTicks : public IAlarmTicks {
public:
    DWORD TickCount() override { return now; }
    DWORD now = 0;
};

class CFakeAlarmCheckWriter : public IAlarmCheckWriter {
public:
    explicit CFakeAlarmCheckWriter(AlarmEvents& events) : m_events(events) {}
    void WriteLastAlarmCheck() override { m_events.push_back(L"lastalarmcheck"); }

private:
    AlarmEvents& m_events;
};

class CFakeAlarmLog : public IAlarmLogEntries {
public:
    explicit CFakeAlarmLog(AlarmEvents& events) : m_events(events) {}
    bool AddLogEntry(ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time, bool reminder) override
    {
        m_events.push_back(std::wstring(reminder ? L"reminder " : L"log ") + std::to_wstring(clock.id) + L" " +
                           std::to_wstring(time.wHour) + L":" + std::to_wstring(time.wMinute));
        return true;
    }

private:
    AlarmEvents& m_events;
};

// All of them, ready for CAlarmFiring.
struct CFakeAlarmSeams {
    AlarmEvents events;
    CFakeAlarmSound sound{events};
    CFakeAlarmPower power{events};
    CFakeAlarmShell shell{events};
    CFakeAlarmMessageBox messages{events};
    CFakeAlarmTicks ticks;
    CFakeAlarmCheckWriter host{events};
    CFakeAlarmLog log{events};
    AlarmFiringSeams Seams() { return {&sound, &power, &shell, &messages, &ticks, &host}; }
};
