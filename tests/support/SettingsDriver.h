// Drives a running settings program from the test's process as a user would:
// the TL_SETTINGS frame, its settings dialog, the tree and the visible page.
// Only messages that carry no pointer are sent (the system does not copy
// what a pointer points to between processes); the tree's item rectangles
// and texts are read through a block placed in the program's process.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "settings/dialog/PageProtocol.h"

// A tree node by position: root index, child index (-1: the root itself)
// and the child's child (-1: the child itself). The roots are the six page
// nodes, then one node per clock whose children are Desktop, Formats,
// Alarms and Backgrounds; the last two hold the alarms and backgrounds.
struct TreePosition {
    int root;
    int child = -1;
    int entry = -1;
};
inline bool operator==(const TreePosition& a, const TreePosition& b)
{
    return a.root == b.root && a.child == b.child && a.entry == b.entry;
}

const int kTreeRootGeneral = 0;
const int kTreeRootProfiles = 1;
const int kTreeRootTime = 2;
const int kTreeRootCalendar = 3;
const int kTreeRootNews = 4;
const int kTreeRootTaskbar = 5;
const int kTreeFirstClock = 6;
const int kClockChildDesktop = 0;
const int kClockChildFormats = 1;
const int kClockChildAlarms = 2;
const int kClockChildBackgrounds = 3;

class CSettingsDriver {
public:
    // `process` with VM access (the handle of its start), `pid` its id.
    CSettingsDriver(HANDLE process, DWORD pid) : m_process(process), m_pid(pid) {}

    // Waits for the process's TL_SETTINGS frame and its shown settings
    // dialog with a tree; false when they did not come within `ms`.
    bool Attach(DWORD ms);
    HWND Frame() const { return m_frame; }
    HWND Dialog() const { return m_dialog; }
    HWND Tree() const { return Control(kIdcSettingsTree); }
    HWND Control(int id) const { return GetDlgItem(m_dialog, id); }

    // The shown page (a "#32770" child of the dialog) and its template id
    // (its window id); null and 0 when none is shown.
    HWND VisiblePage() const;
    int VisiblePageTemplate() const;
    // A control of the shown page.
    HWND PageControl(int id) const;

    // BM_CLICK; false when the window did not answer within 5 s.
    bool Click(HWND button) const;
    bool ClickDialogButton(int id) const { return Click(Control(id)); }
    // Posted BM_CLICK, for a button whose handler does not return soon (OK,
    // Close: the program ends; a modal box).
    bool PostClick(HWND button) const;
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    std::wstring Text(HWND window) const;
    bool SetText(HWND window, const std::wstring& text) const;
    int Checked(HWND button) const;
    // CB_SETCURSEL and the parent's CBN_SELCHANGE, as a user's choice.
    bool ChooseComboItem(HWND combo, int index) const;

    // Null when there is no such node.
    HTREEITEM Item(TreePosition at) const;
    int RootCount() const;
    int ChildCount(int root) const;
    // The selected node; {-1} when none.
    TreePosition Selected() const;
    bool Select(TreePosition at) const;
    // The item's state image: kCheckImageNone, kCheckImageOff or kCheckImageOn.
    UINT CheckImage(TreePosition at) const;
    // The item's text, read in the program's process; empty when it failed.
    std::wstring ItemText(TreePosition at) const;
    // The item's text rectangle in screen coordinates; false when it is not shown.
    bool ItemTextRect(TreePosition at, RECT* r) const;

    // Waits until the selection is `at` and its page template `templateId`.
    bool WaitForSelection(TreePosition at, int templateId, DWORD ms) const;

private:
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

    HANDLE m_process;
    DWORD m_pid;
    HWND m_frame = nullptr;
    HWND m_dialog = nullptr;
};
