// Where Up and Down move a node of the settings tree: the node MoveTreeNode
// places it before (or the list it is appended to), or null.
#pragma once

class CNodeTree;
class CTreeNode;

// The previous sibling; for the first alarm or background of a clock the
// same list of the previous clock.
CTreeNode* NodeAbove(const CNodeTree& tree, CTreeNode* node);
// The sibling after the next one; the own list (null at top level) when the
// next one is the last; for the last alarm or background of a clock the
// first entry of the next clock's list, or that list when it is empty.
CTreeNode* NodeBelow(const CNodeTree& tree, CTreeNode* node);
