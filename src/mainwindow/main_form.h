#pragma once
// mainForm: the main window.
// The program's one main window: a toolbar along the top, the find bar along
// the bottom, and between them the working area: the folder tree above the
// recent commands on the left, the console pane on the right.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "common/handles.h"
#include "console/process_runner.h"
#include "console/command_controller.h"
#include "console/recent_commands.h"
#include "controls/input_box.h"
#include "controls/list_box.h"
#include "controls/message_hooks.h"
#include "controls/rich_edit.h"
#include "controls/splitter.h"
#include "controls/button_bar.h"
#include "controls/speech_bubble.h"
#include "controls/style_button.h"
#include "controls/style_button_attention.h"
#include "controls/panel.h"
#include "mainwindow/settings.h"
#include "shelltree/folder_tree_view.h"

namespace tarvo {

enum ToolButton : int {
    kNewWindow = 0,
    kNewAdminWindow = 1,
    kStopWaiting = 2,
    kSaveStartFolder = 3,
    kHelp = 4,
    kHomePage = 5,
    kToggleFindBar = 6,
    kCopy = 7,
    kPaste = 8,
    kSelectAll = 9,
    kToolButtonCount = 10,
};

struct MainFormOptions {
    std::wstring startFolder;  // from the command line, quotes removed; empty for the stored one
    bool adminMode = false;
    SettingsLocation settings;
    std::wstring homePage;
    std::function<void()> ShowHelp;        // the help browser, shown modelessly
    std::function<void()> UnloadWindows;   // the help browser and the splash, at unload
    std::function<void()> Beep = [] { ::MessageBeep(MB_OK); };
    int osMajorVersion = 0;                // 0: ask the system
    std::function<void(const char* step)> StepDone;  // each step of the load as it ends
};

class mainForm final : public ISubclass {
public:
    static constexpr int kTopBarHeight = 32;
    static constexpr int kFindBarHeight = 28;
    static constexpr int kHeaderHeight = 24;
    static constexpr COLORREF kAccent = 0xFFD1AD;

    mainForm();
    mainForm(const mainForm&) = delete;
    mainForm& operator=(const mainForm&) = delete;
    ~mainForm();

    // Creates the window, not shown and not loaded yet.
    bool Create(MainFormOptions options);
    // Runs the load handler of the created window, which ends by showing it;
    // the folder tree is rooted once the loop has answered for the first prompt.
    bool Load();
    // Both.
    bool Load(MainFormOptions options) { return Create(std::move(options)) && Load(); }

    HWND hWnd() const noexcept { return window_.get(); }
    VRX_RichEdit& RichEdit() noexcept { return richEdit_; }
    VRX_ListBox& PrevCmds() noexcept { return prevCmds_; }
    VRX_SysFolderTreeView& FolderTree() noexcept { return folderTree_; }
    VRX_InputBox& InputFind() noexcept { return inputFind_; }
    VRX_StyleButton& ToolBtn(int index) { return toolBtn_.at(static_cast<std::size_t>(index)); }
    VRX_StyleButton& FindBtn(int index) { return index == 0 ? findLabel_ : findButton_; }
    Splitter& SplitVer() noexcept { return splitVer_; }
    Splitter& SplitHor() noexcept { return splitHor_; }
    HWND BigContainer() const noexcept { return bigContainer_.hWnd(); }
    HWND PicLeft() const noexcept { return picLeft_.hWnd(); }
    HWND LeftTop() const noexcept { return leftTop_.hWnd(); }
    HWND LeftBottom() const noexcept { return leftBottom_.hWnd(); }
    HWND BottomBar() const noexcept { return bottomBar_.hWnd(); }
    HWND TopBar() const noexcept { return topBar_.hWnd(); }
    HWND SyncBox() const noexcept { return sync_; }
    HWND MatchCaseBox() const noexcept { return chkMatchCase_; }
    HWND WholeWordBox() const noexcept { return chkWholeWord_; }
    HMENU MenuEdit() const noexcept { return menuEdit_.get(); }
    frmFakeToolTip& ToolTip() noexcept { return tooltip_; }
    clsConsole& myConsole() noexcept { return myConsole_; }
    CommandController& Console() noexcept { return *controller_; }
    bool StopEnabled() const;

    // The commands of the toolbar, the keys and the Edit menu.
    void ToolBtn_Click(int index);
    void ToggleFindBar();
    bool FindNext();
    void OnFolderActivated(HTREEITEM hNode);
    // The window's key preview: never swallows the key.
    void Form_KeyDown(WPARAM keyCode, int shift);
    bool MoveFocusOnTab();
    void Form_Resize();
    // The runner's pump between polls: gathered output, then every pending message.
    void PumpDuringRun();

    long MsgResponse(UINT& currentMessage) override;
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

private:
    struct LaidOut {
        long width = -1, height = -1;
        bool findBar = false;
        bool operator==(const LaidOut&) const = default;
    };
    LaidOut laidOut_;
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool CreateMainWindow();
    void PrepareConsole();
    void PrepareWorkingArea();
    void PrepareFindBar();
    void PrepareToolbar();
    void PrepareFolderTree();
    void PrepareEditMenu();
    void RootFolderTree(WPARAM step);
    void StepDone(const char* step) const;
    void LayOutToolbar();
    void LeftTop_Resize();
    void LeftBottom_Resize();
    void RefreshPanes();
    void StopEnabled(bool enabled);
    void ShowEditMenu();
    void RunEditCommand(int index);
    bool AdminButtonHidden() const;
    void Form_Unload();

    MainFormOptions options_;
    unique_hwnd window_;
    frmFakeToolTip tooltip_;
    std::unique_ptr<StyleButtonAttention> stopTip_;
    std::unique_ptr<WindowSettings> settings_;
    LoadedSettings loaded_;

    VRX_ButtonBar topBar_;
    std::array<VRX_StyleButton, kToolButtonCount> toolBtn_;
    VRX_ButtonBar bottomBar_;
    VRX_StyleButton findLabel_, findButton_;
    VRX_InputBox inputFind_;
    HWND chkMatchCase_ = nullptr, chkWholeWord_ = nullptr;

    Panel bigContainer_, picLeft_, leftTop_, leftBottom_;
    Splitter splitVer_, splitHor_;
    VRX_RichEdit richEdit_;
    VRX_StyleButton headerFolders_, headerRecent_;
    VRX_SysFolderTreeView folderTree_;
    HWND sync_ = nullptr;
    VRX_ListBox prevCmds_;
    unique_hmenu menuEdit_;
    unique_hbrush accentBrush_;

    clsConsole myConsole_;
    bool closeAfterRun_ = false;
    std::unique_ptr<CommandController> controller_;
    std::unique_ptr<RecentCommands> recent_;
};

}  // namespace tarvo
