// The timer panel in this process: its button image, where it opens and how
// it looks, what its buttons send, and when it goes.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/records/ClockRecord.h"
#include "tests/support/FakeLanguage.h"
#include "tests/support/PngFile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"
#include "windows/TimerPanel.h"

namespace {

const int kCellWidth = 10, kCellHeight = 8;

// The alpha of the fixture's pixel: every cell its own, so that a tile copied
// from the wrong place shows.
uint8_t CellAlpha(int column, int row)
{
    return (uint8_t)(40 + column * 60 + row * 30);
}

// RGBA, top-down: the background corner fully transparent, each cell one
// premultiplied colour whose red names its column and green its row.
std::vector<uint8_t> ButtonPixels()
{
    std::vector<uint8_t> rgba(3 * kCellWidth * 2 * kCellHeight * 4);
    for (int y = 0; y < 2 * kCellHeight; ++y)
        for (int x = 0; x < 3 * kCellWidth; ++x) {
            uint8_t* p = &rgba[((size_t)y * 3 * kCellWidth + x) * 4];
            int column = x / kCellWidth, row = y / kCellHeight;
            uint8_t alpha = CellAlpha(column, row);
            bool corner = x == 0 && y == 0;
            p[0] = corner ? 0 : (uint8_t)(10 + column);
            p[1] = corner ? 0 : (uint8_t)(20 + row);
            p[2] = corner ? 0 : 30;
            p[3] = corner ? 0 : alpha;
        }
    return rgba;
}

uint32_t Lifted(uint32_t alpha)
{
    uint32_t a = alpha * 127 / 255 + 128;
    return a > 255 ? 255 : a;
}

// Labels by string id, as the language library gives them.
class CPanelLanguage : public CFakeLanguage {
public:
    int GetString(UINT id, WCHAR* buffer, int chars) const override
    {
        const WCHAR* text = id == 253 ? L"Start" : id == 254 ? L"Stop" : id == 255 ? L"Reset" : L"";
        lstrcpynW(buffer, text, chars);
        return lstrlenW(buffer);
    }
};

// A window of the test's own standing for the clock's window and the main
// window: it answers the popup position and the click query and notes the
// rest in order.
class CPanelPeer {
public:
    struct Note {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    explicit CPanelPeer(int x = 200, int y = 150)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TlTimerPanelPeer";
        RegisterClassW(&wc);
        window = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, x, y, 60, 24,
                                 nullptr, nullptr, wc.hInstance, this);
    }
    ~CPanelPeer()
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    CPanelPeer(const CPanelPeer&) = delete;
    CPanelPeer& operator=(const CPanelPeer&) = delete;

    HWND window;
    POINT popup = {30, -40};  // client coordinates
    LRESULT click = 0;
    std::vector<Note> notes;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lParam)->lpCreateParams);
        auto* self = (CPanelPeer*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
        if (self && (message == WM_COMMAND || message >= WM_USER)) {
            self->notes.push_back({message, wParam, lParam});
            if (message == UM_TRAYCLOCKPOPUPPOS)
                return MAKELONG(self->popup.x, self->popup.y);
            if (message == UM_TRAYCLOCKCLICK)
                return self->click;
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
};

ClockRecord TimerClock(uint32_t id, uint32_t kind = kClockTimer | kClockCountdown, uint32_t running = 0)
{
    ClockRecord clock = {};
    clock.id = id;
    clock.kind = kind;
    clock.timerRunning = running;
    lstrcpyW(clock.caption, L"Tea & toast");
    return clock;
}

class TimerPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterWindowClasses(GetModuleHandleW(nullptr)));
        std::vector<uint8_t> rgba = ButtonPixels();
        ASSERT_TRUE(WritePngPixels(folder.File(L"tbuttons.png"), 3 * kCellWidth, 2 * kCellHeight, 4, rgba.data()));
    }
    void TearDown() override { panel.Close(); }

    // The panel's pixel at (x, y) from its top-left.
    uint32_t PanelPixel(int x, int y)
    {
        CDibSection& buffer = panel.BackBuffer();
        return buffer.GetBits()[(size_t)(buffer.GetHeight() - 1 - y) * buffer.GetWidth() + x];
    }
    // True when the tile at the panel's `left` is the fixture's cell with the lifted alpha.
    bool ShowsCell(int left, int column, int row)
    {
        for (int y = 0; y < kCellHeight; ++y)
            for (int x = 0; x < kCellWidth; ++x) {
                if (column == 0 && row == 0 && x == 0 && y == 0)
                    continue;  // the image's background corner
                uint32_t pixel = PanelPixel(left + x, 4 + y);
                uint32_t expected = (Lifted(CellAlpha(column, row)) << 24) | ((10u + column) << 16) |
                                    ((20u + row) << 8) | 30u;
                if (pixel != expected)
                    return false;
            }
        return true;
    }
    void Click(int downX, int upX, int y = 6)
    {
        SendMessageW(panel.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(downX, y));
        SendMessageW(panel.Window(), WM_LBUTTONUP, 0, MAKELPARAM(upX, y));
    }
    std::vector<CPanelPeer::Note> Sent(UINT from)
    {
        std::vector<CPanelPeer::Note> sent;
        for (const CPanelPeer::Note& note : main.notes)
            if (note.message >= from)
                sent.push_back(note);
        return sent;
    }

    CTempFolder folder;
    CPanelLanguage language;
    CTimerPanel panel{language, folder.Path().c_str()};
    CPanelPeer owner;
    CPanelPeer main{600, 400};
};

}  // namespace

TEST(TimerButtons, AlphaIsLiftedIntoTheUpperHalfAndOnly32BitImagesLoad)
{
    CTempFolder folder;
    const uint8_t alphas[] = {0, 1, 2, 127, 128, 254, 255};
    std::vector<uint8_t> rgba;
    for (int row = 0; row < 2; ++row)
        for (uint8_t alpha : alphas)
            rgba.insert(rgba.end(), {0, 0, 0, alpha});
    ASSERT_TRUE(WritePngPixels(folder.File(L"a.png"), 7, 2, 4, rgba.data()));
    CDibSection image;
    ASSERT_TRUE(LoadTimerButtons(folder.File(L"a.png").c_str(), &image));
    const uint32_t expected[] = {128, 128, 128, 191, 191, 254, 255};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(alphas[i]);
        EXPECT_EQ(image.GetPixel(i, 0) >> 24, expected[i]);
    }

    std::vector<uint8_t> rgb(30 * 16 * 3, 200);
    ASSERT_TRUE(WritePngPixels(folder.File(L"b.png"), 30, 16, 3, rgb.data()));
    EXPECT_FALSE(LoadTimerButtons(folder.File(L"b.png").c_str(), &image));
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(LoadTimerButtons(folder.File(L"missing.png").c_str(), &image));
}

TEST_F(TimerPanel, OpensWhereTheOwnerSaysAsALayeredPopupWithTheStartAndResetTiles)
{
    ClockRecord clock = TimerClock(7);
    ASSERT_TRUE(panel.Show(owner.window, clock, 3, main.window));
    HWND window = panel.Window();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_TRUE(panel.IsShown());

    WCHAR title[80] = {};
    GetWindowTextW(window, title, 80);
    EXPECT_STREQ(title, L"Tea & toast");
    DWORD exStyle = (DWORD)GetWindowLongPtrW(window, GWL_EXSTYLE);
    DWORD wanted = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED;
    EXPECT_EQ(exStyle & wanted, wanted);
    EXPECT_NE(GetForegroundWindow(), window);

    // two buttons: 2 x 10 + 2 x 4 + 4 wide; the label line under them
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    EXPECT_EQ(width, 32);
    EXPECT_GT(height, kCellHeight + 8);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].message, UM_TRAYCLOCKPOPUPPOS);
    EXPECT_EQ(owner.notes[0].wParam, 7u);
    EXPECT_EQ(owner.notes[0].lParam, MAKELPARAM(width, height));
    // the owner's answer is a signed point in its client area
    POINT at = {30, -40};
    ClientToScreen(owner.window, &at);
    EXPECT_EQ(rect.left, at.x);
    EXPECT_EQ(rect.top, at.y);

    // start (column 2) then reset (column 0), unpressed; the background is the image's corner, half visible
    EXPECT_TRUE(ShowsCell(4, 2, 0));
    EXPECT_TRUE(ShowsCell(18, 0, 0));
    EXPECT_EQ(PanelPixel(0, 0), 0x80000000u);
    // the labels: opaque white-ish pixels under the buttons
    int opaque = 0;
    for (int y = 4 + kCellHeight; y < height; ++y)
        for (int x = 0; x < width; ++x)
            opaque += (PanelPixel(x, y) >> 24) == 255;
    EXPECT_GT(opaque, 5);
}

TEST_F(TimerPanel, ButtonsFollowTheKindAndTheRunningState)
{
    struct Case {
        uint32_t kind, running;
        int buttons, first;
    } cases[] = {
        {kClockTimer | kClockCountdown, 0, 2, CTimerPanel::kStart},
        {kClockTimer | kClockCountdown, 1, 2, CTimerPanel::kStop},
        {kClockTimer, 3, 2, CTimerPanel::kStop},
        {kClockTimer | kClockFixedMoment, 0, 1, CTimerPanel::kStart},
        {kClockTimer | kClockCountdown | kClockFixedMoment, 1, 1, CTimerPanel::kStop},
    };
    uint32_t id = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(panel.Show(owner.window, TimerClock(id++, c.kind, c.running), 0, main.window));
        EXPECT_EQ(panel.ButtonCount(), c.buttons);
        EXPECT_EQ(panel.ButtonImage(0), c.first);
        if (c.buttons == 2) {
            EXPECT_EQ(panel.ButtonImage(1), CTimerPanel::kReset);
        }
        RECT rect;
        GetWindowRect(panel.Window(), &rect);
        EXPECT_EQ(rect.right - rect.left, c.buttons * 14 + 4);
        EXPECT_TRUE(ShowsCell(4, c.first, 0));
        panel.Close();
    }
    ClockRecord started = TimerClock(9, kClockTimer);
    ASSERT_TRUE(panel.Show(owner.window, started, 0, main.window));
    started.timerRunning = 1;
    panel.Update(started);
    EXPECT_TRUE(ShowsCell(4, CTimerPanel::kStop, 0));

    // a plain clock gets no panel
    panel.Close();
    EXPECT_FALSE(panel.Show(owner.window, TimerClock(10, 0), 0, main.window));
    EXPECT_EQ(panel.Window(), nullptr);
}

TEST_F(TimerPanel, AButtonSendsTheClocksNoticeByItsIndexThenTheCommand)
{
    // the clock's id and its place in the array differ once a clock was deleted
    ASSERT_TRUE(panel.Show(owner.window, TimerClock(5), 1, main.window));
    SendMessageW(panel.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 6));
    EXPECT_TRUE(ShowsCell(4, 2, 1));  // pressed: from the second row
    SendMessageW(panel.Window(), WM_LBUTTONUP, 0, MAKELPARAM(7, 6));
    std::vector<CPanelPeer::Note> sent = Sent(0);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].message, UM_TRAYCLOCKMOUSE + 1);
    EXPECT_EQ(sent[0].wParam, (WPARAM)WM_LBUTTONUP);
    EXPECT_EQ(sent[0].lParam, MAKELPARAM(7, 6));
    EXPECT_EQ(sent[1].message, (UINT)WM_COMMAND);
    EXPECT_EQ(LOWORD(sent[1].wParam), kCmdStartTimer);
    EXPECT_TRUE(ShowsCell(4, 2, 0));

    main.notes.clear();
    Click(20, 21);
    sent = Sent(0);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(LOWORD(sent[1].wParam), kCmdResetTimer);

    // released elsewhere: on the other button, in the gap, under the buttons, outside
    struct Release {
        int x, y;
    } elsewhere[] = {{20, 6}, {15, 6}, {6, 4 + kCellHeight + 2}, {-5, 6}, {6, 2}};
    for (const Release& r : elsewhere) {
        SCOPED_TRACE(r.x * 100 + r.y);
        main.notes.clear();
        SendMessageW(panel.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 6));
        SendMessageW(panel.Window(), WM_LBUTTONUP, 0, MAKELPARAM(r.x, r.y));
        EXPECT_TRUE(Sent(0).empty());
        EXPECT_TRUE(ShowsCell(4, 2, 0));
    }
}

TEST_F(TimerPanel, TheMouseLeavingThePanelClosesItAndItOpensAgain)
{
    ASSERT_TRUE(panel.Show(owner.window, TimerClock(2), 0, main.window));
    HWND first = panel.Window();
    SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(first, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(panel.Window(), nullptr);
    EXPECT_FALSE(panel.IsShown());
    ASSERT_TRUE(panel.Show(owner.window, TimerClock(2), 0, main.window));
    EXPECT_TRUE(IsWindow(panel.Window()));
}

TEST_F(TimerPanel, ShownAgainForTheSameClockItStaysForAnotherItMovesThere)
{
    ASSERT_TRUE(panel.Show(owner.window, TimerClock(2), 0, main.window));
    HWND first = panel.Window();
    ASSERT_TRUE(panel.Show(owner.window, TimerClock(2), 0, main.window));
    EXPECT_EQ(panel.Window(), first);
    EXPECT_EQ(owner.notes.size(), 1u);  // not asked again
    ASSERT_TRUE(panel.Show(owner.window, TimerClock(3), 1, main.window));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(owner.notes.back().wParam, 3u);
}

TEST_F(TimerPanel, AfterTheMouseLeftTheOwnersAnswerDecides)
{
    // the owner says the mouse is still on the clock's button: it stays
    owner.click = 1;
    ASSERT_TRUE(panel.Show(owner.window, TimerClock(4), 0, main.window));
    HWND window = panel.Window();
    PumpUntil([] { return false; }, 1800);
    EXPECT_TRUE(IsWindow(window));
    bool asked = false;
    for (const CPanelPeer::Note& note : owner.notes)
        asked |= note.message == UM_TRAYCLOCKCLICK && note.wParam == 4;
    EXPECT_TRUE(asked);

    // then it says no: gone within the next 1.5 s
    owner.click = 0;
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 1600));
    EXPECT_EQ(panel.Window(), nullptr);
}

TEST_F(TimerPanel, AHeldButtonKeepsItWhateverTheOwnerSays)
{
    owner.click = 0;
    ASSERT_TRUE(panel.Show(owner.window, TimerClock(4), 0, main.window));
    HWND window = panel.Window();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 6));
    PumpUntil([] { return false; }, 1800);
    EXPECT_TRUE(IsWindow(window));
    for (const CPanelPeer::Note& note : owner.notes)
        EXPECT_NE(note.message, UM_TRAYCLOCKCLICK);  // not even asked
    // let go outside the buttons: nothing sent, and the owner's no closes it
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(-20, 6));
    EXPECT_TRUE(Sent(0).empty());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 1600));
}

TEST_F(TimerPanel, AnOwnerThatIsGoneOrAnImageThatIsNot32BitOpensNothing)
{
    HWND gone = owner.window;
    DestroyWindow(gone);
    EXPECT_FALSE(panel.Show(gone, TimerClock(1), 0, main.window));
    EXPECT_EQ(panel.Window(), nullptr);

    CTempFolder other;
    std::vector<uint8_t> rgb(30 * 16 * 3, 90);
    ASSERT_TRUE(WritePngPixels(other.File(L"tbuttons.png"), 30, 16, 3, rgb.data()));
    CTimerPanel flat(language, other.Path().c_str());
    CPanelPeer live;
    EXPECT_FALSE(flat.Show(live.window, TimerClock(1), 0, main.window));
    EXPECT_EQ(flat.Window(), nullptr);
    EXPECT_TRUE(live.notes.empty());
}
