// The folder tree control on real windows over a scratch folder of the file system.
#include "shelltree/folder_tree_view.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "controls/accelerator_routing.h"
#include "dib_surface.h"
#include "resource_counts.h"
#include "shelltree/shell_namespace_win32.h"
#include "test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::wstring>;

void Pump() { AcceleratorRouting::PumpPending(); }

// One image of a list as drawn over magenta, pixel by pixel.
std::vector<std::uint32_t> ImagePixels(HIMAGELIST list, int index) {
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(list, &cx, &cy);
    testing::DibSurface surface(cx, cy, 0x00FF00FFu);
    ::ImageList_Draw(list, index, surface.dc(), 0, 0, ILD_NORMAL);
    return surface.All();
}

// The folder tree on a form of its own, over a scratch folder below the
// temporary folder (by its long name) that holds "alpha".
class FolderTreeViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { ::CoUninitialize(); }
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetLongPathNameW(test::TempFolder(L"tarvo_tree").c_str(), temp, MAX_PATH);
        scratch_ = fs::path(temp) / std::to_wstring(::GetCurrentProcessId());
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
    TVITEMW ItemOf(HTREEITEM node, UINT mask, wchar_t* text = nullptr) {
        TVITEMW item{mask | TVIF_HANDLE, node, 0, 0, text, text ? MAX_PATH : 0, 0, 0, 0, 0};
        ::SendMessageW(tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item;
    }
    Texts ChildTexts(HTREEITEM parent) {
        Texts texts;
        for (HTREEITEM child = Next(TVGN_CHILD, parent); child; child = Next(TVGN_NEXT, child)) {
            wchar_t text[MAX_PATH] = {};
            texts.push_back(ItemOf(child, TVIF_TEXT, text).pszText);
        }
        return texts;
    }
    HTREEITEM ChildNamed(HTREEITEM parent, const std::wstring& name) {
        HTREEITEM child = Next(TVGN_CHILD, parent);
        for (wchar_t text[MAX_PATH]; child && name != ItemOf(child, TVIF_TEXT, text).pszText;) child = Next(TVGN_NEXT, child);
        return child;
    }
    // Selects scratch\child from the desktop root; the node of the scratch folder.
    HTREEITEM ShowScratch(const std::wstring& child) {
        view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
        view_.shTree().FullPathSet((scratch_ / child).wstring());
        HTREEITEM selected = view_.Methods().SelectedNodeGet();
        return selected ? Next(TVGN_PARENT, selected) : nullptr;
    }
    // Tells the shell of a change and waits until the children of `node` are `expected`.
    void Announce(LONG event, const fs::path& one, const fs::path& two, HTREEITEM node, const Texts& expected) {
        ::SHChangeNotify(event, SHCNF_PATHW, one.c_str(), two.empty() ? nullptr : two.c_str());
        test::WaitUntil([&] { return Pump(), ChildTexts(node) == expected; }, 5000);
        EXPECT_EQ(ChildTexts(node), expected) << "after event " << event;
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

TEST_F(FolderTreeViewTest, ARealFolderIsSelectedByPathAndAnnouncedChangesOfEveryKindShow) {
    int expansions = 0;
    view_.Events.BeforeExpand = [&](HTREEITEM&, LPARAM&, bool&) { ++expansions; };
    view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
    EXPECT_EQ(expansions, 1);
    const HTREEITEM root = Next(TVGN_ROOT, nullptr);
    ASSERT_NE(Next(TVGN_CHILD, root), nullptr);
    for (HTREEITEM child = Next(TVGN_CHILD, root); child; child = Next(TVGN_NEXT, child)) {
        EXPECT_EQ(Next(TVGN_CHILD, child), nullptr) << "a first-level folder was loaded early";
    }

    fs::create_directory(scratch_ / L"beta");
    const HTREEITEM scratchNode = ShowScratch(L"beta");
    ASSERT_NE(scratchNode, nullptr) << "path not found in the tree";
    const auto same = [](const std::wstring& a, const fs::path& b) {
        return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
    };
    EXPECT_TRUE(same(view_.shTree().FullPathGet(AsNode(view_.Methods().SelectedNodeGet())), scratch_ / L"beta"));
    EXPECT_TRUE(same(view_.shTree().FullPathGet(AsNode(scratchNode)), scratch_));
    EXPECT_EQ(ChildTexts(scratchNode), (Texts{L"alpha", L"beta"}));

    fs::create_directory(scratch_ / L"g");
    Announce(SHCNE_MKDIR, scratch_ / L"g", {}, scratchNode, {L"alpha", L"beta", L"g"});
    fs::rename(scratch_ / L"g", scratch_ / L"gamma");
    Announce(SHCNE_RENAMEFOLDER, scratch_ / L"g", scratch_ / L"gamma", scratchNode, {L"alpha", L"beta", L"gamma"});
    fs::remove(scratch_ / L"beta");
    Announce(SHCNE_RMDIR, scratch_ / L"beta", {}, scratchNode, {L"alpha", L"gamma"});
    fs::create_directory(scratch_ / L"delta");
    Announce(SHCNE_UPDATEDIR, scratch_, {}, scratchNode, {L"alpha", L"delta", L"gamma"});
}

TEST_F(FolderTreeViewTest, ADoubleClickCountsOnlyOnTheItemItselfReturnAndSpaceActivate) {
    const HTREEITEM scratchNode = ShowScratch(L"alpha");
    ASSERT_NE(scratchNode, nullptr);
    RECT label{};
    std::memcpy(&label, &scratchNode, sizeof scratchNode);  // TVM_GETITEMRECT takes the item in the rectangle
    ASSERT_TRUE(::SendMessageW(tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)));
    POINT button{-1, (label.top + label.bottom) / 2};
    for (int x = 0; x < label.left && button.x < 0; ++x) {
        TVHITTESTINFO hit{{x, button.y}, 0, nullptr};
        ::SendMessageW(tree(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.hItem == scratchNode && (hit.flags & TVHT_ONITEMBUTTON)) button.x = x;
    }
    ASSERT_GE(button.x, 0) << "no expand button found";
    DoubleClickAt(button);
    DoubleClickAt({label.right + 30, button.y});
    EXPECT_TRUE(doubleClicked_.empty());
    DoubleClickAt({(label.left + label.right) / 2, button.y});
    EXPECT_EQ(doubleClicked_, std::vector<HTREEITEM>{scratchNode});

    // Return activates at once, Space on its release.
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

// What the tree asks for when it draws a node: the expand button only where
// there are sub-folders, and the system's own icons.
TEST_F(FolderTreeViewTest, ButtonsAndIconsOfNodesNeverExpandedAreTheShells) {
    fs::create_directory(scratch_ / L"alpha" / L"inner");
    fs::create_directory(scratch_ / L"empty");
    fs::create_directory(scratch_ / L"files");
    std::ofstream(scratch_ / L"files" / L"only.txt") << "text";
    const HTREEITEM scratchNode = ShowScratch(L"empty");
    ASSERT_NE(scratchNode, nullptr);
    ::UpdateWindow(tree());
    const HTREEITEM alpha = ChildNamed(scratchNode, L"alpha");
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(ItemOf(alpha, TVIF_STATE).state & TVIS_EXPANDEDONCE, 0u);
    EXPECT_EQ(ItemOf(alpha, TVIF_CHILDREN).cChildren, 1);  // the tree draws the button from it
    for (const wchar_t* name : {L"empty", L"files"}) {
        EXPECT_EQ(ItemOf(ChildNamed(scratchNode, name), TVIF_CHILDREN).cChildren, 0) << name;
    }

    SHFILEINFOW closed{}, opened{};
    const std::wstring path = (scratch_ / L"alpha").wstring();
    const auto list = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(path.c_str(), 0, &closed, sizeof closed, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ::SHGetFileInfoW(path.c_str(), 0, &opened, sizeof opened, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    EXPECT_EQ(::SendMessageW(tree(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), reinterpret_cast<LRESULT>(list));
    view_.Methods().SelectedNodeSet(alpha, false);
    ::UpdateWindow(tree());
    const TVITEMW icons = ItemOf(alpha, TVIF_IMAGE | TVIF_SELECTEDIMAGE);
    // The system may keep one picture under two indexes; the picture is what counts.
    const auto closedPicture = ImagePixels(list, closed.iIcon);
    ASSERT_NE(std::count(closedPicture.begin(), closedPicture.end(), 0x00FF00FFu),
              static_cast<std::ptrdiff_t>(closedPicture.size()));
    EXPECT_EQ(ImagePixels(list, icons.iImage), closedPicture);
    EXPECT_EQ(ImagePixels(list, icons.iSelectedImage), ImagePixels(list, opened.iIcon));
}

TEST_F(FolderTreeViewTest, ItsListsWindowsAndHandlesAreFreedWhenTheFormGoesFirst) {
    view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);  // the system's caches are warm from here on
    const std::ptrdiff_t lists = ShellNamespaceWin32::LiveIdLists();
    const test::ResourceCounts before = test::CountResources();
    for (int round = 0; round < 3; ++round) {
        unique_hwnd form(::CreateWindowExW(0, L"STATIC", L"closing form", WS_OVERLAPPEDWINDOW, 0, 0, 300, 400, nullptr,
                                           nullptr, ::GetModuleHandleW(nullptr), nullptr));
        VRX_SysFolderTreeView closing;
        closing.Init(form.get(), RECT{0, 0, 300, 400});
        ASSERT_TRUE(closing.HasTree());
        closing.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
        closing.shTree().FullPathSet((scratch_ / L"alpha").wstring());
        EXPECT_GT(ShellNamespaceWin32::LiveIdLists(), lists + 3) << "every node holds a list";
        form.reset();  // the tree window goes with its form, before the control
        EXPECT_EQ(ShellNamespaceWin32::LiveIdLists(), lists);
        EXPECT_FALSE(closing.HasTree());
    }
    const test::ResourceCounts after = test::CountResources();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_LE(after.handles, before.handles + 2) << "the system's worker threads may hold one or two";
    EXPECT_LE(after.gdiObjects, before.gdiObjects);
}

}  // namespace
}  // namespace tarvo
