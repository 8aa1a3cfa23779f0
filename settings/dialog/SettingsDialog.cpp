#include "settings/dialog/SettingsDialog.h"

#include "app/settings/MainSettings.h"
#include "app/ui/DialogHelpers.h"
#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "settings/MainProgramLink.h"
#include "settings/dialog/Pages.h"
#include "settings/dialog/SettingsBackup.h"
#include "settings/dialog/SettingsDialogWnd.h"
#include "settings/tree/NodeTree.h"

namespace {

const WCHAR kDialogSection[] = L"DLG_PageDetail";
const UINT kCursorDropAllowed = 136;
const UINT kCursorDropRefused = 138;
const DWORD kTreeStyles = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_CHECKBOXES;

INT_PTR CALLBACK SettingsDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* services = (SettingsDialogServices*)lParam;
        CSettingsDialog* dialog = nullptr;
        try {
            dialog = new CSettingsDialog(hwnd, *services);
        } catch (...) {
            return FALSE;
        }
        SetWindowLongPtrW(hwnd, DWLP_USER, (LONG_PTR)dialog);
    }
    auto* dialog = (CSettingsDialog*)GetWindowLongPtrW(hwnd, DWLP_USER);
    if (!dialog)
        return FALSE;
    INT_PTR result = FALSE;
    try {
        result = dialog->Handle(message, wParam, lParam);
    } catch (...) {
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        delete dialog;
    }
    return result;
}

bool CtrlDown()
{
    return GetKeyState(VK_CONTROL) < 0;
}

}  // namespace

HWND CreateSettingsDialog(HWND owner, SettingsDialogServices& services)
{
    HMODULE resources = services.language ? services.language->GetResources() : nullptr;
    if (!resources)
        return nullptr;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    return CreateDialogParamW(resources, MAKEINTRESOURCEW(kSettingsDialogTemplate), owner, SettingsDialogProc,
                              (LPARAM)&services);
}

SettingsDialogServices* GetSettingsDialogServices(HWND dialog)
{
    if (!dialog || GetWindowLongPtrW(dialog, DWLP_DLGPROC) != (LONG_PTR)SettingsDialogProc)
        return nullptr;
    auto* object = (CSettingsDialog*)GetWindowLongPtrW(dialog, DWLP_USER);
    return object ? &object->Services() : nullptr;
}

INT_PTR CSettingsDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        switch (LOWORD(wParam)) {
        case kIdcAdd:
            OnAdd();
            return TRUE;
        case kIdcDelete:
            OnDelete();
            return TRUE;
        case kIdcUp:
            OnMove(true);
            return TRUE;
        case kIdcDown:
            OnMove(false);
            return TRUE;
        case kIdcApply:
            ApplySettings();
            return TRUE;
        case IDOK:
            OnOk();
            return TRUE;
        case IDCANCEL:
            OnClose();
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    case WM_NOTIFY: {
        INT_PTR result = OnNotify((NMHDR*)lParam);
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_MOUSEMOVE:
        if (m_drag != kDragNone)
            DragTo({(short)LOWORD(lParam), (short)HIWORD(lParam)});
        return TRUE;
    case WM_LBUTTONUP:
        if (m_drag != kDragNone)
            Drop({(short)LOWORD(lParam), (short)HIWORD(lParam)});
        return TRUE;
    case UM_RUNSETTINGSCOMMAND:
        if (m_openBoxes > 0 || !IsWindowEnabled(m_hwnd)) {
            m_services.beep->Beep(1000, 100);
            return TRUE;
        }
        RunCommand((uint32_t)wParam, lParam);
        return TRUE;
    case UM_SETCLOCKONDESKTOP:
        OnSetClockOnDesktop((uint32_t)wParam, lParam != 0);
        return TRUE;
    case UM_PAGECHANGED:
        if (m_exchange > 0)
            return TRUE;
        StoreSelected((UINT)wParam, false);
        EnableApply(true);
        return TRUE;
    case UM_TREECLICKED:
        OnTreeClicked((HTREEITEM)lParam);
        return TRUE;
    case UM_RESTORECHECK:
        OnRestoreCheck((HTREEITEM)lParam);
        return TRUE;
    case UM_GETCURRENTCLOCK: {
        // the answer is a pointer into this process: another thread or
        // process gets nothing
        if (IsPointerMessage() && lParam) {
            CTreeNode* node = SelectedNode();
            CClockNode* clock = node ? node->ClockAncestor() : nullptr;
            *(ClockRecord**)lParam = clock ? &clock->Record() : nullptr;
        }
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    case UM_SYNCSTATUS:
        SendMessageW(Page(kPageTime), message, wParam, lParam);
        return TRUE;
    case UM_MAPOVERLAYCHANGED:
        SendMessageW(Page(kPageClock), message, wParam, lParam);
        return TRUE;
    case UM_RELOCALIZE:
        OnRelocalize();
        return TRUE;
    case WM_WININICHANGE:
        for (HWND page : m_pages) {
            if (page)
                SendMessageW(page, message, wParam, lParam);
        }
        return TRUE;
    }
    return FALSE;
}

BOOL CSettingsDialog::OnInitDialog()
{
    if (!m_initialised) {
        EnableApply(false);
        CenterOnDesktop(m_hwnd);
        const SettingsCommand& start = m_services.startCommand;
        if (start.code != kSettingsNoCommand && m_services.frame)
            PostMessageW(m_services.frame, UM_SETTINGSCOMMAND, start.code, PackSettingsCommand(start.n, start.m));
        m_initialised = true;
    }
    {
        CSelectionGuard guard(*this);
        LocalizeDialog(m_hwnd, kDialogSection, *m_services.language);
        // shared cursors of the program's own resources: nothing to free
        m_dropAllowed = LoadCursorW(m_services.program, MAKEINTRESOURCEW(kCursorDropAllowed));
        m_dropRefused = LoadCursorW(m_services.program, MAKEINTRESOURCEW(kCursorDropRefused));
        CreatePages(m_hwnd, m_services, m_pages);
        m_tree = GetDlgItem(m_hwnd, kIdcSettingsTree);
        // the check boxes go on before the first item, which is when the
        // tree view (Wine's too) makes its state images
        SetWindowLongPtrW(m_tree, GWL_STYLE, GetWindowLongPtrW(m_tree, GWL_STYLE) | kTreeStyles);
        m_services.tree->AttachTreeWindow(m_tree);
    }
    HTREEITEM root = TreeView_GetRoot(m_tree);
    if (root)
        TreeView_SelectItem(m_tree, root);
    UpdateButtons();
    return TRUE;
}

void CSettingsDialog::OnClose()
{
    SettingsPaths paths = *m_services.paths;
    if (FinishSettingsBackup(&paths, m_services.profileLoaded)) {
        // the main program already reloaded the profile: it has to read the old settings again
        m_services.link->SendToMainProgram(UM_SETTINGSCHANGED, 0, 0, false);
    }
    m_services.profileLoaded = false;
    HWND frame = m_services.frame;
    DestroyWindow(m_hwnd);
    if (frame)
        SendMessageW(frame, WM_CLOSE, 0, 0);
}

void CSettingsDialog::OnDestroy()
{
    EndDrag();
    // the items go with the window; the tree outlives it
    ++m_selectionUpdate;
    m_services.tree->AttachTreeWindow(nullptr);
    m_services.link->SendToMainProgram(UM_TRAYCLOCKCOUNT, 0, 0, false);
    m_dropAllowed = nullptr;
    m_dropRefused = nullptr;
}

INT_PTR CSettingsDialog::OnNotify(NMHDR* header)
{
    if (!header || header->idFrom != (UINT_PTR)kIdcSettingsTree)
        return 1;
    auto* tree = (NMTREEVIEWW*)header;
    bool quiet = m_selectionUpdate > 0;
    switch (header->code) {
    case TVN_SELCHANGINGW: {
        if (quiet)
            return 0;
        CTreeNode* oldNode = NodeOf(tree->itemOld.hItem);
        CTreeNode* newNode = NodeOf(tree->itemNew.hItem);
        if (oldNode && oldNode != newNode && !StoreSelected(0, true))
            return 1;
        return 0;
    }
    case TVN_SELCHANGEDW:
        if (!quiet)
            OnSelChanged(NodeOf(tree->itemOld.hItem), NodeOf(tree->itemNew.hItem));
        return 0;
    case TVN_ITEMEXPANDEDW:
        if (CTreeNode* node = NodeOf(tree->itemNew.hItem))
            node->ReadTreeState();
        return 0;
    case TVN_DELETEITEMW:
        if (auto* node = (CTreeNode*)tree->itemOld.lParam)
            node->ForgetItem();
        return 0;
    case TVN_BEGINDRAGW:
        BeginDrag(tree->itemNew.hItem);
        return 0;
    case TVN_KEYDOWN:
        if (!quiet)
            OnKeyDown(((NMTVKEYDOWN*)header)->wVKey);
        return 0;
    case NM_CLICK:
        if (!quiet) {
            DWORD at = GetMessagePos();
            TVHITTESTINFO hit = {};
            hit.pt = {(short)LOWORD(at), (short)HIWORD(at)};
            ScreenToClient(m_tree, &hit.pt);
            HTREEITEM item = TreeView_HitTest(m_tree, &hit);
            if (item)
                PostMessageW(m_hwnd, UM_TREECLICKED, kIdcSettingsTree, (LPARAM)item);
        }
        return 0;
    case NM_KILLFOCUS:
        EndDrag();
        return 0;
    }
    return 0;
}

void CSettingsDialog::OnSelChanged(CTreeNode* oldNode, CTreeNode* newNode)
{
    if (oldNode && oldNode != newNode) {
        if (HWND invalid = ExchangePage(oldNode, true, 0)) {
            {
                CSelectionGuard guard(*this);
                oldNode->Select();
            }
            ReportInvalidControl(invalid);
            return;
        }
    }
    ShowNode(newNode);
    UpdateButtons();
}

void CSettingsDialog::OnKeyDown(WORD key)
{
    if (key == VK_DELETE) {
        OnDelete();
        return;
    }
    if (key != VK_SPACE || CtrlDown())
        return;
    CTreeNode* node = SelectedNode();
    if (!node)
        return;
    // The tree view toggles the box itself once the key is through; the
    // node follows the item then, under the same rules as a click. An item
    // without a box gets one from the view, which has to go again.
    if (!node->HasCheckBox())
        PostMessageW(m_hwnd, UM_RESTORECHECK, kIdcSettingsTree, (LPARAM)node->Item());
    else
        PostMessageW(m_hwnd, UM_TREECLICKED, kIdcSettingsTree, (LPARAM)node->Item());
}

void CSettingsDialog::OnTreeClicked(HTREEITEM item)
{
    CTreeNode* node = NodeOf(item);
    if (!node)
        return;
    bool before = node->IsChecked();
    node->ReadCheckState();
    bool after = node->IsChecked();
    if (before != after) {
        if (node->IsClock() && !after && m_services.tree->CountEnabledClocks() == 0) {
            CSelectionGuard guard(*this);
            node->SetChecked(true);
        } else {
            FinishCheckChange(node);
        }
    }
    CTreeNode* selected = SelectedNode();
    if (node != selected && StoreSelected(0, true))
        node->Select();
}

void CSettingsDialog::FinishCheckChange(CTreeNode*)
{
    EnableApply(true);
    // the taskbar page's preview shows the checked clocks
    CTreeNode* selected = SelectedNode();
    if (selected && selected->GetPageKind() == kPageTray)
        ExchangePage(selected, false, 0);
}

void CSettingsDialog::OnRestoreCheck(HTREEITEM item)
{
    CTreeNode* node = NodeOf(item);
    if (!node)
        return;
    CSelectionGuard guard(*this);
    node->SetChecked(true);
    node->UpdateTreeItem();
}

void CSettingsDialog::OnSetClockOnDesktop(uint32_t id, bool onDesktop)
{
    CClockNode* clock = m_services.tree->FindClockById(id);
    if (!clock)
        return;
    bool shown = SelectedNode() == clock;
    if (shown)
        ExchangePage(clock, true, 0);
    if (onDesktop)
        clock->Record().flags |= kClockOnDesktop;
    else
        clock->Record().flags &= ~kClockOnDesktop;
    if (shown)
        ExchangePage(clock, false, 0);
}

void CSettingsDialog::OnRelocalize()
{
    CSelectionGuard guard(*this);
    LocalizeDialog(m_hwnd, kDialogSection, *m_services.language);
    m_services.tree->RelocalizeTree();
}

void CSettingsDialog::BeginDrag(HTREEITEM item)
{
    if (!NodeOf(item))
        return;
    m_dragItem = item;
    m_cursorBefore = SetCursor(m_dropRefused);
    SetCapture(m_hwnd);
    m_drag = CtrlDown() ? kDragCopy : kDragMove;
}

CTreeNode* CSettingsDialog::NodeAt(POINT dialogPoint) const
{
    TVHITTESTINFO hit = {};
    hit.pt = dialogPoint;
    MapWindowPoints(m_hwnd, m_tree, &hit.pt, 1);
    HTREEITEM item = TreeView_HitTest(m_tree, &hit);
    return (hit.flags & TVHT_ONITEM) ? NodeOf(item) : nullptr;
}

void CSettingsDialog::DragTo(POINT dialogPoint)
{
    CTreeNode* dragged = NodeOf(m_dragItem);
    CTreeNode* target = NodeAt(dialogPoint);
    TreeView_SelectDropTarget(m_tree, target ? target->Item() : nullptr);
    bool allowed = dragged && m_services.tree->CanMoveNode(dragged, target, m_drag == kDragCopy);
    SetCursor(allowed ? m_dropAllowed : m_dropRefused);
}

void CSettingsDialog::Drop(POINT dialogPoint)
{
    CTreeNode* dragged = NodeOf(m_dragItem);
    CTreeNode* target = NodeAt(dialogPoint);
    bool copy = m_drag == kDragCopy;
    EndDrag();
    if (!dragged || !m_services.tree->CanMoveNode(dragged, target, copy))
        return;
    // the move rebuilds the items, the selected one too: what its page holds goes first
    if (!StoreSelected(0, true))
        return;
    bool moved;
    {
        CSelectionGuard guard(*this);
        moved = m_services.tree->MoveTreeNode(dragged, target, copy);
    }
    if (!moved) {
        SelectChanged(SelectedNode());
        return;
    }
    SelectChanged(dragged);
    EnableApply(true);
}

void CSettingsDialog::EndDrag()
{
    if (m_drag == kDragNone)
        return;
    m_drag = kDragNone;
    m_dragItem = nullptr;
    if (GetCapture() == m_hwnd)
        ReleaseCapture();
    SetCursor(m_cursorBefore);
    if (m_tree)
        TreeView_SelectDropTarget(m_tree, nullptr);
}

CTreeNode* CSettingsDialog::NodeOf(HTREEITEM item) const
{
    if (!item || !m_tree)
        return nullptr;
    TVITEMW tv = {};
    tv.mask = TVIF_HANDLE | TVIF_PARAM;
    tv.hItem = item;
    if (!TreeView_GetItem(m_tree, &tv))
        return nullptr;
    return (CTreeNode*)tv.lParam;
}

CTreeNode* CSettingsDialog::SelectedNode() const
{
    return m_tree ? NodeOf(TreeView_GetSelection(m_tree)) : nullptr;
}

HWND CSettingsDialog::Page(int kind) const
{
    return kind >= 0 && kind < kPageKindCount ? m_pages[kind] : nullptr;
}
