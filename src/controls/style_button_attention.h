#pragma once
// StyleButtonAttention: the style button's speech bubble.
// The program's speech bubble as the attention tip of a blinking style button.
#include "controls/speech_bubble.h"
#include "controls/style_button.h"

namespace tarvo {

class StyleButtonAttention final : public IAttentionTip {
public:
    explicit StyleButtonAttention(frmFakeToolTip& bubble) : bubble_(bubble) {}

    bool TipVisible() const override { return bubble_.Visible(); }
    bool OwnerWindowActive() const override { return bubble_.OwnerWindowActive(); }
    void ShowTip(int x, int y) override { bubble_.ShowTip(x, y); }
    void HideTip() override { bubble_.Hide(); }

private:
    frmFakeToolTip& bubble_;
};

}  // namespace tarvo
