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
    bool isFolder = true;
    bool hidden = false;
    bool enumFails = false;
    int icon = 10;
    int openIcon = 11;
    Folder* parent = nullptr;
    std::vector<std::unique_ptr<Folder>> children;

    Folder* Child(const std::string& childName);
    bool HasSubFolder() const;
};

class Shell : public IShellNamespace {
public:
    static constexpr int kDefaultIcon = 3;

    Shell();
    ~Shell() override;

    // "Computer/C:/Work" style paths below the desktop; missing parents are made.
    Folder& Add(const std::string& path, bool isFolder = true);
    void Remove(const std::string& path);
    void Rename(const std::string& path, const std::string& newName);
    void Move(const std::string& path, const std::string& newParentPath);
    Folder* Find(const std::string& path);
    // A counted absolute list for a slash path ("" is the desktop).
    IdList ListOf(const std::string& path);
    std::string PathOf(IdList list) const;

    std::size_t LiveLists() const { return live_.size(); }
    int badFrees = 0;
    int foldersEnumerated = 0;
    int iconQueries = 0;
    int openIconQueries = 0;
    int subFolderQueries = 0;  // attribute queries that ask for kAttrHasSubFolder
    int parentBinds = 0;
    // Like a shell that reports kAttrHasSubFolder for every folder.
    bool claimsSubFolders = false;

    std::uintptr_t SmallImageList() override { return 0x5150; }
    int DefaultIconIndex() override { return kDefaultIcon; }
    IdList CloneSpecialIdList(int csidl) override;
    std::unique_ptr<IFolder> BindToParentFolder(IdList absolute) override;
    std::unique_ptr<IFolder> BindToFolder(IdList absolute) override;
    std::wstring ParsingNameOf(IdList absolute) override;
    IdList ParsePath(const std::wstring& path) override;
    IdList Clone(IdList list) override;
    IdList CloneFirst(IdList list) override;
    IdList FindLastId(IdList list) override;
    IdList GetNext(IdList item) override;
    bool RemoveLastId(IdList list) override;
    IdList Combine(IdList first, IdList second) override;
    bool IsEqual(IdList a, IdList b) override;
    void Free(IdList list) override;
    IdList Alloc(std::size_t bytes) override;

    IdList MakeList(const std::vector<std::string>& names);
    std::vector<std::string> NamesOf(IdList list) const;
    Folder* Resolve(IdList list);

private:
    Folder* Walk(const std::vector<std::string>& names);
    std::unique_ptr<Folder> Detach(const std::string& path);
    Folder desktop_;
    std::set<void*> live_;
};

class Notifier : public IChangeNotifier {
public:
    bool Start(IdList root, INotifySink& sink) override;
    void Stop() override;

    bool canStart = true;
    int registrations = 0;  // live ones
    int starts = 0;
    INotifySink* sink = nullptr;
};

// Like the native tree view, it asks for a node's icons and children flag the
// first time it needs them (drawing the node in Shown, or expanding it) and
// keeps the answer in the node.
class Tree : public IFolderTree {
public:
    static constexpr int kImageOnDemand = -1;

    struct Node {
        std::wstring text;
        int image = kImageOnDemand;
        int selectedImage = kImageOnDemand;
        IdList data = nullptr;
        NodeHandle parent = 0;
        std::vector<NodeHandle> children;
        int childrenFlag = 0;
        bool expanded = false;
        bool expandedOnce = false;
        bool cut = false;
    };

    std::map<NodeHandle, Node> nodes;
    std::vector<NodeHandle> roots;
    NodeHandle selected = 0;
    bool ensuredVisible = false;
    bool redraw = true;
    bool waitCursor = false;
    int redrawOffCount = 0;
    std::uintptr_t imageList = 0;
    ITreeListener* listener = nullptr;

    Node& at(NodeHandle h) { return nodes.at(h); }
    // The node as drawn: what was on demand is asked for first.
    Node& Shown(NodeHandle h);
    // The child of `parent` whose text is `text`; 0 when none.
    NodeHandle ChildNamed(NodeHandle parent, const std::wstring& text);
    std::vector<std::wstring> ChildTexts(NodeHandle parent);

    void Listener(ITreeListener* l) override { listener = l; }
    void ShowWaitCursor(bool waiting) override { waitCursor = waiting; }
    void HImageListSet(std::uintptr_t list) override { imageList = list; }
    void WantEvents(bool) override {}
    void Redraw(bool value) override;
    void EraseAll() override;
    NodeHandle AddNodeOnDemand(const std::wstring& NodeText, IdList lParam, NodeHandle hParent, bool cut) override;
    void ExpandNode(NodeHandle hNode) override;
    void CollapseNode(NodeHandle hNode) override;
    void SelectedNodeSet(NodeHandle hNode, bool EnsureVisible) override;
    NodeHandle SelectedNodeGet() override { return selected; }
    NodeHandle FirstChild(NodeHandle hNode) override;
    NodeHandle NextSibling(NodeHandle hNode) override;
    bool NodeExpanded(NodeHandle hNode) override { return at(hNode).expanded; }
    IdList ItemData(NodeHandle hNode) override { return at(hNode).data; }
    void ItemData(NodeHandle hNode, IdList data) override { at(hNode).data = data; }
    void ReplaceTextAndData(NodeHandle hNode, const std::wstring& text, IdList data) override;
    int ChildrenFlag(NodeHandle hNode) override { return at(hNode).childrenFlag; }
    void ChildrenFlag(NodeHandle hNode, int children) override { at(hNode).childrenFlag = children; }
    void SelectedImage(NodeHandle hNode, int image) override { at(hNode).selectedImage = image; }
    bool CollapseReset(NodeHandle hNode) override;
    void DeleteNode(NodeHandle hNode) override;

private:
    void AskDisplayInfo(NodeHandle hNode, bool image, bool selectedImage, bool children);
    bool CanExpand(NodeHandle hNode);
    std::vector<NodeHandle>& SiblingsOf(NodeHandle hNode);
    void DropSubtree(NodeHandle hNode);
    NodeHandle next_ = 100;
};

}  // namespace tarvo::fake
