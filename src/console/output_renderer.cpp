#include "console/output_renderer.h"

#include <cstring>
#include <utility>

#include "controls/rich_edit.h"

namespace tarvo {

namespace {
constexpr long kRangeSelection = 1;

// The pane's work for a piece, measured as this thread's processor time: on a
// busy machine the wall clock would shrink the pieces just when each append
// costs the most.
double ThreadMilliseconds() {
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto value = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(value(kernel) + value(user)) / 10000.0;
}
}  // namespace

OutputRenderer::OutputRenderer(VRX_RichEdit& pane, const std::wstring& currentFolder)
    : pane_(pane), currentFolder_(currentFolder) {}

void OutputRenderer::PreparePane(bool adminMode) {
    pane_.View().Border(true);
    pane_.Init();
    pane_.Behavior().ConsumeEnter(true);
    ::SendMessageW(pane_.RichEdithWnd(), EM_SETUNDOLIMIT, 0, 0);  // undo could reach into the history
    pane_.View().maxLength(-1);
    if (adminMode) pane_.View().BgColor(kAdminBackground);
}

void OutputRenderer::CaretToEnd() {
    const long n = pane_.Methods().CharacterCount();
    pane_.Methods().SelectionCharRangeSet(n, n);
}

void OutputRenderer::BeginAppend() {
    pane_.Behavior().WantEvents(false);
    pane_.Behavior().Redraw(false);
}

void OutputRenderer::EndAppend() {
    if (Deferring()) {
        redrawPending_ = true;
    } else {
        pane_.Behavior().Redraw(true);
        redrawPending_ = false;
    }
    pane_.Behavior().WantEvents(true);
}

bool OutputRenderer::WriteNextPiece(bool final) {
    const double start = ThreadMilliseconds();
    OutputPiece piece = backlog_.Take(sizer_.NextSize(), final);
    if (piece.text.empty()) return false;
    // Its own colour either way: after a piece of standard error the insertion point may still carry red.
    InsertAtEnd(piece.text, piece.isError ? kErrorColour : kNormalColour, true);
    UpdateInputStart();
    sizer_.Record(piece.text.size(), ThreadMilliseconds() - start);
    return true;
}

void OutputRenderer::WriteBacklog() {
    while (WriteNextPiece(true)) {
    }
}

// One piece or one repaint a pass, so that no pass takes the time of both.
void OutputRenderer::OnPumpPass() {
    const auto now = std::chrono::steady_clock::now();
    const bool inputWaiting = HIWORD(::GetQueueStatus(QS_INPUT)) != 0;
    // Painting a large pane costs more than writing to it, so it waits longer.
    if (redrawPending_ && (inputWaiting || now - lastRedraw_ >= kRedrawInterval)) {
        redrawPending_ = false;
        pane_.Behavior().Redraw(true);
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
    pane_.Behavior().Redraw(true);
}

void OutputRenderer::ProtectHistory() {
    auto& methods = pane_.Methods();
    methods.SelectionCharRangeSet(inputStart_, -1);
    methods.FormatProtectedSet(true, kRangeSelection);
    CaretToEnd();
    methods.FormatProtectedSet(false, kRangeSelection);
}

long OutputRenderer::EndPosition() const {
    return pane_.Methods().CharacterCount() - pane_.Methods().LineCount() + 1;
}

void OutputRenderer::UpdateInputStart() { inputStart_ = EndPosition(); }

// The new text is inserted already protected, through the format of the
// insertion point: protecting it afterwards as a range costs as much again.
// Only text the user typed since the last write still needs it as a range.
void OutputRenderer::InsertAtEnd(const std::wstring& text, long colour, bool setColour) {
    BeginAppend();
    auto& methods = pane_.Methods();
    const bool typedSinceLastWrite = EndPosition() > inputStart_;
    if (typedSinceLastWrite) {
        methods.SelectionCharRangeSet(inputStart_, -1);
        methods.FormatProtectedSet(true, kRangeSelection);
    }
    CaretToEnd();
    if (setColour) methods.FormatColourSet(colour, kRangeSelection);
    methods.FormatProtectedSet(true, kRangeSelection);
    methods.InsertText(text);
    CaretToEnd();
    methods.FormatProtectedSet(false, kRangeSelection);
    // Moving the selection gives the insertion point the format of the text before it.
    if (setColour) methods.FormatColourSet(kNormalColour, kRangeSelection);
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
    auto& methods = pane_.Methods();
    for (const std::wstring& part : {currentFolder_, std::wstring(L">")}) {
        methods.FormatColourSet(kPromptColour, kRangeSelection);
        methods.FormatBoldSet(true, kRangeSelection);
        methods.InsertText(part);
    }
    ProtectHistory();
    methods.FormatColourSet(kNormalColour, kRangeSelection);
    methods.FormatBoldSet(false, kRangeSelection);
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

void OutputRenderer::EndTypedLine() {
    BeginAppend();
    CaretToEnd();
    auto& methods = pane_.Methods();
    methods.FormatProtectedSet(true, kRangeSelection);
    methods.InsertText(L"\r\n");
    CaretToEnd();
    methods.FormatProtectedSet(false, kRangeSelection);
    UpdateInputStart();
    EndAppend();
}

std::wstring OutputRenderer::TakeTypedText() {
    auto& methods = pane_.Methods();
    if (EndPosition() <= inputStart_) return {};
    BeginAppend();
    std::wstring typed = methods.TextInRangeGet(inputStart_, methods.CharacterCount());
    methods.SelectionCharRangeSet(inputStart_, -1);
    methods.InsertText(L"");
    EndAppend();
    return typed;
}

void OutputRenderer::PutBackTypedText(const std::wstring& typed) {
    if (typed.empty()) return;
    BeginAppend();
    CaretToEnd();
    auto& methods = pane_.Methods();
    methods.FormatColourSet(kNormalColour, kRangeSelection);
    methods.FormatBoldSet(false, kRangeSelection);
    methods.FormatProtectedSet(false, kRangeSelection);
    methods.InsertText(typed);
    CaretToEnd();
    EndAppend();
}

void OutputRenderer::OnSelectionChange(long lMin, long, long eSelType) {
    if (eSelType != 0 || lMin < inputStart_) return;
    pane_.Behavior().WantEvents(false);
    pane_.Methods().FormatProtectedSet(false, kRangeSelection);
    pane_.Behavior().WantEvents(true);
}

bool OutputRenderer::SelectionInHistory() const {
    long start = 0, end = 0;
    pane_.Methods().SelectionCharRangeGet(start, end);
    return start < inputStart_;
}

void OutputRenderer::OnKeyDown(short& keyCode, short shift, HWND clipboardOwner) {
    constexpr short kShiftOnly = 1;
    constexpr short kCtrlOnly = 2;
    if (shift == kCtrlOnly && (keyCode == 'C' || keyCode == VK_INSERT)) {
        CopySelection(clipboardOwner);
        return;
    }
    const bool edits = keyCode == VK_DELETE || keyCode == VK_BACK ||
                       (shift == kCtrlOnly && (keyCode == 'V' || keyCode == 'X')) ||
                       (shift == kShiftOnly && (keyCode == VK_INSERT || keyCode == VK_DELETE));
    if (!edits) return;
    long start = 0, end = 0;
    pane_.Methods().SelectionCharRangeGet(start, end);
    const bool backIntoHistory = keyCode == VK_BACK && start == end && start <= inputStart_;
    if (start < inputStart_ || backIntoHistory) keyCode = 0;
}

void OutputRenderer::OnKeyPress(short& keyAscii) {
    constexpr short kBackspace = 8;
    if (keyAscii < 32 && keyAscii != kBackspace && keyAscii != '\t') return;
    long start = 0, end = 0;
    pane_.Methods().SelectionCharRangeGet(start, end);
    const bool backIntoHistory = keyAscii == kBackspace && start == end && start <= inputStart_;
    if (start < inputStart_ || backIntoHistory) keyAscii = 0;
}

void OutputRenderer::CopySelection(HWND clipboardOwner) {
    if (!::OpenClipboard(clipboardOwner)) return;
    struct ClipboardScope {
        ~ClipboardScope() { ::CloseClipboard(); }
    } closeClipboard;

    std::wstring text;
    for (wchar_t c : pane_.Methods().SelectedText()) {
        if (c == L'\r') {
            text += L"\r\n";
        } else {
            text.push_back(c);
        }
    }
    if (text.empty()) return;

    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(0, bytes);
    if (!block) return;
    void* memory = ::GlobalLock(block);
    if (!memory) {
        ::GlobalFree(block);
        return;
    }
    std::memcpy(memory, text.c_str(), bytes);
    ::GlobalUnlock(block);
    if (!::SetClipboardData(CF_UNICODETEXT, block)) ::GlobalFree(block);
}

}  // namespace tarvo
