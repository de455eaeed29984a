#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rich_edit_test_support.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

constexpr long kPlainText = SF_TEXT;
constexpr long kRichText = SF_RTF;
constexpr long kUnicodeText = SF_TEXT | SF_UNICODE;

std::wstring TempFolder() { return test::TempFolder(L"tarvo_rich_edit_files") + L"\\"; }

class RichEditFilesTest : public testing::RichEditFixture {
protected:
    void TearDown() override {
        for (const auto& file : created) ::DeleteFileW(file.c_str());
        if (!folder.empty()) ::RemoveDirectoryW(folder.c_str());
        RichEditFixture::TearDown();
    }
    std::wstring NewPath(const std::wstring& name) {
        created.push_back(TempFolder() + L"tarvo_re_" + name);
        return created.back();
    }
    void WriteBytes(const std::wstring& path, const std::string& bytes) {
        unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    std::vector<std::wstring> created;
    std::wstring folder;
};

TEST_F(RichEditFilesTest, LoadingRichTextShowsItsTextAndReportsProgress) {
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello {\\b bold} world\\par}";
    const std::wstring path = NewPath(L"load.rtf");
    WriteBytes(path, rtf);
    std::vector<std::pair<long, long>> progress;
    edit.ProgressStatus = [&](long& amount, long& total) { progress.emplace_back(amount, total); };
    Text(L"old content");
    ASSERT_TRUE(edit.LoadFromFile(path, kRichText));
    EXPECT_EQ(edit.Methods().TextInRangeGet(0, 16), L"Hello bold world");
    edit.Methods().SelectionCharRangeSet(6, 10);
    EXPECT_TRUE(edit.Methods().FormatBoldGet());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(static_cast<long>(rtf.size()), -1L));  // bytes read so far, no total
}

TEST_F(RichEditFilesTest, MissingFilesAndOverlongPathsAreRefused) {
    Text(L"kept");
    EXPECT_FALSE(edit.LoadFromFile(TempFolder() + L"tarvo_re_no_such_file.rtf", kRichText));

    // An existing file whose path is longer than the open call accepts.
    folder = TempFolder() + L"tarvo_re_" + std::wstring(60, L'd');
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring longPath = folder + L"\\" + std::wstring(70, L'f') + L".txt";
    ASSERT_GT(longPath.size(), 127u);
    created.push_back(longPath);
    WriteBytes(longPath, "text");
    const long handles = test::HandleCount();
    EXPECT_FALSE(edit.LoadFromFile(longPath, kPlainText));
    EXPECT_FALSE(edit.SaveToFile(longPath, kPlainText));
    EXPECT_FALSE(edit.LoadFromFile(TempFolder() + L"tarvo_re_no_such_file.rtf", kRichText));
    EXPECT_EQ(test::HandleCount(), handles) << "a refused file leaves no handle open";
    EXPECT_EQ(Text(), L"kept");
}

TEST_F(RichEditFilesTest, SavedFilesLoadBackWithTheirTextAndFormat) {
    edit.Methods().InsertText(L"first line");
    edit.Methods().SelectionCharRangeSet(0, 5);
    edit.Methods().FormatBoldSet(true);
    long savedBytes = 0;
    edit.ProgressStatus = [&](long& amount, long&) { savedBytes += amount; };
    const std::wstring path = NewPath(L"round.rtf");
    ASSERT_TRUE(edit.SaveToFile(path, kRichText));
    WIN32_FILE_ATTRIBUTE_DATA info{};
    ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info));
    EXPECT_EQ(savedBytes, static_cast<long>(info.nFileSizeLow));
    Text(L"");
    ASSERT_TRUE(edit.LoadFromFile(path, kRichText));
    EXPECT_EQ(edit.Methods().TextInRangeGet(0, 10), L"first line");
    edit.Methods().SelectionCharRangeSet(0, 5);
    EXPECT_TRUE(edit.Methods().FormatBoldGet());
    edit.Methods().SelectionCharRangeSet(6, 10);
    EXPECT_FALSE(edit.Methods().FormatBoldGet());

    const std::wstring text = L"\u00e9t\u00e9 \u4e2d\u6587";
    Text(text);
    const std::wstring unicodePath = NewPath(L"unicode.txt");
    const long handles = test::HandleCount();
    ASSERT_TRUE(edit.SaveToFile(unicodePath, kUnicodeText));
    Text(L"");
    ASSERT_TRUE(edit.LoadFromFile(unicodePath, kUnicodeText));
    EXPECT_EQ(test::HandleCount(), handles) << "files are closed after saving and loading";
    EXPECT_EQ(Text(), text);
}

std::vector<std::wstring> NewStorageNames(VRX_RichEdit& control, int count) {
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i) {
        com_ptr<IStorage> storage;
        STATSTG stat{};
        EXPECT_EQ(control.OleCallback()->GetNewStorage(storage.put()), S_OK);
        if (!storage || FAILED(storage->Stat(&stat, STATFLAG_DEFAULT)) || !stat.pwcsName) return names;
        names.push_back(stat.pwcsName);
        ::CoTaskMemFree(stat.pwcsName);
    }
    return names;
}

TEST_F(RichEditFilesTest, StoragesAreNumberedFromOnePerInstance) {
    EXPECT_EQ(edit.OleCallback(), nullptr);  // not asked for

    VRX_RichEdit first, second;
    for (VRX_RichEdit* control : {&first, &second}) {
        ASSERT_TRUE(control->Create(form.get(), 0, 0, 100, 50));
        control->Behavior().UseOLECallback(true);
        control->Init();
        ASSERT_NE(control->OleCallback(), nullptr);
    }
    EXPECT_EQ(NewStorageNames(first, 3), (std::vector<std::wstring>{L"VRXRE 1", L"VRXRE 2", L"VRXRE 3"}));
    EXPECT_EQ(NewStorageNames(second, 1), (std::vector<std::wstring>{L"VRXRE 1"}));
}

}  // namespace
}  // namespace tarvo
