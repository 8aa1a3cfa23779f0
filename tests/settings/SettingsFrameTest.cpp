// The settings program's frame window with a host of the test's own, whose
// dialog and nested page record what the frame passes on to them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "settings/SettingsResources.h"
#include "settings/dialog/PageProtocol.h"
#include "settings/frame/SettingsFrame.h"

namespace {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// An empty dialog template in memory: style, no controls, no menu, class or title.
std::vector<WORD> DialogTemplate(DWORD style)
{
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
    auto* t = (DLGTEMPLATE*)words.data();
    t->style = style;
    t->cx = 100;
    t->cy = 60;
    return words;
}

class CFakeHost : public ISettingsFrameHost {
public:
    HWND CreateSettingsDialogFor(HWND frame) override
    {
        ++dialogsMade;
        if (!canMakeDialog)
            return nullptr;
        std::vector<WORD> dialog = DialogTemplate(WS_POPUP | WS_CAPTION);
        HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), (DLGTEMPLATE*)dialog.data(), frame,
                                                 DialogProc, (LPARAM)this);
        std::vector<WORD> page = DialogTemplate(WS_CHILD | DS_CONTROL);
        this->page = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), (DLGTEMPLATE*)page.data(), window,
                                                DialogProc, (LPARAM)this);
        this->dialog = window;
        return window;
    }
    void ReloadTexts(WCHAR* caption) override { lstrcpynW(caption, L"Settings, again", kSettingsTextChars); }
    void ReloadVisualStyles() override { ++styleReloads; }
    void CheckZoneChanges() override { ++zoneChecks; }
    void FrameDestroyed() override { ++framesDestroyed; }

    std::vector<Seen> SeenBy(HWND window, UINT message) const
    {
        std::vector<Seen> found;
        for (const Seen& s : seen)
            if (s.window == window && s.message == message)
                found.push_back(s);
        return found;
    }

    bool canMakeDialog = true;
    // as the real dialog does: put things back, go, and close the frame
    bool dialogClosesFrame = true;
    HWND dialog = nullptr;
    HWND page = nullptr;
    int dialogsMade = 0, styleReloads = 0, zoneChecks = 0, framesDestroyed = 0;
    std::vector<Seen> seen;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            return TRUE;
        }
        auto* self = (CFakeHost*)GetWindowLongPtrW(window, DWLP_USER);
        if (!self)
            return FALSE;
        switch (message) {
        case UM_RUNSETTINGSCOMMAND:
        case UM_SETTINGSCOMMAND:
        case UM_SETCLOCKONDESKTOP:
        case UM_SYNCSTATUS:
        case UM_MAPOVERLAYCHANGED:
        case UM_RELOCALIZE:
        case WM_WININICHANGE:
            self->seen.push_back({window, message, wParam, lParam});
            SetWindowLongPtrW(window, DWLP_MSGRESULT, 77);
            return TRUE;
        case WM_CLOSE:
            self->seen.push_back({window, message, wParam, lParam});
            if (self->dialogClosesFrame) {
                HWND frame = GetWindow(window, GW_OWNER);
                DestroyWindow(window);
                SendMessageW(frame, WM_CLOSE, 0, 0);
            }
            return TRUE;
        }
        return FALSE;
    }
};

class SettingsFrame : public testing::Test {
protected:
    SettingsFrame() : frame(host) {}
    void SetUp() override { ASSERT_TRUE(CSettingsFrame::RegisterClasses(GetModuleHandleW(nullptr))); }
    void TearDown() override
    {
        if (frame.Window())
            DestroyWindow(frame.Window());
        CSettingsFrame::UnregisterClasses(GetModuleHandleW(nullptr));
        // the frame's end posted the quit message to this thread
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    void Pump(DWORD ms)
    {
        DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < ms) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message != WM_QUIT)
                    DispatchMessageW(&msg);
            }
            Sleep(10);
        }
    }

    CFakeHost host;
    CSettingsFrame frame;
};

}  // namespace

TEST_F(SettingsFrame, ClassesCarryTheProgramsIconAndMenu)
{
    WNDCLASSW frameClass = {}, chooserClass = {};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), kSettingsWindowClass, &frameClass));
    EXPECT_NE(nullptr, frameClass.hIcon);
    EXPECT_EQ(MAKEINTRESOURCEW(IDM_SETTINGS_FRAME), frameClass.lpszMenuName);
    EXPECT_EQ((HBRUSH)(COLOR_WINDOW + 1), frameClass.hbrBackground);
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), kLocationChooserClass, &chooserClass));
    EXPECT_EQ(16, chooserClass.cbWndExtra);
    EXPECT_EQ(nullptr, chooserClass.lpszMenuName);
    EXPECT_EQ((HBRUSH)(COLOR_BTNFACE + 1), chooserClass.hbrBackground);

    // the menu: Settings, a separator, Exit
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_SETTINGS_FRAME));
    ASSERT_NE(nullptr, menu);
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(3, GetMenuItemCount(file));
    EXPECT_EQ((UINT)IDM_SETTINGS_OPEN, GetMenuItemID(file, 0));
    EXPECT_EQ((UINT)IDM_SETTINGS_EXIT, GetMenuItemID(file, 2));
    MENUITEMINFOW separator = {sizeof(separator), MIIM_FTYPE};
    ASSERT_TRUE(GetMenuItemInfoW(file, 1, TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
    DestroyMenu(menu);
    // the drag cursors and the chooser's icon
    EXPECT_NE(nullptr, LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_DROP_ALLOWED)));
    EXPECT_NE(nullptr, LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_DROP_REFUSED)));
    EXPECT_NE(nullptr, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LOCATION_CHOOSER)));
}

TEST_F(SettingsFrame, OpensItsDialogAndStaysHidden)
{
    ASSERT_TRUE(frame.Create(GetModuleHandleW(nullptr), L"Settings"));
    EXPECT_EQ(1, host.dialogsMade);
    EXPECT_EQ(host.dialog, frame.Dialog());
    EXPECT_EQ(frame.Window(), GetWindow(host.dialog, GW_OWNER));
    EXPECT_FALSE(IsWindowVisible(frame.Window()));
    // Settings from the menu while the dialog is open makes no second one
    SendMessageW(frame.Window(), WM_COMMAND, IDM_SETTINGS_OPEN, 0);
    EXPECT_EQ(1, host.dialogsMade);
    // once it is gone, it does
    DestroyWindow(host.dialog);
    SendMessageW(frame.Window(), WM_COMMAND, IDM_SETTINGS_OPEN, 0);
    EXPECT_EQ(2, host.dialogsMade);
    EXPECT_EQ(host.dialog, frame.Dialog());
}

TEST_F(SettingsFrame, WithoutADialogThereIsNoFrame)
{
    host.canMakeDialog = false;
    EXPECT_FALSE(frame.Create(GetModuleHandleW(nullptr), L"Settings"));
    EXPECT_TRUE(frame.DialogFailed());
    EXPECT_EQ(nullptr, FindWindowW(kSettingsWindowClass, nullptr));
}

TEST_F(SettingsFrame, PassesMessagesOnToTheDialog)
{
    ASSERT_TRUE(frame.Create(GetModuleHandleW(nullptr), L"Settings"));
    HWND window = frame.Window();
    LPARAM packed = PackSettingsCommand(3, 2);
    EXPECT_EQ(0, SendMessageW(window, UM_SETTINGSCOMMAND, kSettingsAlarm, packed));
    SendMessageW(window, UM_SETTINGSCOMMAND, kSettingsNoCommand, packed);  // nothing to do
    std::vector<Seen> commands = host.SeenBy(host.dialog, UM_RUNSETTINGSCOMMAND);
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ((WPARAM)kSettingsAlarm, commands[0].wParam);
    EXPECT_EQ(packed, commands[0].lParam);

    // unchanged, with the dialog's answer
    const UINT passed[] = {UM_SETCLOCKONDESKTOP, UM_SYNCSTATUS, UM_MAPOVERLAYCHANGED};
    for (UINT message : passed) {
        SCOPED_TRACE(message);
        EXPECT_EQ(77, SendMessageW(window, message, 5, 1));
        std::vector<Seen> got = host.SeenBy(host.dialog, message);
        ASSERT_EQ(1u, got.size());
        EXPECT_EQ(5u, got[0].wParam);
        EXPECT_EQ(1, got[0].lParam);
    }
    // the pages are the dialog's business
    EXPECT_TRUE(host.SeenBy(host.page, UM_SYNCSTATUS).empty());

    SendMessageW(window, WM_WININICHANGE, 0, 0);
    EXPECT_EQ(1, host.styleReloads);
    EXPECT_EQ(1u, host.SeenBy(host.dialog, WM_WININICHANGE).size());
}

TEST_F(SettingsFrame, RelocalizeRetitlesAndReachesEveryNestedPage)
{
    ASSERT_TRUE(frame.Create(GetModuleHandleW(nullptr), L"Settings"));
    SendMessageW(frame.Window(), UM_RELOCALIZE, 0, 0);
    WCHAR title[64];
    GetWindowTextW(frame.Window(), title, 64);
    EXPECT_EQ(std::wstring(L"Settings, again"), title);
    EXPECT_EQ(1u, host.SeenBy(host.dialog, UM_RELOCALIZE).size());
    EXPECT_EQ(1u, host.SeenBy(host.page, UM_RELOCALIZE).size());
}

TEST_F(SettingsFrame, TheMainProgramsCloseGoesThroughTheDialog)
{
    // a dialog that keeps itself open keeps the program
    host.dialogClosesFrame = false;
    ASSERT_TRUE(frame.Create(GetModuleHandleW(nullptr), L"Settings"));
    HWND window = frame.Window();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, host.SeenBy(host.dialog, WM_CLOSE).size());
    EXPECT_TRUE(IsWindow(window));

    // a dialog that closes takes the frame with it
    host.dialogClosesFrame = true;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(2u, host.SeenBy(host.dialog, WM_CLOSE).size());
    EXPECT_FALSE(IsWindow(host.dialog));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, frame.Window());
    EXPECT_EQ(1, host.framesDestroyed);
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(SettingsFrame, ExitDestroysFrameAndDialog)
{
    ASSERT_TRUE(frame.Create(GetModuleHandleW(nullptr), L"Settings"));
    HWND window = frame.Window();
    SendMessageW(window, WM_COMMAND, IDM_SETTINGS_EXIT, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(host.dialog));
    EXPECT_EQ(1, host.framesDestroyed);
}

TEST_F(SettingsFrame, ZoneTimerRuns)
{
    ASSERT_TRUE(frame.Create(GetModuleHandleW(nullptr), L"Settings"));
    Pump(1000);
    // 300 ms apart; a slow machine may merge ticks, but not all of them
    EXPECT_GE(host.zoneChecks, 1);
    EXPECT_LE(host.zoneChecks, 4);
}

TEST_F(SettingsFrame, SecondStartEndsTheModalChooser)
{
    ASSERT_TRUE(frame.Create(GetModuleHandleW(nullptr), L"Settings"));
    struct Context {
        CSettingsFrame* frame;
    } context = {&frame};
    PostMessageW(frame.Window(), UM_CLOSEMODAL, 0, 0);
    std::vector<WORD> chooser = DialogTemplate(WS_POPUP | WS_CAPTION);
    INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), (DLGTEMPLATE*)chooser.data(), frame.Window(),
        [](HWND window, UINT message, WPARAM, LPARAM lParam) -> INT_PTR {
            if (message != WM_INITDIALOG)
                return FALSE;
            ((Context*)lParam)->frame->SetChooser(window);
            // a frame that did not end it would leave the test hanging here
            SetTimer(window, 1, 10000, [](HWND w, UINT, UINT_PTR, DWORD) { EndDialog(w, 99); });
            return TRUE;
        },
        (LPARAM)&context);
    frame.SetChooser(nullptr);
    EXPECT_EQ(16, result);
}
