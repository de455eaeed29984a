#include "console/console_system.h"

#include <cstring>

#include "common/handles.h"
#include "common/win_api_error.h"
#include "console/process_runner.h"
#include "console/rich_edit_pane.h"

namespace tarvo {

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

// The pane's work for a piece, measured as this thread's processor time: on a
// busy machine the wall clock would shrink the pieces just when each append
// costs the most.
double ThreadMilliseconds() {
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto value = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(value(kernel) + value(user)) / 10000.0;
}

bool InputWaiting() { return HIWORD(::GetQueueStatus(QS_INPUT)) != 0; }

// The adapters live as long as the controller that works over them.
struct WindowConsoleParts {
    explicit WindowConsoleParts(VRX_RichEdit& edit) : pane(edit) {}
    RichEditPane pane;
    SystemConsole system;
};

class WindowCommandController : private WindowConsoleParts, public CommandController {
public:
    WindowCommandController(ConsoleHost host, VRX_RichEdit& edit, clsConsole& runner, bool adminMode)
        : WindowConsoleParts(edit),
          CommandController(std::move(host), WindowConsoleParts::pane, runner, WindowConsoleParts::system, adminMode) {}
};

}  // namespace

std::uint32_t SystemConsole::EnterFolder(const std::wstring& path) {
    if (FullPathLength(path) > kMaxFolderLength) return ERROR_FILENAME_EXCED_RANGE;
    return ::SetCurrentDirectoryW(path.c_str()) ? ERROR_SUCCESS : ::GetLastError();
}

bool SystemConsole::ReenterFolder(const std::wstring& folder) {
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    const bool there = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return there && ::SetCurrentDirectoryW(folder.c_str());
}

std::wstring SystemConsole::CurrentFolder() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = size > 0 ? ::GetCurrentDirectoryW(size, folder.data()) : 0;
    if (length == 0 || length >= size) return {};
    folder.resize(length);
    return folder;
}

std::wstring SystemConsole::ErrorText(std::uint32_t code) { return ApiErrorText(code); }

std::wstring SystemConsole::ComSpec() { return ComSpecValue(); }

std::unique_ptr<CommandController> MakeWindowCommandController(ConsoleHost host, HWND mainWindow, VRX_RichEdit& edit,
                                                               clsConsole& runner, bool adminMode) {
    if (mainWindow) host.ShowCaption = [mainWindow](const std::wstring& text) { SetUnicodeCaption(mainWindow, text); };
    auto controller = std::make_unique<WindowCommandController>(std::move(host), edit, runner, adminMode);
    controller->Renderer().Hooks(
        {ThreadMilliseconds, InputWaiting, [mainWindow](const std::wstring& text) { CopyToClipboard(mainWindow, text); }});
    return controller;
}

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

void CopyToClipboard(HWND owner, const std::wstring& text) {
    clipboard_scope clipboard(owner);
    if (!clipboard.is_open()) return;
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    unique_hglobal block(::GlobalAlloc(0, bytes));
    if (!block) return;
    void* memory = ::GlobalLock(block.get());
    if (!memory) return;
    std::memcpy(memory, text.c_str(), bytes);
    ::GlobalUnlock(block.get());
    // Once the clipboard took the block, it frees it.
    if (::SetClipboardData(CF_UNICODETEXT, block.get())) block.release();
}

}  // namespace tarvo
