#include "console/process_runner.h"

#include <chrono>
#include <vector>

#include "console/echo_skip.h"
#include "console/system_oem.h"
#include "controls/accelerator_routing.h"

namespace tarvo {

namespace {

// Declared so that destruction runs in the documented close order: error pipe
// (write, read), output pipe (write, read), input pipe (write, read).
struct PipeHandles {
    unique_handle inRead, inWrite, outRead, outWrite, errRead, errWrite;
};

DWORD CreateInheritablePipe(unique_handle& readEnd, unique_handle& writeEnd) {
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    if (!::CreatePipe(&r, &w, &security, 0)) return ::GetLastError();
    readEnd.reset(r);
    writeEnd.reset(w);
    return 0;
}

DWORD MakeNonBlocking(HANDLE readEnd) {
    DWORD mode = PIPE_NOWAIT;
    return ::SetNamedPipeHandleState(readEnd, &mode, nullptr, nullptr) ? 0 : ::GetLastError();
}

}  // namespace

clsConsole::clsConsole() : outDecoder_(SystemOemDecoding()), errDecoder_(SystemOemDecoding()) {
    pump_ = [this] {
        if (!AcceleratorRouting::PumpPending()) StopWait();
    };
}

void clsConsole::MessagePump(std::function<void()> pump) { pump_ = std::move(pump); }

std::uint32_t clsConsole::RunWithoutWait(const std::wstring& strCommand) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = strCommand;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return ::GetLastError();
    }
    const process_handles started(process);  // runs on by itself
    return 0;
}

std::uint32_t clsConsole::RunCommand(const std::wstring& strCommand) {
    struct BusyScope {
        clsConsole& owner;
        ~BusyScope() {
            owner.busy_ = false;
            owner.stdInWrite_ = nullptr;
            owner.echoSkip_.Clear();
        }
    } busyScope{*this};
    busy_ = true;
    stop_ = false;
    echoSkip_.Clear();
    outDecoder_.Flush();  // nothing of an earlier run carries over
    errDecoder_.Flush();

    PipeHandles pipes;
    if (DWORD e = CreateInheritablePipe(pipes.outRead, pipes.outWrite)) return e;
    if (DWORD e = MakeNonBlocking(pipes.outRead.get())) return e;
    if (DWORD e = CreateInheritablePipe(pipes.errRead, pipes.errWrite)) return e;
    if (DWORD e = MakeNonBlocking(pipes.errRead.get())) return e;
    if (DWORD e = CreateInheritablePipe(pipes.inRead, pipes.inWrite)) return e;

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = pipes.inRead.get();
    startup.hStdOutput = pipes.outWrite.get();
    startup.hStdError = pipes.errWrite.get();
    PROCESS_INFORMATION info{};
    std::wstring commandLine = strCommand;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        return ::GetLastError();
    }
    // Declared after the pipes, so an exception from a handler closes these first too.
    process_handles child(info);
    stdInWrite_ = pipes.inWrite.get();

    DWORD waitMilliseconds = kPollMilliseconds;
    for (;;) {
        pump_();
        if (stop_) break;
        // Wakes early for input or the child's exit; no wait while output is streaming.
        HANDLE process = child.process.get();
        ::MsgWaitForMultipleObjects(1, &process, FALSE, waitMilliseconds, QS_ALLINPUT);
        bool busyPane = Paused();
        bool gotData = false;
        if (!busyPane) {
            gotData = PollPipe(pipes.outRead.get(), true);
            gotData = PollPipe(pipes.errRead.get(), false) || gotData;
        }
        pump_();
        if (::WaitForSingleObject(child.process.get(), 0) == WAIT_OBJECT_0) break;
        waitMilliseconds = gotData || busyPane ? 0 : kPollMilliseconds;
    }
    Drain(pipes.outRead.get(), true);
    Raise(outDecoder_.Flush(), true);
    Drain(pipes.errRead.get(), false);
    Raise(errDecoder_.Flush(), false);
    WaitForOwnerToCatchUp();

    stdInWrite_ = nullptr;
    child.process.reset();
    child.thread.reset();
    pipes.errWrite.reset();
    pipes.errRead.reset();
    pipes.outWrite.reset();
    pipes.outRead.reset();
    pipes.inWrite.reset();
    pipes.inRead.reset();

    if (Complete) Complete();
    return 0;
}

// A non-blocking ReadFile may still block under some pipe implementations, so
// only read what the pipe says is waiting.
bool clsConsole::ReadChunk(HANDLE pipe, DWORD& bytesRead) {
    DWORD available = 0;
    bytesRead = 0;
    if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return false;
    const DWORD wanted = available < kChunkBytes ? available : kChunkBytes;
    return ::ReadFile(pipe, buffer_, wanted, &bytesRead, nullptr) && bytesRead > 0;
}

bool clsConsole::PollPipe(HANDLE pipe, bool isStdOut) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kReadBudgetMilliseconds);
    bool gotData = false;
    while (!Paused() && ReadChunk(pipe, bytesRead_)) {
        gotData = true;
        RaiseChunk(bytesRead_, isStdOut);
        if (Clock::now() >= deadline) break;
    }
    return gotData;
}

void clsConsole::RaiseChunk(DWORD bytesRead, bool isStdOut) {
    const std::string_view bytes(buffer_, bytesRead);
    Raise(isStdOut ? outDecoder_.Decode(bytes) : errDecoder_.Decode(bytes), isStdOut);
}

// A chunk that held only the start of a character raises nothing yet.
void clsConsole::Raise(std::wstring text, bool isStdOut) {
    if (text.empty()) return;
    std::wstring empty;
    if (isStdOut) {
        echoSkip_.Apply(text);
        if (OutputReceived) OutputReceived(text, empty);
    } else {
        if (OutputReceived) OutputReceived(empty, text);
    }
}

// Reads what is waiting, but no more than was there when the drain began: a
// process that inherited the pipe and still writes must not keep the run alive.
void clsConsole::Drain(HANDLE pipe, bool isStdOut) {
    DWORD waiting = 0;
    if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) return;
    while (waiting > 0) {
        if (Paused()) {
            pump_();
            continue;
        }
        if (!ReadChunk(pipe, bytesRead_)) return;
        waiting -= bytesRead_ < waiting ? bytesRead_ : waiting;
        RaiseChunk(bytesRead_, isStdOut);
    }
}

void clsConsole::WaitForOwnerToCatchUp() {
    while (WritePendingPiece && WritePendingPiece()) pump_();
}

std::int32_t clsConsole::WriteData(const std::wstring& strData) {
    if (!busy_ || !stdInWrite_) return -1;
    const std::wstring line = strData + L"\r\n";
    const int size = ::WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size, nullptr,
                          nullptr);
    DWORD written = 0;
    if (!::WriteFile(stdInWrite_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return -1;
    echoSkip_.Expect(strData);
    return static_cast<std::int32_t>(written) - 2;
}

}  // namespace tarvo
