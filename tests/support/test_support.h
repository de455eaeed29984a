#pragma once
// Helpers the Win32 tests share: where the test runs, scratch folders, readable
// failure messages, waiting, the clipboard and keys posted to a window.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tarvo::test {

// The folder of the running executable, without a trailing backslash.
std::wstring ExeFolder();
// A folder under the temporary folder, created when missing; answers its full path.
std::wstring TempFolder(const std::wstring& name);
// The command line that runs the test child beside the test with `args`.
std::wstring Child(const std::wstring& args);

// Creates or replaces the file with `bytes`; answers whether all were written.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// A fresh folder in the temporary folder, removed with all it holds.
class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // The program's logo, copied from beside the test as "tarvo2logo.png".
    void CopyLogo() const;
    // Writes `bytes` to the file, making its folder first.
    void WriteFile(const std::wstring& relativePath, const std::string& bytes) const;

private:
    std::wstring path_;
};

std::wstring Quoted(const std::wstring& text);
// A value as another program reads it; nothing when missing or of another type.
std::optional<std::wstring> RegText(HKEY root, const std::wstring& subkey, const wchar_t* name);
std::optional<DWORD> RegNumber(HKEY root, const std::wstring& subkey, const wchar_t* name);

// Shows line breaks in failure messages.
std::string Visible(const std::wstring& text);
std::size_t Count(const std::wstring& text, const std::wstring& part);
std::wstring Caption(HWND window);
RECT WindowRect(HWND window);
// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);

// Takes a waiting WM_QUIT from the queue: its exit code, or nothing when none waited.
std::optional<int> TakeQuit();

// Polls `condition` every few milliseconds; answers whether it held before `timeoutMs`.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

std::wstring ClipboardText(HWND owner);
void SetClipboardText(HWND owner, const std::wstring& text);

// Each character as WM_CHAR, the way typing reaches an edit control.
void PostText(HWND window, const std::wstring& text);
// A key down and up, as from the keyboard.
void PostKey(HWND window, WPARAM key);

}  // namespace tarvo::test
