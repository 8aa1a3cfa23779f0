#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "graphics/protocol/TimeServiceProtocol.h"
#include "graphics/system/Handles.h"
#include "tests/support/FakeServiceSeams.h"
#include "tests/support/TestFiles.h"
#include "timesvc/service/ServiceWorker.h"
#include "timesvc/service/TimeService.h"
#include "timesvc/sync/SyncEngine.h"

namespace {

// Longer than the worker's longest sleep between two looks at its flags.
const DWORD kQuietMs = 800;

// The service on a thread of its own, as the dispatcher runs it; the test
// thread plays the manager's control thread.
class TimeService : public testing::Test {
protected:
    TimeService() : m_reporter(m_journal), m_engine(m_journal, m_folder.Path()) {}
    ~TimeService() override { Stop(); }

    void Start(DWORD heartbeatMs = kStartHeartbeatMs)
    {
        m_service.reset(new CTimeService(m_reporter, m_engine, heartbeatMs));
        m_thread = std::thread([this] { m_service->Run(); });
    }
    bool StartRunning()
    {
        Start();
        return m_journal.WaitFor(StatusEntry(SERVICE_RUNNING));
    }
    void Stop()
    {
        if (!m_thread.joinable())
            return;
        m_service->Control(SERVICE_CONTROL_STOP);
        m_thread.join();
    }
    std::wstring LogPath() const { return m_folder.File(kServiceLogName); }

    CTempFolder m_folder;
    CServiceJournal m_journal;
    CFakeStatusReporter m_reporter;
    CFakeServiceEngine m_engine;
    std::unique_ptr<CTimeService> m_service;
    std::thread m_thread;
};

bool CanOpenForWriting(const std::wstring& path)
{
    CKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return (bool)file;
}

bool CanOpenForReading(const std::wstring& path)
{
    CKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return (bool)file;
}

std::vector<DWORD> States(const std::vector<SERVICE_STATUS>& reports)
{
    std::vector<DWORD> states;
    for (const auto& r : reports)
        states.push_back(r.dwCurrentState);
    return states;
}

}  // namespace

// A slow start keeps the manager waiting with check points 1 and 2, then
// running; the heartbeat has ended by then and says nothing more.
TEST_F(TimeService, SlowStartBeatsThenRunsAndStopsLast)
{
    m_engine.onLoad = [this] { m_journal.WaitFor(StatusEntry(SERVICE_START_PENDING, 2)); };
    ASSERT_TRUE(StartRunning());
    Sleep(kStartHeartbeatMs + 500);
    Stop();

    auto reports = m_reporter.Reports();
    ASSERT_EQ(5u, reports.size());
    const struct {
        DWORD state, checkPoint, waitHint;
    } expected[] = {
        {SERVICE_START_PENDING, 1, kStartWaitHintMs},
        {SERVICE_START_PENDING, 2, kStartWaitHintMs},
        {SERVICE_RUNNING, 0, 0},
        {SERVICE_STOP_PENDING, 0, kStopWaitHintMs},
        {SERVICE_STOPPED, 0, 0},
    };
    for (size_t i = 0; i < reports.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].state, reports[i].dwCurrentState);
        EXPECT_EQ(expected[i].checkPoint, reports[i].dwCheckPoint);
        EXPECT_EQ(expected[i].waitHint, reports[i].dwWaitHint);
        EXPECT_EQ((DWORD)SERVICE_WIN32_OWN_PROCESS, reports[i].dwServiceType);
        EXPECT_EQ((DWORD)(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE | SERVICE_ACCEPT_SHUTDOWN),
                  reports[i].dwControlsAccepted);
    }
    EXPECT_EQ(0u, reports.back().dwWin32ExitCode);
}

// Each control is answered with a status: its new state or the one it had.
TEST_F(TimeService, EveryControlReportsTheState)
{
    ASSERT_TRUE(StartRunning());
    const struct {
        DWORD control, state;
    } cases[] = {
        {SERVICE_CONTROL_INTERROGATE, SERVICE_RUNNING}, {SERVICE_CONTROL_PAUSE, SERVICE_PAUSED},
        {kServiceControlReadSettings, SERVICE_PAUSED},  {kServiceControlSyncNow, SERVICE_PAUSED},
        {200, SERVICE_PAUSED},                          {SERVICE_CONTROL_CONTINUE, SERVICE_RUNNING},
        {kServiceControlSyncNow, SERVICE_RUNNING},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        size_t before = m_reporter.Reports().size();
        m_service->Control(c.control);
        auto reports = m_reporter.Reports();
        ASSERT_EQ(before + 1, reports.size());
        EXPECT_EQ(c.state, reports.back().dwCurrentState);
    }
    // shut-down stops as stop does
    m_service->Control(SERVICE_CONTROL_SHUTDOWN);
    m_thread.join();
    auto states = States(m_reporter.Reports());
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ((DWORD)SERVICE_STOP_PENDING, states[states.size() - 2]);
    EXPECT_EQ((DWORD)SERVICE_STOPPED, states.back());
}

// Stop during an attempt: the handler returns at once with stop pending; the
// attempt runs to its end, the log is closed, and stopped comes last.
TEST_F(TimeService, StopDuringAnAttemptWaitsForItsEnd)
{
    CKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_engine.onSync = [&] { WaitForSingleObject(release.Get(), 20000); };
    ASSERT_TRUE(StartRunning());
    m_service->Control(kServiceControlSyncNow);
    ASSERT_TRUE(m_journal.WaitFor("sync"));

    m_service->Control(SERVICE_CONTROL_STOP);
    // held by the running service, open for readers only
    EXPECT_TRUE(CanOpenForReading(LogPath()));
    EXPECT_FALSE(CanOpenForWriting(LogPath()));
    Sleep(kQuietMs);
    EXPECT_EQ(0, m_journal.Count(StatusEntry(SERVICE_STOPPED)));
    SetEvent(release.Get());
    m_thread.join();

    auto entries = m_journal.Entries();
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(StatusEntry(SERVICE_STOP_PENDING), entries[entries.size() - 3]);
    EXPECT_EQ("sync end", entries[entries.size() - 2]);
    EXPECT_EQ(StatusEntry(SERVICE_STOPPED), entries.back());
    EXPECT_EQ(1, m_journal.Count("sync"));
    EXPECT_GT(m_reporter.Reports()[m_reporter.Reports().size() - 2].dwWaitHint, kSyncWatchdogMs);
    EXPECT_TRUE(CanOpenForWriting(LogPath()));
    EXPECT_EQ(std::string(), ReadFileBytes(LogPath()));
}

// A log that cannot be made ends the service with the file's error.
TEST_F(TimeService, UncreatableLogStopsWithItsError)
{
    CFakeServiceEngine engine(m_journal, m_folder.Path() + L"missing\\");
    CTimeService service(m_reporter, engine);
    service.Run();
    auto reports = m_reporter.Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ((DWORD)SERVICE_STOPPED, reports.back().dwCurrentState);
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, reports.back().dwWin32ExitCode);
    // nothing may follow stopped
    service.Control(SERVICE_CONTROL_INTERROGATE);
    service.Control(SERVICE_CONTROL_CONTINUE);
    EXPECT_EQ(reports.size(), m_reporter.Reports().size());
}

// Requests made while paused wait for continue, and the settings are read
// before the synchronisation they were sent with.
TEST_F(TimeService, PausedRequestsRunOnContinueReadingFirst)
{
    ASSERT_TRUE(StartRunning());
    int loadsAtSync = -1;
    m_engine.onSync = [&] { loadsAtSync = m_journal.Count("load"); };
    m_service->Control(SERVICE_CONTROL_PAUSE);
    m_service->Control(kServiceControlSyncNow);
    m_service->Control(kServiceControlReadSettings);
    Sleep(kQuietMs);
    EXPECT_EQ(1, m_journal.Count("load"));
    EXPECT_EQ(0, m_journal.Count("sync"));

    m_service->Control(SERVICE_CONTROL_CONTINUE);
    ASSERT_TRUE(m_journal.WaitFor("sync end"));
    EXPECT_EQ(2, loadsAtSync);
    Sleep(kQuietMs);
    EXPECT_EQ(1, m_journal.Count("sync"));
}

// Without a server a sync request waits until settings with one are read.
TEST_F(TimeService, SyncNowWaitsForValidSettings)
{
    m_engine.validAfterLoad = false;
    ASSERT_TRUE(StartRunning());
    m_service->Control(kServiceControlSyncNow);
    Sleep(kQuietMs);
    EXPECT_EQ(0, m_journal.Count("sync"));

    m_engine.validAfterLoad = true;
    m_service->Control(kServiceControlReadSettings);
    ASSERT_TRUE(m_journal.WaitFor("sync end"));
    Sleep(kQuietMs);
    EXPECT_EQ(1, m_journal.Count("sync"));
}

// A request that comes during an attempt asks for one more.
TEST_F(TimeService, SyncNowDuringAnAttemptRunsOneMore)
{
    std::atomic<int> attempts(0);
    m_engine.onSync = [&] {
        if (++attempts == 1)
            m_service->Control(kServiceControlSyncNow);
    };
    ASSERT_TRUE(StartRunning());
    m_service->Control(kServiceControlSyncNow);
    ASSERT_TRUE(m_journal.WaitFor("sync end", 2));
    Sleep(kQuietMs);
    EXPECT_EQ(2, attempts.load());
}

// The schedule runs in the worker: hourly synchronises at the start, and
// kinds that never do leave it to requests.
TEST_F(TimeService, ScheduleRunsOnlyForItsKinds)
{
    m_engine.autoSync = true;
    m_engine.syncType = 1;
    ASSERT_TRUE(StartRunning());
    ASSERT_TRUE(m_journal.WaitFor("sync end"));
    Sleep(kQuietMs);
    EXPECT_EQ(1, m_journal.Count("sync"));
    Stop();

    CServiceJournal journal;
    CFakeStatusReporter reporter(journal);
    CFakeServiceEngine engine(journal, m_folder.Path());
    engine.autoSync = true;
    engine.syncType = 7;
    CTimeService service(reporter, engine);
    std::thread thread([&] { service.Run(); });
    ASSERT_TRUE(journal.WaitFor(StatusEntry(SERVICE_RUNNING)));
    Sleep(kQuietMs);
    EXPECT_EQ(0, journal.Count("sync"));
    service.Control(kServiceControlSyncNow);
    EXPECT_TRUE(journal.WaitFor("sync end"));
    service.Control(SERVICE_CONTROL_STOP);
    thread.join();
}
