// The settings dialog's state and handlers, shared by its message handling
// (SettingsDialog.cpp) and its actions (DialogActions.cpp). GUI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "settings/dialog/SettingsDialog.h"

class CTreeNode;

class CSettingsDialog {
public:
    CSettingsDialog(HWND hwnd, SettingsDialogServices& services) : m_hwnd(hwnd), m_services(services) {}
    CSettingsDialog(const CSettingsDialog&) = delete;
    CSettingsDialog& operator=(const CSettingsDialog&) = delete;

    SettingsDialogServices& Services() { return m_services; }
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    enum DragState { kDragNone, kDragMove, kDragCopy };

    // Raised while the dialog changes the tree's selection itself.
    class CSelectionGuard {
    public:
        explicit CSelectionGuard(CSettingsDialog& dialog) : m_dialog(dialog) { ++m_dialog.m_selectionUpdate; }
        ~CSelectionGuard() { --m_dialog.m_selectionUpdate; }
        CSelectionGuard(const CSelectionGuard&) = delete;
        CSelectionGuard& operator=(const CSelectionGuard&) = delete;

    private:
        CSettingsDialog& m_dialog;
    };

    // SettingsDialog.cpp
    BOOL OnInitDialog();
    void OnClose();
    void OnDestroy();
    INT_PTR OnNotify(NMHDR* header);
    void OnSelChanged(CTreeNode* oldNode, CTreeNode* newNode);
    void OnKeyDown(WORD key);
    void OnTreeClicked(HTREEITEM item);
    void OnRestoreCheck(HTREEITEM item);
    void OnSetClockOnDesktop(uint32_t id, bool onDesktop);
    void OnRelocalize();
    void BeginDrag(HTREEITEM item);
    void DragTo(POINT dialogPoint);
    void Drop(POINT dialogPoint);
    void EndDrag();
    CTreeNode* NodeAt(POINT dialogPoint) const;
    CTreeNode* NodeOf(HTREEITEM item) const;
    CTreeNode* SelectedNode() const;
    HWND Page(int kind) const;

    // DialogActions.cpp
    HWND ExchangePage(CTreeNode* node, bool store, UINT flags);
    HWND ReportInvalidControl(HWND control);
    // Stores the selected node's page; false, with the beep and the focus on
    // the control when `report` is set, when a value is invalid.
    bool StoreSelected(UINT flags, bool report);
    // Loads the node into its page and shows that page alone.
    void ShowNode(CTreeNode* node);
    // Selects `node` without storing the page it replaces, which the
    // caller stored before it changed the tree.
    void SelectChanged(CTreeNode* node);
    void UpdateButtons();
    void EnableApply(bool on);
    void KeepOneClockChecked(CTreeNode* preferred);
    void OnAdd();
    // A new node where Add puts it for `selected`; `clockPageKind` when it is a clock.
    CTreeNode* AddNode(CTreeNode* selected, int clockPageKind, bool select);
    void OnDelete();
    void OnMove(bool up);
    bool ApplySettings();
    void OnOk();
    void RunCommand(uint32_t code, LPARAM packed);
    void SetNewAlarmTime(CTreeNode* alarm, CTreeNode* clock);
    void FinishCheckChange(CTreeNode* node);

    HWND m_hwnd;
    SettingsDialogServices& m_services;
    HWND m_tree = nullptr;
    HWND m_pages[kPageKindCount] = {};
    int m_shownKind = 0;
    int m_selectionUpdate = 0;
    int m_exchange = 0;
    DragState m_drag = kDragNone;
    HTREEITEM m_dragItem = nullptr;
    HCURSOR m_cursorBefore = nullptr;
    HCURSOR m_dropAllowed = nullptr;
    HCURSOR m_dropRefused = nullptr;
    int m_openBoxes = 0;
    bool m_initialised = false;
};
