#include "common/raised_error.h"
#include "common/system_colour.h"
#include "controls/rich_edit.h"
#include "controls/rich_edit_internal.h"
#include "controls/rich_edit_rules.h"
#include "controls/text_control_host.h"

namespace tarvo {

namespace {

// No move, no size, no z-order, no activation, frame changed, no owner z-order.
constexpr UINT kFrameChanged = 0x237;
constexpr LPARAM kTextModePlain = TM_PLAINTEXT | TM_SINGLELEVELUNDO | TM_SINGLECODEPAGE;  // 41
constexpr LPARAM kTextModeRich = TM_RICHTEXT | TM_SINGLELEVELUNDO | TM_SINGLECODEPAGE;    // 42

void ApplyFrame(HWND window) { ::SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged); }

}  // namespace

void RichEditView::WordWrap(bool value) {
    if (!edit_) {
        wordWrap_ = value;
        return;
    }
    if (::SendMessageW(edit_, EM_SETTARGETDEVICE, 0, value ? 0 : 1) != 0) wordWrap_ = value;
}

void RichEditView::AlwaysShowScrollBars(bool value) {
    if (!edit_) alwaysShowScrollBars_ = value;
}

void RichEditView::AutoURLDetect(bool value) {
    if (!edit_) {
        autoUrlDetect_ = value;
        return;
    }
    if (::SendMessageW(edit_, EM_AUTOURLDETECT, value ? 1 : 0, 0) == 0) autoUrlDetect_ = value;
}

void RichEditView::BgColor(long oleColour) {
    if (!edit_) {
        bgColor_ = oleColour;
        return;
    }
    const auto rgb = TranslateOleColour(static_cast<OleColour>(oleColour), SystemColour);
    ::SendMessageW(edit_, EM_SETBKGNDCOLOR, 0, rgb ? static_cast<LPARAM>(*rgb) : -1);
}

void RichEditView::Border(bool value) {
    border_ = value;
    if (!edit_) return;
    ChangeStyleBit(edit_, GWL_STYLE, ES_SUNKEN, value);
    ChangeStyleBit(edit_, GWL_EXSTYLE, WS_EX_CLIENTEDGE, value);
    ApplyFrame(edit_);
}

void RichEditView::SingleLine(bool value) {
    if (!edit_) singleLine_ = value;
}

void RichEditView::HideSelectionWhenWindowInactive(bool value) {
    if (!edit_) hideSelection_ = value;
}

bool RichEditView::ApplyStyleBit(DWORD bit, bool value) {
    ChangeStyleBit(edit_, GWL_STYLE, bit, value);
    const bool nowSet = HasStyleBit(edit_, GWL_STYLE, bit);
    ApplyFrame(edit_);
    return nowSet == value;
}

void RichEditView::ShowVScroll(bool value) {
    if (!edit_ || ApplyStyleBit(WS_VSCROLL, value)) showVScroll_ = value;
}

void RichEditView::ShowHScroll(bool value) {
    if (!edit_ || ApplyStyleBit(WS_HSCROLL, value)) showHScroll_ = value;
}

void RichEditView::PlainText(bool value) {
    plainText_ = value;
    if (edit_) ::SendMessageW(edit_, EM_SETTEXTMODE, value ? kTextModePlain : kTextModeRich, 0);
}

void RichEditView::RightToLeft(bool value) {
    rightToLeft_ = value;
    if (!edit_) return;
    ChangeStyleBit(edit_, GWL_EXSTYLE, WS_EX_LAYOUTRTL, value);
    ApplyFrame(edit_);
}

void RichEditView::DefaultFont(const StdFontInfo& font) {
    CHARFORMAT2W format = rich_edit_detail::FontCharFormat(font);  // raises before anything changes
    defaultFont_ = font;
    ::SendMessageW(edit_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

namespace {
// A negative limit is not "unlimited" to every rich edit: some take it as the
// 64K default and then refuse typing once the text is that long. The largest
// count there is means the same everywhere.
constexpr long kNoLimit = 0x7FFFFFFF;
}  // namespace

long RichEditView::maxLength() const {
    if (!edit_) return maxLength_;
    const auto limit = static_cast<long>(::SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0));
    return limit == kNoLimit ? -1 : limit;
}

void RichEditView::maxLength(long value) {
    maxLength_ = value;
    if (edit_) ::SendMessageW(edit_, EM_EXLIMITTEXT, 0, value < 0 ? kNoLimit : value);
}

void RichEditView::MarginLeft(long pixels) {
    if (edit_) ::SendMessageW(edit_, EM_SETMARGINS, EC_LEFTMARGIN, pixels);
    marginLeft_ = pixels;
}

void RichEditView::MarginRight(long pixels) {
    const auto parameter = rich_edit_rules::RightMarginParameter(pixels);
    if (!parameter) RaiseStandard(kErrOverflow, rich_edit_detail::ErrorSource());
    if (edit_) ::SendMessageW(edit_, EM_SETMARGINS, EC_RIGHTMARGIN, static_cast<LPARAM>(static_cast<DWORD>(*parameter)));
    marginRight_ = pixels;
}

}  // namespace tarvo
