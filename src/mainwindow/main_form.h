#pragma once
// The program's one main window: the working area holds the left pane (recent
// commands) and the console pane; the console itself is the command controller.
#include <windows.h>

#include <memory>
#include <string>

#include "common/handles.h"
#include "console/cls_console.h"
#include "console/command_controller.h"
#include "console/recent_commands.h"
#include "controls/list_box.h"
#include "controls/msubclass.h"
#include "controls/rich_edit.h"

namespace tarvo {

class mainForm final : public ISubclass {
public:
    mainForm();
    mainForm(const mainForm&) = delete;
    mainForm& operator=(const mainForm&) = delete;
    ~mainForm();

    // Creates the window and runs its load handler; `startFolder` is the
    // command-line folder (quotes already removed), empty for the stored one.
    bool Load(const std::wstring& startFolder, bool adminMode);

    HWND hWnd() const noexcept { return window_.get(); }
    VRX_RichEdit& RichEdit() noexcept { return richEdit_; }
    VRX_ListBox& PrevCmds() noexcept { return prevCmds_; }
    clsConsole& myConsole() noexcept { return myConsole_; }
    CommandController& Console() noexcept { return *controller_; }
    bool StopEnabled() const noexcept { return stopEnabled_; }
    void StopWaiting();

    long MsgResponse(UINT& currentMessage) override;
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void SetUpConsole(bool adminMode);
    void WireConsolePane();
    void WireRecentList();
    void PumpDuringRun();
    void Form_Resize();
    void LayOutWorkingArea();
    void RefreshPanes();
    void Form_Unload();

    unique_hwnd window_;
    HWND bigContainer_ = nullptr;
    HWND picLeft_ = nullptr;
    clsConsole myConsole_;
    VRX_RichEdit richEdit_;
    VRX_ListBox prevCmds_;
    std::unique_ptr<CommandController> controller_;
    std::unique_ptr<RecentCommands> recent_;
    bool stopEnabled_ = false;
    bool closeAfterRun_ = false;
    int leftPaneWidth_ = 200;
};

}  // namespace tarvo
