#include "console/output_renderer.h"

#include <utility>

#include "controls/input_bits.h"

namespace tarvo {

namespace {
// The key codes the pane's key handler looks at.
constexpr short kBackKey = 0x08;
constexpr short kInsertKey = 0x2D;
constexpr short kDeleteKey = 0x2E;
}  // namespace

OutputRenderer::OutputRenderer(IConsolePane& pane, const std::wstring& currentFolder)
    : pane_(pane), currentFolder_(currentFolder) {}

void OutputRenderer::CaretToEnd() {
    const long n = pane_.CharacterCount();
    pane_.Select(n, n);
}

void OutputRenderer::BeginAppend() {
    pane_.WantEvents(false);
    pane_.Redraw(false);
}

void OutputRenderer::EndAppend() {
    if (Deferring()) {
        redrawPending_ = true;
    } else {
        pane_.Redraw(true);
        redrawPending_ = false;
    }
    pane_.WantEvents(true);
}

bool OutputRenderer::WriteNextPiece(bool final) {
    const double start = WorkMilliseconds();
    OutputPiece piece = backlog_.Take(sizer_.NextSize(), final);
    if (piece.text.empty()) return false;
    // Its own colour either way: after a piece of standard error the insertion point may still carry red.
    InsertAtEnd(piece.text, piece.isError ? kErrorColour : kNormalColour, true);
    UpdateInputStart();
    sizer_.Record(piece.text.size(), WorkMilliseconds() - start);
    return true;
}

void OutputRenderer::WriteBacklog() {
    while (WriteNextPiece(true)) {
    }
}

// One piece or one repaint a pass, so that no pass takes the time of both.
void OutputRenderer::OnPumpPass() {
    const auto now = std::chrono::steady_clock::now();
    const bool inputWaiting = InputWaiting();
    // Painting a large pane costs more than writing to it, so it waits longer.
    if (redrawPending_ && (inputWaiting || now - lastRedraw_ >= kRedrawInterval)) {
        redrawPending_ = false;
        pane_.Redraw(true);
        lastRedraw_ = now;
        return;
    }
    if (std::exchange(pieceBeforeNextPass_, false)) return;
    const bool due = backlog_.Size() >= sizer_.NextSize() || inputWaiting || now - lastFlush_ >= kFlushInterval;
    if (due && WriteNextPiece(false)) lastFlush_ = now;
}

void OutputRenderer::FlushRedraw() {
    WriteBacklog();
    if (!redrawPending_) return;
    redrawPending_ = false;
    pane_.Redraw(true);
}

void OutputRenderer::ProtectHistory() {
    pane_.Select(inputStart_, -1);
    pane_.FormatProtected(true);
    CaretToEnd();
    pane_.FormatProtected(false);
}

long OutputRenderer::EndPosition() const { return pane_.CharacterCount() - pane_.LineCount() + 1; }

void OutputRenderer::UpdateInputStart() { inputStart_ = EndPosition(); }

// The new text is inserted already protected, through the format of the
// insertion point: protecting it afterwards as a range costs as much again.
// Only text the user typed since the last write still needs it as a range.
void OutputRenderer::InsertAtEnd(const std::wstring& text, std::uint32_t colour, bool setColour) {
    BeginAppend();
    const bool typedSinceLastWrite = EndPosition() > inputStart_;
    if (typedSinceLastWrite) {
        pane_.Select(inputStart_, -1);
        pane_.FormatProtected(true);
    }
    CaretToEnd();
    if (setColour) pane_.FormatColour(colour);
    pane_.FormatProtected(true);
    pane_.InsertText(text);
    CaretToEnd();
    pane_.FormatProtected(false);
    // Moving the selection gives the insertion point the format of the text before it.
    if (setColour) pane_.FormatColour(kNormalColour);
    EndAppend();
}

void OutputRenderer::AppendText(const std::wstring& text) {
    WriteBacklog();
    InsertAtEnd(text, kNormalColour, false);
}

void OutputRenderer::AppendErrorText(const std::wstring& text) {
    WriteBacklog();
    InsertAtEnd(text, kErrorColour, true);
}

void OutputRenderer::WritePrompt() {
    WriteBacklog();
    BeginAppend();
    CaretToEnd();
    for (const std::wstring& part : {currentFolder_, std::wstring(L">")}) {
        pane_.FormatColour(kPromptColour);
        pane_.FormatBold(true);
        pane_.InsertText(part);
    }
    ProtectHistory();
    pane_.FormatColour(kNormalColour);
    pane_.FormatBold(false);
    UpdateInputStart();
    EndAppend();
}

void OutputRenderer::myConsole_OutputReceived(std::wstring& stdOut, std::wstring& stdErr) {
    if (Deferring()) {
        backlog_.Add(stdOut, false);
        if (!stdErr.empty()) backlog_.Add(L"STDERR: " + stdErr, true);
        return;
    }
    if (!stdOut.empty()) AppendText(stdOut);
    if (!stdErr.empty()) AppendErrorText(L"STDERR: " + stdErr);
    UpdateInputStart();
}

std::wstring OutputRenderer::TakeEnteredLine() {
    pane_.Redraw(false);
    pane_.WantEvents(false);
    const std::wstring typed = pane_.TextInRange(inputStart_, pane_.CharacterCount());
    // Only the typed line is new history; everything before it is protected already.
    pane_.Select(inputStart_, -1);
    pane_.FormatProtected(true);
    CaretToEnd();
    pane_.WantEvents(true);
    pane_.Redraw(true);
    return typed;
}

void OutputRenderer::EndTypedLine() {
    BeginAppend();
    CaretToEnd();
    pane_.FormatProtected(true);
    pane_.InsertText(L"\r\n");
    CaretToEnd();
    pane_.FormatProtected(false);
    UpdateInputStart();
    EndAppend();
}

std::wstring OutputRenderer::TakeTypedText() {
    if (EndPosition() <= inputStart_) return {};
    BeginAppend();
    std::wstring typed = pane_.TextInRange(inputStart_, pane_.CharacterCount());
    pane_.Select(inputStart_, -1);
    pane_.InsertText(L"");
    EndAppend();
    return typed;
}

void OutputRenderer::PutBackTypedText(const std::wstring& typed) {
    if (typed.empty()) return;
    BeginAppend();
    CaretToEnd();
    pane_.FormatColour(kNormalColour);
    pane_.FormatBold(false);
    pane_.FormatProtected(false);
    pane_.InsertText(typed);
    CaretToEnd();
    EndAppend();
}

void OutputRenderer::ReplaceTypedText(const std::wstring& text) {
    pane_.WantEvents(false);
    pane_.Redraw(false);
    pane_.Select(inputStart_, pane_.CharacterCount());
    pane_.InsertText(L"");
    CaretToEnd();
    pane_.FormatProtected(false);
    pane_.InsertText(text);
    CaretToEnd();
    pane_.Redraw(true);
    pane_.WantEvents(true);
}

void OutputRenderer::OnSelectionChange(long lMin, long, long eSelType) {
    if (eSelType != 0 || lMin < inputStart_) return;
    pane_.WantEvents(false);
    pane_.FormatProtected(false);
    pane_.WantEvents(true);
}

bool OutputRenderer::SelectionInHistory() const {
    long start = 0, end = 0;
    pane_.Selection(start, end);
    return start < inputStart_;
}

bool OutputRenderer::ReachesHistory(bool backspace) const {
    long start = 0, end = 0;
    pane_.Selection(start, end);
    const bool backIntoHistory = backspace && start == end && start <= inputStart_;
    return start < inputStart_ || backIntoHistory;
}

void OutputRenderer::OnKeyDown(short& keyCode, short shift) {
    if (shift == kCtrlDown && (keyCode == 'C' || keyCode == kInsertKey)) {
        CopySelection();
        return;
    }
    const bool edits = keyCode == kDeleteKey || keyCode == kBackKey ||
                       (shift == kCtrlDown && (keyCode == 'V' || keyCode == 'X')) ||
                       (shift == kShiftDown && (keyCode == kInsertKey || keyCode == kDeleteKey));
    if (edits && ReachesHistory(keyCode == kBackKey)) keyCode = 0;
}

void OutputRenderer::OnKeyPress(short& keyAscii) {
    if (keyAscii < 32 && keyAscii != kBackKey && keyAscii != '\t') return;
    if (ReachesHistory(keyAscii == kBackKey)) keyAscii = 0;
}

std::wstring OutputRenderer::ClipboardText() const {
    std::wstring text;
    for (wchar_t c : pane_.SelectedText()) {
        if (c == L'\r') {
            text += L"\r\n";
        } else {
            text.push_back(c);
        }
    }
    return text;
}

void OutputRenderer::CopySelection() {
    const std::wstring text = ClipboardText();
    if (!text.empty() && hooks_.copyText) hooks_.copyText(text);
}

}  // namespace tarvo
