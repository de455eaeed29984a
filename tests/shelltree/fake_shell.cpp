#include "fake_shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace tarvo::fake {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }
unsigned char* Bytes(IdList list) { return reinterpret_cast<unsigned char*>(list); }

struct Enumerator : IFolderEnum {
    Enumerator(Shell& shell, std::vector<std::string> names) : shell_(shell), names_(std::move(names)) {}
    IdList Next() override { return index_ < names_.size() ? shell_.MakeList({names_[index_++]}) : nullptr; }
    Shell& shell_;
    std::vector<std::string> names_;
    std::size_t index_ = 0;
};

// Like a shell folder, it names its folder by path and outlives a removal of it.
class FolderView : public IFolder {
public:
    FolderView(Shell& shell, std::vector<std::string> names) : shell_(shell), names_(std::move(names)) {}

    std::unique_ptr<IFolderEnum> EnumSubFolders() override {
        auto children = Children(shell_.Walk(names_));
        shell_.foldersEnumerated += children != nullptr;
        return children;
    }
    std::unique_ptr<IFolderEnum> EnumSubFoldersOf(IdList item) override { return Children(ItemFolder(item)); }
    std::uint32_t AttributesOf(IdList item, std::uint32_t mask) override {
        shell_.subFolderQueries += (mask & kAttrHasSubFolder) != 0;
        const Folder* f = ItemFolder(item);
        if (!f) return 0;
        const bool subFolders = std::any_of(f->children.begin(), f->children.end(), [](auto& c) { return c->isFolder; });
        return ((subFolders || (shell_.claimsSubFolders && f->isFolder) ? kAttrHasSubFolder : 0) |
                (f->hidden ? kAttrHidden : 0)) & mask;
    }
    std::wstring DisplayNameOf(IdList item, std::uint32_t) override { return ItemFolder(item) ? Widen(ItemFolder(item)->name) : L""; }
    int IconIndexOf(IdList item) override { return ++shell_.iconQueries, ItemFolder(item) ? ItemFolder(item)->icon : -1; }
    int OpenIconIndexOf(IdList item) override {
        return ++shell_.openIconQueries, ItemFolder(item) ? ItemFolder(item)->openIcon : -1;
    }

private:
    std::unique_ptr<IFolderEnum> Children(Folder* self) {
        if (!self || !self->isFolder || self->enumFails) return nullptr;
        std::vector<std::string> names;
        for (const auto& child : self->children) if (child->isFolder) names.push_back(child->name);
        return std::make_unique<Enumerator>(shell_, std::move(names));
    }
    // An empty item names the folder itself (the desktop as its own parent).
    Folder* ItemFolder(IdList item) {
        auto names = names_;
        for (auto& name : shell_.NamesOf(item)) names.push_back(name);
        return shell_.NamesOf(item).size() > 1 ? nullptr : shell_.Walk(names);
    }

    Shell& shell_;
    std::vector<std::string> names_;
};

}  // namespace

Folder* Folder::Child(const std::string& childName) {
    for (auto& child : children) if (SameName(child->name, childName)) return child.get();
    return nullptr;
}

std::vector<std::string> Shell::Split(const std::string& path, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(path);
    for (std::string part; std::getline(in, part, separator);) if (!part.empty()) parts.push_back(part);
    return parts;
}

Shell::~Shell() { for (void* block : live_) std::free(block); }

Folder& Shell::Add(const std::string& path, bool isFolder) {
    Folder* folder = &desktop_;
    for (const auto& name : Split(path, '/')) {
        Folder* child = folder->Child(name);
        if (!child) child = folder->children.emplace_back(new Folder{name, true, false, false, 10, 11, folder, {}}).get();
        folder = child;
    }
    folder->isFolder = isFolder;
    return *folder;
}

void Shell::Remove(const std::string& path) {
    Folder* folder = Find(path);
    auto& siblings = folder->parent->children;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(), [&](auto& c) { return c.get() == folder; }));
}

Folder* Shell::Walk(const std::vector<std::string>& names) {
    Folder* folder = &desktop_;
    for (std::size_t i = 0; folder && i < names.size(); ++i) folder = folder->Child(names[i]);
    return folder;
}

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
        const std::uint16_t size = static_cast<std::uint16_t>(2 + name.size());
        std::memcpy(p, &size, 2);  // little-endian, as the shell stores it
        std::memcpy(p + 2, name.data(), name.size());
        p += size;
    }
    p[0] = p[1] = 0;
    return list;
}

std::vector<std::string> Shell::NamesOf(IdList list) const {
    std::vector<std::string> names;
    for (unsigned char* p = Bytes(list); std::uint16_t size = ItemByteSize(reinterpret_cast<IdList>(p)); p += size) {
        names.emplace_back(reinterpret_cast<char*>(p + 2), size - 2u);
    }
    return names;
}

// The desktop and "Computer" are the only special folders the fake knows.
IdList Shell::CloneSpecialIdList(int csidl) { return csidl == 0 ? ListOf("") : csidl == 17 ? ListOf("Computer") : nullptr; }

std::unique_ptr<IFolder> Shell::BindToParentFolder(IdList absolute) {
    ++parentBinds;
    auto names = NamesOf(absolute);
    if (!names.empty()) names.pop_back();
    return std::make_unique<FolderView>(*this, Walk(names) ? names : std::vector<std::string>{});
}

std::unique_ptr<IFolder> Shell::BindToFolder(IdList absolute) {
    const Folder* folder = Walk(NamesOf(absolute));
    return std::make_unique<FolderView>(*this, folder && folder->isFolder ? NamesOf(absolute) : std::vector<std::string>{});
}

// Drive paths live under "Computer"; anything else is named by its slash path.
std::wstring Shell::ParsingNameOf(IdList absolute) {
    const auto names = NamesOf(absolute);
    if (names.size() < 2 || names[0] != "Computer") return Widen("::" + PathOf(absolute));
    std::string path = names[1] + "\\";
    for (std::size_t i = 2; i < names.size(); ++i) path += (i > 2 ? "\\" : "") + names[i];
    return Widen(path);
}

IdList Shell::ParsePath(const std::wstring& path) {
    auto parts = Split(std::string(path.begin(), path.end()), '\\');
    // Like the shell, a bare drive without its backslash names no folder.
    if (path.size() == 2 || parts.empty() || parts[0].size() != 2 || parts[0][1] != ':') return nullptr;
    parts.insert(parts.begin(), "Computer");
    return Walk(parts) ? MakeList(parts) : nullptr;
}

IdList Shell::CloneFirst(IdList list) {
    auto names = NamesOf(list);
    names.resize(std::min<std::size_t>(names.size(), 1));
    return list ? MakeList(names) : nullptr;
}

IdList Shell::FindLastId(IdList list) {
    unsigned char* last = Bytes(list);
    for (unsigned char* p = last; std::uint16_t size = ItemByteSize(reinterpret_cast<IdList>(p)); p += size) last = p;
    return reinterpret_cast<IdList>(last);
}

IdList Shell::GetNext(IdList item) { return ItemByteSize(item) ? reinterpret_cast<IdList>(Bytes(item) + ItemByteSize(item)) : nullptr; }

bool Shell::RemoveLastId(IdList list) {
    if (ItemByteSize(list) == 0) return false;
    Bytes(FindLastId(list))[0] = Bytes(FindLastId(list))[1] = 0;
    return true;
}

IdList Shell::Combine(IdList first, IdList second) {
    auto names = NamesOf(first);
    for (auto& name : NamesOf(second)) names.push_back(name);
    return first || second ? MakeList(names) : nullptr;
}

bool Shell::IsEqual(IdList a, IdList b) {
    if (!a || !b) return a == b;
    const auto x = NamesOf(a), y = NamesOf(b);
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), SameName);
}

void Shell::Free(IdList list) {
    if (list && live_.erase(list) == 0) ADD_FAILURE() << "freed an identifier list that is not live";
    else std::free(list);
}

IdList Shell::Alloc(std::size_t bytes) { return static_cast<IdList>(*live_.insert(std::malloc(bytes)).first); }

bool Notifier::Start(IdList root, INotifySink&) {
    EXPECT_NE(root, nullptr);
    ++starts;
    registrations += canStart;
    return canStart;
}

void Notifier::Stop() { registrations -= registrations > 0; }

void Tree::EraseAll() { for (NodeHandle root : std::vector<NodeHandle>(roots)) DeleteNode(root); }

NodeHandle Tree::AddNodeOnDemand(const std::wstring& NodeText, IdList lParam, NodeHandle hParent, bool cut) {
    const NodeHandle handle = ++next_;
    (hParent ? at(hParent).children : roots).push_back(handle);
    Node& node = nodes[handle];
    node.text = NodeText;
    node.data = lParam;
    node.parent = hParent;
    node.cut = cut;
    return handle;
}

void Tree::AskDisplayInfo(NodeHandle hNode, bool image, bool selectedImage, bool children) {
    if (!listener || !(image || selectedImage || children)) return;
    NodeDisplayInfo info{image, selectedImage, children, hNode == selected};
    listener->mTreeView_GetDisplayInfo(hNode, at(hNode).data, info);
    Node& node = at(hNode);
    if (image) node.image = info.image;
    if (selectedImage) node.selectedImage = info.selectedImage;
    if (children) node.childrenFlag = info.hasChildren ? 1 : 0;
}

Tree::Node& Tree::Shown(NodeHandle h) {
    AskDisplayInfo(h, at(h).image == kImageOnDemand, at(h).selectedImage == kImageOnDemand, at(h).childrenFlag == kChildrenOnDemand);
    return at(h);
}

bool Tree::CanExpand(NodeHandle hNode) {
    if (at(hNode).childrenFlag == kChildrenOnDemand) AskDisplayInfo(hNode, false, false, true);
    return !at(hNode).children.empty() || at(hNode).childrenFlag != 0;
}

// Like the native tree: the notice comes only for a node that can expand and is not expanded yet.
void Tree::ExpandNode(NodeHandle hNode) {
    if (at(hNode).expanded || !CanExpand(hNode)) return;
    bool once = at(hNode).expandedOnce;
    IdList data = at(hNode).data;
    NodeHandle handle = hNode;
    if (listener) listener->mTreeView_BeforeExpand(handle, data, once);
    at(hNode).expanded = at(hNode).expandedOnce = true;
}

void Tree::SelectedNodeSet(NodeHandle hNode, bool EnsureVisible) {
    selected = hNode;
    ensuredVisible = EnsureVisible;
    if (listener && hNode) listener->mTreeView_Selected(hNode, at(hNode).data);
}

NodeHandle Tree::FirstChild(NodeHandle hNode) { return at(hNode).children.empty() ? 0 : at(hNode).children.front(); }

NodeHandle Tree::NextSibling(NodeHandle hNode) {
    auto& siblings = SiblingsOf(hNode);
    auto it = std::find(siblings.begin(), siblings.end(), hNode);
    return ++it == siblings.end() ? 0 : *it;
}

bool Tree::CollapseReset(NodeHandle hNode) {
    if (!CanExpand(hNode)) return false;
    for (NodeHandle child : std::vector<NodeHandle>(at(hNode).children)) DeleteNode(child);
    at(hNode).expanded = at(hNode).expandedOnce = false;
    return true;
}

void Tree::DeleteNode(NodeHandle hNode) {
    auto& siblings = SiblingsOf(hNode);
    siblings.erase(std::find(siblings.begin(), siblings.end(), hNode));
    DropSubtree(hNode);
}

void Tree::DropSubtree(NodeHandle hNode) {
    for (NodeHandle child : at(hNode).children) DropSubtree(child);
    if (selected == hNode) selected = 0;
    nodes.erase(hNode);
}

std::vector<std::wstring> Tree::ChildTexts(NodeHandle parent) {
    std::vector<std::wstring> texts;
    for (NodeHandle child : at(parent).children) texts.push_back(at(child).text);
    return texts;
}

}  // namespace tarvo::fake
