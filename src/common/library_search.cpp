#include "common/library_search.h"

#include <windows.h>

namespace tarvo {

bool RestrictLibrarySearch() noexcept {
    // Looked up rather than imported: a Windows 7 without the loader update lacks it,
    // and the program must still start there, with only the current folder taken out.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    const bool restricted =
        setDefaultDirectories &&
        setDefaultDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    const bool currentFolderRemoved = ::SetDllDirectoryW(L"") != FALSE;
    return restricted && currentFolderRemoved;
}

}  // namespace tarvo
