#pragma once
// IConsolePane: what the console needs of the text control it writes into, so
// that its rules run over any pane (the rich edit, or a fake in the tests).
// Positions count a line break once; colours are 0x00BBGGRR.
#include <cstdint>
#include <string>

namespace tarvo {

class IConsolePane {
public:
    virtual ~IConsolePane() = default;

    // Counts a line break as two characters, as the control reports its length.
    virtual long CharacterCount() const = 0;
    virtual long LineCount() const = 0;
    // `end` -1 selects to the end of the text; start == end places the insertion point.
    virtual void Select(long start, long end) = 0;
    virtual void Selection(long& start, long& end) const = 0;
    virtual std::wstring TextInRange(long start, long end) const = 0;
    virtual std::wstring SelectedText() const = 0;
    // Replaces the selection; the new text takes the insertion point's format.
    virtual void InsertText(const std::wstring& text) = 0;
    // Of the selection, or of the insertion point when nothing is selected.
    virtual void FormatColour(std::uint32_t colour) = 0;
    virtual void FormatBold(bool bold) = 0;
    virtual void FormatProtected(bool isProtected) = 0;
    virtual void Redraw(bool on) = 0;
    // Off: the pane raises no events while the console changes it.
    virtual void WantEvents(bool on) = 0;
};

}  // namespace tarvo
