#pragma once
// The spine of the console: turns an entered line into a folder query or change,
// a drive switch, a detached start or a child run, writes the framing text around
// it, keeps the console folder and the window title, and feeds the running child.
#include <windows.h>

#include <functional>
#include <string>

#include "console/output_renderer.h"

namespace tarvo {

class clsConsole;
class VRX_RichEdit;
class RecentCommands;

// What the controller needs of the window around it.
struct ConsoleHost {
    HWND mainWindow = nullptr;
    std::function<void(bool enabled)> StopEnabled;
    std::function<bool()> SyncTicked;                        // the folder tree follows the console
    std::function<void(const std::wstring& path)> TreeFullPathSet;
};

class CommandController {
public:
    CommandController(ConsoleHost host, VRX_RichEdit& pane, clsConsole& console, bool adminMode);
    CommandController(const CommandController&) = delete;
    CommandController& operator=(const CommandController&) = delete;

    OutputRenderer& Renderer() noexcept { return renderer_; }
    void RecentCommandList(RecentCommands* recent) noexcept { recent_ = recent; }

    const std::wstring& CurrentFolder() const noexcept { return currentFolder_; }
    void CurrentFolder(const std::wstring& folder) { currentFolder_ = folder; }
    bool AdminMode() const noexcept { return adminMode_; }

    void OnCommandEntered();
    void ChangeFolder(const std::wstring& path);
    void ChangeFolderUp();
    const std::wstring& RefreshFolder();
    bool RunConsoleCommand(const std::wstring& command);
    void myConsole_Complete();
    // A folder change from outside (the folder tree): change, line break, prompt.
    void ChangeFolderFromOutside(const std::wstring& path);

private:
    // `showPath` adds the path and a line break after the system's message.
    void SwitchFolder(const std::wstring& path, bool showPath);
    // Writes the message and a new prompt when the console folder is gone: nothing may run then.
    bool ReportMissingFolder();
    void StartDetached(const std::wstring& command);
    void Record(const std::wstring& command);
    void NewPrompt();
    bool SyncTicked() const { return host_.SyncTicked && host_.SyncTicked(); }
    void StopEnabled(bool enabled) const {
        if (host_.StopEnabled) host_.StopEnabled(enabled);
    }

    ConsoleHost host_;
    VRX_RichEdit& pane_;
    clsConsole& console_;
    RecentCommands* recent_ = nullptr;
    bool adminMode_;
    std::wstring currentFolder_ = L"c:\\";
    OutputRenderer renderer_;
};

// Sets a caption through the Unicode window procedure, so characters outside
// the ANSI code page show.
void SetUnicodeCaption(HWND window, const std::wstring& text);

// The environment's ComSpec, read afresh; empty when unset.
std::wstring ComSpecValue();

}  // namespace tarvo
