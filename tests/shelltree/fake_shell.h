#pragma once
// In-memory stand-ins for the shell namespace, its change notifications and
// the tree control. Every identifier list the fake hands out is counted, so a
// test can require that none is left alive and that none is freed twice.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "shelltree/folder_tree.h"
#include "shelltree/shell_namespace.h"

namespace tarvo::fake {

struct Folder {
    std::string name;
    bool isFolder = true, hidden = false, enumFails = false;
    int icon = 10, openIcon = 11;
    Folder* parent = nullptr;
    std::vector<std::unique_ptr<Folder>> children;
    Folder* Child(const std::string& childName);
};

// Lists hold one item per name: a 16-bit size, then the name's bytes.
class Shell : public IShellNamespace {
public:
    static constexpr int kDefaultIcon = 3;
    Shell() { desktop_.name = "Desktop"; }
    ~Shell() override;

    // "Computer/C:/Work" style paths below the desktop; missing parents are made.
    Folder& Add(const std::string& path, bool isFolder = true);
    void Remove(const std::string& path);
    Folder* Find(const std::string& path) { return Walk(Split(path, '/')); }
    IdList ListOf(const std::string& path) { return MakeList(Split(path, '/')); }
    std::string PathOf(IdList list) const;
    IdList MakeList(const std::vector<std::string>& names);
    std::vector<std::string> NamesOf(IdList list) const;
    Folder* Walk(const std::vector<std::string>& names);
    static std::vector<std::string> Split(const std::string& path, char separator);

    std::size_t LiveLists() const { return live_.size(); }
    int foldersEnumerated = 0, iconQueries = 0, openIconQueries = 0, parentBinds = 0;
    int subFolderQueries = 0;  // attribute queries that ask for kAttrHasSubFolder
    bool claimsSubFolders = false;  // like a shell that reports kAttrHasSubFolder for every folder

    std::uintptr_t SmallImageList() override { return 0x5150; }
    int DefaultIconIndex() override { return kDefaultIcon; }
    IdList CloneSpecialIdList(int csidl) override;
    std::unique_ptr<IFolder> BindToParentFolder(IdList absolute) override;
    std::unique_ptr<IFolder> BindToFolder(IdList absolute) override;
    std::wstring ParsingNameOf(IdList absolute) override;
    IdList ParsePath(const std::wstring& path) override;
    IdList Clone(IdList list) override { return list ? MakeList(NamesOf(list)) : nullptr; }
    IdList CloneFirst(IdList list) override;
    IdList FindLastId(IdList list) override;
    IdList GetNext(IdList item) override;
    bool RemoveLastId(IdList list) override;
    IdList Combine(IdList first, IdList second) override;
    bool IsEqual(IdList a, IdList b) override;
    void Free(IdList list) override;
    IdList Alloc(std::size_t bytes) override;

private:
    Folder desktop_;
    std::set<void*> live_;
};

class Notifier : public IChangeNotifier {
public:
    bool Start(IdList root, INotifySink& sink) override;
    void Stop() override;
    bool canStart = true;
    int registrations = 0, starts = 0;  // live ones, all
};

// Like the native tree view, it asks for a node's icons and children flag the
// first time it needs them (drawing the node in Shown, or expanding it) and
// keeps the answer in the node.
class Tree : public IFolderTree {
public:
    static constexpr int kImageOnDemand = -1;
    struct Node {
        std::wstring text;
        int image = kImageOnDemand, selectedImage = kImageOnDemand, childrenFlag = kChildrenOnDemand;
        IdList data = nullptr;
        NodeHandle parent = 0;
        std::vector<NodeHandle> children;
        bool expanded = false, expandedOnce = false, cut = false;
    };
    std::map<NodeHandle, Node> nodes;
    std::vector<NodeHandle> roots;
    NodeHandle selected = 0;
    bool ensuredVisible = false, redraw = true, waitCursor = false;
    int redrawOffCount = 0;
    std::uintptr_t imageList = 0;
    ITreeListener* listener = nullptr;

    Node& at(NodeHandle h) { return nodes.at(h); }
    // The node as drawn: what was on demand is asked for first.
    Node& Shown(NodeHandle h);
    std::vector<std::wstring> ChildTexts(NodeHandle parent);

    void Listener(ITreeListener* l) override { listener = l; }
    void ShowWaitCursor(bool waiting) override { waitCursor = waiting; }
    void HImageListSet(std::uintptr_t list) override { imageList = list; }
    void WantEvents(bool) override {}
    void Redraw(bool value) override { redrawOffCount += !value && redraw; redraw = value; }
    void EraseAll() override;
    NodeHandle AddNodeOnDemand(const std::wstring& NodeText, IdList lParam, NodeHandle hParent, bool cut) override;
    void ExpandNode(NodeHandle hNode) override;
    void CollapseNode(NodeHandle hNode) override { if (CanExpand(hNode)) at(hNode).expanded = false; }
    void SelectedNodeSet(NodeHandle hNode, bool EnsureVisible) override;
    NodeHandle SelectedNodeGet() override { return selected; }
    NodeHandle FirstChild(NodeHandle hNode) override;
    NodeHandle NextSibling(NodeHandle hNode) override;
    bool NodeExpanded(NodeHandle hNode) override { return at(hNode).expanded; }
    IdList ItemData(NodeHandle hNode) override { return at(hNode).data; }
    void ItemData(NodeHandle hNode, IdList data) override { at(hNode).data = data; }
    void ReplaceTextAndData(NodeHandle hNode, const std::wstring& text, IdList data) override { at(hNode).text = text; at(hNode).data = data; }
    int ChildrenFlag(NodeHandle hNode) override { return at(hNode).childrenFlag; }
    void ChildrenFlag(NodeHandle hNode, int children) override { at(hNode).childrenFlag = children; }
    void SelectedImage(NodeHandle hNode, int image) override { at(hNode).selectedImage = image; }
    bool CollapseReset(NodeHandle hNode) override;
    void DeleteNode(NodeHandle hNode) override;

private:
    void AskDisplayInfo(NodeHandle hNode, bool image, bool selectedImage, bool children);
    bool CanExpand(NodeHandle hNode);
    std::vector<NodeHandle>& SiblingsOf(NodeHandle hNode) { return at(hNode).parent ? at(at(hNode).parent).children : roots; }
    void DropSubtree(NodeHandle hNode);
    NodeHandle next_ = 100;
};

}  // namespace tarvo::fake
