#include "console/rich_edit_pane.h"

#include "console/output_renderer.h"
#include "controls/rich_edit.h"

namespace tarvo {

namespace {
constexpr long kRangeSelection = 1;
}  // namespace

long RichEditPane::CharacterCount() const { return edit_.Methods().CharacterCount(); }
long RichEditPane::LineCount() const { return edit_.Methods().LineCount(); }
void RichEditPane::Select(long start, long end) { edit_.Methods().SelectionCharRangeSet(start, end); }
void RichEditPane::Selection(long& start, long& end) const { edit_.Methods().SelectionCharRangeGet(start, end); }
std::wstring RichEditPane::TextInRange(long start, long end) const {
    return edit_.Methods().TextInRangeGet(start, end);
}
std::wstring RichEditPane::SelectedText() const { return edit_.Methods().SelectedText(); }
void RichEditPane::InsertText(const std::wstring& text) { edit_.Methods().InsertText(text); }
void RichEditPane::FormatColour(std::uint32_t colour) {
    edit_.Methods().FormatColourSet(static_cast<long>(colour), kRangeSelection);
}
void RichEditPane::FormatBold(bool bold) { edit_.Methods().FormatBoldSet(bold, kRangeSelection); }
void RichEditPane::FormatProtected(bool isProtected) {
    edit_.Methods().FormatProtectedSet(isProtected, kRangeSelection);
}
void RichEditPane::Redraw(bool on) { edit_.Behavior().Redraw(on); }
void RichEditPane::WantEvents(bool on) { edit_.Behavior().WantEvents(on); }

void PrepareConsolePane(VRX_RichEdit& edit, bool adminMode) {
    edit.View().Border(true);
    edit.Init();
    edit.Behavior().ConsumeEnter(true);
    ::SendMessageW(edit.RichEdithWnd(), EM_SETUNDOLIMIT, 0, 0);  // undo could reach into the history
    edit.View().maxLength(-1);
    if (adminMode) edit.View().BgColor(static_cast<long>(kAdminBackground));
}

}  // namespace tarvo
