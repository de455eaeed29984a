#pragma once
// SystemConsole and MakeWindowCommandController: the console's Win32 side, the
// system's folders and messages, the clipboard, the caption, and the command
// controller wired to the rich edit and the runner.
#include <windows.h>

#include <memory>
#include <string>

#include "console/command_controller.h"

namespace tarvo {

class VRX_RichEdit;
class clsConsole;

class SystemConsole : public IConsoleSystem {
public:
    std::uint32_t EnterFolder(const std::wstring& path) override;
    bool ReenterFolder(const std::wstring& folder) override;
    std::wstring CurrentFolder() override;
    std::wstring ErrorText(std::uint32_t code) override;
    std::wstring ComSpec() override;
};

// The controller over `edit` and `runner`, its caption shown on `mainWindow`
// (none when null), copying to the clipboard on its behalf.
std::unique_ptr<CommandController> MakeWindowCommandController(ConsoleHost host, HWND mainWindow, VRX_RichEdit& edit,
                                                               clsConsole& runner, bool adminMode);

// Sets a caption through the Unicode window procedure, so characters outside
// the ANSI code page show.
void SetUnicodeCaption(HWND window, const std::wstring& text);

// The environment's ComSpec, read afresh; empty when unset.
std::wstring ComSpecValue();

void CopyToClipboard(HWND owner, const std::wstring& text);

}  // namespace tarvo
