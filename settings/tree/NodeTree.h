// The settings tree: the page nodes and the clocks in display order, the
// rules for adding, deleting, moving and copying nodes, and the tree view the
// nodes show in once one is attached. GUI thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "settings/tree/TreeNode.h"

class ILanguageStrings;
struct ClockReadContext;

class CNodeTree {
public:
    // `language` gives the captions; it must outlive the tree.
    explicit CNodeTree(const ILanguageStrings& language);
    ~CNodeTree();
    CNodeTree(const CNodeTree&) = delete;
    CNodeTree& operator=(const CNodeTree&) = delete;

    const ILanguageStrings& Language() const { return *m_language; }
    void SetLanguage(const ILanguageStrings& language) { m_language = &language; }
    HWND Window() const { return m_window; }
    // The clock templates of default.ini are read with this context; its
    // paths must outlive the tree.
    void SetTemplateContext(const ClockReadContext* context) { m_templates = context; }
    const ClockReadContext* TemplateContext() const { return m_templates; }

    // A new node, or null when refused:
    // - top level with `source`: a clone of it with copies of its children
    //   (refused for a 31st clock);
    // - top level without: a new clock with its four children, loaded from
    //   the template of `pageKind` when `useTemplate` is set;
    // - under `parent` with `source`: a clone appended to `parent`;
    // - under a list without `source`: a new alarm or background with the
    //   default record.
    // The node is placed before `before` (at the end when it is null or in
    // another list). The tree owns the node.
    CTreeNode* AddTreeNode(CTreeNode* parent, CTreeNode* before, bool useTemplate, CTreeNode* source, int pageKind);
    // Moves `node` under `parent` (null: top level) before `before`. Under a
    // parent only an alarm into an alarm list or a background into a list of
    // fewer than 12 others.
    bool InsertNode(CTreeNode* node, CTreeNode* parent, CTreeNode* before);
    void DeleteNode(CTreeNode* node);
    void ClearTree();
    // The node's items and those of its children, or their removal.
    void CreateTreeItems(CTreeNode* node, bool create);
    // Moves every item from the old tree view (may be null) to `window`.
    void AttachTreeWindow(HWND window);

    int ClockCount() const { return (int)m_clocks.size(); }
    int TopCount() const { return (int)m_top.size(); }
    CClockNode* Clock(int index) const { return m_clocks[index]; }
    CTreeNode* Top(int index) const { return m_top[index]; }
    CClockNode* FindClockById(uint32_t id) const;
    int CountEnabledClocks() const;
    static CTreeNode* GetClockAncestor(CTreeNode* node);
    CTreeNode* NextSibling(const CTreeNode* node) const;
    CTreeNode* PrevSibling(const CTreeNode* node) const;

    // The rules behind the dialog's buttons and drag and drop.
    bool CanAddNode(CTreeNode* selected) const;
    bool CanDeleteNode(CTreeNode* node) const;
    // `node` placed before `target`, or at the end of the target's list when
    // the target is the list node; `copy` places a clone instead.
    bool CanMoveNode(CTreeNode* node, CTreeNode* target, bool copy) const;
    bool MoveTreeNode(CTreeNode* node, CTreeNode* target, bool copy);

    // New default texts in the current language for every node that has
    // them, then each clock stores its state into its record.
    void RelocalizeTree();

    // Replaces the clock's alarm and background nodes with those of `record`
    // and loads the record into it.
    void LoadClockNode(CClockNode* node, const ClockRecord& record);
    // Clones the source's children (recursively) under `target`; `clear`
    // deletes the target's children first. Nothing happens between a node
    // and itself or its parent.
    static void CopyChildren(CTreeNode* target, const CTreeNode* source, bool clear);

    // The records of new alarms and backgrounds.
    void DefaultAlarm(AlarmRecord* alarm) const;
    void DefaultBackground(ClockProfileRecord* profile) const;

private:
    friend class CTreeNode;

    // String `id` of the language, or `fallback`, into a record's text field.
    void LoadDefaultText(UINT id, const WCHAR* fallback, WCHAR* field, size_t width) const;
    CClockNode* NewClock();
    void LoadTemplate(CClockNode* node, int pageKind);
    std::vector<CTreeNode*>& ListOf(CTreeNode* parent) { return parent ? parent->m_children : m_top; }
    const std::vector<CTreeNode*>& ListOf(const CTreeNode* parent) const { return parent ? parent->m_children : m_top; }
    // Takes the node out of its list and its items out of the view.
    void Detach(CTreeNode* node);
    // Sets the owning tree of the node and its descendants.
    void Adopt(CTreeNode* node);
    // No node, onto itself, or a move before its own next sibling.
    bool ChangesNothing(CTreeNode* node, CTreeNode* target, bool copy) const;
    bool CanMoveChild(CTreeNode* node, CTreeNode* target, bool copy, bool anyTarget) const;
    bool MoveChild(CTreeNode* node, CTreeNode* target, bool copy);
    bool CanMoveList(CTreeNode* node, CTreeNode* target) const;
    void RelocalizeNode(CTreeNode* node);
    void UpdateItem(CTreeNode* node);

    const ILanguageStrings* m_language;
    const ClockReadContext* m_templates = nullptr;
    HWND m_window = nullptr;
    std::vector<CClockNode*> m_clocks;
    std::vector<CTreeNode*> m_top;
};
