// The clocks drawn in the taskbar's clock window: up to 12 clock objects
// built from the pushed clock copies, laid out in rows or columns inside the
// room the taskbar offers, ticked, hit-tested and painted through one
// off-screen bitmap. Taskbar GUI thread only.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "graphics/image/Bitmap.h"
#include "graphics/clock/Clock.h"
#include "taskbar/panel/PanelLayout.h"
#include "taskbar/tray/TrayCopies.h"

class CGraphics;
class CVisualStyles;

// Where the panel sits in the taskbar (flags of Layout and Measure).
const int kEdgeRight = kPanelRightEnd;
const int kEdgeBottom = kPanelBottomEnd;
const int kEdgeLeft = kPanelLeftEnd;
const int kEdgeTop = kPanelTopEnd;

struct PanelClock {
    int index;          // into the clock copies
    RECT rect;          // inside the panel
};

// What the panel's clocks are made with; everything outlives the panel's use.
struct PanelEnvironment {
    ClockContext context;
    CVisualStyles* styles;      // null: plain GDI
};

// A new style with one reference for the taskbar's skin name, or null.
typedef CGraphics* (*CreateSkinFn)(const SettingsBlock& settings, CVisualStyles* styles);
// Drops the panel's reference (deleting the style at zero).
typedef void (*ReleaseSkinFn)(CGraphics* skin);

CGraphics* CreatePanelSkin(const SettingsBlock& settings, CVisualStyles* styles);
void ReleasePanelSkin(CGraphics* skin);

class CClockPanel {
public:
    CClockPanel();
    ~CClockPanel();
    CClockPanel(const CClockPanel&) = delete;
    CClockPanel& operator=(const CClockPanel&) = delete;

    // Must be set before Rebuild; without it the panel stays empty.
    void SetEnvironment(const PanelEnvironment* environment) { m_environment = environment; }
    void SetSkinFunctions(CreateSkinFn create, ReleaseSkinFn release);
    // Replaces GetSystemTime for ticks (tests).
    void SetClockSource(void (*now)(SYSTEMTIME* utc)) { m_now = now; }

    // Drops the clocks and builds them from the copies: the last "trayclocks"
    // enabled clocks that are not on the desktop, at most 12. The copies must
    // outlive the panel's use of them, or Clear must come first.
    void Rebuild(TrayCopies& copies);
    void Reload(TrayCopies& copies) { Rebuild(copies); }
    void Clear();
    // Lays the clocks out in the room the taskbar offers, then measures.
    void Layout(HDC dc, HTHEME theme, int width, int height, bool horizontal, int edges);
    void Measure(HDC dc, int edges);
    // The largest update result: 0 nothing changed, 1 a text changed, 2 a
    // size changed. Within the same second only a forced tick does anything.
    int Tick(bool force);
    // The clock copy index of the clock at a client point, or -1.
    int HitTest(int x, int y) const;
    CClock* ClockAtPoint(int x, int y) const;
    // Whether the point lies on the clock's button (timer clocks).
    bool HitsButton(int index, int x, int y) const;
    bool Click(int index, int x, int y) const { return HitsButton(index, x, y); }
    // The panel clock of the record with this clock id, or null.
    const PanelClock* ClockById(uint32_t id) const;
    RECT GetRect() const { return m_extent; }
    int Count() const { return (int)m_count; }
    const PanelClock& Clock(int i) const { return m_clocks[i]; }
    CClock* Object(int i) const { return m_objects[i]; }
    int GetSpacing() const { return m_spacing; }
    // Paints the background and the clocks through an off-screen bitmap.
    void Paint(HWND window, HDC dc, HTHEME theme, bool themeActive);

private:
    int ObjectOfIndex(int index) const;
    void PaintBackground(HWND window, HDC dc, HTHEME theme, bool themeActive, HDC memory, int width, int height);

    int32_t m_dayKey;
    int32_t m_seconds;
    CClock* m_objects[kMaxTrayClocks];
    uint32_t m_count;
    int32_t m_spacing;
    RECT m_extent;
    CBitmap m_background;
    CDibSection m_buffer;

    PanelClock m_clocks[kMaxTrayClocks];
    TrayCopies* m_copies;
    const PanelEnvironment* m_environment;
    CreateSkinFn m_createSkin;
    ReleaseSkinFn m_releaseSkin;
    void (*m_now)(SYSTEMTIME* utc);
};
