// The clocks drawn in the taskbar's clock window. This version shows each
// clock's time as plain text; the skinned clock objects take its place behind
// the same operations. Taskbar GUI thread only.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "TrayCopies.h"

// Where the panel sits in the taskbar (flags of Layout and Measure).
const int kEdgeRight = 1;    // right end of a horizontal taskbar
const int kEdgeBottom = 2;   // bottom of a vertical taskbar
const int kEdgeLeft = 4;
const int kEdgeTop = 8;

struct PanelClock {
    int index;          // into the clock copies
    RECT rect;          // inside the panel
    WCHAR text[32];
};

class CClockPanel {
public:
    CClockPanel();
    CClockPanel(const CClockPanel&) = delete;
    CClockPanel& operator=(const CClockPanel&) = delete;

    // Drops the clocks and builds them from the copies (the last "trayclocks"
    // enabled clocks that are not on the desktop, at most 12). The copies must
    // outlive the panel's use of them, or Clear must come first.
    void Rebuild(const TrayCopies& copies);
    void Clear();
    // Lays the clocks out in the room the taskbar offers, then measures.
    void Layout(HDC dc, HTHEME theme, int width, int height, bool horizontal, int edges);
    void Measure(HDC dc, int edges);
    // 0 nothing changed, 1 a text changed, 2 a size changed; within the same
    // second only a forced tick does anything.
    int Tick(bool force);
    // The clock copy index of the clock at a client point, or -1.
    int HitTest(int x, int y) const;
    // Whether the point lies on the clock's button (timer clocks), and a
    // click there; this version draws no buttons.
    bool HitsButton(int index, int x, int y) const { return false; }
    bool Click(int index, int x, int y) { return false; }
    // The panel clock of the record with this clock id, or null.
    const PanelClock* ClockById(uint32_t id) const;
    RECT GetRect() const { return m_extent; }
    int Count() const { return m_count; }
    const PanelClock& Clock(int i) const { return m_clocks[i]; }
    // Paints the background and the clocks through an off-screen bitmap.
    void Paint(HWND window, HDC dc, HTHEME theme, bool themeActive);

private:
    void FormatClock(PanelClock& clock, const SYSTEMTIME& utc);

    const TrayCopies* m_copies;
    int32_t m_dayKey;
    int32_t m_seconds;
    PanelClock m_clocks[kMaxTrayClocks];
    int m_count;
    int m_spacing;
    RECT m_extent;
    HBITMAP m_background;
};
