#include "settings/dialog/NodeTargets.h"

#include "settings/tree/NodeTree.h"

namespace {

// The list of kind `list` of the clock `step` places away from the node's clock.
CTreeNode* NeighbourList(const CNodeTree& tree, CTreeNode* node, int step, NodeKind list)
{
    CClockNode* clock = node->ClockAncestor();
    if (!clock)
        return nullptr;
    for (int i = 0; i < tree.ClockCount(); ++i) {
        if (tree.Clock(i) != clock)
            continue;
        int other = i + step;
        if (other < 0 || other >= tree.ClockCount())
            return nullptr;
        return tree.Clock(other)->Child(list);
    }
    return nullptr;
}

NodeKind ListKindOf(const CTreeNode* node)
{
    return node->Kind() == kNodeAlarm ? kNodeAlarms : kNodeBackgrounds;
}

bool IsListEntry(const CTreeNode* node)
{
    return node->Kind() == kNodeAlarm || node->Kind() == kNodeBackground;
}

}  // namespace

CTreeNode* NodeAbove(const CNodeTree& tree, CTreeNode* node)
{
    if (!node)
        return nullptr;
    if (CTreeNode* previous = tree.PrevSibling(node))
        return previous;
    if (!node->Parent() || !IsListEntry(node))
        return nullptr;
    return NeighbourList(tree, node, -1, ListKindOf(node));
}

CTreeNode* NodeBelow(const CNodeTree& tree, CTreeNode* node)
{
    if (!node)
        return nullptr;
    if (CTreeNode* next = tree.NextSibling(node)) {
        if (CTreeNode* after = tree.NextSibling(next))
            return after;
        return node->Parent();
    }
    if (!node->Parent() || !IsListEntry(node))
        return nullptr;
    CTreeNode* list = NeighbourList(tree, node, 1, ListKindOf(node));
    if (list && !list->Children().empty())
        return list->Children().front();
    return list;
}
