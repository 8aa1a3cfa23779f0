#include <gtest/gtest.h>

#include <stdlib.h>
#include <windows.h>

#include "graphics/clock/Clock.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/skin/Graphics.h"
#include "graphics/window/PopupPosition.h"
#include "tests/windows/DesktopClockFixture.h"

namespace {

using ClockWnd = DesktopClockFixture;

SIZE SizeOf(const RECT& r)
{
    return {r.right - r.left, r.bottom - r.top};
}

bool Same(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// A back-buffer pixel (0xAARRGGBB) as a COLORREF, alpha dropped.
COLORREF ColourOf(uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// A window whose colour key the test reads.
class CKeyProbe : public CClockWnd {
public:
    using CClockWnd::CClockWnd;
    COLORREF Key() const { return m_colorKey; }
};

}  // namespace

TEST_F(ClockWnd, ArrowAndPlusMinusKeysStepTheAlphaWithinItsLimits)
{
    ASSERT_TRUE(Create({Clock(1, kTextSkin)}));
    CClockWnd* window = Window(1);
    ASSERT_NE(nullptr, window);
    struct {
        int before;
        WPARAM key;
        int after;
    } cases[] = {
        {200, VK_UP, 208},      {200, VK_ADD, 208},       {250, VK_UP, 255}, {255, VK_ADD, 255},
        {100, VK_DOWN, 92},     {100, VK_SUBTRACT, 92},   {20, VK_DOWN, 16}, {16, VK_SUBTRACT, 16},
        {100, VK_LEFT, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << " key " << c.key);
        window->SetAlpha(c.before);
        SendMessageW(window->GetHandle(), WM_KEYDOWN, c.key, 0);
        EXPECT_EQ(c.after, window->GetAlpha());
    }
}

// Page Up and Down step the font; the window follows. (Shrinking stops short
// of the skin's own size, so Page Down is tried after two steps up.)
TEST_F(ClockWnd, PageKeysSizeATextClock)
{
    ASSERT_TRUE(Create({Clock(1, kClassicLook)}));
    CClockWnd* window = Window(1);
    HWND hwnd = window->GetHandle();
    SIZE before = SizeOf(Bounds(window));
    SendMessageW(hwnd, WM_KEYDOWN, VK_PRIOR, 0);
    SIZE larger = SizeOf(Bounds(window));
    EXPECT_GT(larger.cx, before.cx);
    EXPECT_GT(larger.cy, before.cy);
    SendMessageW(hwnd, WM_KEYDOWN, VK_PRIOR, 0);
    larger = SizeOf(Bounds(window));
    int font = window->Clock()->GetFontSize();
    SendMessageW(hwnd, WM_KEYDOWN, VK_NEXT, 0);
    SIZE smaller = SizeOf(Bounds(window));
    EXPECT_LT(abs(window->Clock()->GetFontSize()), abs(font));
    EXPECT_LT(smaller.cx, larger.cx);
    EXPECT_LT(smaller.cy, larger.cy);
}

// The wheel sizes only a window clicked since the mouse last left it.
TEST_F(ClockWnd, WheelSizesAroundTheCentreOnceArmed)
{
    ASSERT_TRUE(Create({Clock(1, kClassicLook)}));
    CClockWnd* window = Window(1);
    HWND hwnd = window->GetHandle();
    SetWindowPos(hwnd, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT before = Bounds(window);

    SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-WHEEL_DELTA), 0);
    EXPECT_FALSE(window->IsArmed());
    EXPECT_TRUE(Same(before, Bounds(window)));

    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(window->IsArmed());
    // less than a notch is no step
    SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-(WHEEL_DELTA / 2)), 0);
    EXPECT_TRUE(Same(before, Bounds(window)));

    POINT centre = Centre(before);
    RECT larger = before;
    for (int step = 0; step < 2; ++step) {
        SCOPED_TRACE(step);
        RECT was = larger;
        SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-WHEEL_DELTA), 0);
        larger = Bounds(window);
        EXPECT_GT(SizeOf(larger).cx, SizeOf(was).cx);
        EXPECT_GT(SizeOf(larger).cy, SizeOf(was).cy);
        EXPECT_EQ(centre.x, Centre(larger).x);
        EXPECT_EQ(centre.y, Centre(larger).y);
    }
    SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    RECT smaller = Bounds(window);
    EXPECT_LT(SizeOf(smaller).cx, SizeOf(larger).cx);
    EXPECT_EQ(centre.x, Centre(smaller).x);
    EXPECT_EQ(centre.y, Centre(smaller).y);
}

// The main program places a timer's popup through the desktop window as it
// does through the tray clock: beside or below the window, on the work area.
TEST_F(ClockWnd, AnswersThePopupPositionBesideTheWindow)
{
    ASSERT_TRUE(Create({Stopwatch(1, kTextSkin)}));
    HWND hwnd = Window(1)->GetHandle();
    RECT work = MonitorWorkArea(hwnd);
    SIZE size = SizeOf(Bounds(Window(1)));
    const int width = 200, height = 120;
    struct {
        const char* name;
        POINT place;  // the window's top left
        POINT want;   // the popup's top left on the screen
    } cases[] = {
        {"below, its middle near the right edge", {work.left + 300, work.top + 50},
         {work.left + 300 + size.cx - width / 2 - 5, work.top + 50 + size.cy}},
        {"above at the bottom", {work.left + 300, work.bottom - size.cy},
         {work.left + 300 + size.cx - width / 2 - 5, work.bottom - size.cy - height}},
        {"kept inside at the left", {work.left, work.top + 50}, {work.left, work.top + 50 + size.cy}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetWindowPos(hwnd, nullptr, c.place.x, c.place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        LRESULT packed = SendMessageW(hwnd, UM_TRAYCLOCKPOPUPPOS, 1, MAKELPARAM(width, height));
        // client coordinates of a window without a frame
        EXPECT_EQ(c.want.x - c.place.x, (short)LOWORD(packed));
        EXPECT_EQ(c.want.y - c.place.y, (short)HIWORD(packed));
    }
}

// A click is the timer's when its own id comes with the cursor on its button.
TEST_F(ClockWnd, TakesAClickOnlyOnItsTimerButton)
{
    ASSERT_TRUE(Create({Stopwatch(3, kTextSkin)}));
    CClockWnd* window = Window(3);
    HWND hwnd = window->GetHandle();
    SetWindowPos(hwnd, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(hwnd, &client);
    POINT button = {-1, -1};
    for (int x = client.right - 1; x >= 0 && button.x < 0; --x)
        for (int y = 0; y < client.bottom && button.x < 0; ++y)
            if (window->Clock()->HitButton({x, y}))
                button = {x, y};
    ASSERT_GE(button.x, 0) << "the timer has no button";
    ASSERT_FALSE(window->Clock()->HitButton({0, 0}));

    POINT old;
    GetCursorPos(&old);
    struct {
        const char* name;
        POINT at;  // client point of the cursor
        WPARAM id;
        LRESULT want;
    } cases[] = {
        {"on the button", button, 3, 1},
        {"another clock's id", button, 4, 0},
        {"beside the button", {0, 0}, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        POINT screen = c.at;
        ClientToScreen(hwnd, &screen);
        ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
        EXPECT_EQ(c.want, SendMessageW(hwnd, UM_TRAYCLOCKCLICK, c.id, 0));
    }
    SetCursorPos(old.x, old.y);
}

// A transparent face clock leaves the desktop around the face, and shows its
// face at once, also after it was sized by its edge (a face without a seconds
// hand is not painted again before its minute changes).
TEST_F(ClockWnd, TransparentFaceShowsOnlyItsFace)
{
    ASSERT_TRUE(Create({Clock(1, kFaceSkin, kClockTransparent)}));
    CClockWnd* window = Window(1);
    HWND hwnd = window->GetHandle();
    SetWindowPos(hwnd, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT made = Bounds(window);
    for (const char* moment : {"made", "sized by its edge"}) {
        SCOPED_TRACE(moment);
        if (moment[0] == 's') {
            // drag the bottom-right corner 40 pixels in
            SIZE size = SizeOf(made);
            SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(size.cx - 2, size.cy - 2));
            ASSERT_TRUE(window->DragState() == CClockWnd::kSizing);
            SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(size.cx - 42, size.cy - 42));
            SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(size.cx - 42, size.cy - 42));
            EXPECT_LT(SizeOf(Bounds(window)).cx, size.cx);
        } else {
            ASSERT_TRUE(window->Redraw());
        }
        const CDibSection& buffer = window->BackBuffer();
        int width = buffer.GetWidth(), height = buffer.GetHeight();
        ASSERT_GT(width, 8);
        // nothing at all in the corners: no key colour either
        EXPECT_EQ(0u, buffer.GetPixel(0, 0));
        EXPECT_EQ(0u, buffer.GetPixel(width - 1, height - 1));
        EXPECT_NE(0u, buffer.GetPixel(width / 2, height / 2) >> 24);
    }
}

// Under a visual style the built-in look has a rounded frame: the corners
// outside it are keyed out, and its face-coloured inside, which the key would
// cut out as well, is painted one step off the key.
TEST_F(ClockWnd, RoundedFrameKeysTheCornersAndKeepsAKeyColouredInside)
{
    styles.SetActive(true);
    host.clocks = {Clock(1, kClassicLook)};
    CKeyProbe* window = new CKeyProbe(*clocks);  // the collection deletes it
    ASSERT_TRUE(window->LoadSettings(nullptr, host.clocks[0], 0));
    COLORREF key = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(key, window->Key());

    CGraphics* skin = window->Clock()->GetSkin();
    ASSERT_EQ(kBorderRounded, skin->GetBorderStyle());
    COLORREF back = skin->GetBackColor();
    ASSERT_EQ(key, back) << "the look's face is the key colour";
    window->PaintBackground(nullptr);
    const CDibSection& buffer = window->BackBuffer();
    int width = buffer.GetWidth(), height = buffer.GetHeight();
    for (POINT corner : {POINT{0, 0}, POINT{width - 1, 0}, POINT{0, height - 1}, POINT{width - 1, height - 1}}) {
        SCOPED_TRACE(testing::Message() << corner.x << "," << corner.y);
        EXPECT_EQ(key, ColourOf(buffer.GetPixel(corner.x, corner.y)));
    }
    EXPECT_EQ(key ^ 1, ColourOf(buffer.GetPixel(width / 2, height - 3)));
    EXPECT_EQ(back, skin->GetBackColor()) << "the shared skin keeps its own colour";
}
