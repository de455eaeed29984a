#pragma once
// RecentCommands: the recent-commands list.
// The recent-commands list: each distinct entered line once, in the order first
// entered; choosing one puts it back after the prompt for editing.
#include <string>

#include "console/command_controller.h"

namespace tarvo {

class VRX_ListBox;
class VRX_RichEdit;

// Unicode-aware comparison of whole texts, ignoring letter case.
bool TextEqualsIgnoringCase(const std::wstring& a, const std::wstring& b);

class RecentCommands : public IRecentList {
public:
    RecentCommands(VRX_ListBox& list, VRX_RichEdit& pane, OutputRenderer& renderer);

    void AddRecentCommand(const std::wstring& command) override;
    // Replaces the typed command with the selected entry (nothing when none is selected).
    void UseRecentCommand();

private:
    VRX_ListBox& list_;
    VRX_RichEdit& pane_;
    OutputRenderer& renderer_;
};

}  // namespace tarvo
