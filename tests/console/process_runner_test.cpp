#include "console/process_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

using test::Child;

constexpr auto kNotFound = static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND);
constexpr wchar_t kMissingProgram[] = L"tarvo_no_such_program_here.exe";

// Records every event of one runner; `pump` runs between its polls.
struct Recorder {
    clsConsole console;
    std::wstring out, err;
    std::size_t longest = 0;
    int completes = 0;

    explicit Recorder(std::function<void(Recorder&)> pump = {}) {
        console.OutputReceived = [this](std::wstring& o, std::wstring& e) {
            longest = std::max(longest, o.size() + e.size());
            out += o, err += e;
        };
        console.Complete = [this] { ++completes; };
        if (pump) console.MessagePump([this, pump] { pump(*this); });
    }
};

TEST(clsConsole, OutputComesInBoundedChunksEachByteAsTheOemCharacterAndOnlyWhenTheChildStarts) {
    Recorder r;
    EXPECT_EQ(r.console.WriteData(L"dir"), -1);
    ASSERT_EQ(r.console.RunCommand(Child(L"bytes 3000")), 0u);
    std::string bytes(256, 0);
    std::wstring oem(256, 0);  // each byte as the OEM code page maps it
    for (int b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
    ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), 256, oem.data(), 256);
    ASSERT_EQ(r.out.size(), 3000u);
    EXPECT_EQ(r.out.substr(2560, 256), oem);
    EXPECT_LE(r.longest, 1024u);
    EXPECT_EQ(r.completes, 1);
    EXPECT_FALSE(r.console.Busy());
    EXPECT_EQ(r.console.WriteData(L"dir"), -1);
}

TEST(clsConsole, TheEchoOfAWrittenLineIsDroppedButNotTheOutputAfterIt) {
    std::int32_t written = 0;
    Recorder echoing([&, sent = false](Recorder& r) mutable {
        if (!sent && r.console.Busy()) sent = true, written = r.console.WriteData(L"dir");
    });
    EXPECT_EQ(echoing.console.RunCommand(Child(L"echo-skip")), 0u);  // the echo arrives over two reads
    EXPECT_EQ(written, 3);
    EXPECT_EQ(echoing.out + L"|" + echoing.err, L"cdefg|err");
}

// Handles a call leaves open. It runs once beforehand, so that what the system
// opens once on first use is not counted.
long HandlesLeftBy(const std::function<void()>& call) {
    call();
    const long before = test::HandleCount();
    call();
    return test::HandleCount() - before;
}

TEST(clsConsole, StopAbandonsTheChildAndNoKindOfRunOrStartLeavesAHandle) {
    Recorder stopping([](Recorder& self) {
        if (!self.out.empty()) self.console.StopWait();
    });
    EXPECT_EQ(HandlesLeftBy([&] {
                  stopping.out.clear();
                  EXPECT_EQ(stopping.console.RunCommand(Child(L"pid-sleep 30000")), 0u);
                  unique_handle child(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(stopping.out)));
                  ASSERT_TRUE(child) << "still running when the run was stopped";
                  EXPECT_EQ(::WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
                  ::TerminateProcess(child.get(), 0);
              }), 0) << "a stopped run";
    EXPECT_FALSE(stopping.console.Busy());
    Recorder r;
    const std::wstring marker = test::TempFolder(L"tarvo_runner_test") + L"\\detached_marker.txt";
    EXPECT_EQ(HandlesLeftBy([&] {
                  ::DeleteFileW(marker.c_str());
                  EXPECT_EQ(r.console.RunWithoutWait(std::wstring(_wgetenv(L"ComSpec")) + L" /c type nul > \"" + marker + L"\""), 0u);
                  EXPECT_TRUE(test::WaitUntil([&] { return ::GetFileAttributesW(marker.c_str()) != ~0u; }, 10000));
              }), 0) << "a detached start";
    ::DeleteFileW(marker.c_str());
    EXPECT_EQ(HandlesLeftBy([&] { EXPECT_EQ(r.console.RunCommand(Child(L"two-streams")), 0u); }), 0) << "a run";
    EXPECT_EQ(r.out + L"|" + r.err, L"a\r\nb\r\na\r\nb\r\n|x\r\ny\r\nx\r\ny\r\n");
    EXPECT_EQ(HandlesLeftBy([&] { EXPECT_EQ(r.console.RunWithoutWait(kMissingProgram), kNotFound); }), 0);
    EXPECT_EQ(HandlesLeftBy([&] { EXPECT_EQ(r.console.RunCommand(kMissingProgram), kNotFound); }), 0);
    EXPECT_EQ(r.completes, 2) << "a program that cannot start completes nothing";
}

}  // namespace
}  // namespace tarvo
