#pragma once
// The shell namespace as the folder tree logic sees it: folders with child
// folders, attributes, names and icons, and item identifier lists that are
// cloned, combined, compared and freed. The Windows binding maps these onto
// IShellFolder and the IL* functions; tests use an in-memory namespace.
#include <cstdint>
#include <memory>
#include <string>

namespace tarvo {

// The shell's ITEMIDLIST: items of a 16-bit byte size (size included) followed
// by data, ended by a zero size. Opaque here; only the size fields are read.
struct ItemIdList;
using IdList = ItemIdList*;

// Attribute bits asked of a folder (SFGAO_*).
constexpr std::uint32_t kAttrHasSubFolder = 0x80000000u;
constexpr std::uint32_t kAttrHidden = 0x00080000u;

// Display-name kinds (SHGDN_*).
constexpr std::uint32_t kNameInFolder = 0x1;
constexpr std::uint32_t kNameForParsing = 0x8000;

// Change events (SHCNE_*).
constexpr long kEventMkdir = 0x8;
constexpr long kEventRmdir = 0x10;
constexpr long kEventMediaInserted = 0x20;
constexpr long kEventMediaRemoved = 0x40;
constexpr long kEventDriveRemoved = 0x80;
constexpr long kEventDriveAdd = 0x100;
constexpr long kEventAttributes = 0x800;
constexpr long kEventUpdateDir = 0x1000;
constexpr long kEventRenameFolder = 0x20000;
constexpr long kEventsWatched = 0x000219F8;

// The child folders of one folder, one relative single-item list at a time.
class IFolderEnum {
public:
    virtual ~IFolderEnum() = default;
    // The next child item, owned by the caller; null at the end.
    virtual IdList Next() = 0;
};

// One bound folder. Items passed in are single-item lists relative to it.
class IFolder {
public:
    virtual ~IFolder() = default;
    // Folders only, hidden ones included; null when the enumeration cannot start.
    virtual std::unique_ptr<IFolderEnum> EnumSubFolders() = 0;
    // The same for the child folder `item`.
    virtual std::unique_ptr<IFolderEnum> EnumSubFoldersOf(IdList item) = 0;
    // The asked bits that the item has; 0 when the query fails.
    virtual std::uint32_t AttributesOf(IdList item, std::uint32_t mask) = 0;
    // "" when the query fails.
    virtual std::wstring DisplayNameOf(IdList item, std::uint32_t kind) = 0;
    // Icon indexes in the small system image list, closed and open; -1 when unknown.
    virtual int IconIndexOf(IdList item) = 0;
    virtual int OpenIconIndexOf(IdList item) = 0;
};

class IShellNamespace {
public:
    virtual ~IShellNamespace() = default;

    virtual std::uintptr_t SmallImageList() = 0;
    virtual int DefaultIconIndex() = 0;
    // Owned by the caller; null when the special folder is unknown.
    virtual IdList CloneSpecialIdList(int csidl) = 0;
    // The folder holding the absolute list's last item; the desktop when binding fails.
    virtual std::unique_ptr<IFolder> BindToParentFolder(IdList absolute) = 0;
    // The folder the absolute list names; the desktop when binding fails.
    virtual std::unique_ptr<IFolder> BindToFolder(IdList absolute) = 0;
    // The desktop's parsing name of an absolute list (a path for file-system folders).
    virtual std::wstring ParsingNameOf(IdList absolute) = 0;
    // Owned by the caller; null when the path does not parse.
    virtual IdList ParsePath(const std::wstring& path) = 0;

    virtual IdList Clone(IdList list) = 0;
    virtual IdList CloneFirst(IdList list) = 0;
    // Points into `list`; the terminator of an empty list.
    virtual IdList FindLastId(IdList list) = 0;
    virtual IdList GetNext(IdList item) = 0;
    virtual bool RemoveLastId(IdList list) = 0;
    virtual IdList Combine(IdList first, IdList second) = 0;
    virtual bool IsEqual(IdList a, IdList b) = 0;
    virtual void Free(IdList list) = 0;
    // Raw block of the shell's allocator, freed with Free.
    virtual IdList Alloc(std::size_t bytes) = 0;
};

// Receives the change notifications of a registration.
class INotifySink {
public:
    virtual void ShellNotify(long event, IdList item1, IdList item2) = 0;
    // The notification window is going away; the registration must be dropped.
    virtual void NotifyWindowDestroyed() = 0;

protected:
    ~INotifySink() = default;
};

// Watches a folder and its descendants for the watched change events.
class IChangeNotifier {
public:
    virtual ~IChangeNotifier() = default;
    // False when no notification window or registration could be made.
    virtual bool Start(IdList root, INotifySink& sink) = 0;
    // Ends the registration and the window; harmless when not started.
    virtual void Stop() = 0;
};

// Frees a list of a namespace when it goes out of scope.
class ScopedIdList {
public:
    ScopedIdList(IShellNamespace& ns, IdList list) noexcept : ns_(&ns), list_(list) {}
    ScopedIdList(const ScopedIdList&) = delete;
    ScopedIdList& operator=(const ScopedIdList&) = delete;
    ~ScopedIdList() { reset(); }
    IdList get() const noexcept { return list_; }
    IdList release() noexcept {
        IdList list = list_;
        list_ = nullptr;
        return list;
    }
    void reset(IdList list = nullptr) noexcept {
        if (list_) ns_->Free(list_);
        list_ = list;
    }

private:
    IShellNamespace* ns_;
    IdList list_;
};

// Byte size of the first item of a list (0 at the terminator).
std::uint16_t ItemByteSize(IdList item) noexcept;

}  // namespace tarvo
