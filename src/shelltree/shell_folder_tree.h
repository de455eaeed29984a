#pragma once
// ShellFolderTree: the folder tree logic.
// The shell logic behind the folder tree: builds the tree at a special folder,
// loads sub-folders on first expansion, finds the node of a path and keeps the
// loaded part current through change notifications. Every node owns the
// absolute identifier list stored as its item data. A node is inserted with
// its name and hidden state only; its icon and whether it has sub-folders are
// asked of the shell when the tree first needs them, and its open icon when it
// is selected, so a large folder costs per child no more than its enumeration,
// name and attributes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shelltree/folder_tree.h"
#include "shelltree/shell_namespace.h"

namespace tarvo {

class ShellFolderTree : public ITreeListener, public INotifySink {
public:
    ShellFolderTree(IShellNamespace& shell, IChangeNotifier& notifier);
    ShellFolderTree(const ShellFolderTree&) = delete;
    ShellFolderTree& operator=(const ShellFolderTree&) = delete;
    virtual ~ShellFolderTree();

    void Init(IFolderTree& TreeView);
    // Hands the system image list to the tree once; rooting does it too.
    void PrepareImageList();
    void RootNodeCSIDLSet(int csidl);
    std::wstring FullPathGet(NodeHandle hNode);
    void FullPathSet(std::wstring FullPath);

    NodeHandle RootNode() const noexcept { return rootNode_; }
    bool Notifying() const noexcept { return notifying_; }

    // New lists owned by the caller.
    IdList GetItemID(IdList pidl, std::int16_t nItem);
    IdList GetPIDLParent(IdList pidlFQ);
    // 0 unrelated, 1 a is an ancestor of b, 2 equal.
    std::int16_t GetPIDLRelation(IdList a, IdList b);
    int GetItemIDCount(IdList pidl);

    void mTreeView_BeforeExpand(NodeHandle& hNode, IdList& lParam, bool& AllreadyExpanded) override;
    void mTreeView_GetDisplayInfo(NodeHandle hNode, IdList lParam, NodeDisplayInfo& info) override;
    void mTreeView_Selected(NodeHandle hNode, IdList lParam) override;
    void ShellNotify(long event, IdList item1, IdList item2) override;
    void NotifyWindowDestroyed() override;

private:
    // Switches redraw off for its lifetime unless an outer scope already did.
    class RedrawPause {
    public:
        explicit RedrawPause(ShellFolderTree& owner);
        RedrawPause(const RedrawPause&) = delete;
        RedrawPause& operator=(const RedrawPause&) = delete;
        ~RedrawPause();

    private:
        ShellFolderTree& owner_;
        bool paused_;
    };

    // The list stays the caller's.
    NodeHandle AddFolderNode(IFolder& folder, IdList pidlFQ, NodeHandle hParent);
    // The new node takes the list over; it stays in `pidlFQ` when no node could be made.
    NodeHandle AddOwnedFolderNode(IFolder& folder, ScopedIdList& pidlFQ, NodeHandle hParent);
    void LoadChildNodes(IdList pidl, NodeHandle hNode);
    void SelectPathFrom(NodeHandle hNode, IdList target);
    // The folder holding an absolute list's last item; the one bound last serves while its list is the same.
    IFolder& ParentFolderOf(IdList pidl);
    bool HasSubFolders(IFolder& folder, IdList item);
    // The open icon, or the closed one where the open one is the default icon.
    int SelectedImageOf(IFolder& folder, IdList item);
    NodeHandle FindNodeByPIDL(NodeHandle hStart, IdList pidl);
    void FreeNodePIDLs(NodeHandle hNode);
    void FreeNodeAndDelete(NodeHandle hNode);
    void ClearTree();
    void NotifyStop();
    void ForgetLastNotification();

    bool SameList(IdList a, IdList b);
    bool IsRepeatedNotification(long event, IdList item1, IdList item2);
    void OnFolderRemoved(IdList item);
    void OnFolderAdded(IdList item);
    void OnFolderUpdated(IdList item);
    void OnFolderRenamed(IdList oldItem, IdList newItem);

    IShellNamespace& shell_;
    IChangeNotifier& notifier_;
    IFolderTree* tree_ = nullptr;
    int defaultIconIndex_ = 0;
    ScopedIdList rootPidl_{shell_, nullptr};
    NodeHandle rootNode_ = 0;
    bool notifying_ = false;
    bool redrawPaused_ = false;
    bool imageListSet_ = false;
    // The nodes drawn together are mostly siblings: their folder is bound once.
    std::vector<unsigned char> shownParentBytes_;
    std::unique_ptr<IFolder> shownParent_;

    long lastEvent_ = 0;
    IdList lastItem1_ = nullptr;  // as received, only compared
    IdList lastItem2_ = nullptr;
    ScopedIdList lastClone1_{shell_, nullptr};
    ScopedIdList lastClone2_{shell_, nullptr};
};

}  // namespace tarvo
