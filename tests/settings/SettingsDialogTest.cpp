#include <atomic>
#include <thread>

#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "settings/SettingsStrings.h"
#include "settings/dialog/SettingsBackup.h"
#include "tests/settings/DialogFixture.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"

namespace {

// A clock page whose store names its edit control as invalid while `invalid` is set.
struct TestPage {
    HWND edit = nullptr;
    bool invalid = false;
    int stores = 0;
};
TestPage g_page;

INT_PTR CALLBACK InvalidValuePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        g_page.edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 10, 10, 100,
                                      20, page, (HMENU)(INT_PTR)kPages[kPageClock].focusControl, nullptr, nullptr);
        return FALSE;
    }
    if (message == UM_LOADPAGE && wParam == kPageStore) {
        ++g_page.stores;
        ((PageExchange*)lParam)->invalid = g_page.invalid ? g_page.edit : nullptr;
        return TRUE;
    }
    return FALSE;
}

// Runs `action` on the first modal dialog the settings dialog owns, from a
// timer of the modal loop.
std::function<void(HWND)> g_onModal;
HWND g_owner = nullptr;

BOOL CALLBACK FindOwned(HWND window, LPARAM found)
{
    if (GetWindow(window, GW_OWNER) == g_owner && IsWindowVisible(window)) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ModalTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND modal = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindOwned, (LPARAM)&modal);
    if (!modal)
        return;
    KillTimer(nullptr, id);
    auto action = std::move(g_onModal);
    g_onModal = nullptr;
    if (action)
        action(modal);
}

void OnModal(HWND owner, std::function<void(HWND)> action)
{
    g_owner = owner;
    g_onModal = std::move(action);
    SetTimer(nullptr, 0, 20, ModalTimer);
}

// A frame window of the test's: the messages it was sent, in order.
std::vector<std::pair<UINT, WPARAM>> g_frameMessages;
std::vector<LPARAM> g_frameParams;
WNDPROC g_frameBase = nullptr;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_SETTINGSCOMMAND || message == WM_CLOSE || message == UM_SYNCSTATUS) {
        g_frameMessages.push_back({message, wParam});
        g_frameParams.push_back(lParam);
        return 0;
    }
    return CallWindowProcW(g_frameBase, hwnd, message, wParam, lParam);
}

std::wstring Text(HWND window)
{
    WCHAR text[512];
    GetWindowTextW(window, text, 512);
    return text;
}

INT_PTR CALLBACK BareProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

class SettingsDialog : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        g_page = TestPage();
    }
    void TearDown() override
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        DialogTest::TearDown();
    }
    POINT ItemCentre(const CTreeNode* node) const
    {
        RECT r = {};
        TreeView_GetItemRect(treeView, node->Item(), &r, TRUE);
        POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        MapWindowPoints(treeView, dialog, &p, 1);
        return p;
    }
    void PressSpace()
    {
        SetFocus(treeView);
        SendMessageW(treeView, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(treeView, WM_CHAR, L' ', 0);
        SendMessageW(treeView, WM_KEYUP, VK_SPACE, 0);
        Pump();
    }
    // the posts to the main program other than the clock counts
    std::vector<std::string> Notices() const
    {
        std::vector<std::string> out;
        for (const std::string& e : recorder.events) {
            if (e.find("post " + std::to_string(UM_TRAYCLOCKCOUNT)) != 0)
                out.push_back(e);
        }
        return out;
    }
    const std::string kSettingsChanged = "post " + std::to_string(UM_SETTINGSCHANGED) + " 0";
};

// Every way out of a page with an invalid value is refused once, with the
// high beep and the focus on the control; nothing is written. The store
// after an edit is silent.
TEST_F(SettingsDialog, InvalidValueHoldsThePage)
{
    WriteClock(1, L"Paris");
    WriteClock(2, L"Tokyo");
    WriteClock(3, L"Lima");
    services.pageProcs[kPageClock] = InvalidValuePageProc;
    Open();
    CClockNode* tokyo = tree.Clock(1);
    Select(tokyo);
    ASSERT_EQ(tokyo, Selected());
    SendMessageW(dialog, UM_PAGECHANGED, 0, 0);
    for (int id : {kIdcAdd, kIdcUp, kIdcDown, kIdcApply, IDOK})
        ASSERT_TRUE(Enabled(id)) << id;
    std::string file = ReadFileBytes(paths.userIni);
    // should the store pass, the chooser must not hang the run
    OnModal(dialog, [](HWND modal) { EndDialog(modal, 0); });

    g_page.invalid = true;
    struct Way {
        const char* name;
        std::function<void()> act;
    } ways[] = {
        {"selection", [&] { TreeView_SelectItem(treeView, tree.Clock(0)->Item()); }},
        {"add", [&] { Click(kIdcAdd); }},
        {"delete", [&] { Click(kIdcDelete); }},
        {"up", [&] { Click(kIdcUp); }},
        {"down", [&] { Click(kIdcDown); }},
        {"apply", [&] { Click(kIdcApply); }},
        {"ok", [&] { Click(IDOK); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        beep.beeps.clear();
        SetFocus(treeView);
        way.act();
        Pump();
        ASSERT_TRUE(IsWindow(dialog));
        EXPECT_EQ((std::vector<std::pair<DWORD, DWORD>>{{1760, 125}}), beep.beeps);
        EXPECT_EQ(g_page.edit, GetFocus());
        EXPECT_EQ(tokyo, Selected());
        EXPECT_EQ(tokyo, tree.Clock(1));
        EXPECT_EQ(3, tree.ClockCount());
    }
    EXPECT_EQ(file, ReadFileBytes(paths.userIni));
    EXPECT_EQ(0, recorder.Count("save"));
    EXPECT_TRUE(Notices().empty()) << Events();

    g_page.invalid = false;
    Click(kIdcApply);
    ASSERT_FALSE(Enabled(kIdcApply));
    g_page.invalid = true;
    beep.beeps.clear();
    SetFocus(treeView);
    int stores = g_page.stores;
    SendMessageW(dialog, UM_PAGECHANGED, 0, 0);
    EXPECT_EQ(stores + 1, g_page.stores);
    EXPECT_TRUE(beep.beeps.empty());
    EXPECT_EQ(treeView, GetFocus());
    EXPECT_TRUE(Enabled(kIdcApply));
    g_onModal = nullptr;
}

TEST_F(SettingsDialog, CommandsSelect)
{
    WriteClock(1, L"Paris", 2);
    WriteClock(3, L"Lima", 2);
    Open();
    CClockNode* paris = tree.FindClockById(1);
    CClockNode* lima = tree.FindClockById(3);
    ASSERT_TRUE(paris && lima);
    CTreeNode* general = tree.Top(0);
    CTreeNode* limaAlarms = lima->Child(kNodeAlarms);
    struct Case {
        uint32_t code, n, m;
        CTreeNode* expected;
    } cases[] = {
        {kSettingsShowClock, 3, 0, lima},
        {kSettingsZonePage, 1, 0, paris},
        {kSettingsDesktopPage, 3, 0, lima->Child(kNodeDesktop)},
        {kSettingsFormatsPage, 1, 0, paris->Child(kNodeFormats)},
        {kSettingsAlarmList, 3, 0, limaAlarms},
        {kSettingsAlarm, 3, 1, limaAlarms->Children()[1]},
        {kSettingsAlarm, 3, 2, limaAlarms},
        {kSettingsBackgroundList, 1, 0, paris->Child(kNodeBackgrounds)},
        {kSettingsBackground, 1, 0, paris->Child(kNodeBackgrounds)},
        {kSettingsTaskbarPage, 0, 0, tree.Top(5)},
        {kSettingsSyncPage, 0, 0, tree.Top(2)},
        {kSettingsGeneralPage, 0, 0, general},
        {kSettingsNewsPage, 0, 0, tree.Top(4)},
        {kSettingsShowClock, 2, 0, general},    // no clock 2
        {kSettingsAlarm, 2, 0, general},
        {99, 1, 0, general},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " n " << c.n << " m " << c.m);
        Select(general);
        Command(c.code, c.n, c.m);
        EXPECT_EQ(c.expected, Selected());
        HWND page = VisiblePage();
        ASSERT_TRUE(page);
        EXPECT_EQ((int)kPages[c.expected->GetPageKind()].templateId, GetDlgCtrlID(page));
    }
    EXPECT_TRUE(beep.beeps.empty());
    EXPECT_EQ(2, tree.ClockCount());
}

TEST_F(SettingsDialog, CommandsAdd)
{
    WriteClock(1, L"Paris", 2);
    WriteClock(3, L"Lima");
    // as shipped: a new countdown of no time would be refused when its page is left
    WritePrivateProfileStringW(L"default:newcountdown", L"timer_mode", L"-1", paths.defaultIni);
    WritePrivateProfileStringW(L"default:newcountdown", L"duration", L"600", paths.defaultIni);
    Open();
    CClockNode* paris = tree.FindClockById(1);
    CClockNode* lima = tree.FindClockById(3);
    struct Case {
        uint32_t code, n;
        int index;       // where the new clock lands
        int pageKind;
    } cases[] = {
        {kSettingsNewClock, 3, 1, kPageClock},
        {kSettingsNewCountdown, 1, 0, kPageCountdown},
        {kSettingsNewTimer, 9, 4, kPageTimer},    // no clock 9: at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        int count = tree.ClockCount();
        EnableWindow(GetDlgItem(dialog, kIdcApply), FALSE);
        Command(c.code, c.n);
        ASSERT_EQ(count + 1, tree.ClockCount());
        CClockNode* added = tree.Clock(c.index);
        EXPECT_NE(paris, added);
        EXPECT_NE(lima, added);
        EXPECT_EQ(c.pageKind, added->GetPageKind());
        EXPECT_EQ(added, Selected());
        EXPECT_TRUE(Enabled(kIdcApply));
    }
    Command(kSettingsNewAlarm, 1);
    CTreeNode* alarms = paris->Child(kNodeAlarms);
    ASSERT_EQ(3u, alarms->Children().size());
    EXPECT_EQ(alarms->Children()[2], Selected());
    EXPECT_EQ(0, static_cast<CAlarmNode*>(alarms->Children()[2])->Alarm().once.wSecond);
    EXPECT_EQ(2026, static_cast<CAlarmNode*>(alarms->Children()[2])->Alarm().once.wYear);
}

// A command while the delete question or the clock kind chooser is open is
// dropped with the low beep.
TEST_F(SettingsDialog, CommandsWaitForOpenBoxes)
{
    WriteClock(1, L"Paris");
    WriteClock(2, L"Tokyo");
    Open();
    CClockNode* paris = tree.Clock(0);
    CClockNode* tokyo = tree.Clock(1);
    Select(tokyo);
    question.answer = false;
    question.whileOpen = [&] { SendMessageW(dialog, UM_RUNSETTINGSCOMMAND, kSettingsShowClock, PackSettingsCommand(1, 0)); };
    Click(kIdcDelete);
    EXPECT_EQ((std::vector<std::pair<DWORD, DWORD>>{{1000, 100}}), beep.beeps);
    WCHAR text[256], caption[128];
    language.GetString(kStrDeleteQuestion, text, 256);
    language.GetString(kStrDeleteCaption, caption, 128);
    ASSERT_TRUE(text[0] && caption[0]);
    EXPECT_EQ(std::vector<std::wstring>{std::wstring(caption) + L"|" + text}, question.asked);
    EXPECT_EQ(tokyo, Selected());
    EXPECT_EQ(2, tree.ClockCount());

    // Yes deletes; the last clock cannot go
    question.whileOpen = nullptr;
    question.answer = true;
    Click(kIdcDelete);
    ASSERT_EQ(1, tree.ClockCount());
    EXPECT_EQ(paris, tree.Clock(0));
    EXPECT_TRUE(Enabled(kIdcApply));
    EXPECT_FALSE(Enabled(kIdcDelete) && Selected() == paris);

    // the chooser: centred over the dialog, a countdown before the selected clock
    Select(paris);
    beep.beeps.clear();
    RECT chooserRect = {}, ownerRect = {};
    OnModal(dialog, [&](HWND chooser) {
        SendMessageW(dialog, UM_RUNSETTINGSCOMMAND, kSettingsNewClock, 0);
        GetWindowRect(chooser, &chooserRect);
        GetWindowRect(dialog, &ownerRect);
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(chooser, kIdcTypeClock));
        CheckRadioButton(chooser, kIdcTypeClock, kIdcTypeTimer, kIdcTypeCountdown);
        SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    Click(kIdcAdd);
    EXPECT_EQ((std::vector<std::pair<DWORD, DWORD>>{{1000, 100}}), beep.beeps);
    ASSERT_EQ(2, tree.ClockCount());
    EXPECT_EQ(kPageCountdown, tree.Clock(0)->GetPageKind());
    EXPECT_EQ(paris, tree.Clock(1));
    EXPECT_EQ(tree.Clock(0), Selected());
    EXPECT_NEAR(ownerRect.left + ownerRect.right, chooserRect.left + chooserRect.right, 1);
    EXPECT_NEAR(ownerRect.top + ownerRect.bottom, chooserRect.top + chooserRect.bottom, 1);

    // cancelling adds nothing
    OnModal(dialog, [](HWND chooser) { SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    Click(kIdcAdd);
    EXPECT_EQ(2, tree.ClockCount());
}

// At least one clock stays checked: a click or the space bar on the last
// checked one is undone, and deleting it by command checks another.
TEST_F(SettingsDialog, LastCheckedClockStaysChecked)
{
    WriteClock(1, L"Paris");
    WriteClock(2, L"Tokyo");
    WriteClock(3, L"Lima");
    Set(Clock(2), L"enabled", L"0");
    Set(Clock(3), L"enabled", L"0");
    Open();
    CClockNode* paris = tree.Clock(0);
    CClockNode* tokyo = tree.Clock(1);
    ASSERT_EQ(1, tree.CountEnabledClocks());
    ASSERT_EQ(kCheckImageOn, StateImage(paris));

    // a click on the check box
    RECT r = {};
    TreeView_GetItemRect(treeView, paris->Item(), &r, TRUE);
    POINT box = {r.left - 8, (r.top + r.bottom) / 2};
    TVHITTESTINFO hit = {box};
    TreeView_HitTest(treeView, &hit);
    ASSERT_TRUE(hit.flags & TVHT_ONITEMSTATEICON) << hit.flags;
    POINT screen = box;
    ClientToScreen(treeView, &screen);
    SetCursorPos(screen.x, screen.y);
    // the button goes up first: the tree view waits for it in a loop of its own
    PostMessageW(treeView, WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
    SendMessageW(treeView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
    Pump();
    EXPECT_TRUE(paris->IsChecked());
    EXPECT_EQ(kCheckImageOn, StateImage(paris));
    EXPECT_FALSE(Enabled(kIdcApply));

    // the space bar
    Select(paris);
    PressSpace();
    EXPECT_TRUE(paris->IsChecked());
    EXPECT_EQ(kCheckImageOn, StateImage(paris));
    EXPECT_FALSE(Enabled(kIdcApply));

    // on another clock it takes
    Select(tokyo);
    PressSpace();
    EXPECT_TRUE(tokyo->IsChecked());
    EXPECT_EQ(kCheckImageOn, StateImage(tokyo));
    EXPECT_TRUE(Enabled(kIdcApply));

    // uncheck Tokyo again by the mouse's way, then delete Paris by command
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = tokyo->Item();
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(kCheckImageOff);
    TreeView_SetItem(treeView, &item);
    SendMessageW(dialog, UM_TREECLICKED, kIdcSettingsTree, (LPARAM)tokyo->Item());
    Pump();
    ASSERT_FALSE(tokyo->IsChecked());
    Command(kSettingsDeleteClock, 1);
    ASSERT_EQ(2, tree.ClockCount());
    EXPECT_EQ(1, tree.CountEnabledClocks());
}

// Drag and drop: a copy (Ctrl) of a countdown onto a plain clock is refused
// with the refusing cursor; onto another countdown it lands before it.
TEST_F(SettingsDialog, DragAndDrop)
{
    WriteClock(1, L"Paris");
    WriteClock(2, L"Tokyo");
    WriteClock(3, L"Race", 0, L"-1");
    WriteClock(4, L"Launch", 0, L"-1");
    Open();
    CClockNode* paris = tree.Clock(0);
    CClockNode* race = tree.Clock(2);
    CClockNode* launch = tree.Clock(3);
    ASSERT_EQ(kPageCountdown, launch->GetPageKind());
    HCURSOR allowed = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(136));
    HCURSOR refused = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(138));
    ASSERT_TRUE(allowed && refused && allowed != refused);

    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    auto drag = [&](CTreeNode* node, CTreeNode* onto, HCURSOR expected) {
        NMTREEVIEWW begin = {};
        begin.hdr = {treeView, (UINT_PTR)kIdcSettingsTree, (UINT)TVN_BEGINDRAGW};
        begin.itemNew.hItem = node->Item();
        begin.itemNew.lParam = (LPARAM)node;
        SendMessageW(dialog, WM_NOTIFY, kIdcSettingsTree, (LPARAM)&begin);
        EXPECT_EQ(dialog, GetCapture());
        POINT at = ItemCentre(onto);
        SendMessageW(dialog, WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(at.x, at.y));
        EXPECT_EQ(expected, GetCursor());
        EXPECT_EQ(onto->Item(), TreeView_GetDropHilight(treeView));
        SendMessageW(dialog, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(at.x, at.y));
        Pump();
        EXPECT_NE(dialog, GetCapture());
        EXPECT_EQ(nullptr, TreeView_GetDropHilight(treeView));
    };
    drag(launch, paris, refused);
    EXPECT_EQ(4, tree.ClockCount());
    EXPECT_FALSE(Enabled(kIdcApply));

    drag(launch, race, allowed);
    ASSERT_EQ(5, tree.ClockCount());
    CClockNode* copy = tree.Clock(2);
    EXPECT_NE(launch, copy);
    EXPECT_EQ(kPageCountdown, copy->GetPageKind());
    EXPECT_EQ(Caption(launch), Caption(copy));
    EXPECT_EQ(race, tree.Clock(3));
    EXPECT_EQ(launch, Selected());
    EXPECT_TRUE(Enabled(kIdcApply));
}

// Up on the first alarm of a clock takes it to the end of the previous
// clock's alarms; it stays selected.
TEST_F(SettingsDialog, UpMovesFirstAlarmToPreviousClock)
{
    WriteClock(1, L"Paris", 2);
    WriteClock(2, L"Tokyo", 2);
    Open();
    CTreeNode* parisAlarms = tree.Clock(0)->Child(kNodeAlarms);
    CTreeNode* tokyoAlarms = tree.Clock(1)->Child(kNodeAlarms);
    CTreeNode* alarm = tokyoAlarms->Children()[0];
    Select(alarm);
    ASSERT_TRUE(Enabled(kIdcUp));
    Click(kIdcUp);
    ASSERT_EQ(3u, parisAlarms->Children().size());
    EXPECT_EQ(alarm, parisAlarms->Children()[2]);
    EXPECT_EQ(1u, tokyoAlarms->Children().size());
    EXPECT_EQ(alarm, Selected());
    EXPECT_TRUE(Enabled(kIdcApply));
    Click(kIdcDown);
    EXPECT_EQ(tokyoAlarms, alarm->Parent());
    EXPECT_EQ(alarm, tokyoAlarms->Children()[0]);
}

// Another language and back: the dialog's texts follow, its pages keep
// their own, and afterwards every text is the template's.
TEST_F(SettingsDialog, RelocalizeAndBack)
{
    WriteClock(1, L"Paris", 1);
    ASSERT_TRUE(languages.WriteBytes(L"tempolan_de.ini",
                                     "[StringTable]\r\n216=Allgemein\r\n"
                                     "[DLG_PageDetail]\r\nCaption=Einstellungen\r\n1023=Neu\r\n1028=Entfernen\r\n"
                                     "1029=Auf\r\n1030=Ab\r\n1238=Anwenden\r\n1=Gut\r\n2=Schliessen\r\n"
                                     "[DLG_PageAlarms]\r\n1040=Die Wecker dieser Uhr\r\n"));
    Open();
    HWND alarmsPage = GetDlgItem(dialog, kPages[kPageAlarms].templateId);
    std::wstring pageText = Text(GetDlgItem(alarmsPage, 1040));
    ASSERT_FALSE(pageText.empty());

    language.SetLanguage(L"de");
    SendMessageW(dialog, UM_RELOCALIZE, 0, 0);
    const std::pair<int, const wchar_t*> german[] = {{kIdcAdd, L"Neu"}, {kIdcDelete, L"Entfernen"}, {kIdcUp, L"Auf"},
                                                     {kIdcDown, L"Ab"}, {kIdcApply, L"Anwenden"}, {IDOK, L"Gut"},
                                                     {IDCANCEL, L"Schliessen"}};
    EXPECT_EQ(L"Einstellungen", Text(dialog));
    for (const auto& g : german)
        EXPECT_EQ(g.second, Text(GetDlgItem(dialog, g.first)));
    EXPECT_EQ(pageText, Text(GetDlgItem(alarmsPage, 1040)));
    // the frame tells each page itself
    SendMessageW(alarmsPage, UM_RELOCALIZE, 0, 0);
    EXPECT_EQ(L"Die Wecker dieser Uhr", Text(GetDlgItem(alarmsPage, 1040)));
    WCHAR caption[64] = {};
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = tree.Top(0)->Item();
    item.pszText = caption;
    item.cchTextMax = 64;
    TreeView_GetItem(treeView, &item);
    EXPECT_STREQ(L"Allgemein", caption);

    language.SetLanguage(L"en");
    SendMessageW(dialog, UM_RELOCALIZE, 0, 0);
    SendMessageW(alarmsPage, UM_RELOCALIZE, 0, 0);
    EXPECT_EQ(pageText, Text(GetDlgItem(alarmsPage, 1040)));
    HWND bare = CreateDialogParamW(resources.Get(), MAKEINTRESOURCEW(kSettingsDialogTemplate), nullptr, BareProc, 0);
    ASSERT_TRUE(bare);
    EXPECT_EQ(Text(bare), Text(dialog));
    int controls = 0;
    for (HWND child = GetWindow(bare, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id == kIdcPagePane || id == kIdcSettingsTree)
            continue;
        SCOPED_TRACE(id);
        EXPECT_EQ(Text(child), Text(GetDlgItem(dialog, id)));
        ++controls;
    }
    EXPECT_EQ(7, controls);
    DestroyWindow(bare);
}

// Closing after a profile load without OK brings back what the load
// replaced and tells the main program; the time service's results and other
// users' sections stay as they are now. Without a load the backup just goes.
TEST_F(SettingsDialog, CloseRestoresTheBackupAfterAProfileLoad)
{
    for (bool loaded : {true, false}) {
        SCOPED_TRACE(loaded ? "profile loaded" : "no profile loaded");
        WriteClock(1, L"Paris");
        WriteClock(2, L"Tokyo");
        WritePrivateProfileStringW(L"common", L"synclastresult", L"1", paths.userIni);
        WritePrivateProfileStringW(L"other:main", L"language", L"fr", paths.userIni);
        std::wstring backup = SettingsBackupPath(paths.userIni);
        ASSERT_TRUE(CopyFileW(paths.userIni, backup.c_str(), FALSE));
        // the profile, then the service and the other user
        Set(Clock(1), L"prefix", L"Profile clock");
        WriteClock(3, L"Profile only");
        WritePrivateProfileStringW(L"common", L"synclastresult", L"0", paths.userIni);
        WritePrivateProfileStringW(L"common", L"synclasttime", L"2026.03.10 12:00:00", paths.userIni);
        WritePrivateProfileStringW(L"other:main", L"language", L"de", paths.userIni);
        Open();
        services.profileLoaded = loaded;
        recorder.events.clear();
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(backup.c_str()));
        EXPECT_FALSE(services.profileLoaded);
        EXPECT_EQ(loaded ? L"Paris" : L"Profile clock", Get(Clock(1), L"prefix"));
        EXPECT_EQ(!loaded, HasSection(Clock(3)));
        WCHAR value[64];
        GetPrivateProfileStringW(L"common", L"synclastresult", L"", value, 64, paths.userIni);
        EXPECT_STREQ(L"0", value);
        GetPrivateProfileStringW(L"common", L"synclasttime", L"", value, 64, paths.userIni);
        EXPECT_STREQ(L"2026.03.10 12:00:00", value);
        GetPrivateProfileStringW(L"other:main", L"language", L"", value, 64, paths.userIni);
        EXPECT_STREQ(L"de", value);
        EXPECT_EQ(loaded ? 1 : 0, recorder.Count(kSettingsChanged)) << Events();
        // the count of clocks to the tray goes back to none
        EXPECT_EQ("post " + std::to_string(UM_TRAYCLOCKCOUNT) + " 0", recorder.events.back());
        tree.ClearTree();
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
        DeleteFileW(paths.userIni);
    }
}

// Apply writes the program-wide settings, then the clock list after the main
// program saved its state, then tells it; Apply is disabled afterwards. OK
// does the same and closes.
TEST_F(SettingsDialog, ApplyWritesInOrder)
{
    WriteClock(1, L"Paris");
    WriteClock(3, L"Lima");
    Open();
    ASSERT_FALSE(KeyExists(paths.userIni, L"user:main", L"week_start"));
    bool generalFirst = false, clocksAfter = false;
    recorder.onSave = [&] {
        generalFirst = KeyExists(paths.userIni, L"user:main", L"week_start");
        clocksAfter = HasSection(Clock(3)) && !HasSection(Clock(2));
    };
    SendMessageW(dialog, UM_PAGECHANGED, 0, 0);
    ASSERT_TRUE(Enabled(kIdcApply));
    Click(kIdcApply);
    EXPECT_EQ((std::vector<std::string>{"save", kSettingsChanged}), Notices());
    EXPECT_TRUE(generalFirst);
    EXPECT_TRUE(clocksAfter);
    EXPECT_EQ(L"Lima", Get(Clock(2), L"prefix"));
    EXPECT_FALSE(HasSection(Clock(3)));
    EXPECT_FALSE(Enabled(kIdcApply));
    EXPECT_TRUE(IsWindow(dialog));

    recorder.events.clear();
    Click(IDOK);
    EXPECT_EQ((std::vector<std::string>{"save", kSettingsChanged}), Notices());
    EXPECT_FALSE(IsWindow(dialog));
}

// A clock moved to the desktop or back: the selected clock's page gives its
// values first and shows the new state after.
TEST_F(SettingsDialog, ClockOnDesktop)
{
    WriteClock(1, L"Paris");
    WriteClock(2, L"Tokyo");
    services.pageProcs[kPageClock] = InvalidValuePageProc;
    Open();
    CClockNode* paris = tree.Clock(0);
    CClockNode* tokyo = tree.Clock(1);
    Select(paris);
    int stores = g_page.stores;
    SendMessageW(dialog, UM_SETCLOCKONDESKTOP, 1, 1);
    EXPECT_TRUE(paris->Record().flags & kClockOnDesktop);
    EXPECT_EQ(stores + 1, g_page.stores);
    SendMessageW(dialog, UM_SETCLOCKONDESKTOP, 2, 1);
    EXPECT_TRUE(tokyo->Record().flags & kClockOnDesktop);
    EXPECT_EQ(stores + 1, g_page.stores);
    SendMessageW(dialog, UM_SETCLOCKONDESKTOP, 1, 0);
    EXPECT_FALSE(paris->Record().flags & kClockOnDesktop);
    SendMessageW(dialog, UM_SETCLOCKONDESKTOP, 9, 1);
    EXPECT_TRUE(beep.beeps.empty());
}

// The start command goes to the frame once the dialog is up; the sync status
// reaches the time page; closing closes the frame.
TEST_F(SettingsDialog, FrameHearsStartAndClose)
{
    WriteClock(1, L"Paris");
    HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame);
    g_frameMessages.clear();
    g_frameParams.clear();
    g_frameBase = (WNDPROC)SetWindowLongPtrW(frame, GWLP_WNDPROC, (LONG_PTR)FrameProc);
    services.frame = frame;
    services.startCommand = {kSettingsAlarm, 1, 2, false};
    services.pageProcs[kPageTime] = [](HWND page, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        // the test's status names the frame: the page reports back to it
        if (message == UM_SYNCSTATUS && GetParent(page))
            SendMessageW((HWND)lParam, UM_SYNCSTATUS, wParam, 0);
        return FALSE;
    };
    Open();
    ASSERT_EQ(1u, g_frameMessages.size());
    EXPECT_EQ(UM_SETTINGSCOMMAND, g_frameMessages[0].first);
    EXPECT_EQ((WPARAM)kSettingsAlarm, g_frameMessages[0].second);
    EXPECT_EQ(PackSettingsCommand(1, 2), g_frameParams[0]);
    SendMessageW(dialog, UM_SYNCSTATUS, 42, (LPARAM)frame);
    ASSERT_EQ(2u, g_frameMessages.size());
    EXPECT_EQ(UM_SYNCSTATUS, g_frameMessages[1].first);
    EXPECT_EQ(42u, g_frameMessages[1].second);
    Click(IDCANCEL);
    EXPECT_FALSE(IsWindow(dialog));
    ASSERT_EQ(3u, g_frameMessages.size());
    EXPECT_EQ((UINT)WM_CLOSE, g_frameMessages[2].first);
    EXPECT_EQ(0, recorder.Count("save"));
    DestroyWindow(frame);
}

// The messages that carry pointers are only taken from the dialog's own
// thread's pointer sends.
TEST_F(SettingsDialog, PointerMessagesOnlyFromTheOwnThread)
{
    WriteClock(1, L"Paris");
    Open();
    CClockNode* paris = tree.Clock(0);
    Select(paris->Child(kNodeDesktop));
    HWND page = GetDlgItem(dialog, kPages[kPageAlarms].templateId);
    ClockRecord* const kUntouched = (ClockRecord*)(INT_PTR)0x5A5A;
    ClockRecord* clockRecord = kUntouched;
    PageExchange block = {nullptr, dialog};
    std::atomic<bool> done(false);
    std::thread other([&] {
        SendMessageW(dialog, UM_GETCURRENTCLOCK, 0, (LPARAM)&clockRecord);
        SendMessageW(page, UM_LOADPAGE, kPageStore, (LPARAM)&block);
        done = true;
    });
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    other.join();
    EXPECT_EQ(kUntouched, clockRecord);
    EXPECT_EQ(dialog, block.invalid);
    // posted, even by the own thread, they come through the queue like
    // anyone else's
    PostMessageW(dialog, UM_GETCURRENTCLOCK, 0, (LPARAM)&clockRecord);
    PostMessageW(page, UM_LOADPAGE, kPageStore, (LPARAM)&block);
    Pump();
    EXPECT_EQ(kUntouched, clockRecord);
    EXPECT_EQ(dialog, block.invalid);
    // a plain send is no page exchange either
    SendMessageW(dialog, UM_GETCURRENTCLOCK, 0, (LPARAM)&clockRecord);
    EXPECT_EQ(kUntouched, clockRecord);

    SendPointerMessage(dialog, UM_GETCURRENTCLOCK, 0, (LPARAM)&clockRecord);
    SendPointerMessage(page, UM_LOADPAGE, kPageStore, (LPARAM)&block);
    EXPECT_EQ(&paris->Record(), clockRecord);
    EXPECT_EQ(nullptr, block.invalid);
}

// The 22 pages sit on the placeholder's rectangle, one shown at a time; the
// tree has its check boxes; the main program hears the clock count.
TEST_F(SettingsDialog, PagesAndShot)
{
    WriteClock(1, L"Paris", 2);
    WriteClock(2, L"Tokyo");
    Open();
    HWND bare = CreateDialogParamW(resources.Get(), MAKEINTRESOURCEW(kSettingsDialogTemplate), nullptr, BareProc, 0);
    ASSERT_TRUE(bare);
    RECT pane;
    HWND placeholder = GetDlgItem(bare, kIdcPagePane);
    GetWindowRect(placeholder, &pane);
    MapWindowPoints(nullptr, bare, (POINT*)&pane, 2);
    DestroyWindow(bare);
    EXPECT_EQ(nullptr, GetDlgItem(dialog, kIdcPagePane));
    for (int kind = 0; kind < kPageKindCount; ++kind) {
        SCOPED_TRACE(kind);
        HWND page = GetDlgItem(dialog, kPages[kind].templateId);
        ASSERT_TRUE(page);
        RECT r;
        GetWindowRect(page, &r);
        MapWindowPoints(nullptr, dialog, (POINT*)&r, 2);
        EXPECT_EQ(pane.left, r.left);
        EXPECT_EQ(pane.top, r.top);
        EXPECT_EQ(pane.right, r.right);
        EXPECT_EQ(pane.bottom, r.bottom);
        EXPECT_FALSE(GetWindowLongW(page, GWL_STYLE) & (WS_BORDER | WS_CAPTION));
    }
    EXPECT_EQ(tree.Top(0), Selected());
    EXPECT_EQ(GetDlgItem(dialog, kPages[kPageGeneral].templateId), VisiblePage());
    EXPECT_TRUE(TreeView_GetImageList(treeView, TVSIL_STATE));
    EXPECT_EQ(kCheckImageOn, StateImage(tree.Clock(0)));
    EXPECT_EQ(kCheckImageNone, StateImage(tree.Top(0)));
    EXPECT_EQ("post " + std::to_string(UM_TRAYCLOCKCOUNT) + " 2", recorder.events.back());
    EXPECT_FALSE(Enabled(kIdcApply));

    Select(tree.Clock(0)->Child(kNodeAlarms));
    EXPECT_EQ(GetDlgItem(dialog, kPages[kPageAlarms].templateId), VisiblePage());
    // lists are never moved, only their entries
    EXPECT_TRUE(Enabled(kIdcAdd));
    EXPECT_FALSE(Enabled(kIdcUp));
    EXPECT_FALSE(Enabled(kIdcDown));
    EXPECT_FALSE(Enabled(kIdcDelete));
    TreeView_Expand(treeView, tree.Clock(0)->Child(kNodeAlarms)->Item(), TVE_EXPAND);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    RECT client;
    GetClientRect(dialog, &client);
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    RECT place = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    std::vector<uint8_t> rgb = GrabScreenRgb(place);
    ASSERT_EQ((size_t)client.right * client.bottom * 3, rgb.size());
    EXPECT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"settings-dialog.png", client.right, client.bottom,
                               3, rgb.data()));
    DestroyWindow(dialog);
    EXPECT_EQ("post " + std::to_string(UM_TRAYCLOCKCOUNT) + " 0", recorder.events.back());
}

}  // namespace
