#include "settings/tree/TreeNode.h"

#include <string.h>

#include <algorithm>
#include <string>

#include "app/clocks/ClockSettings.h"
#include "app/settings/SettingsFiles.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/records/FixedText.h"
#include "settings/SettingsStrings.h"
#include "settings/tree/NodeTree.h"

namespace {

const int kStringChars = 260;
// What the tree view shows of a caption.
const int kItemTextChars = 101;
// The zone's "(UTC+hh:mm)" appended to a clock's caption.
const size_t kZoneTagChars = 30;

void CopyText(WCHAR* buffer, int chars, const std::wstring& text)
{
    if (chars <= 0)
        return;
    lstrcpynW(buffer, text.c_str(), chars);
}

bool IsDated(uint32_t kind)
{
    return (kind & (kClockTimer | kClockFixedMoment)) == (kClockTimer | kClockFixedMoment);
}

bool IsCountdown(uint32_t kind)
{
    return (kind & (kClockTimer | kClockCountdown)) == (kClockTimer | kClockCountdown);
}

// The page of an alarm or background by the kind of its clock.
int ChildPageKind(uint32_t kind, int plain, int dated, int countdown, int timer)
{
    if (!(kind & kClockTimer))
        return plain;
    if (IsDated(kind))
        return dated;
    return IsCountdown(kind) ? countdown : timer;
}

UINT CaptionId(NodeKind kind)
{
    switch (kind) {
    case kNodeGeneral: return kStrGeneralPage;
    case kNodeIni: return kStrProfilesPage;
    case kNodeTime: return kStrTimePage;
    case kNodeCalendar: return kStrCalendarPage;
    case kNodeNews: return kStrNewsPage;
    case kNodeTray: return kStrTaskbarPage;
    case kNodeFormats: return kStrFormats;
    case kNodeDesktop: return kStrDesktop;
    case kNodeAlarms: return kStrAlarms;
    case kNodeBackgrounds: return kStrBackgrounds;
    default: return 0;
    }
}

// The clock's own copy of `from`, with an alarm array of its own.
void CopyClockRecord(ClockRecord& to, const ClockRecord& from)
{
    FreeClockAlarms(&to);
    to = from;
    to.alarms.raw = 0;
    to.alarmCount = 0;
    if (from.alarmCount == 0 || !from.alarms.ptr)
        return;
    AlarmRecord* alarms = ResizeAlarmArray(nullptr, (int)from.alarmCount);
    if (!alarms)
        return;
    memcpy(alarms, from.alarms.ptr, from.alarmCount * sizeof(AlarmRecord));
    to.alarms.ptr = alarms;
    to.alarmCount = from.alarmCount;
}

}  // namespace

int ClockPageKind(uint32_t clockKind)
{
    if (!(clockKind & kClockTimer))
        return kPageClock;
    return (clockKind & kClockCountdown) ? kPageCountdown : kPageTimer;
}

int AlarmPageKind(uint32_t clockKind)
{
    return ChildPageKind(clockKind, kPageAlarm, kPageDatedAlarm, kPageCountdownAlarm, kPageTimerAlarm);
}

int BackgroundPageKind(uint32_t clockKind)
{
    return ChildPageKind(clockKind, kPageBackground, kPageDatedBackground, kPageCountdownBackground,
                         kPageTimerBackground);
}

// ---- CTreeNode

CTreeNode::~CTreeNode()
{
    if (m_tree) {
        m_tree->Detach(this);
    } else if (m_parent) {
        auto& siblings = m_parent->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    // each child takes itself out of the list
    while (!m_children.empty())
        delete m_children.back();
}

HWND CTreeNode::TreeWindow() const
{
    return m_tree ? m_tree->Window() : nullptr;
}

int CTreeNode::LoadString(UINT id, WCHAR* buffer, int chars) const
{
    if (chars > 0)
        buffer[0] = 0;
    if (!m_tree || id == 0)
        return 0;
    return m_tree->Language().GetString(id, buffer, chars);
}

void CTreeNode::RefreshItemText()
{
    HWND window = TreeWindow();
    if (!window || !m_item)
        return;
    WCHAR caption[kItemTextChars];
    GetCaption(caption, kItemTextChars);
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = m_item;
    item.pszText = caption;
    CUpdateGuard guard(*this);
    TreeView_SetItem(window, &item);
}

CClockNode* CTreeNode::ClockAncestor()
{
    for (CTreeNode* node = this; node; node = node->m_parent)
        if (node->IsClock())
            return static_cast<CClockNode*>(node);
    return nullptr;
}

const CClockNode* CTreeNode::ClockAncestor() const
{
    return const_cast<CTreeNode*>(this)->ClockAncestor();
}

bool CTreeNode::HasCheckBox() const
{
    switch (m_kind) {
    case kNodeClock:
    case kNodeAlarm:
    case kNodeBackground:
        return true;
    case kNodeAlarms:
    case kNodeBackgrounds:
        return !m_children.empty();
    default:
        return false;
    }
}

void CTreeNode::ReadCheckState()
{
}

void CTreeNode::ReadTreeState()
{
    HWND window = TreeWindow();
    if (!window || !m_item)
        return;
    m_expanded = (TreeView_GetItemState(window, m_item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    ReadCheckState();
}

void CTreeNode::UpdateTreeItem()
{
    HWND window = TreeWindow();
    if (!window || !m_item)
        return;
    CUpdateGuard guard(*this);
    if (!m_children.empty())
        TreeView_Expand(window, m_item, m_expanded ? TVE_EXPAND : TVE_COLLAPSE);
    UINT image = HasCheckBox() ? (IsChecked() ? kCheckImageOn : kCheckImageOff) : kCheckImageNone;
    TreeView_SetItemState(window, m_item, INDEXTOSTATEIMAGEMASK(image), TVIS_STATEIMAGEMASK);
}

int CTreeNode::GetPageKind() const
{
    return m_kind;
}

bool CTreeNode::IsChecked() const
{
    return false;
}

bool CTreeNode::SetChecked(bool)
{
    UpdateTreeItem();
    return false;
}

bool CTreeNode::HasLocalizedCaption()
{
    return false;
}

bool CTreeNode::IsClock() const
{
    return false;
}

bool CTreeNode::IsExpanded() const
{
    return m_expanded;
}

void CTreeNode::SetExpanded(bool on)
{
    m_expanded = on;
    if (m_updating <= 0)
        UpdateTreeItem();
}

void CTreeNode::Select()
{
    HWND window = TreeWindow();
    if (window && m_item)
        TreeView_SelectItem(window, m_item);
}

// Reads a check box image into `*field`; no image leaves it alone.
static void ReadItemCheck(HWND window, HTREEITEM item, int32_t* field)
{
    if (!window || !item)
        return;
    UINT image = TreeView_GetItemState(window, item, TVIS_STATEIMAGEMASK) >> 12;
    if (image == kCheckImageOn)
        *field = 1;
    else if (image == kCheckImageOff)
        *field = 0;
}

// ---- CSimpleNode and the clock's children

void CSimpleNode::GetCaption(WCHAR* buffer, int chars) const
{
    LoadString(CaptionId(Kind()), buffer, chars);
}

void* CClockChildNode::GetRecord()
{
    CClockNode* clock = ClockAncestor();
    return clock ? &clock->Record() : nullptr;
}

int CFormatsNode::GetPageKind() const
{
    const CClockNode* clock = ClockAncestor();
    return clock && clock->GetPageKind() != kPageClock ? kPageTimerFormats : kPageFormats;
}

void CListNode::ReadCheckState()
{
    if (!HasCheckBox())
        return;
    int32_t on = m_on;
    ReadItemCheck(TreeWindow(), Item(), &on);
    m_on = on != 0;
}

bool CListNode::SetChecked(bool on)
{
    if (!HasCheckBox()) {
        UpdateTreeItem();
        return false;
    }
    m_on = on;
    UpdateTreeItem();
    return true;
}

void CAlarmsNode::Exchange(void* record, bool store)
{
    ClockRecord& clock = *(ClockRecord*)record;
    int nodes = (int)Children().size();
    if (store) {
        clock.alarmsEnabled = m_on ? 1 : 0;
        if ((int)clock.alarmCount < nodes) {
            // room for a few more, as the reader grows it
            AlarmRecord* grown = ResizeAlarmArray(clock.alarms.ptr, (nodes / 8) * 8 + 8);
            if (grown)
                clock.alarms.ptr = grown;
            else
                nodes = (int)clock.alarmCount;
        }
        clock.alarmCount = (uint32_t)nodes;
    } else {
        m_on = clock.alarmsEnabled == 1;
        UpdateTreeItem();
    }
    int count = std::min(nodes, (int)clock.alarmCount);
    for (int i = 0; i < count && clock.alarms.ptr; ++i)
        Children()[i]->Exchange(&clock.alarms.ptr[i], store);
}

void CBackgroundsNode::Exchange(void* record, bool store)
{
    ClockRecord& clock = *(ClockRecord*)record;
    int nodes = (int)Children().size();
    if (store) {
        clock.profilesEnabled = m_on ? 1 : 0;
        clock.profileCount = (uint32_t)std::min(nodes, kMaxProfiles);
    } else {
        m_on = clock.profilesEnabled == 1;
        UpdateTreeItem();
    }
    int count = std::min({nodes, (int)clock.profileCount, kMaxProfiles});
    for (int i = 0; i < count; ++i)
        Children()[i]->Exchange(&clock.profiles[i], store);
}

// ---- CClockNode

CClockNode::CClockNode() : CTreeNode(kNodeClock), m_record()
{
}

CClockNode::CClockNode(const CClockNode& other) : CTreeNode(other), m_record(other.m_record)
{
    // the cloned alarm nodes carry the alarms
    m_record.alarms.raw = 0;
    m_record.alarmCount = 0;
}

CClockNode::~CClockNode()
{
    FreeClockAlarms(&m_record);
}

CTreeNode* CClockNode::Clone() const
{
    return new CClockNode(*this);
}

void CClockNode::GetCaption(WCHAR* buffer, int chars) const
{
    if (chars <= 0)
        return;
    std::wstring caption = FieldText(m_record.prefix, FIELD_WIDTH(m_record.prefix));
    std::wstring zone = FieldText(m_record.zone.displayName, FIELD_WIDTH(m_record.zone.displayName));
    if (caption.empty()) {
        CopyText(buffer, chars, zone);
        return;
    }
    std::wstring location = FieldText(m_record.location, FIELD_WIDTH(m_record.location));
    if ((m_record.kind & (kClockTimer | kClockCountdown | kClockFixedMoment)) ==
            (kClockTimer | kClockCountdown | kClockFixedMoment) &&
        location.compare(0, caption.size(), caption) == 0) {
        // "Until New" for a countdown to "New Year"
        WCHAR until[kStringChars];
        LoadString(kStrCountdownTo, until, kStringChars);
        std::wstring event = caption.substr(0, caption.find_first_of(L" ,"));
        CopyText(buffer, chars, std::wstring(until) + L" " + event);
        return;
    }
    if (!zone.empty() && zone[0] == L'(') {
        size_t close = zone.find(L')');
        std::wstring tag = zone.substr(0, close == std::wstring::npos ? kZoneTagChars : close + 1);
        if (tag.size() > kZoneTagChars)
            tag.resize(kZoneTagChars);
        if (caption.size() + 1 + tag.size() < (size_t)chars)
            caption += L" " + tag;
    }
    CopyText(buffer, chars, caption);
}

void CClockNode::ReadCheckState()
{
    int32_t enabled = (int32_t)m_record.enabled;
    ReadItemCheck(TreeWindow(), Item(), &enabled);
    m_record.enabled = (uint32_t)enabled;
}

bool CClockNode::SetChecked(bool on)
{
    m_record.enabled = on ? 1 : 0;
    UpdateTreeItem();
    return true;
}

CTreeNode* CClockNode::Child(NodeKind kind) const
{
    for (CTreeNode* child : Children())
        if (child->Kind() == kind)
            return child;
    return nullptr;
}

int CClockNode::GetPageKind() const
{
    return ClockPageKind(m_record.kind);
}

void CClockNode::Exchange(void* record, bool store)
{
    ClockRecord* other = (ClockRecord*)record;
    CTreeNode* alarms = Child(kNodeAlarms);
    CTreeNode* backgrounds = Child(kNodeBackgrounds);
    if (store) {
        m_record.expanded = (IsExpanded() ? 1u : 0u) | (alarms && alarms->IsExpanded() ? 2u : 0u) |
                            (backgrounds && backgrounds->IsExpanded() ? 4u : 0u);
        for (CTreeNode* child : Children())
            child->Exchange(&m_record, true);
        if (other && other != &m_record)
            CopyClockRecord(*other, m_record);
        return;
    }
    if (other && other != &m_record)
        CopyClockRecord(m_record, *other);
    CUpdateGuard guard(*this);
    SetExpanded((m_record.expanded & 1) != 0);
    for (CTreeNode* child : Children()) {
        child->Exchange(&m_record, false);
        uint32_t bit = child == alarms ? 2u : child == backgrounds ? 4u : 0u;
        child->SetExpanded((m_record.expanded & bit) != 0);
    }
    RefreshItemText();
    UpdateTreeItem();
}

// ---- CAlarmNode

CAlarmNode::CAlarmNode() : CTreeNode(kNodeAlarm), m_alarm()
{
}

void CAlarmNode::GetCaption(WCHAR* buffer, int chars) const
{
    CopyText(buffer, chars, FieldText(m_alarm.comment, FIELD_WIDTH(m_alarm.comment)));
}

void CAlarmNode::ReadCheckState()
{
    ReadItemCheck(TreeWindow(), Item(), &m_alarm.enabled);
}

bool CAlarmNode::SetChecked(bool on)
{
    m_alarm.enabled = on ? 1 : 0;
    UpdateTreeItem();
    return true;
}

int CAlarmNode::GetPageKind() const
{
    const CClockNode* clock = ClockAncestor();
    return clock ? AlarmPageKind(clock->Record().kind) : kPageAlarm;
}

void CAlarmNode::Exchange(void* record, bool store)
{
    AlarmRecord* alarm = (AlarmRecord*)record;
    if (store) {
        *alarm = m_alarm;
        return;
    }
    m_alarm = *alarm;
    WCHAR text[kStringChars];
    m_captionId = 0;
    m_textId = 0;
    // a new alarm's comment follows the language as the stored default does
    for (UINT id : {kStrDefaultAlarmText, kStrNewAlarm}) {
        if (!m_captionId && LoadString(id, text, kStringChars) > 0 &&
            FixedEquals(m_alarm.comment, FIELD_WIDTH(m_alarm.comment), text))
            m_captionId = (int32_t)id;
    }
    if (m_alarm.action == 0 && LoadString(kStrDefaultAlarmText, text, kStringChars) > 0 &&
        FixedEquals(m_alarm.text, FIELD_WIDTH(m_alarm.text), text))
        m_textId = (int32_t)kStrDefaultAlarmText;
    m_defaultComment = FieldText(m_alarm.comment, FIELD_WIDTH(m_alarm.comment));
    m_defaultText = FieldText(m_alarm.text, FIELD_WIDTH(m_alarm.text));
    RefreshItemText();
    UpdateTreeItem();
}

// A default text the user has since replaced on the page is the user's.
static void ForgetTypedText(const WCHAR* field, size_t width, const std::wstring& lastDefault, int32_t* id)
{
    if (*id && FieldText(field, width) != lastDefault)
        *id = 0;
}

// Puts string `id` into the field while it holds the last default text.
bool CTreeNode::ReloadDefaultText(int32_t* id, WCHAR* field, size_t width, std::wstring* lastDefault) const
{
    ForgetTypedText(field, width, *lastDefault, id);
    if (!*id)
        return false;
    WCHAR text[kStringChars];
    if (LoadString((UINT)*id, text, (int)std::min<size_t>(width, kStringChars)) > 0) {
        CopyFixed(field, width, text);
        *lastDefault = FieldText(field, width);
    }
    return true;
}

bool CAlarmNode::HasLocalizedCaption()
{
    bool comment = ReloadDefaultText(&m_captionId, m_alarm.comment, FIELD_WIDTH(m_alarm.comment), &m_defaultComment);
    bool text = m_alarm.action == 0 &&
                ReloadDefaultText(&m_textId, m_alarm.text, FIELD_WIDTH(m_alarm.text), &m_defaultText);
    return comment || text;
}

// ---- CBackgroundNode

CBackgroundNode::CBackgroundNode() : CTreeNode(kNodeBackground), m_profile()
{
}

void CBackgroundNode::GetCaption(WCHAR* buffer, int chars) const
{
    CopyText(buffer, chars, FieldText(m_profile.label, FIELD_WIDTH(m_profile.label)));
}

void CBackgroundNode::ReadCheckState()
{
    int32_t enabled = (int32_t)m_profile.enabled;
    ReadItemCheck(TreeWindow(), Item(), &enabled);
    m_profile.enabled = (uint32_t)enabled;
}

bool CBackgroundNode::SetChecked(bool on)
{
    m_profile.enabled = on ? 1 : 0;
    UpdateTreeItem();
    return true;
}

int CBackgroundNode::GetPageKind() const
{
    const CClockNode* clock = ClockAncestor();
    return clock ? BackgroundPageKind(clock->Record().kind) : kPageBackground;
}

void CBackgroundNode::Exchange(void* record, bool store)
{
    ClockProfileRecord* profile = (ClockProfileRecord*)record;
    if (store) {
        *profile = m_profile;
        return;
    }
    m_profile = *profile;
    m_captionId = 0;
    WCHAR text[kStringChars];
    for (UINT id : {kStrDefaultBackground, kStrWorkingHours, kStrNewBackground}) {
        if (LoadString(id, text, kStringChars) > 0 &&
            FixedEquals(m_profile.label, FIELD_WIDTH(m_profile.label), text)) {
            m_captionId = (int32_t)id;
            break;
        }
    }
    m_defaultLabel = FieldText(m_profile.label, FIELD_WIDTH(m_profile.label));
    RefreshItemText();
    UpdateTreeItem();
}

bool CBackgroundNode::HasLocalizedCaption()
{
    return ReloadDefaultText(&m_captionId, m_profile.label, FIELD_WIDTH(m_profile.label), &m_defaultLabel);
}
