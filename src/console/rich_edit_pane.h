#pragma once
// RichEditPane: the rich edit control as the console's pane.
#include "console/console_pane.h"

namespace tarvo {

class VRX_RichEdit;

class RichEditPane : public IConsolePane {
public:
    explicit RichEditPane(VRX_RichEdit& edit) : edit_(edit) {}

    long CharacterCount() const override;
    long LineCount() const override;
    void Select(long start, long end) override;
    void Selection(long& start, long& end) const override;
    std::wstring TextInRange(long start, long end) const override;
    std::wstring SelectedText() const override;
    void InsertText(const std::wstring& text) override;
    void FormatColour(std::uint32_t colour) override;
    void FormatBold(bool bold) override;
    void FormatProtected(bool isProtected) override;
    void Redraw(bool on) override;
    void WantEvents(bool on) override;

private:
    VRX_RichEdit& edit_;
};

// The once-only configuration of the console's rich edit at window load.
void PrepareConsolePane(VRX_RichEdit& edit, bool adminMode);

}  // namespace tarvo
