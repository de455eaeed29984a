#include "mainwindow/main_form.h"

#include "console/command_line.h"
#include "controls/accelerator_routing.h"

namespace tarvo {

namespace {

constexpr wchar_t kMainClass[] = L"TarvoMainForm";
constexpr wchar_t kPanelClass[] = L"TarvoPanel";
constexpr COLORREF kAccentColour = 0xFFD1AD;
constexpr int kSplitterSize = 5;

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

void RegisterPanelClass() {
    static const bool registered = [] {
        static unique_hbrush accent(::CreateSolidBrush(kAccentColour));
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = Instance();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = accent.get();
        wc.lpszClassName = kPanelClass;
        return ::RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

HWND CreatePanel(HWND parent) {
    RegisterPanelClass();
    return ::CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 10,
                             10, parent, nullptr, Instance(), nullptr);
}

RECT Bounds(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

}  // namespace

mainForm::mainForm() = default;

mainForm::~mainForm() {
    if (window_) ::DestroyWindow(window_.release());
}

bool mainForm::Load(const std::wstring& startFolder, bool adminMode) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = StaticWindowProc;
        wc.hInstance = Instance();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = ::LoadIconW(Instance(), L"AAA");
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kMainClass;
        return ::RegisterClassExW(&wc) != 0;
    }();
    if (!registered) return false;

    RECT frame{0, 0, 891, 611};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HWND hwnd = ::CreateWindowExW(0, kMainClass, L"Tarvo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  Instance(), this);
    if (!hwnd) return false;

    SetUpConsole(adminMode);
    MSubclass::AttachMessage(this, hwnd, WM_NCPAINT);
    MSubclass::AttachMessage(this, hwnd, WM_ACTIVATE);
    Form_Resize();

    const std::wstring& folder = startFolder.empty() ? controller_->CurrentFolder() : startFolder;
    controller_->ChangeFolder(std::wstring(folder));
    controller_->RefreshFolder();
    controller_->Renderer().WritePrompt();
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd);
    ::SetFocus(richEdit_.RichEdithWnd());
    return true;
}

void mainForm::SetUpConsole(bool adminMode) {
    ConsoleHost host;
    host.mainWindow = window_.get();
    host.SetStopEnabled = [this](bool enabled) { stopEnabled_ = enabled; };
    controller_ = std::make_unique<CommandController>(std::move(host), richEdit_, myConsole_, adminMode);

    myConsole_.OutputReceived = [this](std::wstring& out, std::wstring& err) {
        controller_->Renderer().myConsole_OutputReceived(out, err);
    };
    myConsole_.Complete = [this] { controller_->myConsole_Complete(); };
    myConsole_.SetMessagePump([this] { PumpDuringRun(); });
    controller_->Renderer().DeferRedrawWhile([this] { return myConsole_.Busy(); });

    bigContainer_ = CreatePanel(window_.get());
    picLeft_ = CreatePanel(bigContainer_);
    richEdit_.Create(bigContainer_, 0, 0, 100, 100);
    controller_->Renderer().SetUpPane(adminMode);
    WireConsolePane();

    prevCmds_.View().SetBorder(true);
    prevCmds_.Init(picLeft_, Bounds(0, 0, 100, 100));
    recent_ = std::make_unique<RecentCommands>(prevCmds_, richEdit_, controller_->Renderer());
    controller_->SetRecentCommands(recent_.get());
    WireRecentList();
}

void mainForm::WireConsolePane() {
    richEdit_.KeyEnter = [this] { controller_->OnCommandEntered(); };
    richEdit_.SelectionChange = [this](long& lMin, long& lMax, long& eSelType) {
        controller_->Renderer().OnSelectionChange(lMin, lMax, eSelType);
    };
    richEdit_.KeyDown = [this](short& keyCode, short& shift) {
        controller_->Renderer().OnKeyDown(keyCode, shift, window_.get());
    };
}

void mainForm::WireRecentList() {
    prevCmds_.Events.DblClickItem = [this] { recent_->UseRecentCommand(); };
    prevCmds_.Events.KeyEnter = [this] { recent_->UseRecentCommand(); };
}

// Between the runner's polls: one repaint of the pane for all output since the
// last pass, then every pending message through the key routing.
void mainForm::PumpDuringRun() {
    controller_->Renderer().FlushRedraw();
    if (!AcceleratorRouting::PumpPending()) myConsole_.StopWait();
}

void mainForm::StopWaiting() {
    myConsole_.StopWait();
    stopEnabled_ = false;
}

void mainForm::Form_Resize() {
    if (!bigContainer_) return;
    RECT client{};
    ::GetClientRect(window_.get(), &client);
    ::MoveWindow(bigContainer_, 0, 0, client.right, client.bottom, TRUE);
    LayOutWorkingArea();
}

void mainForm::LayOutWorkingArea() {
    RECT area{};
    ::GetClientRect(bigContainer_, &area);
    const int left = leftPaneWidth_;
    ::MoveWindow(picLeft_, 0, 0, left, area.bottom, TRUE);
    prevCmds_.Move(Bounds(0, 0, left, area.bottom));
    richEdit_.Move(left + kSplitterSize, 0, area.right - left - kSplitterSize, area.bottom);
}

void mainForm::RefreshPanes() {
    if (!bigContainer_ || !::IsWindowVisible(bigContainer_)) return;
    richEdit_.Refresh();
    prevCmds_.Refresh();
}

long mainForm::MsgResponse(UINT&) { return kAfter; }

LRESULT mainForm::WindowProc(HWND, UINT iMsg, WPARAM, LPARAM) {
    if (iMsg == WM_NCPAINT || iMsg == WM_ACTIVATE) RefreshPanes();
    return 0;
}

void mainForm::Form_Unload() {
    MSubclass::DetachMessage(this, window_.get(), WM_NCPAINT);
    MSubclass::DetachMessage(this, window_.get(), WM_ACTIVATE);
    ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
}

LRESULT CALLBACK mainForm::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<mainForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_.reset(hwnd);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<mainForm*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT mainForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = window_.get();
    switch (msg) {
        case WM_SIZE:
            Form_Resize();
            return 0;
        case WM_SETFOCUS:
            ::SetFocus(richEdit_.RichEdithWnd());
            return 0;
        case WM_CLOSE:
            // The runner's loop is on the stack below us: abandon the child and
            // close once that loop has returned.
            if (myConsole_.Busy()) {
                myConsole_.StopWait();
                ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
                return 0;
            }
            Form_Unload();
            ::DestroyWindow(hwnd);
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            window_.release();
            ::PostQuitMessage(0);
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
        default:
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace tarvo
