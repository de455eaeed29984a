#include "console/command_controller.h"

#include "console/cls_console.h"
#include "console/command_line.h"
#include "console/recent_commands.h"
#include "controls/rich_edit.h"
#include "mainwindow/win_api_error.h"

namespace tarvo {

void SetUnicodeCaption(HWND window, const std::wstring& text) {
    ::DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring ComSpecValue() {
    const DWORD size = ::GetEnvironmentVariableW(L"ComSpec", nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(L"ComSpec", value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

CommandController::CommandController(ConsoleHost host, VRX_RichEdit& pane, clsConsole& console, bool adminMode)
    : host_(std::move(host)), pane_(pane), console_(console), adminMode_(adminMode), renderer_(pane, currentFolder_) {}

void CommandController::Record(const std::wstring& command) {
    if (recent_) recent_->AddRecentCommand(command);
}

void CommandController::NewPrompt() {
    renderer_.AppendText(L"\r\n");
    renderer_.WritePrompt();
}

void CommandController::OnCommandEntered() {
    SetStopEnabled(true);
    auto& behavior = pane_.Behavior();
    auto& methods = pane_.Methods();
    behavior.Redraw(false);
    behavior.WantEvents(false);
    const std::wstring typed = methods.TextInRangeGet(renderer_.InputStart(), methods.CharacterCount());
    // Only the typed line is new history; everything before it is protected already.
    methods.SelectionCharRangeSet(renderer_.InputStart(), -1);
    methods.FormatProtectedSet(true, 1);
    renderer_.CaretToEnd();
    behavior.WantEvents(true);
    behavior.Redraw(true);

    if (console_.Busy()) {
        // As in a console: the line stands on its own, the program's answer below it.
        console_.WriteData(typed);
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
            if (SyncTicked() && host_.TreeFullPathSet) host_.TreeFullPathSet(currentFolder_);
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
        case CommandRule::kDetachedStart: {
            const auto code = console_.RunWithoutWait(ChildCommandLine(ComSpecValue(), line.detached));
            if (code != 0) renderer_.AppendText(L"\r\n" + ApiErrorText(code));
            NewPrompt();
            Record(line.record);
            break;
        }
        case CommandRule::kDriveSwitch:
            Record(line.record);
            ChangeFolder(line.folder);
            NewPrompt();
            break;
        case CommandRule::kRunLong:
        case CommandRule::kRunShort:
            ran = RunConsoleCommand(command);
            Record(line.record);
            break;
    }
    if (!ran) SetStopEnabled(false);
}

bool CommandController::RunConsoleCommand(const std::wstring& command) {
    renderer_.AppendText(L"\r\n");
    // Lines typed during the run start after the command, never inside it.
    renderer_.MarkInputStart();
    const auto code = console_.RunCommand(ChildCommandLine(ComSpecValue(), command));
    renderer_.FlushRedraw();
    if (code != 0) {
        renderer_.AppendText(ApiErrorText(code));
        NewPrompt();
        return false;
    }
    return true;
}

void CommandController::myConsole_Complete() {
    const std::wstring typedAhead = renderer_.TakeTypedText();
    NewPrompt();
    renderer_.PutBackTypedText(typedAhead);
    SetStopEnabled(false);
}

void CommandController::ChangeFolder(const std::wstring& path) { SwitchFolder(path, path); }

void CommandController::ChangeFolderUp() { SwitchFolder(L"..", L""); }

void CommandController::SwitchFolder(const std::wstring& path, const std::wstring& errorSuffix) {
    if (!::SetCurrentDirectoryW(path.c_str())) {
        const DWORD code = ::GetLastError();
        renderer_.AppendErrorText(L"\r\n" + ApiErrorText(code) + errorSuffix + (errorSuffix.empty() ? L"" : L"\r\n"));
        return;
    }
    RefreshFolder();
    if (SyncTicked() && host_.TreeFullPathSet) host_.TreeFullPathSet(currentFolder_);
}

const std::wstring& CommandController::RefreshFolder() {
    wchar_t buffer[261] = {};
    const DWORD length = ::GetCurrentDirectoryW(261, buffer);
    if (length > 0 && length < 261) currentFolder_.assign(buffer, length);
    if (host_.mainWindow) SetUnicodeCaption(host_.mainWindow, FolderTitle(currentFolder_, adminMode_));
    return currentFolder_;
}

void CommandController::ChangeFolderFromOutside(const std::wstring& path) {
    ChangeFolder(path);
    NewPrompt();
}

}  // namespace tarvo
