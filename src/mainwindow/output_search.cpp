#include "mainwindow/output_search.h"

#include "controls/rich_edit.h"

namespace tarvo {

bool FindNext(RichEditMethods& pane, const std::wstring& text, SearchOptions options,
              const std::function<void()>& beep) {
    long selStart = 0, selEnd = 0;
    pane.SelectionCharRangeGet(selStart, selEnd);
    long count = pane.CharacterCount();
    long from = selEnd == count ? 0 : selEnd;
    long pos = pane.Find(text, from, count, options.wholeWord, options.matchCase);
    if (pos < 0) {
        long top = 0;
        pos = pane.Find(text, top, count, options.wholeWord, options.matchCase);
    }
    if (pos < 0) {
        if (beep) beep();
        return false;
    }
    pane.SelectionCharRangeSet(pos, pos + static_cast<long>(text.size()));
    return true;
}

}  // namespace tarvo
