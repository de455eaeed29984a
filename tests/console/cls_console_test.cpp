#include "console/cls_console.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/system_oem.h"
#include "common/win_api_error.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

using test::Child;

std::wstring ComSpec() {
    wchar_t value[MAX_PATH] = {};
    return std::wstring(value, ::GetEnvironmentVariableW(L"ComSpec", value, MAX_PATH));
}

constexpr auto kNotFound = static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND);
constexpr wchar_t kMissingProgram[] = L"tarvo_no_such_program_here.exe";

// Records every event of one runner.
struct Recorder {
    struct Event {
        std::wstring out, err;
    };
    clsConsole console;
    std::vector<Event> events;
    int completes = 0;

    Recorder() {
        console.OutputReceived = [this](std::wstring& out, std::wstring& err) { events.push_back({out, err}); };
        console.Complete = [this] { ++completes; };
    }
    std::wstring All(std::wstring Event::*stream) const {
        std::wstring s;
        for (const auto& e : events) s += e.*stream;
        return s;
    }
};

TEST(clsConsole, QuietChildRaisesOnlyCompleteAndTakesNoWritesAndAMissingProgramNothing) {
    Recorder r;
    EXPECT_EQ(r.console.WriteData(L"dir"), -1);
    EXPECT_EQ(r.console.RunCommand(ComSpec() + L" /c rem"), 0u);
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(r.completes, 1);
    EXPECT_FALSE(r.console.Busy());
    EXPECT_EQ(r.console.WriteData(L"dir"), -1);

    // A program that cannot start fails either way without raising anything.
    EXPECT_EQ(r.console.RunCommand(kMissingProgram), kNotFound);
    EXPECT_EQ(r.console.RunWithoutWait(kMissingProgram), kNotFound);
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(r.completes, 1);
    EXPECT_FALSE(r.console.Busy());
}

TEST(clsConsole, OutputArrivesInBoundedChunksAndEveryByteAsOneCharacter) {
    Recorder r;
    ASSERT_EQ(r.console.RunCommand(Child(L"write 3000")), 0u);
    ASSERT_GE(r.events.size(), 3u);
    std::wstring expected;
    for (int i = 0; i < 3000; ++i) expected.push_back(static_cast<wchar_t>(L'a' + i % 26));
    for (const auto& e : r.events) EXPECT_LE(e.out.size(), 1024u);
    EXPECT_EQ(r.All(&Recorder::Event::out), expected);

    Recorder bytes;
    ASSERT_EQ(bytes.console.RunCommand(Child(L"bytes")), 0u);
    const std::wstring all = bytes.All(&Recorder::Event::out);
    ASSERT_EQ(all.size(), 256u);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(all[i], static_cast<wchar_t>(i)) << "byte " << i;
}

TEST(clsConsole, TheEchoOfAWrittenLineIsDroppedButNothingElse) {
    auto feed = [](const std::wstring& child, std::int32_t& written) {
        auto r = std::make_unique<Recorder>();
        r->console.MessagePump([&, sent = false, console = &r->console]() mutable {
            if (!sent && console->Busy()) {
                sent = true;
                written = console->WriteData(L"dir");
            }
        });
        EXPECT_EQ(r->console.RunCommand(Child(child)), 0u);
        return r;
    };
    std::int32_t written = 0;
    // The echo arrives over two reads; standard error is never cut.
    auto echoing = feed(L"echo-skip", written);
    EXPECT_EQ(written, 3);
    EXPECT_EQ(echoing->All(&Recorder::Event::out), L"cdefg");
    EXPECT_EQ(echoing->All(&Recorder::Event::err), L"err");
    // A child that does not echo loses nothing, before or after the line.
    auto asking = feed(L"prompt-read", written);
    EXPECT_EQ(asking->All(&Recorder::Event::out), L"Name? got:dir\r\n");
}

TEST(clsConsole, StopWaitAbandonsTheChildWithoutEndingIt) {
    Recorder r;
    r.console.MessagePump([&, passes = 0]() mutable {
        if (!r.All(&Recorder::Event::out).empty() && ++passes == 2) r.console.StopWait();
    });
    ASSERT_EQ(r.console.RunCommand(Child(L"pid-sleep 30000")), 0u);
    EXPECT_EQ(r.completes, 1);
    EXPECT_FALSE(r.console.Busy());
    const auto pid = static_cast<DWORD>(std::stoul(r.All(&Recorder::Event::out)));
    unique_handle child(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
    ASSERT_TRUE(child);
    EXPECT_EQ(::WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ::TerminateProcess(child.get(), 0);
}

TEST(clsConsole, RunWithoutWaitStartsADetachedChild) {
    const std::wstring marker = test::TempFolder(L"tarvo_runner_test") + L"\\detached_marker.txt";
    ::DeleteFileW(marker.c_str());
    clsConsole console;
    EXPECT_EQ(console.RunWithoutWait(Child(L"touch \"" + marker + L"\"")), 0u);
    EXPECT_FALSE(console.Busy());
    EXPECT_TRUE(test::WaitUntil([&] { return ::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000));
    ::DeleteFileW(marker.c_str());
}

// Handles a call leaves open. It runs once beforehand, so that what the system
// opens once on first use is not counted.
long HandlesLeftBy(const std::function<void()>& call) {
    call();
    const long before = test::HandleCount();
    call();
    return test::HandleCount() - before;
}

TEST(clsConsole, ProcessThreadAndPipesAreClosedAfterEveryKindOfRun) {
    Recorder r;
    const auto run = [&] { EXPECT_EQ(r.console.RunCommand(Child(L"two-streams")), 0u); };
    const auto detachedStart = [&] { EXPECT_EQ(r.console.RunWithoutWait(Child(L"write 0")), 0u); };
    const auto failedStart = [&] {
        EXPECT_EQ(r.console.RunCommand(kMissingProgram), kNotFound);
        EXPECT_EQ(r.console.RunWithoutWait(kMissingProgram), kNotFound);
    };
    const auto stoppedRun = [&] {
        r.events.clear();
        r.console.MessagePump([&] {
            if (!r.All(&Recorder::Event::out).empty()) r.console.StopWait();
        });
        EXPECT_EQ(r.console.RunCommand(Child(L"pid-sleep 30000")), 0u);
        const auto pid = static_cast<DWORD>(std::stoul(r.All(&Recorder::Event::out)));
        unique_handle child(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
        EXPECT_TRUE(child) << "still running when the run was stopped";
        ::TerminateProcess(child.get(), 0);
    };
    EXPECT_EQ(HandlesLeftBy(run), 0) << "a run";
    EXPECT_EQ(HandlesLeftBy(detachedStart), 0) << "a detached start";
    EXPECT_EQ(HandlesLeftBy(failedStart), 0) << "a failed start, waited for or detached";
    EXPECT_EQ(HandlesLeftBy(stoppedRun), 0) << "a stopped run";
}

TEST(ApiErrorText, KnownCodesEndInALineBreakAndUnknownOnesAreEmpty) {
    const std::wstring missing = ApiErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_GE(missing.size(), 3u);
    EXPECT_EQ(missing.substr(missing.size() - 2), L"\r\n");
    EXPECT_EQ(ApiErrorText(0x2FFFFFFFu), L"");
}

TEST(SystemOem, EachByteAndAWholeChunkReadAsTheSystemReadsThem) {
    const OemTable& table = SystemOemTable();
    std::string high;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        wchar_t unit = 0;
        ASSERT_EQ(::MultiByteToWideChar(CP_OEMCP, 0, &byte, 1, &unit, 1), 1) << b;
        EXPECT_EQ(table[static_cast<std::size_t>(b)], unit) << b;
        if (b >= 0x80) high.push_back(byte);
    }
    std::wstring whole(high.size(), L'\0');
    whole.resize(static_cast<std::size_t>(
        ::MultiByteToWideChar(CP_OEMCP, 0, high.data(), static_cast<int>(high.size()), whole.data(), 128)));
    EXPECT_EQ(OutputDecoder(SystemOemDecoding()).Decode(high), whole);
}

}  // namespace
}  // namespace tarvo
