#include <vector>

#include "common/raised_error.h"
#include "controls/rich_edit.h"
#include "common/system_colour.h"
#include "controls/rich_edit_internal.h"
#include "controls/rich_edit_rules.h"

namespace tarvo {

namespace {

constexpr DWORD kFontMask = CFM_SIZE | CFM_FACE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
constexpr DWORD kScriptMask = CFM_SUPERSCRIPT | CFM_SUBSCRIPT;
constexpr std::size_t kMaxFaceName = 16;
// The find flags of the common dialogs' header, which the lean Windows headers leave out.
constexpr WPARAM kFindDown = 1;
constexpr WPARAM kFindWholeWord = 2;
constexpr WPARAM kFindMatchCase = 4;

[[noreturn]] void Raise(std::int32_t number) { RaiseStandard(number, rich_edit_detail::ErrorSource()); }

std::int32_t BufferLength(long start, long end) {
    const auto length = rich_edit_rules::RangeBufferLength(start, end);
    if (!length) Raise(kErrOverflow);
    return *length;
}

CHARFORMAT2W EmptyFormat(DWORD mask) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = mask;
    return format;
}

void ApplyFormat(HWND edit, CHARFORMAT2W& format, long range) {
    ::SendMessageW(edit, EM_SETCHARFORMAT, static_cast<WPARAM>(range), reinterpret_cast<LPARAM>(&format));
}

// -1 asks for the automatic colour, which the format carries as an effect.
COLORREF ColourOrAutomatic(long colour, DWORD automaticEffect, DWORD& effects) {
    if (colour != -1) return TranslateOleColour(static_cast<OleColour>(colour), SystemColour).value_or(CLR_INVALID);
    effects = automaticEffect;
    return static_cast<COLORREF>(-1);
}

CHARRANGE SelectionOf(HWND edit) {
    CHARRANGE range{};
    ::SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

}  // namespace

namespace rich_edit_detail {

CHARFORMAT2W FontCharFormat(const StdFontInfo& font) {
    if (font.Name.size() > kMaxFaceName) Raise(kErrSubscriptOutOfRange);
    const auto height = rich_edit_rules::FontHeightInTwips(font.Size);
    if (!height) Raise(kErrOverflow);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = kFontMask;
    format.dwEffects = (font.Bold ? CFE_BOLD : 0) | (font.Italic ? CFE_ITALIC : 0) |
                       (font.Underline ? CFE_UNDERLINE : 0) | (font.Strikethrough ? CFE_STRIKEOUT : 0);
    format.yHeight = *height;
    format.bCharSet = static_cast<BYTE>(font.Charset);
    font.Name.copy(format.szFaceName, font.Name.size());
    return format;
}

}  // namespace rich_edit_detail

void RichEditMethods::InsertText(const std::wstring& text) { rich_edit_detail::StreamTextIn(edit_, text); }

bool RichEditMethods::EditCanUndo() const { return ::SendMessageW(edit_, EM_CANUNDO, 0, 0) != 0; }

long RichEditMethods::Find(const std::wstring& sText, long& startPos, long& endPos, bool WholeWord, bool MatchCase) {
    FINDTEXTW find{};
    find.chrg.cpMin = startPos;
    find.chrg.cpMax = endPos;
    find.lpstrText = sText.c_str();
    const WPARAM flags = kFindDown | (WholeWord ? kFindWholeWord : 0) | (MatchCase ? kFindMatchCase : 0);
    return static_cast<long>(::SendMessageW(edit_, EM_FINDTEXTW, flags, reinterpret_cast<LPARAM>(&find)));
}

std::wstring RichEditMethods::TextInRangeGet(long start, long end) const {
    // An open end (-1) copies to the end of the text, so the buffer must hold all of it.
    const long last = (end < start) ? CharacterCount() : end;
    const std::int32_t length = BufferLength(start, last);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    TEXTRANGEW range{};
    range.chrg.cpMin = start;
    range.chrg.cpMax = end;
    range.lpstrText = buffer.data();
    const auto copied = static_cast<long>(::SendMessageW(edit_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    if (copied <= 0) return {};
    return std::wstring(buffer.data(), static_cast<std::size_t>(std::min<long>(copied, length)));
}

long RichEditMethods::CharacterCount() const { return static_cast<long>(::SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0)); }

void RichEditMethods::Paste() { ::SendMessageW(edit_, WM_PASTE, 0, 0); }

void RichEditMethods::Cut() { ::SendMessageW(edit_, WM_CUT, 0, 0); }

std::wstring RichEditMethods::SelectedText() const {
    const CHARRANGE selection = SelectionOf(edit_);
    if (selection.cpMin == selection.cpMax) return {};
    const bool whole = selection.cpMin == 0 && selection.cpMax == -1;
    const std::int32_t length = whole ? CharacterCount() + 1 : BufferLength(selection.cpMin, selection.cpMax);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = static_cast<long>(::SendMessageW(edit_, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data())));
    if (copied < 1) return {};
    return std::wstring(buffer.data(), static_cast<std::size_t>(std::min<long>(copied, length)));
}

void RichEditMethods::SelectionCharRangeGet(long& start, long& end) const {
    const CHARRANGE selection = SelectionOf(edit_);
    start = selection.cpMin;
    end = selection.cpMax;
}

void RichEditMethods::SelectionCharRangeSet(long start, long end) {
    CHARRANGE range{start, end};
    ::SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void RichEditMethods::SelectAll() { SelectionCharRangeSet(0, -1); }

void RichEditMethods::SelectNone() { SelectionCharRangeSet(0, 0); }

bool RichEditMethods::ModifiedGet() const { return edit_ && ::SendMessageW(edit_, EM_GETMODIFY, 0, 0) != 0; }

void RichEditMethods::ModifiedSet(bool flag) {
    if (edit_) ::SendMessageW(edit_, EM_SETMODIFY, flag ? 1 : 0, 0);
}

long RichEditMethods::LineForCharacterIndex(long index) const {
    return static_cast<long>(::SendMessageW(edit_, EM_EXLINEFROMCHAR, 0, index));
}

long RichEditMethods::LineCount() const { return static_cast<long>(::SendMessageW(edit_, EM_GETLINECOUNT, 0, 0)); }

long RichEditMethods::FirstVisibleLine() const {
    return static_cast<long>(::SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0));
}

long RichEditMethods::CurrentLine() const { return LineForCharacterIndex(SelectionOf(edit_).cpMin); }

CHARFORMAT2W RichEditMethods::QueryFormat(DWORD mask, long range) const {
    CHARFORMAT2W format = EmptyFormat(mask);
    ::SendMessageW(edit_, EM_GETCHARFORMAT, static_cast<WPARAM>(range), reinterpret_cast<LPARAM>(&format));
    return format;
}

bool RichEditMethods::HasEffect(DWORD mask, DWORD effect, long range) const {
    return (QueryFormat(mask, range).dwEffects & effect) != 0;
}

void RichEditMethods::ApplyEffect(DWORD mask, DWORD effect, long range) {
    CHARFORMAT2W format = EmptyFormat(mask);
    format.dwEffects = effect;
    ApplyFormat(edit_, format, range);
}

bool RichEditMethods::FormatBoldGet(long range) const { return HasEffect(CFM_BOLD, CFE_BOLD, range); }
void RichEditMethods::FormatBoldSet(bool value, long range) { ApplyEffect(CFM_BOLD, value ? CFE_BOLD : 0, range); }
bool RichEditMethods::FormatItalicGet(long range) const { return HasEffect(CFM_ITALIC, CFE_ITALIC, range); }
void RichEditMethods::FormatItalicSet(bool value, long range) { ApplyEffect(CFM_ITALIC, value ? CFE_ITALIC : 0, range); }
bool RichEditMethods::FormatUnderlineGet(long range) const { return HasEffect(CFM_UNDERLINE, CFE_UNDERLINE, range); }
void RichEditMethods::FormatUnderlineSet(bool value, long range) {
    ApplyEffect(CFM_UNDERLINE, value ? CFE_UNDERLINE : 0, range);
}
bool RichEditMethods::FormatStrikeOutGet(long range) const { return HasEffect(CFM_STRIKEOUT, CFE_STRIKEOUT, range); }
void RichEditMethods::FormatStrikeOutSet(bool value, long range) {
    ApplyEffect(CFM_STRIKEOUT, value ? CFE_STRIKEOUT : 0, range);
}
bool RichEditMethods::FormatLinkGet(long range) const { return HasEffect(CFM_LINK, CFE_LINK, range); }
void RichEditMethods::FormatLinkSet(bool value, long range) { ApplyEffect(CFM_LINK, value ? CFE_LINK : 0, range); }
bool RichEditMethods::FormatProtectedGet(long range) const { return HasEffect(CFM_PROTECTED, CFE_PROTECTED, range); }
void RichEditMethods::FormatProtectedSet(bool value, long range) {
    ApplyEffect(CFM_PROTECTED, value ? CFE_PROTECTED : 0, range);
}
// Superscript and subscript share their mask: setting one clears the other.
bool RichEditMethods::FormatSuperScriptGet(long range) const { return HasEffect(kScriptMask, CFE_SUPERSCRIPT, range); }
void RichEditMethods::FormatSuperScriptSet(bool value, long range) {
    ApplyEffect(kScriptMask, value ? CFE_SUPERSCRIPT : 0, range);
}
bool RichEditMethods::FormatSubScriptGet(long range) const { return HasEffect(kScriptMask, CFE_SUBSCRIPT, range); }
void RichEditMethods::FormatSubScriptSet(bool value, long range) {
    ApplyEffect(kScriptMask, value ? CFE_SUBSCRIPT : 0, range);
}

long RichEditMethods::FormatColourGet(long range) const {
    return static_cast<long>(QueryFormat(CFM_COLOR, range).crTextColor);
}

void RichEditMethods::FormatColourSet(long colour, long range) {
    CHARFORMAT2W format = EmptyFormat(CFM_COLOR);
    format.crTextColor = ColourOrAutomatic(colour, CFE_AUTOCOLOR, format.dwEffects);
    ApplyFormat(edit_, format, range);
}

long RichEditMethods::FormatBgColourGet(long range) const {
    return static_cast<long>(QueryFormat(CFM_BACKCOLOR, range).crBackColor);
}

void RichEditMethods::FormatBgColourSet(long colour, long range) {
    CHARFORMAT2W format = EmptyFormat(CFM_BACKCOLOR);
    format.crBackColor = ColourOrAutomatic(colour, CFE_AUTOBACKCOLOR, format.dwEffects);
    ApplyFormat(edit_, format, range);
}

StdFontInfo RichEditMethods::FormatFontGet(long range) const {
    const CHARFORMAT2W format = QueryFormat(kFontMask, range);
    StdFontInfo font;
    font.Name = format.szFaceName;
    font.Size = static_cast<double>(format.yHeight / 20);
    font.Charset = format.bCharSet;
    font.Bold = (format.dwEffects & CFE_BOLD) != 0;
    font.Italic = (format.dwEffects & CFE_ITALIC) != 0;
    font.Underline = (format.dwEffects & CFE_UNDERLINE) != 0;
    font.Strikethrough = (format.dwEffects & CFE_STRIKEOUT) != 0;
    return font;
}

void RichEditMethods::FormatFontSet(const StdFontInfo& font, long range) {
    CHARFORMAT2W format = rich_edit_detail::FontCharFormat(font);
    ApplyFormat(edit_, format, range);
}

long RichEditMethods::ParagraphNumberingGet() const {
    PARAFORMAT2 format{};
    format.cbSize = sizeof(format);
    format.dwMask = PFM_NUMBERING;
    ::SendMessageW(edit_, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format.wNumbering;
}

void RichEditMethods::ParagraphNumberingSet(long style) {
    PARAFORMAT2 format{};
    format.cbSize = sizeof(format);
    format.dwMask = PFM_NUMBERING | PFM_NUMBERINGSTART;
    format.wNumbering = static_cast<WORD>(style);
    format.wNumberingStart = 1;
    ::SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

}  // namespace tarvo
