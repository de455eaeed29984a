#pragma once
// The console pane as a text model: everything before InputStart is protected
// history in its colours; what follows is the command being typed.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace tarvo {

class VRX_RichEdit;

constexpr long kPromptColour = 0xFF0000;  // blue
constexpr long kErrorColour = 0x0000FF;   // red
constexpr long kNormalColour = 0;
constexpr long kAdminBackground = 0xC0C0FF;

class OutputRenderer {
public:
    // `currentFolder` is the console folder the prompt shows; it is read at each prompt.
    OutputRenderer(VRX_RichEdit& pane, const std::wstring& currentFolder);

    // The once-only configuration at window load.
    void SetUpPane(bool adminMode);

    long InputStart() const noexcept { return inputStart_; }

    void CaretToEnd();
    void AppendText(const std::wstring& text);
    void AppendErrorText(const std::wstring& text);
    void WritePrompt();
    void myConsole_OutputReceived(std::wstring& stdOut, std::wstring& stdErr);
    void CopySelection(HWND clipboardOwner);

    // The pane's events.
    void OnSelectionChange(long lMin, long lMax, long eSelType);
    // Ctrl+C and Ctrl+Insert copy. A key that would change the protected history
    // is withheld (its code set to 0): the pane's own protection is not
    // enforced by every rich edit implementation.
    void OnKeyDown(short& keyCode, short shift, HWND clipboardOwner);
    void OnKeyPress(short& keyAscii);
    // True when a paste now would land in the history.
    bool SelectionInHistory() const;

    // While `deferWhile` answers true (a command is running), standard output is
    // gathered and written at most every kFlushInterval and repainted at most
    // every kRedrawInterval, so a
    // long output costs time in proportion to its own size. Anything else that
    // is written, and any input waiting to be handled, writes the gathered text
    // first, so the pane shows exactly what it would have shown.
    static constexpr std::chrono::milliseconds kFlushInterval{50};
    static constexpr std::chrono::milliseconds kRedrawInterval{200};
    void DeferRedrawWhile(std::function<bool()> deferWhile) { deferWhile_ = std::move(deferWhile); }
    // Called by the runner's pump before messages are handled.
    void OnPumpPass();
    // Writes everything gathered and repaints.
    void FlushRedraw();

private:
    void BeginAppend();
    void EndAppend();
    void InsertAtEnd(const std::wstring& text, long colour, bool setColour);
    // Protects the text from the last InputStart to the end, and leaves the
    // insertion point at the end unprotected.
    void ProtectHistory();
    void UpdateInputStart();
    bool Deferring() const { return deferWhile_ && deferWhile_(); }
    // `final` also writes a trailing CR, which otherwise waits for the LF that
    // may follow in the next chunk (a CR LF split over two reads is one break).
    void WritePendingOutput(bool final);

    VRX_RichEdit& pane_;
    const std::wstring& currentFolder_;
    long inputStart_ = 0;
    bool redrawPending_ = false;
    std::wstring pendingOutput_;
    std::chrono::steady_clock::time_point lastFlush_{};
    std::chrono::steady_clock::time_point lastRedraw_{};
    std::function<bool()> deferWhile_;
};

}  // namespace tarvo
