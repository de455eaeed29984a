#include "fake_shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace tarvo::fake {
namespace {

std::vector<std::string> SplitPath(const std::string& path, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(path);
    for (std::string part; std::getline(in, part, separator);) {
        if (!part.empty()) parts.push_back(part);
    }
    return parts;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

unsigned char* Bytes(IdList list) { return reinterpret_cast<unsigned char*>(list); }

std::size_t ListBytes(IdList list) {
    std::size_t total = 0;
    for (unsigned char* p = Bytes(list); ItemByteSize(reinterpret_cast<IdList>(p)) != 0;) {
        const std::uint16_t size = ItemByteSize(reinterpret_cast<IdList>(p));
        total += size;
        p += size;
    }
    return total;
}

class Enumerator : public IFolderEnum {
public:
    Enumerator(Shell& shell, std::vector<std::string> names) : shell_(shell), names_(std::move(names)) {}
    IdList Next() override { return index_ < names_.size() ? shell_.MakeList({names_[index_++]}) : nullptr; }

private:
    Shell& shell_;
    std::vector<std::string> names_;
    std::size_t index_ = 0;
};

class FolderView : public IFolder {
public:
    // Like a shell folder, it names its folder by path and outlives a removal of it.
    FolderView(Shell& shell, Folder& folder) : shell_(shell), path_(PathOf(folder)) {}

    std::unique_ptr<IFolderEnum> EnumSubFolders() override {
        auto children = Children();
        if (children) ++shell_.foldersEnumerated;
        return children;
    }
    std::unique_ptr<IFolderEnum> Children() {
        Folder* self = shell_.Find(path_);
        if (!self || self->enumFails) return nullptr;
        std::vector<std::string> names;
        for (const auto& child : self->children) {
            if (child->isFolder) names.push_back(child->name);
        }
        return std::make_unique<Enumerator>(shell_, std::move(names));
    }
    std::unique_ptr<IFolderEnum> EnumSubFoldersOf(IdList item) override {
        Folder* folder = ItemFolder(item);
        if (!folder || !folder->isFolder) return nullptr;
        return FolderView(shell_, *folder).Children();
    }
    std::uint32_t AttributesOf(IdList item, std::uint32_t mask) override {
        if (mask & kAttrHasSubFolder) ++shell_.subFolderQueries;
        const Folder* folder = ItemFolder(item);
        if (!folder) return 0;
        std::uint32_t attributes = 0;
        if (folder->HasSubFolder() || (shell_.claimsSubFolders && folder->isFolder)) attributes |= kAttrHasSubFolder;
        if (folder->hidden) attributes |= kAttrHidden;
        return attributes & mask;
    }
    std::wstring DisplayNameOf(IdList item, std::uint32_t) override {
        const Folder* folder = ItemFolder(item);
        return folder ? Widen(folder->name) : L"";
    }
    int IconIndexOf(IdList item) override {
        ++shell_.iconQueries;
        const Folder* folder = ItemFolder(item);
        return folder ? folder->icon : -1;
    }
    int OpenIconIndexOf(IdList item) override {
        ++shell_.openIconQueries;
        const Folder* folder = ItemFolder(item);
        return folder ? folder->openIcon : -1;
    }

private:
    // An empty item names the folder itself (the desktop as its own parent).
    Folder* ItemFolder(IdList item) {
        const auto names = shell_.NamesOf(item);
        Folder* self = shell_.Find(path_);
        if (!self || names.size() > 1) return nullptr;
        return names.empty() ? self : self->Child(names[0]);
    }

    static std::string PathOf(const Folder& folder) {
        std::string path;
        for (const Folder* f = &folder; f->parent; f = f->parent) path = f->name + (path.empty() ? "" : "/") + path;
        return path;
    }

    Shell& shell_;
    std::string path_;
};

}  // namespace

Folder* Folder::Child(const std::string& childName) {
    for (auto& child : children) {
        if (SameName(child->name, childName)) return child.get();
    }
    return nullptr;
}

bool Folder::HasSubFolder() const {
    return std::any_of(children.begin(), children.end(), [](const auto& c) { return c->isFolder; });
}

Shell::Shell() { desktop_.name = "Desktop"; }

Shell::~Shell() {
    for (void* block : live_) std::free(block);
}

Folder& Shell::Add(const std::string& path, bool isFolder) {
    Folder* folder = &desktop_;
    for (const auto& name : SplitPath(path, '/')) {
        Folder* child = folder->Child(name);
        if (!child) {
            folder->children.push_back(std::make_unique<Folder>());
            child = folder->children.back().get();
            child->name = name;
            child->parent = folder;
        }
        folder = child;
    }
    folder->isFolder = isFolder;
    return *folder;
}

Folder* Shell::Walk(const std::vector<std::string>& names) {
    Folder* folder = &desktop_;
    for (std::size_t i = 0; folder && i < names.size(); ++i) folder = folder->Child(names[i]);
    return folder;
}

Folder* Shell::Find(const std::string& path) { return Walk(SplitPath(path, '/')); }

std::unique_ptr<Folder> Shell::Detach(const std::string& path) {
    Folder* folder = Find(path);
    auto& siblings = folder->parent->children;
    auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == folder; });
    std::unique_ptr<Folder> detached = std::move(*it);
    siblings.erase(it);
    return detached;
}

void Shell::Remove(const std::string& path) { Detach(path); }

void Shell::Rename(const std::string& path, const std::string& newName) { Find(path)->name = newName; }

void Shell::Move(const std::string& path, const std::string& newParentPath) {
    Folder* target = Find(newParentPath);
    target->children.push_back(Detach(path));
    target->children.back()->parent = target;
}

IdList Shell::ListOf(const std::string& path) { return MakeList(SplitPath(path, '/')); }

std::string Shell::PathOf(IdList list) const {
    std::string path;
    for (const auto& name : NamesOf(list)) path += (path.empty() ? "" : "/") + name;
    return path;
}

IdList Shell::MakeList(const std::vector<std::string>& names) {
    std::size_t total = 2;
    for (const auto& name : names) total += 2 + name.size();
    IdList list = Alloc(total);
    unsigned char* p = Bytes(list);
    for (const auto& name : names) {
        const std::size_t size = 2 + name.size();
        p[0] = static_cast<unsigned char>(size & 0xFF);
        p[1] = static_cast<unsigned char>(size >> 8);
        std::memcpy(p + 2, name.data(), name.size());
        p += size;
    }
    p[0] = p[1] = 0;
    return list;
}

std::vector<std::string> Shell::NamesOf(IdList list) const {
    std::vector<std::string> names;
    if (!list) return names;
    for (unsigned char* p = Bytes(list); std::uint16_t size = ItemByteSize(reinterpret_cast<IdList>(p)); p += size) {
        names.emplace_back(reinterpret_cast<char*>(p + 2), size - 2u);
    }
    return names;
}

Folder* Shell::Resolve(IdList list) { return Walk(NamesOf(list)); }

// The desktop and "Computer" are the only special folders the fake knows.
IdList Shell::CloneSpecialIdList(int csidl) { return csidl == 0 ? ListOf("") : csidl == 17 ? ListOf("Computer") : nullptr; }

std::unique_ptr<IFolder> Shell::BindToParentFolder(IdList absolute) {
    ++parentBinds;
    Folder* folder = Resolve(absolute);
    Folder* parent = folder && folder->parent ? folder->parent : &desktop_;
    return std::make_unique<FolderView>(*this, *parent);
}

std::unique_ptr<IFolder> Shell::BindToFolder(IdList absolute) {
    Folder* folder = Resolve(absolute);
    return std::make_unique<FolderView>(*this, folder && folder->isFolder ? *folder : desktop_);
}

// Drive paths live under "Computer"; anything else is named by its slash path.
std::wstring Shell::ParsingNameOf(IdList absolute) {
    auto names = NamesOf(absolute);
    if (names.size() >= 2 && names[0] == "Computer") {
        std::string path = names[1] + "\\";
        for (std::size_t i = 2; i < names.size(); ++i) path += (i > 2 ? "\\" : "") + names[i];
        return Widen(path);
    }
    return Widen("::" + PathOf(absolute));
}

IdList Shell::ParsePath(const std::wstring& path) {
    // Like the shell, a bare drive without its backslash names no folder.
    if (path.size() == 2) return nullptr;
    const auto parts = SplitPath(Narrow(path), '\\');
    if (parts.empty() || parts[0].size() != 2 || parts[0][1] != ':') return nullptr;
    std::vector<std::string> names{"Computer"};
    names.insert(names.end(), parts.begin(), parts.end());
    IdList list = MakeList(names);
    if (!Resolve(list)) {
        Free(list);
        return nullptr;
    }
    return list;
}

IdList Shell::Clone(IdList list) {
    if (!list) return nullptr;
    const std::size_t bytes = ListBytes(list) + 2;
    IdList copy = Alloc(bytes);
    std::memcpy(copy, list, bytes);
    return copy;
}

IdList Shell::CloneFirst(IdList list) {
    if (!list) return nullptr;
    const std::uint16_t size = ItemByteSize(list);
    IdList copy = Alloc(size + 2u);
    std::memcpy(copy, list, size);
    Bytes(copy)[size] = Bytes(copy)[size + 1] = 0;
    return copy;
}

IdList Shell::FindLastId(IdList list) {
    if (!list) return nullptr;
    unsigned char* last = Bytes(list);
    for (unsigned char* p = last; std::uint16_t size = ItemByteSize(reinterpret_cast<IdList>(p)); p += size) last = p;
    return reinterpret_cast<IdList>(last);
}

IdList Shell::GetNext(IdList item) {
    const std::uint16_t size = ItemByteSize(item);
    return size ? reinterpret_cast<IdList>(Bytes(item) + size) : nullptr;
}

bool Shell::RemoveLastId(IdList list) {
    if (!list || ItemByteSize(list) == 0) return false;
    unsigned char* last = Bytes(FindLastId(list));
    last[0] = last[1] = 0;
    return true;
}

IdList Shell::Combine(IdList first, IdList second) {
    if (!first && !second) return nullptr;
    const std::size_t a = first ? ListBytes(first) : 0;
    const std::size_t b = second ? ListBytes(second) : 0;
    IdList list = Alloc(a + b + 2);
    if (a) std::memcpy(list, first, a);
    if (b) std::memcpy(Bytes(list) + a, second, b);
    Bytes(list)[a + b] = Bytes(list)[a + b + 1] = 0;
    return list;
}

bool Shell::IsEqual(IdList a, IdList b) {
    if (!a || !b) return a == b;
    const auto x = NamesOf(a);
    const auto y = NamesOf(b);
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), SameName);
}

void Shell::Free(IdList list) {
    if (!list) return;
    if (live_.erase(list) == 0) {
        ++badFrees;
        ADD_FAILURE() << "freed an identifier list that is not live";
        return;
    }
    std::free(list);
}

IdList Shell::Alloc(std::size_t bytes) {
    void* block = std::malloc(bytes);
    live_.insert(block);
    return static_cast<IdList>(block);
}

bool Notifier::Start(IdList root, INotifySink& s) {
    EXPECT_NE(root, nullptr);
    ++starts;
    if (!canStart) return false;
    ++registrations;
    sink = &s;
    return true;
}

void Notifier::Stop() {
    if (registrations > 0) --registrations;
    sink = nullptr;
}

void Tree::Redraw(bool value) {
    if (!value && redraw) ++redrawOffCount;
    redraw = value;
}

void Tree::EraseAll() {
    for (NodeHandle root : std::vector<NodeHandle>(roots)) DeleteNode(root);
    selected = 0;
}

NodeHandle Tree::AddNodeOnDemand(const std::wstring& NodeText, IdList lParam, NodeHandle hParent, bool cut) {
    const NodeHandle handle = ++next_;
    Node node;
    node.text = NodeText;
    node.data = lParam;
    node.childrenFlag = kChildrenOnDemand;
    node.cut = cut;
    if (hParent >= 1) {
        node.parent = hParent;
        at(hParent).children.push_back(handle);
    } else {
        roots.push_back(handle);
    }
    nodes.emplace(handle, std::move(node));
    return handle;
}

void Tree::AskDisplayInfo(NodeHandle hNode, bool image, bool selectedImage, bool children) {
    if (!listener || !(image || selectedImage || children)) return;
    NodeDisplayInfo info;
    info.wantImage = image;
    info.wantSelectedImage = selectedImage;
    info.wantChildren = children;
    info.selected = hNode == selected;
    listener->mTreeView_GetDisplayInfo(hNode, at(hNode).data, info);
    Node& node = at(hNode);
    if (image) node.image = info.image;
    if (selectedImage) node.selectedImage = info.selectedImage;
    if (children) node.childrenFlag = info.hasChildren ? 1 : 0;
}

Tree::Node& Tree::Shown(NodeHandle hNode) {
    const Node& node = at(hNode);
    AskDisplayInfo(hNode, node.image == kImageOnDemand, node.selectedImage == kImageOnDemand,
                   node.childrenFlag == kChildrenOnDemand);
    return at(hNode);
}

bool Tree::CanExpand(NodeHandle hNode) {
    if (at(hNode).childrenFlag == kChildrenOnDemand) AskDisplayInfo(hNode, false, false, true);
    const Node& node = at(hNode);
    return !node.children.empty() || node.childrenFlag != 0;
}

// Like the native tree: the notice comes only for a node that can expand and is not expanded yet.
void Tree::ExpandNode(NodeHandle hNode) {
    if (at(hNode).expanded || !CanExpand(hNode)) return;
    Node& node = at(hNode);
    bool once = node.expandedOnce;
    IdList data = node.data;
    NodeHandle handle = hNode;
    if (listener) listener->mTreeView_BeforeExpand(handle, data, once);
    Node& after = at(hNode);
    after.expanded = true;
    after.expandedOnce = true;
}

// The native tree asks whether a node has children before it collapses it.
void Tree::CollapseNode(NodeHandle hNode) {
    if (CanExpand(hNode)) at(hNode).expanded = false;
}

void Tree::SelectedNodeSet(NodeHandle hNode, bool EnsureVisible) {
    selected = hNode;
    ensuredVisible = EnsureVisible;
    if (listener && hNode) listener->mTreeView_Selected(hNode, at(hNode).data);
}

NodeHandle Tree::FirstChild(NodeHandle hNode) {
    const auto& children = at(hNode).children;
    return children.empty() ? 0 : children.front();
}

NodeHandle Tree::NextSibling(NodeHandle hNode) {
    auto& siblings = SiblingsOf(hNode);
    auto it = std::find(siblings.begin(), siblings.end(), hNode);
    return ++it == siblings.end() ? 0 : *it;
}

void Tree::ReplaceTextAndData(NodeHandle hNode, const std::wstring& text, IdList data) {
    at(hNode).text = text;
    at(hNode).data = data;
}

bool Tree::CollapseReset(NodeHandle hNode) {
    if (!CanExpand(hNode)) return false;
    Node& node = at(hNode);
    for (NodeHandle child : std::vector<NodeHandle>(node.children)) DeleteNode(child);
    node.expanded = node.expandedOnce = false;
    return true;
}

void Tree::DeleteNode(NodeHandle hNode) {
    auto& siblings = SiblingsOf(hNode);
    siblings.erase(std::find(siblings.begin(), siblings.end(), hNode));
    DropSubtree(hNode);
}

std::vector<NodeHandle>& Tree::SiblingsOf(NodeHandle hNode) {
    const NodeHandle parent = at(hNode).parent;
    return parent ? at(parent).children : roots;
}

void Tree::DropSubtree(NodeHandle hNode) {
    for (NodeHandle child : at(hNode).children) DropSubtree(child);
    if (selected == hNode) selected = 0;
    nodes.erase(hNode);
}

NodeHandle Tree::ChildNamed(NodeHandle parent, const std::wstring& text) {
    for (NodeHandle child : at(parent).children) {
        if (at(child).text == text) return child;
    }
    return 0;
}

std::vector<std::wstring> Tree::ChildTexts(NodeHandle parent) {
    std::vector<std::wstring> texts;
    for (NodeHandle child : at(parent).children) texts.push_back(at(child).text);
    return texts;
}

}  // namespace tarvo::fake
