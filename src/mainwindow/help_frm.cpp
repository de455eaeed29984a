#include "mainwindow/help_frm.h"

#include <utility>

#include "common/guarded_call.h"
#include "common/window_class.h"

namespace tarvo {

namespace {

constexpr wchar_t kFormClass[] = L"TarvoHelpFrm";
constexpr wchar_t kStripClass[] = L"TarvoHelpStrip";
constexpr wchar_t kTitle[] = L"Help browser - Tarvo2";
constexpr wchar_t kStartPage[] = L"index";
constexpr wchar_t kPageSuffix[] = L".rtf";
constexpr long kRichTextFormat = 2;
constexpr OleColour kAccentColour = 0xFFD1AD;
// 9165 x 7830 twips at 15 twips per pixel.
constexpr int kInnerWidth = 611;
constexpr int kInnerHeight = 522;
constexpr int kButtonGap = 10;
// A link click is followed once the edit has finished with the click.
constexpr UINT kNavigateMessage = WM_APP + 1;

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

SIZE ClientSize(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

bool EndsWithExactly(const std::wstring& name, const std::wstring& suffix) {
    return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

std::wstring WithBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

}  // namespace

HelpFrm::HelpFrm() = default;

HelpFrm::~HelpFrm() { Unload(); }

bool HelpFrm::Load(const std::wstring& programFolder) {
    if (window_) return true;
    if (!CreateForm()) return false;
    PrepareToolbar();
    PrepareRichHelp();
    Form_Resize();
    helpDir_ = WithBackslash(programFolder) + L"help\\";
    for (auto& button : toolBtn_) button.Enabled(false);
    CollectPages();
    ShowPage(kStartPage);
    return true;
}

void HelpFrm::Unload() {
    if (window_) ::DestroyWindow(window_.release());
    picture1_.release();  // went with its parent
    history_.clear();
    pages_.clear();
    historyPos_ = 0;
    pendingLink_.clear();
}

void HelpFrm::Show() {
    if (!window_) return;
    ::ShowWindow(window_.get(), ::IsIconic(window_.get()) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(window_.get());
}

bool HelpFrm::CreateForm() {
    const auto background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!RegisterWindowClass(kFormClass, WindowProcFor<HelpFrm, &HelpFrm::HandleMessage>, 0, background) ||
        !RegisterWindowClass(kStripClass, WindowProcFor<HelpFrm, &HelpFrm::HandleStripMessage>, 0, background)) {
        return false;
    }
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT frame{0, 0, kInnerWidth, kInnerHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window_.reset(::CreateWindowExW(0, kFormClass, kTitle, style, left, top, width, height, nullptr, nullptr,
                                    Instance(), this));
    if (!window_) return false;

    picture1_.reset(::CreateWindowExW(0, kStripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                      kInnerWidth, kStripHeight, window_.get(), nullptr, Instance(), this));
    return static_cast<bool>(picture1_);
}

void HelpFrm::PrepareToolbar() {
    const int h = ClientSize(picture1_.get()).cy;
    toolBack_.Caption(L"");
    toolBack_.BackColor(kAccentColour);
    toolBack_.Init(picture1_.get(), RECT{0, 0, ClientSize(picture1_.get()).cx, h});
    // The background takes no clicks: it draws its normal look behind the buttons.
    ::EnableWindow(toolBack_.hwnd(), FALSE);

    static constexpr const wchar_t* kIcons[] = {L"go-previous", L"go-home", L"go-next"};
    for (int i = 0; i < 3; ++i) {
        VRX_StyleButton& button = toolBtn_[static_cast<std::size_t>(i)];
        const int left = kButtonGap + i * (h + kButtonGap);
        button.Caption(L"");
        button.BackColor(kAccentColour);
        button.Init(picture1_.get(), RECT{left, 0, left + h, h}, i + 1);
        button.picLocation(kIcons[i], L"CUSTOM");
        // A failed page load leaves the browser as it was.
        button.Click = [this, i] { GuardedCall([&] { ToolBtn_Click(i); }); };
    }
    ::SetWindowPos(toolBack_.hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void HelpFrm::PrepareRichHelp() {
    const SIZE client = ClientSize(window_.get());
    richHelp_.Create(window_.get(), 0, kStripHeight, client.cx, client.cy - kStripHeight);
    richHelp_.Behavior().UseOLECallback(true);
    richHelp_.Init();
    richHelp_.Behavior().ReadOnly(true);
    richHelp_.View().WordWrap(true);
    richHelp_.LinkOver = [this](short& message, long& start, long& end) { RichHelp_LinkOver(message, start, end); };
}

void HelpFrm::CollectPages() {
    WIN32_FIND_DATAW entry{};
    unique_hfind search(::FindFirstFileW((helpDir_ + L"*.*").c_str(), &entry));
    if (!search) return;
    do {
        const std::wstring name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name == L"." || name == L"..") continue;
        if (EndsWithExactly(name, kPageSuffix)) pages_.push_back(name.substr(0, name.size() - 4));
    } while (::FindNextFileW(search.get(), &entry));
}

void HelpFrm::PaneQuiet(bool quiet) {
    richHelp_.Behavior().Redraw(!quiet);
    richHelp_.Behavior().WantEvents(!quiet);
}

bool HelpFrm::LoadFile(const std::wstring& name) {
    return richHelp_.LoadFromFile(helpDir_ + name + kPageSuffix, kRichTextFormat);
}

bool HelpFrm::LoadPage(const std::wstring& name) {
    PaneQuiet(true);
    const bool loaded = LoadFile(name);
    if (loaded) MarkLinks();
    PaneQuiet(false);
    return loaded;
}

void HelpFrm::ShowPage(const std::wstring& name) {
    PaneQuiet(true);
    if (!LoadFile(name)) {
        PaneQuiet(false);
        return;
    }
    toolBtn_[kHome].Enabled(name != kStartPage);
    history_.resize(historyPos_);
    history_.push_back(name);
    historyPos_ = history_.size();
    if (historyPos_ > 1) toolBtn_[kBack].Enabled(true);
    toolBtn_[kForward].Enabled(false);
    MarkLinks();
    PaneQuiet(false);
}

void HelpFrm::MarkLinks() {
    if (historyPos_ == 0 || historyPos_ > history_.size()) return;
    const std::wstring& current = history_[historyPos_ - 1];
    RichEditMethods& pane = richHelp_.Methods();
    long selectionStart = 0, selectionEnd = 0;
    pane.SelectionCharRangeGet(selectionStart, selectionEnd);
    for (const std::wstring& page : pages_) {
        // An empty name would match everywhere without moving on.
        if (page.empty() || EqualIgnoringCase(page, current)) continue;
        const long length = static_cast<long>(page.size());
        long from = 0;
        for (;;) {
            long count = pane.CharacterCount();
            const long pos = pane.Find(page, from, count, false, false);
            if (pos < 0) break;
            pane.SelectionCharRangeSet(pos, pos + length);
            pane.FormatLinkSet(true);
            from = pos + length;
        }
    }
    pane.SelectionCharRangeSet(selectionStart, selectionEnd);
}

void HelpFrm::RichHelp_LinkOver(short message, long start, long end) {
    if (message != WM_LBUTTONUP) return;
    pendingLink_ = richHelp_.Methods().TextInRangeGet(start, end);
    ::PostMessageW(window_.get(), kNavigateMessage, 0, 0);
}

void HelpFrm::NavigateToPendingLink() {
    const std::wstring page = std::exchange(pendingLink_, std::wstring());
    if (!page.empty()) ShowPage(page);
}

void HelpFrm::ToolBtn_Click(int index) {
    switch (index) {
        case kBack:
            StepHistory(-1);
            break;
        case kHome:
            ShowPage(kStartPage);
            break;
        case kForward:
            StepHistory(+1);
            break;
        default:
            break;
    }
}

void HelpFrm::StepHistory(int step) {
    const auto target = static_cast<std::ptrdiff_t>(historyPos_) + step;
    if (target < 1 || target > static_cast<std::ptrdiff_t>(history_.size())) return;
    historyPos_ = static_cast<std::size_t>(target);
    const std::wstring page = history_[historyPos_ - 1];
    if (!LoadPage(page)) return;
    toolBtn_[kBack].Enabled(historyPos_ >= 2);
    toolBtn_[kForward].Enabled(historyPos_ < history_.size());
    toolBtn_[kHome].Enabled(page != kStartPage);
}

std::wstring HelpFrm::ShownText() { return richHelp_.Methods().TextInRangeGet(0, -1); }

void HelpFrm::Form_Resize() {
    const SIZE client = ClientSize(window_.get());
    ::MoveWindow(picture1_.get(), 0, 0, client.cx, kStripHeight, TRUE);
    RECT strip{};
    ::GetWindowRect(picture1_.get(), &strip);
    const int stripHeight = strip.bottom - strip.top;
    richHelp_.Move(0, stripHeight, client.cx, client.cy > stripHeight ? client.cy - stripHeight : 0);
}

void HelpFrm::Picture1_Resize() {
    if (!toolBack_.hwnd()) return;
    const SIZE inner = ClientSize(picture1_.get());
    toolBack_.Move(RECT{0, 0, inner.cx, inner.cy});
}

LRESULT HelpFrm::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SIZE:
            if (picture1_) Form_Resize();
            return 0;
        case WM_CLOSE:
            // The user's close only hides: page and history wait for the next showing.
            ::ShowWindow(hwnd, SW_HIDE);
            return 0;
        case kNavigateMessage:
            NavigateToPendingLink();
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT HelpFrm::HandleStripMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE) Picture1_Resize();
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace tarvo
