#include "shelltree/vrx_sys_folder_tree_view.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "controls/accelerator_routing.h"
#include "shelltree/shell_namespace_win32.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::wstring>;

void Pump() { AcceleratorRouting::PumpPending(); }

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

fs::path LongTempFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetLongPathNameW(fs::temp_directory_path().c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? fs::path(buffer) : fs::temp_directory_path();
}

// The folder tree on a form of its own, over a scratch folder below the
// temporary folder that holds "alpha" (and "beta" where asked).
class FolderTreeViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    void SetUp() override {
        scratch_ = LongTempFolder() / (L"tarvo_tree_" + std::to_wstring(::GetCurrentProcessId()));
        fs::create_directories(scratch_ / L"alpha");
        owner_.reset(::CreateWindowExW(0, L"STATIC", L"folder tree test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 420,
                                       600, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
        ::SetForegroundWindow(owner_.get());
        view_.Init(owner_.get(), RECT{0, 0, 400, 560});
        ASSERT_TRUE(view_.TreeViewhWnd() && view_.HasTree());
        view_.Events.NodeDblClick = [this](HTREEITEM& node) { doubleClicked_.push_back(node); };
        view_.Events.NodeActivate = [this] { ++activations_; };
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratch_, ignored);
    }

    HWND tree() const { return view_.TreeViewhWnd(); }
    HTREEITEM Next(UINT relation, HTREEITEM item) {
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    Texts ChildTexts(HTREEITEM parent) {
        Texts texts;
        for (HTREEITEM child = Next(TVGN_CHILD, parent); child; child = Next(TVGN_NEXT, child)) {
            wchar_t text[MAX_PATH] = {};
            TVITEMW data{};
            data.mask = TVIF_HANDLE | TVIF_TEXT;
            data.hItem = child;
            data.pszText = text;
            data.cchTextMax = MAX_PATH;
            ::SendMessageW(tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
            texts.push_back(text);
        }
        return texts;
    }
    // Selects scratch\child from the desktop root; the node of the scratch folder.
    HTREEITEM ShowScratch(const std::wstring& child) {
        view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
        view_.shTree().FullPathSet((scratch_ / child).wstring());
        HTREEITEM selected = view_.Methods().SelectedNodeGet();
        return selected ? Next(TVGN_PARENT, selected) : nullptr;
    }
    void DoubleClickAt(POINT client) {
        POINT screen = client;
        ::ClientToScreen(tree(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        Pump();
    }

    fs::path scratch_;
    unique_hwnd owner_;
    VRX_SysFolderTreeView view_;
    std::vector<HTREEITEM> doubleClicked_;
    int activations_ = 0;
};

TEST_F(FolderTreeViewTest, TheDesktopRootLoadsOnlyItsFirstLevel) {
    int expansions = 0;
    view_.Events.BeforeExpand = [&](HTREEITEM&, LPARAM&, bool&) { ++expansions; };
    view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
    const HTREEITEM root = Next(TVGN_ROOT, nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(expansions, 1);
    EXPECT_FALSE(ChildTexts(root).empty());
    for (HTREEITEM child = Next(TVGN_CHILD, root); child; child = Next(TVGN_NEXT, child)) {
        EXPECT_EQ(Next(TVGN_CHILD, child), nullptr) << "a first-level folder was loaded early";
    }
}

TEST_F(FolderTreeViewTest, ARealFolderIsSelectedByPathAndAnnouncedNewFoldersAppear) {
    fs::create_directory(scratch_ / L"beta");
    const HTREEITEM scratchNode = ShowScratch(L"beta");
    ASSERT_NE(scratchNode, nullptr) << "path not found in the tree";
    const HTREEITEM selected = view_.Methods().SelectedNodeGet();
    EXPECT_TRUE(SameText(view_.shTree().FullPathGet(AsNode(selected)), (scratch_ / L"beta").wstring()));
    EXPECT_TRUE(SameText(view_.shTree().FullPathGet(AsNode(scratchNode)), scratch_.wstring()));
    EXPECT_EQ(ChildTexts(scratchNode), (Texts{L"alpha", L"beta"}));

    const fs::path created = scratch_ / L"gamma";
    fs::create_directory(created);
    ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, created.c_str(), nullptr);
    for (int i = 0; i < 200 && ChildTexts(scratchNode).size() < 3; ++i) {
        Pump();
        ::Sleep(10);
    }
    EXPECT_EQ(ChildTexts(scratchNode), (Texts{L"alpha", L"beta", L"gamma"}));
}

TEST_F(FolderTreeViewTest, ADoubleClickCountsOnlyOnTheItemItself) {
    const HTREEITEM scratchNode = ShowScratch(L"alpha");
    ASSERT_NE(scratchNode, nullptr);
    RECT label{};
    std::memcpy(&label, &scratchNode, sizeof scratchNode);  // TVM_GETITEMRECT takes the item in the rectangle
    ASSERT_TRUE(::SendMessageW(tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)));
    const int middle = (label.top + label.bottom) / 2;
    POINT button{-1, middle};
    for (int x = 0; x < label.left && button.x < 0; ++x) {
        TVHITTESTINFO hit{};
        hit.pt = {x, middle};
        ::SendMessageW(tree(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.flags & TVHT_ONITEMBUTTON) button.x = x;
    }
    ASSERT_GE(button.x, 0) << "no expand button found";
    DoubleClickAt(button);
    DoubleClickAt({label.right + 30, middle});
    EXPECT_TRUE(doubleClicked_.empty());
    DoubleClickAt({(label.left + label.right) / 2, middle});
    EXPECT_EQ(doubleClicked_, std::vector<HTREEITEM>{scratchNode});
}

TEST_F(FolderTreeViewTest, ReturnActivatesAtOnceAndSpaceOnRelease) {
    ASSERT_NE(ShowScratch(L"alpha"), nullptr);
    ::SetFocus(view_.ContainerhWnd());
    Pump();
    ASSERT_EQ(::GetFocus(), tree());
    const auto key = [&](UINT message, WPARAM code) {
        ::PostMessageW(tree(), message, code, 1);
        Pump();
        return activations_;
    };
    EXPECT_EQ(key(WM_KEYDOWN, VK_RETURN), 1);
    key(WM_KEYUP, VK_RETURN);
    EXPECT_EQ(key(WM_KEYDOWN, VK_SPACE), 1);
    EXPECT_EQ(key(WM_KEYUP, VK_SPACE), 2);
}

TEST_F(FolderTreeViewTest, ItsIdentifierListsAreFreedWhenTheFormGoesFirst) {
    const std::ptrdiff_t before = ShellNamespaceWin32::LiveIdLists();
    unique_hwnd form(::CreateWindowExW(0, L"STATIC", L"closing form", WS_OVERLAPPEDWINDOW, 0, 0, 300, 400, nullptr,
                                       nullptr, ::GetModuleHandleW(nullptr), nullptr));
    VRX_SysFolderTreeView closing;
    closing.Init(form.get(), RECT{0, 0, 300, 400});
    ASSERT_TRUE(closing.HasTree());
    closing.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
    closing.shTree().FullPathSet((scratch_ / L"alpha").wstring());
    EXPECT_GT(ShellNamespaceWin32::LiveIdLists(), before + 3) << "every node holds a list";
    form.reset();  // the tree window goes with its form, before the control
    EXPECT_EQ(ShellNamespaceWin32::LiveIdLists(), before);
    EXPECT_FALSE(closing.HasTree());
}

}  // namespace
}  // namespace tarvo
