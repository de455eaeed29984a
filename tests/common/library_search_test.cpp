// The library search set-up of the entry routine, tried in a process of its own:
// it cannot be undone.
#include "common/library_search.h"

#include <gtest/gtest.h>

#include <string>

#include "common/handles.h"
#include "test_support.h"

namespace tarvo {
namespace {

constexpr wchar_t kPlantedName[] = L"tarvo_planted_marker.dll";

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::wstring& folder) : saved_(MAX_PATH, L'\0') {
        saved_.resize(::GetCurrentDirectoryW(MAX_PATH, saved_.data()));
        ::SetCurrentDirectoryW(folder.c_str());
    }
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;
    ~CurrentFolderScope() { ::SetCurrentDirectoryW(saved_.c_str()); }

private:
    std::wstring saved_;
};

TEST(RestrictLibrarySearch, ALibraryInTheCurrentFolderIsNoLongerFoundByNameButTheProgramsAndTheSystemsAre) {
    const std::wstring folder = test::TempFolder(L"tarvo_library_search_test");
    const std::wstring planted = folder + L"\\" + kPlantedName;
    const std::wstring marker = planted + L".loaded";
    const std::wstring shipped = test::ExeFolder() + L"\\tarvo_marker_dll.dll";
    ASSERT_TRUE(::CopyFileW(shipped.c_str(), planted.c_str(), FALSE));
    ::DeleteFileW(marker.c_str());
    CurrentFolderScope inPlantedFolder(folder);

    {  // Before the set-up the current folder lends it, so the checks below can fail.
        unique_hmodule lent(::LoadLibraryW(kPlantedName));
        ASSERT_TRUE(lent);
    }
    ASSERT_TRUE(Exists(marker));
    ::DeleteFileW(marker.c_str());

    ASSERT_TRUE(RestrictLibrarySearch());
    {
        unique_hmodule byName(::LoadLibraryW(kPlantedName));
        const DWORD error = ::GetLastError();
        EXPECT_FALSE(byName);
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
    EXPECT_FALSE(Exists(marker));
    {
        unique_hmodule byPath(::LoadLibraryW(planted.c_str()));
        EXPECT_TRUE(byPath);
    }
    EXPECT_TRUE(Exists(marker));

    // The program's own folder and the system folder still answer a name.
    unique_hmodule beside(::LoadLibraryW(L"tarvo_marker_dll.dll"));
    EXPECT_TRUE(beside);
    EXPECT_TRUE(Exists(shipped + L".loaded"));
    unique_hmodule system(::LoadLibraryW(L"riched20.dll"));
    EXPECT_TRUE(system);

    beside.reset();
    ::DeleteFileW((shipped + L".loaded").c_str());
    ::DeleteFileW(marker.c_str());
    ::DeleteFileW(planted.c_str());
}

}  // namespace
}  // namespace tarvo
