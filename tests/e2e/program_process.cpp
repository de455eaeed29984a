#include "program_process.h"

#include <algorithm>

namespace tarvo::e2e {

namespace {

// Calls `visit` for each top-level window (no parent) or each descendant of `parent` until it answers FALSE.
template <typename Visit>
void EachWindow(HWND parent, Visit visit) {
    const WNDENUMPROC callback = [](HWND window, LPARAM context) { return (*reinterpret_cast<Visit*>(context))(window); };
    if (parent) ::EnumChildWindows(parent, callback, reinterpret_cast<LPARAM>(&visit));
    else ::EnumWindows(callback, reinterpret_cast<LPARAM>(&visit));
}

}  // namespace

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    return std::wstring(name, static_cast<std::size_t>(std::max(::GetClassNameW(window, name, 256), 0)));
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0, copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length)) return {};
    // A rich edit may count a line break as one unit here and hand out CR LF.
    std::wstring text(length * 2 + 64, L'\0');
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                               1000, &copied)) {
        return {};
    }
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

HWND FindDescendant(HWND parent, std::wstring_view className) {
    HWND found = nullptr;
    EachWindow(parent, [&](HWND window) -> BOOL { return !(found = ClassNameOf(window) == className ? window : nullptr); });
    return found;
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
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!job || !::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                  nullptr, &startup, &started)) {
        return std::nullopt;
    }
    const unique_handle process(started.hProcess), thread(started.hThread);
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
                                               sizeof(accounting), nullptr) && accounting.ActiveProcesses == 0;
        },
        timeoutMs);
    DWORD exitCode = 0;
    if (!ended || !::GetExitCodeProcess(process.get(), &exitCode)) {
        ::TerminateJobObject(job.get(), 1);
        return std::nullopt;
    }
    return exitCode;
}

std::vector<HWND> ProgramProcess::TopWindows(bool visibleOnly) const {
    std::vector<HWND> found;
    EachWindow(nullptr, [&](HWND window) -> BOOL {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (process_ && owner == id_ && (!visibleOnly || ::IsWindowVisible(window))) found.push_back(window);
        return TRUE;
    });
    return found;
}

HWND ProgramProcess::FindTopWindow(std::wstring_view className) const {
    for (HWND window : TopWindows(false)) {
        if (ClassNameOf(window) == className) return window;
    }
    return nullptr;
}

HWND ProgramProcess::WaitForVisibleWindow(std::wstring_view className, DWORD timeoutMs) const {
    HWND found = nullptr;
    const auto visible = [&] { return (found = FindTopWindow(className)) && ::IsWindowVisible(found); };
    WaitUntil([&] { return visible() || !Running(); }, timeoutMs);
    return visible() ? found : nullptr;
}

bool ProgramProcess::End(DWORD graceMs) {
    if (!process_) return true;
    HWND main = Running() ? FindTopWindow(kMainWindowClass) : nullptr;
    for (HWND window : main ? std::vector<HWND>{main} : Running() ? TopWindows(true) : std::vector<HWND>{}) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
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

std::wstring WaitForPrompt(HWND pane, DWORD timeoutMs) {
    std::wstring text;
    return WaitUntil([&] { return !(text = WindowText(pane)).empty() && text.back() == L'>'; }, timeoutMs) ? text : L"";
}

}  // namespace tarvo::e2e
