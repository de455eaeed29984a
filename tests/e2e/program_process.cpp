#include "program_process.h"

namespace tarvo::e2e {

namespace {

constexpr UINT kAnswerMs = 1000;

struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && (!search.visibleOnly || ::IsWindowVisible(window))) search.found.push_back(window);
    return TRUE;
}

struct DescendantSearch {
    std::wstring_view className;
    const std::wstring* text;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDescendant(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<DescendantSearch*>(context);
    if (ClassNameOf(window) != search.className) return TRUE;
    if (search.text && WindowText(window) != *search.text) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length)) return {};
    // A rich edit may count a line break as one unit here and hand out CR LF.
    std::wstring text(length * 2 + 64, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, kAnswerMs, &copied)) {
        return {};
    }
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

HWND FindDescendant(HWND parent, std::wstring_view className, const std::wstring* text) {
    DescendantSearch search{className, text};
    ::EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ProgramProcess::Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& currentFolder) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    return StartCommandLine(std::move(commandLine), currentFolder);
}

bool ProgramProcess::StartCommandLine(std::wstring commandLine, const std::wstring& currentFolder) {
    End();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started)) {
        return false;
    }
    unique_handle thread(started.hThread);
    process_.reset(started.hProcess);
    id_ = started.dwProcessId;
    return true;
}

std::optional<DWORD> RunToEnd(std::wstring commandLine, DWORD timeoutMs) {
    const unique_handle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job) return std::nullopt;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                          &startup, &started)) {
        return std::nullopt;
    }
    const unique_handle process(started.hProcess);
    const unique_handle thread(started.hThread);
    // Suspended until it is in the job, so that nothing it starts escapes the wait.
    if (!::AssignProcessToJobObject(job.get(), process.get())) {
        ::TerminateProcess(process.get(), 1);
        return std::nullopt;
    }
    ::ResumeThread(thread.get());
    const bool ended = WaitUntil(
        [&] {
            JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
            return ::QueryInformationJobObject(job.get(), JobObjectBasicAccountingInformation, &accounting,
                                               sizeof(accounting), nullptr) &&
                   accounting.ActiveProcesses == 0;
        },
        timeoutMs);
    DWORD exitCode = 0;
    if (!ended || !::GetExitCodeProcess(process.get(), &exitCode)) {
        ::TerminateJobObject(job.get(), 1);
        return std::nullopt;
    }
    return exitCode;
}

bool ProgramProcess::Running() const { return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool ProgramProcess::WaitForExit(DWORD timeoutMs) const {
    return !process_ || ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

std::vector<HWND> ProgramProcess::TopWindows(bool visibleOnly) const {
    WindowSearch search{id_, visibleOnly, {}};
    if (process_) ::EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramProcess::FindTopWindow(std::wstring_view className) const {
    for (HWND window : TopWindows(false)) {
        if (ClassNameOf(window) == className) return window;
    }
    return nullptr;
}

HWND ProgramProcess::WaitForVisibleWindow(std::wstring_view className, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindTopWindow(className);
            return (found && ::IsWindowVisible(found)) || !Running();
        },
        timeoutMs);
    return found && ::IsWindowVisible(found) ? found : nullptr;
}

bool ProgramProcess::End(DWORD graceMs) {
    if (!process_) return true;
    if (Running()) {
        if (HWND main = FindTopWindow(kMainWindowClass)) {
            ::PostMessageW(main, WM_CLOSE, 0, 0);
        } else {
            for (HWND window : TopWindows(true)) ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }
    const bool endedItself = WaitForExit(graceMs);
    if (!endedItself) {
        ::TerminateProcess(process_.get(), 1);
        WaitForExit(graceMs);
    }
    process_.reset();
    id_ = 0;
    return endedItself;
}

HWND ConsolePane(HWND mainWindow) { return mainWindow ? FindDescendant(mainWindow, kPaneClass) : nullptr; }

std::wstring WaitForPrompt(HWND pane, DWORD timeoutMs) {
    std::wstring text;
    const bool prompted = WaitUntil(
        [&] {
            text = WindowText(pane);
            return !text.empty() && text.back() == L'>';
        },
        timeoutMs);
    return prompted ? text : std::wstring();
}

}  // namespace tarvo::e2e
