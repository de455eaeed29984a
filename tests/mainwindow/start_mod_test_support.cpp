#include "start_mod_test_support.h"

#include "common/handles.h"

namespace tarvo::testing_support {

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    unique_hfind search(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (search) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = folder + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                ::DeleteFileW(full.c_str());
            }
        } while (::FindNextFileW(search.get(), &entry));
    }
    search.reset();
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full(path, n);
    return full.substr(0, full.find_last_of(L'\\'));
}

TempProgramFolder::TempProgramFolder() {
    static int serial = 0;
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"ts" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(++serial);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempProgramFolder::~TempProgramFolder() { RemoveTree(path_); }

void TempProgramFolder::CreateFolder(const std::wstring& relativePath) const {
    ::CreateDirectoryW((path_ + L"\\" + relativePath).c_str(), nullptr);
}

void TempProgramFolder::CopyLogo() const {
    ::CopyFileW((ExeFolder() + L"\\startup_test_logo.png").c_str(), (path_ + L"\\tarvo2logo.png").c_str(), FALSE);
}

void TempProgramFolder::WriteFile(const std::wstring& relativePath, const std::string& bytes) const {
    unique_hfile file(::CreateFileW((path_ + L"\\" + relativePath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace tarvo::testing_support
