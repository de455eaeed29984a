#pragma once
// The tree the folder logic drives: the operations of the tree control's
// View, Behavior and Methods plus the few raw tree messages the logic sends.
#include <cstdint>
#include <string>

#include "shelltree/shell_namespace.h"

namespace tarvo {

// A tree item handle; 0 is none.
using NodeHandle = std::uintptr_t;

// A children flag not yet asked for (the tree view's I_CHILDRENCALLBACK).
constexpr int kChildrenOnDemand = -1;

// What the tree asks of a node the first time it needs it (when the node comes
// into view or is about to expand); the tree keeps the answer in the node.
struct NodeDisplayInfo {
    bool wantImage = false;
    bool wantSelectedImage = false;
    bool wantChildren = false;
    bool selected = false;  // the node is the selected one
    int image = 0;
    int selectedImage = 0;
    bool hasChildren = false;
};

class ITreeListener {
public:
    virtual void mTreeView_BeforeExpand(NodeHandle& hNode, IdList& lParam, bool& AllreadyExpanded) = 0;
    virtual void mTreeView_GetDisplayInfo(NodeHandle hNode, IdList lParam, NodeDisplayInfo& info) = 0;
    // Raised after the node became the selected one.
    virtual void mTreeView_Selected(NodeHandle hNode, IdList lParam) = 0;

protected:
    ~ITreeListener() = default;
};

class IFolderTree {
public:
    virtual ~IFolderTree() = default;

    // Receives BeforeExpand and the display-info requests; null stops them.
    virtual void Listener(ITreeListener* listener) = 0;
    virtual void ShowWaitCursor(bool waiting) = 0;

    // View and Behavior.
    virtual void HImageListSet(std::uintptr_t imageList) = 0;
    virtual void WantEvents(bool value) = 0;
    virtual void Redraw(bool value) = 0;

    // Methods.
    virtual void EraseAll() = 0;
    // A last child whose icons and children flag are asked for when first needed.
    virtual NodeHandle AddNodeOnDemand(const std::wstring& NodeText, IdList lParam, NodeHandle hParent, bool cut) = 0;
    virtual void ExpandNode(NodeHandle hNode) = 0;
    virtual void CollapseNode(NodeHandle hNode) = 0;
    virtual void SelectedNodeSet(NodeHandle hNode, bool EnsureVisible) = 0;
    virtual NodeHandle SelectedNodeGet() = 0;

    // Tree messages.
    virtual NodeHandle FirstChild(NodeHandle hNode) = 0;
    virtual NodeHandle NextSibling(NodeHandle hNode) = 0;
    virtual bool NodeExpanded(NodeHandle hNode) = 0;
    virtual IdList ItemData(NodeHandle hNode) = 0;
    virtual void ItemData(NodeHandle hNode, IdList data) = 0;
    virtual void ReplaceTextAndData(NodeHandle hNode, const std::wstring& text, IdList data) = 0;
    // kChildrenOnDemand while the tree has not asked for it yet.
    virtual int ChildrenFlag(NodeHandle hNode) = 0;
    virtual void ChildrenFlag(NodeHandle hNode, int children) = 0;
    virtual void SelectedImage(NodeHandle hNode, int image) = 0;
    // Collapses and drops the children (TVE_COLLAPSE | TVE_COLLAPSERESET); false when nothing was expandable.
    virtual bool CollapseReset(NodeHandle hNode) = 0;
    virtual void DeleteNode(NodeHandle hNode) = 0;
};

}  // namespace tarvo
