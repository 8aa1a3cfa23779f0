// The nodes of the settings tree: six page nodes, then per clock a clock node
// with its desktop, formats, alarm list and background list children. Each
// node knows the record its page edits, its caption, its check box and the
// page that shows it. GUI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "graphics/records/AlarmRecord.h"
#include "graphics/records/ClockRecord.h"

class CNodeTree;
class CClockNode;

enum NodeKind : int32_t {
    kNodeGeneral = 0,
    kNodeIni,
    kNodeTime,
    kNodeCalendar,
    kNodeNews,
    kNodeTray,
    kNodeClock,
    kNodeFormats,
    kNodeDesktop,
    kNodeAlarms,
    kNodeAlarm,
    kNodeBackgrounds,
    kNodeBackground,
};

// The pages of the settings dialog, by what they show.
enum PageKind : int32_t {
    kPageGeneral = 0,
    kPageIni,
    kPageTime,
    kPageCalendar,
    kPageNews,
    kPageTray,
    kPageClock,
    kPageFormats,
    kPageDesktop,
    kPageAlarms,
    kPageAlarm,
    kPageBackgrounds,
    kPageBackground,
    kPageCountdown,
    kPageTimer,
    kPageTimerFormats,
    kPageDatedAlarm,         // alarm of a timer bound to a date
    kPageCountdownAlarm,
    kPageTimerAlarm,
    kPageDatedBackground,
    kPageCountdownBackground,
    kPageTimerBackground,
    kPageKindCount
};

// The page kind of a clock of `clockKind` (the record's kind bits).
int ClockPageKind(uint32_t clockKind);
// The page kinds of its alarms and its backgrounds.
int AlarmPageKind(uint32_t clockKind);
int BackgroundPageKind(uint32_t clockKind);

// Tree-view state images of the check boxes.
const UINT kCheckImageNone = 0;
const UINT kCheckImageOff = 1;
const UINT kCheckImageOn = 2;

// Children are owned: deleting a node detaches it from its parent (or the
// tree's lists) and deletes its children. Only CNodeTree links nodes.
class CTreeNode {
public:
    // A node of the same class and payload with the same expanded flag, no
    // children and no parent.
    virtual CTreeNode* Clone() const = 0;
    // Always terminated; empty when the node has no caption.
    virtual void GetCaption(WCHAR* buffer, int chars) const = 0;
    // Takes the check box of the node's tree item into the node.
    virtual void ReadCheckState();
    virtual ~CTreeNode();
    // `record` is of the type GetRecord gives for this class. Store writes
    // the node into it, load takes it into the node.
    virtual void Exchange(void* record, bool store) = 0;
    // The record the node's page edits; null for the program-wide pages.
    virtual void* GetRecord() = 0;
    // The expanded state and the check box image onto the tree item.
    virtual void UpdateTreeItem();
    virtual int GetPageKind() const;
    virtual bool IsChecked() const;
    // False when the node has no check box (its image is removed then).
    virtual bool SetChecked(bool on);
    // Whether the caption comes from the language; default texts are loaded
    // again in the current language.
    virtual bool HasLocalizedCaption();
    virtual bool IsClock() const;
    virtual bool IsExpanded() const;
    virtual void SetExpanded(bool on);
    virtual void Select();

    NodeKind Kind() const { return m_kind; }
    const std::vector<CTreeNode*>& Children() const { return m_children; }
    CTreeNode* Parent() const { return m_parent; }
    CNodeTree* Tree() const { return m_tree; }
    HTREEITEM Item() const { return m_item; }
    // The tree view deleted the item.
    void ForgetItem() { m_item = nullptr; }
    // The node itself or its nearest clock ancestor; null outside a clock.
    CClockNode* ClockAncestor();
    const CClockNode* ClockAncestor() const;
    // Whether the item shows a check box now.
    bool HasCheckBox() const;
    // The expanded state and the check box from the tree item.
    void ReadTreeState();

protected:
    explicit CTreeNode(NodeKind kind) : m_kind(kind) {}
    CTreeNode(const CTreeNode& other) : m_kind(other.m_kind), m_expanded(other.m_expanded) {}
    CTreeNode& operator=(const CTreeNode&) = delete;

    HWND TreeWindow() const;
    // A language string; empty when missing or no tree is attached.
    int LoadString(UINT id, WCHAR* buffer, int chars) const;
    // The item's text from GetCaption.
    void RefreshItemText();
    // Loads string `*id` into a default text the user left alone; a text
    // typed since clears the id. False without an id.
    bool ReloadDefaultText(int32_t* id, WCHAR* field, size_t width, std::wstring* lastDefault) const;

    // Raised around the node's own tree-view calls, so the view's
    // notifications do not echo back into the node.
    class CUpdateGuard {
    public:
        explicit CUpdateGuard(CTreeNode& node) : m_node(node) { ++m_node.m_updating; }
        ~CUpdateGuard() { --m_node.m_updating; }
        CUpdateGuard(const CUpdateGuard&) = delete;
        CUpdateGuard& operator=(const CUpdateGuard&) = delete;

    private:
        CTreeNode& m_node;
    };

private:
    friend class CNodeTree;

    NodeKind m_kind;
    std::vector<CTreeNode*> m_children;
    bool m_expanded = false;
    int32_t m_updating = 0;
    HTREEITEM m_item = nullptr;
    CNodeTree* m_tree = nullptr;
    CTreeNode* m_parent = nullptr;
};

// Nodes with a fixed caption from the language and no record of their own.
class CSimpleNode : public CTreeNode {
public:
    void GetCaption(WCHAR* buffer, int chars) const override;
    void Exchange(void*, bool) override {}
    void* GetRecord() override { return nullptr; }
    bool HasLocalizedCaption() override { return true; }

protected:
    using CTreeNode::CTreeNode;
};

template <NodeKind K>
class CPageNode : public CSimpleNode {
public:
    CPageNode() : CSimpleNode(K) {}
    CTreeNode* Clone() const override { return new CPageNode(*this); }
};

using CGeneralNode = CPageNode<kNodeGeneral>;
using CIniNode = CPageNode<kNodeIni>;
using CTimeNode = CPageNode<kNodeTime>;
using CCalendarNode = CPageNode<kNodeCalendar>;
using CNewsNode = CPageNode<kNodeNews>;
using CTrayNode = CPageNode<kNodeTray>;

class CClockNode : public CTreeNode {
public:
    CClockNode();
    ~CClockNode() override;
    CTreeNode* Clone() const override;
    void GetCaption(WCHAR* buffer, int chars) const override;
    void ReadCheckState() override;
    // record: a ClockRecord; the node keeps its own copy of the alarm array.
    void Exchange(void* record, bool store) override;
    void* GetRecord() override { return &m_record; }
    int GetPageKind() const override;
    bool IsChecked() const override { return m_record.enabled != 0; }
    bool SetChecked(bool on) override;
    bool IsClock() const override { return true; }

    ClockRecord& Record() { return m_record; }
    const ClockRecord& Record() const { return m_record; }
    // The child of `kind`, null when missing.
    CTreeNode* Child(NodeKind kind) const;

private:
    CClockNode(const CClockNode& other);

    ClockRecord m_record;
};

// Children of a clock; their record is the clock's.
class CClockChildNode : public CSimpleNode {
public:
    void* GetRecord() override;

protected:
    using CSimpleNode::CSimpleNode;
};

class CFormatsNode : public CClockChildNode {
public:
    CFormatsNode() : CClockChildNode(kNodeFormats) {}
    CTreeNode* Clone() const override { return new CFormatsNode(*this); }
    int GetPageKind() const override;
};

class CDesktopNode : public CClockChildNode {
public:
    CDesktopNode() : CClockChildNode(kNodeDesktop) {}
    CTreeNode* Clone() const override { return new CDesktopNode(*this); }
};

// The alarm and background lists: a switch for the whole list, with a check
// box only while the list has entries.
class CListNode : public CClockChildNode {
public:
    void ReadCheckState() override;
    bool IsChecked() const override { return m_on; }
    bool SetChecked(bool on) override;

protected:
    explicit CListNode(NodeKind kind) : CClockChildNode(kind) {}

    bool m_on = true;
};

class CAlarmsNode : public CListNode {
public:
    CAlarmsNode() : CListNode(kNodeAlarms) {}
    CTreeNode* Clone() const override { return new CAlarmsNode(*this); }
    // record: the clock's ClockRecord
    void Exchange(void* record, bool store) override;
};

class CBackgroundsNode : public CListNode {
public:
    CBackgroundsNode() : CListNode(kNodeBackgrounds) {}
    CTreeNode* Clone() const override { return new CBackgroundsNode(*this); }
    // record: the clock's ClockRecord
    void Exchange(void* record, bool store) override;
};

class CAlarmNode : public CTreeNode {
public:
    CAlarmNode();
    CTreeNode* Clone() const override { return new CAlarmNode(*this); }
    void GetCaption(WCHAR* buffer, int chars) const override;
    void ReadCheckState() override;
    // record: an AlarmRecord
    void Exchange(void* record, bool store) override;
    void* GetRecord() override { return &m_alarm; }
    int GetPageKind() const override;
    bool IsChecked() const override { return m_alarm.enabled != 0; }
    bool SetChecked(bool on) override;
    bool HasLocalizedCaption() override;

    const AlarmRecord& Alarm() const { return m_alarm; }

private:
    int32_t m_captionId = 0;    // the comment is this language string
    int32_t m_textId = 0;       // the text is this language string
    AlarmRecord m_alarm;
    // The default texts as last put in: a page may have replaced them since.
    std::wstring m_defaultComment;
    std::wstring m_defaultText;
};

class CBackgroundNode : public CTreeNode {
public:
    CBackgroundNode();
    CTreeNode* Clone() const override { return new CBackgroundNode(*this); }
    void GetCaption(WCHAR* buffer, int chars) const override;
    void ReadCheckState() override;
    // record: a ClockProfileRecord
    void Exchange(void* record, bool store) override;
    void* GetRecord() override { return &m_profile; }
    int GetPageKind() const override;
    bool IsChecked() const override { return m_profile.enabled != 0; }
    bool SetChecked(bool on) override;
    bool HasLocalizedCaption() override;

    const ClockProfileRecord& Profile() const { return m_profile; }

private:
    ClockProfileRecord m_profile;
    int32_t m_captionId = 0;    // the label is this language string
    std::wstring m_defaultLabel;
};
