#pragma once
// Time a rich edit spends on each kind of message, counted through a window
// subclass. Only the outermost tracked message is timed: one sent while
// another is handled counts towards the outer one.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <chrono>

namespace tarvo_bench {

struct RichEditMessageTimes {
    enum Kind { kStreamIn, kCharFormat, kSelection, kCounts, kRedrawSwitch, kPaint, kEventMask, kOther, kKinds };
    static constexpr const char* kNames[kKinds] = {
        "EM_STREAMIN (InsertText)",     "EM_SETCHARFORMAT (Format*Set)", "EM_EXSETSEL (selection)",
        "text length and line count",   "WM_SETREDRAW",                  "painting (WM_PAINT, erase)",
        "EM_SETEVENTMASK (WantEvents)", "other messages (not timed)"};
    static constexpr const char* kShortNames[kKinds] = {"insert", "format", "select", "counts",
                                                        "redraw", "paint",  "events", "other"};
    double seconds[kKinds] = {};
    long count[kKinds] = {};
    int depth = 0;

    static Kind KindOf(UINT msg) {
        switch (msg) {
        case EM_STREAMIN: return kStreamIn;
        case EM_SETCHARFORMAT: return kCharFormat;
        case EM_EXSETSEL:
        case EM_SETSEL: return kSelection;
        case WM_GETTEXTLENGTH:
        case EM_GETLINECOUNT: return kCounts;
        case WM_SETREDRAW: return kRedrawSwitch;
        case WM_PAINT:
        case WM_ERASEBKGND:
        case WM_NCPAINT: return kPaint;
        case EM_SETEVENTMASK: return kEventMask;
        default: return kOther;
        }
    }

    double Total() const {
        double sum = 0;
        for (double s : seconds) sum += s;
        return sum;
    }

    // Untracked messages pass untimed: a whole command run can happen inside
    // the pane's Enter key.
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto& self = *reinterpret_cast<RichEditMessageTimes*>(data);
        const Kind kind = KindOf(msg);
        if (self.depth > 0 || kind == kOther) return ::DefSubclassProc(hwnd, msg, wParam, lParam);
        ++self.depth;
        const auto start = std::chrono::steady_clock::now();
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
        self.seconds[kind] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++self.count[kind];
        --self.depth;
        return result;
    }
};

// Counts the messages of one window into `times` while it lives.
class MessageTimesScope {
public:
    MessageTimesScope(HWND window, RichEditMessageTimes& times) : window_(window) {
        ::SetWindowSubclass(window_, RichEditMessageTimes::Proc, 1, reinterpret_cast<DWORD_PTR>(&times));
    }
    MessageTimesScope(const MessageTimesScope&) = delete;
    MessageTimesScope& operator=(const MessageTimesScope&) = delete;
    ~MessageTimesScope() { ::RemoveWindowSubclass(window_, RichEditMessageTimes::Proc, 1); }

private:
    HWND window_;
};

}  // namespace tarvo_bench
