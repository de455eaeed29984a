#pragma once
// ControlHost: what the hosted controls (list box, input box, rich edit, folder
// tree) share: the container window each control owns around its native inner
// window, the focus hand-off between the two, the shift state of their key
// events, and the keys they take before the hosting form.
//
// Which route carries which messages, for every window of the program:
// - Window class procedure (common/window_class.h, WindowProcFor): windows whose
//   class the program registers and whose every message it handles itself: the
//   main form, help browser, splash, panel (whose events drive the splitter),
//   button bar, style button, speech bubble. The hosts' containers use one class
//   with DefWindowProc and take everything through the hooks.
// - Subclass hook (controls/message_hooks.h, MSubclass): single messages of a
//   window someone else owns or that several listeners share: each hosted
//   control listens to its container (WM_SETFOCUS, WM_SIZE, and the inner
//   window's WM_COMMAND or WM_NOTIFY) and to its inner window (focus, mouse
//   activation, scrolling), as listed in the control's two message tables; the
//   style button and speech bubble listen to their owner (moves, activation),
//   the main form to its own frame, the shell change notifier to its window.
// - Accelerator routing (controls/accelerator_routing.h): keyboard messages
//   taken from the message loop before dispatch; the focused control (made the
//   target by HandOffFocus) sees them first through TranslateAccel, and what it
//   leaves goes on to the form's own key handling.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>

#include "common/handles.h"
#include "controls/accelerator_routing.h"
#include "controls/input_state.h"
#include "controls/message_hooks.h"

namespace tarvo {

bool IsKeyMessage(const MSG& msg);
// Enter, Esc, Page Up/Down, End, Home and the arrows: the keys a focused text
// control handles itself, even when the form has its own use for them.
bool IsControlNavigationKey(const MSG& msg);

// A plain child window of `parent` that hosts one control's inner window.
unique_hwnd CreateControlContainer(HWND parent, const RECT& bounds);

SIZE ClientSize(HWND window);

// One bit of a window's style (index GWL_STYLE) or extended style (GWL_EXSTYLE).
bool HasStyleBit(HWND window, int index, DWORD bit);
void ChangeStyleBit(HWND window, int index, DWORD bit, bool on);

// The inner window takes the mouse activation itself; every other message it
// handles before its listeners.
long HostedMsgResponse(UINT message);

// The container passes the focus on to the inner window; the inner window, once
// focused, makes `target` the accelerator target; a click on the unfocused inner
// window focuses it through the container without activating the form.
// Nothing (no value) for other messages.
std::optional<LRESULT> HandOffFocus(ITranslateAccelerator& target, HWND container, HWND inner, HWND hwnd, UINT iMsg,
                                    WPARAM wParam, LPARAM lParam);

// Key events as the list box and the input box raise them: Enter raises KeyEnter
// going down and nothing coming up; other keys raise KeyDown, KeyUp and KeyPress.
// Handlers get copies: what they change is not passed on to the window.
template <typename KeyEvents>
void RaiseKeyEvent(const KeyEvents& events, UINT iMsg, WPARAM wParam) {
    auto keyCode = static_cast<std::int16_t>(LOWORD(wParam));
    std::int16_t shift = 0;
    switch (iMsg) {
        case WM_KEYDOWN:
            if (keyCode == VK_RETURN) {
                if (events.KeyEnter) events.KeyEnter();
            } else if (events.KeyDown) {
                shift = CurrentShiftState();
                events.KeyDown(keyCode, shift);
            }
            break;
        case WM_KEYUP:
            if (keyCode != VK_RETURN && events.KeyUp) {
                shift = CurrentShiftState();
                events.KeyUp(keyCode, shift);
            }
            break;
        case WM_CHAR:
            if (events.KeyPress) events.KeyPress(keyCode);
            break;
        default:
            break;
    }
}

// The container window and the native inner window of one control, with the
// control's subscriptions to messages of both. The control stays the listener
// and answers the messages; the host creates, places and tears down.
class ControlHost {
public:
    template <typename Control>
    ControlHost(Control& control, std::span<const UINT> containerMessages, std::span<const UINT> innerMessages)
        : listener_(control), target_(control), containerMessages_(containerMessages), innerMessages_(innerMessages) {}
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;
    ~ControlHost() { Close(); }

    // Creates the container inside `parent` on the first call and moves it on
    // later ones; false when there is no container.
    bool PlaceContainer(HWND parent, const RECT& bounds);
    void Move(const RECT& bounds);
    // A fresh, enabled and subscribed inner window filling the container; null when it failed.
    HWND CreateInner(const wchar_t* className, DWORD style, DWORD exStyle);
    // kQuiet also pauses the container's subscriptions and takes the inner window
    // out of the container first, so its last messages (the focus handed back
    // on hiding, notifications while it goes) reach no listener.
    enum class Teardown { kPlain, kQuiet };
    void DestroyInner(Teardown teardown = Teardown::kPlain);
    // Destroys both windows; the control calls it while it can still answer their messages.
    void Close();

    void FitInner(bool repaint) const;
    HWND Container() const { return container_.get(); }
    HWND Inner() const { return inner_.get(); }

    std::optional<LRESULT> HandOffFocus(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam);
    // Sends the key to the inner window when it takes it: 0 handled, 1 not.
    long RouteKey(const MSG& msg, bool takesKey) const;

private:
    ISubclass& listener_;
    ITranslateAccelerator& target_;
    std::span<const UINT> containerMessages_;
    std::span<const UINT> innerMessages_;
    unique_hwnd container_;
    unique_hwnd inner_;
};

}  // namespace tarvo
