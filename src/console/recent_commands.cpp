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
    auto& behavior = pane_.Behavior();
    auto& methods = pane_.Methods();
    behavior.WantEvents(false);
    behavior.Redraw(false);
    const long end = methods.CharacterCount();
    methods.SelectionCharRangeSet(renderer_.InputStart(), end);
    methods.InsertText(L"");
    renderer_.CaretToEnd();
    methods.FormatProtectedSet(false, 1);
    const std::int32_t selected = list_.Methods().CurSelIndexGet();
    methods.InsertText(list_.Methods().ItemGet(selected));
    renderer_.CaretToEnd();
    behavior.Redraw(true);
    behavior.WantEvents(true);
    ::SetFocus(pane_.RichEdithWnd());
}

}  // namespace tarvo
