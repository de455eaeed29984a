// The folder tree control on real windows over a scratch folder of the file system.
#include "shelltree/folder_tree_view.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <filesystem>
#include <tuple>
#include <vector>

#include "controls/accelerator_routing.h"
#include "dib_surface.h"
#include "resource_counts.h"
#include "shelltree/shell_namespace_win32.h"
#include "test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// The top-left 16 x 16 pixels of one image of a list as drawn over magenta.
std::vector<std::uint32_t> Pixels(HIMAGELIST list, int index) {
    testing::DibSurface surface(16, 16, 0x00FF00FFu);
    ::ImageList_Draw(list, index, surface.dc(), 0, 0, ILD_NORMAL);
    return surface.All();
}

// The folder tree on a form of its own; the scratch folder holds alpha\inner,
// empty, files\only.txt and a hidden hid.
class FolderTreeViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { ::CoUninitialize(); }
    void SetUp() override {
        scratch_.WriteFile(L"files\\only.txt", "text");
        for (const wchar_t* folder : {L"alpha\\inner", L"empty", L"hid"}) fs::create_directories(Path(folder));
        ::SetFileAttributesW(Path(L"hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
        owner_.reset(::CreateWindowExW(0, L"STATIC", L"folder tree test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 420,
                                       600, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
        view_.Init(owner_.get(), RECT{0, 0, 400, 560});
        ASSERT_TRUE(view_.HasTree());
    }

    std::wstring Path(const wchar_t* child) const { return scratch_.Path() + L"\\" + child; }
    // The children's names, with "+" for an expand button and "~" for a dimmed one when `marks`.
    std::wstring Kids(HTREEITEM parent, bool marks = true) {
        std::wstring out;
        for (HTREEITEM child = TreeView_GetChild(tree(), parent); child; child = TreeView_GetNextSibling(tree(), child)) {
            wchar_t text[MAX_PATH] = {};
            TVITEMW item{TVIF_HANDLE | TVIF_TEXT | TVIF_CHILDREN | TVIF_STATE, child, 0, TVIS_CUT, text, MAX_PATH, 0, 0, 0, 0};
            TreeView_GetItem(tree(), &item);
            out += (out.empty() ? L"" : L" ") + std::wstring(text) + (marks && item.cChildren ? L"+" : L"") +
                   (marks && item.state & TVIS_CUT ? L"~" : L"");
        }
        return out;
    }
    // Makes folder `one` or removes it (renames it to `two`), tells the shell and waits until the children of `node`
    // are `expected`. The scratch folder itself ("") is only announced.
    void Announce(LONG event, const wchar_t* one, const wchar_t* two, HTREEITEM node, const std::wstring& expected) {
        if (two) fs::rename(Path(one), Path(two));
        if (!two && *one) fs::exists(Path(one)) ? fs::remove(Path(one)) : fs::create_directory(Path(one));
        ::SHChangeNotify(event, SHCNF_PATHW, Path(one).c_str(), two ? Path(two).c_str() : nullptr);
        test::WaitUntil([&] { return AcceleratorRouting::PumpPending(), Kids(node, false) == expected; }, 5000);
        EXPECT_EQ(Kids(node, false), expected) << "after event " << event;
    }
    HWND tree() const { return view_.TreeViewhWnd(); }

    test::TempProgramFolder scratch_;
    unique_hwnd owner_;
    VRX_SysFolderTreeView view_;
};

TEST_F(FolderTreeViewTest, APathShowsTheShellsButtonsAndIconsAndChangesAndItemsActivate) {
    std::vector<NodeHandle> events;  // the double-clicked nodes, 1 for an activation, 2 and 3 for scrolls
    view_.Events.NodeDblClick = [&](HTREEITEM& node) { events.push_back(AsNode(node)); };
    view_.Events.NodeActivate = [&] { events.push_back(1); };
    view_.Events.VScroll = [&] { events.push_back(2); };
    view_.Events.HScroll = [&] { events.push_back(3); };
    view_.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
    view_.shTree().FullPathSet(Path(L"alpha"));
    const HTREEITEM alpha = view_.Methods().SelectedNodeGet(), scratchNode = TreeView_GetParent(tree(), alpha);
    EXPECT_TRUE(view_.shTree().FullPathGet(AsNode(alpha)).ends_with(fs::path(scratch_.Path()).filename().wstring() + L"\\alpha"));
    // A double-click counts on the label only, not right of the text; the tree folds the node and opens it again.
    RECT label{};
    ASSERT_TRUE(TreeView_GetItemRect(tree(), scratchNode, &label, TRUE));
    for (const LONG x : {label.right + 30, (label.left + label.right) / 2, (label.left + label.right) / 2}) {
        POINT screen{x, (label.top + label.bottom) / 2};
        ::ClientToScreen(tree(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, (label.top + label.bottom) / 2));
        AcceleratorRouting::PumpPending();
    }
    ::UpdateWindow(tree());
    // alpha shows its button before it ever expands.
    EXPECT_EQ(std::tuple(Kids(scratchNode), TreeView_GetChild(tree(), alpha)), std::tuple(L"alpha+ empty files hid~", nullptr));

    // The system may keep one picture under two indexes; the picture is what counts.
    SHFILEINFOW closed{}, opened{};
    const auto list = HIMAGELIST(
        ::SHGetFileInfoW(Path(L"alpha").c_str(), 0, &closed, sizeof closed, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ::SHGetFileInfoW(Path(L"alpha").c_str(), 0, &opened, sizeof opened, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    TVITEMW icons{TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE, alpha, 0, 0, nullptr, 0, 0, 0, 0, 0};
    TreeView_GetItem(tree(), &icons);
    ASSERT_NE(Pixels(list, closed.iIcon), Pixels(list, opened.iIcon));
    EXPECT_EQ(std::tuple(TreeView_GetImageList(tree(), TVSIL_NORMAL), Pixels(list, icons.iImage), Pixels(list, icons.iSelectedImage)),
              std::tuple(list, Pixels(list, closed.iIcon), Pixels(list, opened.iIcon)));

    Announce(SHCNE_MKDIR, L"g", nullptr, scratchNode, L"alpha empty files hid g");
    Announce(SHCNE_RENAMEFOLDER, L"g", L"gamma", scratchNode, L"alpha empty files hid gamma");
    Announce(SHCNE_RMDIR, L"empty", nullptr, scratchNode, L"alpha files hid gamma");
    Announce(SHCNE_MEDIAINSERTED, L"m", nullptr, scratchNode, L"alpha files hid gamma m");
    Announce(SHCNE_DRIVEADD, L"d", nullptr, scratchNode, L"alpha files hid gamma m d");
    Announce(SHCNE_MEDIAREMOVED, L"m", nullptr, scratchNode, L"alpha files hid gamma d");
    Announce(SHCNE_DRIVEREMOVED, L"d", nullptr, scratchNode, L"alpha files hid gamma");
    fs::create_directory(Path(L"delta"));
    Announce(SHCNE_UPDATEDIR, L"", nullptr, scratchNode, L"alpha delta files gamma hid");

    // Return activates at once, Space on its release; each scroll direction raises its own event (0 follows each input).
    ::SetFocus(tree());
    for (const auto& [message, key] : {std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_SPACE},
                                       {WM_KEYUP, VK_SPACE}, {WM_VSCROLL, SB_LINEDOWN}, {WM_HSCROLL, SB_LINEDOWN}}) {
        ::PostMessageW(tree(), message, key, 0);
        AcceleratorRouting::PumpPending();
        events.push_back(0);
    }
    EXPECT_EQ(events, (std::vector<NodeHandle>{AsNode(scratchNode), AsNode(scratchNode), 1, 0, 0, 0, 1, 0, 2, 0, 3, 0}));

    // Closing forms with trees inside leaves no list, window or handle behind.
    // The notification windows are message-only ones, which the window count does not see.
    const auto notifyWindows = [] {
        int count = 0;
        for (HWND window = nullptr; (window = ::FindWindowExW(HWND_MESSAGE, window, L"MESSAGE", nullptr)) != nullptr;) ++count;
        return count;
    };
    const int notifyWindowsBefore = notifyWindows();
    const std::ptrdiff_t lists = ShellNamespaceWin32::LiveIdLists();
    const test::ResourceCounts before = test::CountResources();
    for (int round = 0; round < 3; ++round) {
        unique_hwnd form(::CreateWindowExW(0, L"STATIC", L"closing form", WS_OVERLAPPEDWINDOW, 0, 0, 300, 400, nullptr,
                                           nullptr, ::GetModuleHandleW(nullptr), nullptr));
        VRX_SysFolderTreeView closing;
        closing.Init(form.get(), RECT{0, 0, 300, 400});
        closing.shTree().RootNodeCSIDLSet(CSIDL_DESKTOP);
        form.reset();  // the tree window goes with its form, before the control
        EXPECT_FALSE(closing.HasTree());
    }
    const test::ResourceCounts after = test::CountResources();
    EXPECT_EQ(ShellNamespaceWin32::LiveIdLists(), lists);
    EXPECT_EQ(notifyWindows(), notifyWindowsBefore);
    EXPECT_LE(after.handles, before.handles + 2) << "the system's worker threads may hold one or two";
    EXPECT_LE(after.gdiObjects, before.gdiObjects);
}

}  // namespace
}  // namespace tarvo
