#include "shelltree/shell_namespace_win32.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>

#include "common/guarded_call.h"

namespace tarvo {
namespace {

std::ptrdiff_t g_liveIdLists = 0;

// Every list that leaves the namespace for a caller to free goes through here.
IdList HandedOut(LPCITEMIDLIST pidl) {
    if (pidl) ++g_liveIdLists;
    return AsIdList(pidl);
}

constexpr UINT kIconQuery = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
constexpr UINT kDefaultIconQuery = kIconQuery | SHGFI_USEFILEATTRIBUTES;
constexpr SHCONTF kFoldersWithHidden = SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN;

class EnumWin32 final : public IFolderEnum {
public:
    explicit EnumWin32(com_ptr<IEnumIDList> items) : items_(std::move(items)) {}
    IdList Next() override {
        LPITEMIDLIST item = nullptr;
        ULONG fetched = 0;
        if (items_->Next(1, &item, &fetched) != S_OK) {
            const unique_pidl discarded(item);
            return nullptr;
        }
        return HandedOut(item);
    }

private:
    com_ptr<IEnumIDList> items_;
};

// The shell reads a folder's desktop.ini only when the folder is marked read-only
// or system; any other plain directory shows the stock folder icon, which is
// looked up once instead of probing each folder on disk.
bool IsPlainDirectory(IShellFolder* folder, LPCITEMIDLIST item) {
    WIN32_FIND_DATAW data{};
    if (FAILED(::SHGetDataFromIDListW(folder, item, SHGDFIL_FINDDATA, &data, sizeof data))) return false;
    constexpr DWORD kCustomisable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & kCustomisable) &&
           !std::wcschr(data.cFileName, L'{');
}

// The open icon is asked only for the selected node, so it keeps the full lookup.
int StockFolderIcon() {
    static const int index = [] {
        SHFILEINFOW info{};
        return ::SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, kDefaultIconQuery) ? info.iIcon
                                                                                                           : -1;
    }();
    return index;
}

}  // namespace

std::wstring StrRetText(STRRET& value, LPCITEMIDLIST pidl) {
    LPWSTR text = nullptr;
    if (FAILED(::StrRetToStrW(&value, pidl, &text)) || !text) return L"";
    const scope_exit freeText([text] { ::CoTaskMemFree(text); });
    return std::wstring(text);
}

ShellNamespaceWin32::ShellNamespaceWin32(HWND owner) : owner_(owner) { ::SHGetDesktopFolder(desktop_.put()); }

std::uintptr_t ShellNamespaceWin32::SmallImageList() {
    SHFILEINFOW info{};
    return static_cast<std::uintptr_t>(::SHGetFileInfoW(L".txt", 0, &info, sizeof info, kDefaultIconQuery));
}

int ShellNamespaceWin32::DefaultIconIndex() {
    SHFILEINFOW info{};
    return ::SHGetFileInfoW(L"", 0, &info, sizeof info, kDefaultIconQuery) ? info.iIcon : 0;
}

IdList ShellNamespaceWin32::CloneSpecialIdList(int csidl) {
    return HandedOut(::SHCloneSpecialIDList(owner_, csidl, FALSE));
}

std::unique_ptr<IFolder> ShellNamespaceWin32::Wrap(com_ptr<IShellFolder> folder, unique_pidl absolute) {
    if (!folder || !absolute) {
        folder = desktop_;
        absolute.reset(static_cast<LPITEMIDLIST>(::SHAlloc(sizeof(USHORT))));
        if (absolute) absolute.get()->mkid.cb = 0;
    }
    return std::make_unique<ShellFolderWin32>(std::move(folder), std::move(absolute), owner_);
}

std::unique_ptr<IFolder> ShellNamespaceWin32::BindToParentFolder(IdList absolute) {
    com_ptr<IShellFolder> parent;
    unique_pidl parentList;
    if (absolute && SUCCEEDED(::SHBindToParent(AsPidl(absolute), IID_IShellFolder, parent.put_void(), nullptr))) {
        parentList.reset(::ILClone(AsPidl(absolute)));
        if (parentList) ::ILRemoveLastID(parentList.get());
    } else {
        parent.reset();
    }
    return Wrap(std::move(parent), std::move(parentList));
}

std::unique_ptr<IFolder> ShellNamespaceWin32::BindToFolder(IdList absolute) {
    com_ptr<IShellFolder> folder;
    if (!absolute || !desktop_ ||
        FAILED(desktop_->BindToObject(AsPidl(absolute), nullptr, IID_IShellFolder, folder.put_void()))) {
        folder.reset();
    }
    unique_pidl list(folder ? ::ILClone(AsPidl(absolute)) : nullptr);
    return Wrap(std::move(folder), std::move(list));
}

std::wstring ShellNamespaceWin32::ParsingNameOf(IdList absolute) {
    STRRET name{};
    if (!desktop_ || FAILED(desktop_->GetDisplayNameOf(AsPidl(absolute), SHGDN_FORPARSING, &name))) return L"";
    return StrRetText(name, AsPidl(absolute));
}

IdList ShellNamespaceWin32::ParsePath(const std::wstring& path) { return HandedOut(::ILCreateFromPathW(path.c_str())); }
IdList ShellNamespaceWin32::Clone(IdList list) { return list ? HandedOut(::ILClone(AsPidl(list))) : nullptr; }
IdList ShellNamespaceWin32::CloneFirst(IdList list) { return list ? HandedOut(::ILCloneFirst(AsPidl(list))) : nullptr; }
IdList ShellNamespaceWin32::FindLastId(IdList list) { return list ? AsIdList(::ILFindLastID(AsPidl(list))) : nullptr; }
IdList ShellNamespaceWin32::GetNext(IdList item) { return item ? AsIdList(::ILGetNext(AsPidl(item))) : nullptr; }
bool ShellNamespaceWin32::RemoveLastId(IdList list) { return list && ::ILRemoveLastID(AsPidl(list)); }
IdList ShellNamespaceWin32::Combine(IdList first, IdList second) {
    return HandedOut(::ILCombine(AsPidl(first), AsPidl(second)));
}
bool ShellNamespaceWin32::IsEqual(IdList a, IdList b) { return ::ILIsEqual(AsPidl(a), AsPidl(b)); }
void ShellNamespaceWin32::Free(IdList list) {
    if (list) --g_liveIdLists;
    ::ILFree(AsPidl(list));
}
IdList ShellNamespaceWin32::Alloc(std::size_t bytes) {
    return HandedOut(static_cast<LPCITEMIDLIST>(::SHAlloc(bytes)));
}
std::ptrdiff_t ShellNamespaceWin32::LiveIdLists() { return g_liveIdLists; }

std::unique_ptr<IFolderEnum> ShellFolderWin32::Enumerate(IShellFolder* folder, HWND owner) {
    com_ptr<IEnumIDList> items;
    if (!folder || folder->EnumObjects(owner, kFoldersWithHidden, items.put()) != S_OK || !items) return nullptr;
    return std::make_unique<EnumWin32>(std::move(items));
}

std::unique_ptr<IFolderEnum> ShellFolderWin32::EnumSubFolders() { return Enumerate(folder_.get(), owner_); }

// An empty item names the folder itself: the desktop is the root's own parent.
std::unique_ptr<IFolderEnum> ShellFolderWin32::EnumSubFoldersOf(IdList item) {
    if (ItemByteSize(item) == 0) return EnumSubFolders();
    com_ptr<IShellFolder> child;
    if (!folder_ || FAILED(folder_->BindToObject(AsPidl(item), nullptr, IID_IShellFolder, child.put_void()))) {
        return nullptr;
    }
    return Enumerate(child.get(), owner_);
}

std::uint32_t ShellFolderWin32::AttributesOf(IdList item, std::uint32_t mask) {
    SFGAOF attributes = mask;
    LPCITEMIDLIST items[] = {AsPidl(item)};
    if (!folder_ || FAILED(folder_->GetAttributesOf(1, items, &attributes))) return 0;
    return attributes & mask;
}

std::wstring ShellFolderWin32::DisplayNameOf(IdList item, std::uint32_t kind) {
    STRRET name{};
    if (!folder_ || FAILED(folder_->GetDisplayNameOf(AsPidl(item), kind, &name))) return L"";
    return StrRetText(name, AsPidl(item));
}

int ShellFolderWin32::IconIndexOf(IdList item) {
    if (!folder_) return -1;
    if (IsPlainDirectory(folder_.get(), AsPidl(item))) return StockFolderIcon();
    return ::SHMapPIDLToSystemImageListIndex(folder_.get(), AsPidl(item), nullptr);
}

// Asked of SHGetFileInfoW: a shell may hand out the closed index as the open one
// through SHMapPIDLToSystemImageListIndex.
int ShellFolderWin32::OpenIconIndexOf(IdList item) {
    unique_pidl absolute(absolute_ ? ::ILCombine(absolute_.get(), AsPidl(item)) : nullptr);
    SHFILEINFOW info{};
    if (!absolute || !::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute.get()), 0, &info, sizeof info,
                                       SHGFI_PIDL | kIconQuery | SHGFI_OPENICON)) {
        return -1;
    }
    return info.iIcon;
}

bool ChangeNotifierWin32::Start(IdList root, INotifySink& sink) {
    Stop();
    window_.reset(::CreateWindowExW(0, L"MESSAGE", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr));
    if (!window_) return false;
    sink_ = &sink;
    MSubclass::AttachMessage(this, window_.get(), WM_DESTROY);
    MSubclass::AttachMessage(this, window_.get(), kNotifyMessage);
    SHChangeNotifyEntry entry{AsPidl(root), TRUE};
    registration_ = ::SHChangeNotifyRegister(window_.get(), SHCNRF_ShellLevel, kEventsWatched, kNotifyMessage, 1, &entry);
    if (registration_ == 0) Stop();
    return registration_ != 0;
}

void ChangeNotifierWin32::Unhook() {
    if (!window_) return;
    MSubclass::DetachMessage(this, window_.get(), WM_DESTROY);
    MSubclass::DetachMessage(this, window_.get(), kNotifyMessage);
}

void ChangeNotifierWin32::Stop() {
    Unhook();
    if (registration_) ::SHChangeNotifyDeregister(std::exchange(registration_, 0));
    sink_ = nullptr;
    window_.reset();
}

long ChangeNotifierWin32::MsgResponse(UINT& currentMessage) {
    return currentMessage == WM_DESTROY ? kBefore : kConsume;
}

LRESULT ChangeNotifierWin32::WindowProc(HWND, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    // A lost notification leaves the tree as it was.
    GuardedCall([&] {
        if (!sink_) return;
        if (iMsg == WM_DESTROY) {
            // The window is already going: it must not be destroyed a second time.
            Unhook();
            window_.release();
            sink_->NotifyWindowDestroyed();
        } else if (iMsg == kNotifyMessage && wParam) {
            auto* items = reinterpret_cast<LPITEMIDLIST*>(wParam);
            sink_->ShellNotify(static_cast<long>(lParam), AsIdList(items[0]), AsIdList(items[1]));
        }
    });
    return 0;
}

}  // namespace tarvo
