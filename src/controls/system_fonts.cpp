#include "controls/system_fonts.h"

#include <cstdlib>

#include "common/raised_error.h"
#include "controls/font_metrics.h"
#include "controls/message_hooks.h"

namespace tarvo {

namespace {

bool IsKind(int fontType) { return fontType >= 1 && fontType <= 6; }

std::wstring AnsiToText(const char* text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring out(static_cast<std::size_t>(length - 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), length);
    return out;
}

int VerticalDpi(HDC dc) { return ::GetDeviceCaps(dc, LOGPIXELSY); }

}  // namespace

DefPrefsHandles::Descriptions DefPrefsHandles::ReadSystemDescriptions() {
    Descriptions out{};
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;  // the size every version of the system accepts
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0)) {
        ::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(LOGFONTA), &out[0], 0);
        out[1] = metrics.lfCaptionFont;
        out[2] = metrics.lfSmCaptionFont;
        out[3] = metrics.lfMenuFont;
        out[4] = metrics.lfStatusFont;
        out[5] = metrics.lfMessageFont;
    }
    return out;
}

DefPrefsHandles& DefPrefsHandles::Shared() {
    static DefPrefsHandles shared(ReadSystemDescriptions());
    return shared;
}

DefPrefsHandles::DefPrefsHandles(const Descriptions& descriptions) : descriptions_(descriptions) {}

const LOGFONTA* DefPrefsHandles::Description(int fontType) const {
    return IsKind(fontType) ? &descriptions_[static_cast<std::size_t>(fontType - 1)] : nullptr;
}

HFONT DefPrefsHandles::GetHandle(int fontType) {
    if (!IsKind(fontType)) RaiseStandard(kErrSubscriptOutOfRange, MSubclass::AppTitle());
    auto& slot = handles_[static_cast<std::size_t>(fontType - 1)];
    if (!slot) slot.reset(::CreateFontIndirectA(Description(fontType)));
    return slot.get();
}

long DefPrefsHandles::GetHeightInPixelAtDpi(int fontType, int dpi) const {
    if (!IsKind(fontType)) return 0;
    const auto pixels = FontHeightInPixels(Description(fontType)->lfHeight, dpi);
    if (!pixels) RaiseStandard(kErrOverflow, MSubclass::AppTitle());
    return *pixels;
}

long DefPrefsHandles::GetHeightInPixel(int fontType, HDC dc) const {
    return GetHeightInPixelAtDpi(fontType, VerticalDpi(dc));
}

std::optional<StdFontInfo> DefPrefsHandles::FontObjectAtDpi(int fontType, int dpi) const {
    if (!IsKind(fontType)) return std::nullopt;
    const LOGFONTA& d = *Description(fontType);
    StdFontInfo font;
    font.Name = AnsiToText(d.lfFaceName);
    font.Size = FontSizeInPoints(d.lfHeight, dpi);
    font.Charset = d.lfCharSet;
    font.Italic = d.lfItalic != 0;
    font.Underline = d.lfUnderline != 0;
    font.Strikethrough = d.lfStrikeOut != 0;
    font.Bold = d.lfWeight >= 401;
    return font;
}

HFONT DefaultFontHandle(int fontType) { return DefPrefsHandles::Shared().GetHandle(fontType); }

long DefaultFontHeight(int fontType, HDC dc) { return std::labs(DefPrefsHandles::Shared().GetHeightInPixel(fontType, dc)); }

std::optional<StdFontInfo> DefaultFontObject(HDC dc, int fontType) {
    return DefPrefsHandles::Shared().FontObjectAtDpi(fontType, VerticalDpi(dc));
}

}  // namespace tarvo
