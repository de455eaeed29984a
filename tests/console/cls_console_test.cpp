#include "console/cls_console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwindow/win_api_error.h"

namespace tarvo {
namespace {

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

std::wstring ChildCommand(const std::wstring& args) {
    return L"\"" + ExeFolder() + L"tarvo_test_child.exe\" " + args;
}

std::wstring ComSpec() {
    wchar_t value[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"ComSpec", value, MAX_PATH);
    return value;
}

struct Event {
    std::wstring out, err;
};

// Records every event of one runner.
struct Recorder {
    clsConsole console;
    std::vector<Event> events;
    int completes = 0;
    bool busyDuringComplete = false;

    Recorder() {
        console.OutputReceived = [this](std::wstring& out, std::wstring& err) { events.push_back({out, err}); };
        console.Complete = [this] {
            ++completes;
            busyDuringComplete = console.Busy();
        };
    }
    std::wstring AllOut() const {
        std::wstring s;
        for (const auto& e : events) s += e.out;
        return s;
    }
    std::wstring AllErr() const {
        std::wstring s;
        for (const auto& e : events) s += e.err;
        return s;
    }
};

TEST(clsConsole, ChildThatWritesNothingRaisesOnlyComplete) {
    Recorder r;
    EXPECT_EQ(r.console.RunCommand(ComSpec() + L" /c rem"), 0u);
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(r.completes, 1);
    EXPECT_TRUE(r.busyDuringComplete);
    EXPECT_FALSE(r.console.Busy());
}

TEST(clsConsole, LongOutputArrivesInBoundedChunksInOrder) {
    Recorder r;
    ASSERT_EQ(r.console.RunCommand(ChildCommand(L"write 3000")), 0u);
    ASSERT_GE(r.events.size(), 3u);
    std::wstring expected;
    for (int i = 0; i < 3000; ++i) expected.push_back(static_cast<wchar_t>(L'a' + i % 26));
    for (const auto& e : r.events) {
        EXPECT_LE(e.out.size(), 1024u);
        EXPECT_TRUE(e.err.empty());
    }
    EXPECT_EQ(r.AllOut(), expected);
    EXPECT_EQ(r.completes, 1);
}

TEST(clsConsole, EveryByteValuePassesThroughAsOneCharacter) {
    Recorder r;
    ASSERT_EQ(r.console.RunCommand(ChildCommand(L"bytes")), 0u);
    const std::wstring all = r.AllOut();
    ASSERT_EQ(all.size(), 256u);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(all[i], static_cast<wchar_t>(i)) << "byte " << i;
}

TEST(clsConsole, StandardOutputAndErrorAreKeptApart) {
    Recorder r;
    ASSERT_EQ(r.console.RunCommand(ComSpec() + L" /c echo out& echo err 1>&2"), 0u);
    EXPECT_EQ(r.AllOut(), L"out\r\n");
    EXPECT_EQ(r.AllErr(), L"err \r\n");
    for (const auto& e : r.events) EXPECT_TRUE(e.out.empty() != e.err.empty());
}

TEST(clsConsole, WrittenLineIsSkippedFromTheNextOutputButNotFromStandardError) {
    Recorder r;
    int written = 0;
    bool sent = false;
    r.console.SetMessagePump([&] {
        if (!sent && r.console.Busy()) {
            sent = true;
            written = r.console.WriteData(L"dir");
        }
    });
    ASSERT_EQ(r.console.RunCommand(ChildCommand(L"echo-skip")), 0u);
    EXPECT_EQ(written, 3);
    // "ab" is dropped whole (one left to skip), then "cdefg" loses its "c".
    ASSERT_GE(r.events.size(), 3u);
    EXPECT_EQ(r.events[0].out, L"");
    EXPECT_TRUE(r.events[0].err.empty());
    EXPECT_EQ(r.AllOut(), L"defg");
    EXPECT_EQ(r.AllErr(), L"err");
}

TEST(clsConsole, LinesWrittenDuringARunReachTheChild) {
    Recorder r;
    int pass = 0;
    r.console.SetMessagePump([&] {
        if (++pass == 2) {
            r.console.WriteData(L"one");
            r.console.WriteData(L"two");
        }
    });
    ASSERT_EQ(r.console.RunCommand(ChildCommand(L"read-lines 2")), 0u);
    // The second write's skip (3) applies to the start of the output.
    EXPECT_EQ(r.AllOut(), L":one\r\ngot:two\r\n");
}

TEST(clsConsole, StopWaitAbandonsTheChildWithoutEndingIt) {
    Recorder r;
    int passes = 0;
    r.console.SetMessagePump([&] {
        if (!r.AllOut().empty() && ++passes == 2) r.console.StopWait();
    });
    ASSERT_EQ(r.console.RunCommand(ChildCommand(L"pid-sleep 30000")), 0u);
    EXPECT_EQ(r.completes, 1);
    EXPECT_FALSE(r.console.Busy());
    const DWORD pid = static_cast<DWORD>(std::stoul(r.AllOut()));
    unique_handle child(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
    ASSERT_TRUE(child);
    EXPECT_EQ(::WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ::TerminateProcess(child.get(), 0);
}

TEST(clsConsole, ProgramThatDoesNotExistFailsWithoutEvents) {
    Recorder r;
    EXPECT_EQ(r.console.RunCommand(L"tarvo_no_such_program_here.exe"), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(r.completes, 0);
    EXPECT_FALSE(r.console.Busy());
}

TEST(clsConsole, WriteDataOutsideARunWritesNothing) {
    clsConsole console;
    EXPECT_EQ(console.WriteData(L"dir"), -1);
    Recorder r;
    ASSERT_EQ(r.console.RunCommand(ComSpec() + L" /c rem"), 0u);
    EXPECT_EQ(r.console.WriteData(L"dir"), -1);
}

TEST(clsConsole, RunWithoutWaitStartsADetachedChild) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring marker = std::wstring(temp) + L"tarvo_detached_marker.txt";
    ::DeleteFileW(marker.c_str());
    clsConsole console;
    EXPECT_EQ(console.RunWithoutWait(ChildCommand(L"touch \"" + marker + L"\"")), 0u);
    EXPECT_FALSE(console.Busy());
    bool appeared = false;
    for (int i = 0; i < 200 && !appeared; ++i) {
        appeared = ::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!appeared) ::Sleep(50);
    }
    EXPECT_TRUE(appeared);
    ::DeleteFileW(marker.c_str());
    EXPECT_EQ(console.RunWithoutWait(L"tarvo_no_such_program_here.exe"), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST(ApiErrorText, KnownCodesEndInALineBreakAndUnknownOnesAreEmpty) {
    const std::wstring missing = ApiErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_GE(missing.size(), 3u);
    EXPECT_EQ(missing.substr(missing.size() - 2), L"\r\n");
    const std::wstring success = ApiErrorText(0);
    ASSERT_GE(success.size(), 3u);
    EXPECT_EQ(success.substr(success.size() - 2), L"\r\n");
    EXPECT_EQ(ApiErrorText(0x2FFFFFFFu), L"");
}

}  // namespace
}  // namespace tarvo
