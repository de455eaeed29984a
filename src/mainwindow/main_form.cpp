#include "mainwindow/main_form.h"

#include <shellapi.h>

#include "common/program_path.h"
#include "common/window_class.h"
#include "console/command_line.h"
#include "console/console_system.h"
#include "console/rich_edit_pane.h"
#include "controls/accelerator_routing.h"
#include "controls/system_fonts.h"
#include "controls/text_control_host.h"
#include "mainwindow/output_search.h"

namespace tarvo {

namespace {

constexpr wchar_t kMainClass[] = L"TarvoMainForm";
constexpr int kSplitterSize = 5;
constexpr int kSyncMargin = 6;
constexpr int kLeftPaneWidth = 200;
constexpr long kEngravedCaption = 4;
constexpr UINT kRootFolderTree = WM_APP + 1;
enum EditMenuItem : UINT { kMenuCopy = 1, kMenuPaste = 2, kMenuSelectAll = 3 };

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

RECT Bounds(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

struct ToolButtonSpec {
    const wchar_t* icon;
    const wchar_t* tip;
    int groupGap;  // extra pixels before the button that opens a group
};

constexpr ToolButtonSpec kToolButtons[kToolButtonCount] = {
    {L"window-new", L"Open a new Window (Ctrl + N)", 0},
    {L"window-newadmin", L"Open a new Window in Administrator mode", 0},
    {L"process-stop", L"Stop waiting for command to finish", 0},
    {L"bookmark-new", L"Set current folder as the start-up folder", 0},
    {L"help-browser", L"Help browser (F1)", 30},
    {L"homepage", nullptr, 0},
    {L"edit-find", L"Search output (Ctrl + F)", 30},
    {L"edit-copy", L"Copy selection (Ctrl + C)", 0},
    {L"edit-paste", L"Paste (Ctrl + V)", 0},
    {L"edit-select-all", L"Select all", 0},
};

// A check box in the menu font, sized to its caption.
HWND CreateCheckBox(HWND parent, const wchar_t* caption, int x, int y) {
    HFONT font = DefaultFontHandle(kMenuFont);
    unique_window_dc dc(parent);
    SIZE text{};
    {
        select_object_scope selected(dc.get(), font);
        ::GetTextExtentPoint32W(dc.get(), caption, static_cast<int>(wcslen(caption)), &text);
    }
    const int height = text.cy + 4;
    HWND box = ::CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, x, y,
                                 text.cx + 24, height, parent, nullptr, Instance(), nullptr);
    ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return box;
}

RECT WindowRectIn(HWND window, HWND parent) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int OsMajorVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = 148;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    if (!::GetVersionExA(&info)) return 0;
    return static_cast<int>(info.dwMajorVersion);
}

}  // namespace

mainForm::mainForm() = default;

mainForm::~mainForm() {
    if (window_) {
        Form_Unload();
        ::DestroyWindow(window_.get());
    }
}

bool mainForm::CreateMainWindow() {
    if (!RegisterWindowClass(kMainClass, WindowProcFor<mainForm, &mainForm::HandleMessage>, 0,
                             reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) {
        return false;
    }
    RECT frame{0, 0, 891, 611};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    return ::CreateWindowExW(0, kMainClass, L"Tarvo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                             CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             Instance(), this) != nullptr;
}

bool mainForm::Create(MainFormOptions options) {
    options_ = std::move(options);
    return CreateMainWindow();
}

bool mainForm::Load() {
    HWND hwnd = window_.get();
    if (!hwnd || controller_) return false;
    accentBrush_.reset(::CreateSolidBrush(kAccent));

    tooltip_.Init();
    tooltip_.SubClsOwner(hwnd);
    tooltip_.TextSet(L"Stop waiting for process and abandon it.");
    stopTip_ = std::make_unique<StyleButtonAttention>(tooltip_);
    StepDone("main window and tooltip");

    settings_ = std::make_unique<WindowSettings>(options_.settings);
    loaded_ = settings_->LoadSettings();
    StepDone("settings");

    PrepareConsole();
    controller_->CurrentFolder(loaded_.currentFolder);
    StepDone("console pane and recent commands");
    MSubclass::AttachMessage(this, hwnd, WM_NCPAINT);
    MSubclass::AttachMessage(this, hwnd, WM_ACTIVATE);
    PrepareFindBar();
    StepDone("find bar");
    PrepareToolbar();
    StepDone("toolbar");
    PrepareFolderTree();
    StepDone("folder tree control");
    PrepareEditMenu();
    Form_Resize();
    // Placed once the working area has its size, so the position is not clamped to an empty container.
    splitVer_.Position(kLeftPaneWidth);

    const std::wstring folder = options_.startFolder.empty() ? controller_->CurrentFolder() : options_.startFolder;
    controller_->ChangeFolder(folder);
    StepDone("start folder");
    controller_->RefreshFolder();
    controller_->Renderer().WritePrompt();
    StepDone("first prompt written");

    ::ShowWindow(hwnd, ApplyWindowSettings(hwnd, loaded_));
    ::UpdateWindow(hwnd);
    ::SetFocus(richEdit_.RichEdithWnd());
    StepDone("main window shown");

    // Posted messages come before input: the tree is rooted right after the
    // loop has started, before anything the user typed meanwhile.
    ::PostMessageW(hwnd, kRootFolderTree, 0, 0);
    return true;
}

// In posted steps, so that other programs' requests to this window are answered in between.
void mainForm::RootFolderTree(WPARAM step) {
    if (!folderTree_.HasTree()) return;
    ShellFolderTree& tree = folderTree_.shTree();
    switch (step) {
        case 0:
            tree.PrepareImageList();
            break;
        case 1:
            tree.RootNodeCSIDLSet(0);
            break;
        default:
            tree.FullPathSet(controller_->CurrentFolder());
            StepDone("folder tree rooted");
            return;
    }
    ::PostMessageW(window_.get(), kRootFolderTree, step + 1, 0);
}

void mainForm::StepDone(const char* step) const {
    if (options_.StepDone) options_.StepDone(step);
}

void mainForm::PrepareConsole() {
    ConsoleHost host;
    host.StopEnabled = [this](bool enabled) { StopEnabled(enabled); };
    host.SyncTicked = [this] { return ::SendMessageW(sync_, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    host.TreeFullPathSet = [this](const std::wstring& path) {
        if (folderTree_.HasTree()) folderTree_.shTree().FullPathSet(path);
    };
    controller_ = MakeWindowCommandController(std::move(host), window_.get(), richEdit_, myConsole_, options_.adminMode);
    myConsole_.OutputReceived = [this](std::wstring& out, std::wstring& err) {
        controller_->Renderer().myConsole_OutputReceived(out, err);
    };
    myConsole_.Complete = [this] { controller_->myConsole_Complete(); };
    myConsole_.MessagePump([this] { PumpDuringRun(); });
    controller_->Renderer().DeferRedrawWhile([this] { return myConsole_.Busy(); });
    myConsole_.ReadingPaused = [this] { return controller_->Renderer().BacklogFull(); };
    myConsole_.WritePendingPiece = [this] { return controller_->Renderer().WriteFinalPiece(); };

    PrepareWorkingArea();

    richEdit_.KeyEnter = [this] {
        const bool startsRun = !myConsole_.Busy();
        const std::vector<MSG> typedAhead = startsRun ? AcceleratorRouting::TakeWaitingKeys() : std::vector<MSG>{};
        controller_->OnCommandEntered();
        if (startsRun) AcceleratorRouting::PostKeysAgain(typedAhead);
        // A close asked for during the run waited for the run to return; the
        // nested Enters of a run return while it is still busy.
        if (closeAfterRun_ && !myConsole_.Busy()) ::PostMessageW(window_.get(), WM_CLOSE, 0, 0);
    };
    richEdit_.SelectionChange = [this](long& lMin, long& lMax, long& eSelType) {
        controller_->Renderer().OnSelectionChange(lMin, lMax, eSelType);
    };
    richEdit_.KeyDown = [this](short& keyCode, short& shift) {
        controller_->Renderer().OnKeyDown(keyCode, shift);
    };
    richEdit_.KeyPress = [this](short& keyAscii) { controller_->Renderer().OnKeyPress(keyAscii); };
    richEdit_.MouseUp = [this](short& button, short&, float&, float&) {
        if (button == kRightButton) ShowEditMenu();
    };

    recent_ = std::make_unique<RecentCommands>(prevCmds_, richEdit_, controller_->Renderer());
    controller_->RecentCommandList(recent_.get());
    prevCmds_.Events.DblClickItem = [this] { recent_->UseRecentCommand(); };
    prevCmds_.Events.KeyEnter = [this] { recent_->UseRecentCommand(); };
}

void mainForm::PrepareWorkingArea() {
    HWND hwnd = window_.get();
    bigContainer_.Create(hwnd, kAccent);
    picLeft_.Create(bigContainer_.hWnd(), kAccent);
    leftTop_.Create(picLeft_.hWnd(), ::GetSysColor(COLOR_BTNFACE));
    leftBottom_.Create(picLeft_.hWnd(), ::GetSysColor(COLOR_BTNFACE));

    richEdit_.Create(bigContainer_.hWnd(), 0, 0, 100, 100);
    PrepareConsolePane(richEdit_, options_.adminMode);

    for (auto* header : {&headerFolders_, &headerRecent_}) {
        header->Init(header == &headerFolders_ ? leftTop_.hWnd() : leftBottom_.hWnd(), Bounds(0, 0, 100, kHeaderHeight));
        header->Caption(header == &headerFolders_ ? L"Folders" : L"Recent commands");
        header->CaptionAlign(0);
        header->CaptionEffects(kEngravedCaption);
        header->BackColor(kAccent);
        header->Enabled(false);
    }
    prevCmds_.View().Border(true);
    prevCmds_.Init(leftBottom_.hWnd(), Bounds(0, kHeaderHeight, 100, 100));
    sync_ = CreateCheckBox(leftTop_.hWnd(), L"Change with console", kSyncMargin, 0);

    // Both bars look and drag alike.
    auto bar = [](Splitter& splitter, SplitterOrientation orientation) {
        splitter.Orientation(orientation);
        splitter.SplitterSize(kSplitterSize);
        splitter.BgColor(kAccent);
        splitter.FullDrag(false);
    };
    splitVer_.Bind(bigContainer_.hWnd(), picLeft_.hWnd(), richEdit_.hWnd());
    bar(splitVer_, kSplitVertical);
    splitVer_.MinimumSize(1, 100);

    splitHor_.Bind(picLeft_.hWnd(), leftTop_.hWnd(), leftBottom_.hWnd());
    bar(splitHor_, kSplitHorizontal);
    splitHor_.KeepProportion(true);
    splitHor_.MinimumSize(1, kHeaderHeight);
    splitHor_.MinimumSize(2, kHeaderHeight);

    auto forward = [](Panel& panel, Splitter& splitter) {
        panel.MouseDown = [&splitter](int b, int s, float x, float y) { splitter.MouseDown(b, s, x, y); };
        panel.MouseMove = [&splitter](int b, int s, float x, float y) { splitter.MouseMove(b, s, x, y); };
        panel.MouseUp = [&splitter](int b, int s, float x, float y) { splitter.MouseUp(b, s, x, y); };
        panel.Paint = [&splitter](HDC dc) { splitter.Paint(dc); };
        panel.Resize = [&splitter] { splitter.Resize(); };
    };
    forward(bigContainer_, splitVer_);
    forward(picLeft_, splitHor_);
    leftTop_.Resize = [this] { LeftTop_Resize(); };
    leftBottom_.Resize = [this] { LeftBottom_Resize(); };
}

void mainForm::PrepareFindBar() {
    bottomBar_.Init(window_.get(), 0, 0, 100, kFindBarHeight);
    HWND bar = bottomBar_.hWnd();
    findLabel_.Init(bar, Bounds(0, 0, 100, kFindBarHeight));
    findLabel_.Caption(L"Find:");
    findLabel_.CaptionAlign(2);
    findLabel_.CaptionEffects(kEngravedCaption);
    findLabel_.BackColor(kAccent);
    findLabel_.Enabled(false);

    inputFind_.Init(bar, Bounds(100, 5, 200, 20));
    inputFind_.Events.KeyEnter = [this] { FindNext(); };

    findButton_.Init(bar, Bounds(310, 0, kFindBarHeight, kFindBarHeight));
    findButton_.Caption(L"");
    findButton_.picLocation(L"system-search", L"CUSTOM");
    findButton_.ToolTip(L"Start search / find next (Ctrl + G)");
    findButton_.BackColor(kAccent);
    findButton_.Click = [this] { FindNext(); };

    chkMatchCase_ = CreateCheckBox(bar, L"Match Case", 310 + kFindBarHeight + 20, 10);
    const RECT matchCase = WindowRectIn(chkMatchCase_, bar);
    chkWholeWord_ = CreateCheckBox(bar, L"Find whole word only", matchCase.right + 10, 10);
}

bool mainForm::AdminButtonHidden() const {
    const int major = options_.osMajorVersion != 0 ? options_.osMajorVersion : OsMajorVersion();
    return major < 6;
}

void mainForm::PrepareToolbar() {
    topBar_.Init(window_.get(), 0, 0, 100, kTopBarHeight);
    for (int i = 0; i < kToolButtonCount; ++i) {
        auto& button = toolBtn_[static_cast<std::size_t>(i)];
        button.Init(topBar_.hWnd(), Bounds(0, 0, kTopBarHeight, kTopBarHeight), i);
        button.Caption(L"");
        button.picLocation(kToolButtons[i].icon, L"CUSTOM");
        button.ToolTip(kToolButtons[i].tip ? kToolButtons[i].tip
                                           : L"Opens " + options_.homePage + L" in your default browser");
        button.BackColor(kAccent);
        button.Click = [this, i] { ToolBtn_Click(i); };
    }
    toolBtn_[kToggleFindBar].Mode(kCheckButton);
    toolBtn_[kToggleFindBar].Value(false);
    if (AdminButtonHidden()) ::ShowWindow(toolBtn_[kNewAdminWindow].hwnd(), SW_HIDE);
    toolBtn_[kStopWaiting].AttentionTip(stopTip_.get());
    toolBtn_[kStopWaiting].Blink(true);
    StopEnabled(false);
    LayOutToolbar();
}

void mainForm::LayOutToolbar() {
    const int h = kTopBarHeight;
    const int shift = AdminButtonHidden() ? 1 : 0;
    toolBtn_[0].Move(Bounds(10, 0, h, h));
    int gaps = 0;
    for (int i = 1; i < kToolButtonCount; ++i) {
        gaps += kToolButtons[i].groupGap;
        const int left = 10 + (i - shift) * (h + 2) + gaps;
        toolBtn_[static_cast<std::size_t>(i)].Move(Bounds(left, 0, h, h));
    }
}

void mainForm::PrepareFolderTree() {
    folderTree_.Init(leftTop_.hWnd(), Bounds(0, kHeaderHeight, 100, 100));
    folderTree_.Events.NodeDblClick = [this](HTREEITEM& hNode) { OnFolderActivated(hNode); };
    folderTree_.Events.NodeActivate = [this] { OnFolderActivated(folderTree_.Methods().SelectedNodeGet()); };
}

void mainForm::PrepareEditMenu() {
    menuEdit_.reset(::CreatePopupMenu());
    ::AppendMenuW(menuEdit_.get(), MF_STRING, kMenuCopy, L"Copy");
    ::AppendMenuW(menuEdit_.get(), MF_STRING, kMenuPaste, L"Paste");
    ::AppendMenuW(menuEdit_.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menuEdit_.get(), MF_STRING, kMenuSelectAll, L"Select All");
}

void mainForm::ShowEditMenu() {
    POINT at{};
    ::GetCursorPos(&at);
    const UINT chosen = ::TrackPopupMenu(menuEdit_.get(), TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, window_.get(),
                                         nullptr);
    if (chosen != 0) RunEditCommand(static_cast<int>(chosen));
}

void mainForm::RunEditCommand(int item) {
    switch (item) {
        case kMenuCopy: ToolBtn_Click(kCopy); break;
        case kMenuPaste: ToolBtn_Click(kPaste); break;
        case kMenuSelectAll: ToolBtn_Click(kSelectAll); break;
        default: break;
    }
}

bool mainForm::StopEnabled() const { return toolBtn_[kStopWaiting].Enabled(); }

void mainForm::StopEnabled(bool enabled) { toolBtn_[kStopWaiting].Enabled(enabled); }

void mainForm::ToolBtn_Click(int index) {
    switch (index) {
        case kNewWindow: {
            STARTUPINFOW startup{};
            startup.cb = sizeof(startup);
            PROCESS_INFORMATION process{};
            std::wstring commandLine = ProgramFolder() + L"\\Tarvo2.exe";
            if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                 &process)) {
                const process_handles started(process);  // nothing waits for the new window
            }
            break;
        }
        case kNewAdminWindow:
            ::ShellExecuteW(window_.get(), L"open", (ProgramFolder() + L"\\Tarvo2Admin.exe").c_str(), nullptr, nullptr,
                            SW_SHOWNORMAL);
            break;
        case kStopWaiting:
            myConsole_.StopWait();
            StopEnabled(false);
            break;
        case kSaveStartFolder: settings_->SaveStartDir(controller_->CurrentFolder()); break;
        case kHelp:
            if (options_.ShowHelp) options_.ShowHelp();
            break;
        case kHomePage:
            ::ShellExecuteW(window_.get(), L"open", options_.homePage.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            break;
        case kToggleFindBar: ToggleFindBar(); break;
        case kCopy: controller_->Renderer().CopySelection(); break;
        case kPaste:
            if (!controller_->Renderer().SelectionInHistory()) richEdit_.Methods().Paste();
            break;
        case kSelectAll: richEdit_.Methods().SelectAll(); break;
        default: break;
    }
}

void mainForm::ToggleFindBar() {
    const bool visible = !::IsWindowVisible(bottomBar_.hWnd());
    ::ShowWindow(bottomBar_.hWnd(), visible ? SW_SHOW : SW_HIDE);
    toolBtn_[kToggleFindBar].Value(visible);
    Form_Resize();
    if (visible) ::SetFocus(inputFind_.EdithWnd());
}

bool mainForm::FindNext() {
    SearchOptions search;
    search.wholeWord = ::SendMessageW(chkWholeWord_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    search.matchCase = ::SendMessageW(chkMatchCase_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return tarvo::FindNext(richEdit_.Methods(), inputFind_.Methods().TextGet(), search, options_.Beep);
}

void mainForm::OnFolderActivated(HTREEITEM hNode) {
    if (myConsole_.Busy() || !folderTree_.HasTree()) return;
    const std::wstring path = folderTree_.shTree().FullPathGet(AsNode(hNode));
    if (TextEqualsIgnoringCase(path, controller_->CurrentFolder())) return;
    controller_->ChangeFolderFromOutside(path);
}

void mainForm::Form_KeyDown(WPARAM keyCode, int shift) {
    if (keyCode == VK_F1) {
        ToolBtn_Click(kHelp);
    } else if (shift == kCtrlDown && keyCode == 'G') {
        FindNext();
    } else if (shift == kCtrlDown && keyCode == 'F') {
        ToggleFindBar();
    } else if (shift == kCtrlDown && keyCode == 'N') {
        ToolBtn_Click(kNewWindow);
    }
}

// A Tab that no control took itself moves the focus along the window's tab order.
bool mainForm::MoveFocusOnTab() {
    const bool backward = (CurrentShiftState() & kShiftDown) != 0;
    const HWND next = AcceleratorRouting::NextTabStop(window_.get(), ::GetFocus(), backward);
    if (!next) return false;
    ::SetFocus(next);
    return true;
}

void mainForm::Form_Resize() {
    if (!bigContainer_.hWnd()) return;
    RECT client{};
    ::GetClientRect(window_.get(), &client);
    const bool findBarVisible = ::IsWindowVisible(bottomBar_.hWnd()) != FALSE;
    // The first showing repeats the size the load has laid out already; each pane would repaint for nothing.
    const LaidOut layout{client.right, client.bottom, findBarVisible};
    if (layout == laidOut_) return;
    laidOut_ = layout;
    const int bottom = findBarVisible ? kFindBarHeight : 0;
    ::MoveWindow(topBar_.hWnd(), 0, 0, client.right, kTopBarHeight, TRUE);
    ::MoveWindow(bottomBar_.hWnd(), 0, client.bottom - kFindBarHeight, client.right, kFindBarHeight, TRUE);
    ::MoveWindow(bigContainer_.hWnd(), 0, kTopBarHeight, client.right, client.bottom - kTopBarHeight - bottom, TRUE);
}

void mainForm::LeftTop_Resize() {
    const SIZE inner = leftTop_.ClientSize();
    const RECT syncRect = WindowRectIn(sync_, leftTop_.hWnd());
    const int syncHeight = syncRect.bottom - syncRect.top;
    headerFolders_.Move(Bounds(0, 0, inner.cx, kHeaderHeight));
    folderTree_.Move(Bounds(0, kHeaderHeight, inner.cx, inner.cy - kHeaderHeight - syncHeight));
    ::SetWindowPos(sync_, nullptr, kSyncMargin, inner.cy - syncHeight, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void mainForm::LeftBottom_Resize() {
    const SIZE inner = leftBottom_.ClientSize();
    headerRecent_.Move(Bounds(0, 0, inner.cx, kHeaderHeight));
    prevCmds_.Move(Bounds(0, kHeaderHeight, inner.cx, inner.cy - kHeaderHeight));
}

void mainForm::RefreshPanes() {
    if (!bigContainer_.hWnd() || !::IsWindowVisible(bigContainer_.hWnd())) return;
    richEdit_.Refresh();
    folderTree_.Refresh();
    prevCmds_.Refresh();
}

// Between the runner's polls: the output gathered since the last write, then
// every pending message through the key routing.
void mainForm::PumpDuringRun() {
    controller_->Renderer().OnPumpPass();
    if (!AcceleratorRouting::PumpPending()) myConsole_.StopWait();
}

long mainForm::MsgResponse(UINT&) { return kAfter; }

LRESULT mainForm::WindowProc(HWND, UINT iMsg, WPARAM, LPARAM) {
    if (iMsg == WM_NCPAINT || iMsg == WM_ACTIVATE) RefreshPanes();
    return 0;
}

void mainForm::Form_Unload() {
    HWND hwnd = window_.get();
    MSubclass::DetachMessage(this, hwnd, WM_NCPAINT);
    MSubclass::DetachMessage(this, hwnd, WM_ACTIVATE);
    AcceleratorRouting::PreviewKeysWith(nullptr);
    if (settings_) settings_->SaveWindowSettings(hwnd);
    if (options_.UnloadWindows) options_.UnloadWindows();
    tooltip_.Hide();
    ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
}

LRESULT mainForm::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCCREATE:
            window_.reset(hwnd);
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
        case WM_CREATE:
            AcceleratorRouting::PreviewKeysWith([this](MSG& key) {
                if (key.hwnd != window_.get() && !::IsChild(window_.get(), key.hwnd)) return false;
                // With Alt held the keys come as system keys.
                if (key.message == WM_KEYDOWN || key.message == WM_SYSKEYDOWN) {
                    Form_KeyDown(key.wParam, CurrentShiftState());
                }
                return key.message == WM_KEYDOWN && key.wParam == VK_TAB && MoveFocusOnTab();
            });
            return 0;
        case WM_SIZE:
            Form_Resize();
            return 0;
        case kRootFolderTree:
            RootFolderTree(wParam);
            return 0;
        case WM_SETFOCUS:
            ::SetFocus(richEdit_.RichEdithWnd());
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            ::SetBkColor(reinterpret_cast<HDC>(wParam), kAccent);
            return reinterpret_cast<LRESULT>(accentBrush_.get());
        case WM_CLOSE:
            // The runner's loop is on the stack below us: abandon the child as
            // the stop button does; the close is asked again once the run has
            // returned (posting it now would only come back to this loop).
            if (myConsole_.Busy()) {
                closeAfterRun_ = true;
                myConsole_.StopWait();
                StopEnabled(false);
                return 0;
            }
            Form_Unload();
            ::DestroyWindow(hwnd);
            return 0;
        case WM_QUERYENDSESSION:
            if (settings_) settings_->SaveWindowSettings(hwnd);
            return TRUE;
        case WM_ENDSESSION:
            if (wParam && settings_) settings_->SaveWindowSettings(hwnd);
            return 0;
        case WM_NCDESTROY:
            window_.release();
            ::PostQuitMessage(0);
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
        default:
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace tarvo
