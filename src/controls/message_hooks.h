#pragma once
// MSubclass and ISubclass: the message hooks.
// One shared service for hooking messages of native windows of this process.
// Any number of listeners subscribe to (window, message) pairs; while a window
// has a subscription, a single dispatching procedure replaces its own and hands
// each message to the listeners in subscription order. The registry is kept in
// properties of the window itself, so it lives exactly as long as the window.
#include <windows.h>

namespace tarvo {

// How the window's previous procedure takes part in a message.
enum MsgResponseMode : long {
    kConsume = 0,  // only the listeners handle it (unless one calls CallOldWindowProc)
    kAfter = 1,    // the previous procedure runs after the listeners; its result is returned
    kBefore = 2,   // the previous procedure runs first; the listeners' result replaces its result
};

class ISubclass {
public:
    virtual long MsgResponse(UINT& currentMessage) = 0;
    virtual LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~ISubclass() = default;
};

namespace MSubclass {

// Errors are RaisedError with source "<exe name>.WindowProc":
// 0x80040000 + 13081 "Can't subclass window", 13082 "Message already handled by another class",
// 13083 "Invalid window", 13084 "Can't modify external window".
void AttachMessage(ISubclass* listener, HWND hwnd, UINT iMsg);
// Does nothing unless the listener is subscribed to that message of that window.
void DetachMessage(ISubclass* listener, HWND hwnd, UINT iMsg);
// The previous procedure of the window being dispatched; only valid inside a listener's WindowProc.
LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam);

// The executable's name without folder and extension, the first part of every raised error's source.
const wchar_t* AppTitle();

}  // namespace MSubclass

}  // namespace tarvo
