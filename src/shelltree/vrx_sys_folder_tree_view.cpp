#include "shelltree/vrx_sys_folder_tree_view.h"

#include <array>

#include "controls/def_prefs_handles.h"
#include "controls/text_control_host.h"
#include "shelltree/shell_namespace_win32.h"

namespace tarvo {
namespace {

constexpr DWORD kTreeStyle = 0x56310037;
constexpr std::array<UINT, 3> kContainerMessages = {WM_NOTIFY, WM_SETFOCUS, WM_SIZE};
constexpr std::array<UINT, 4> kTreeMessages = {WM_SETFOCUS, WM_MOUSEACTIVATE, WM_VSCROLL, WM_HSCROLL};
constexpr int kItemExpandingAnsi = -405;  // TVN_ITEMEXPANDINGA
constexpr int kItemExpandingWide = -454;  // TVN_ITEMEXPANDINGW

LRESULT Send(HWND window, UINT iMsg, WPARAM wParam = 0, LPARAM lParam = 0) {
    return window ? ::SendMessageW(window, iMsg, wParam, lParam) : 0;
}

HTREEITEM Item(NodeHandle node) { return reinterpret_cast<HTREEITEM>(node); }
NodeHandle Node(HTREEITEM item) { return reinterpret_cast<NodeHandle>(item); }

TVITEMW ReadItem(HWND tree, HTREEITEM item, UINT mask) {
    TVITEMW data{};
    data.mask = mask | TVIF_HANDLE;
    data.hItem = item;
    if (!Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) data = TVITEMW{};
    return data;
}

}  // namespace

void SysTreeView::HImageListSet(HIMAGELIST handle) {
    Send(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(handle));
}

void SysTreeBehavior::EnabledSet(bool value) {
    enabled_ = value;
    if (tree_) ::EnableWindow(tree_, value);
}

void SysTreeBehavior::RedrawSet(bool value) {
    if (value == redraw_) return;
    redraw_ = value;
    if (!tree_) return;
    Send(tree_, WM_SETREDRAW, value);
    if (value) {
        ::InvalidateRect(tree_, nullptr, TRUE);
        ::UpdateWindow(tree_);
    }
}

void SysTreeMethods::EraseAll() { Send(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

HTREEITEM SysTreeMethods::AddNode(const std::wstring& NodeText, int ImgIndex, int SelImgIndex, LPARAM lParam,
                                  HTREEITEM hParent, long, bool bForcePlusButton) {
    std::wstring text = NodeText;
    TVINSERTSTRUCTW insert{};
    insert.hParent = reinterpret_cast<std::intptr_t>(hParent) < 1 ? TVI_ROOT : hParent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    if (bForcePlusButton) {
        insert.item.mask |= TVIF_CHILDREN;
        insert.item.cChildren = 1;
    }
    insert.item.pszText = text.data();
    insert.item.cchTextMax = static_cast<int>(text.size());
    insert.item.iImage = ImgIndex;
    insert.item.iSelectedImage = SelImgIndex;
    insert.item.lParam = lParam;
    return reinterpret_cast<HTREEITEM>(Send(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void SysTreeMethods::ExpandNode(HTREEITEM hNode) { Send(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(hNode)); }

void SysTreeMethods::CollapseNode(HTREEITEM hNode) {
    Send(tree_, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(hNode));
}

void SysTreeMethods::NodeImgSetToCut(HTREEITEM hNode, bool TrueForCut) {
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = hNode;
    item.stateMask = TVIS_CUT;
    item.state = TrueForCut ? TVIS_CUT : 0;
    Send(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void SysTreeMethods::SelectedNodeSet(HTREEITEM hNode, bool EnsureVisible) {
    Send(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hNode));
    if (EnsureVisible) Send(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hNode));
}

HTREEITEM SysTreeMethods::SelectedNodeGet() const {
    return reinterpret_cast<HTREEITEM>(Send(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

// The tree as the shell logic drives it.
class VRX_SysFolderTreeView::Binding final : public IFolderTree {
public:
    explicit Binding(VRX_SysFolderTreeView& control) : control_(control) {}

    IExpandListener* listener = nullptr;

    void SetExpandListener(IExpandListener* l) override { listener = l; }
    void ShowWaitCursor(bool waiting) override {
        if (waiting) {
            previousCursor_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        } else {
            ::SetCursor(previousCursor_ ? previousCursor_ : ::LoadCursorW(nullptr, IDC_ARROW));
        }
    }
    void HImageListSet(std::uintptr_t imageList) override {
        control_.View().HImageListSet(reinterpret_cast<HIMAGELIST>(imageList));
    }
    void WantEventsSet(bool value) override { control_.Behavior().WantEventsSet(value); }
    void RedrawSet(bool value) override { control_.Behavior().RedrawSet(value); }
    void EraseAll() override { control_.Methods().EraseAll(); }
    NodeHandle AddNode(const std::wstring& NodeText, int ImgIndex, int SelImgIndex, IdList lParam, NodeHandle hParent,
                       bool bForcePlusButton) override {
        return Node(control_.Methods().AddNode(NodeText, ImgIndex, SelImgIndex, reinterpret_cast<LPARAM>(lParam),
                                               Item(hParent), 0, bForcePlusButton));
    }
    void ExpandNode(NodeHandle hNode) override { control_.Methods().ExpandNode(Item(hNode)); }
    void CollapseNode(NodeHandle hNode) override { control_.Methods().CollapseNode(Item(hNode)); }
    void NodeImgSetToCut(NodeHandle hNode, bool TrueForCut) override {
        control_.Methods().NodeImgSetToCut(Item(hNode), TrueForCut);
    }
    void SelectedNodeSet(NodeHandle hNode, bool EnsureVisible) override {
        control_.Methods().SelectedNodeSet(Item(hNode), EnsureVisible);
    }
    NodeHandle SelectedNodeGet() override { return Node(control_.Methods().SelectedNodeGet()); }
    NodeHandle FirstChild(NodeHandle hNode) override { return NextItem(TVGN_CHILD, hNode); }
    NodeHandle NextSibling(NodeHandle hNode) override { return NextItem(TVGN_NEXT, hNode); }
    IdList ItemData(NodeHandle hNode) override {
        return reinterpret_cast<IdList>(ReadItem(Tree(), Item(hNode), TVIF_PARAM).lParam);
    }
    void SetItemData(NodeHandle hNode, IdList data) override {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_PARAM;
        item.hItem = Item(hNode);
        item.lParam = reinterpret_cast<LPARAM>(data);
        Send(Tree(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    void SetTextAndData(NodeHandle hNode, const std::wstring& text, IdList data) override {
        std::wstring copy = text;
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_PARAM;
        item.hItem = Item(hNode);
        item.pszText = copy.data();
        item.cchTextMax = static_cast<int>(copy.size());
        item.lParam = reinterpret_cast<LPARAM>(data);
        Send(Tree(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    int ChildrenFlag(NodeHandle hNode) override { return ReadItem(Tree(), Item(hNode), TVIF_CHILDREN).cChildren; }
    void SetChildrenFlag(NodeHandle hNode, int children) override {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_CHILDREN;
        item.hItem = Item(hNode);
        item.cChildren = children;
        Send(Tree(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    bool CollapseReset(NodeHandle hNode) override {
        return Send(Tree(), TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, reinterpret_cast<LPARAM>(Item(hNode))) != 0;
    }
    void DeleteNode(NodeHandle hNode) override {
        Send(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Item(hNode)));
    }

private:
    HWND Tree() const { return control_.TreeViewhWnd(); }
    NodeHandle NextItem(UINT relation, NodeHandle hNode) {
        return static_cast<NodeHandle>(Send(Tree(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(Item(hNode))));
    }

    VRX_SysFolderTreeView& control_;
    HCURSOR previousCursor_ = nullptr;
};

VRX_SysFolderTreeView::VRX_SysFolderTreeView() : binding_(std::make_unique<Binding>(*this)) {}

VRX_SysFolderTreeView::~VRX_SysFolderTreeView() {
    DestroyTree();
    AcceleratorRouting::Release(this);
    for (UINT iMsg : kContainerMessages) MSubclass::DetachMessage(this, container_.get(), iMsg);
    container_.reset();
}

void VRX_SysFolderTreeView::Init(HWND parent, const RECT& bounds) {
    DestroyTree();
    if (!container_) {
        container_ = CreateControlContainer(parent, bounds);
        if (!container_) return;
        for (UINT iMsg : kContainerMessages) MSubclass::AttachMessage(this, container_.get(), iMsg);
    } else {
        Move(bounds);
    }
    CreateTree();
}

void VRX_SysFolderTreeView::CreateTree() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    const SIZE size = ClientSize(container_.get());
    tree_.reset(::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", kTreeStyle, 0, 0, size.cx, size.cy,
                                  container_.get(), nullptr, ::GetModuleHandleW(nullptr), nullptr));
    if (!tree_) return;
    ::EnableWindow(tree_.get(), TRUE);
    for (UINT iMsg : kTreeMessages) MSubclass::AttachMessage(this, tree_.get(), iMsg);
    HandOver(tree_.get());
    shell_ = std::make_unique<ShellNamespaceWin32>(tree_.get());
    notifier_ = std::make_unique<ChangeNotifierWin32>();
    shTree_ = std::make_unique<ShellFolderTree>(*shell_, *notifier_);
    shTree_->Init(*binding_);
    Send(tree_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFontHandle(kMenuFont)), FALSE);
    Resize();
}

void VRX_SysFolderTreeView::DestroyTree() {
    // The shell logic frees the lists its nodes own, so it goes while the tree still exists.
    shTree_.reset();
    notifier_.reset();
    shell_.reset();
    if (!tree_) return;
    for (UINT iMsg : kTreeMessages) MSubclass::DetachMessage(this, tree_.get(), iMsg);
    ::ShowWindow(tree_.get(), SW_HIDE);
    HandOver(nullptr);
    tree_.reset();
}

void VRX_SysFolderTreeView::HandOver(HWND tree) {
    view_.tree_ = tree;
    behavior_.tree_ = tree;
    methods_.tree_ = tree;
}

void VRX_SysFolderTreeView::Refresh() {
    if (!tree_) return;
    ::InvalidateRect(tree_.get(), nullptr, TRUE);
    ::UpdateWindow(tree_.get());
}

void VRX_SysFolderTreeView::Move(const RECT& bounds) {
    if (!container_) return;
    ::MoveWindow(container_.get(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 TRUE);
}

void VRX_SysFolderTreeView::Resize() {
    if (!tree_) return;
    const SIZE size = ClientSize(container_.get());
    ::MoveWindow(tree_.get(), 0, 0, size.cx, size.cy, TRUE);
}

long VRX_SysFolderTreeView::MsgResponse(UINT& currentMessage) {
    return currentMessage == WM_MOUSEACTIVATE ? kConsume : kBefore;
}

LRESULT VRX_SysFolderTreeView::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    try {
        if (hwnd == container_.get()) return OnContainerMessage(iMsg, wParam, lParam);
        return OnTreeMessage(hwnd, iMsg, wParam, lParam);
    } catch (...) {
        // A failing event handler must not unwind through the window procedure.
        return 0;
    }
}

LRESULT VRX_SysFolderTreeView::OnContainerMessage(UINT iMsg, WPARAM, LPARAM lParam) {
    switch (iMsg) {
        case WM_SETFOCUS:
            if (tree_) ::SetFocus(tree_.get());
            break;
        case WM_SIZE:
            Resize();
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && tree_ && header->hwndFrom == tree_.get()) OnNotify(*header);
            break;
        }
        default:
            break;
    }
    return 0;
}

LRESULT VRX_SysFolderTreeView::OnTreeMessage(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    switch (iMsg) {
        case WM_SETFOCUS:
            AcceleratorRouting::Activate(this, hwnd);
            break;
        case WM_MOUSEACTIVATE:
            if (::GetFocus() == hwnd) return MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
            ::SetFocus(container_.get());
            return MA_NOACTIVATE;
        case WM_VSCROLL:
            if (behavior_.WantEvents() && Events.VScroll) Events.VScroll();
            break;
        case WM_HSCROLL:
            if (behavior_.WantEvents() && Events.HScroll) Events.HScroll();
            break;
        default:
            break;
    }
    return 0;
}

void VRX_SysFolderTreeView::OnNotify(const NMHDR& header) {
    const int code = static_cast<int>(header.code);
    if (code == kItemExpandingWide || code == kItemExpandingAnsi) {
        // Both forms share one layout up to the fields read here.
        OnItemExpanding(reinterpret_cast<const NMTREEVIEWW&>(header));
    } else if (code == static_cast<int>(NM_DBLCLK)) {
        OnDoubleClick();
    } else if (code == static_cast<int>(NM_RETURN)) {
        if (behavior_.WantEvents() && Events.NodeActivate) Events.NodeActivate();
    } else if (code == static_cast<int>(NM_SETFOCUS)) {
        AcceleratorRouting::Activate(this, tree_.get());
    }
}

void VRX_SysFolderTreeView::OnItemExpanding(const NMTREEVIEWW& notice) {
    if ((notice.action & ~TVE_EXPANDPARTIAL) != TVE_EXPAND) return;
    HTREEITEM item = notice.itemNew.hItem;
    const LPARAM data = ReadItem(tree_.get(), item, TVIF_PARAM).lParam;
    const bool expandedOnce = (Send(tree_.get(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                    TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE) != 0;
    RaiseBeforeExpand(item, data, expandedOnce);
}

void VRX_SysFolderTreeView::RaiseBeforeExpand(HTREEITEM hNode, LPARAM lParam, bool expandedOnce) {
    if (!behavior_.WantEvents()) return;
    if (binding_->listener) {
        NodeHandle node = Node(hNode);
        IdList data = reinterpret_cast<IdList>(lParam);
        bool once = expandedOnce;
        binding_->listener->mTreeView_BeforeExpand(node, data, once);
    }
    if (Events.BeforeExpand) Events.BeforeExpand(hNode, lParam, expandedOnce);
}

void VRX_SysFolderTreeView::OnDoubleClick() {
    TVHITTESTINFO hit{};
    ::GetCursorPos(&hit.pt);
    ::ScreenToClient(tree_.get(), &hit.pt);
    Send(tree_.get(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if ((hit.flags & ~TVHT_ONITEM) != 0 || !hit.hItem) return;
    HTREEITEM item = hit.hItem;
    if (behavior_.WantEvents() && Events.NodeDblClick) Events.NodeDblClick(item);
}

long VRX_SysFolderTreeView::TranslateAccel(MSG& msg) {
    if (!tree_) return 1;
    if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_CHAR) return 1;
    const WPARAM key = msg.wParam;
    const bool handled = key == VK_RETURN || key == VK_ESCAPE || key == VK_SPACE || (key >= VK_PRIOR && key <= VK_DOWN);
    if (!handled) return 1;
    Send(tree_.get(), msg.message, msg.wParam, msg.lParam);
    if (key == VK_SPACE && msg.message == WM_KEYUP && behavior_.WantEvents() && Events.NodeActivate) {
        Events.NodeActivate();
    }
    return 0;
}

}  // namespace tarvo
