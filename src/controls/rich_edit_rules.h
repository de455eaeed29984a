#pragma once
// The rich edit control's decisions that need no window: key routing, the
// formatting rectangle, font heights, colour translation and range sizes.
#include <cstdint>
#include <functional>
#include <optional>

namespace tarvo::rich_edit_rules {

// What the control does with a key message offered to it before the hosting form.
enum class AccelAction {
    kNotHandled,  // the form (and then the edit) gets the key
    kTypeTab,     // handled: a WM_CHAR with the same parameters goes to the edit
    kSwallow,     // handled: nothing more happens
    kSendToEdit,  // handled: the message goes to the edit unchanged
};

struct AccelInput {
    std::uint32_t message = 0;  // WM_KEYDOWN, WM_KEYUP, WM_CHAR, ...
    std::uint32_t key = 0;      // the message's first parameter
    bool hasEditWindow = false;
    bool readOnly = false;
    bool trapTab = true;
    bool shiftOrCtrlActive = false;  // any asynchronous state of Shift or Ctrl
};

AccelAction DecideAccel(const AccelInput& input);

struct FormatRect {
    std::int32_t left, top, right, bottom;
};

// The text area inside a container of the given pixel size.
FormatRect FormattingRectangle(std::int32_t width, std::int32_t height, std::int32_t marginLeft,
                               std::int32_t marginRight);

// Points to twips: the size as a four-decimal fixed-point value times 20,
// rounded halves to even; nothing when it does not fit in 32 bits.
std::optional<std::int32_t> FontHeightInTwips(double points);

// The right-margin parameter (pixels in the high word); nothing on 32-bit overflow.
std::optional<std::int32_t> RightMarginParameter(std::int32_t pixels);

// end - start + 1 characters; nothing on 32-bit overflow.
std::optional<std::int32_t> RangeBufferLength(std::int32_t start, std::int32_t end);

// Storage names the OLE callback hands out: "VRXRE 1", "VRXRE 2", ...
// Advances the counter; nothing when it would overflow.
std::optional<std::int32_t> NextStorageNumber(std::int32_t& counter);

}  // namespace tarvo::rich_edit_rules
