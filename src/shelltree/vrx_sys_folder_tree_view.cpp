#include "shelltree/vrx_sys_folder_tree_view.h"

#include <array>

#include "common/guarded_call.h"
#include "controls/def_prefs_handles.h"
#include "shelltree/shell_namespace_win32.h"

namespace tarvo {
namespace {

constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL |
                             WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_DISABLEDRAGDROP |
                             TVS_SHOWSELALWAYS;
static_assert(kTreeStyle == 0x56310037);
constexpr std::array<UINT, 4> kContainerMessages = {WM_NOTIFY, WM_SETFOCUS, WM_SIZE, WM_DESTROY};
constexpr std::array<UINT, 4> kTreeMessages = {WM_SETFOCUS, WM_MOUSEACTIVATE, WM_VSCROLL, WM_HSCROLL};
constexpr int kItemExpandingAnsi = -405;  // TVN_ITEMEXPANDINGA
constexpr int kItemExpandingWide = -454;  // TVN_ITEMEXPANDINGW
constexpr int kGetDispInfoAnsi = -403;    // TVN_GETDISPINFOA
constexpr int kGetDispInfoWide = -452;    // TVN_GETDISPINFOW
constexpr int kSelChangedAnsi = -402;     // TVN_SELCHANGEDA
constexpr int kSelChangedWide = -451;     // TVN_SELCHANGEDW

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

void SysTreeBehavior::Enabled(bool value) {
    enabled_ = value;
    if (tree_) ::EnableWindow(tree_, value);
}

void SysTreeBehavior::Redraw(bool value) {
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
    TVINSERTSTRUCTW insert = LastChild(NodeText, lParam, hParent);
    insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    if (bForcePlusButton) {
        insert.item.mask |= TVIF_CHILDREN;
        insert.item.cChildren = 1;
    }
    insert.item.iImage = ImgIndex;
    insert.item.iSelectedImage = SelImgIndex;
    return Insert(insert);
}

HTREEITEM SysTreeMethods::AddNodeOnDemand(const std::wstring& NodeText, LPARAM lParam, HTREEITEM hParent, bool cut) {
    TVINSERTSTRUCTW insert = LastChild(NodeText, lParam, hParent);
    insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.iImage = I_IMAGECALLBACK;
    insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = I_CHILDRENCALLBACK;
    if (cut) {
        insert.item.mask |= TVIF_STATE;
        insert.item.stateMask = TVIS_CUT;
        insert.item.state = TVIS_CUT;
    }
    return Insert(insert);
}

TVINSERTSTRUCTW SysTreeMethods::LastChild(const std::wstring& NodeText, LPARAM lParam, HTREEITEM hParent) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = reinterpret_cast<std::intptr_t>(hParent) < 1 ? TVI_ROOT : hParent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    // The tree copies the text and never writes to it.
    insert.item.pszText = const_cast<wchar_t*>(NodeText.c_str());
    insert.item.cchTextMax = static_cast<int>(NodeText.size());
    insert.item.lParam = lParam;
    return insert;
}

HTREEITEM SysTreeMethods::Insert(TVINSERTSTRUCTW& insert) {
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

    ITreeListener* listener = nullptr;

    void Listener(ITreeListener* l) override { listener = l; }
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
    void WantEvents(bool value) override { control_.Behavior().WantEvents(value); }
    void Redraw(bool value) override { control_.Behavior().Redraw(value); }
    void EraseAll() override { control_.Methods().EraseAll(); }
    NodeHandle AddNodeOnDemand(const std::wstring& NodeText, IdList lParam, NodeHandle hParent, bool cut) override {
        return Node(control_.Methods().AddNodeOnDemand(NodeText, reinterpret_cast<LPARAM>(lParam), Item(hParent), cut));
    }
    void ExpandNode(NodeHandle hNode) override { control_.Methods().ExpandNode(Item(hNode)); }
    void CollapseNode(NodeHandle hNode) override { control_.Methods().CollapseNode(Item(hNode)); }
    void SelectedNodeSet(NodeHandle hNode, bool EnsureVisible) override {
        control_.Methods().SelectedNodeSet(Item(hNode), EnsureVisible);
    }
    NodeHandle SelectedNodeGet() override { return Node(control_.Methods().SelectedNodeGet()); }
    NodeHandle FirstChild(NodeHandle hNode) override { return NextItem(TVGN_CHILD, hNode); }
    NodeHandle NextSibling(NodeHandle hNode) override { return NextItem(TVGN_NEXT, hNode); }
    bool NodeExpanded(NodeHandle hNode) override {
        return (Send(Tree(), TVM_GETITEMSTATE, hNode, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    }
    IdList ItemData(NodeHandle hNode) override {
        return reinterpret_cast<IdList>(ReadItem(Tree(), Item(hNode), TVIF_PARAM).lParam);
    }
    void ItemData(NodeHandle hNode, IdList data) override {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_PARAM;
        item.hItem = Item(hNode);
        item.lParam = reinterpret_cast<LPARAM>(data);
        Send(Tree(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    void ReplaceTextAndData(NodeHandle hNode, const std::wstring& text, IdList data) override {
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
    void SelectedImage(NodeHandle hNode, int image) override {
        TVITEMW item = ItemFields(hNode, TVIF_SELECTEDIMAGE);
        item.iSelectedImage = image;
        Send(Tree(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    void ChildrenFlag(NodeHandle hNode, int children) override {
        TVITEMW item = ItemFields(hNode, TVIF_CHILDREN);
        item.cChildren = children;
        Send(Tree(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    TVITEMW ItemFields(NodeHandle hNode, UINT fields) {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | fields;
        item.hItem = Item(hNode);
        return item;
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

VRX_SysFolderTreeView::VRX_SysFolderTreeView()
    : host_(*this, kContainerMessages, kTreeMessages), binding_(std::make_unique<Binding>(*this)) {}

VRX_SysFolderTreeView::~VRX_SysFolderTreeView() {
    DestroyTree();
    host_.Close();
}

void VRX_SysFolderTreeView::Init(HWND parent, const RECT& bounds) {
    DestroyTree();
    if (host_.PlaceContainer(parent, bounds)) CreateTree();
}

void VRX_SysFolderTreeView::CreateTree() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    HWND tree = host_.CreateInner(WC_TREEVIEWW, kTreeStyle, WS_EX_CLIENTEDGE);
    if (!tree) return;
    HandOver(tree);
    shell_ = std::make_unique<ShellNamespaceWin32>(tree);
    notifier_ = std::make_unique<ChangeNotifierWin32>();
    shTree_ = std::make_unique<ShellFolderTree>(*shell_, *notifier_);
    shTree_->Init(*binding_);
    Send(tree, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFontHandle(kMenuFont)), FALSE);
    host_.FitInner(true);
}

void VRX_SysFolderTreeView::DestroyTree() {
    ReleaseShellLogic();
    HandOver(nullptr);
    host_.DestroyInner();
}

// The shell logic frees the lists its nodes own, so it goes while the tree still exists.
void VRX_SysFolderTreeView::ReleaseShellLogic() {
    shTree_.reset();
    notifier_.reset();
    shell_.reset();
}

void VRX_SysFolderTreeView::HandOver(HWND tree) {
    view_.tree_ = tree;
    behavior_.tree_ = tree;
    methods_.tree_ = tree;
}

void VRX_SysFolderTreeView::Refresh() {
    HWND tree = TreeViewhWnd();
    if (!tree) return;
    ::InvalidateRect(tree, nullptr, TRUE);
    ::UpdateWindow(tree);
}

void VRX_SysFolderTreeView::Move(const RECT& bounds) { host_.Move(bounds); }

long VRX_SysFolderTreeView::MsgResponse(UINT& currentMessage) { return HostedMsgResponse(currentMessage); }

LRESULT VRX_SysFolderTreeView::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    return GuardedCall(
        [&]() -> LRESULT {
            if (const auto handled = host_.HandOffFocus(hwnd, iMsg, wParam, lParam)) return *handled;
            if (hwnd == host_.Container()) {
                OnContainerMessage(iMsg, lParam);
            } else if (iMsg == WM_VSCROLL) {
                Raise(Events.VScroll);
            } else if (iMsg == WM_HSCROLL) {
                Raise(Events.HScroll);
            }
            return 0;
        },
        LRESULT{0});
}

void VRX_SysFolderTreeView::Raise(const std::function<void()>& event) const {
    if (behavior_.WantEvents() && event) event();
}

void VRX_SysFolderTreeView::OnContainerMessage(UINT iMsg, LPARAM lParam) {
    if (iMsg == WM_SIZE) {
        host_.FitInner(true);
    } else if (iMsg == WM_DESTROY) {
        // The host goes before the tree inside it (a form closing): the last moment the nodes can be walked.
        ReleaseShellLogic();
    } else if (iMsg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header && TreeViewhWnd() && header->hwndFrom == TreeViewhWnd()) OnNotify(*header);
    }
}

void VRX_SysFolderTreeView::OnNotify(NMHDR& header) {
    const int code = static_cast<int>(header.code);
    if (code == kItemExpandingWide || code == kItemExpandingAnsi) {
        // Both forms share one layout up to the fields read here.
        OnItemExpanding(reinterpret_cast<const NMTREEVIEWW&>(header));
    } else if (code == kGetDispInfoWide || code == kGetDispInfoAnsi) {
        // Both forms share one layout but for the text, which is never asked for.
        OnGetDisplayInfo(reinterpret_cast<NMTVDISPINFOW&>(header).item);
    } else if (code == kSelChangedWide || code == kSelChangedAnsi) {
        OnSelected(reinterpret_cast<const NMTREEVIEWW&>(header));
    } else if (code == static_cast<int>(NM_DBLCLK)) {
        OnDoubleClick();
    } else if (code == static_cast<int>(NM_RETURN)) {
        Raise(Events.NodeActivate);
    } else if (code == static_cast<int>(NM_SETFOCUS)) {
        AcceleratorRouting::Activate(this, TreeViewhWnd());
    }
}

void VRX_SysFolderTreeView::OnItemExpanding(const NMTREEVIEWW& notice) {
    if ((notice.action & ~TVE_EXPANDPARTIAL) != TVE_EXPAND) return;
    HTREEITEM item = notice.itemNew.hItem;
    const LPARAM data = ReadItem(TreeViewhWnd(), item, TVIF_PARAM).lParam;
    const bool expandedOnce = (Send(TreeViewhWnd(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                    TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE) != 0;
    RaiseBeforeExpand(item, data, expandedOnce);
}

// Answered whatever WantEvents says: the tree cannot draw a node without it.
void VRX_SysFolderTreeView::OnGetDisplayInfo(TVITEMW& item) {
    NodeDisplayInfo info;
    info.wantImage = (item.mask & TVIF_IMAGE) != 0;
    info.wantSelectedImage = (item.mask & TVIF_SELECTEDIMAGE) != 0;
    info.wantChildren = (item.mask & TVIF_CHILDREN) != 0;
    info.selected = (item.state & TVIS_SELECTED) != 0;
    if (!binding_->listener || !(info.wantImage || info.wantSelectedImage || info.wantChildren)) return;
    binding_->listener->mTreeView_GetDisplayInfo(Node(item.hItem), reinterpret_cast<IdList>(item.lParam), info);
    if (info.wantImage) item.iImage = info.image;
    if (info.wantSelectedImage) item.iSelectedImage = info.selectedImage;
    if (info.wantChildren) item.cChildren = info.hasChildren ? 1 : 0;
    item.mask |= TVIF_DI_SETITEM;
}

void VRX_SysFolderTreeView::OnSelected(const NMTREEVIEWW& notice) {
    if (binding_->listener && notice.itemNew.hItem) {
        binding_->listener->mTreeView_Selected(Node(notice.itemNew.hItem), reinterpret_cast<IdList>(notice.itemNew.lParam));
    }
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
    ::ScreenToClient(TreeViewhWnd(), &hit.pt);
    Send(TreeViewhWnd(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if ((hit.flags & ~TVHT_ONITEM) != 0 || !hit.hItem) return;
    HTREEITEM item = hit.hItem;
    if (behavior_.WantEvents() && Events.NodeDblClick) Events.NodeDblClick(item);
}

long VRX_SysFolderTreeView::TranslateAccel(MSG& msg) {
    const bool isSpace = IsKeyMessage(msg) && msg.wParam == VK_SPACE;
    const long result = host_.RouteKey(msg, isSpace || IsControlNavigationKey(msg));
    if (result == 0 && isSpace && msg.message == WM_KEYUP) Raise(Events.NodeActivate);
    return result;
}

}  // namespace tarvo
