// The folder tree control on real windows over a scratch folder of the file system.
#include "shelltree/folder_tree_view.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

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

void Pump() { AcceleratorRouting::PumpPending(); }

// The top-left 16 x 16 pixels of one image of a list as drawn over magenta.
std::vector<std::uint32_t> Pixels(HIMAGELIST list, int index) {
    testing::DibSurface surface(16, 16, 0x00FF00FFu);
    ::ImageList_Draw(list, index, surface.dc(), 0, 0, ILD_NORMAL);
    return surface.All();
}

// The folder tree on a form of its own, over a scratch folder below the temporary
// folder (by its long name) that holds alpha\inner, empty, files\only.txt and a hidden hid.
class FolderTreeViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { ::CoUninitialize(); }
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetLongPathNameW(test::TempFolder(L"tarvo_tree").c_str(), temp, MAX_PATH);
        scratch_ = fs::path(temp) / std::to_wstring(::GetCurrentProcessId());
        for (const wchar_t* folder : {L"alpha\\inner", L"empty", L"files", L"hid"}) fs::create_directories(scratch_ / folder);
        std::ofstream(scratch_ / L"files" / L"only.txt") << "text";
        ::SetFileAttributesW((scratch_ / L"hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
        owner_.reset(::CreateWindowExW(0, L"STATIC", L"folder tree test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 420,
                                       600, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
        ::SetForegroundWindow(owner_.get());
        view_.Init(owner_.get(), RECT{0, 0, 400, 560});
        ASSERT_TRUE(view_.HasTree());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratch_, ignored);
    }

    HWND tree() const { return view_.TreeViewhWnd(); }
    HTREEITEM Next(UINT relation, HTREEITEM item) {
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    // The children's names, with "+" for an expand button and "~" for a dimmed one when `marks`.
    std::wstring Kids(HTREEITEM parent, bool marks = true) {
        std::wstring out;
        for (HTREEITEM child = Next(TVGN_CHILD, parent); child; child = Next(TVGN_NEXT, child)) {
            wchar_t text[MAX_PATH] = {};
            TVITEMW item{TVIF_HANDLE | TVIF_TEXT | TVIF_CHILDREN | TVIF_STATE, child, 0, TVIS_CUT, text, MAX_PATH, 0, 0, 0, 0};
            ::SendMessageW(tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            out += (out.empty() ? L"" : L" ") + std::wstring(text) + (marks && item.cChildren ? L"+" : L"") +
                   (marks && item.state & TVIS_CUT ? L"~" : L"");
        }
        return out;
    }
    // Selects scratch\child from the desktop root; the node of the scratch folder.
    HTREEITEM ShowScratch(const std::wstring& child) {
        view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
        view_.shTree().FullPathSet((scratch_ / child).wstring());
        const HTREEITEM selected = view_.Methods().SelectedNodeGet();
        return selected ? Next(TVGN_PARENT, selected) : nullptr;
    }
    // Tells the shell of a change and waits until the children of `node` are `expected`.
    void Announce(LONG event, const wchar_t* one, const wchar_t* two, HTREEITEM node, const std::wstring& expected) {
        ::SHChangeNotify(event, SHCNF_PATHW, (scratch_ / one).c_str(), two ? (scratch_ / two).c_str() : nullptr);
        test::WaitUntil([&] { return Pump(), Kids(node, false) == expected; }, 5000);
        EXPECT_EQ(Kids(node, false), expected) << "after event " << event;
    }

    fs::path scratch_;
    unique_hwnd owner_;
    VRX_SysFolderTreeView view_;
};

TEST_F(FolderTreeViewTest, APathShowsTheShellsButtonsAndIconsAndAnnouncedChangesOfEveryKind) {
    int expansions = 0;
    view_.Events.BeforeExpand = [&](HTREEITEM&, LPARAM&, bool&) { ++expansions; };
    const HTREEITEM scratchNode = ShowScratch(L"alpha");
    ASSERT_NE(scratchNode, nullptr) << "path not found in the tree";
    EXPECT_GT(expansions, 1);
    const std::wstring path = view_.shTree().FullPathGet(AsNode(view_.Methods().SelectedNodeGet()));
    EXPECT_EQ(::CompareStringOrdinal(path.c_str(), -1, (scratch_ / L"alpha").c_str(), -1, TRUE), CSTR_EQUAL) << path;
    ::UpdateWindow(tree());
    const HTREEITEM alpha = Next(TVGN_CHILD, scratchNode);
    EXPECT_EQ(Next(TVGN_CHILD, alpha), nullptr);  // its button shows before it ever expands
    EXPECT_EQ(Kids(scratchNode), L"alpha+ empty files hid~");

    SHFILEINFOW closed{}, opened{};
    const std::wstring alphaPath = (scratch_ / L"alpha").wstring();
    const auto list = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(alphaPath.c_str(), 0, &closed, sizeof closed, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ::SHGetFileInfoW(alphaPath.c_str(), 0, &opened, sizeof opened, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    EXPECT_EQ(::SendMessageW(tree(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), reinterpret_cast<LRESULT>(list));
    TVITEMW icons{TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE, alpha};
    ::SendMessageW(tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&icons));
    // The system may keep one picture under two indexes; the picture is what counts.
    ASSERT_NE(Pixels(list, closed.iIcon), Pixels(list, opened.iIcon));
    EXPECT_EQ(Pixels(list, icons.iImage), Pixels(list, closed.iIcon));
    EXPECT_EQ(Pixels(list, icons.iSelectedImage), Pixels(list, opened.iIcon));

    fs::create_directory(scratch_ / L"g");
    Announce(SHCNE_MKDIR, L"g", nullptr, scratchNode, L"alpha empty files hid g");
    fs::rename(scratch_ / L"g", scratch_ / L"gamma");
    Announce(SHCNE_RENAMEFOLDER, L"g", L"gamma", scratchNode, L"alpha empty files hid gamma");
    fs::remove(scratch_ / L"empty");
    Announce(SHCNE_RMDIR, L"empty", nullptr, scratchNode, L"alpha files hid gamma");
    fs::create_directory(scratch_ / L"delta");
    Announce(SHCNE_UPDATEDIR, L"", nullptr, scratchNode, L"alpha delta files gamma hid");
}

TEST_F(FolderTreeViewTest, ADoubleClickCountsOnlyOnTheItemItselfReturnAndSpaceActivate) {
    std::vector<HTREEITEM> doubleClicked;
    int activations = 0;
    view_.Events.NodeDblClick = [&](HTREEITEM& node) { doubleClicked.push_back(node); };
    view_.Events.NodeActivate = [&] { ++activations; };
    const HTREEITEM scratchNode = ShowScratch(L"alpha");
    ASSERT_NE(scratchNode, nullptr);
    RECT label{};
    std::memcpy(&label, &scratchNode, sizeof scratchNode);  // TVM_GETITEMRECT takes the item in the rectangle
    ASSERT_TRUE(::SendMessageW(tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)));
    const LONG y = (label.top + label.bottom) / 2;
    TVHITTESTINFO hit{{0, y}, 0, nullptr};
    for (; hit.pt.x < label.left; ++hit.pt.x) {
        if (::SendMessageW(tree(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) && (hit.flags & TVHT_ONITEMBUTTON)) break;
    }
    ASSERT_LT(hit.pt.x, label.left) << "no expand button found";
    for (const LONG x : {hit.pt.x, label.right + 30, (label.left + label.right) / 2}) {
        POINT screen{x, y};
        ::ClientToScreen(tree(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
        Pump();
    }
    EXPECT_EQ(doubleClicked, std::vector<HTREEITEM>{scratchNode});

    // Return activates at once, Space on its release.
    ::SetFocus(view_.ContainerhWnd());
    Pump();
    ASSERT_EQ(::GetFocus(), tree());
    std::vector<int> counts;
    for (const auto [message, key] : {std::pair{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_SPACE}}) {
        ::PostMessageW(tree(), message, key, 1);
        Pump();
        counts.push_back(activations);
    }
    EXPECT_EQ(counts, (std::vector<int>{1, 1, 1, 2}));
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
