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
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "shelltree/folder_tree.h"
#include "shelltree/shell_namespace.h"

namespace tarvo::fake {

inline std::string Join(const std::string& a, const std::string& b) { return a.empty() || b.empty() ? a + b : a + "/" + b; }

struct Folder {
    bool file = false, hidden = false, enumFails = false;
    int icon = 10, openIcon = 11;
};

// Lists hold one item per name: a 16-bit size, then the name's bytes.
class Shell : public IShellNamespace, public IChangeNotifier {
public:
    static constexpr int kDefaultIcon = 3;
    // Paths apart by spaces, parents made on the way; a name with a dot is a file, one ending in "~" is hidden.
    explicit Shell(const std::string& paths) {
        std::istringstream in(paths);
        for (std::string path; in >> path;) Add(path);
    }
    ~Shell() override { for (void* block : live_) std::free(block); }

    Folder& Add(std::string path) {
        const bool hidden = path.back() == '~';
        if (hidden) path.pop_back();
        for (auto slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) folders[path.substr(0, slash)];
        folders[path].hidden = hidden;
        folders[path].file = path.find('.', path.rfind('/') + 1) != std::string::npos;
        return folders[path];
    }
    void Remove(const std::string& path) {
        std::erase_if(folders, [&](auto& folder) { return (folder.first + "/").rfind(path + "/", 0) == 0; });
    }
    Folder* Find(const std::string& path) { return path.empty() ? &desktop_ : folders.count(path) ? &folders[path] : nullptr; }
    std::vector<std::string> SubFolders(const std::string& path) {
        std::vector<std::string> names;
        const std::string prefix = path.empty() ? "" : path + "/";
        for (auto& [key, folder] : folders) {
            if (!folder.file && key.rfind(prefix, 0) == 0 && key.find('/', prefix.size()) == std::string::npos) names.push_back(key.substr(prefix.size()));
        }
        return names;
    }
    IdList List(const std::string& path) {
        std::string bytes;
        for (std::size_t start = 0, end = 0; start < path.size(); start = end + 1) {
            end = std::min(path.find('/', start), path.size());
            bytes += {static_cast<char>(end - start + 2), '\0'};
            bytes.append(path, start, end - start);
        }
        bytes.append(2, '\0');
        return static_cast<IdList>(std::memcpy(Alloc(bytes.size()), bytes.data(), bytes.size()));
    }
    std::string PathOf(IdList list) {
        std::string path;
        for (auto* p = reinterpret_cast<char*>(list); ItemByteSize(IdList(p)); p += ItemByteSize(IdList(p))) path = Join(path, std::string(p + 2, p + ItemByteSize(IdList(p))));
        return path;
    }

    std::map<std::string, Folder> folders;
    int icons = 0, openIcons = 0, subFolderQueries = 0, registrations = 0;
    bool claimsSubFolders = false, canStart = true;  // the first like a shell that reports sub-folders for every folder

    std::uintptr_t SmallImageList() override { return 0x5150; }
    int DefaultIconIndex() override { return kDefaultIcon; }
    // Only the desktop and one user's documents are special here.
    IdList CloneSpecialIdList(int csidl) override { return csidl == 0 ? List("") : csidl == 5 ? List("C:/Users") : nullptr; }
    std::unique_ptr<IFolder> BindToParentFolder(IdList absolute) override;
    std::unique_ptr<IFolder> BindToFolder(IdList absolute) override;
    // A drive's folders by their path, anything else by its slash path.
    std::wstring ParsingNameOf(IdList absolute) override {
        std::string path = PathOf(absolute), drive = path.substr(0, path.find('/'));
        if (drive.empty() || drive.back() != ':') path = "::" + path;
        if (path == drive) path += '/';
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
    IdList FindLastId(IdList list) override {
        IdList last = list;
        for (IdList item = list; ItemByteSize(item); item = GetNext(item)) last = item;
        return last;
    }
    IdList GetNext(IdList item) override { return ItemByteSize(item) ? IdList(reinterpret_cast<char*>(item) + ItemByteSize(item)) : nullptr; }
    bool RemoveLastId(IdList list) override { return ItemByteSize(list) && std::memset(FindLastId(list), 0, 2) != nullptr; }
    IdList Combine(IdList first, IdList second) override { return first || second ? List(Join(PathOf(first), PathOf(second))) : nullptr; }
    bool IsEqual(IdList a, IdList b) override { return a && b ? PathOf(a) == PathOf(b) : a == b; }
    void Free(IdList list) override {
        if (list && live_.erase(list) == 0) ADD_FAILURE() << "freed an identifier list that is not live";
        std::free(list);
    }
    IdList Alloc(std::size_t bytes) override { return static_cast<IdList>(*live_.insert(std::malloc(bytes)).first); }
    std::size_t LiveLists() const { return live_.size(); }

    bool Start(IdList root, INotifySink&) override {
        EXPECT_NE(root, nullptr);
        return registrations += canStart, canStart;
    }
    void Stop() override { registrations -= registrations > 0; }

private:
    Folder desktop_;
    std::set<void*> live_;
};

struct Enumerator : IFolderEnum {
    Enumerator(Shell& shell, std::vector<std::string> names) : shell(shell), names(std::move(names)) {}
    IdList Next() override { return index < names.size() ? shell.List(names[index++]) : nullptr; }
    Shell& shell;
    std::vector<std::string> names;
    std::size_t index = 0;
};

// Like a shell folder, it names its folder by path and outlives a removal of it.
class FolderView : public IFolder {
public:
    FolderView(Shell& shell, std::string path) : shell_(shell), path_(std::move(path)) {}
    std::unique_ptr<IFolderEnum> EnumSubFolders() override { return Enum(path_); }
    std::unique_ptr<IFolderEnum> EnumSubFoldersOf(IdList item) override { return Enum(Of(item)); }
    std::uint32_t AttributesOf(IdList item, std::uint32_t mask) override {
        shell_.subFolderQueries += (mask & kAttrHasSubFolder) != 0;
        const Folder* f = shell_.Find(Of(item));
        const bool subFolders = f && (!shell_.SubFolders(Of(item)).empty() || (shell_.claimsSubFolders && !f->file));
        return f ? ((subFolders ? kAttrHasSubFolder : 0) | (f->hidden ? kAttrHidden : 0)) & mask : 0;
    }
    std::wstring DisplayNameOf(IdList item, std::uint32_t) override {
        const std::string path = Of(item), name = path.empty() ? "Desktop" : path.substr(path.rfind('/') + 1);
        return shell_.Find(path) ? std::wstring(name.begin(), name.end()) : L"";
    }
    int IconIndexOf(IdList item) override { return ++shell_.icons, shell_.Find(Of(item)) ? shell_.Find(Of(item))->icon : -1; }
    int OpenIconIndexOf(IdList item) override { return ++shell_.openIcons, shell_.Find(Of(item)) ? shell_.Find(Of(item))->openIcon : -1; }

private:
    std::unique_ptr<IFolderEnum> Enum(const std::string& path) {
        const Folder* f = shell_.Find(path);
        return f && !f->file && !f->enumFails ? std::make_unique<Enumerator>(shell_, shell_.SubFolders(path)) : nullptr;
    }
    // An empty item names the folder itself (the desktop as its own parent).
    std::string Of(IdList item) { return Join(path_, shell_.PathOf(item)); }
    Shell& shell_;
    std::string path_;
};

inline std::unique_ptr<IFolder> Shell::BindToParentFolder(IdList absolute) {
    const std::string path = PathOf(absolute), parent = path.substr(0, path.find('/') == std::string::npos ? 0 : path.rfind('/'));
    return std::make_unique<FolderView>(*this, Find(parent) ? parent : "");
}

inline std::unique_ptr<IFolder> Shell::BindToFolder(IdList absolute) {
    const Folder* folder = Find(PathOf(absolute));
    return std::make_unique<FolderView>(*this, folder && !folder->file ? PathOf(absolute) : "");
}

// Like the native tree view, it asks for a node's icons and children flag the
// first time it draws the node or is about to expand it, and keeps the answer.
// Node 0 holds the top-level nodes.
class Tree : public IFolderTree {
public:
    struct Node {
        std::wstring text;
        IdList data = nullptr;
        NodeHandle parent = 0;
        bool cut = false, expanded = false, expandedOnce = false;
        int image = -1, selectedImage = -1, childrenFlag = kChildrenOnDemand;
        std::vector<NodeHandle> children;
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
            if (draw) Ask(c, at(c).image < 0, at(c).selectedImage < 0, at(c).childrenFlag < 0);
            const Node& n = at(c);
            out += (out.empty() ? "" : " ") + std::string(n.text.begin(), n.text.end()) + (n.cut ? "~" : "") + (c == selected ? "*" : "") + (n.childrenFlag < 0 ? "?" : n.childrenFlag ? "+" : "");
            if ((n.image != 10 || n.selectedImage != 10) && (n.image != -1 || n.selectedImage != -1)) out += "#" + std::to_string(n.image) + "/" + std::to_string(n.selectedImage);
            if (!n.children.empty()) out += (n.expanded ? "(" : "[") + Dump(draw && n.expanded, c) + (n.expanded ? ")" : "]");
        }
        return out;
    }

    void Listener(ITreeListener* l) override { listener = l; }
    void ShowWaitCursor(bool waiting) override { waitCursor = waiting; }
    void HImageListSet(std::uintptr_t list) override { imageList = list; }
    void WantEvents(bool) override {}
    void Redraw(bool value) override { redrawOffs += redraw && !value, redraw = value; }
    void EraseAll() override { while (!at(0).children.empty()) DeleteNode(at(0).children.back()); }
    NodeHandle AddNodeOnDemand(const std::wstring& text, IdList data, NodeHandle parent, bool cut) override {
        nodes[++last_] = Node{text, data, parent, cut, false, false, -1, -1, kChildrenOnDemand, {}};
        at(parent).children.push_back(last_);
        return last_;
    }
    // Like the native tree: the notice comes only for a node that can expand and is not expanded yet.
    void ExpandNode(NodeHandle h) override {
        if (at(h).expanded || !CanExpand(h)) return;
        bool once = at(h).expandedOnce;
        IdList data = at(h).data;
        if (listener) listener->mTreeView_BeforeExpand(h, data, once);
        at(h).expanded = at(h).expandedOnce = true;
    }
    void CollapseNode(NodeHandle h) override {
        if (CanExpand(h)) at(h).expanded = false;
    }
    void SelectedNodeSet(NodeHandle h, bool ensureVisible) override {
        selected = h, ensuredVisible = ensureVisible;
        if (listener && h) listener->mTreeView_Selected(h, at(h).data);
    }
    NodeHandle SelectedNodeGet() override { return selected; }
    NodeHandle FirstChild(NodeHandle h) override { return at(h).children.empty() ? 0 : at(h).children.front(); }
    NodeHandle NextSibling(NodeHandle h) override {
        auto& siblings = at(at(h).parent).children;
        auto it = std::find(siblings.begin(), siblings.end(), h);
        return ++it == siblings.end() ? 0 : *it;
    }
    bool NodeExpanded(NodeHandle h) override { return at(h).expanded; }
    IdList ItemData(NodeHandle h) override { return at(h).data; }
    void ItemData(NodeHandle h, IdList data) override { at(h).data = data; }
    void ReplaceTextAndData(NodeHandle h, const std::wstring& text, IdList data) override { at(h).text = text, at(h).data = data; }
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
        auto& siblings = at(at(h).parent).children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), h));
        Drop(h);
    }

private:
    void Ask(NodeHandle h, bool image, bool selectedImage, bool children) {
        if (!listener || !(image || selectedImage || children)) return;
        NodeDisplayInfo info{image, selectedImage, children, h == selected};
        listener->mTreeView_GetDisplayInfo(h, at(h).data, info);
        if (image) at(h).image = info.image;
        if (selectedImage) at(h).selectedImage = info.selectedImage;
        if (children) at(h).childrenFlag = info.hasChildren;
    }
    bool CanExpand(NodeHandle h) {
        if (at(h).childrenFlag == kChildrenOnDemand) Ask(h, false, false, true);
        return !at(h).children.empty() || at(h).childrenFlag != 0;
    }
    void Drop(NodeHandle h) {
        for (NodeHandle child : at(h).children) Drop(child);
        selected = selected == h ? 0 : selected;
        nodes.erase(h);
    }
    NodeHandle last_ = 100;
};

}  // namespace tarvo::fake
