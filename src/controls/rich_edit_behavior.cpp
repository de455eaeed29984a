#include "controls/rich_edit.h"

#include "controls/text_control_host.h"

namespace tarvo {

void RichEditBehavior::Enabled(bool value) {
    enabled_ = value;
    if (edit_) ::EnableWindow(edit_, value ? TRUE : FALSE);
}

void RichEditBehavior::WantEvents(bool value) {
    if (value != wantEvents_ && edit_) {
        if (value) {
            ::SendMessageW(edit_, EM_SETEVENTMASK, 0, savedEventMask_);
        } else {
            savedEventMask_ = static_cast<long>(::SendMessageW(edit_, EM_SETEVENTMASK, 0, 0));
        }
    }
    wantEvents_ = value;
}

bool RichEditBehavior::ReadOnly() const {
    if (edit_) return HasStyleBit(edit_, GWL_STYLE, ES_READONLY);
    return readOnly_;
}

void RichEditBehavior::ReadOnly(bool value) {
    readOnly_ = value;
    if (edit_) ::SendMessageW(edit_, EM_SETREADONLY, value ? 1 : 0, 0);
}

void RichEditBehavior::Redraw(bool value) {
    if (value != redraw_ && edit_) {
        ::SendMessageW(edit_, WM_SETREDRAW, value ? 1 : 0, 0);
        if (value) {
            ::InvalidateRect(edit_, nullptr, TRUE);
            ::UpdateWindow(edit_);
        }
    }
    redraw_ = value;
}

}  // namespace tarvo
