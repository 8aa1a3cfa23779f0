#include "app/settings/MainSettings.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "settings/MainProgramLink.h"
#include "settings/SettingsStrings.h"
#include "settings/dialog/ClockTypeChooser.h"
#include "settings/dialog/NewAlarmTime.h"
#include "settings/dialog/NodeTargets.h"
#include "settings/dialog/SettingsDialogWnd.h"
#include "settings/tree/ClockList.h"
#include "settings/tree/NodeTree.h"

namespace {

const int kCaptionChars = 101;    // the tree shows at most 100 characters

CTreeNode* TopAncestor(CTreeNode* node)
{
    while (node && node->Parent())
        node = node->Parent();
    return node;
}

bool IsWithin(const CTreeNode* node, const CTreeNode* ancestor)
{
    for (; node; node = node->Parent()) {
        if (node == ancestor)
            return true;
    }
    return false;
}

int ClockPageKindOf(uint32_t code)
{
    switch (code) {
    case kSettingsNewCountdown:
        return kPageCountdown;
    case kSettingsNewTimer:
        return kPageTimer;
    default:
        return kPageClock;
    }
}

// Entry `index` of the list, or the list itself when it has fewer.
CTreeNode* EntryOrList(CTreeNode* list, uint32_t index)
{
    if (!list)
        return nullptr;
    if (index < list->Children().size())
        return list->Children()[index];
    return list;
}

}  // namespace

HWND CSettingsDialog::ExchangePage(CTreeNode* node, bool store, UINT flags)
{
    if (!node)
        return nullptr;
    CTreeNode* top = TopAncestor(node);
    if (store) {
        if (void* record = top->GetRecord())
            top->Exchange(record, true);
    } else {
        node->ReadTreeState();
    }
    PageExchange block = {node->GetRecord(), nullptr};
    HWND page = Page(node->GetPageKind());
    ++m_exchange;
    if (page)
        SendPointerMessage(page, UM_LOADPAGE, store ? kPageStore : kPageLoad, (LPARAM)&block);
    --m_exchange;
    if (!store)
        return nullptr;
    if (flags & kPageRefreshCaption) {
        WCHAR caption[kCaptionChars];
        node->GetCaption(caption, kCaptionChars);
        if (node->Item() && m_tree) {
            TVITEMW item = {};
            item.mask = TVIF_HANDLE | TVIF_TEXT;
            item.hItem = node->Item();
            item.pszText = caption;
            TreeView_SetItem(m_tree, &item);
        }
    }
    return block.invalid && IsWindow(block.invalid) ? block.invalid : nullptr;
}

HWND CSettingsDialog::ReportInvalidControl(HWND control)
{
    if (control && IsWindowVisible(control)) {
        m_services.beep->Beep(kInvalidBeepHz, kInvalidBeepMs);
        SetFocus(control);
    }
    return control;
}

bool CSettingsDialog::StoreSelected(UINT flags, bool report)
{
    HWND invalid = ExchangePage(SelectedNode(), true, flags);
    if (invalid && report)
        ReportInvalidControl(invalid);
    return !invalid;
}

void CSettingsDialog::ShowNode(CTreeNode* node)
{
    int kind = node ? node->GetPageKind() : -1;
    if (!node) {
        if (HWND page = Page(m_shownKind))
            ShowWindow(page, SW_HIDE);
        m_shownKind = -1;
        return;
    }
    ExchangePage(node, false, 0);
    if (kind != m_shownKind) {
        for (int k = 0; k < kPageKindCount; ++k) {
            if (m_pages[k])
                ShowWindow(m_pages[k], k == kind ? SW_SHOW : SW_HIDE);
        }
        m_shownKind = kind;
    }
    if (GetFocus() != m_tree) {
        HWND focus = kPages[kind].focusControl ? GetDlgItem(Page(kind), kPages[kind].focusControl) : nullptr;
        SetFocus(focus ? focus : m_tree);
    }
}

void CSettingsDialog::SelectChanged(CTreeNode* node)
{
    if (node) {
        CSelectionGuard guard(*this);
        node->Select();
    }
    ShowNode(node);
    UpdateButtons();
}

void CSettingsDialog::UpdateButtons()
{
    CSelectionGuard guard(*this);
    CNodeTree& tree = *m_services.tree;
    CTreeNode* node = SelectedNode();
    bool canUp = node && (node->Parent() || tree.PrevSibling(node)) && tree.CanMoveNode(node, NodeAbove(tree, node), false);
    bool canDown = node && tree.CanMoveNode(node, NodeBelow(tree, node), false);
    EnableWindow(GetDlgItem(m_hwnd, kIdcAdd), tree.CanAddNode(node));
    EnableWindow(GetDlgItem(m_hwnd, kIdcDelete), node && tree.CanDeleteNode(node));
    EnableWindow(GetDlgItem(m_hwnd, kIdcUp), canUp);
    EnableWindow(GetDlgItem(m_hwnd, kIdcDown), canDown);
    m_services.link->SendToMainProgram(UM_TRAYCLOCKCOUNT, tree.ClockCount(), 0, false);
}

void CSettingsDialog::EnableApply(bool on)
{
    EnableWindow(GetDlgItem(m_hwnd, kIdcApply), on);
}

void CSettingsDialog::KeepOneClockChecked(CTreeNode* preferred)
{
    CNodeTree& tree = *m_services.tree;
    if (tree.ClockCount() == 0 || tree.CountEnabledClocks() > 0)
        return;
    CClockNode* clock = preferred ? preferred->ClockAncestor() : nullptr;
    if (!clock)
        clock = tree.Clock(0);
    CSelectionGuard guard(*this);
    clock->SetChecked(true);
}

void CSettingsDialog::SetNewAlarmTime(CTreeNode* alarm, CTreeNode* clock)
{
    CClockNode* owner = clock ? clock->ClockAncestor() : nullptr;
    ClockRecord* record = owner ? &owner->Record() : nullptr;
    if (!record) {
        // a page may ask for the alarm's time with no clock at hand: the selected one's
        SendPointerMessage(m_hwnd, UM_GETCURRENTCLOCK, 0, (LPARAM)&record);
    }
    SYSTEMTIME now;
    if (m_services.clock)
        now = m_services.clock->NowUtc();
    else
        GetSystemTime(&now);
    InitNewAlarmTime((AlarmRecord*)alarm->GetRecord(), record, now);
    alarm->Exchange(alarm->GetRecord(), false);
}

CTreeNode* CSettingsDialog::AddNode(CTreeNode* selected, int clockPageKind, bool select)
{
    CNodeTree& tree = *m_services.tree;
    if (!tree.CanAddNode(selected))
        return nullptr;
    CTreeNode* node = nullptr;
    {
        CSelectionGuard guard(*this);
        NodeKind kind = selected ? selected->Kind() : kNodeClock;
        switch (kind) {
        case kNodeClock:
            node = tree.AddTreeNode(nullptr, selected, true, nullptr, clockPageKind);
            break;
        case kNodeAlarms:
        case kNodeBackgrounds:
            node = tree.AddTreeNode(selected, nullptr, false, nullptr, 0);
            break;
        case kNodeAlarm:
        case kNodeBackground:
            node = tree.AddTreeNode(selected->Parent(), selected, false, nullptr, 0);
            break;
        default:
            break;
        }
        if (!node)
            return nullptr;
        if (node->Kind() == kNodeAlarm)
            SetNewAlarmTime(node, node);
        if (node->Parent())
            node->Parent()->UpdateTreeItem();
    }
    if (select)
        SelectChanged(node);
    EnableApply(true);
    return node;
}

void CSettingsDialog::OnAdd()
{
    CTreeNode* selected = SelectedNode();
    if (!StoreSelected(0, true))
        return;
    int pageKind = kPageClock;
    if (!selected || selected->IsClock()) {
        switch (ChooseClockType(m_hwnd, *m_services.language)) {
        case kChoiceClock:
            pageKind = kPageClock;
            break;
        case kChoiceCountdown:
            pageKind = kPageCountdown;
            break;
        case kChoiceTimer:
            pageKind = kPageTimer;
            break;
        default:
            return;
        }
    }
    AddNode(SelectedNode(), pageKind, true);
}

void CSettingsDialog::OnDelete()
{
    CNodeTree& tree = *m_services.tree;
    CTreeNode* node = SelectedNode();
    if (!node || !tree.CanDeleteNode(node))
        return;
    WCHAR text[256];
    WCHAR caption[128];
    m_services.language->GetString(kStrDeleteQuestion, text, 256);
    m_services.language->GetString(kStrDeleteCaption, caption, 128);
    CMessageBoxQuestion box;
    IDialogQuestion& question = m_services.question ? *m_services.question : box;
    ++m_openBoxes;
    bool yes = question.AskYesNo(m_hwnd, text, caption);
    --m_openBoxes;
    // a command during the box may have changed the selection
    if (!yes || SelectedNode() != node)
        return;
    if (!StoreSelected(kPageRefreshCaption, true))
        return;
    CTreeNode* parent = node->Parent();
    {
        CSelectionGuard guard(*this);
        tree.DeleteNode(node);
        if (parent)
            parent->UpdateTreeItem();
    }
    KeepOneClockChecked(SelectedNode());
    SelectChanged(SelectedNode());
    EnableApply(true);
}

void CSettingsDialog::OnMove(bool up)
{
    CNodeTree& tree = *m_services.tree;
    CTreeNode* node = SelectedNode();
    if (!node || !StoreSelected(0, true))
        return;
    CTreeNode* target = up ? NodeAbove(tree, node) : NodeBelow(tree, node);
    bool moved;
    {
        CSelectionGuard guard(*this);
        moved = tree.MoveTreeNode(node, target, false);
    }
    SelectChanged(node);
    if (moved)
        EnableApply(true);
}

bool CSettingsDialog::ApplySettings()
{
    if (!StoreSelected(kPageApplyStore, true))
        return false;
    if (m_services.settings)
        m_services.settings->WriteGeneralSettings(kWriteAllGroups);
    SaveClockList(*m_services.tree, *m_services.paths, *m_services.link);
    m_services.link->SendToMainProgram(UM_SETTINGSCHANGED, 0, 0, false);
    EnableApply(false);
    return true;
}

void CSettingsDialog::OnOk()
{
    if (!ApplySettings())
        return;
    m_services.profileLoaded = false;
    OnClose();
}

void CSettingsDialog::RunCommand(uint32_t code, LPARAM packed)
{
    CNodeTree& tree = *m_services.tree;
    uint32_t position = SettingsCommandPosition(packed);
    CClockNode* clock = tree.FindClockById(SettingsCommandClock(packed));
    CTreeNode* show = nullptr;
    switch (code) {
    case kSettingsNewClock:
    case kSettingsNewCountdown:
    case kSettingsNewTimer:
        if (tree.CanAddNode(clock) && StoreSelected(0, true))
            AddNode(clock, ClockPageKindOf(code), true);
        return;
    case kSettingsDeleteClock: {
        if (!clock || !tree.CanDeleteNode(clock))
            return;
        CTreeNode* selected = SelectedNode();
        bool selectionGoes = IsWithin(selected, clock);
        if (!selectionGoes)
            StoreSelected(0, false);
        {
            CSelectionGuard guard(*this);
            tree.DeleteNode(clock);
        }
        KeepOneClockChecked(SelectedNode());
        if (selectionGoes)
            SelectChanged(SelectedNode());
        else
            UpdateButtons();
        EnableApply(true);
        return;
    }
    case kSettingsTaskbarPage:
    case kSettingsSyncPage:
    case kSettingsGeneralPage:
    case kSettingsNewsPage: {
        NodeKind kind = code == kSettingsTaskbarPage ? kNodeTray
                      : code == kSettingsSyncPage    ? kNodeTime
                      : code == kSettingsGeneralPage ? kNodeGeneral
                                                     : kNodeNews;
        for (int i = 0; i < tree.TopCount() && !show; ++i) {
            if (tree.Top(i)->Kind() == kind)
                show = tree.Top(i);
        }
        break;
    }
    default:
        if (!clock)
            return;
        switch (code) {
        case kSettingsShowClock:
        case kSettingsZonePage:
            show = clock;
            break;
        case kSettingsNewAlarm: {
            CTreeNode* list = clock->Child(kNodeAlarms);
            if (list && tree.CanAddNode(list) && StoreSelected(0, true))
                AddNode(list, 0, true);
            return;
        }
        case kSettingsDesktopPage:
            show = clock->Child(kNodeDesktop);
            break;
        case kSettingsFormatsPage:
            show = clock->Child(kNodeFormats);
            break;
        case kSettingsAlarmList:
            show = clock->Child(kNodeAlarms);
            break;
        case kSettingsAlarm:
            show = EntryOrList(clock->Child(kNodeAlarms), position);
            break;
        case kSettingsBackgroundList:
            show = clock->Child(kNodeBackgrounds);
            break;
        case kSettingsBackground:
            show = EntryOrList(clock->Child(kNodeBackgrounds), position);
            break;
        default:
            return;
        }
    }
    if (show)
        show->Select();
}
