#include "settings/tree/NodeTree.h"

#include <algorithm>
#include <string>

#include "app/clocks/ClockSettings.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/records/FixedText.h"
#include "settings/SettingsStrings.h"

namespace {

const int kItemTextChars = 101;

const WCHAR kDefaultAlarmComment[] = L"Alarm";
const WCHAR kDefaultBackgroundLabel[] = L"Background";
const uint32_t kNewBackgroundStart = 9 * 60;
const uint32_t kNewBackgroundEnd = 18 * 60;
const uint32_t kNewBackgroundColor = 0x00FF00;
const uint8_t kNewBackgroundWeight = 65;
const uint32_t kAllWeekdays = 0x7F;
const int32_t kNoReminder = -15;
const WORD kNewAlarmHour = 8;

bool IsList(const CTreeNode* node)
{
    return node && (node->Kind() == kNodeAlarms || node->Kind() == kNodeBackgrounds);
}

// The list kind that holds nodes of `kind`.
NodeKind ListKindOf(NodeKind kind)
{
    return kind == kNodeAlarm ? kNodeAlarms : kNodeBackgrounds;
}

size_t EntryCount(const CTreeNode* list)
{
    return list ? list->Children().size() : 0;
}

}  // namespace

CNodeTree::CNodeTree(const ILanguageStrings& language) : m_language(&language)
{
}

CNodeTree::~CNodeTree()
{
    ClearTree();
}

// ---- linking

void CNodeTree::Adopt(CTreeNode* node)
{
    node->m_tree = this;
    for (CTreeNode* child : node->m_children)
        Adopt(child);
}

void CNodeTree::Detach(CTreeNode* node)
{
    if (node->m_item)
        CreateTreeItems(node, false);
    auto& list = ListOf(node->m_parent);
    list.erase(std::remove(list.begin(), list.end(), node), list.end());
    // by kind: a clock being destroyed no longer answers IsClock
    if (node->m_kind == kNodeClock && !node->m_parent)
        m_clocks.erase(std::remove(m_clocks.begin(), m_clocks.end(), static_cast<CClockNode*>(node)), m_clocks.end());
}

void CNodeTree::UpdateItem(CTreeNode* node)
{
    if (node)
        node->UpdateTreeItem();
}

bool CNodeTree::InsertNode(CTreeNode* node, CTreeNode* parent, CTreeNode* before)
{
    if (!node)
        return false;
    if (parent) {
        bool alarm = node->m_kind == kNodeAlarm && parent->m_kind == kNodeAlarms;
        bool background = false;
        if (node->m_kind == kNodeBackground && parent->m_kind == kNodeBackgrounds) {
            size_t others = parent->m_children.size();
            if (node->m_parent == parent)
                --others;
            background = others < (size_t)kMaxProfiles;
        }
        if (!alarm && !background)
            return false;
    }
    CTreeNode* oldParent = node->m_parent;
    Detach(node);

    auto& list = ListOf(parent);
    auto at = std::find(list.begin(), list.end(), before);
    list.insert(at, node);
    node->m_parent = parent;
    Adopt(node);
    if (!parent && node->m_kind == kNodeClock) {
        auto clock = std::find(m_clocks.begin(), m_clocks.end(), before);
        m_clocks.insert(clock, static_cast<CClockNode*>(node));
    }
    if (m_window && (!parent || parent->m_item))
        CreateTreeItems(node, true);
    if (oldParent != parent)
        UpdateItem(oldParent);
    UpdateItem(parent);
    return true;
}

void CNodeTree::DeleteNode(CTreeNode* node)
{
    // the destructor takes the node out of its lists and the view
    delete node;
}

void CNodeTree::ClearTree()
{
    m_clocks.clear();
    while (!m_top.empty())
        delete m_top.back();
}

// ---- the tree view

void CNodeTree::CreateTreeItems(CTreeNode* node, bool create)
{
    if (!m_window || !node)
        return;
    CTreeNode::CUpdateGuard guard(*node);
    if (!create) {
        for (CTreeNode* child : node->m_children)
            CreateTreeItems(child, false);
        if (node->m_item) {
            TVITEMW item = {};
            item.mask = TVIF_PARAM;
            item.hItem = node->m_item;
            item.lParam = 0;
            TreeView_SetItem(m_window, &item);
            HTREEITEM gone = node->m_item;
            node->m_item = nullptr;
            TreeView_DeleteItem(m_window, gone);
        }
        return;
    }
    if (node->m_item)
        return;
    HTREEITEM parentItem = TVI_ROOT;
    if (node->m_parent) {
        parentItem = node->m_parent->m_item;
        if (!parentItem)
            return;
    }
    // right after the nearest earlier sibling that is shown
    HTREEITEM after = TVI_FIRST;
    const auto& list = ListOf(node->m_parent);
    for (auto it = std::find(list.begin(), list.end(), node); it != list.begin();) {
        --it;
        if ((*it)->m_item) {
            after = (*it)->m_item;
            break;
        }
    }
    WCHAR caption[kItemTextChars];
    node->GetCaption(caption, kItemTextChars);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parentItem;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = caption;
    insert.item.lParam = (LPARAM)node;
    node->m_item = TreeView_InsertItem(m_window, &insert);
    if (!node->m_item)
        return;
    for (CTreeNode* child : node->m_children)
        CreateTreeItems(child, true);
    node->UpdateTreeItem();
}

void CNodeTree::AttachTreeWindow(HWND window)
{
    for (CTreeNode* node : m_top)
        CreateTreeItems(node, false);
    m_window = window;
    for (CTreeNode* node : m_top)
        CreateTreeItems(node, true);
}

// ---- making nodes

void CNodeTree::LoadDefaultText(UINT id, const WCHAR* fallback, WCHAR* field, size_t width) const
{
    // a field of `width` keeps at most width - 1 characters of the string
    WCHAR text[kItemTextChars];
    if (m_language->GetString(id, text, (int)std::min<size_t>(width, kItemTextChars)) <= 0)
        lstrcpynW(text, fallback, (int)std::min<size_t>(width, kItemTextChars));
    CopyFixed(field, width, text);
}

void CNodeTree::DefaultAlarm(AlarmRecord* alarm) const
{
    *alarm = {};
    LoadDefaultText(kStrNewAlarm, kDefaultAlarmComment, alarm->comment, FIELD_WIDTH(alarm->comment));
    alarm->enabled = 1;
    alarm->once.wHour = kNewAlarmHour;
    alarm->reminderMinutes = kNoReminder;
}

void CNodeTree::DefaultBackground(ClockProfileRecord* profile) const
{
    *profile = {};
    LoadDefaultText(kStrNewBackground, kDefaultBackgroundLabel, profile->label, FIELD_WIDTH(profile->label));
    profile->enabled = 1;
    profile->startMinute = kNewBackgroundStart;
    profile->endMinute = kNewBackgroundEnd;
    profile->color = kNewBackgroundColor;
    profile->weight = kNewBackgroundWeight;
    profile->weekdays = kAllWeekdays;
}

CClockNode* CNodeTree::NewClock()
{
    CClockNode* clock = new CClockNode();
    CTreeNode* children[] = {new CDesktopNode(), new CFormatsNode(), new CAlarmsNode(), new CBackgroundsNode()};
    for (CTreeNode* child : children) {
        child->m_parent = clock;
        clock->m_children.push_back(child);
    }
    Adopt(clock);
    return clock;
}

void CNodeTree::LoadTemplate(CClockNode* node, int pageKind)
{
    if (!m_templates || !m_templates->paths)
        return;
    const WCHAR* section = pageKind == kPageCountdown ? L"default:newcountdown"
                           : pageKind == kPageTimer  ? L"default:newtimer"
                                                     : L"default:newclock";
    // the clock reader reads the user's file: point it at the defaults
    SettingsPaths paths = *m_templates->paths;
    CopyFixed(paths.userIni, FIELD_WIDTH(paths.userIni), paths.defaultIni);
    paths.userIni[FIELD_WIDTH(paths.userIni) - 1] = 0;
    ClockReadContext context = *m_templates;
    context.paths = &paths;
    ClockRecord record = {};
    ReadClockSection(context, section, &record);
    // a template that lacks its timer keys still makes the kind asked for
    if (ClockPageKind(record.kind) != pageKind)
        record.kind = pageKind == kPageCountdown ? kClockTimer | kClockCountdown
                      : pageKind == kPageTimer   ? kClockTimer
                                                 : 0;
    record.id = 0;
    LoadClockNode(node, record);
    FreeClockAlarms(&record);
}

CTreeNode* CNodeTree::AddTreeNode(CTreeNode* parent, CTreeNode* before, bool useTemplate, CTreeNode* source,
                                  int pageKind)
{
    CTreeNode* node = nullptr;
    if (source) {
        if (!parent && source->m_kind == kNodeClock && ClockCount() >= kMaxClocks)
            return nullptr;
        node = source->Clone();
        node->m_tree = this;
        CopyChildren(node, source, true);
    } else if (!parent) {
        if (ClockCount() >= kMaxClocks)
            return nullptr;
        CClockNode* clock = NewClock();
        if (useTemplate)
            LoadTemplate(clock, pageKind);
        node = clock;
    } else {
        if (!parent->m_parent)
            return nullptr;
        if (parent->m_kind == kNodeAlarms) {
            node = new CAlarmNode();
            node->m_tree = this;
            AlarmRecord alarm;
            DefaultAlarm(&alarm);
            node->Exchange(&alarm, false);
        } else if (parent->m_kind == kNodeBackgrounds) {
            node = new CBackgroundNode();
            node->m_tree = this;
            ClockProfileRecord profile;
            DefaultBackground(&profile);
            node->Exchange(&profile, false);
        } else {
            return nullptr;
        }
    }
    if (!InsertNode(node, parent, before)) {
        delete node;
        return nullptr;
    }
    return node;
}

void CNodeTree::LoadClockNode(CClockNode* node, const ClockRecord& record)
{
    for (CTreeNode* child : node->m_children) {
        while (!child->m_children.empty())
            delete child->m_children.back();
        size_t count = child->m_kind == kNodeAlarms        ? record.alarmCount
                       : child->m_kind == kNodeBackgrounds ? std::min<size_t>(record.profileCount, kMaxProfiles)
                                                           : 0;
        for (size_t i = 0; i < count; ++i) {
            CTreeNode* entry = child->m_kind == kNodeAlarms ? (CTreeNode*)new CAlarmNode() : new CBackgroundNode();
            InsertNode(entry, child, nullptr);
        }
    }
    node->Exchange(const_cast<ClockRecord*>(&record), false);
}

void CNodeTree::CopyChildren(CTreeNode* target, const CTreeNode* source, bool clear)
{
    if (!target || !source || target == source || target->m_parent == source || source->m_parent == target)
        return;
    if (clear) {
        while (!target->m_children.empty())
            delete target->m_children.back();
    }
    for (CTreeNode* child : source->m_children) {
        CTreeNode* clone = child->Clone();
        clone->m_parent = target;
        clone->m_tree = target->m_tree;
        target->m_children.push_back(clone);
        CopyChildren(clone, child, true);
    }
}

// ---- queries

CClockNode* CNodeTree::FindClockById(uint32_t id) const
{
    for (CClockNode* clock : m_clocks)
        if (clock->Record().id == id)
            return clock;
    return nullptr;
}

int CNodeTree::CountEnabledClocks() const
{
    return (int)std::count_if(m_clocks.begin(), m_clocks.end(), [](CClockNode* c) { return c->IsChecked(); });
}

CTreeNode* CNodeTree::GetClockAncestor(CTreeNode* node)
{
    return node ? node->ClockAncestor() : nullptr;
}

CTreeNode* CNodeTree::NextSibling(const CTreeNode* node) const
{
    const auto& list = ListOf(node->m_parent);
    auto it = std::find(list.begin(), list.end(), node);
    return it == list.end() || it + 1 == list.end() ? nullptr : *(it + 1);
}

CTreeNode* CNodeTree::PrevSibling(const CTreeNode* node) const
{
    const auto& list = ListOf(node->m_parent);
    auto it = std::find(list.begin(), list.end(), node);
    return it == list.end() || it == list.begin() ? nullptr : *(it - 1);
}

// ---- rules

bool CNodeTree::CanAddNode(CTreeNode* selected) const
{
    if (!selected || selected->m_kind == kNodeClock)
        return ClockCount() < kMaxClocks;
    CClockNode* clock = selected->ClockAncestor();
    if (!clock)
        return false;
    switch (selected->m_kind) {
    case kNodeAlarms:
    case kNodeAlarm:
        return clock->Child(kNodeAlarms) != nullptr;
    case kNodeBackgrounds:
    case kNodeBackground:
        return EntryCount(clock->Child(kNodeBackgrounds)) < (size_t)kMaxProfiles &&
               clock->Child(kNodeBackgrounds) != nullptr;
    default:
        return false;
    }
}

bool CNodeTree::CanDeleteNode(CTreeNode* node) const
{
    if (!node)
        return false;
    if (node->m_kind == kNodeClock)
        return ClockCount() >= 2;
    // the list's own nodes: the record's count lags behind until the next store
    if (node->m_kind == kNodeAlarm || node->m_kind == kNodeBackground)
        return IsList(node->m_parent) && !node->m_parent->m_children.empty();
    return false;
}

bool CNodeTree::CanMoveList(CTreeNode* node, CTreeNode* target) const
{
    if (!target || (target->m_kind != kNodeClock && target->m_kind != node->m_kind))
        return false;
    CClockNode* a = node->ClockAncestor();
    CClockNode* b = target->ClockAncestor();
    if (!a || !b || a == b || a->GetPageKind() != b->GetPageKind())
        return false;
    CTreeNode* destination = b->Child(node->m_kind);
    if (!a->Child(node->m_kind) || !destination)
        return false;
    if (node->m_kind == kNodeBackgrounds)
        return EntryCount(node) + EntryCount(destination) <= (size_t)kMaxProfiles;
    return true;
}

bool CNodeTree::CanMoveChild(CTreeNode* node, CTreeNode* target, bool copy, bool anyTarget) const
{
    if (!target)
        return false;
    NodeKind listKind = ListKindOf(node->m_kind);
    bool fits = target->m_kind == kNodeClock || target->m_kind == listKind || target->m_kind == node->m_kind;
    if (!fits && !anyTarget)
        return false;
    CClockNode* a = node->ClockAncestor();
    CClockNode* b = target->ClockAncestor();
    if (!a || !b || a->GetPageKind() != b->GetPageKind())
        return false;
    CTreeNode* destination = b->Child(listKind);
    if (!destination)
        return false;
    bool room = EntryCount(destination) < (size_t)kMaxProfiles || listKind != kNodeBackgrounds;
    if (copy)
        return room;
    if (destination != node->m_parent)
        return room;
    // within its own list: placed before an entry, or appended
    if (target->m_kind == node->m_kind)
        return true;
    return NextSibling(node) != nullptr;
}

bool CNodeTree::ChangesNothing(CTreeNode* node, CTreeNode* target, bool copy) const
{
    return !node || node == target || (!copy && target && NextSibling(node) == target);
}

bool CNodeTree::CanMoveNode(CTreeNode* node, CTreeNode* target, bool copy) const
{
    if (ChangesNothing(node, target, copy))
        return false;
    switch (node->m_kind) {
    case kNodeClock:
        if (!target) {
            if (copy)
                return ClockCount() < kMaxClocks;
            CTreeNode* next = NextSibling(node);
            return ClockCount() >= 2 && next && next->m_kind == kNodeClock;
        }
        if (target->m_kind != kNodeClock)
            return false;
        if (!copy)
            return true;
        return target->GetPageKind() == node->GetPageKind() && ClockCount() < kMaxClocks;
    case kNodeAlarms:
    case kNodeBackgrounds:
        return copy && CanMoveList(node, target);
    case kNodeAlarm:
    case kNodeBackground:
        return CanMoveChild(node, target, copy, false);
    default:
        return false;
    }
}

bool CNodeTree::MoveChild(CTreeNode* node, CTreeNode* target, bool copy)
{
    CTreeNode* destination = target->ClockAncestor()->Child(ListKindOf(node->m_kind));
    CTreeNode* before = target->m_kind == node->m_kind ? target : nullptr;
    if (copy)
        return AddTreeNode(destination, before, false, node, 0) != nullptr;
    return InsertNode(node, destination, before);
}

bool CNodeTree::MoveTreeNode(CTreeNode* node, CTreeNode* target, bool copy)
{
    if (ChangesNothing(node, target, copy))
        return false;
    switch (node->m_kind) {
    case kNodeClock:
        if (!CanMoveNode(node, target, copy))
            return false;
        if (copy)
            return AddTreeNode(nullptr, target, false, node, 0) != nullptr;
        return InsertNode(node, nullptr, target);
    case kNodeAlarms:
    case kNodeBackgrounds: {
        if (!copy || !CanMoveList(node, target))
            return false;
        CTreeNode* destination = target->ClockAncestor()->Child(node->m_kind);
        // a copy of the list: the source may not change while it is walked
        std::vector<CTreeNode*> entries = node->m_children;
        for (CTreeNode* entry : entries)
            if (!AddTreeNode(destination, nullptr, false, entry, 0))
                return false;
        return true;
    }
    case kNodeAlarm:
    case kNodeBackground:
        return CanMoveChild(node, target, copy, true) && MoveChild(node, target, copy);
    default:
        return false;
    }
}

// ---- language

void CNodeTree::RelocalizeNode(CTreeNode* node)
{
    if (node->HasLocalizedCaption())
        node->RefreshItemText();
    for (CTreeNode* child : node->m_children)
        RelocalizeNode(child);
}

void CNodeTree::RelocalizeTree()
{
    for (CTreeNode* node : m_top)
        RelocalizeNode(node);
    for (CClockNode* clock : m_clocks)
        clock->Exchange(&clock->Record(), true);
}
