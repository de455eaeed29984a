// The library search set-up of the entry routine, tried in a process of its own:
// it cannot be undone.
#include "common/library_search.h"

#include <gtest/gtest.h>

#include <string>

#include "common/handles.h"
#include "test_support.h"

namespace tarvo {
namespace {

// Where a load of `name` found the library; empty when it found none.
std::wstring LoadedFrom(const std::wstring& name) {
    const unique_hmodule module(::LoadLibraryW(name.c_str()));
    wchar_t path[MAX_PATH] = {};
    return std::wstring(path, module ? ::GetModuleFileNameW(module.get(), path, MAX_PATH) : 0);
}

TEST(RestrictLibrarySearch, ALibraryInTheCurrentFolderIsNoLongerFoundByNameButTheProgramsAndTheSystemsAre) {
    const std::wstring folder = test::TempFolder(L"tarvo_library_search_test"), shipped = L"tarvo_marker_dll.dll";
    const std::wstring planted = folder + L"\\tarvo_planted_marker.dll";
    ASSERT_TRUE(::CopyFileW((test::ExeFolder() + L"\\" + shipped).c_str(), planted.c_str(), FALSE));
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.c_str()));  // for the rest of this process
    // Before the set-up the current folder lends it, so the check after it can fail.
    ASSERT_EQ(_wcsicmp(LoadedFrom(L"tarvo_planted_marker.dll").c_str(), planted.c_str()), 0);

    ASSERT_TRUE(RestrictLibrarySearch());
    EXPECT_EQ(LoadedFrom(L"tarvo_planted_marker.dll"), L"");
    EXPECT_EQ(_wcsicmp(LoadedFrom(shipped).c_str(), (test::ExeFolder() + L"\\" + shipped).c_str()), 0);
    EXPECT_NE(LoadedFrom(L"riched20.dll"), L"");
    ::DeleteFileW(planted.c_str());
}

}  // namespace
}  // namespace tarvo
