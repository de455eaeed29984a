#pragma once
// A program started as a separate process and looked at from outside: its
// top-level windows, the texts of their children, and its end.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/handles.h"
#include "test_support.h"

namespace tarvo::e2e {

// The start-up benchmark reaches these through this namespace as well.
using test::ExeFolder;
using test::WaitUntil;

std::wstring ClassNameOf(HWND window);
// The window's text through WM_GETTEXT, which the system carries across
// processes; a window that does not answer within a second gives "".
std::wstring WindowText(HWND window);
// The first descendant of `parent` of the class.
HWND FindDescendant(HWND parent, std::wstring_view className);

class ProgramProcess {
public:
    ProgramProcess() = default;
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;
    ~ProgramProcess() { End(); }

    // Starts "exe" followed by `arguments` (already quoted as needed) in `currentFolder`.
    bool Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& currentFolder) {
        return StartCommandLine(L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments), currentFolder);
    }
    // Starts a whole command line, the program found from its first word as the shell does.
    bool StartCommandLine(std::wstring commandLine, const std::wstring& currentFolder);

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    bool Running() const { return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    bool WaitForExit(DWORD timeoutMs) const {
        return !process_ || ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
    }
    // Top-level windows of this process, visible ones only when asked.
    std::vector<HWND> TopWindows(bool visibleOnly) const;
    HWND FindTopWindow(std::wstring_view className) const;
    // Waits for a visible top-level window of the class; null when none came.
    HWND WaitForVisibleWindow(std::wstring_view className, DWORD timeoutMs) const;

    // Closes the main window, or every visible window when there is none, the
    // way a user would; terminates the process when that has not ended it
    // within `graceMs`. Answers whether the process ended by itself.
    bool End(DWORD graceMs = 15000);

private:
    unique_handle process_;
    DWORD id_ = 0;
};

// Runs a command line and waits until it and every process it started have
// ended (an uninstaller hands its work to a copy of itself and returns at once).
// Answers the first process's exit code; nothing when it could not start or
// the processes were still running after `timeoutMs` (they are ended then).
std::optional<DWORD> RunToEnd(std::wstring commandLine, DWORD timeoutMs);

// The program's main window and its console pane.
inline constexpr wchar_t kMainWindowClass[] = L"TarvoMainForm";
inline HWND ConsolePane(HWND mainWindow) { return mainWindow ? FindDescendant(mainWindow, L"RichEdit20W") : nullptr; }
// The pane's text once it ends in a prompt (">"); "" when that did not happen in time.
std::wstring WaitForPrompt(HWND pane, DWORD timeoutMs);

}  // namespace tarvo::e2e
