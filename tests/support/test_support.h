#pragma once
// Helpers the Win32 tests share: where the test runs, scratch folders, readable
// failure messages, waiting, the clipboard and keys posted to a window.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace tarvo::test {

// The folder of the running executable, without a trailing backslash.
std::wstring ExeFolder();
// A folder under the temporary folder, created when missing; answers its full path.
std::wstring TempFolder(const std::wstring& name);

// Shows line breaks in failure messages.
std::string Visible(const std::wstring& text);
std::size_t Count(const std::wstring& text, const std::wstring& part);
std::wstring Caption(HWND window);
RECT WindowRect(HWND window);

// Polls `condition` every few milliseconds; answers whether it held before `timeoutMs`.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

std::wstring ClipboardText(HWND owner);
void SetClipboardText(HWND owner, const std::wstring& text);

// Each character as WM_CHAR, the way typing reaches an edit control.
void PostText(HWND window, const std::wstring& text);
// A key down and up, as from the keyboard.
void PostKey(HWND window, WPARAM key);

}  // namespace tarvo::test
