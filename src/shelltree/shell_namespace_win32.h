#pragma once
// ShellNamespaceWin32: the shell namespace on Windows.
// The folder tree's namespace and change notifications on the Windows shell:
// IShellFolder for folders, the IL* functions for identifier lists, and a
// message-only window registered with SHChangeNotifyRegister.
#include <windows.h>
#include <shlobj.h>

#include <cstddef>

#include "common/handles.h"
#include "controls/message_hooks.h"
#include "shelltree/shell_namespace.h"

namespace tarvo {

inline LPITEMIDLIST AsPidl(IdList list) { return reinterpret_cast<LPITEMIDLIST>(list); }
inline IdList AsIdList(LPCITEMIDLIST pidl) { return reinterpret_cast<IdList>(const_cast<LPITEMIDLIST>(pidl)); }

class ShellNamespaceWin32 final : public IShellNamespace {
public:
    // `owner` is handed to the shell calls that may show user interface.
    explicit ShellNamespaceWin32(HWND owner);

    // Lists handed out by every namespace of the process and not freed yet.
    static std::ptrdiff_t LiveIdLists();

    IShellFolder* Desktop() const { return desktop_.get(); }

    std::uintptr_t SmallImageList() override;
    int DefaultIconIndex() override;
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

private:
    // `absolute` names `folder`; a folder that could not be bound is the desktop.
    std::unique_ptr<IFolder> Wrap(com_ptr<IShellFolder> folder, unique_pidl absolute);

    HWND owner_;
    com_ptr<IShellFolder> desktop_;
};

// Wraps one IShellFolder and the absolute list that names it.
class ShellFolderWin32 final : public IFolder {
public:
    ShellFolderWin32(com_ptr<IShellFolder> folder, unique_pidl absolute, HWND owner)
        : folder_(std::move(folder)), absolute_(std::move(absolute)), owner_(owner) {}

    std::unique_ptr<IFolderEnum> EnumSubFolders() override;
    std::unique_ptr<IFolderEnum> EnumSubFoldersOf(IdList item) override;
    std::uint32_t AttributesOf(IdList item, std::uint32_t mask) override;
    std::wstring DisplayNameOf(IdList item, std::uint32_t kind) override;
    int IconIndexOf(IdList item) override;
    int OpenIconIndexOf(IdList item) override;

private:
    static std::unique_ptr<IFolderEnum> Enumerate(IShellFolder* folder, HWND owner);

    com_ptr<IShellFolder> folder_;
    unique_pidl absolute_;
    HWND owner_;
};

// Text of a STRRET, "" when it cannot be read.
std::wstring StrRetText(STRRET& value, LPCITEMIDLIST pidl);

class ChangeNotifierWin32 final : public IChangeNotifier, public ISubclass {
public:
    static constexpr UINT kNotifyMessage = WM_USER + 1;

    ChangeNotifierWin32() = default;
    ChangeNotifierWin32(const ChangeNotifierWin32&) = delete;
    ChangeNotifierWin32& operator=(const ChangeNotifierWin32&) = delete;
    ~ChangeNotifierWin32() override { Stop(); }

    bool Start(IdList root, INotifySink& sink) override;
    void Stop() override;
    HWND Window() const { return window_.get(); }

    long MsgResponse(UINT& currentMessage) override;
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

private:
    void Unhook();

    unique_hwnd window_;
    ULONG registration_ = 0;
    INotifySink* sink_ = nullptr;
};

}  // namespace tarvo
