#include "shelltree/vrx_sys_folder_tree_view.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/accelerator_routing.h"

namespace tarvo {
namespace {

HWND CreateOwnerWindow() {
    static const wchar_t* className = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TarvoFolderTreeTestOwner";
        ::RegisterClassW(&wc);
        return L"TarvoFolderTreeTestOwner";
    }();
    HWND owner = ::CreateWindowExW(0, className, L"folder tree test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 420,
                                   600, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(owner);
    return owner;
}

// Pumps until `done` holds or about two seconds have passed.
template <typename Predicate>
bool PumpUntil(Predicate done) {
    for (int i = 0; i < 200 && !done(); ++i) {
        AcceleratorRouting::PumpPending();
        ::Sleep(10);
    }
    return done();
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring LongPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetLongPathNameW(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : path;
}

// A folder of the test's own below the temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        path_ = LongPath(temp) + L"tarvo_tree_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(path_); }
    const std::wstring& path() const { return path_; }
    std::wstring Make(const std::wstring& name) const {
        const std::wstring sub = path_ + L"\\" + name;
        ::CreateDirectoryW(sub.c_str(), nullptr);
        return sub;
    }

private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    ::DeleteFileW(full.c_str());
                }
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(folder.c_str());
    }
    std::wstring path_;
};

class FolderTreeViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    void SetUp() override {
        owner_.reset(CreateOwnerWindow());
        view_.Init(owner_.get(), RECT{0, 0, 400, 560});
        ASSERT_NE(view_.TreeViewhWnd(), nullptr);
        ASSERT_TRUE(view_.HasTree());
        view_.Events.NodeDblClick = [this](HTREEITEM& node) { doubleClicked_.push_back(node); };
        view_.Events.NodeActivate = [this] { ++activations_; };
    }

    HWND tree() const { return view_.TreeViewhWnd(); }
    HTREEITEM Next(UINT relation, HTREEITEM item) {
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageW(tree(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    std::wstring TextOf(HTREEITEM item) {
        wchar_t text[MAX_PATH] = {};
        TVITEMW data{};
        data.mask = TVIF_HANDLE | TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = MAX_PATH;
        ::SendMessageW(tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        return text;
    }
    std::vector<std::wstring> ChildTexts(HTREEITEM parent) {
        std::vector<std::wstring> texts;
        for (HTREEITEM child = Next(TVGN_CHILD, parent); child; child = Next(TVGN_NEXT, child)) {
            texts.push_back(TextOf(child));
        }
        return texts;
    }
    // Selects a folder of the scratch area and returns the node of the scratch folder itself.
    HTREEITEM ShowScratch(const std::wstring& selectedChild) {
        view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
        view_.shTree().FullPathSet(scratch_.path() + L"\\" + selectedChild);
        HTREEITEM selected = view_.Methods().SelectedNodeGet();
        return selected ? Next(TVGN_PARENT, selected) : nullptr;
    }
    void Key(UINT message, WPARAM key) {
        ::PostMessageW(tree(), message, key, 1);
        AcceleratorRouting::PumpPending();
    }
    void DoubleClickAt(POINT client) {
        POINT screen = client;
        ::ClientToScreen(tree(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        AcceleratorRouting::PumpPending();
    }

    unique_hwnd owner_;
    VRX_SysFolderTreeView view_;
    ScratchFolder scratch_;
    std::vector<HTREEITEM> doubleClicked_;
    int activations_ = 0;
};

TEST_F(FolderTreeViewTest, DesktopRootLoadsOnlyItsFirstLevel) {
    int expansions = 0;
    view_.Events.BeforeExpand = [&](HTREEITEM&, LPARAM&, bool&) { ++expansions; };
    view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
    const HTREEITEM root = Next(TVGN_ROOT, nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(expansions, 1);
    const auto firstLevel = ChildTexts(root);
    EXPECT_FALSE(firstLevel.empty());
    for (HTREEITEM child = Next(TVGN_CHILD, root); child; child = Next(TVGN_NEXT, child)) {
        EXPECT_EQ(Next(TVGN_CHILD, child), nullptr) << "loaded early: " << std::string(TextOf(child).begin(), TextOf(child).end());
    }
}

TEST_F(FolderTreeViewTest, FullPathSetSelectsARealFolderAndFullPathGetReturnsIt) {
    scratch_.Make(L"alpha");
    scratch_.Make(L"beta");
    const HTREEITEM scratchNode = ShowScratch(L"beta");
    ASSERT_NE(scratchNode, nullptr) << "path not found in the tree";
    const HTREEITEM selected = view_.Methods().SelectedNodeGet();
    EXPECT_EQ(TextOf(selected), L"beta");
    EXPECT_TRUE(SameText(view_.shTree().FullPathGet(AsNode(selected)), scratch_.path() + L"\\beta"));
    EXPECT_TRUE(SameText(view_.shTree().FullPathGet(AsNode(scratchNode)), scratch_.path()));
    EXPECT_EQ(ChildTexts(scratchNode), (std::vector<std::wstring>{L"alpha", L"beta"}));
}

TEST_F(FolderTreeViewTest, AnnouncedNewFolderAppearsUnderItsLoadedParent) {
    scratch_.Make(L"alpha");
    const HTREEITEM scratchNode = ShowScratch(L"alpha");
    ASSERT_NE(scratchNode, nullptr);
    const std::wstring created = scratch_.Make(L"gamma");
    ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, created.c_str(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ChildTexts(scratchNode).size() == 2; }));
    EXPECT_EQ(ChildTexts(scratchNode), (std::vector<std::wstring>{L"alpha", L"gamma"}));
}

TEST_F(FolderTreeViewTest, DoubleClickCountsOnlyOnTheItemItself) {
    scratch_.Make(L"alpha");
    const HTREEITEM scratchNode = ShowScratch(L"alpha");
    ASSERT_NE(scratchNode, nullptr);
    RECT label{};
    std::memcpy(&label, &scratchNode, sizeof scratchNode);  // TVM_GETITEMRECT takes the item in the rectangle
    ASSERT_TRUE(::SendMessageW(tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)));
    const int middle = (label.top + label.bottom) / 2;
    POINT button{-1, middle};
    for (int x = 0; x < label.left; ++x) {
        TVHITTESTINFO hit{};
        hit.pt = {x, middle};
        ::SendMessageW(tree(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.flags & TVHT_ONITEMBUTTON) {
            button.x = x;
            break;
        }
    }
    ASSERT_GE(button.x, 0) << "no expand button found";
    DoubleClickAt(button);
    EXPECT_TRUE(doubleClicked_.empty());
    DoubleClickAt({label.right + 30, middle});
    EXPECT_TRUE(doubleClicked_.empty());
    DoubleClickAt({(label.left + label.right) / 2, middle});
    ASSERT_EQ(doubleClicked_.size(), 1u);
    EXPECT_EQ(doubleClicked_[0], scratchNode);
}

TEST_F(FolderTreeViewTest, ReturnActivatesAtOnceAndSpaceOnRelease) {
    scratch_.Make(L"alpha");
    ASSERT_NE(ShowScratch(L"alpha"), nullptr);
    ::SetFocus(view_.ContainerhWnd());
    AcceleratorRouting::PumpPending();
    ASSERT_EQ(::GetFocus(), tree());
    Key(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(activations_, 1);
    Key(WM_KEYUP, VK_RETURN);
    Key(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(activations_, 1);
    Key(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(activations_, 2);
}

TEST_F(FolderTreeViewTest, ANewRootReplacesTheOldTree) {
    view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
    view_.shTree().RootNodeCSIDLSet(CSIDL_DRIVES);
    const HTREEITEM root = Next(TVGN_ROOT, nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Next(TVGN_NEXT, root), nullptr);
    EXPECT_TRUE(view_.shTree().Notifying());
    view_.shTree().FullPathSet(scratch_.path());
    EXPECT_TRUE(SameText(view_.shTree().FullPathGet(AsNode(view_.Methods().SelectedNodeGet())), scratch_.path()));
}

}  // namespace
}  // namespace tarvo
