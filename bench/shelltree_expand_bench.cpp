// Time to expand a folder of 5,000 sub-folders in the folder tree, against the
// same folder enumerated with IShellFolder::EnumObjects alone, in one run.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "common/handles.h"
#include "shelltree/vrx_sys_folder_tree_view.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFolders = 5000;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::wstring MakeWideFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    wchar_t longTemp[MAX_PATH] = {};
    if (!::GetLongPathNameW(temp, longTemp, MAX_PATH)) ::lstrcpynW(longTemp, temp, MAX_PATH);
    const std::wstring root = std::wstring(longTemp) + L"tarvo_bench_wide";
    ::CreateDirectoryW(root.c_str(), nullptr);
    for (int i = 0; i < kFolders; ++i) ::CreateDirectoryW((root + L"\\f" + std::to_wstring(i)).c_str(), nullptr);
    return root;
}

void RemoveWideFolder(const std::wstring& root) {
    for (int i = 0; i < kFolders; ++i) ::RemoveDirectoryW((root + L"\\f" + std::to_wstring(i)).c_str());
    ::RemoveDirectoryW(root.c_str());
}

int CountChildren(HWND tree, HTREEITEM parent) {
    int count = 0;
    auto next = [&](UINT relation, HTREEITEM item) {
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    };
    for (HTREEITEM child = next(TVGN_CHILD, parent); child; child = next(TVGN_NEXT, child)) ++count;
    return count;
}

double EnumerateAlone(const std::wstring& path, int& count) {
    const auto start = Clock::now();
    tarvo::com_ptr<IShellFolder> desktop;
    ::SHGetDesktopFolder(desktop.put());
    tarvo::unique_pidl pidl;
    std::wstring name = path;
    desktop->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, pidl.put(), nullptr);
    tarvo::com_ptr<IShellFolder> folder;
    desktop->BindToObject(pidl.get(), nullptr, IID_IShellFolder, folder.put_void());
    tarvo::com_ptr<IEnumIDList> items;
    count = 0;
    if (folder && folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, items.put()) == S_OK) {
        LPITEMIDLIST item = nullptr;
        while (items->Next(1, &item, nullptr) == S_OK) {
            ::CoTaskMemFree(item);
            ++count;
        }
    }
    return SecondsSince(start);
}

}  // namespace

int main() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring root = MakeWideFolder();
    int result = 1;
    {
        tarvo::unique_hwnd owner(::CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                                   600, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
        tarvo::VRX_SysFolderTreeView view;
        view.Init(owner.get(), RECT{0, 0, 400, 560});
        if (view.HasTree()) {
            view.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
            view.shTree().FullPathSet(root);
            HTREEITEM node = view.Methods().SelectedNodeGet();
            const auto start = Clock::now();
            view.Methods().ExpandNode(node);
            const double treeSeconds = SecondsSince(start);
            const int treeCount = CountChildren(view.TreeViewhWnd(), node);
            int enumCount = 0;
            const double enumSeconds = EnumerateAlone(root, enumCount);
            std::printf("tree expand: %d folders in %.3f s\n", treeCount, treeSeconds);
            std::printf("EnumObjects alone: %d folders in %.3f s\n", enumCount, enumSeconds);
            std::printf("ratio tree/enumeration: %.1f\n", enumSeconds > 0 ? treeSeconds / enumSeconds : 0.0);
            result = treeCount == kFolders && enumCount == kFolders ? 0 : 1;
        }
    }
    RemoveWideFolder(root);
    ::CoUninitialize();
    return result;
}
