#pragma once
// The folder tree control: a "SysTreeView32" window inside a host window of its
// own, its View, Behavior and Methods over the tree's messages, and `shTree`,
// the shell logic that fills the tree lazily and keeps it current.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "common/handles.h"
#include "controls/accelerator_routing.h"
#include "controls/msubclass.h"
#include "controls/text_control_host.h"
#include "shelltree/shell_folder_tree.h"

namespace tarvo {

// The shell logic's handle of a tree item.
inline NodeHandle AsNode(HTREEITEM item) { return reinterpret_cast<NodeHandle>(item); }

class ShellNamespaceWin32;
class ChangeNotifierWin32;

// Raised in this order of declaration; arguments may be changed by the handler.
struct SysFolderTreeEvents {
    std::function<void(HTREEITEM& hNode, LPARAM& lParam, bool& AllreadyExpanded)> BeforeExpand;
    std::function<void(HTREEITEM& hNode)> NodeDblClick;
    std::function<void()> VScroll;
    std::function<void()> HScroll;
    std::function<void()> NodeActivate;
};

class SysTreeView {
public:
    void HImageListSet(HIMAGELIST handle);

private:
    friend class VRX_SysFolderTreeView;
    HWND tree_ = nullptr;
};

class SysTreeBehavior {
public:
    bool Enabled() const { return enabled_; }
    void Enabled(bool value);
    bool Redraw() const { return redraw_; }
    void Redraw(bool value);
    bool WantEvents() const { return wantEvents_; }
    void WantEvents(bool value) { wantEvents_ = value; }

private:
    friend class VRX_SysFolderTreeView;
    HWND tree_ = nullptr;
    bool enabled_ = true;
    bool redraw_ = true;
    bool wantEvents_ = true;
};

class SysTreeMethods {
public:
    HWND hWndGet() const { return tree_; }
    void EraseAll();
    // eRelation is part of the interface and not used.
    HTREEITEM AddNode(const std::wstring& NodeText, int ImgIndex, int SelImgIndex, LPARAM lParam, HTREEITEM hParent,
                      long eRelation, bool bForcePlusButton);
    // A last child whose icons and children flag the tree asks for (TVN_GETDISPINFO) when it first needs them.
    HTREEITEM AddNodeOnDemand(const std::wstring& NodeText, LPARAM lParam, HTREEITEM hParent, bool cut);
    void ExpandNode(HTREEITEM hNode);
    void CollapseNode(HTREEITEM hNode);
    void NodeImgSetToCut(HTREEITEM hNode, bool TrueForCut);
    void SelectedNodeSet(HTREEITEM hNode, bool EnsureVisible);
    HTREEITEM SelectedNodeGet() const;

private:
    friend class VRX_SysFolderTreeView;
    static TVINSERTSTRUCTW LastChild(const std::wstring& NodeText, LPARAM lParam, HTREEITEM hParent);
    HTREEITEM Insert(TVINSERTSTRUCTW& insert);
    HWND tree_ = nullptr;
};

class VRX_SysFolderTreeView final : public ISubclass, public ITranslateAccelerator {
public:
    SysFolderTreeEvents Events;

    VRX_SysFolderTreeView();
    VRX_SysFolderTreeView(const VRX_SysFolderTreeView&) = delete;
    VRX_SysFolderTreeView& operator=(const VRX_SysFolderTreeView&) = delete;
    ~VRX_SysFolderTreeView();

    // Creates the host window inside `parent` (first call only; later calls move
    // it), then a fresh tree filling it and the shell logic over it.
    void Init(HWND parent, const RECT& bounds);
    void Refresh();
    void Move(const RECT& bounds);

    HWND TreeViewhWnd() const { return host_.Inner(); }
    HWND ContainerhWnd() const { return host_.Container(); }

    SysTreeView& View() { return view_; }
    SysTreeBehavior& Behavior() { return behavior_; }
    SysTreeMethods& Methods() { return methods_; }
    // Valid after a successful Init.
    ShellFolderTree& shTree() { return *shTree_; }
    bool HasTree() const { return shTree_ != nullptr; }

    long MsgResponse(UINT& currentMessage) override;
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;
    long TranslateAccel(MSG& msg) override;

private:
    class Binding;

    void CreateTree();
    void DestroyTree();
    void ReleaseShellLogic();
    void HandOver(HWND tree);
    void OnContainerMessage(UINT iMsg, LPARAM lParam);
    void OnNotify(NMHDR& header);
    void OnItemExpanding(const NMTREEVIEWW& notice);
    void OnGetDisplayInfo(TVITEMW& item);
    void OnSelected(const NMTREEVIEWW& notice);
    void OnDoubleClick();
    void RaiseBeforeExpand(HTREEITEM hNode, LPARAM lParam, bool expandedOnce);
    void Raise(const std::function<void()>& event) const;

    ControlHost host_;
    SysTreeView view_;
    SysTreeBehavior behavior_;
    SysTreeMethods methods_;
    std::unique_ptr<Binding> binding_;
    std::unique_ptr<ShellNamespaceWin32> shell_;
    std::unique_ptr<ChangeNotifierWin32> notifier_;
    std::unique_ptr<ShellFolderTree> shTree_;
};

}  // namespace tarvo
