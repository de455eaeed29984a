#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource_counts.h"
#include "rich_edit_test_support.h"
#include "test_support.h"

namespace tarvo {
namespace {

class RichEditFilesTest : public testing::RichEditFixture {
protected:
    void TearDown() override {
        for (const auto& file : created) ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW((Folder() + std::wstring(60, L'd')).c_str());
        RichEditFixture::TearDown();
    }
    static std::wstring Folder() { return test::TempFolder(L"tarvo_rich_edit_files") + L"\\"; }
    std::wstring NewPath(const std::wstring& name, const std::string& bytes = {}) {
        created.push_back(Folder() + name);
        EXPECT_TRUE(bytes.empty() || test::WriteFileBytes(created.back(), bytes));
        return created.back();
    }
    std::vector<std::wstring> created;
};

TEST_F(RichEditFilesTest, RichTextLoadsWithItsFormatReportsProgressAndSavesBack) {
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello {\\b bold} world\\par}";
    std::vector<std::pair<long, long>> progress;
    edit.ProgressStatus = [&](long& amount, long& total) { progress.emplace_back(amount, total); };
    Text(L"old content");
    ASSERT_TRUE(edit.LoadFromFile(NewPath(L"load.rtf", rtf), SF_RTF));
    EXPECT_EQ(edit.Methods().TextInRangeGet(0, 16), L"Hello bold world");
    edit.Methods().SelectionCharRangeSet(6, 10);
    EXPECT_TRUE(edit.Methods().FormatBoldGet());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(static_cast<long>(rtf.size()), -1L));  // bytes read so far, no total

    long savedBytes = 0;
    edit.ProgressStatus = [&](long& amount, long&) { savedBytes += amount; };
    const std::wstring path = NewPath(L"round.rtf");
    ASSERT_TRUE(edit.SaveToFile(path, SF_RTF));
    WIN32_FILE_ATTRIBUTE_DATA info{};
    ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info));
    EXPECT_EQ(savedBytes, static_cast<long>(info.nFileSizeLow));
    Text(L"");
    ASSERT_TRUE(edit.LoadFromFile(path, SF_RTF));
    EXPECT_EQ(edit.Methods().TextInRangeGet(0, 16), L"Hello bold world");
    edit.Methods().SelectionCharRangeSet(11, 16);
    EXPECT_FALSE(edit.Methods().FormatBoldGet());
}

TEST_F(RichEditFilesTest, UnicodeTextRoundTripsAndRefusedFilesLeaveNoHandleOpen) {
    const std::wstring text = L"\u00e9t\u00e9 \u4e2d\u6587", unicodePath = NewPath(L"unicode.txt");
    Text(text);
    const long handles = test::HandleCount();
    ASSERT_TRUE(edit.SaveToFile(unicodePath, SF_TEXT | SF_UNICODE));
    Text(L"");
    ASSERT_TRUE(edit.LoadFromFile(unicodePath, SF_TEXT | SF_UNICODE));
    EXPECT_EQ(Text(), text);

    // An existing file whose path is longer than the open call accepts.
    ASSERT_TRUE(::CreateDirectoryW((Folder() + std::wstring(60, L'd')).c_str(), nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring longPath = NewPath(std::wstring(60, L'd') + L"\\" + std::wstring(70, L'f') + L".txt", "text");
    ASSERT_GT(longPath.size(), 127u);
    EXPECT_FALSE(edit.LoadFromFile(longPath, SF_TEXT));
    EXPECT_FALSE(edit.SaveToFile(longPath, SF_TEXT));
    EXPECT_FALSE(edit.LoadFromFile(Folder() + L"no_such_file.rtf", SF_RTF));
    EXPECT_EQ(test::HandleCount(), handles) << "files are closed after saving, loading and refusing";
    EXPECT_EQ(Text(), text);
}

TEST_F(RichEditFilesTest, StoragesAreNumberedFromOnePerInstance) {
    EXPECT_EQ(edit.OleCallback(), nullptr);  // not asked for
    VRX_RichEdit first, second;
    std::vector<std::wstring> names;
    for (auto [control, count] : {std::pair{&first, 3}, std::pair{&second, 1}}) {
        ASSERT_TRUE(control->Create(form.get(), 0, 0, 100, 50));
        control->Behavior().UseOLECallback(true);
        control->Init();
        ASSERT_NE(control->OleCallback(), nullptr);
        for (int i = 0; i < count; ++i) {
            com_ptr<IStorage> storage;
            STATSTG stat{};
            ASSERT_EQ(control->OleCallback()->GetNewStorage(storage.put()), S_OK);
            ASSERT_TRUE(storage && SUCCEEDED(storage->Stat(&stat, STATFLAG_DEFAULT)) && stat.pwcsName);
            names.push_back(stat.pwcsName);
            ::CoTaskMemFree(stat.pwcsName);
        }
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"VRXRE 1", L"VRXRE 2", L"VRXRE 3", L"VRXRE 1"}));
}

}  // namespace
}  // namespace tarvo
