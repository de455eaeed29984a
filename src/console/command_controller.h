#pragma once
// CommandController: the spine of the console. Turns an entered line into a
// folder query or change, a drive switch, a detached start or a child run,
// writes the framing text around it, keeps the console folder and the window
// title, and feeds the running child. The runner, the system and the pane
// come in through interfaces.
#include <cstdint>
#include <functional>
#include <string>

#include "console/output_renderer.h"

namespace tarvo {

// What the controller needs of the window around it; each part may be left empty.
struct ConsoleHost {
    std::function<void(bool enabled)> StopEnabled;
    std::function<bool()> SyncTicked;  // the folder tree follows the console
    std::function<void(const std::wstring& path)> TreeFullPathSet;
    std::function<void(const std::wstring& caption)> ShowCaption;
};

// The process runner as the controller uses it; codes are the system's, 0 for success.
class IProcessRunner {
public:
    virtual ~IProcessRunner() = default;
    virtual bool Busy() const noexcept = 0;
    virtual std::int32_t WriteData(const std::wstring& line) = 0;
    virtual std::uint32_t RunCommand(const std::wstring& commandLine) = 0;
    virtual std::uint32_t RunWithoutWait(const std::wstring& commandLine) = 0;
};

// The folders and texts the controller takes from the system.
class IConsoleSystem {
public:
    virtual ~IConsoleSystem() = default;
    // 0 when `path` became the process's current directory, else the reason it did not.
    virtual std::uint32_t EnterFolder(const std::wstring& path) = 0;
    // True when `folder` still exists and is the process's current directory again.
    virtual bool ReenterFolder(const std::wstring& folder) = 0;
    // The process's current directory; empty when it cannot be read.
    virtual std::wstring CurrentFolder() = 0;
    // The system's message for a code, ending in a line break.
    virtual std::wstring ErrorText(std::uint32_t code) = 0;
    virtual std::wstring ComSpec() = 0;
};

class IRecentList {
public:
    virtual ~IRecentList() = default;
    virtual void AddRecentCommand(const std::wstring& command) = 0;
};

class CommandController {
public:
    CommandController(ConsoleHost host, IConsolePane& pane, IProcessRunner& runner, IConsoleSystem& system,
                      bool adminMode);
    virtual ~CommandController() = default;
    CommandController(const CommandController&) = delete;
    CommandController& operator=(const CommandController&) = delete;

    OutputRenderer& Renderer() noexcept { return renderer_; }
    void RecentCommandList(IRecentList* recent) noexcept { recent_ = recent; }

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
    void FollowInTree();
    bool SyncTicked() const { return host_.SyncTicked && host_.SyncTicked(); }
    void StopEnabled(bool enabled) const {
        if (host_.StopEnabled) host_.StopEnabled(enabled);
    }

    ConsoleHost host_;
    IProcessRunner& runner_;
    IConsoleSystem& system_;
    IRecentList* recent_ = nullptr;
    bool adminMode_;
    std::wstring currentFolder_ = L"c:\\";
    OutputRenderer renderer_;
};

}  // namespace tarvo
