#pragma once
// Lets the focused control see keyboard messages before the window that hosts it.
// A control makes itself the active target whenever its inner window gains the
// focus; the program's message loop offers every keyboard message to that target
// first, then to the main window's key preview, then translates and dispatches.
#include <windows.h>

#include <functional>
#include <vector>

namespace tarvo {

class ITranslateAccelerator {
public:
    // 0 when the control handled the message (it is not dispatched again), 1 when it did not.
    virtual long TranslateAccel(MSG& msg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

namespace AcceleratorRouting {

// Called by a control when `window` (its inner window) gains the focus. Keys are
// offered to the target only while they are aimed at that window or its children.
void Activate(ITranslateAccelerator* target, HWND window);
// Called by a control when it is destroyed; clears the target only if it is this one.
void Release(ITranslateAccelerator* target);
ITranslateAccelerator* ActiveTarget();

// The main window's preview of keys (Ctrl+F, F1, ...). Returns true to swallow the message.
using KeyPreview = std::function<bool(MSG& msg)>;
void PreviewKeysWith(KeyPreview preview);

// The window tab order below `root`: its visible, enabled descendants with
// WS_TABSTOP in the order the system lists them. Answers the stop after (or
// before) the one that holds `from`, wrapping around; null when there is none.
HWND NextTabStop(HWND root, HWND from, bool backward);

// Routes one retrieved message: target, preview, then TranslateMessage/DispatchMessage.
void ProcessMessage(MSG& msg);
// Processes every pending message; false when WM_QUIT was seen (it is posted again).
bool PumpPending();
// Keys typed ahead before a command started are for the prompt after it, not
// for the command: they are taken out of the queue for the run and posted again.
std::vector<MSG> TakeWaitingKeys();
void PostKeysAgain(const std::vector<MSG>& keys);
// The program's message loop; returns the WM_QUIT exit code.
int RunMessageLoop();

}  // namespace AcceleratorRouting

}  // namespace tarvo
