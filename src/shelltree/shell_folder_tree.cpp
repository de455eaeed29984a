#include "shelltree/shell_folder_tree.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tarvo {

std::uint16_t ItemByteSize(IdList item) noexcept {
    if (!item) return 0;
    unsigned char bytes[2];
    std::memcpy(bytes, item, 2);
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

ShellFolderTree::RedrawPause::RedrawPause(ShellFolderTree& owner) : owner_(owner), paused_(!owner.redrawPaused_) {
    if (!paused_) return;
    owner_.redrawPaused_ = true;
    owner_.tree_->Redraw(false);
}

ShellFolderTree::RedrawPause::~RedrawPause() {
    if (!paused_) return;
    owner_.tree_->Redraw(true);
    owner_.redrawPaused_ = false;
}

ShellFolderTree::ShellFolderTree(IShellNamespace& shell, IChangeNotifier& notifier)
    : shell_(shell), notifier_(notifier) {}

ShellFolderTree::~ShellFolderTree() {
    ClearTree();
    if (tree_) tree_->Listener(nullptr);
}

void ShellFolderTree::Init(IFolderTree& TreeView) {
    if (tree_) tree_->Listener(nullptr);
    tree_ = &TreeView;
    tree_->Listener(this);
    imageListSet_ = false;
}

// Asked for when the first nodes come: building the system image list is costly
// and nothing of it shows before.
void ShellFolderTree::PrepareImageList() {
    if (imageListSet_) return;
    tree_->HImageListSet(shell_.SmallImageList());
    defaultIconIndex_ = shell_.DefaultIconIndex();
    imageListSet_ = true;
}

void ShellFolderTree::ClearTree() {
    if (!tree_) return;
    if (rootNode_) {
        FreeNodePIDLs(rootNode_);
        rootNode_ = 0;
    }
    rootPidl_.reset();
    shownParent_.reset();
    shownParentBytes_.clear();
    NotifyStop();
    tree_->WantEvents(false);
    tree_->Redraw(false);
    tree_->EraseAll();
    tree_->Redraw(true);
    tree_->WantEvents(true);
}

void ShellFolderTree::RootNodeCSIDLSet(int csidl) {
    if (!tree_) return;
    ClearTree();
    PrepareImageList();
    rootPidl_.reset(shell_.CloneSpecialIdList(csidl));
    const IdList root = rootPidl_.get();
    if (!root) return;
    auto folder = shell_.BindToParentFolder(root);
    rootNode_ = AddFolderNode(*folder, root, 0);
    tree_->ExpandNode(rootNode_);
    notifying_ = notifier_.Start(root, *this);
}

void ShellFolderTree::NotifyStop() {
    ForgetLastNotification();
    if (notifying_) {
        notifying_ = false;
        notifier_.Stop();
    }
}

void ShellFolderTree::ForgetLastNotification() {
    lastEvent_ = 0;
    lastItem1_ = lastItem2_ = nullptr;
    lastClone1_.reset();
    lastClone2_.reset();
}

void ShellFolderTree::NotifyWindowDestroyed() { NotifyStop(); }

std::wstring ShellFolderTree::FullPathGet(NodeHandle hNode) {
    if (!tree_ || !hNode) return L"";
    IdList pidl = tree_->ItemData(hNode);
    return pidl ? shell_.ParsingNameOf(pidl) : L"";
}

void ShellFolderTree::FullPathSet(std::wstring FullPath) {
    if (!tree_ || FullPath.empty()) return;
    if (FullPath.size() == 2 && FullPath[1] == L':') FullPath += L'\\';
    ScopedIdList target(shell_, shell_.ParsePath(FullPath));
    if (GetItemIDCount(target.get()) == 0 || !rootNode_) return;
    RedrawPause pause(*this);
    SelectPathFrom(rootNode_, target.get());
}

void ShellFolderTree::SelectPathFrom(NodeHandle hNode, IdList target) {
    tree_->ExpandNode(hNode);
    for (NodeHandle child = tree_->FirstChild(hNode); child; child = tree_->NextSibling(child)) {
        // Asking a collapsed node to collapse would make the tree ask whether it has children.
        if (tree_->NodeExpanded(child)) tree_->CollapseNode(child);
    }
    for (NodeHandle child = tree_->FirstChild(hNode); child; child = tree_->NextSibling(child)) {
        IdList pidl = tree_->ItemData(child);
        if (!pidl) continue;
        switch (GetPIDLRelation(pidl, target)) {
            case 1:
                SelectPathFrom(child, target);
                return;
            case 2:
                tree_->SelectedNodeSet(child, true);
                return;
            default:
                break;
        }
    }
}

int ShellFolderTree::GetItemIDCount(IdList pidl) {
    int count = 0;
    for (IdList item = pidl; item && ItemByteSize(item) != 0; item = shell_.GetNext(item)) ++count;
    return count;
}

IdList ShellFolderTree::GetItemID(IdList pidl, std::int16_t nItem) {
    if (nItem == 1) return shell_.CloneFirst(pidl);
    if (nItem == -1 || nItem >= GetItemIDCount(pidl)) return shell_.Clone(shell_.FindLastId(pidl));
    IdList item = pidl;
    for (int step = 1; step < nItem; ++step) item = shell_.GetNext(item);
    const std::uint16_t size = ItemByteSize(item);
    IdList copy = shell_.Alloc(size + 2u);
    if (!copy) return nullptr;
    auto* bytes = reinterpret_cast<unsigned char*>(copy);
    std::memcpy(bytes, item, size);
    bytes[size] = 0;
    bytes[size + 1] = 0;
    return copy;
}

IdList ShellFolderTree::GetPIDLParent(IdList pidlFQ) {
    if (GetItemIDCount(pidlFQ) <= 1) return nullptr;
    ScopedIdList parent(shell_, shell_.Clone(pidlFQ));
    if (!parent.get() || !shell_.RemoveLastId(parent.get())) return nullptr;
    return parent.release();
}

std::int16_t ShellFolderTree::GetPIDLRelation(IdList a, IdList b) {
    const int n = GetItemIDCount(a);
    const int m = GetItemIDCount(b);
    if (n > m) return 0;
    if (n == 0) return 1;
    for (int i = 1; i <= n; ++i) {
        ScopedIdList itemA(shell_, GetItemID(a, static_cast<std::int16_t>(i)));
        ScopedIdList itemB(shell_, GetItemID(b, static_cast<std::int16_t>(i)));
        if (!shell_.IsEqual(itemA.get(), itemB.get())) return 0;
    }
    return n == m ? 2 : 1;
}

void ShellFolderTree::mTreeView_BeforeExpand(NodeHandle& hNode, IdList& lParam, bool& AllreadyExpanded) {
    if (AllreadyExpanded || !tree_) return;
    tree_->ShowWaitCursor(true);
    {
        // A native tree repaints on every insertion otherwise, which dominates large folders.
        RedrawPause pause(*this);
        LoadChildNodes(lParam, hNode);
    }
    tree_->ShowWaitCursor(false);
}

void ShellFolderTree::LoadChildNodes(IdList pidl, NodeHandle hNode) {
    auto folder = shell_.BindToFolder(pidl);
    auto children = folder->EnumSubFolders();
    if (!children) return;
    while (IdList relative = children->Next()) {
        ScopedIdList item(shell_, relative);
        ScopedIdList child(shell_, shell_.Combine(pidl, relative));
        if (child.get()) AddOwnedFolderNode(*folder, child, hNode);
    }
}

NodeHandle ShellFolderTree::AddFolderNode(IFolder& folder, IdList pidlFQ, NodeHandle hParent) {
    const IdList item = shell_.FindLastId(pidlFQ);
    const bool hidden = (folder.AttributesOf(item, kAttrHidden) & kAttrHidden) != 0;
    return tree_->AddNodeOnDemand(folder.DisplayNameOf(item, kNameInFolder), pidlFQ, hParent, hidden);
}

NodeHandle ShellFolderTree::AddOwnedFolderNode(IFolder& folder, ScopedIdList& pidlFQ, NodeHandle hParent) {
    const NodeHandle hNode = AddFolderNode(folder, pidlFQ.get(), hParent);
    if (hNode) pidlFQ.release();
    return hNode;
}

void ShellFolderTree::mTreeView_GetDisplayInfo(NodeHandle, IdList lParam, NodeDisplayInfo& info) {
    if (!lParam) return;
    IFolder& folder = ParentFolderOf(lParam);
    IdList item = shell_.FindLastId(lParam);
    if (info.wantChildren) info.hasChildren = HasSubFolders(folder, item);
    if (info.wantImage || (info.wantSelectedImage && !info.selected)) info.image = folder.IconIndexOf(item);
    // Only the selected node shows its open icon; another one gets it when it is selected.
    if (info.wantSelectedImage) info.selectedImage = info.selected ? SelectedImageOf(folder, item) : info.image;
}

void ShellFolderTree::mTreeView_Selected(NodeHandle hNode, IdList lParam) {
    if (!tree_ || !hNode || !lParam) return;
    tree_->SelectedImage(hNode, SelectedImageOf(ParentFolderOf(lParam), shell_.FindLastId(lParam)));
}

int ShellFolderTree::SelectedImageOf(IFolder& folder, IdList item) {
    const int open = folder.OpenIconIndexOf(item);
    if (open != defaultIconIndex_) return open;
    const int normal = folder.IconIndexOf(item);
    return normal != open ? normal : open;
}

// Some shells report the bit for every folder: the first sub-folder found confirms it.
bool ShellFolderTree::HasSubFolders(IFolder& folder, IdList item) {
    if ((folder.AttributesOf(item, kAttrHasSubFolder) & kAttrHasSubFolder) == 0) return false;
    auto children = folder.EnumSubFoldersOf(item);
    if (!children) return false;
    ScopedIdList first(shell_, children->Next());
    return first.get() != nullptr;
}

// Equal bytes name the same folder; a folder named by other bytes is bound anew.
IFolder& ShellFolderTree::ParentFolderOf(IdList pidl) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(pidl);
    const auto* last = reinterpret_cast<const unsigned char*>(shell_.FindLastId(pidl));
    if (!shownParent_ || !std::equal(bytes, last, shownParentBytes_.begin(), shownParentBytes_.end())) {
        shownParent_ = shell_.BindToParentFolder(pidl);
        shownParentBytes_.assign(bytes, last);
    }
    return *shownParent_;
}

NodeHandle ShellFolderTree::FindNodeByPIDL(NodeHandle hStart, IdList pidl) {
    if (!hStart || !pidl) return 0;
    for (NodeHandle child = tree_->FirstChild(hStart); child; child = tree_->NextSibling(child)) {
        IdList data = tree_->ItemData(child);
        if (data && shell_.IsEqual(data, pidl)) return child;
    }
    for (NodeHandle child = tree_->FirstChild(hStart); child; child = tree_->NextSibling(child)) {
        if (NodeHandle hit = FindNodeByPIDL(child, pidl)) return hit;
    }
    return 0;
}

void ShellFolderTree::FreeNodePIDLs(NodeHandle hNode) {
    for (NodeHandle child = tree_->FirstChild(hNode); child; child = tree_->NextSibling(child)) {
        FreeNodePIDLs(child);
        if (IdList data = tree_->ItemData(child)) {
            shell_.Free(data);
            tree_->ItemData(child, nullptr);
        }
    }
}

void ShellFolderTree::FreeNodeAndDelete(NodeHandle hNode) {
    FreeNodePIDLs(hNode);
    if (IdList data = tree_->ItemData(hNode)) shell_.Free(data);
    tree_->DeleteNode(hNode);
}

bool ShellFolderTree::SameList(IdList a, IdList b) {
    if (!a || !b) return a == b;
    return shell_.IsEqual(a, b);
}

bool ShellFolderTree::IsRepeatedNotification(long event, IdList item1, IdList item2) {
    if (event == lastEvent_ && item1 == lastItem1_ && item2 == lastItem2_ && SameList(item1, lastClone1_.get()) &&
        SameList(item2, lastClone2_.get())) {
        return true;
    }
    ForgetLastNotification();
    lastEvent_ = event;
    lastItem1_ = item1;
    lastItem2_ = item2;
    lastClone1_.reset(item1 ? shell_.Clone(item1) : nullptr);
    lastClone2_.reset(item2 ? shell_.Clone(item2) : nullptr);
    return false;
}

void ShellFolderTree::ShellNotify(long event, IdList item1, IdList item2) {
    if (!tree_ || !rootNode_ || IsRepeatedNotification(event, item1, item2)) return;
    switch (event) {
        case kEventRmdir:
        case kEventMediaRemoved:
        case kEventDriveRemoved:
            OnFolderRemoved(item1);
            break;
        case kEventMkdir:
        case kEventMediaInserted:
        case kEventDriveAdd:
            OnFolderAdded(item1);
            break;
        case kEventUpdateDir:
            OnFolderUpdated(item1);
            break;
        case kEventRenameFolder:
            OnFolderRenamed(item1, item2);
            break;
        default:
            break;
    }
}

void ShellFolderTree::OnFolderRemoved(IdList item) {
    ScopedIdList parent(shell_, GetPIDLParent(item));
    const NodeHandle parentNode = FindNodeByPIDL(rootNode_, parent.get());
    if (!parentNode) return;
    auto folder = shell_.BindToParentFolder(parent.get());
    if (!HasSubFolders(*folder, shell_.FindLastId(parent.get()))) {
        FreeNodePIDLs(parentNode);
        tree_->CollapseReset(parentNode);
        tree_->ChildrenFlag(parentNode, 0);
        return;
    }
    if (NodeHandle node = FindNodeByPIDL(rootNode_, item)) FreeNodeAndDelete(node);
}

void ShellFolderTree::OnFolderAdded(IdList item) {
    ScopedIdList parent(shell_, GetPIDLParent(item));
    const NodeHandle parentNode = FindNodeByPIDL(rootNode_, parent.get());
    if (!parentNode) return;
    if (tree_->FirstChild(parentNode)) {
        auto folder = shell_.BindToFolder(parent.get());
        ScopedIdList child(shell_, shell_.Clone(item));
        if (child.get()) AddOwnedFolderNode(*folder, child, parentNode);
    } else if (tree_->ChildrenFlag(parentNode) == 0) {
        tree_->ChildrenFlag(parentNode, 1);
    }
}

void ShellFolderTree::OnFolderUpdated(IdList item) {
    const NodeHandle node = FindNodeByPIDL(rootNode_, item);
    if (!node) return;
    FreeNodePIDLs(node);
    RedrawPause pause(*this);
    if (tree_->CollapseReset(node)) tree_->ExpandNode(node);
}

void ShellFolderTree::OnFolderRenamed(IdList oldItem, IdList newItem) {
    if (!oldItem || !newItem) return;
    ScopedIdList oldClone(shell_, shell_.Clone(oldItem));
    ScopedIdList newClone(shell_, shell_.Clone(newItem));
    ScopedIdList oldParent(shell_, GetPIDLParent(oldClone.get()));
    ScopedIdList newParent(shell_, GetPIDLParent(newClone.get()));
    const NodeHandle node = FindNodeByPIDL(rootNode_, oldClone.get());
    if (GetPIDLRelation(oldParent.get(), newParent.get()) == 2) {
        if (!node) return;
        if (IdList stale = tree_->ItemData(node)) shell_.Free(stale);
        ScopedIdList last(shell_, GetItemID(newClone.get(), -1));
        const std::wstring name = shell_.BindToFolder(newParent.get())->DisplayNameOf(last.get(), kNameInFolder);
        tree_->ReplaceTextAndData(node, name, newClone.release());
        return;
    }
    if (node) FreeNodeAndDelete(node);
    if (NodeHandle newParentNode = FindNodeByPIDL(rootNode_, newParent.get())) {
        auto folder = shell_.BindToFolder(newParent.get());
        AddOwnedFolderNode(*folder, newClone, newParentNode);
    }
}

}  // namespace tarvo
