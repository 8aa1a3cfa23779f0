// settings.exe as the main program and a user meet it: started with a
// switch, started a second time, driven through its dialog, and watched by
// the stand-in main program, which logs what the settings program sends it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/ClockRecord.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Handles.h"
#include "settings/alarmpages/AlarmPageIds.h"
#include "settings/clockpages/ClockPageIds.h"
#include "settings/taskbarpage/TaskbarPage.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/PngFile.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/RunningSettingsInstance.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/SettingsDriver.h"
#include "tests/support/StandinTaskbar.h"
#include "tests/support/StandinMain.h"
#include "tests/support/TestMessages.h"

namespace {

// a second start hands over and ends; a hung first one must not hold it
const DWORD kHandOverMs = 15000;
// the stand-in answers UM_SAVESTATE after 300 ms
const DWORD kSaveStateDelayMs = 300;

int PageTemplate(PageKind kind)
{
    return (int)kPages[kind].templateId;
}

std::wstring Describe(TreePosition at)
{
    return L"{" + std::to_wstring(at.root) + L", " + std::to_wstring(at.child) + L", " + std::to_wstring(at.entry) +
           L"}";
}

// The keys of one section of an INI file's text, in file order.
std::vector<std::wstring> SectionKeys(const std::wstring& file, const std::wstring& section)
{
    std::vector<WCHAR> buffer(32768);
    DWORD n = GetPrivateProfileSectionW(section.c_str(), buffer.data(), (DWORD)buffer.size(), file.c_str());
    std::vector<std::wstring> keys;
    for (DWORD p = 0; p < n && buffer[p];) {
        std::wstring key = &buffer[p];
        p += (DWORD)key.size() + 1;
        keys.push_back(key);
    }
    return keys;
}

std::wstring IniValue(const std::wstring& file, const std::wstring& section, const wchar_t* key)
{
    WCHAR value[256] = {};
    GetPrivateProfileStringW(section.c_str(), key, L"(none)", value, 256, file.c_str());
    return value;
}

std::wstring UserPrefix()
{
    WCHAR prefix[65];
    ReadUserPrefix(prefix);
    return prefix;
}

// Waits until the last clock count the stand-in got is `count`. Posted
// messages come in the order they were posted: once the dialog's last
// count (0, as it goes) is there, whatever it posted before is there too.
bool WaitForTrayCount(const CStandinMain& main, WPARAM count)
{
    return PumpUntil([&] {
        std::vector<StandinMainEntry> counts = main.Received(UM_TRAYCLOCKCOUNT);
        return !counts.empty() && counts.back().wParam == count;
    }, 5000);
}

// A running settings.exe, ended with its frame's WM_CLOSE, else by its handle.
class CSettingsRun {
public:
    ~CSettingsRun() { Stop(); }
    bool Start(CProgramFolder& folder, const std::wstring& arguments)
    {
        if (!m_process.Start(folder.File(L"settings.exe"), arguments, folder.Path()))
            return false;
        m_driver.reset(new CSettingsDriver(m_process.Handle(), m_process.Pid()));
        return true;
    }
    // Started and its dialog shown.
    bool StartShown(CProgramFolder& folder, const std::wstring& arguments)
    {
        return Start(folder, arguments) && m_driver->Attach(kProgramWaitMs);
    }
    CSettingsDriver& Driver() { return *m_driver; }
    CTestProcess& Process() { return m_process; }
    void Stop()
    {
        if (m_process.Running()) {
            if (HWND frame = FindProcessWindow(m_process.Pid(), kSettingsWindowClass))
                PostMessageW(frame, WM_CLOSE, 0, 0);
            m_process.ExitCode(5000);
        }
        m_process.End();
    }

private:
    CTestProcess m_process;
    std::unique_ptr<CSettingsDriver> m_driver;
};

// Three plain clocks; the third has two alarms. A fresh folder per test.
class SettingsProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Ready());
        ASSERT_TRUE(program.AddProgramFile(L"settings.exe"));
        ASSERT_EQ(nullptr, FindWindowW(kSettingsWindowClass, nullptr)) << "a settings program of another test runs";
        ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "a main program of another test runs";
        for (int n = 1; n <= 3; ++n)
            program.WriteClock(n, PlainClock(L"Clock" + std::to_wstring(n)));
        program.WriteAlarm(3, 1, {L"type=0", L"enabled=1", L"once=2030.01.01 08:00:00", L"comment=First"});
        program.WriteAlarm(3, 2, {L"type=0", L"enabled=1", L"once=2030.01.02 08:00:00", L"comment=Second"});
    }
    std::wstring SettingsFile() const { return program.File(L"tempolan.ini"); }
    std::unique_ptr<CStandinMain> StartMain()
    {
        std::unique_ptr<CStandinMain> main(new CStandinMain(program.File(L"main.log"), SettingsFile()));
        return main;
    }
    // The stand-in main program, then settings.exe on the third clock.
    void StartOnThirdClock(std::unique_ptr<CStandinMain>* main, CSettingsRun* run)
    {
        *main = StartMain();
        ASSERT_NE(nullptr, (*main)->Window());
        ASSERT_TRUE(run->StartShown(program, L"/3"));
        ASSERT_TRUE(run->Driver().WaitForSelection({kTreeFirstClock + 2}, PageTemplate(kPageClock), 5000));
    }

    CDesktopProgram program;
};

TEST_F(SettingsProcess, StandinMainLogsWhatItReceives)
{
    std::unique_ptr<CStandinMain> main = StartMain();
    ASSERT_NE(nullptr, main->Window());
    PostMessageW(main->Window(), UM_TRAYCLOCKCOUNT, 3, 0);
    const WCHAR url[] = L"http://127.0.0.1/a b\\c";
    COPYDATASTRUCT block = {CD_DOWNLOADREQUEST, sizeof(url), (void*)url};
    DWORD_PTR reply = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main->Window(), WM_COPYDATA, 0, (LPARAM)&block, SMTO_NORMAL, 5000, &reply));
    EXPECT_EQ(1u, reply);
    DWORD before = GetTickCount();
    ASSERT_TRUE(SendMessageTimeoutW(main->Window(), UM_SAVESTATE, 0, 0, SMTO_NORMAL, 5000, &reply));
    EXPECT_GE(GetTickCount() - before, kSaveStateDelayMs - 20) << "answered before its state was written";
    // the posted count after the sent messages
    ASSERT_TRUE(main->WaitFor(UM_TRAYCLOCKCOUNT, 1, 5000));

    std::vector<StandinMainEntry> counts = main->Received(UM_TRAYCLOCKCOUNT);
    ASSERT_EQ(1u, counts.size());
    EXPECT_EQ(3u, counts[0].wParam);
    std::vector<StandinMainEntry> blocks = main->Received(WM_COPYDATA);
    ASSERT_EQ(1u, blocks.size());
    EXPECT_EQ(CD_DOWNLOADREQUEST, blocks[0].copyId);
    EXPECT_EQ(sizeof(url), blocks[0].copyBytes);
    EXPECT_EQ(L"http://127.0.0.1/a b\\x5Cc", blocks[0].text);
    std::vector<StandinMainEntry> saves = main->Received(UM_SAVESTATE);
    ASSERT_EQ(1u, saves.size());
    EXPECT_GE(saves[0].tick, blocks[0].tick);
    std::wstring mainSection = UserPrefix() + L":main";
    EXPECT_EQ(L"(none)", IniValue(saves[0].snapshot, mainSection, L"savestate_marker")) << "snapshot before the marker";
    EXPECT_EQ(L"1", IniValue(SettingsFile(), mainSection, L"savestate_marker"));
    EXPECT_EQ(0, main->Stop());
}

// The start's switch selects its node and shows that node's page.
TEST_F(SettingsProcess, SwitchSelectsNode)
{
    struct Case {
        const wchar_t* arguments;
        TreePosition selected;
        PageKind page;
        int roots;  // 6 page nodes and the clocks
    } cases[] = {
        {L"", {kTreeRootGeneral}, kPageGeneral, 9},
        {L"/alarm3.1", {kTreeFirstClock + 2, kClockChildAlarms, 1}, kPageAlarm, 9},
        {L"/alarm3.0", {kTreeFirstClock + 2, kClockChildAlarms, 0}, kPageAlarm, 9},
        {L"/alarm3.2", {kTreeFirstClock + 2, kClockChildAlarms}, kPageAlarms, 9},  // no third alarm: the list
        {L"/alarms2", {kTreeFirstClock + 1, kClockChildAlarms}, kPageAlarms, 9},
        {L"/taskbar", {kTreeRootTaskbar}, kPageTray, 9},
        {L"/TaskBar", {kTreeRootTaskbar}, kPageTray, 9},
        {L"/sync", {kTreeRootTime}, kPageTime, 9},
        {L"/rss", {kTreeRootNews}, kPageNews, 9},
        {L"/general", {kTreeRootGeneral}, kPageGeneral, 9},
        {L"/2", {kTreeFirstClock + 1}, kPageClock, 9},
        {L"/zone3", {kTreeFirstClock + 2}, kPageClock, 9},
        {L"/skin1", {kTreeFirstClock, kClockChildDesktop}, kPageDesktop, 9},
        {L"/formats2", {kTreeFirstClock + 1, kClockChildFormats}, kPageFormats, 9},
        {L"/profiles1", {kTreeFirstClock, kClockChildBackgrounds}, kPageBackgrounds, 9},
        {L"/5", {kTreeRootGeneral}, kPageGeneral, 9},  // no clock 5
        {L"/new", {kTreeFirstClock + 3}, kPageClock, 10},
        {L"/del2", {kTreeRootGeneral}, kPageGeneral, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        CSettingsRun run;
        ASSERT_TRUE(run.StartShown(program, c.arguments));
        CSettingsDriver& driver = run.Driver();
        EXPECT_TRUE(driver.WaitForSelection(c.selected, PageTemplate(c.page), 5000))
            << "selected " << testing::PrintToString(Describe(driver.Selected())) << ", page "
            << driver.VisiblePageTemplate();
        EXPECT_EQ(c.roots, driver.RootCount());
        run.Stop();
    }
}

struct FrameCount {
    int count;
};

BOOL CALLBACK CountFramesProc(HWND hwnd, LPARAM lParam)
{
    if (HasWindowClass(hwnd, kSettingsWindowClass))
        ++((FrameCount*)lParam)->count;
    return TRUE;
}

int SettingsFrameCount()
{
    FrameCount frames = {0};
    EnumWindows(CountFramesProc, (LPARAM)&frames);
    return frames.count;
}

// A second start hands its switch to the first and ends at once.
TEST_F(SettingsProcess, SecondStartHandsOver)
{
    struct Case {
        const wchar_t* arguments;
        TreePosition selected;
        PageKind page;
        int roots;
        const wchar_t* secondClock;  // the start of its caption in the tree
    } cases[] = {
        {L"/alarm3.1", {kTreeFirstClock + 2, kClockChildAlarms, 1}, kPageAlarm, 9, L"Clock2"},
        {L"/new", {kTreeFirstClock + 3}, kPageClock, 10, L"Clock2"},
        {L"/del2", {kTreeFirstClock}, kPageClock, 8, L"Clock3"},
        {L"/taskbar", {kTreeRootTaskbar}, kPageTray, 9, L"Clock2"},
        // a second start makes no map test run of its own
        {L"/inst", {kTreeFirstClock}, kPageClock, 9, L"Clock2"},
        {L"", {kTreeFirstClock}, kPageClock, 9, L"Clock2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        CSettingsRun first;
        // away from the first root, so that a command's effect shows
        ASSERT_TRUE(first.StartShown(program, L"/1"));
        ASSERT_TRUE(first.Driver().WaitForSelection({kTreeFirstClock}, PageTemplate(kPageClock), 5000));
        CSettingsRun second;
        ASSERT_TRUE(second.Start(program, c.arguments));
        EXPECT_EQ(0, second.Process().ExitCode(kHandOverMs));
        EXPECT_EQ(1, SettingsFrameCount());
        CSettingsDriver& driver = first.Driver();
        EXPECT_TRUE(driver.WaitForSelection(c.selected, PageTemplate(c.page), 5000))
            << "selected " << testing::PrintToString(Describe(driver.Selected()));
        EXPECT_EQ(c.roots, driver.RootCount());
        EXPECT_EQ(0u, driver.ItemText({kTreeFirstClock + 1}).find(c.secondClock))
            << testing::PrintToString(driver.ItemText({kTreeFirstClock + 1}));
        EXPECT_EQ(L"(none)", IniValue(SettingsFile(), L"map", L"initialized"));
        first.Stop();
    }
}

TEST_F(SettingsProcess, SecondStartDoesNotWaitForHungFirst)
{
    CRunningInstance hung(true);
    ASSERT_NE(nullptr, hung.Window());
    CSettingsRun second;
    ASSERT_TRUE(second.Start(program, L"/taskbar"));
    DWORD start = GetTickCount();
    int code = second.Process().ExitCode(kHandOverMs);
    EXPECT_NE(-1, code) << "still waiting for the hung window after " << (GetTickCount() - start) << " ms";
    EXPECT_EQ(0, code);
}

// Apply: the main section is written, the main program saves its state,
// then the clock sections are written, and only then is the main program
// told to reload.
TEST_F(SettingsProcess, ApplyWritesInOrderAndTellsMainProgram)
{
    std::unique_ptr<CStandinMain> main;
    CSettingsRun run;
    ASSERT_NO_FATAL_FAILURE(StartOnThirdClock(&main, &run));
    CSettingsDriver& driver = run.Driver();
    std::wstring clock2Before = IniValue(SettingsFile(), UserPrefix() + L":clock2", L"prefix");
    std::wstring clock3Before = IniValue(SettingsFile(), UserPrefix() + L":clock3", L"prefix");
    ASSERT_EQ(L"Clock3", clock3Before);
    // gone from the file: only Apply's own write brings it back
    const std::wstring mainSection = UserPrefix() + L":main";
    ASSERT_TRUE(WritePrivateProfileStringW(mainSection.c_str(), nullptr, nullptr, SettingsFile().c_str()));

    EXPECT_FALSE(driver.Enabled(kIdcApply)) << "nothing changed yet";
    // the third clock above the second: sections 2 and 3 change places
    ASSERT_TRUE(driver.ClickDialogButton(kIdcUp));
    EXPECT_TRUE(driver.WaitForSelection({kTreeFirstClock + 1}, PageTemplate(kPageClock), 5000));
    ASSERT_TRUE(PumpUntil([&] { return driver.Enabled(kIdcApply); }, 5000));
    ASSERT_TRUE(driver.ClickDialogButton(kIdcApply));
    ASSERT_TRUE(main->WaitFor(UM_SETTINGSCHANGED, 1, 10000));
    EXPECT_TRUE(PumpUntil([&] { return !driver.Enabled(kIdcApply); }, 5000)) << "Apply stays enabled";

    std::vector<StandinMainEntry> saves = main->Received(UM_SAVESTATE);
    std::vector<StandinMainEntry> changes = main->Received(UM_SETTINGSCHANGED);
    ASSERT_EQ(1u, saves.size());
    ASSERT_EQ(1u, changes.size());
    std::vector<UINT> order;
    for (const StandinMainEntry& entry : main->Log())
        if (entry.message == UM_SAVESTATE || entry.message == UM_SETTINGSCHANGED)
            order.push_back(entry.message);
    EXPECT_EQ((std::vector<UINT>{UM_SAVESTATE, UM_SETTINGSCHANGED}), order)
        << "told to reload before the clocks were written";

    // at UM_SAVESTATE: the main section as it ends up (but the marker), the
    // clock sections as they were
    std::vector<std::wstring> finalMain = SectionKeys(SettingsFile(), mainSection);
    std::vector<std::wstring> savedMain = SectionKeys(saves[0].snapshot, mainSection);
    finalMain.erase(std::remove(finalMain.begin(), finalMain.end(), L"savestate_marker=1"), finalMain.end());
    EXPECT_FALSE(savedMain.empty()) << "the main section was not written before the main program saved its state";
    EXPECT_EQ(finalMain, savedMain) << "the main section was written after the main program saved its state";
    EXPECT_EQ(clock2Before, IniValue(saves[0].snapshot, UserPrefix() + L":clock2", L"prefix"));
    EXPECT_EQ(clock3Before, IniValue(saves[0].snapshot, UserPrefix() + L":clock3", L"prefix"));
    // the marker the main program wrote survives: nothing of the main section is written after it
    EXPECT_EQ(L"1", IniValue(SettingsFile(), mainSection, L"savestate_marker"));
    EXPECT_EQ(clock3Before, IniValue(SettingsFile(), UserPrefix() + L":clock2", L"prefix"));
    EXPECT_EQ(clock2Before, IniValue(SettingsFile(), UserPrefix() + L":clock3", L"prefix"));
    // at UM_SETTINGSCHANGED every write was done
    PumpUntil([] { return false; }, 500);
    // the files' bytes are compared whole; a dump of them would say nothing
    EXPECT_TRUE(ReadFileBytes(SettingsFile()) == ReadFileBytes(changes[0].snapshot))
        << "written after the main program was told";
}

// OK applies, renumbers the clock sections without gaps and ends the program.
TEST_F(SettingsProcess, OkRenumbersAndEnds)
{
    // clocks 1 and 3 only
    WritePrivateProfileSectionW((UserPrefix() + L":clock2").c_str(), nullptr, SettingsFile().c_str());
    std::unique_ptr<CStandinMain> main = StartMain();
    ASSERT_NE(nullptr, main->Window());
    CSettingsRun run;
    ASSERT_TRUE(run.StartShown(program, L""));
    CSettingsDriver& driver = run.Driver();
    ASSERT_EQ(kTreeFirstClock + 2, driver.RootCount());
    ASSERT_TRUE(WaitForTrayCount(*main, 2)) << "the clocks in the tree";

    ASSERT_TRUE(driver.PostClick(driver.Control(IDOK)));
    EXPECT_EQ(0, run.Process().ExitCode(kProgramWaitMs));
    EXPECT_TRUE(WaitForTrayCount(*main, 0)) << "the dialog's end";
    EXPECT_EQ(L"Clock1", IniValue(SettingsFile(), UserPrefix() + L":clock1", L"prefix"));
    EXPECT_EQ(L"Clock3", IniValue(SettingsFile(), UserPrefix() + L":clock2", L"prefix"));
    EXPECT_EQ(L"(none)", IniValue(SettingsFile(), UserPrefix() + L":clock3", L"prefix"));
    // the alarms moved with their clock
    EXPECT_EQ(L"Second", IniValue(SettingsFile(), UserPrefix() + L":clock2:alarm2", L"comment"));
    EXPECT_EQ(L"(none)", IniValue(SettingsFile(), UserPrefix() + L":clock3:alarm1", L"comment"));

    EXPECT_EQ(1u, main->Received(UM_SAVESTATE).size());
    EXPECT_EQ(1u, main->Received(UM_SETTINGSCHANGED).size());
    std::vector<StandinMainEntry> counts = main->Received(UM_TRAYCLOCKCOUNT);
    ASSERT_GE(counts.size(), 2u);
    EXPECT_EQ(2u, counts[counts.size() - 2].wParam) << "the clocks in the tree";
}

// Close writes nothing, also after changes, and ends the program.
TEST_F(SettingsProcess, CloseLeavesFileAsItCameUp)
{
    std::unique_ptr<CStandinMain> main;
    CSettingsRun run;
    ASSERT_NO_FATAL_FAILURE(StartOnThirdClock(&main, &run));
    CSettingsDriver& driver = run.Driver();
    std::string cameUp = ReadFileBytes(SettingsFile());
    ASSERT_FALSE(cameUp.empty());
    ASSERT_TRUE(driver.ClickDialogButton(kIdcUp));
    ASSERT_TRUE(PumpUntil([&] { return driver.Enabled(kIdcApply); }, 5000));

    ASSERT_TRUE(driver.PostClick(driver.Control(IDCANCEL)));
    EXPECT_EQ(0, run.Process().ExitCode(kProgramWaitMs));
    EXPECT_TRUE(WaitForTrayCount(*main, 0)) << "the dialog's end";
    EXPECT_TRUE(cameUp == ReadFileBytes(SettingsFile())) << "the settings file changed";
    EXPECT_TRUE(main->Received(UM_SAVESTATE).empty());
    EXPECT_TRUE(main->Received(UM_SETTINGSCHANGED).empty());
    std::vector<StandinMainEntry> counts = main->Received(UM_TRAYCLOCKCOUNT);
    ASSERT_GE(counts.size(), 2u);
    EXPECT_EQ(3u, counts[counts.size() - 2].wParam) << "the clocks in the tree";
}

// "/inst" runs the map library's installation check and notes the result in
// the shared file's [map] section: the code without the map library's bit 29.
TEST_F(SettingsProcess, MapTestRun)
{
    struct Case {
        const char* name;
        const wchar_t* library;  // of the program folder, or a test binary; null: none
        bool testBinary;
        bool withPicture;
        const wchar_t* initialized;
        const wchar_t* result;
    } cases[] = {
        {"map library and picture", L"orbex.dll", false, true, L"1", L"Install return code: 0, system error: 0"},
        // the picture's backup copy fails (MAPERR_COPYTEXTURE): the system
        // error is asked for
        {"no picture", L"orbex.dll", false, false, L"0", L"Install return code: 5, system error: 2"},
        // the loader's MAPERR_LOADLIBRARY
        {"no map library", nullptr, false, false, L"0", L"Install return code: 1, system error: 0"},
        // as a library without the imports (MAPERR_IMPORTS): no success
        {"no InstallMap", L"stub_map_noinstall.dll", true, true, L"0", L"Install return code: 2, system error: 0"},
        // MAPERR_CHOOSEPIXELFORMAT and the stand-in's system error
        {"InstallMap fails", L"stub_map_failing.dll", true, true, L"0", L"Install return code: 7, system error: 1234"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDesktopProgram folder;
        ASSERT_TRUE(folder.Ready());
        ASSERT_TRUE(folder.AddProgramFile(L"settings.exe"));
        if (c.library) {
            ASSERT_TRUE(c.testBinary ? folder.AddTestBinary(c.library, L"orbex.dll")
                                     : folder.AddProgramFile(c.library));
        }
        if (c.withPicture) {
            ASSERT_TRUE(folder.AddProgramFile(L"map.jpg"));
        }
        CSettingsRun run;
        ASSERT_TRUE(run.Start(folder, L"/inst"));
        EXPECT_EQ(0, run.Process().ExitCode(kProgramWaitMs));
        EXPECT_EQ(nullptr, FindProcessWindow(run.Process().Pid(), kSettingsWindowClass));
        std::wstring ini = folder.File(L"tempolan.ini");
        EXPECT_EQ(c.initialized, IniValue(ini, L"map", L"initialized"));
        EXPECT_EQ(c.result, IniValue(ini, L"map", L"install_result"));
    }
}

// Most common colour of a picture: the background.
uint32_t Background(const std::vector<uint8_t>& rgb)
{
    std::map<uint32_t, int> counts;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        ++counts[(uint32_t)rgb[i] << 16 | (uint32_t)rgb[i + 1] << 8 | rgb[i + 2]];
    uint32_t best = 0;
    int most = -1;
    for (auto& c : counts)
        if (c.second > most) {
            best = c.first;
            most = c.second;
        }
    return best;
}

// Pixels of the screen rectangle that differ from `background`.
int Marks(const RECT& r, uint32_t background)
{
    std::vector<uint8_t> rgb = GrabScreenRgb(r);
    int marks = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        marks += ((uint32_t)rgb[i] << 16 | (uint32_t)rgb[i + 1] << 8 | rgb[i + 2]) != background;
    return marks;
}

std::wstring ShotName(TreePosition at)
{
    static const wchar_t* roots[] = {L"general", L"profiles", L"time", L"calendar", L"news", L"taskbar"};
    static const wchar_t* children[] = {L"desktop", L"formats", L"alarms", L"backgrounds"};
    if (at.root < kTreeFirstClock)
        return roots[at.root];
    std::wstring name = L"clock" + std::to_wstring(at.root - kTreeFirstClock + 1);
    if (at.child >= 0)
        name += std::wstring(L"_") + children[at.child];
    if (at.entry >= 0)
        name += std::to_wstring(at.entry + 1);
    return name;
}

// Each page node in a picture for a look; the clocks' check boxes drawn.
TEST_F(SettingsProcess, PagesShots)
{
    CSettingsRun run;
    ASSERT_TRUE(run.StartShown(program, L""));
    CSettingsDriver& driver = run.Driver();
    std::wstring folder = std::wstring(TL_SHOTS_FOLDER) + L"settings\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<TreePosition> nodes;
    for (int root = 0; root < kTreeFirstClock; ++root)
        nodes.push_back({root});
    nodes.push_back({kTreeFirstClock});
    for (int child = 0; child < 4; ++child)
        nodes.push_back({kTreeFirstClock, child});
    nodes.push_back({kTreeFirstClock + 2, kClockChildAlarms, 0});
    for (const TreePosition& at : nodes) {
        SCOPED_TRACE(testing::PrintToString(ShotName(at)));
        ASSERT_TRUE(driver.Select(at));
        ASSERT_TRUE(PumpUntil([&] { return driver.Selected() == at && driver.VisiblePage() != nullptr; }, 5000));
        // painted
        PumpUntil([] { return false; }, 300);
        RECT r;
        GetWindowRect(driver.Dialog(), &r);
        std::vector<uint8_t> rgb = GrabScreenRgb(r);
        ASSERT_FALSE(rgb.empty());
        EXPECT_TRUE(WritePngPixels(folder + ShotName(at) + L".png", r.right - r.left, r.bottom - r.top, 3, rgb.data()));
    }

    ASSERT_TRUE(driver.Select({kTreeRootGeneral}));
    PumpUntil([] { return false; }, 300);
    RECT tree;
    GetWindowRect(driver.Tree(), &tree);
    uint32_t background = Background(GrabScreenRgb(tree));
    // a page node and a clock sit at the same level; only the clock has a
    // check box, which pushes its text right
    RECT pageText;
    ASSERT_TRUE(driver.ItemTextRect({kTreeRootGeneral}, &pageText));
    for (int clock = 0; clock < 3; ++clock) {
        SCOPED_TRACE(clock);
        TreePosition at = {kTreeFirstClock + clock};
        EXPECT_EQ(kCheckImageOn, driver.CheckImage(at));
        RECT text;
        ASSERT_TRUE(driver.ItemTextRect(at, &text));
        EXPECT_GE(text.left - pageText.left, 12) << "no room for a check box before the clock's caption";
        RECT box = {pageText.left - 2, text.top, text.left - 1, text.bottom};
        // a box's outline alone is over 40 pixels
        EXPECT_GE(Marks(box, background), 30) << "nothing drawn where the check box goes";
    }
    EXPECT_EQ(kCheckImageNone, driver.CheckImage({kTreeRootGeneral}));
}

namespace {

const wchar_t kChooserTitle[] = L"Tempolan World Map";

// The location chooser of the settings program `pid`, once it is shown.
HWND WaitForChooser(DWORD pid, DWORD ms)
{
    HWND found = nullptr;
    PumpUntil([&] {
        HWND window = FindWindowW(L"#32770", kChooserTitle);
        DWORD owner = 0;
        if (window)
            GetWindowThreadProcessId(window, &owner);
        found = window && owner == pid && IsWindowVisible(window) ? window : nullptr;
        return found != nullptr;
    }, ms);
    return found;
}

uint32_t ScreenColour(COLORREF colour)
{
    return (uint32_t)GetRValue(colour) << 16 | (uint32_t)GetGValue(colour) << 8 | GetBValue(colour);
}

}  // namespace

// The chooser from the clock page with the real map library drawing through
// Mesa: the main program's desktop clocks hidden while it is open, the
// settings dialog disabled, the map child at the left. A second start
// ("/inst") ends it, the clocks come back and the settings dialog stays.
// Its picture is saved.
TEST_F(SettingsProcess, LocationChooserWithTheMap)
{
    ASSERT_TRUE(program.WriteCities(3));
    for (const wchar_t* file : {L"orbex.dll", L"map.jpg", L"clouds.jpg", L"buttons.png"})
        ASSERT_TRUE(program.AddProgramFile(file)) << file;
    std::unique_ptr<CStandinMain> main;
    CSettingsRun run;
    StartOnThirdClock(&main, &run);
    CSettingsDriver& driver = run.Driver();
    ASSERT_TRUE(driver.PostClick(driver.PageControl(kIdcLocationButton)));
    HWND chooser = WaitForChooser(run.Process().Pid(), kProgramWaitMs);
    ASSERT_NE(nullptr, chooser);
    ASSERT_TRUE(main->WaitFor(UM_HIDEDESKTOPCLOCKS, 1, 5000));
    EXPECT_EQ(1u, main->Received(UM_HIDEDESKTOPCLOCKS)[0].wParam);
    EXPECT_EQ(L"1", IniValue(SettingsFile(), L"map", L"initialized"));
    EXPECT_FALSE(IsWindowEnabled(driver.Dialog()));

    // painted: the pane's side shows the button face between its controls;
    // a busy machine may take its time
    RECT client;
    GetClientRect(chooser, &client);
    POINT origin = {0, 0};
    ClientToScreen(chooser, &origin);
    RECT whole = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    RECT pane = {whole.right - 320, whole.top, whole.right, whole.bottom};
    // the list's white takes most of the pane once it is drawn
    uint32_t white = ScreenColour(GetSysColor(COLOR_WINDOW));
    int paneArea = (pane.right - pane.left) * (pane.bottom - pane.top);
    EXPECT_TRUE(PumpUntil([&] {
        RedrawWindow(chooser, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        PumpUntil([] { return false; }, 300);
        return paneArea - Marks(pane, white) > paneArea / 3;
    }, 20000)) << "the pane was not painted";
    PumpUntil([] { return false; }, 3000);
    // the map library's child at the left; its OpenGL frames do not reach
    // the screen under Wine, so the picture shows the place it takes
    HWND child = FindWindowExW(chooser, nullptr, kMapWindowClass, nullptr);
    ASSERT_NE(nullptr, child);
    RECT childRect;
    GetWindowRect(child, &childRect);
    MapWindowPoints(nullptr, chooser, (POINT*)&childRect, 2);
    GetClientRect(chooser, &client);
    EXPECT_EQ(0, childRect.left);
    EXPECT_EQ(0, childRect.top);
    EXPECT_EQ(client.right - 320, childRect.right);
    EXPECT_EQ(client.bottom, childRect.bottom);
    origin = {0, 0};
    ClientToScreen(chooser, &origin);
    whole = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    std::vector<uint8_t> shot = GrabScreenRgb(whole);
    std::wstring folder = std::wstring(TL_SHOTS_FOLDER) + L"settings\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_TRUE(WritePngPixels(folder + L"location_chooser_map.png", whole.right - whole.left, whole.bottom - whole.top,
                               3, shot.data()));

    // without a window manager Wine may take the maximised state back
    bool zoomed = IsZoomed(chooser) != FALSE;
    CSettingsRun second;
    ASSERT_TRUE(second.Start(program, L"/inst"));
    EXPECT_EQ(0, second.Process().ExitCode(kHandOverMs));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(chooser); }, 5000));
    ASSERT_TRUE(main->WaitFor(UM_HIDEDESKTOPCLOCKS, 2, 5000));
    EXPECT_EQ(0u, main->Received(UM_HIDEDESKTOPCLOCKS)[1].wParam);
    EXPECT_TRUE(run.Process().Running());
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(driver.Dialog()) != FALSE; }, 5000));
    // the second start handed over and ran no map test of its own
    EXPECT_EQ(L"(none)", IniValue(SettingsFile(), L"map", L"install_result"));
    EXPECT_EQ(zoomed ? L"1" : L"0", IniValue(SettingsFile(), UserPrefix() + L":main", L"MapWindowMax"));
}

// The whole way: the real main program in the stand-in taskbar, a tray
// clock of ours attached to it, and a user who moves the first clock down
// and presses OK. The next clocks the tray gets are in the new order.
TEST_F(SettingsProcess, OkReachesTheTrayClockOfTheRealProgram)
{
    ASSERT_TRUE(program.WriteCities(3));
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start());
    int tempolan = program.Start(L"");
    ASSERT_LE(0, tempolan);
    HWND main = WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(taskbar.WaitAttached(kProgramWaitMs));
    CRecordingWindow tray;
    ASSERT_EQ(main, tray.AttachAsTrayClock(main, kProgramWaitMs));
    auto clockBlocks = [&] {
        std::vector<const CRecordingWindow::Block*> found;
        for (const CRecordingWindow::Block& block : tray.blocks) {
            if (block.id == kBlockClocks)
                found.push_back(&block);
        }
        return found;
    };
    auto prefixes = [](const CRecordingWindow::Block& block) {
        std::vector<std::wstring> names;
        const ClockRecord* clocks = (const ClockRecord*)block.data.data();
        for (size_t i = 0; i < block.data.size() / sizeof(ClockRecord); ++i)
            names.push_back(FieldText(clocks[i].prefix, FIELD_WIDTH(clocks[i].prefix)));
        return names;
    };
    ASSERT_TRUE(PumpUntil([&] { return clockBlocks().size() == 1; }, 5000));
    const std::vector<std::wstring> before = {L"Clock1", L"Clock2", L"Clock3"};
    ASSERT_EQ(before, prefixes(*clockBlocks()[0]));

    CSettingsRun run;
    ASSERT_TRUE(run.StartShown(program, L""));
    CSettingsDriver& driver = run.Driver();
    ASSERT_TRUE(driver.Select({kTreeFirstClock}));
    ASSERT_TRUE(driver.WaitForSelection({kTreeFirstClock}, PageTemplate(kPageClock), 5000));
    ASSERT_TRUE(driver.ClickDialogButton(kIdcDown));
    ASSERT_TRUE(driver.PostClick(driver.Control(IDOK)));
    EXPECT_EQ(0, run.Process().ExitCode(kProgramWaitMs));

    EXPECT_TRUE(PumpUntil([&] { return clockBlocks().size() >= 2; }, kProgramWaitMs));
    std::vector<const CRecordingWindow::Block*> blocks = clockBlocks();
    ASSERT_GE(blocks.size(), 2u);
    const std::vector<std::wstring> after = {L"Clock2", L"Clock1", L"Clock3"};
    EXPECT_EQ(after, prefixes(*blocks.back()));

    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, program.ExitCode(tempolan));
}

// The alarm page in the real program: the switch opens it on the alarm,
// a user's edits on it and on a sub-page, then OK: the file holds them.
TEST_F(SettingsProcess, AlarmPageEditedAndSaved)
{
    std::unique_ptr<CStandinMain> main = StartMain();
    ASSERT_NE(nullptr, main->Window());
    CSettingsRun run;
    ASSERT_TRUE(run.StartShown(program, L"/alarm3.0"));
    CSettingsDriver& driver = run.Driver();
    ASSERT_TRUE(driver.WaitForSelection({kTreeFirstClock + 2, kClockChildAlarms, 0}, PageTemplate(kPageAlarm), 5000));
    EXPECT_EQ(L"First", driver.Text(driver.PageControl(kIdcAlarmComment)));
    ASSERT_TRUE(driver.SetText(driver.PageControl(kIdcAlarmComment), L"Standup"));
    ASSERT_TRUE(driver.Click(driver.PageControl(kIdcKindOnce + kAlarmDaily)));
    HWND daily = driver.PageControl((int)kSchedulePageTemplates[kAlarmDaily]);
    ASSERT_TRUE(daily);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(daily) != FALSE; }, 5000));
    ASSERT_TRUE(driver.Click(GetDlgItem(daily, kIdcDailyEvery)));
    ASSERT_TRUE(driver.SetText(GetDlgItem(daily, kIdcDailyDays), L"2"));
    ASSERT_TRUE(driver.ChooseComboItem(driver.PageControl(kIdcAlarmAction), kActionSound));
    ASSERT_TRUE(driver.SetText(driver.PageControl(kIdcAlarmText), L"beep!"));
    ASSERT_TRUE(PumpUntil([&] { return driver.Enabled(kIdcApply); }, 5000));
    ASSERT_TRUE(driver.PostClick(driver.Control(IDOK)));
    EXPECT_EQ(0, run.Process().ExitCode(10000));

    std::wstring alarm = UserPrefix() + L":clock3:alarm1";
    EXPECT_EQ(L"Standup", IniValue(SettingsFile(), alarm, L"comment"));
    EXPECT_EQ(L"1", IniValue(SettingsFile(), alarm, L"type"));
    EXPECT_EQ(L"2030.01.01 08:00:00 2", IniValue(SettingsFile(), alarm, L"daily"));
    EXPECT_EQ(L"1", IniValue(SettingsFile(), alarm, L"action"));
    EXPECT_EQ(L"beep!", IniValue(SettingsFile(), alarm, L"text"));
    EXPECT_EQ(L"Second", IniValue(SettingsFile(), UserPrefix() + L":clock3:alarm2", L"comment"));
    EXPECT_EQ(0, main->Stop());
}

// The real program in the stand-in taskbar and a user who gives the first
// clock a new caption and puts it on the desktop, then presses OK: a
// desktop clock window with that caption comes up, and the tray's next
// clocks carry the caption.
TEST_F(SettingsProcess, ClockPageReachesTheRealProgram)
{
    ASSERT_TRUE(program.WriteCities(3));
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start());
    DWORD pid = program.StartProgram(L"");
    ASSERT_NE(0u, pid);
    HWND main = WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(taskbar.WaitAttached(kProgramWaitMs));
    CRecordingWindow tray;
    ASSERT_EQ(main, tray.AttachAsTrayClock(main, kProgramWaitMs));
    auto lastClocks = [&]() -> const CRecordingWindow::Block* {
        const CRecordingWindow::Block* last = nullptr;
        for (const CRecordingWindow::Block& block : tray.blocks) {
            if (block.id == kBlockClocks && block.data.size() >= sizeof(ClockRecord))
                last = &block;
        }
        return last;
    };
    ASSERT_TRUE(PumpUntil([&] { return lastClocks() != nullptr; }, 5000));
    size_t blocksBefore = tray.blocks.size();
    EXPECT_TRUE(FindClockWindows(pid).empty());

    CSettingsRun run;
    ASSERT_TRUE(run.StartShown(program, L""));
    CSettingsDriver& driver = run.Driver();
    ASSERT_TRUE(driver.Select({kTreeFirstClock}));
    ASSERT_TRUE(driver.WaitForSelection({kTreeFirstClock}, PageTemplate(kPageClock), 5000));
    ASSERT_TRUE(driver.SetText(driver.PageControl(kIdcCaption), L"Harbour"));
    ASSERT_TRUE(driver.Click(driver.PageControl(kIdcOnDesktop)));
    EXPECT_EQ(L"Harbour", driver.Text(driver.PageControl(kIdcCaptionShown)));
    ASSERT_TRUE(driver.PostClick(driver.Control(IDOK)));
    EXPECT_EQ(0, run.Process().ExitCode(kProgramWaitMs));
    EXPECT_EQ(L"Harbour", program.ClockKey(1, L"prefix"));
    EXPECT_EQ(L"1", program.ClockKey(1, L"on_desktop"));

    ClockWindows windows;
    EXPECT_TRUE(PumpUntil([&] {
        windows = FindClockWindows(pid);
        return windows.count(L"Harbour") && windows[L"Harbour"].visible;
    }, kProgramWaitMs));
    ASSERT_TRUE(PumpUntil([&] { return tray.blocks.size() > blocksBefore && lastClocks(); }, kProgramWaitMs));
    PumpUntil([] { return false; }, 500);
    const CRecordingWindow::Block* block = lastClocks();
    ASSERT_NE(nullptr, block);
    const ClockRecord* first = (const ClockRecord*)block->data.data();
    EXPECT_EQ(L"Harbour", FieldText(first->prefix, FIELD_WIDTH(first->prefix)));

    EXPECT_TRUE(program.ExitProgram());
}

// The taskbar page the whole way: a new clock count typed in settings.exe
// and OK reach the settings block the real program pushes to its tray clock.
TEST_F(SettingsProcess, TaskbarPageReachesTheTrayClock)
{
    ASSERT_TRUE(program.WriteCities(3));
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start());
    int tempolan = program.Start(L"");
    ASSERT_LE(0, tempolan);
    HWND main = WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(taskbar.WaitAttached(kProgramWaitMs));
    CRecordingWindow tray;
    ASSERT_EQ(main, tray.AttachAsTrayClock(main, kProgramWaitMs));
    auto lastSettings = [&]() -> const SettingsBlock* {
        const SettingsBlock* last = nullptr;
        for (const CRecordingWindow::Block& block : tray.blocks) {
            if (block.id == kBlockSettings && block.data.size() >= sizeof(SettingsBlock))
                last = (const SettingsBlock*)block.data.data();
        }
        return last;
    };
    ASSERT_TRUE(PumpUntil([&] { return lastSettings() != nullptr; }, 5000));
    ASSERT_NE(2u, lastSettings()->trayClocks);

    CSettingsRun run;
    ASSERT_TRUE(run.StartShown(program, L"/taskbar"));
    CSettingsDriver& driver = run.Driver();
    ASSERT_TRUE(driver.WaitForSelection({kTreeRootTaskbar}, PageTemplate(kPageTray), 5000));
    ASSERT_TRUE(driver.SetText(driver.PageControl(kIdcTrayClocks), L"2"));
    ASSERT_TRUE(driver.PostClick(driver.Control(IDOK)));
    EXPECT_EQ(0, run.Process().ExitCode(kProgramWaitMs));
    EXPECT_EQ(L"2", program.UserMainKey(L"trayclocks"));
    EXPECT_TRUE(PumpUntil([&] { return lastSettings() && lastSettings()->trayClocks == 2; }, kProgramWaitMs));

    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, program.ExitCode(tempolan));
}

}  // namespace

// An address on the profiles page goes to the main program, whose answer
// loads the file it left as "downloaded.ini"; a failed download shows the
// load error and changes nothing; Close puts back what the load replaced.
TEST_F(SettingsProcess, ProfileFromAnAddress)
{
    std::wstring source = program.File(L"profile-source.ini");
    WritePrivateProfileStringW(L"default:main", L"description", L"A test profile", source.c_str());
    WritePrivateProfileStringW(L"default:clock1", L"enabled", L"1", source.c_str());
    WritePrivateProfileStringW(L"default:clock1", L"prefix", L"Downloaded", source.c_str());
    WritePrivateProfileStringW(L"default:clock1", L"timer_mode", L"0", source.c_str());
    CModule library(LoadLibraryExW(program.File(L"res_en.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    WCHAR caption[64] = {};
    LoadStringW(library.Get(), 141, caption, 64);
    const std::wstring address = L"http://127.0.0.1/profile.ini";
    const std::wstring clock1 = UserPrefix() + L":clock1";

    for (int status : {404, 200}) {
        SCOPED_TRACE(status);
        std::wstring log = program.File((L"main" + std::to_wstring(status) + L".log").c_str());
        WritePrivateProfileStringW(L"download", L"status", std::to_wstring(status).c_str(), (log + L".download").c_str());
        WritePrivateProfileStringW(L"download", L"source", source.c_str(), (log + L".download").c_str());
        std::unique_ptr<CStandinMain> main(new CStandinMain(log, SettingsFile()));
        ASSERT_NE(nullptr, main->Window());
        CSettingsRun run;
        ASSERT_TRUE(run.StartShown(program, L""));
        CSettingsDriver& driver = run.Driver();
        ASSERT_TRUE(driver.Select({kTreeRootProfiles}));
        ASSERT_TRUE(driver.WaitForSelection({kTreeRootProfiles}, PageTemplate(kPageIni), 5000));
        HWND page = driver.VisiblePage();
        ASSERT_TRUE(driver.SetText(driver.PageControl(1112), address));
        ASSERT_TRUE(driver.PostClick(driver.PageControl(1311)));
        ASSERT_TRUE(main->WaitFor(WM_COPYDATA, 1, 5000));
        std::vector<StandinMainEntry> blocks = main->Received(WM_COPYDATA);
        EXPECT_EQ(CD_DOWNLOADREQUEST, blocks[0].copyId);
        EXPECT_EQ(520u, blocks[0].copyBytes);
        EXPECT_EQ((WPARAM)page, blocks[0].wParam);
        EXPECT_EQ(address, blocks[0].text);
        if (status != 200) {
            std::wstring box = CloseMessageBox(caption, 5000);
            EXPECT_NE(std::wstring::npos, box.find(L"downloaded.ini")) << box;
            EXPECT_EQ(9, driver.RootCount());
        } else {
            EXPECT_TRUE(main->WaitFor(UM_SETTINGSCHANGED, 1, 5000));
            EXPECT_TRUE(PumpUntil([&] { return driver.RootCount() == 7; }, 5000)) << driver.RootCount();
            EXPECT_EQ(L"Downloaded", IniValue(SettingsFile(), clock1, L"prefix"));
            EXPECT_EQ(TreePosition{kTreeRootProfiles}, driver.Selected());
        }
        run.Stop();
        EXPECT_EQ(L"Clock1", IniValue(SettingsFile(), clock1, L"prefix"));
        EXPECT_EQ(0, main->Stop());
    }
}
