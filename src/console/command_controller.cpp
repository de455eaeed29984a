#include "console/command_controller.h"

#include "console/cls_console.h"
#include "console/command_line.h"
#include "console/recent_commands.h"
#include "controls/rich_edit.h"
#include "common/win_api_error.h"

namespace tarvo {

void SetUnicodeCaption(HWND window, const std::wstring& text) {
    ::DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

namespace {

// The longest folder a current directory can hold, without its trailing backslash and terminator.
constexpr std::size_t kMaxFolderLength = MAX_PATH - 2;

// The length of the full form of `path`, a trailing backslash not counted; 0 when it has none.
std::size_t FullPathLength(const std::wstring& path) {
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size <= 1) return 0;  // no full form: the change itself reports why
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return 0;
    full.resize(length);
    // The system adds the backslash itself: with or without one, a folder takes the same room.
    if (full.size() > 3 && full.back() == L'\\') full.pop_back();
    return full.size();
}

// 0 when `path` became the process's current directory, else the reason it did not.
DWORD EnterFolder(const std::wstring& path) {
    if (FullPathLength(path) > kMaxFolderLength) return ERROR_FILENAME_EXCED_RANGE;
    return ::SetCurrentDirectoryW(path.c_str()) ? ERROR_SUCCESS : ::GetLastError();
}

}  // namespace

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
    StopEnabled(true);
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
    const auto code = console_.RunCommand(ChildCommandLine(ComSpecValue(), command));
    renderer_.FlushRedraw();
    if (code != 0) {
        renderer_.AppendText(ApiErrorText(code));
        NewPrompt();
        return false;
    }
    return true;
}

void CommandController::StartDetached(const std::wstring& command) {
    const auto code = console_.RunWithoutWait(ChildCommandLine(ComSpecValue(), command));
    if (code != 0) renderer_.AppendText(L"\r\n" + ApiErrorText(code));
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
    const DWORD code = EnterFolder(path);
    if (code != ERROR_SUCCESS) {
        renderer_.AppendErrorText(L"\r\n" + ApiErrorText(code) + (showPath ? path + L"\r\n" : L""));
        return;
    }
    RefreshFolder();
    if (SyncTicked() && host_.TreeFullPathSet) host_.TreeFullPathSet(currentFolder_);
}

bool CommandController::ReportMissingFolder() {
    const DWORD attributes = ::GetFileAttributesW(currentFolder_.c_str());
    const bool there = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Children inherit the process's current directory: it must be the folder the prompt shows.
    if (there && ::SetCurrentDirectoryW(currentFolder_.c_str())) return false;
    renderer_.AppendErrorText(L"\r\n" + ApiErrorText(ERROR_PATH_NOT_FOUND) + currentFolder_ + L"\r\n");
    NewPrompt();
    return true;
}

const std::wstring& CommandController::RefreshFolder() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = size > 0 ? ::GetCurrentDirectoryW(size, folder.data()) : 0;
    if (length > 0 && length < size) currentFolder_.assign(folder.data(), length);
    if (host_.mainWindow) SetUnicodeCaption(host_.mainWindow, FolderTitle(currentFolder_, adminMode_));
    return currentFolder_;
}

void CommandController::ChangeFolderFromOutside(const std::wstring& path) {
    ChangeFolder(path);
    NewPrompt();
}

}  // namespace tarvo
