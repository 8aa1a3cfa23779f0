#include "tests/settings/TreeFixture.h"

#include <thread>

#include "graphics/protocol/MainWindowProtocol.h"

namespace {

using ClockList = TreeTest;

// Stands in for the main program's window: on UM_SAVESTATE it writes its
// timer state into a clock section, as the main program does, before it
// answers. Its class is the test's own: the process tests running beside
// this one own windows of the main program's class.
class CSavingMainWindow {
public:
    static constexpr const wchar_t* kClass = L"TempolanClass settings test";

    CSavingMainWindow(const std::wstring& file, const std::wstring& section) : m_file(file), m_section(section)
    {
        m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([this] { Run(); });
        WaitForSingleObject(m_ready, 10000);
    }
    ~CSavingMainWindow()
    {
        if (m_window)
            PostMessageW(m_window, WM_CLOSE, 0, 0);
        m_thread.join();
        CloseHandle(m_ready);
    }
    int saves = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        auto* self = (CSavingMainWindow*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
        if (msg == UM_SAVESTATE && self) {
            ++self->saves;
            WritePrivateProfileStringW(self->m_section.c_str(), L"running", L"1", self->m_file.c_str());
            WritePrivateProfileStringW(self->m_section.c_str(), L"timer_value", L"4500", self->m_file.c_str());
            return 0;
        }
        if (msg == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    void Run()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
        HWND window = CreateWindowW(kClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, (LONG_PTR)this);
        m_window = window;
        SetEvent(m_ready);
        MSG msg;
        while (window && GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        UnregisterClassW(kClass, wc.hInstance);
    }

    std::wstring m_file;
    std::wstring m_section;
    HANDLE m_ready;
    HWND m_window = nullptr;
    std::thread m_thread;
};

}  // namespace

TEST_F(ClockList, GapsEndAtTheFifthAndTheSaveRenumbers)
{
    WriteClock(1, L"One");
    WriteClock(3, L"Three", 2);
    Set(Clock(3), L"dsk_pos_x", L"120");
    Set(Clock(3), L"zzz", L"keep me");
    WriteClock(9, L"Nine");

    ASSERT_EQ(2, LoadSettingsTree(tree, context));
    EXPECT_EQ(6 + 2, tree.TopCount());
    EXPECT_EQ(kNodeGeneral, tree.Top(0)->Kind());
    EXPECT_EQ(kNodeTray, tree.Top(5)->Kind());
    EXPECT_EQ(1u, tree.Clock(0)->Record().id);
    EXPECT_EQ(3u, tree.Clock(1)->Record().id);
    EXPECT_EQ(2u, tree.Clock(1)->Child(kNodeAlarms)->Children().size());
    EXPECT_EQ(L"Three alarm 2", Caption(tree.Clock(1)->Child(kNodeAlarms)->Children()[1]));

    SaveClockList(tree, paths, link);
    EXPECT_EQ(1, link.calls);
    EXPECT_EQ(L"One", Get(Clock(1), L"prefix"));
    EXPECT_EQ(L"Three", Get(Clock(2), L"prefix"));
    EXPECT_EQ(L"120", Get(Clock(2), L"dsk_pos_x"));
    EXPECT_EQ(L"keep me", Get(Clock(2), L"zzz"));
    EXPECT_EQ(L"Three alarm 2", Get(Clock(2) + L":alarm2", L"comment"));
    EXPECT_FALSE(HasSection(Clock(3)));
    EXPECT_FALSE(HasSection(Clock(9)));
    EXPECT_EQ(2u, tree.Clock(1)->Record().id);

    // the main program reads the saved clock back as the tree had it
    ClockRecord read = {};
    ASSERT_TRUE(ReadClock(context, L"user", 2, &read));
    EXPECT_EQ(L"Three", std::wstring(read.prefix));
    EXPECT_EQ(2u, read.alarmCount);
    FreeClockAlarms(&read);
}

TEST_F(ClockList, UnknownKeysFollowTheirClockWhenReordered)
{
    WriteClock(1, L"A");
    Set(Clock(1), L"dsk_pos_x", L"11");
    WriteClock(2, L"B");
    Set(Clock(2), L"dsk_pos_x", L"22");
    Set(Clock(2), L"zzz", L"b's");
    ASSERT_EQ(2, LoadSettingsTree(tree, context));
    ASSERT_TRUE(tree.MoveTreeNode(tree.Clock(1), tree.Clock(0), false));

    SaveClockList(tree, paths, link);
    EXPECT_EQ(L"B", Get(Clock(1), L"prefix"));
    EXPECT_EQ(L"22", Get(Clock(1), L"dsk_pos_x"));
    EXPECT_EQ(L"b's", Get(Clock(1), L"zzz"));
    EXPECT_EQ(L"A", Get(Clock(2), L"prefix"));
    EXPECT_EQ(L"11", Get(Clock(2), L"dsk_pos_x"));
    EXPECT_EQ(L"<missing>", Get(Clock(2), L"zzz"));
}

TEST_F(ClockList, ACloneBeforeItsOriginalKeepsBothTheOldKeys)
{
    WriteClock(1, L"Home", 1);
    Set(Clock(1), L"dsk_pos_x", L"50");
    ASSERT_EQ(1, LoadSettingsTree(tree, context));
    CClockNode* original = tree.Clock(0);
    EXPECT_FALSE(tree.MoveTreeNode(original, original, true));
    ASSERT_NE(nullptr, tree.AddTreeNode(nullptr, original, false, original, 0));
    CClockNode* clone = tree.Clock(0);
    ASSERT_NE(original, clone);
    auto* alarm = static_cast<AlarmRecord*>(clone->Child(kNodeAlarms)->Children()[0]->GetRecord());
    CopyFixed(alarm->comment, FIELD_WIDTH(alarm->comment), L"Copied and changed");

    SaveClockList(tree, paths, link);
    EXPECT_EQ(L"50", Get(Clock(1), L"dsk_pos_x"));
    EXPECT_EQ(L"50", Get(Clock(2), L"dsk_pos_x"));
    EXPECT_EQ(L"Copied and changed", Get(Clock(1) + L":alarm1", L"comment"));
    EXPECT_EQ(L"Home alarm 1", Get(Clock(2) + L":alarm1", L"comment"));
}

TEST_F(ClockList, ALongSectionIsCarriedWhole)
{
    WriteClock(1, L"Short");
    WriteClock(2, L"Long");
    std::wstring notes(10000, L'n');
    notes.back() = L'!';
    Set(Clock(2), L"notes", notes.c_str());
    ASSERT_EQ(2, LoadSettingsTree(tree, context));
    ASSERT_TRUE(tree.MoveTreeNode(tree.Clock(1), tree.Clock(0), false));

    SaveClockList(tree, paths, link);
    EXPECT_EQ(L"Long", Get(Clock(1), L"prefix"));
    EXPECT_EQ(notes, Get(Clock(1), L"notes"));
    EXPECT_EQ(L"<missing>", Get(Clock(2), L"notes"));
}

TEST_F(ClockList, TheMainProgramsTimerStateIsInTheFileFirst)
{
    WriteClock(1, L"Plain");
    WriteClock(3, L"Tea", 0, L"-1");
    Set(Clock(3), L"duration", L"600");
    Set(Clock(3), L"running", L"0");
    ASSERT_EQ(2, LoadSettingsTree(tree, context));
    ASSERT_EQ(0u, tree.Clock(1)->Record().timerRunning);
    tree.DeleteNode(tree.Clock(0));

    CSavingMainWindow main(paths.userIni, L"user" + Clock(3));
    CMainProgramLink realLink(CSavingMainWindow::kClass);
    SaveClockList(tree, paths, realLink);
    EXPECT_EQ(1, main.saves);
    // written under the timer's new number, not undone by the copy read at start
    EXPECT_EQ(L"Tea", Get(Clock(1), L"prefix"));
    EXPECT_EQ(L"1", Get(Clock(1), L"running"));
    EXPECT_EQ(L"4500", Get(Clock(1), L"timer_value"));
    EXPECT_FALSE(HasSection(Clock(3)));
}

TEST_F(ClockList, WithoutAMainProgramTheSaveGoesOn)
{
    WriteClock(1, L"Alone");
    ASSERT_EQ(1, LoadSettingsTree(tree, context));
    CMainProgramLink nobody(L"TempolanClass nobody has");
    SaveClockList(tree, paths, nobody);
    EXPECT_EQ(L"Alone", Get(Clock(1), L"prefix"));
}

TEST_F(ClockList, SaveEdgeCases)
{
    WriteClock(1, L"A");
    WriteClock(2, L"B");
    Set(Clock(2), L"dsk_pos_x", L"300");
    Set(Clock(2), L"action", L"1");
    Set(Clock(2), L"url", L"");
    ASSERT_EQ(2, LoadSettingsTree(tree, context));

    // an action that opens nothing is written as none
    SaveClockList(tree, paths, link);
    EXPECT_EQ(L"0", Get(Clock(2), L"action"));

    // a clock added in place of a deleted one starts from a clean section
    WriteClock(3, L"C", 2);
    ASSERT_EQ(3, LoadSettingsTree(tree, context));
    tree.DeleteNode(tree.Clock(2));
    tree.DeleteNode(tree.Clock(1));
    ASSERT_NE(nullptr, AddClock());
    SaveClockList(tree, paths, link);
    EXPECT_EQ(L"<missing>", Get(Clock(2), L"dsk_pos_x"));
    EXPECT_EQ(L"A", Get(Clock(1), L"prefix"));
    // a deleted clock's alarms go with it
    EXPECT_FALSE(HasSection(Clock(3)));
    EXPECT_FALSE(HasSection(Clock(3) + L":alarm1"));
    EXPECT_FALSE(HasSection(Clock(3) + L":alarm2"));

    // without clocks the first section goes, and every other
    while (tree.ClockCount() > 0)
        tree.DeleteNode(tree.Clock(0));
    SaveClockList(tree, paths, link);
    EXPECT_FALSE(HasSection(Clock(1)));
    EXPECT_FALSE(HasSection(Clock(2)));
}

TEST_F(ClockList, ExpandedStateIsSavedWithTheClock)
{
    WriteClock(1, L"A", 1);
    Set(Clock(1), L"expanded", L"3");
    ASSERT_EQ(1, LoadSettingsTree(tree, context));
    CClockNode* clock = tree.Clock(0);
    EXPECT_TRUE(clock->IsExpanded());
    EXPECT_TRUE(clock->Child(kNodeAlarms)->IsExpanded());
    EXPECT_FALSE(clock->Child(kNodeBackgrounds)->IsExpanded());

    clock->SetExpanded(false);
    clock->Child(kNodeAlarms)->SetExpanded(false);
    SaveClockList(tree, paths, link);
    EXPECT_EQ(L"<missing>", Get(Clock(1), L"expanded"));
    clock->Child(kNodeBackgrounds)->SetExpanded(true);
    SaveClockList(tree, paths, link);
    EXPECT_EQ(L"4", Get(Clock(1), L"expanded"));
}
