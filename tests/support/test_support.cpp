#include "test_support.h"

#include <cstring>
#include <filesystem>

#include "common/handles.h"
#include "common/program_path.h"

namespace tarvo::test {

std::wstring ExeFolder() { return ProgramFolder(); }

std::wstring TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t full[MAX_PATH] = {};
    ::GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    return full;
}

std::wstring Child(const std::wstring& args) { return L"\"" + ExeFolder() + L"\\tarvo_test_child.exe\" " + args; }

TempProgramFolder::TempProgramFolder() {
    static int serial = 0;
    path_ = TempFolder(L"ts" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(++serial));
}

TempProgramFolder::~TempProgramFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempProgramFolder::CopyLogo() const {
    ::CopyFileW((ExeFolder() + L"\\startup_test_logo.png").c_str(), (path_ + L"\\tarvo2logo.png").c_str(), FALSE);
}

void TempProgramFolder::WriteFile(const std::wstring& relativePath, const std::string& bytes) const {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path_ + L"\\" + relativePath).parent_path(), ignored);
    WriteFileBytes(path_ + L"\\" + relativePath, bytes);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::optional<std::wstring> RegText(HKEY root, const std::wstring& subkey, const wchar_t* name) {
    DWORD size = 0;
    if (::RegGetValueW(root, subkey.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(root, subkey.c_str(), name, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS) return {};
    text.resize(size / sizeof(wchar_t) - 1);
    return text;
}

std::optional<DWORD> RegNumber(HKEY root, const std::wstring& subkey, const wchar_t* name) {
    DWORD value = 0, size = sizeof(value);
    if (::RegGetValueW(root, subkey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return {};
    return value;
}

std::string Visible(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c == L'\r') out += "\\r";
        else if (c == L'\n') out += "\\n";
        else out.push_back(c < 128 ? static_cast<char>(c) : '?');
    }
    return out;
}

std::size_t Count(const std::wstring& text, const std::wstring& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

std::wstring Caption(HWND window) {
    wchar_t text[512] = {};
    return {text, static_cast<std::size_t>(::GetWindowTextW(window, text, 512))};
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

RECT RectInParent(HWND child) {
    RECT rect = WindowRect(child);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::optional<int> TakeQuit() {
    MSG msg;
    if (!::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return std::nullopt;
    return static_cast<int>(msg.wParam);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(10);
    }
}

std::wstring ClipboardText(HWND owner) {
    const clipboard_scope clipboard(owner);
    const HANDLE data = clipboard.is_open() ? ::GetClipboardData(CF_UNICODETEXT) : nullptr;
    const auto* chars = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    const std::wstring copied = chars ? chars : L"";
    if (chars) ::GlobalUnlock(data);
    return copied;
}

void SetClipboardText(HWND owner, const std::wstring& text) {
    const clipboard_scope clipboard(owner);
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!clipboard.is_open() || !block || !::EmptyClipboard()) return;
    std::memcpy(::GlobalLock(block.get()), text.c_str(), bytes);
    ::GlobalUnlock(block.get());
    if (::SetClipboardData(CF_UNICODETEXT, block.get())) block.release();  // the clipboard owns it now
}

void PostText(HWND window, const std::wstring& text) {
    for (wchar_t c : text) ::PostMessageW(window, WM_CHAR, c, 1);
}

void PostKey(HWND window, WPARAM key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace tarvo::test
