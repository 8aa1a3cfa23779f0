// The time service host's seams for in-process tests: a status reporter and
// an engine that write into one journal, so their order can be checked.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "timesvc/service/ServiceSeams.h"

// What happened, in order: statuses as "status <state> <check point>", the
// engine's calls as "load", "sync" and "sync end".
class CServiceJournal {
public:
    void Add(const std::string& entry)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.push_back(entry);
        m_changed.notify_all();
    }
    std::vector<std::string> Entries()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_entries;
    }
    // Waits at most `ms` for `entry` to appear `count` times.
    bool WaitFor(const std::string& entry, int count = 1, int ms = 10000)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return CountLocked(entry) >= count; });
    }
    int Count(const std::string& entry)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return CountLocked(entry);
    }

private:
    int CountLocked(const std::string& entry)
    {
        int n = 0;
        for (const auto& e : m_entries)
            n += e == entry;
        return n;
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_entries;
};

inline std::string StatusEntry(DWORD state, DWORD checkPoint = 0)
{
    return "status " + std::to_string(state) + " " + std::to_string(checkPoint);
}

class CFakeStatusReporter : public IServiceStatusReporter {
public:
    explicit CFakeStatusReporter(CServiceJournal& journal) : m_journal(journal) {}
    void ReportStatus(const SERVICE_STATUS& status) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_reports.push_back(status);
        }
        m_journal.Add(StatusEntry(status.dwCurrentState, status.dwCheckPoint));
    }
    std::vector<SERVICE_STATUS> Reports()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reports;
    }

private:
    CServiceJournal& m_journal;
    std::mutex m_mutex;
    std::vector<SERVICE_STATUS> m_reports;
};

// Settings as the test sets them; hooks run inside the calls.
class CFakeServiceEngine : public IServiceEngine {
public:
    // The engine starts now: schedule periods count from here.
    CFakeServiceEngine(CServiceJournal& journal, const std::wstring& folder)
        : m_journal(journal), m_folder(folder), m_start(GetTickCount())
    {
    }

    bool LoadSyncSettings() override
    {
        if (onLoad)
            onLoad();
        m_journal.Add("load");
        return validAfterLoad;
    }
    int RunSync(DWORD) override
    {
        m_journal.Add("sync");
        if (onSync)
            onSync();
        m_journal.Add("sync end");
        return 0;
    }
    bool AutoSync() override { return autoSync; }
    int SyncType() override { return syncType; }
    DWORD StartTick() override { return m_start; }
    DWORD LastCheckTick() override { return m_lastCheck; }
    void SetLastCheckTick(DWORD tick) override { m_lastCheck = tick; }
    DWORD TickCount() override { return GetTickCount(); }
    const WCHAR* ProgramFolder() override { return m_folder.c_str(); }

    // Set before the service starts, or inside a hook.
    std::atomic<bool> validAfterLoad{true};
    bool autoSync = false;
    int syncType = 3;  // never by schedule
    std::function<void()> onLoad;
    std::function<void()> onSync;

private:
    CServiceJournal& m_journal;
    std::wstring m_folder;
    DWORD m_start;
    DWORD m_lastCheck = 0;
};
