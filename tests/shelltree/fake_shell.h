#pragma once
// In-memory stand-ins for the shell namespace, its change notifications and the
// tree control. The namespace is a set of slash paths below the desktop ("");
// every identifier list it hands out is counted, so a test can require that
// none is left alive and that none is freed twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <tuple>
#include <utility>
#include <vector>

#include "shelltree/folder_tree.h"
#include "shelltree/shell_namespace.h"

namespace tarvo::fake {

inline std::string Join(const std::string& a, const std::string& b) { return a.empty() || b.empty() ? a + b : a + "/" + b; }
inline std::string Parent(const std::string& path) {
    return path.rfind('/') == std::string::npos ? "" : path.substr(0, path.rfind('/'));
}

struct Folder {
    bool file = false, hidden = false;
    int icon = 10, openIcon = 11;
};

// Lists hold one item per name: a 16-bit size, then the name's bytes.
struct Shell : IShellNamespace, IChangeNotifier {
    explicit Shell(const std::string& paths) : folders{{"", Folder{}}} { Change(paths); }
    ~Shell() override { for (void* block : live) std::free(block); }

    // Paths apart by spaces, parents made on the way; a name with a dot is a file, one ending in "~" is hidden;
    // a path led by "-" goes, with all it holds.
    void Change(const std::string& paths) {
        std::istringstream in(paths);
        for (std::string path; in >> path;) {
            if (path[0] == '-') {
                std::erase_if(folders, [&](auto& f) { return (f.first + "/").rfind(path.substr(1) + "/", 0) == 0; });
                continue;
            }
            const bool hidden = path.back() == '~';
            path.resize(path.size() - hidden);
            for (auto slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
                folders[path.substr(0, slash)];
            folders[path] = Folder{path.find('.', path.rfind('/') + 1) != std::string::npos, hidden};
        }
    }
    Folder* Find(const std::string& path) { return folders.count(path) ? &folders[path] : nullptr; }
    std::vector<std::string> SubFolders(const std::string& path) {
        std::vector<std::string> names;
        for (auto& [key, folder] : folders) {
            if (!folder.file && !key.empty() && Parent(key) == path) names.push_back(key.substr(key.rfind('/') + 1));
        }
        return names;
    }
    IdList List(const std::string& path) {
        std::string bytes;
        std::istringstream names(path);
        for (std::string name; std::getline(names, name, '/');) bytes += std::string{static_cast<char>(name.size() + 2), '\0'} + name;
        bytes.append(2, '\0');
        return static_cast<IdList>(std::memcpy(Alloc(bytes.size()), bytes.data(), bytes.size()));
    }
    std::string PathOf(IdList list) {
        const auto* bytes = reinterpret_cast<const char*>(list);
        return ItemByteSize(list) ? Join(std::string(bytes + 2, ItemByteSize(list) - 2u), PathOf(GetNext(list))) : "";
    }

    std::map<std::string, Folder> folders;
    int queries = 0, registrations = 0;  // of icons and of sub-folders; live ones
    bool claimsSubFolders = false;  // like a shell that reports sub-folders for every folder

    std::uintptr_t SmallImageList() override { return 0x5150; }
    int DefaultIconIndex() override { return 3; }
    // Only the desktop and one user's documents are special here.
    IdList CloneSpecialIdList(int csidl) override { return csidl == 0 ? List("") : csidl == 5 ? List("C:/Users") : nullptr; }
    std::unique_ptr<IFolder> BindToParentFolder(IdList absolute) override;
    std::unique_ptr<IFolder> BindToFolder(IdList absolute) override;
    // A folder by its path; a drive's root ends in its separator.
    std::wstring ParsingNameOf(IdList absolute) override {
        std::string path = PathOf(absolute) + (Parent(PathOf(absolute)).empty() ? "/" : "");
        std::replace(path.begin(), path.end(), '/', '\\');
        return std::wstring(path.begin(), path.end());
    }
    // Like the shell, a bare drive without its backslash names no folder.
    IdList ParsePath(const std::wstring& wide) override {
        std::string path(wide.begin(), wide.end());
        std::replace(path.begin(), path.end(), '\\', '/');
        if (path.back() == '/') path.pop_back();
        return wide.size() > 2 && wide[1] == L':' && folders.count(path) ? List(path) : nullptr;
    }
    IdList Clone(IdList list) override { return list ? List(PathOf(list)) : nullptr; }
    IdList CloneFirst(IdList list) override { return list ? List(PathOf(list).substr(0, PathOf(list).find('/'))) : nullptr; }
    IdList FindLastId(IdList list) override { return ItemByteSize(GetNext(list)) ? FindLastId(GetNext(list)) : list; }
    IdList GetNext(IdList item) override {
        return ItemByteSize(item) ? IdList(reinterpret_cast<char*>(item) + ItemByteSize(item)) : nullptr;
    }
    bool RemoveLastId(IdList list) override { return ItemByteSize(list) && std::memset(FindLastId(list), 0, 2) != nullptr; }
    IdList Combine(IdList first, IdList second) override {
        return first || second ? List(Join(PathOf(first), PathOf(second))) : nullptr;
    }
    bool IsEqual(IdList a, IdList b) override { return a && b ? PathOf(a) == PathOf(b) : a == b; }
    void Free(IdList list) override {
        if (list && live.erase(list) == 0) ADD_FAILURE() << "freed an identifier list that is not live";
        std::free(list);
    }
    IdList Alloc(std::size_t bytes) override { return static_cast<IdList>(*live.insert(std::malloc(bytes)).first); }

    bool Start(IdList, INotifySink&) override { return ++registrations > 0; }
    void Stop() override { registrations -= registrations > 0; }

    std::set<void*> live;  // lists handed out and not freed yet
};

struct Enumerator : IFolderEnum {
    Enumerator(Shell& shell, std::vector<std::string> names) : shell(shell), names(std::move(names)) {}
    IdList Next() override { return index < names.size() ? shell.List(names[index++]) : nullptr; }
    Shell& shell;
    std::vector<std::string> names;
    std::size_t index = 0;
};

// Like a shell folder, it names its folder by path and outlives a removal of it.
struct FolderView : IFolder {
    FolderView(Shell& shell, std::string path) : shell_(shell), path_(std::move(path)) {}
    std::unique_ptr<IFolderEnum> EnumSubFolders() override { return std::make_unique<Enumerator>(shell_, shell_.SubFolders(path_)); }
    std::unique_ptr<IFolderEnum> EnumSubFoldersOf(IdList item) override {
        return std::make_unique<Enumerator>(shell_, shell_.SubFolders(Of(item)));
    }
    std::uint32_t AttributesOf(IdList item, std::uint32_t mask) override {
        shell_.queries += (mask & kAttrHasSubFolder) != 0;
        const Folder* f = shell_.Find(Of(item));
        const bool subFolders = f && (!shell_.SubFolders(Of(item)).empty() || (shell_.claimsSubFolders && !f->file));
        return f ? ((subFolders ? kAttrHasSubFolder : 0) | (f->hidden ? kAttrHidden : 0)) & mask : 0;
    }
    // Like a file system folder, the name comes from the list itself.
    std::wstring DisplayNameOf(IdList item, std::uint32_t) override {
        const std::string path = Of(item), name = path.empty() ? "Desktop" : path.substr(path.rfind('/') + 1);
        return std::wstring(name.begin(), name.end());
    }
    int IconIndexOf(IdList item) override { return Asked(item) ? shell_.Find(Of(item))->icon : -1; }
    int OpenIconIndexOf(IdList item) override { return Asked(item) ? shell_.Find(Of(item))->openIcon : -1; }

    // An empty item names the folder itself (the desktop as its own parent).
    std::string Of(IdList item) { return Join(path_, shell_.PathOf(item)); }
    // Counts a query of an item's icons; false when the item names nothing.
    bool Asked(IdList item) {
        ++shell_.queries;
        return shell_.Find(Of(item)) != nullptr;
    }
    Shell& shell_;
    std::string path_;
};

inline std::unique_ptr<IFolder> Shell::BindToParentFolder(IdList absolute) {
    return std::make_unique<FolderView>(*this, Parent(PathOf(absolute)));
}
inline std::unique_ptr<IFolder> Shell::BindToFolder(IdList absolute) { return std::make_unique<FolderView>(*this, PathOf(absolute)); }

// Like the native tree view, it asks for a node's icons and children flag the
// first time it draws the node or is about to expand it, and keeps the answer.
// Node 0 holds the top-level nodes.
struct Tree : IFolderTree {
    struct Node {
        std::wstring text;
        IdList data = nullptr;
        NodeHandle parent = 0;
        bool cut = false, expanded = false, expandedOnce = false;
        int image = -1, selectedImage = -1, childrenFlag = kChildrenOnDemand;
        std::vector<NodeHandle> children{};
    };
    std::map<NodeHandle, Node> nodes{{0, Node{}}};
    NodeHandle selected = 0;
    bool ensuredVisible = false, redraw = true, waitCursor = false;
    int redrawOffs = 0;
    std::uintptr_t imageList = 0;
    ITreeListener* listener = nullptr;

    Node& at(NodeHandle h) { return nodes.at(h); }
    // The loaded nodes, each as its name, "~" when dimmed, "*" when selected, its
    // expand button ("+", or "?" while not asked for), its icons "#closed/open"
    // unless plain (10/10) or not asked for, then its children in "()" when
    // expanded, "[]" when collapsed. Drawing first asks for what the visible nodes lack.
    std::string Dump(bool draw = false, NodeHandle h = 0) {
        std::string out;
        for (NodeHandle c : at(h).children) {
            if (draw) Ask(c, true);
            const Node& n = at(c);
            out.append(out.empty() ? "" : " ").append(n.text.begin(), n.text.end()).append(n.cut ? "~" : "");
            out.append(c == selected ? "*" : "").append(n.childrenFlag < 0 ? "?" : n.childrenFlag ? "+" : "");
            const std::string icons = std::to_string(n.image) + "/" + std::to_string(n.selectedImage);
            if (icons != "10/10" && icons != "-1/-1") out.append("#").append(icons);
            if (!n.children.empty())
                out.append(n.expanded ? "(" : "[").append(Dump(draw && n.expanded, c)).append(n.expanded ? ")" : "]");
        }
        return out;
    }

    void Listener(ITreeListener* l) override { listener = l; }
    void ShowWaitCursor(bool waiting) override { waitCursor = waiting; }
    void HImageListSet(std::uintptr_t list) override { imageList = list; }
    void WantEvents(bool) override {}
    void Redraw(bool value) override { redrawOffs += std::exchange(redraw, value) && !value; }
    void EraseAll() override { while (!at(0).children.empty()) DeleteNode(at(0).children.back()); }
    NodeHandle AddNodeOnDemand(const std::wstring& text, IdList data, NodeHandle parent, bool cut) override {
        nodes[++last_] = Node{text, data, parent, cut};
        return at(parent).children.emplace_back(last_);
    }
    // Like the native tree: the notice comes only for a node that can expand and is not expanded yet.
    void ExpandNode(NodeHandle h) override {
        if (at(h).expanded || !CanExpand(h)) return;
        bool once = at(h).expandedOnce;
        listener->mTreeView_BeforeExpand(h, at(h).data, once);
        at(h).expanded = at(h).expandedOnce = true;
    }
    void CollapseNode(NodeHandle h) override { at(h).expanded = false; }
    void SelectedNodeSet(NodeHandle h, bool ensureVisible) override {
        selected = h;
        ensuredVisible = ensureVisible;
        if (listener && h) listener->mTreeView_Selected(h, at(h).data);
    }
    NodeHandle SelectedNodeGet() override { return selected; }
    NodeHandle FirstChild(NodeHandle h) override { return at(h).children.empty() ? 0 : at(h).children.front(); }
    NodeHandle NextSibling(NodeHandle h) override {
        auto next = std::find(Siblings(h).begin(), Siblings(h).end(), h) + 1;
        return next == Siblings(h).end() ? 0 : *next;
    }
    bool NodeExpanded(NodeHandle h) override { return at(h).expanded; }
    IdList ItemData(NodeHandle h) override { return at(h).data; }
    void ItemData(NodeHandle h, IdList data) override { at(h).data = data; }
    void ReplaceTextAndData(NodeHandle h, const std::wstring& text, IdList data) override {
        std::tie(at(h).text, at(h).data) = std::tie(text, data);
    }
    int ChildrenFlag(NodeHandle h) override { return at(h).childrenFlag; }
    void ChildrenFlag(NodeHandle h, int children) override { at(h).childrenFlag = children; }
    void SelectedImage(NodeHandle h, int image) override { at(h).selectedImage = image; }
    bool CollapseReset(NodeHandle h) override {
        if (!CanExpand(h)) return false;
        while (!at(h).children.empty()) DeleteNode(at(h).children.back());
        at(h).expanded = at(h).expandedOnce = false;
        return true;
    }
    void DeleteNode(NodeHandle h) override {
        while (!at(h).children.empty()) DeleteNode(at(h).children.back());
        std::erase(Siblings(h), h);
        selected = selected == h ? 0 : selected;
        nodes.erase(h);
    }

    // Asks for what the node lacks of its children flag and, when it is drawn, of its icons.
    void Ask(NodeHandle h, bool drawn) {
        Node& n = at(h);
        NodeDisplayInfo info{drawn && n.image < 0, drawn && n.selectedImage < 0, n.childrenFlag < 0, h == selected};
        if (info.wantImage || info.wantSelectedImage || info.wantChildren) listener->mTreeView_GetDisplayInfo(h, n.data, info);
        if (info.wantImage) n.image = info.image;
        if (info.wantSelectedImage) n.selectedImage = info.selectedImage;
        if (info.wantChildren) n.childrenFlag = info.hasChildren;
    }
    bool CanExpand(NodeHandle h) {
        Ask(h, false);
        return !at(h).children.empty() || at(h).childrenFlag != 0;
    }
    std::vector<NodeHandle>& Siblings(NodeHandle h) { return at(at(h).parent).children; }
    NodeHandle last_ = 100;
};

}  // namespace tarvo::fake
