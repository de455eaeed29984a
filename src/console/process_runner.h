#pragma once
// clsConsole: the process runner.
// Runs one command line at a time as a hidden child on anonymous pipes and
// reports what it writes. There is no second thread: RunCommand polls on the
// caller's thread and pumps the message queue between polls, so the owner's
// handlers (including a nested Enter that feeds the child) run during the call.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/handles.h"
#include "console/command_controller.h"
#include "console/echo_skip.h"
#include "console/output_decoder.h"

namespace tarvo {

class clsConsole : public IProcessRunner {
public:
    static constexpr DWORD kChunkBytes = 1024;
    static constexpr DWORD kPollMilliseconds = 30;
    static constexpr int kReadBudgetMilliseconds = 15;

    // Exactly one argument carries the chunk; the other is empty.
    std::function<void(std::wstring& stdOut, std::wstring& stdErr)> OutputReceived;
    std::function<void()> Complete;
    // The owner may write output more slowly than it is read: while ReadingPaused
    // answers true nothing more is read, and the child waits on its full pipe as
    // behind any slow reader. Before Complete, WritePendingPiece is called, with
    // the messages pumped in between, until it answers that nothing is left.
    std::function<bool()> ReadingPaused;
    std::function<bool()> WritePendingPiece;

    clsConsole();
    clsConsole(const clsConsole&) = delete;
    clsConsole& operator=(const clsConsole&) = delete;

    // Replaces the message pump run between polls (the program routes keys
    // through its accelerator layer; tests count or script the passes).
    void MessagePump(std::function<void()> pump);

    bool Busy() const noexcept override { return busy_; }
    void StopWait() noexcept { stop_ = true; }
    std::uint32_t RunWithoutWait(const std::wstring& strCommand) override;
    std::uint32_t RunCommand(const std::wstring& strCommand) override;
    std::int32_t WriteData(const std::wstring& strData) override;

private:
    bool ReadChunk(HANDLE pipe, DWORD& bytesRead);
    bool PollPipe(HANDLE pipe, bool isStdOut);
    void RaiseChunk(DWORD bytesRead, bool isStdOut);
    void Raise(std::wstring text, bool isStdOut);
    void Drain(HANDLE pipe, bool isStdOut);
    bool Paused() const { return ReadingPaused && ReadingPaused(); }
    void WaitForOwnerToCatchUp();

    bool stop_ = false;
    bool busy_ = false;
    DWORD bytesRead_ = 0;
    char buffer_[kChunkBytes] = {};
    EchoSkip echoSkip_;
    OutputDecoder outDecoder_, errDecoder_;
    HANDLE stdInWrite_ = nullptr;  // borrowed from the running command's pipes
    std::function<void()> pump_;
};

}  // namespace tarvo
