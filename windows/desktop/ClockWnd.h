// One clock on the desktop: a borderless layered window that shows a clock of
// the main program's array with its skin, moved by dragging, sized by the
// wheel, the keyboard or its edges, optionally topmost and grouped with
// others. Belongs to a CDesktopClocks, which creates, ticks and deletes it.
// GUI thread only.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "graphics/window/Window.h"

class CClock;
class CDesktopClocks;
class CGraphics;
struct ClockRecord;

class CClockWnd : public CAlphaWindow {
public:
    // Drag states
    static const int kIdle = 0;
    static const int kMoving = 1;
    static const int kSizing = 2;
    // Sizing edges
    static const int kRightEdge = 1;
    static const int kBottomEdge = 2;

    explicit CClockWnd(CDesktopClocks& owner);
    // Leaves the collection, then goes with its clock and skin reference.
    ~CClockWnd() override;

    bool OnMessage(WindowMessage& message) override;
    // Paints the clock into the back buffer before it goes on the screen.
    bool UpdateLayered(HDC dc) override;
    // Fills the back buffer: background or colour key, then the clock.
    void PaintBackground(HDC dc);
    // Skin, clock, window and place for `record` (element `index` of the
    // clock array), with the saved desktop keys of its section; false when
    // the skin or the window cannot be had. `record` gets the default skin
    // name when it has none.
    bool LoadSettings(HWND parent, ClockRecord& record, int index);
    void SaveSettings();

    // A new date key or second: repaints when the clock shows a change.
    void Tick(int64_t dateKey, int second, const SYSTEMTIME& utc, bool force);
    // The top-left corner the on-screen rule moves the window to; false
    // when it stays.
    bool FindOnScreenPlace(POINT* place) const;

    CClock* Clock() const { return m_clock; }
    int ClockIndex() const { return m_clockIndex; }
    uint32_t ClockId() const;
    int Group() const { return m_group; }
    int ZPosition() const { return m_z; }
    void SetZPosition(int z) { m_z = z; }
    bool IsOnTop() const { return m_onTop != 0; }
    // Topmost or not, applied to the window.
    void SetOnTop(bool onTop);
    bool IsArmed() const { return m_armed != 0; }
    bool IsTextSkin() const { return m_textSkin; }
    int DragState() const { return m_drag; }
    SIZE NaturalSize() const { return m_natural; }
    void GetBounds(RECT* rect) const;

private:
    bool OnCommand(WPARAM wParam, LRESULT* result);
    void OnContextMenu(LPARAM lParam);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnLeftButtonDown(LPARAM lParam);
    void OnKeyDown(WPARAM key, LRESULT* result, bool* handled);
    void OnWheel(int delta);
    void OnMinMaxInfo(MINMAXINFO* info) const;
    bool OnSetCursor();
    // The clock's layout and rectangle at its current size; the window
    // size around it becomes the natural size.
    SIZE FitClock(int largestWidth, int largestHeight);
    // Grows a client size by the window frame.
    SIZE WindowSizeFor(int clientWidth, int clientHeight) const;
    // A face clock sized by its edges: the face that fits the window now.
    void FitToWindow();
    // Moves and sizes the window so that its centre stays.
    void ResizeAroundCentre(SIZE size, bool repaint);
    // The array's timer state into the clock (before), and back (after).
    void TakeTimerState();
    void GiveTimerState();
    COLORREF PaintKey() const;
    LRESULT SendToMainWindow(WPARAM wParam, LPARAM lParam);
    int ReadKey(const WCHAR* key, int def) const;
    void WriteKey(const WCHAR* key, int value) const;

    CDesktopClocks& m_owner;
    CGraphics* m_skin;
    CClock* m_clock;
    int m_clockIndex;
    int m_fontIndex;
    SIZE m_natural;
    bool m_textSkin;
    bool m_transparentBack;
    int m_drag;
    int m_edges;
    POINT m_grab;
    RECT m_pressRect;
    int64_t m_lastDateKey;
    int m_lastSecond;
    BYTE m_onTop;
    BYTE m_armed;
    LPARAM m_lastHover;
    int32_t m_group;
    int32_t m_z;
    bool m_hasSavedPosition;
    bool m_trackingLeave;
};
