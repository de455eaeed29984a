#include "controls/rich_edit.h"

#include "common/raised_error.h"
#include "controls/rich_edit_internal.h"
#include "controls/rich_edit_ole_callback.h"
#include "controls/rich_edit_rules.h"
#include "controls/text_control_host.h"

namespace tarvo {

namespace {

constexpr wchar_t kEditClass[] = L"RichEdit20W";
constexpr DWORD kBaseStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MAXIMIZE | WS_VSCROLL |
                             WS_HSCROLL | WS_TABSTOP | ES_SAVESEL | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
static_assert(kBaseStyle == 0x573180C0);
constexpr LPARAM kEventMask = ENM_CHANGE | ENM_UPDATE | ENM_SCROLL | ENM_KEYEVENTS | ENM_MOUSEEVENTS |
                              ENM_SELCHANGE | ENM_DROPFILES | ENM_PROTECTED | ENM_LINK;
static_assert(kEventMask == 0x043B0007);
constexpr std::array<UINT, 4> kContainerMessages = {WM_NOTIFY, WM_SETFOCUS, WM_COMMAND, WM_SIZE};
constexpr std::array<UINT, 4> kEditMessages = {WM_SETFOCUS, WM_MOUSEACTIVATE, WM_VSCROLL, WM_HSCROLL};
constexpr short kEnter = 13;

bool EditClassRegistered() {
    WNDCLASSW wc{};
    return ::GetClassInfoW(nullptr, kEditClass, &wc) != FALSE;
}

}  // namespace

namespace rich_edit_detail {
std::wstring ErrorSource() { return MSubclass::AppTitle(); }
}  // namespace rich_edit_detail

VRX_RichEdit::VRX_RichEdit() : host_(*this, kContainerMessages, kEditMessages) { allowShortCut_.fill(true); }

VRX_RichEdit::~VRX_RichEdit() {
    Terminate();
    host_.Close();
}

bool VRX_RichEdit::Create(HWND parent, int x, int y, int width, int height) {
    Terminate();
    host_.Close();  // a second Create replaces the container and everything in it
    return host_.PlaceContainer(parent, RECT{x, y, x + width, y + height});
}

void VRX_RichEdit::Move(int x, int y, int width, int height) { host_.Move(RECT{x, y, x + width, y + height}); }

bool VRX_RichEdit::LoadEditLibrary() {
    library_.reset(::LoadLibraryW(L"RICHED32.DLL"));
    if (!library_) return false;
    // "RichEdit20W" is registered by riched20.dll; where RICHED32.DLL does not bring it along, load it too.
    if (!EditClassRegistered()) fallbackLibrary_.reset(::LoadLibraryW(L"riched20.dll"));
    return true;
}

HWND VRX_RichEdit::CreateEditWindow() {
    DWORD style = kBaseStyle;
    if (view_.AlwaysShowScrollBars()) style |= ES_DISABLENOSCROLL;
    if (!view_.HideSelectionWhenWindowInactive()) style |= ES_NOHIDESEL;
    if (!view_.SingleLine()) style |= ES_MULTILINE;
    if (view_.Border()) style |= ES_SUNKEN;
    DWORD exStyle = 0;
    if (view_.Border()) exStyle |= WS_EX_CLIENTEDGE;
    if (view_.RightToLeft()) exStyle |= WS_EX_LAYOUTRTL;
    return host_.CreateInner(kEditClass, style, exStyle);
}

void VRX_RichEdit::Init() {
    Terminate();
    if (!host_.Container()) return;  // not hosted: nothing to create
    if (!LoadEditLibrary()) return;
    // A storage failure is raised before any window exists, so nothing is left half made.
    if (behavior_.UseOLECallback()) oleCallback_ = std::make_unique<RichEditOleCallback>();
    HWND edit = CreateEditWindow();
    if (!edit) return;
    if (oleCallback_) {
        ::SendMessageW(edit, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(oleCallback_.get()));
    }
    ::SendMessageW(edit, EM_SETEVENTMASK, 0, kEventMask);
    AttachWindowToParts(edit);
    unique_window_dc dc(host_.Container());
    if (const auto font = DefaultFontObject(dc.get(), kMenuFont)) {
        try {
            view_.DefaultFont(*font);
        } catch (const RaisedError&) {
            // A system face name too long for the format record: the edit keeps its own font.
        }
    }
    Resize();
}

void VRX_RichEdit::AttachWindowToParts(HWND edit) {
    view_.AttachWindow(edit);
    behavior_.AttachWindow(edit);
    methods_.AttachWindow(edit);
}

void VRX_RichEdit::Terminate() {
    if (host_.Inner()) {
        host_.DestroyInner(ControlHost::Teardown::kQuiet);
        AttachWindowToParts(nullptr);
    }
    oleCallback_.reset();  // the edit that held it is gone
    fallbackLibrary_.reset();
    library_.reset();
    AcceleratorRouting::Release(this);
}

void VRX_RichEdit::Refresh() {
    ::InvalidateRect(host_.Container(), nullptr, TRUE);
    ::UpdateWindow(host_.Container());
}

void VRX_RichEdit::Resize() {
    if (!Edit()) return;
    host_.FitInner(false);
    const SIZE size = ClientSize(host_.Container());
    const auto area = rich_edit_rules::FormattingRectangle(size.cx, size.cy, view_.MarginLeft(), view_.MarginRight());
    RECT rect{area.left, area.top, area.right, area.bottom};
    const bool repaintThroughRedraw = behavior_.Redraw();
    if (repaintThroughRedraw) behavior_.Redraw(false);
    ::SendMessageW(Edit(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    view_.MarginLeft(view_.MarginLeft());
    view_.MarginRight(view_.MarginRight());
    if (repaintThroughRedraw) {
        behavior_.Redraw(true);
    } else {
        ::InvalidateRect(host_.Container(), nullptr, TRUE);
        ::UpdateWindow(host_.Container());
    }
}

bool VRX_RichEdit::AllowShortCut(int index) const {
    if (index < 1 || index > 13) RaiseStandard(kErrSubscriptOutOfRange, rich_edit_detail::ErrorSource());
    return allowShortCut_[static_cast<std::size_t>(index - 1)];
}

void VRX_RichEdit::AllowShortCut(int index, bool value) {
    if (index < 1 || index > 13) RaiseStandard(kErrSubscriptOutOfRange, rich_edit_detail::ErrorSource());
    allowShortCut_[static_cast<std::size_t>(index - 1)] = value;
}

bool VRX_RichEdit::LoadFromFile(const std::wstring& path, long format) { return StreamFile(path, format, true); }

bool VRX_RichEdit::SaveToFile(const std::wstring& path, long format) { return StreamFile(path, format, false); }

bool VRX_RichEdit::StreamFile(const std::wstring& path, long format, bool load) {
    // The open call takes an ANSI path of at most 127 characters.
    const int length = ::WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1 || length > OFS_MAXPATHNAME) return false;
    std::string ansiPath(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansiPath.data(), length, nullptr, nullptr);
    OFSTRUCT info{};
    const HFILE opened = ::OpenFile(ansiPath.c_str(), &info, load ? OF_READ : OF_CREATE);
    if (opened == HFILE_ERROR) return false;
    unique_hfile file(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(opened)));
    return rich_edit_detail::StreamFile(Edit(), file.get(), format, load, *this) != 0;
}

void VRX_RichEdit::RaiseLoadStatus(long amount, long total) {
    if (ProgressStatus) ProgressStatus(amount, total);
}

std::wstring VRX_RichEdit::SelectedContents(long) const { return {}; }
std::wstring VRX_RichEdit::Contents(long) const { return {}; }
void VRX_RichEdit::Contents(long, const std::wstring&) {}
void VRX_RichEdit::InsertContents(long, const std::wstring&) {}
void VRX_RichEdit::PasteSpecial() {}
void VRX_RichEdit::Copy() { ::SendMessageW(Edit(), WM_COPY, 0, 0); }
void VRX_RichEdit::Undo() { ::SendMessageW(Edit(), EM_UNDO, 0, 0); }
void VRX_RichEdit::Redo() { ::SendMessageW(Edit(), EM_REDO, 0, 0); }

IRichEditOleCallback* VRX_RichEdit::OleCallback() const { return oleCallback_.get(); }

long VRX_RichEdit::MsgResponse(UINT& currentMessage) { return HostedMsgResponse(currentMessage); }

LRESULT VRX_RichEdit::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (const auto handled = host_.HandOffFocus(hwnd, iMsg, wParam, lParam)) return *handled;
    switch (iMsg) {
        case WM_SIZE:
            // A failed margin is caught by the message hooks; the old layout stays.
            if (hwnd == host_.Container()) Resize();
            return 0;
        case WM_HSCROLL:
            if (HScroll) HScroll();
            return 0;
        case WM_VSCROLL:
            if (VScroll) VScroll();
            return 0;
        case WM_COMMAND:
            if ((HIWORD(wParam) & 0x7FFF) == EN_CHANGE && Change) Change();
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && header->hwndFrom == Edit() && Edit()) return OnNotify(*header, lParam);
            return 0;
        }
        default:
            return 0;
    }
}

LRESULT VRX_RichEdit::OnNotify(const NMHDR& header, LPARAM lParam) {
    switch (header.code) {
        case EN_SELCHANGE: {
            const auto& change = *reinterpret_cast<const SELCHANGE*>(lParam);
            long lMin = change.chrg.cpMin, lMax = change.chrg.cpMax, eSelType = change.seltyp;
            if (SelectionChange) SelectionChange(lMin, lMax, eSelType);
            return 0;
        }
        case EN_LINK: {
            const auto& link = *reinterpret_cast<const ENLINK*>(lParam);
            short iType = static_cast<short>(link.msg);
            long lMin = link.chrg.cpMin, lMax = link.chrg.cpMax;
            if (LinkOver) LinkOver(iType, lMin, lMax);
            return 0;
        }
        case EN_PROTECTED: {
            const auto& attempt = *reinterpret_cast<const ENPROTECTED*>(lParam);
            bool bDoIt = false;
            long lMin = attempt.chrg.cpMin, lMax = attempt.chrg.cpMax;
            if (ModifyProtected) ModifyProtected(bDoIt, lMin, lMax);
            return bDoIt ? 0 : 1;
        }
        case EN_MSGFILTER:
            return OnMessageFilter(*reinterpret_cast<const MSGFILTER*>(lParam));
        default:
            return 0;
    }
}

LRESULT VRX_RichEdit::OnMessageFilter(const MSGFILTER& filter) {
    const short key = static_cast<short>(LOWORD(filter.wParam));
    switch (filter.msg) {
        case WM_KEYDOWN: {
            short shift = CurrentShiftState();
            if (key == kEnter) {
                if (KeyEnter) KeyEnter();
                return behavior_.ConsumeEnter() ? 1 : 0;
            }
            short keyCode = key;
            if (KeyDown) KeyDown(keyCode, shift);
            return keyCode != key ? 1 : 0;
        }
        case WM_KEYUP: {
            if (key == kEnter) return behavior_.ConsumeEnter() ? 1 : 0;
            short shift = CurrentShiftState();
            short keyCode = key;
            if (KeyUp) KeyUp(keyCode, shift);
            return 0;
        }
        case WM_CHAR: {
            short keyAscii = key;
            if (KeyPress) KeyPress(keyAscii);
            return keyAscii != key ? 1 : 0;
        }
        default:
            RaiseMouseEvent(filter.msg);
            return 0;
    }
}

void VRX_RichEdit::RaiseMouseEvent(UINT message) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(Edit(), &cursor);
    unique_window_dc screen(nullptr);
    float x = static_cast<float>(cursor.x) * 1440.0f / static_cast<float>(::GetDeviceCaps(screen.get(), LOGPIXELSX));
    float y = static_cast<float>(cursor.y) * 1440.0f / static_cast<float>(::GetDeviceCaps(screen.get(), LOGPIXELSY));
    short shift = CurrentShiftState();
    short button = 0;
    switch (message) {
        case WM_MOUSEMOVE:
            button = CurrentMouseButtons();
            if (MouseMove) MouseMove(button, shift, x, y);
            return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            button = ButtonOfMessage(message);
            break;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
            if (DblClick) DblClick(x, y);
            return;
        default:
            return;
    }
    const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    const auto& handler = down ? MouseDown : MouseUp;
    if (handler) handler(button, shift, x, y);
}

long VRX_RichEdit::TranslateAccel(MSG& msg) {
    using rich_edit_rules::AccelAction;
    rich_edit_rules::AccelInput input;
    input.message = msg.message;
    input.key = static_cast<std::uint32_t>(msg.wParam);
    input.hasEditWindow = Edit() != nullptr;
    input.readOnly = behavior_.ReadOnly();
    input.trapTab = view_.TrapTab();
    input.shiftOrCtrlActive = ::GetAsyncKeyState(VK_SHIFT) != 0 || ::GetAsyncKeyState(VK_CONTROL) != 0;
    switch (rich_edit_rules::DecideAccel(input)) {
        case AccelAction::kTypeTab:
            ::SendMessageW(Edit(), WM_CHAR, msg.wParam, msg.lParam);
            return 0;
        case AccelAction::kSwallow:
            return 0;
        case AccelAction::kSendToEdit:
            ::SendMessageW(Edit(), msg.message, msg.wParam, msg.lParam);
            return 0;
        case AccelAction::kNotHandled:
        default:
            return 1;
    }
}

}  // namespace tarvo
