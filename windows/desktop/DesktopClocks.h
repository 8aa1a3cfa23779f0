// The desktop clock windows of the main program: made after the settings are
// loaded, given the time on the main window's timer, hidden while a map is
// open, saved before the settings are written back. GUI thread only.
#pragma once

#include <stdint.h>
#include <windows.h>

#include <vector>

#include "graphics/clock/Clock.h"
#include "graphics/system/Handles.h"
#include "app/main/MainSeams.h"

class CClockWnd;
class CSkinManager;
class CVisualStyles;
struct SettingsBlock;
struct SettingsPaths;

// The program's cursor resource of the drag cursor.
const WORD kDragCursorResource = 106;

// What the windows reach in the main program.
class IDesktopClockHost {
public:
    virtual HWND MainWindow() = 0;
    virtual bool IsTaskbarHookInPlace() = 0;
    virtual IMainMenu& Menu() = 0;
    // The default skin name, the week rules and the local highlight.
    virtual const SettingsBlock& ProgramSettings() = 0;
    // The clock array, whose timer state a desktop timer shares.
    virtual ClockRecord* Clocks() = 0;
    virtual int ClockCount() = 0;

protected:
    ~IDesktopClockHost() = default;
};

// Everything outlives the collection.
struct DesktopClockServices {
    const SettingsPaths* paths;  // the settings file and the user's prefix
    CSkinManager* skins;
    CVisualStyles* styles;       // may be null: no visual styles
    ClockContext context;        // week rules and highlight are taken from the host's settings
    const CModule* resources;    // the language library, which a language reload replaces; may be null
    HMODULE program;             // the drag cursor and the window icon; null: neither
};

class CDesktopClocks : public IDesktopClocks {
public:
    static const int kMaxWindows = 30;

    explicit CDesktopClocks(const DesktopClockServices& services);
    ~CDesktopClocks() override;
    CDesktopClocks(const CDesktopClocks&) = delete;
    CDesktopClocks& operator=(const CDesktopClocks&) = delete;

    // Before the first Create.
    void SetHost(IDesktopClockHost* host) { m_host = host; }

    // IDesktopClocks
    bool Create(ClockRecord* clocks, int count) override;
    void Destroy() override;
    bool GiveTime(bool force) override;
    bool Hide() override;
    bool Show() override;
    bool BringForward(bool toDesktop) override;
    int CountOutsideWorkArea() override;
    void KeepOnScreen() override;
    void SavePositions() override;
    HWND DispatchCommand(WPARAM wParam) override;
    HWND Find(uint32_t clockId) override;
    bool CreateOne(ClockRecord& clock, int index) override;
    void DestroyOne(uint32_t clockId) override;

    // What the windows share.
    int Count() const { return (int)m_windows.size(); }
    CClockWnd* At(int index) const { return m_windows[index]; }
    CClockWnd* FindWindow(uint32_t clockId) const;
    // False when the collection is full.
    bool Add(CClockWnd* window);
    void Remove(CClockWnd* window);
    bool IsBusy() const { return m_busy > 0; }
    bool IsHidden() const { return m_hidden > 0; }
    HCURSOR DragCursor() const { return m_dragCursor.Get(); }
    IDesktopClockHost* Host() const { return m_host; }
    const DesktopClockServices& Services() const { return m_services; }
    ClockContext Context() const;
    // Z positions from the real stacking order (topmost 0), unless busy.
    void RenumberZ();
    // Grouped windows first, then by z position.
    void SortForStacking();
    // The windows of `group` (not 0), sorted for stacking.
    std::vector<CClockWnd*> GroupWindows(int group) const;
    // Puts the group's windows on top without activating them.
    void RaiseGroup(int group);

private:
    bool CreateWindowFor(ClockRecord& clock, int index);
    void ShowAll();

    DesktopClockServices m_services;
    IDesktopClockHost* m_host;
    std::vector<CClockWnd*> m_windows;
    int m_hidden;
    int m_busy;
    int64_t m_lastDateKey;
    int m_lastSecond;
    CCursor m_dragCursor;
};
