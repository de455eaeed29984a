#include "console/recent_commands.h"

#include "console/output_renderer.h"
#include "controls/list_box.h"
#include "controls/rich_edit.h"

namespace tarvo {

bool TextEqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

RecentCommands::RecentCommands(VRX_ListBox& list, VRX_RichEdit& pane, OutputRenderer& renderer)
    : list_(list), pane_(pane), renderer_(renderer) {}

void RecentCommands::AddRecentCommand(const std::wstring& command) {
    auto& methods = list_.Methods();
    const std::int32_t count = methods.ItemCountGet();
    for (std::int32_t i = 0; i < count; ++i) {
        if (TextEqualsIgnoringCase(methods.ItemGet(i), command)) return;
    }
    methods.AddItem(command, -1);
}

void RecentCommands::UseRecentCommand() {
    renderer_.ReplaceTypedText(list_.Methods().ItemGet(list_.Methods().CurSelIndexGet()));
    ::SetFocus(pane_.RichEdithWnd());
}

}  // namespace tarvo
