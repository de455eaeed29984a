// Expanding a folder of 5,000 sub-folders in the folder tree until the expanded
// node has painted, against what any folder tree must do for the same folder:
// enumerate it and read each child's display name and attributes once. A
// folder of 50,000 is timed the same way, to show how the cost grows. The
// folders are made once below the temporary folder and kept for later runs.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/handles.h"
#include "shelltree/folder_tree_view.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double WorkingSetMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return -1.0;
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    wchar_t longTemp[MAX_PATH] = {};
    if (!::GetLongPathNameW(temp, longTemp, MAX_PATH)) ::lstrcpynW(longTemp, temp, MAX_PATH);
    return longTemp;
}

std::wstring SubFolder(const std::wstring& root, int i) { return root + L"\\f" + std::to_wstring(i); }

// Made on the first run only: creating 50,000 folders takes longer than expanding them.
std::wstring WideFolder(int count) {
    const std::wstring root = TempFolder() + L"tarvo_bench_wide_" + std::to_wstring(count);
    if (::GetFileAttributesW(SubFolder(root, count - 1).c_str()) != INVALID_FILE_ATTRIBUTES) return root;
    std::printf("creating %d folders in %ls\n", count, root.c_str());
    ::CreateDirectoryW(root.c_str(), nullptr);
    for (int i = 0; i < count; ++i) ::CreateDirectoryW(SubFolder(root, i).c_str(), nullptr);
    return root;
}

int CountChildren(HWND tree, HTREEITEM parent) {
    int count = 0;
    auto next = [&](UINT relation, HTREEITEM item) {
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    };
    for (HTREEITEM child = next(TVGN_CHILD, parent); child; child = next(TVGN_NEXT, child)) ++count;
    return count;
}

// The least a folder tree does per child: its in-folder name and whether it is hidden.
double EnumerateWithNamesAndAttributes(const std::wstring& path, int& count) {
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
            STRRET display{};
            LPWSTR text = nullptr;
            if (SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_INFOLDER, &display)) &&
                SUCCEEDED(::StrRetToStrW(&display, item, &text))) {
                ::CoTaskMemFree(text);
            }
            SFGAOF attributes = SFGAO_HIDDEN;
            LPCITEMIDLIST items1[] = {item};
            folder->GetAttributesOf(1, items1, &attributes);
            ::CoTaskMemFree(item);
            ++count;
        }
    }
    return SecondsSince(start);
}

struct TreeRun {
    double seconds = 0.0;
    int count = 0;
    double workingSetMiB = 0.0;
};

// A fresh tree rooted at the desktop with the folder selected, then the timed expansion and paint.
TreeRun ExpandInTree(const std::wstring& path) {
    TreeRun run;
    tarvo::unique_hwnd owner(::CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 600,
                                               nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    tarvo::VRX_SysFolderTreeView view;
    view.Init(owner.get(), RECT{0, 0, 400, 560});
    if (!view.HasTree()) return run;
    view.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
    view.shTree().FullPathSet(path);
    ::UpdateWindow(view.TreeViewhWnd());
    HTREEITEM node = view.Methods().SelectedNodeGet();
    const auto start = Clock::now();
    view.Methods().ExpandNode(node);
    ::UpdateWindow(view.TreeViewhWnd());
    run.seconds = SecondsSince(start);
    run.count = CountChildren(view.TreeViewhWnd(), node);
    run.workingSetMiB = WorkingSetMiB();
    return run;
}

bool Measure(int folders, int rounds) {
    const std::wstring root = WideFolder(folders);
    int enumCount = 0;
    EnumerateWithNamesAndAttributes(root, enumCount);  // warms the file system caches for both
    std::vector<double> baseline, tree;
    TreeRun run;
    for (int round = 0; round < rounds; ++round) {
        baseline.push_back(EnumerateWithNamesAndAttributes(root, enumCount));
        run = ExpandInTree(root);
        tree.push_back(run.seconds);
    }
    const double baseSeconds = Median(baseline);
    const double treeSeconds = Median(tree);
    std::printf("%d folders (median of %d): tree expand and paint %.3f s; enumeration with name and attributes %.3f s; "
                "ratio %.2f\n",
                folders, rounds, treeSeconds, baseSeconds, baseSeconds > 0 ? treeSeconds / baseSeconds : 0.0);
    std::printf("  working set after the expansion, tree still open: %.1f MiB\n", run.workingSetMiB);
    if (run.count != folders || enumCount != folders) {
        std::printf("  wrong count: tree %d, enumeration %d\n", run.count, enumCount);
        return false;
    }
    return true;
}

}  // namespace

int main() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::printf("working set before any tree: %.1f MiB\n", WorkingSetMiB());
    const bool ok = Measure(5000, kRounds) && Measure(50000, 1);
    ::CoUninitialize();
    return ok ? 0 : 1;
}
