#include "console/process_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

// Handles a call leaves open. It runs once beforehand, so that what the system
// opens once on first use is not counted.
long HandlesLeftBy(const std::function<void()>& call) {
    call();
    const long before = test::HandleCount();
    call();
    return test::HandleCount() - before;
}

TEST(clsConsole, RunsReadBothStreamsDropTheEchoStopAndLeaveNoHandleBehind) {
    clsConsole console;
    std::wstring out, err;
    std::size_t longest = 0;
    int completes = 0;
    std::function<void()> poll = [] {};  // what the test does between the runner's polls
    console.OutputReceived = [&](std::wstring& o, std::wstring& e) {
        longest = std::max(longest, o.size() + e.size());
        out += o, err += e;
    };
    console.Complete = [&] { ++completes; };
    console.MessagePump([&] { poll(); });

    ASSERT_EQ(console.RunCommand(test::Child(L"bytes 3000")), 0u);
    std::string bytes(3000, 0);
    std::wstring oem(3000, 0);  // each byte as the OEM code page maps it
    for (std::size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<char>(b % 256);
    ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), 3000, oem.data(), 3000);
    EXPECT_EQ(out, oem);
    EXPECT_LE(longest, 1024u);
    EXPECT_FALSE(console.Busy() || completes != 1 || console.WriteData(L"dir") != -1) << "nothing runs after it";

    std::int32_t written = 0;  // a line for the child, which echoes it over two reads
    poll = [&] {
        if (console.Busy() && written == 0) written = console.WriteData(L"dir");
    };
    out.clear();
    EXPECT_EQ(HandlesLeftBy([&] {
                  written = 0;
                  EXPECT_EQ(console.RunCommand(test::Child(L"echo-skip")), 0u);
              }), 0) << "a run";
    EXPECT_EQ(written, 3);
    EXPECT_EQ(out + L"|" + err, L"cdefgcdefg|errerr");

    poll = [&] {
        if (!out.empty()) console.StopWait();
    };
    EXPECT_EQ(HandlesLeftBy([&] {
                  out.clear();
                  EXPECT_EQ(console.RunCommand(test::Child(L"pid-sleep 30000")), 0u);
                  unique_handle child(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(out)));
                  ASSERT_TRUE(child && ::WaitForSingleObject(child.get(), 0) == WAIT_TIMEOUT)
                      << "still running when the run was stopped";
                  ::TerminateProcess(child.get(), 0);
              }), 0) << "a stopped run";
    EXPECT_FALSE(console.Busy());
    const std::wstring marker = test::TempFolder(L"tarvo_runner_test") + L"\\detached_marker.txt";
    EXPECT_EQ(HandlesLeftBy([&] {
                  ::DeleteFileW(marker.c_str());
                  EXPECT_EQ(console.RunWithoutWait(std::wstring(_wgetenv(L"ComSpec")) + L" /c type nul > \"" + marker + L"\""), 0u);
                  EXPECT_TRUE(test::WaitUntil([&] { return ::GetFileAttributesW(marker.c_str()) != ~0u; }, 10000));
              }), 0) << "a detached start";
    ::DeleteFileW(marker.c_str());
    completes = 0;  // a program that cannot start fails either way and completes nothing
    EXPECT_EQ(HandlesLeftBy([&] { EXPECT_EQ(console.RunWithoutWait(L"tarvo_no_such_program.exe"), 2u); }), 0)
        << "a detached start that fails";
    EXPECT_EQ(HandlesLeftBy([&] { EXPECT_EQ(console.RunCommand(L"tarvo_no_such_program.exe"), 2u); }), 0) << "a run that cannot start";
    EXPECT_EQ(completes, 0);
}

}  // namespace
}  // namespace tarvo
