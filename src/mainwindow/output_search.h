#pragma once
// Find next in the console pane: forward from the current selection, wrapping
// to the top once. The pane's selection is the position of the walk.
#include <functional>
#include <string>

namespace tarvo {

class RichEditMethods;

struct SearchOptions {
    bool wholeWord = false;
    bool matchCase = false;
};

// Selects the next hit and returns true; calls `beep` and returns false when
// the text is nowhere in the pane.
bool FindNext(RichEditMethods& pane, const std::wstring& text, SearchOptions options,
              const std::function<void()>& beep);

}  // namespace tarvo
