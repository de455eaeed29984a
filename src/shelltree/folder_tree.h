#pragma once
// The tree the folder logic drives: the operations of the tree control's
// View, Behavior and Methods plus the few raw tree messages the logic sends.
#include <cstdint>
#include <string>

#include "shelltree/shell_namespace.h"

namespace tarvo {

// A tree item handle; 0 is none.
using NodeHandle = std::uintptr_t;

class IExpandListener {
public:
    virtual void mTreeView_BeforeExpand(NodeHandle& hNode, IdList& lParam, bool& AllreadyExpanded) = 0;

protected:
    ~IExpandListener() = default;
};

class IFolderTree {
public:
    virtual ~IFolderTree() = default;

    // Receives BeforeExpand; null stops it.
    virtual void SetExpandListener(IExpandListener* listener) = 0;
    virtual void ShowWaitCursor(bool waiting) = 0;

    // View and Behavior.
    virtual void HImageListSet(std::uintptr_t imageList) = 0;
    virtual void WantEventsSet(bool value) = 0;
    virtual void RedrawSet(bool value) = 0;

    // Methods.
    virtual void EraseAll() = 0;
    virtual NodeHandle AddNode(const std::wstring& NodeText, int ImgIndex, int SelImgIndex, IdList lParam,
                               NodeHandle hParent, bool bForcePlusButton) = 0;
    virtual void ExpandNode(NodeHandle hNode) = 0;
    virtual void CollapseNode(NodeHandle hNode) = 0;
    virtual void NodeImgSetToCut(NodeHandle hNode, bool TrueForCut) = 0;
    virtual void SelectedNodeSet(NodeHandle hNode, bool EnsureVisible) = 0;
    virtual NodeHandle SelectedNodeGet() = 0;

    // Tree messages.
    virtual NodeHandle FirstChild(NodeHandle hNode) = 0;
    virtual NodeHandle NextSibling(NodeHandle hNode) = 0;
    virtual IdList ItemData(NodeHandle hNode) = 0;
    virtual void SetItemData(NodeHandle hNode, IdList data) = 0;
    virtual void SetTextAndData(NodeHandle hNode, const std::wstring& text, IdList data) = 0;
    virtual int ChildrenFlag(NodeHandle hNode) = 0;
    virtual void SetChildrenFlag(NodeHandle hNode, int children) = 0;
    // Collapses and drops the children (TVE_COLLAPSE | TVE_COLLAPSERESET); false when nothing was expandable.
    virtual bool CollapseReset(NodeHandle hNode) = 0;
    virtual void DeleteNode(NodeHandle hNode) = 0;
};

}  // namespace tarvo
