#pragma once
// Helpers shared by the rich edit control's parts; not part of its interface.
#include <windows.h>
#include <richedit.h>

#include <string>

#include "controls/system_fonts.h"

namespace tarvo {

class VRX_RichEdit;

namespace rich_edit_detail {

// The source text of the errors the control raises.
std::wstring ErrorSource();

// Streams `text` in at the selection as UTF-16 plain text; returns the message result.
LRESULT StreamTextIn(HWND edit, const std::wstring& text);
// Streams the file in (load) or out with `format`, reporting progress to `target`.
LRESULT StreamFile(HWND edit, HANDLE file, long format, bool load, VRX_RichEdit& target);

// A character-format record for a font: face, size, bold, italic, underline,
// strikeout and character set. Error 9 for a face name over 16 characters,
// error 6 when the height overflows.
CHARFORMAT2W FontCharFormat(const StdFontInfo& font);

}  // namespace rich_edit_detail
}  // namespace tarvo
