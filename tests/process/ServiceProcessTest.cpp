// The service tools against the prefix's own service manager: svcctl on a
// service Wine brings (the print spooler) and on an entry of the test's own;
// the time service program (its 64-bit twin) installing, starting and
// removing itself there, and synchronising from the local SNTP server; the
// main program beside it asking it to read its settings and to synchronise.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <stdint.h>
#include <wchar.h>

#include <string>
#include <thread>
#include <vector>

#include "graphics/protocol/TimeServiceProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Restrictions.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/PngFile.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/SettingsDriver.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"
#include "tests/support/TestProcess.h"
#include "tests/support/TestServers.h"
#include "timesvc/command/HoralinkText.h"
#include "timesvc/command/ServiceCommand.h"
#include "timesvc/service/SyncSchedule.h"
#include "timesvc/sync/SntpPacket.h"
#include "timesvc/sync/SyncEngine.h"

namespace {

const DWORD kToolWaitMs = 20000;
const wchar_t kWineService[] = L"Spooler";
const wchar_t kOwnService[] = L"TLSvcCtlTestEntry";

int SvcCtl(const std::wstring& arguments, std::string* output)
{
    return RunForOutput(std::wstring(TL_PROGRAM_FOLDER) + L"svcctl.exe", arguments, output, kToolWaitMs);
}

// "key=value" of svcctl's query; "(none)" when the line is missing.
std::string Field(const std::string& output, const std::string& key)
{
    size_t at = output.find(key + "=");
    if (at == std::string::npos || (at > 0 && output[at - 1] != '\n'))
        return "(none)";
    size_t begin = at + key.size() + 1;
    size_t end = output.find_first_of("\r\n", begin);
    return output.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

}  // namespace

TEST(SvcCtl, QueriesStartsControlsWaitsAndKills)
{
    std::string out;
    EXPECT_EQ(1, SvcCtl(L"TLNoSuchService query", &out)) << out;
    EXPECT_NE(std::string::npos, out.find("1060")) << out;
    struct Case {
        const wchar_t* arguments;
    } usage[] = {{L"Spooler"}, {L"Spooler bogus"}, {L"Spooler control"}, {L"Spooler control x1"},
                 {L"Spooler wait 4"}, {L"Spooler query more"}};
    for (const Case& c : usage)
        EXPECT_EQ(2, SvcCtl(c.arguments, &out)) << testing::PrintToString(std::wstring(c.arguments));

    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" query", &out)) << out;
    EXPECT_EQ("Print Spooler", Field(out, "display"));
    EXPECT_NE(std::string::npos, Field(out, "path").find("spoolsv.exe")) << out;
    if (Field(out, "state") != "1") {
        SvcCtl(std::wstring(kWineService) + L" control 1", &out);
        ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" wait 1 10000", &out)) << out;
    }
    // a state that does not come: the wait runs out
    EXPECT_EQ(4, SvcCtl(std::wstring(kWineService) + L" wait 4 200", &out));
    EXPECT_EQ("1", Field(out, "state"));

    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" start", &out)) << out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" wait 4 10000", &out)) << out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" query", &out));
    EXPECT_EQ("4", Field(out, "state"));
    EXPECT_NE("0", Field(out, "pid"));
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" control 1", &out)) << out;
    EXPECT_EQ(0, SvcCtl(std::wstring(kWineService) + L" wait 1 10000", &out)) << out;

    // killed: its process ends (Wine's manager goes on calling it running)
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" start", &out)) << out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" wait 4 10000", &out)) << out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" query", &out));
    DWORD pid = (DWORD)std::stoul(Field(out, "pid"));
    CKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    ASSERT_TRUE(process) << pid;
    EXPECT_EQ(0, SvcCtl(std::wstring(kWineService) + L" kill", &out)) << out;
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(process.Get(), 10000));
}

TEST(SvcCtl, DeletesAnEntry)
{
    CServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    ASSERT_TRUE(manager);
    std::wstring path = L"\"" + std::wstring(TL_PROGRAM_FOLDER) + L"svcctl.exe\"";
    CServiceHandle entry(CreateServiceW(manager.Get(), kOwnService, L"Tempolan svcctl test", SERVICE_ALL_ACCESS,
                                        SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                        path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(entry) << GetLastError();
    entry.Reset();

    std::string out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kOwnService) + L" query", &out)) << out;
    EXPECT_EQ("3", Field(out, "starttype"));
    EXPECT_EQ("Tempolan svcctl test", Field(out, "display"));
    EXPECT_EQ(0, SvcCtl(std::wstring(kOwnService) + L" delete", &out)) << out;
    EXPECT_EQ(1, SvcCtl(std::wstring(kOwnService) + L" query", &out)) << out;
}

namespace {

// A command that shows no box and does not wait for the service ends well
// within this, once Wine is warm.
const DWORD kSwitchMs = 5000;
const DWORD kStateWaitMs = 10000;
const DWORD kResultWaitMs = 15000;
// The 48-byte client request as the server's log shows its first word.
const char kSntpRequestWord[] = "0b000000";

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

struct Outcome {
    int exitCode;
    std::vector<std::wstring> boxes;  // in the order they came
    DWORD ms;                         // from start to exit
};

// The twin's own string table, as the program loads its box texts.
class CTwinTexts {
public:
    explicit CTwinTexts(const std::wstring& exe)
        : m_module(LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    std::wstring operator()(UINT id) const
    {
        WCHAR text[512] = {};
        LoadStringW(m_module.Get(), id, text, 512);
        return text;
    }

private:
    CModule m_module;
};

// The twin as horalink.exe in a folder whose name holds a space, with the
// settings files the engine reads. A service it leaves behind is removed.
class TimeServiceProgram : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(kSntpPort, TestServerPort(L"TL_TEST_SNTP_PORT"))
            << "the service's engine asks port 123: run under with-servers.sh with TL_TEST_SNTP_BIND_PORT=123";
        TestServerGet(L"/sntp?mode=normal");
        RemoveService();
        m_folder = MakeFolder();
        ASSERT_FALSE(m_folder.empty());
        ASSERT_TRUE(CopyFileW((std::wstring(TL_TEST_BINARIES) + L"horalink_twin.exe").c_str(), Exe().c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((std::wstring(TL_PROGRAM_FOLDER) + L"default.ini").c_str(),
                              (m_folder + L"default.ini").c_str(), FALSE));
        SetKey(L"autosync", L"0");
        SetKey(L"server", L"0");
        SetKey(L"server0", L"127.0.0.1");
        ASSERT_FALSE(Text(IDS_USAGE).empty()) << "the twin's string table";
    }
    void TearDown() override
    {
        RemoveService();
        TestServerGet(L"/sntp?mode=normal");
    }

    // The folder the twin goes in, with a trailing backslash; empty on failure.
    virtual std::wstring MakeFolder()
    {
        return m_root.AddFolder(L"Time Service") ? m_root.File(L"Time Service\\") : std::wstring();
    }

    std::wstring Exe() const { return m_folder + L"horalink.exe"; }
    std::wstring Ini() const { return m_folder + L"tempolan.ini"; }
    std::wstring Text(UINT id) const { return CTwinTexts(Exe())(id); }

    void SetKey(const wchar_t* key, const wchar_t* value)
    {
        WritePrivateProfileStringW(L"common", key, value, Ini().c_str());
    }
    std::wstring Key(const wchar_t* key) const
    {
        WCHAR value[128];
        GetPrivateProfileStringW(L"common", key, L"<none>", value, 128, Ini().c_str());
        return value;
    }

    // Runs the program and answers every box it shows until it ends; the
    // program is ended by its handle when it runs past `waitMs`.
    Outcome Run(const std::wstring& arguments, DWORD waitMs = kProgramWaitMs)
    {
        Outcome outcome = {-1, {}, 0};
        CTestProcess program;
        if (!program.Start(Exe(), arguments, m_folder))
            return outcome;
        DWORD start = GetTickCount();
        while (program.Running() && GetTickCount() - start < waitMs) {
            std::wstring text = CloseMessageBox(kTimeServiceDisplayName, 50);
            if (text.empty())
                continue;
            outcome.boxes.push_back(text);
            // gone before the next look, so one box is not read twice
            PumpUntil([] { return !FindWindowW(L"#32770", kTimeServiceDisplayName); }, kSwitchMs);
        }
        outcome.ms = GetTickCount() - start;
        outcome.exitCode = program.ExitCode(0);
        return outcome;
    }

    // svcctl on the time service: its exit code, its output in `output`.
    int Control(const std::wstring& arguments, std::string* output = nullptr)
    {
        std::string ignored;
        return SvcCtl(std::wstring(kTimeServiceName) + L" " + arguments, output ? output : &ignored);
    }
    // A field of svcctl's query; "(absent)" when the service does not exist.
    std::string Service(const std::string& key)
    {
        std::string out;
        int code = Control(L"query", &out);
        return code == 1 ? "(absent)" : Field(out, key);
    }
    // Wine deletes an entry whose process still runs only once it ends.
    bool WaitAbsent(DWORD ms)
    {
        return PumpUntil([&] { return Service("state") == "(absent)"; }, ms);
    }
    void RemoveService()
    {
        std::string state = Service("state");
        if (state == "(absent)")
            return;
        // stopped first where it can be: Wine's manager takes a killed
        // service for running
        if (state == std::to_string(SERVICE_RUNNING) && Send(SERVICE_CONTROL_STOP) == 0)
            WaitState(SERVICE_STOPPED);
        Control(L"kill");
        Control(L"delete");
        EXPECT_TRUE(WaitAbsent(kStateWaitMs)) << "a leftover TLTime could not be removed";
    }

    // The service's "Description" value: its type and bytes.
    bool ReadDescription(DWORD* type, std::vector<BYTE>* bytes)
    {
        CRegKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Services\\TLTime", 0, KEY_QUERY_VALUE,
                          key.Receive()) != ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        if (RegQueryValueExW(key.Get(), L"Description", nullptr, type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        bytes->assign(size, 0);
        return RegQueryValueExW(key.Get(), L"Description", nullptr, type, bytes->data(), &size) == ERROR_SUCCESS;
    }

    // Milliseconds between now and a "synclasttime" value (local time).
    static int64_t MsFromNow(const std::wstring& stamp)
    {
        SYSTEMTIME t = {};
        if (stamp.size() != 14 || swscanf(stamp.c_str(), L"%4hu%2hu%2hu%2hu%2hu%2hu", &t.wYear, &t.wMonth, &t.wDay,
                                          &t.wHour, &t.wMinute, &t.wSecond) != 6)
            return INT64_MAX;
        SYSTEMTIME now;
        GetLocalTime(&now);
        FILETIME a, b;
        if (!SystemTimeToFileTime(&t, &a) || !SystemTimeToFileTime(&now, &b))
            return INT64_MAX;
        ULARGE_INTEGER ua = {{a.dwLowDateTime, a.dwHighDateTime}}, ub = {{b.dwLowDateTime, b.dwHighDateTime}};
        return ((int64_t)ub.QuadPart - (int64_t)ua.QuadPart) / 10000;
    }
    // The service writes the local time of the prefix's service manager,
    // whose zone Wine took from its own start, not the test's: "now" in some
    // zone, a whole number of quarter hours from ours.
    static bool IsNowInSomeZone(const std::wstring& stamp)
    {
        const int64_t kQuarterHourMs = 15 * 60 * 1000, kWidestOffsetMs = 14 * 60 * 60 * 1000;
        int64_t age = MsFromNow(stamp);
        if (age == INT64_MAX || age < -kWidestOffsetMs - 2000 || age > kWidestOffsetMs + 30000)
            return false;
        int64_t rest = ((age % kQuarterHourMs) + kQuarterHourMs) % kQuarterHourMs;
        return rest < 30000 || rest > kQuarterHourMs - 2000;
    }

    // "synclastresult" once an attempt has its outcome; "<none>" when none came.
    std::wstring WaitForOutcome(DWORD ms = kResultWaitMs)
    {
        std::wstring value;
        PumpUntil([&] {
            value = Key(L"synclastresult");
            return value != L"<none>" && value != std::to_wstring(SYNC_IN_PROGRESS);
        }, ms);
        return value;
    }
    // svcctl's exit code for one control of the running service.
    int Send(DWORD control) { return Control(L"control " + std::to_wstring(control)); }
    int WaitState(DWORD state) { return Control(L"wait " + std::to_wstring(state) + L" " + std::to_wstring(kStateWaitMs)); }

    // Installs and starts the service; its pid, 0 when it did not come up.
    DWORD StartService()
    {
        Outcome outcome = Run(L"/install /start /q");
        EXPECT_EQ(kExitOk, outcome.exitCode);
        EXPECT_TRUE(outcome.boxes.empty());
        EXPECT_LT(outcome.ms, kSwitchMs);
        std::string out;
        if (WaitState(SERVICE_RUNNING) != 0 || Control(L"query", &out) != 0)
            return 0;
        return (DWORD)std::stoul(Field(out, "pid"));
    }

    CTempFolder m_root;
    std::wstring m_folder;
};

}  // namespace

TEST_F(TimeServiceProgram, InstallsByTheLastModeSwitch)
{
    const std::string kDemand = "3", kAutomatic = "2";
    struct Case {
        const wchar_t* arguments;
        std::string startType;
        bool createdBox;
    } cases[] = {
        {L"/install /q", kDemand, false},
        {L"/auto /q", kAutomatic, false},
        {L"/INSTALL", kDemand, true},
        {L"/installer", kDemand, true},      // a switch counts by its prefix
        {L"/install/start", kDemand, true},  // glued on: not a switch of its own
        {L"/x /install", kDemand, true},     // the last mode wins
        {L"/install /auto /q", kAutomatic, false},
    };
    std::string quoted = "\"" + Narrow(Exe()) + "\"";
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.arguments));
        Outcome outcome = Run(c.arguments);
        EXPECT_EQ(kExitOk, outcome.exitCode);
        EXPECT_EQ(c.createdBox ? std::vector<std::wstring>{Text(IDS_SERVICE_CREATED)} : std::vector<std::wstring>{},
                  outcome.boxes);
        std::string out;
        ASSERT_EQ(0, Control(L"query", &out)) << out;
        EXPECT_EQ(c.startType, Field(out, "starttype"));
        EXPECT_EQ(quoted, Field(out, "path"));  // the folder's space inside the quotes
        EXPECT_EQ(Narrow(kTimeServiceDisplayName), Field(out, "display"));
        EXPECT_EQ("1", Field(out, "state"));  // installed, not started

        DWORD type = 0;
        std::vector<BYTE> bytes;
        ASSERT_TRUE(ReadDescription(&type, &bytes));
        EXPECT_EQ((DWORD)REG_SZ, type);
        std::wstring description = Text(IDS_DESCRIPTION);
        ASSERT_EQ((description.size() + 1) * sizeof(WCHAR), bytes.size());  // with its terminator
        EXPECT_EQ(description, std::wstring((const WCHAR*)bytes.data()));
        RemoveService();
    }
}

TEST_F(TimeServiceProgram, FailuresShowTheirBoxAndExitCode)
{
    struct Case {
        const wchar_t* arguments;
        int exitCode;
        std::vector<UINT> boxes;
    } cases[] = {
        {L"/x", kExitUsage, {IDS_USAGE}},
        {L"/install /x", kExitUsage, {IDS_USAGE}},  // nothing installed
        {L"/install /x /q", kExitUsage, {IDS_USAGE}},
        {L"/uninstall", kExitOk, {IDS_SERVICE_DELETED}},  // none to remove counts as removed
        {L"/uninstall /q", kExitOk, {}},
        {L"/start", kExitStartFailed, {IDS_OPEN_SERVICE_FAILED}},
        {L"/start /q", kExitStartFailed, {IDS_OPEN_SERVICE_FAILED}},  // errors show even when quiet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.arguments));
        Outcome outcome = Run(c.arguments);
        EXPECT_EQ(c.exitCode, outcome.exitCode);
        std::vector<std::wstring> texts;
        for (UINT id : c.boxes)
            texts.push_back(Text(id));
        EXPECT_EQ(texts, outcome.boxes);
        EXPECT_EQ("(absent)", Service("state"));
    }
}

// The boxes as a user sees them, for a look in build/shots/horalink.
TEST_F(TimeServiceProgram, BoxShots)
{
    std::wstring folder = std::wstring(TL_SHOTS_FOLDER) + L"horalink\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    struct Case {
        const wchar_t* arguments;
        const wchar_t* shot;
        int exitCode;
    } cases[] = {
        {L"/x", L"usage", kExitUsage},
        {L"/uninstall /uninstall", L"deleted", kExitOk},
        {L"/start", L"start_failed", kExitStartFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.arguments));
        CTestProcess program;
        ASSERT_TRUE(program.Start(Exe(), c.arguments, m_folder));
        HWND box = nullptr;
        ASSERT_TRUE(PumpUntil([&] {
            box = FindWindowW(L"#32770", kTimeServiceDisplayName);
            return box && IsWindowVisible(box);
        }, kProgramWaitMs));
        PumpUntil([] { return false; }, 300);  // painted
        RECT r;
        GetWindowRect(box, &r);
        std::vector<uint8_t> rgb = GrabScreenRgb(r);
        ASSERT_FALSE(rgb.empty());
        EXPECT_TRUE(WritePngPixels(folder + c.shot + L".png", r.right - r.left, r.bottom - r.top, 3, rgb.data()));
        EXPECT_FALSE(CloseMessageBox(kTimeServiceDisplayName, kSwitchMs).empty());
        EXPECT_EQ(c.exitCode, program.ExitCode(kProgramWaitMs));
    }
}

TEST_F(TimeServiceProgram, ASecondInstallLeavesTheFirstAlone)
{
    ASSERT_EQ(kExitOk, Run(L"/auto /q").exitCode);
    Outcome outcome = Run(L"/install /q");
    EXPECT_EQ(kExitInstallFailed, outcome.exitCode);
    EXPECT_EQ(std::vector<std::wstring>{Text(IDS_SERVICE_EXISTS)}, outcome.boxes);
    EXPECT_EQ("2", Service("starttype"));  // still there, still automatic
    DWORD type = 0;
    std::vector<BYTE> bytes;
    EXPECT_TRUE(ReadDescription(&type, &bytes));

    outcome = Run(L"/uninstall");
    EXPECT_EQ(kExitOk, outcome.exitCode);
    EXPECT_EQ(std::vector<std::wstring>{Text(IDS_SERVICE_DELETED)}, outcome.boxes);
    EXPECT_TRUE(WaitAbsent(kStateWaitMs));
}

TEST_F(TimeServiceProgram, SyncsOnceFromTheServer)
{
    // no server: the settings are not valid, nothing is attempted
    SetKey(L"server0", L"");
    Outcome outcome = Run(L"/sync /q");
    EXPECT_EQ(kExitSyncUnavailable, outcome.exitCode);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_EQ(L"<none>", Key(L"synclastresult"));

    SetKey(L"server0", L"127.0.0.1");
    TestServerGet(L"/log/clear");
    outcome = Run(L"/sync /q");
    EXPECT_EQ(kExitOk, outcome.exitCode);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_EQ(L"0", Key(L"synclastresult"));
    int64_t age = MsFromNow(Key(L"synclasttime"));
    EXPECT_TRUE(age > -2000 && age < 30000) << Narrow(Key(L"synclasttime"));
    EXPECT_EQ(1u, CountServerRequests(kSntpRequestWord));

    // a server that never answers: the watchdog ends the attempt, the exit
    // code stays 0 (the outcome is in the file only)
    TestServerGet(L"/sntp?mode=silent");
    outcome = Run(L"/sync /q");
    EXPECT_EQ(kExitOk, outcome.exitCode);
    EXPECT_EQ(std::to_wstring(SYNC_NO_REPLY), Key(L"synclastresult"));

    // /sync first, then the usage box
    TestServerGet(L"/sntp?mode=normal");
    SetKey(L"synclastresult", nullptr);
    outcome = Run(L"/sync /x");
    EXPECT_EQ(kExitUsage, outcome.exitCode);
    EXPECT_EQ(std::vector<std::wstring>{Text(IDS_USAGE)}, outcome.boxes);
    EXPECT_EQ(L"0", Key(L"synclastresult"));
}

// With one switch the program offers itself to the service dispatcher, which
// fails outside the manager. Wine's fails only once its wait for the
// manager's control pipe (10 s) has run out.
TEST_F(TimeServiceProgram, ASingleSwitchEndsOutsideTheManager)
{
    const DWORD kWineDispatcherMs = 10000;
    Run(L"/q /q");  // a cold Wine's first start is not what is measured
    for (const wchar_t* arguments : {L"/q", L"/uninstall"}) {
        SCOPED_TRACE(Narrow(arguments));
        Outcome outcome = Run(arguments);
        EXPECT_EQ(kExitOk, outcome.exitCode);
        EXPECT_LT(outcome.ms, kWineDispatcherMs + kSwitchMs);
    }
}


TEST_F(TimeServiceProgram, InstallsStartsAndRemovesTheRunningService)
{
    DWORD pid = StartService();
    ASSERT_NE(0u, pid);
    CKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    ASSERT_TRUE(process);

    Outcome outcome = Run(L"/uninstall");
    EXPECT_EQ(kExitOk, outcome.exitCode);
    EXPECT_EQ(std::vector<std::wstring>{Text(IDS_SERVICE_DELETED)}, outcome.boxes);
    // stopped, so the process ends and the entry goes with it
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(process.Get(), kStateWaitMs));
    EXPECT_TRUE(WaitAbsent(kStateWaitMs));

    // with boxes: created, then started
    outcome = Run(L"/install /start");
    EXPECT_EQ(kExitOk, outcome.exitCode);
    EXPECT_EQ((std::vector<std::wstring>{Text(IDS_SERVICE_CREATED), Text(IDS_SERVICE_STARTED)}), outcome.boxes);
    EXPECT_EQ(0, WaitState(SERVICE_RUNNING));
}

TEST_F(TimeServiceProgram, TheRunningServiceFollowsItsControls)
{
    std::wstring log = m_folder + L"horalink.log";
    DWORD pid = StartService();
    ASSERT_NE(0u, pid);
    CKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    ASSERT_TRUE(process);
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    ASSERT_TRUE(GetFileAttributesExW(log.c_str(), GetFileExInfoStandard, &file)) << "the worker's log";
    EXPECT_EQ(0u, file.nFileSizeLow);
    // the schedule is off: nothing until asked
    PumpUntil([] { return false; }, 1000);
    EXPECT_EQ(L"<none>", Key(L"synclastresult"));

    // synchronise now
    TestServerGet(L"/log/clear");
    ASSERT_EQ(0, Send(kServiceControlSyncNow));
    EXPECT_EQ(L"0", WaitForOutcome());
    EXPECT_TRUE(IsNowInSomeZone(Key(L"synclasttime"))) << Narrow(Key(L"synclasttime"));
    EXPECT_EQ(1u, CountServerRequests(kSntpRequestWord));

    // paused: the request waits for continue
    ASSERT_EQ(0, Send(SERVICE_CONTROL_PAUSE));
    ASSERT_EQ(0, WaitState(SERVICE_PAUSED));
    SetKey(L"synclastresult", nullptr);
    TestServerGet(L"/log/clear");
    ASSERT_EQ(0, Send(kServiceControlSyncNow));
    PumpUntil([] { return false; }, 2000);  // four of the worker's wake-ups
    EXPECT_EQ(0u, CountServerRequests(kSntpRequestWord));
    EXPECT_EQ(L"<none>", Key(L"synclastresult"));
    ASSERT_EQ(0, Send(SERVICE_CONTROL_CONTINUE));
    EXPECT_EQ(0, WaitState(SERVICE_RUNNING));
    EXPECT_EQ(L"0", WaitForOutcome());
    EXPECT_EQ(1u, CountServerRequests(kSntpRequestWord));

    ASSERT_TRUE(GetFileAttributesExW(log.c_str(), GetFileExInfoStandard, &file));
    EXPECT_EQ(0u, file.nFileSizeLow);  // it stays empty

    ASSERT_EQ(0, Send(SERVICE_CONTROL_STOP));
    EXPECT_EQ(0, WaitState(SERVICE_STOPPED));
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(process.Get(), kStateWaitMs));
}

TEST_F(TimeServiceProgram, TheRunningServiceReadsItsSettingsOnRequest)
{
    ASSERT_NE(0u, StartService());

    // a new server counts only once the settings are read again
    const std::wstring kNewServer = L"/status/204";
    SetKey(L"server0", TestServerUrl(kNewServer).c_str());
    SetKey(L"synclastresult", nullptr);
    TestServerGet(L"/log/clear");
    ASSERT_EQ(0, Send(kServiceControlSyncNow));
    EXPECT_EQ(L"0", WaitForOutcome());
    EXPECT_EQ(1u, CountServerRequests(kSntpRequestWord));
    EXPECT_EQ(0u, CountServerRequests(Narrow(kNewServer)));

    ASSERT_EQ(0, Send(kServiceControlReadSettings));
    SetKey(L"synclastresult", nullptr);
    TestServerGet(L"/log/clear");
    ASSERT_EQ(0, Send(kServiceControlSyncNow));
    EXPECT_NE(L"<none>", WaitForOutcome());
    EXPECT_EQ(0u, CountServerRequests(kSntpRequestWord));
    EXPECT_EQ(1u, CountServerRequests(Narrow(kNewServer)));

    // no server: a request waits until one is read
    SetKey(L"server0", L"");
    ASSERT_EQ(0, Send(kServiceControlReadSettings));
    SetKey(L"synclastresult", nullptr);
    TestServerGet(L"/log/clear");
    ASSERT_EQ(0, Send(kServiceControlSyncNow));
    PumpUntil([] { return false; }, 2000);
    EXPECT_EQ(L"<none>", Key(L"synclastresult"));
    SetKey(L"server0", L"127.0.0.1");
    ASSERT_EQ(0, Send(kServiceControlReadSettings));
    EXPECT_EQ(L"0", WaitForOutcome());
    EXPECT_EQ(1u, CountServerRequests(kSntpRequestWord));
}

namespace {

// The service's twin beside the main program, in its folder: both read the
// one tempolan.ini there. The main program is ended by "/exit" in the test,
// by its handle when the folder goes.
class TimeServiceBesideMainProgram : public TimeServiceProgram {
protected:
    std::wstring MakeFolder() override { return m_program.Ready() ? m_program.Path() : std::wstring(); }

    // Started with /nh until its clock is on the desktop: its settings are
    // loaded by then.
    bool StartMainProgram()
    {
        if (FindWindowW(kMainWindowClass, nullptr))
            return false;  // another instance would take the start over
        m_program.WriteClock(1, PlainClock(L"Here"));
        DWORD pid = m_program.StartWithoutHook();
        ClockWindows windows;
        return pid != 0 && WaitForClockWindows(pid, 1, true, &windows);
    }

    CDesktopProgram m_program;
};

}  // namespace

TEST_F(TimeServiceBesideMainProgram, TheMainProgramHasTheServiceReadItsSettings)
{
    ASSERT_NE(0u, StartService());
    // read by the service only when asked to (as the main program does at
    // its settings load)
    const std::wstring kNewServer = L"/status/204";
    SetKey(L"server0", TestServerUrl(kNewServer).c_str());
    ASSERT_TRUE(StartMainProgram());

    TestServerGet(L"/log/clear");
    ASSERT_EQ(0, Send(kServiceControlSyncNow));
    EXPECT_NE(L"<none>", WaitForOutcome());
    EXPECT_EQ(0u, CountServerRequests(kSntpRequestWord));
    EXPECT_EQ(1u, CountServerRequests(Narrow(kNewServer)));
    EXPECT_TRUE(m_program.ExitProgram());
}

TEST_F(TimeServiceBesideMainProgram, TheMainProgramsFirstTickSynchronises)
{
    SetKey(L"autosync", L"1");
    SetKey(L"synctype", std::to_wstring(kSyncBeforeAlarms).c_str());
    ASSERT_NE(0u, StartService());
    // the service's own schedule leaves this kind to the main program
    PumpUntil([] { return false; }, 1000);
    EXPECT_EQ(L"<none>", Key(L"synclastresult"));

    TestServerGet(L"/log/clear");
    ASSERT_TRUE(StartMainProgram());
    EXPECT_EQ(L"0", WaitForOutcome());
    PumpUntil([] { return false; }, 2000);  // later ticks ask no more
    EXPECT_EQ(1u, CountServerRequests(kSntpRequestWord));
    EXPECT_TRUE(m_program.ExitProgram());
}

// Wine refuses a step of the clock of half a second or more (and never
// touches the host's): the attempt fails and says so.
TEST_F(TimeServiceProgram, AClockStepTheSystemRefusesFailsTheSync)
{
    TestServerGet(L"/sntp?mode=normal&offset_ms=3600000");
    TestServerGet(L"/log/clear");
    Outcome outcome = Run(L"/sync /q");
    EXPECT_EQ(kExitOk, outcome.exitCode);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_EQ(std::to_wstring(SYNC_SET_FAILED), Key(L"synclastresult"));
    EXPECT_EQ(L"<none>", Key(L"synclasttime"));  // no success stamped
    EXPECT_EQ(1u, CountServerRequests(kSntpRequestWord));
}

namespace {

// Waits on the time event for up to `count` signals, each within `ms`, and
// notes "synclastresult" as it reads at each one.
class CTimeEventWatch {
public:
    CTimeEventWatch(const std::wstring& ini, int count, DWORD ms)
        : m_event(OpenEventW(SYNCHRONIZE, FALSE, kTimeEventName)), m_ini(ini)
    {
        if (m_event)
            m_thread = std::thread([this, count, ms] {
                for (int i = 0; i < count && WaitForSingleObject(m_event.Get(), ms) == WAIT_OBJECT_0; ++i) {
                    WCHAR value[32];
                    GetPrivateProfileStringW(L"common", L"synclastresult", L"<none>", value, 32, m_ini.c_str());
                    m_seen.push_back(value);
                }
            });
    }
    ~CTimeEventWatch() { Join(); }
    bool Opened() const { return (bool)m_event; }
    // The values at each signal, once the watch has ended.
    const std::vector<std::wstring>& Join()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_seen;
    }

private:
    CKernelHandle m_event;
    std::wstring m_ini;
    std::vector<std::wstring> m_seen;
    std::thread m_thread;
};

}  // namespace

TEST_F(TimeServiceProgram, TheRunningServiceSignalsTheTimeEventPerWrite)
{
    ASSERT_NE(0u, StartService());
    {
        // the attempt's start and its end: two signals, no more
        CTimeEventWatch watch(Ini(), 3, kResultWaitMs / 3);
        ASSERT_TRUE(watch.Opened()) << GetLastError();
        ASSERT_EQ(0, Send(kServiceControlSyncNow));
        std::vector<std::wstring> seen = watch.Join();
        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ(L"0", seen[1]);
    }
    {
        // with a server that never answers the two are seconds apart: in
        // progress is written first
        TestServerGet(L"/sntp?mode=silent");
        CTimeEventWatch watch(Ini(), 2, kResultWaitMs);
        ASSERT_TRUE(watch.Opened());
        ASSERT_EQ(0, Send(kServiceControlSyncNow));
        EXPECT_EQ((std::vector<std::wstring>{std::to_wstring(SYNC_IN_PROGRESS), std::to_wstring(SYNC_NO_REPLY)}),
                  watch.Join());
    }
}

TEST_F(TimeServiceProgram, AStopWaitsForTheAttemptUnderWay)
{
    DWORD pid = StartService();
    ASSERT_NE(0u, pid);
    CKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    ASSERT_TRUE(process);
    TestServerGet(L"/sntp?mode=silent");
    ASSERT_EQ(0, Send(kServiceControlSyncNow));
    ASSERT_TRUE(PumpUntil([&] { return Key(L"synclastresult") == std::to_wstring(SYNC_IN_PROGRESS); }, kSwitchMs));

    ASSERT_EQ(0, Send(SERVICE_CONTROL_STOP));
    EXPECT_EQ(std::to_string(SERVICE_STOP_PENDING), Service("state"));
    EXPECT_EQ(std::to_wstring(SYNC_NO_REPLY), WaitForOutcome());
    EXPECT_EQ(0, WaitState(SERVICE_STOPPED));
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(process.Get(), kStateWaitMs));
}

TEST_F(TimeServiceProgram, AutomaticSyncRightAfterTheStartByItsKind)
{
    struct Case {
        int syncType;
        std::wstring result;
        size_t requests;
    } cases[] = {
        {kSyncHourly, L"0", 1},
        {(int)kSyncBeforeAlarms, L"<none>", 0},  // the main program's to do
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.syncType);
        SetKey(L"autosync", L"1");
        SetKey(L"synctype", std::to_wstring(c.syncType).c_str());
        SetKey(L"synclastresult", nullptr);
        TestServerGet(L"/log/clear");
        ASSERT_NE(0u, StartService());
        if (c.requests != 0) {
            EXPECT_EQ(c.result, WaitForOutcome());
        }
        PumpUntil([] { return false; }, 2000);  // later checks in the hour ask no more
        EXPECT_EQ(c.result, Key(L"synclastresult"));
        EXPECT_EQ(c.requests, CountServerRequests(kSntpRequestWord));
        RemoveService();
    }
}

// Without user preferences (the machine's "no_preferences" 0) the running
// service synchronises from the defaults and writes nothing: no result in
// either file, no signal of the time event.
TEST_F(TimeServiceProgram, DefaultModeReadsTheDefaultsAndWritesNothing)
{
    struct CMachineSwitch {
        CMachineSwitch()
        {
            CRegKey key;
            DWORD zero = 0;
            set = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProgramMachineKey, 0, nullptr, 0,
                                  KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.Receive(), nullptr) == ERROR_SUCCESS &&
                  RegSetValueExW(key.Get(), kNoPreferencesValue, 0, REG_DWORD, (const BYTE*)&zero, sizeof(zero)) ==
                      ERROR_SUCCESS;
        }
        ~CMachineSwitch()
        {
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kProgramMachineKey, KEY_WOW64_64KEY, 0);
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Kestrin Group", KEY_WOW64_64KEY, 0);  // only when empty
        }
        bool set = false;
    } machine;
    ASSERT_TRUE(machine.set);
    // the defaults name only the local server
    std::wstring defaults = m_folder + L"default.ini";
    const wchar_t* keys[][2] = {{L"server", L"0"}, {L"server0", L"127.0.0.1"}, {L"autosync", L"0"}, {L"synctype", L"1"}};
    for (const auto& key : keys)
        WritePrivateProfileStringW(L"default:common", key[0], key[1], defaults.c_str());
    SetKey(L"server0", L"");  // the user's own settings would find no server
    std::string before = ReadFileBytes(defaults);

    DWORD pid = StartService();
    ASSERT_NE(0u, pid);
    CKernelHandle event(OpenEventW(SYNCHRONIZE, FALSE, kTimeEventName));
    ASSERT_TRUE(event);
    TestServerGet(L"/log/clear");
    ASSERT_EQ(0, Send(kServiceControlSyncNow));
    EXPECT_TRUE(PumpUntil([] { return CountServerRequests(kSntpRequestWord) == 1; }, kResultWaitMs))
        << "the defaults' server was asked";
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(event.Get(), 2000));
    EXPECT_EQ(L"<none>", Key(L"synclastresult"));
    EXPECT_EQ(before, ReadFileBytes(defaults));

    ASSERT_EQ(0, Send(SERVICE_CONTROL_STOP));
    EXPECT_EQ(0, WaitState(SERVICE_STOPPED));
}

// settings.exe beside the running service: its time page's button reaches
// the service through the manager, and the page shows the outcome the
// service signals through its event.
class TimeServiceBesideSettings : public TimeServiceProgram {
protected:
    std::wstring MakeFolder() override
    {
        return m_program.Ready() && m_program.AddProgramFile(L"settings.exe") ? m_program.Path() : std::wstring();
    }
    // String `id` of the English library.
    static std::wstring LibraryText(UINT id)
    {
        CModule library(LoadLibraryExW((std::wstring(TL_PROGRAM_FOLDER) + L"res_en.dll").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE));
        WCHAR text[512] = {};
        LoadStringW(library.Get(), id, text, 512);
        return text;
    }

    CDesktopProgram m_program;
};

TEST_F(TimeServiceBesideSettings, TheTimePageSynchronisesNow)
{
    ASSERT_NE(0u, StartService());
    ASSERT_EQ(nullptr, FindWindowW(kSettingsWindowClass, nullptr)) << "a settings program of another test runs";
    CTestProcess settings;
    ASSERT_TRUE(settings.Start(m_folder + L"settings.exe", L"/sync", m_folder));
    CSettingsDriver driver(settings.Handle(), settings.Pid());
    ASSERT_TRUE(driver.Attach(kProgramWaitMs));
    ASSERT_TRUE(driver.WaitForSelection({kTreeRootTime}, 196, 5000));
    HWND button = driver.PageControl(1032);
    HWND status = driver.PageControl(1025);
    // enabled: the page found the service's event
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(button) != FALSE; }, kSwitchMs));
    ASSERT_TRUE(driver.Click(button));
    EXPECT_EQ(L"0", WaitForOutcome());
    const std::wstring done = LibraryText(126) + L"<br>" + LibraryText(136);
    EXPECT_TRUE(PumpUntil([&] { return driver.Text(status) == done; }, kSwitchMs)) << driver.Text(status);
    if (HWND frame = driver.Frame())
        PostMessageW(frame, WM_CLOSE, 0, 0);
    settings.ExitCode(5000);
    settings.End();
}
