#include "console/command_controller.h"

#include "console/command_line.h"

namespace tarvo {

namespace {
constexpr std::uint32_t kPathNotFound = 3;  // the system's code for a missing folder
}  // namespace

CommandController::CommandController(ConsoleHost host, IConsolePane& pane, IProcessRunner& runner,
                                     IConsoleSystem& system, bool adminMode)
    : host_(std::move(host)), runner_(runner), system_(system), adminMode_(adminMode), renderer_(pane, currentFolder_) {}

void CommandController::Record(const std::wstring& command) {
    if (recent_) recent_->AddRecentCommand(command);
}

void CommandController::NewPrompt() {
    renderer_.AppendText(L"\r\n");
    renderer_.WritePrompt();
}

void CommandController::FollowInTree() {
    if (SyncTicked() && host_.TreeFullPathSet) host_.TreeFullPathSet(currentFolder_);
}

void CommandController::OnCommandEntered() {
    StopEnabled(true);
    const std::wstring typed = renderer_.TakeEnteredLine();
    if (runner_.Busy()) {
        // As in a console: the line stands on its own, the program's answer below it.
        runner_.WriteData(typed);
        renderer_.EndTypedLine();
        return;
    }

    const std::wstring command = NormalizeCommand(typed);
    const CommandClass line = ClassifyCommand(command);
    bool ran = false;
    switch (line.rule) {
        case CommandRule::kEmpty:
            NewPrompt();
            break;
        case CommandRule::kFolderQuery:
            renderer_.AppendText(L"\r\n" + currentFolder_ + L"\r\n");
            renderer_.WritePrompt();
            FollowInTree();
            break;
        case CommandRule::kFolderUp:
            ChangeFolderUp();
            NewPrompt();
            break;
        case CommandRule::kChangeFolder:
            ChangeFolder(line.folder);
            NewPrompt();
            Record(line.record);
            break;
        case CommandRule::kDetachedStart:
            if (!ReportMissingFolder()) StartDetached(line.detached);
            Record(line.record);
            break;
        case CommandRule::kDriveSwitch:
            Record(line.record);
            ChangeFolder(line.folder);
            NewPrompt();
            break;
        case CommandRule::kRunLong:
        case CommandRule::kRunShort:
            ran = !ReportMissingFolder() && RunConsoleCommand(command);
            Record(line.record);
            break;
    }
    if (!ran) StopEnabled(false);
}

bool CommandController::RunConsoleCommand(const std::wstring& command) {
    renderer_.AppendText(L"\r\n");
    // Lines typed during the run start after the command, never inside it.
    renderer_.MarkInputStart();
    const auto code = runner_.RunCommand(ChildCommandLine(system_.ComSpec(), command));
    renderer_.FlushRedraw();
    if (code != 0) {
        renderer_.AppendText(system_.ErrorText(code));
        NewPrompt();
        return false;
    }
    return true;
}

void CommandController::StartDetached(const std::wstring& command) {
    const auto code = runner_.RunWithoutWait(ChildCommandLine(system_.ComSpec(), command));
    if (code != 0) renderer_.AppendText(L"\r\n" + system_.ErrorText(code));
    NewPrompt();
}

void CommandController::myConsole_Complete() {
    const std::wstring typedAhead = renderer_.TakeTypedText();
    NewPrompt();
    renderer_.PutBackTypedText(typedAhead);
    StopEnabled(false);
}

void CommandController::ChangeFolder(const std::wstring& path) { SwitchFolder(path, true); }

void CommandController::ChangeFolderUp() { SwitchFolder(L"..", false); }

void CommandController::SwitchFolder(const std::wstring& path, bool showPath) {
    const std::uint32_t code = system_.EnterFolder(path);
    if (code != 0) {
        renderer_.AppendErrorText(L"\r\n" + system_.ErrorText(code) + (showPath ? path + L"\r\n" : L""));
        return;
    }
    RefreshFolder();
    FollowInTree();
}

bool CommandController::ReportMissingFolder() {
    // Children inherit the process's current directory: it must be the folder the prompt shows.
    if (system_.ReenterFolder(currentFolder_)) return false;
    renderer_.AppendErrorText(L"\r\n" + system_.ErrorText(kPathNotFound) + currentFolder_ + L"\r\n");
    NewPrompt();
    return true;
}

const std::wstring& CommandController::RefreshFolder() {
    const std::wstring folder = system_.CurrentFolder();
    if (!folder.empty()) currentFolder_ = folder;
    if (host_.ShowCaption) host_.ShowCaption(FolderTitle(currentFolder_, adminMode_));
    return currentFolder_;
}

void CommandController::ChangeFolderFromOutside(const std::wstring& path) {
    ChangeFolder(path);
    NewPrompt();
}

}  // namespace tarvo
