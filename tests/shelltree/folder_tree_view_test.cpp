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
#include "shelltree/shell_namespace_win32.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::wstring>;

void Pump() { AcceleratorRouting::PumpPending(); }

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// One image of a list as drawn over magenta, pixel by pixel.
std::vector<std::uint32_t> ImagePixels(HIMAGELIST list, int index) {
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(list, &cx, &cy);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    unique_hbitmap dib(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits || pixels.empty()) return {};
    select_object_scope selected(dc.get(), dib.get());
    auto* drawn = static_cast<std::uint32_t*>(bits);
    std::fill_n(drawn, pixels.size(), 0x00FF00FFu);
    ::ImageList_Draw(list, index, dc.get(), 0, 0, ILD_NORMAL);
    ::GdiFlush();
    std::copy_n(drawn, pixels.size(), pixels.begin());
    return pixels;
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
    std::wstring TextOf(HTREEITEM node) {
        wchar_t text[MAX_PATH] = {};
        TVITEMW data{};
        data.mask = TVIF_HANDLE | TVIF_TEXT;
        data.hItem = node;
        data.pszText = text;
        data.cchTextMax = MAX_PATH;
        ::SendMessageW(tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        return text;
    }
    Texts ChildTexts(HTREEITEM parent) {
        Texts texts;
        for (HTREEITEM child = Next(TVGN_CHILD, parent); child; child = Next(TVGN_NEXT, child)) texts.push_back(TextOf(child));
        return texts;
    }
    HTREEITEM ChildNamed(HTREEITEM parent, const std::wstring& name) {
        HTREEITEM child = Next(TVGN_CHILD, parent);
        while (child && TextOf(child) != name) child = Next(TVGN_NEXT, child);
        return child;
    }
    // Where a click lands on the node's expand button; x is -1 when it has none.
    POINT ExpandButtonOf(HTREEITEM node) {
        RECT label{};
        std::memcpy(&label, &node, sizeof node);  // TVM_GETITEMRECT takes the item in the rectangle
        if (!::SendMessageW(tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label))) return {-1, -1};
        const int middle = (label.top + label.bottom) / 2;
        for (int x = 0; x < label.left; ++x) {
            TVHITTESTINFO hit{};
            hit.pt = {x, middle};
            ::SendMessageW(tree(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.hItem == node && (hit.flags & TVHT_ONITEMBUTTON)) return {x, middle};
        }
        return {-1, middle};
    }
    TVITEMW ItemOf(HTREEITEM node, UINT mask) {
        TVITEMW item{};
        item.mask = mask | TVIF_HANDLE;
        item.hItem = node;
        ::SendMessageW(tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item;
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

TEST_F(FolderTreeViewTest, ARealFolderIsSelectedByPathAndAnnouncedFoldersAppearAndDisappear) {
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
    const auto settle = [&](std::size_t count) {
        for (int i = 0; i < 200 && ChildTexts(scratchNode).size() != count; ++i, ::Sleep(10)) Pump();
    };
    settle(3);
    EXPECT_EQ(ChildTexts(scratchNode), (Texts{L"alpha", L"beta", L"gamma"}));

    fs::remove(scratch_ / L"beta");
    ::SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHW, (scratch_ / L"beta").c_str(), nullptr);
    settle(2);
    EXPECT_EQ(ChildTexts(scratchNode), (Texts{L"alpha", L"gamma"}));
}

TEST_F(FolderTreeViewTest, ADoubleClickCountsOnlyOnTheItemItselfReturnAndSpaceActivate) {
    const HTREEITEM scratchNode = ShowScratch(L"alpha");
    ASSERT_NE(scratchNode, nullptr);
    const POINT button = ExpandButtonOf(scratchNode);
    ASSERT_GE(button.x, 0) << "no expand button found";
    RECT label{};
    std::memcpy(&label, &scratchNode, sizeof scratchNode);
    ASSERT_TRUE(::SendMessageW(tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)));
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
    // The tree draws the button from the children flag.
    EXPECT_EQ(ItemOf(alpha, TVIF_CHILDREN).cChildren, 1);
    for (const wchar_t* name : {L"empty", L"files"}) {
        EXPECT_EQ(ItemOf(ChildNamed(scratchNode, name), TVIF_CHILDREN).cChildren, 0) << name;
    }

    SHFILEINFOW closed{}, opened{};
    const std::wstring path = (scratch_ / L"alpha").wstring();
    const auto systemList = ::SHGetFileInfoW(path.c_str(), 0, &closed, sizeof closed, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    ::SHGetFileInfoW(path.c_str(), 0, &opened, sizeof opened, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    const auto list = reinterpret_cast<HIMAGELIST>(systemList);
    EXPECT_EQ(::SendMessageW(tree(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), reinterpret_cast<LRESULT>(list));
    view_.Methods().SelectedNodeSet(alpha, false);
    ::UpdateWindow(tree());
    const TVITEMW icons = ItemOf(alpha, TVIF_IMAGE | TVIF_SELECTEDIMAGE);
    // The system may keep one picture under two indexes; the picture is what counts.
    const auto closedPicture = ImagePixels(list, closed.iIcon);
    ASSERT_FALSE(closedPicture.empty());
    EXPECT_NE(std::count(closedPicture.begin(), closedPicture.end(), 0x00FF00FFu),
              static_cast<std::ptrdiff_t>(closedPicture.size()));
    EXPECT_EQ(ImagePixels(list, icons.iImage), closedPicture);
    EXPECT_EQ(ImagePixels(list, icons.iSelectedImage), ImagePixels(list, opened.iIcon));
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
