#pragma once
// The console pane as a text model: everything before InputStart is protected
// history in its colours; what follows is the command being typed.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "console/output_backlog.h"

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
    void PreparePane(bool adminMode);

    long InputStart() const noexcept { return inputStart_; }

    void CaretToEnd();
    void AppendText(const std::wstring& text);
    void AppendErrorText(const std::wstring& text);
    void WritePrompt();
    void myConsole_OutputReceived(std::wstring& stdOut, std::wstring& stdErr);
    // Where the next command or typed line begins: the end of the text now.
    void MarkInputStart() { UpdateInputStart(); }
    // Ends a line typed into a running program with a protected line break of
    // its own; output read but not yet written follows it.
    void EndTypedLine();
    // Takes the text typed after InputStart out of the pane (typed ahead during
    // a run, it belongs after the next prompt), and puts it back at the end.
    std::wstring TakeTypedText();
    void PutBackTypedText(const std::wstring& typed);
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

    // While `deferWhile` answers true (a command is running), output is kept in
    // a bounded backlog and written by OnPumpPass one piece at a time, so the
    // window answers between pieces however fast the child writes. Anything
    // else that is written (but the line break ending a typed line) first
    // writes the whole backlog, so the pane shows what it would have shown.
    static constexpr std::size_t kBacklogBound = 256 * 1024;  // characters
    static constexpr double kPieceBudgetMilliseconds = 50;
    static constexpr std::chrono::milliseconds kFlushInterval{50};
    static constexpr std::chrono::milliseconds kRedrawInterval{100};
    void DeferRedrawWhile(std::function<bool()> deferWhile) { deferWhile_ = std::move(deferWhile); }
    // Called by the runner's pump before messages are handled: one piece or one repaint.
    void OnPumpPass();
    // Writes everything gathered and repaints.
    void FlushRedraw();
    // The runner reads no more while the backlog is full, and writes what is
    // left piece by piece before it completes a run.
    bool BacklogFull() const noexcept { return backlog_.Full(); }
    // The end of a run: one more piece, the last CR included; false when none was left.
    bool WriteFinalPiece() {
        pieceBeforeNextPass_ = WriteNextPiece(true);
        return pieceBeforeNextPass_;
    }

private:
    void BeginAppend();
    void EndAppend();
    void InsertAtEnd(const std::wstring& text, long colour, bool setColour);
    // Protects the text from the last InputStart to the end, and leaves the
    // insertion point at the end unprotected.
    void ProtectHistory();
    void UpdateInputStart();
    // The end of the text as a pane position (a line break counts once).
    long EndPosition() const;
    bool Deferring() const { return deferWhile_ && deferWhile_(); }
    // Writes one piece of the backlog; `final` also lets go of a trailing CR,
    // which otherwise waits for the LF that may follow in the next read.
    bool WriteNextPiece(bool final);
    void WriteBacklog();

    VRX_RichEdit& pane_;
    const std::wstring& currentFolder_;
    long inputStart_ = 0;
    bool redrawPending_ = false;
    bool pieceBeforeNextPass_ = false;  // the pass that follows only repaints or dispatches
    OutputBacklog backlog_{kBacklogBound};
    PieceSizer sizer_{kPieceBudgetMilliseconds};
    std::chrono::steady_clock::time_point lastFlush_{};
    std::chrono::steady_clock::time_point lastRedraw_{};
    std::function<bool()> deferWhile_;
};

}  // namespace tarvo
