#include "controls/message_hooks.h"

#include <string>

#include "common/guarded_call.h"
#include "common/program_path.h"
#include "common/raised_error.h"

namespace tarvo::MSubclass {

namespace {

constexpr std::int32_t kCantSubclass = 13081;
constexpr std::int32_t kAlreadyHandled = 13082;
constexpr std::int32_t kInvalidWindow = 13083;
constexpr std::int32_t kExternalWindow = 13084;

WNDPROC g_previousForCall = nullptr;

std::wstring HandleText(HWND hwnd) { return std::to_wstring(reinterpret_cast<std::uintptr_t>(hwnd)); }

// Property names of the registry kept on each subscribed window.
std::wstring WindowCountName(HWND hwnd) { return L"C" + HandleText(hwnd); }
std::wstring PreviousProcName(HWND hwnd) { return HandleText(hwnd); }
std::wstring MessagePrefix(HWND hwnd, UINT iMsg) { return HandleText(hwnd) + L"#" + std::to_wstring(iMsg); }
std::wstring ListenerCountName(HWND hwnd, UINT iMsg) { return MessagePrefix(hwnd, iMsg) + L"C"; }
std::wstring ListenerName(HWND hwnd, UINT iMsg, std::uintptr_t index) {
    return MessagePrefix(hwnd, iMsg) + L"#" + std::to_wstring(index);
}

std::uintptr_t ReadNumber(HWND hwnd, const std::wstring& name) {
    return reinterpret_cast<std::uintptr_t>(::GetPropW(hwnd, name.c_str()));
}
void WriteNumber(HWND hwnd, const std::wstring& name, std::uintptr_t value) {
    ::SetPropW(hwnd, name.c_str(), reinterpret_cast<HANDLE>(value));
}
ISubclass* ReadListener(HWND hwnd, UINT iMsg, std::uintptr_t index) {
    return static_cast<ISubclass*>(::GetPropW(hwnd, ListenerName(hwnd, iMsg, index).c_str()));
}
WNDPROC ReadPrevious(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(::GetPropW(hwnd, PreviousProcName(hwnd).c_str()));
}

[[noreturn]] void Raise(std::int32_t code, const wchar_t* description) {
    const std::int32_t number = code < 1001 ? code : kObjectErrorBase + code;
    throw RaisedError(number, std::wstring(AppTitle()) + L".WindowProc", description);
}

// A window destroyed with subscriptions left must not keep them: its handle may be reused.
BOOL CALLBACK RemoveOwnProperty(HWND hwnd, LPWSTR name, HANDLE, ULONG_PTR prefixPointer) {
    if (IS_INTRESOURCE(name)) return TRUE;
    const auto& prefix = *reinterpret_cast<const std::wstring*>(prefixPointer);
    const std::wstring text(name);
    if (text == WindowCountName(hwnd) || text == PreviousProcName(hwnd) || text.rfind(prefix, 0) == 0) {
        ::RemovePropW(hwnd, name);
    }
    return TRUE;
}

void ForgetWindow(HWND hwnd, WNDPROC previous) {
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    const std::wstring prefix = HandleText(hwnd) + L"#";
    ::EnumPropsExW(hwnd, RemoveOwnProperty, reinterpret_cast<LPARAM>(&prefix));
}

LRESULT CALLBACK DispatchProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = ReadPrevious(hwnd);
    const std::uintptr_t count = ReadNumber(hwnd, ListenerCountName(hwnd, iMsg));
    LRESULT result = 0;
    if (count < 1) {
        result = ::CallWindowProcW(previous, hwnd, iMsg, wParam, lParam);
    } else {
        bool previousRan = false;
        auto runPrevious = [&] {
            previousRan = true;
            result = ::CallWindowProcW(previous, hwnd, iMsg, wParam, lParam);
        };
        for (std::uintptr_t i = 1; i <= count; ++i) {
            ISubclass* listener = ReadListener(hwnd, iMsg, i);
            if (!listener) {
                if (!previousRan) runPrevious();
                continue;
            }
            g_previousForCall = previous;
            // On failure the window's own handling stands in.
            GuardedCall(
                [&] {
                    UINT message = iMsg;
                    if (i == 1 && listener->MsgResponse(message) == kBefore && !previousRan) runPrevious();
                    result = listener->WindowProc(hwnd, iMsg, wParam, lParam);
                    message = iMsg;
                    if (i == count && listener->MsgResponse(message) == kAfter && !previousRan) runPrevious();
                },
                [&] {
                    if (!previousRan) runPrevious();
                });
        }
    }
    if (iMsg == WM_NCDESTROY && ReadPrevious(hwnd) == previous && previous) ForgetWindow(hwnd, previous);
    return result;
}

}  // namespace

const wchar_t* AppTitle() {
    static const std::wstring title = [] {
        std::wstring name = ExecutablePath();
        name = name.substr(name.find_last_of(L"\\/") + 1);
        const auto dot = name.find_last_of(L'.');
        return dot == std::wstring::npos ? name : name.substr(0, dot);
    }();
    return title.c_str();
}

void AttachMessage(ISubclass* listener, HWND hwnd, UINT iMsg) {
    if (!::IsWindow(hwnd)) Raise(kInvalidWindow, L"Invalid window");
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    if (processId != ::GetCurrentProcessId()) Raise(kExternalWindow, L"Can't modify external window");

    const std::uintptr_t listeners = ReadNumber(hwnd, ListenerCountName(hwnd, iMsg));
    for (std::uintptr_t i = 1; i <= listeners; ++i) {
        if (ReadListener(hwnd, iMsg, i) == listener) Raise(kAlreadyHandled, L"Message already handled by another class");
    }

    const std::uintptr_t subscriptions = ReadNumber(hwnd, WindowCountName(hwnd));
    if (subscriptions == 0) {
        const LONG_PTR previous = ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DispatchProc));
        if (previous == 0) Raise(kCantSubclass, L"Can't subclass window");
        ::SetPropW(hwnd, PreviousProcName(hwnd).c_str(), reinterpret_cast<HANDLE>(previous));
        WriteNumber(hwnd, WindowCountName(hwnd), 1);
    } else {
        WriteNumber(hwnd, WindowCountName(hwnd), subscriptions + 1);
    }
    WriteNumber(hwnd, ListenerCountName(hwnd, iMsg), listeners + 1);
    ::SetPropW(hwnd, ListenerName(hwnd, iMsg, listeners + 1).c_str(), listener);
}

void DetachMessage(ISubclass* listener, HWND hwnd, UINT iMsg) {
    if (!::IsWindow(hwnd)) return;
    const std::uintptr_t listeners = ReadNumber(hwnd, ListenerCountName(hwnd, iMsg));
    std::uintptr_t index = 0;
    for (std::uintptr_t i = 1; i <= listeners && index == 0; ++i) {
        if (ReadListener(hwnd, iMsg, i) == listener) index = i;
    }
    if (index == 0) return;

    const std::uintptr_t subscriptions = ReadNumber(hwnd, WindowCountName(hwnd));
    if (subscriptions == 1) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ReadPrevious(hwnd)));
        ::RemovePropW(hwnd, PreviousProcName(hwnd).c_str());
        ::RemovePropW(hwnd, WindowCountName(hwnd).c_str());
    } else {
        WriteNumber(hwnd, WindowCountName(hwnd), subscriptions - 1);
    }

    for (std::uintptr_t i = index; i < listeners; ++i) {
        ::SetPropW(hwnd, ListenerName(hwnd, iMsg, i).c_str(), ReadListener(hwnd, iMsg, i + 1));
    }
    ::RemovePropW(hwnd, ListenerName(hwnd, iMsg, listeners).c_str());
    if (listeners > 1) {
        WriteNumber(hwnd, ListenerCountName(hwnd, iMsg), listeners - 1);
    } else {
        ::RemovePropW(hwnd, ListenerCountName(hwnd, iMsg).c_str());
    }
}

LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (!g_previousForCall) return ::DefWindowProcW(hwnd, iMsg, wParam, lParam);
    return ::CallWindowProcW(g_previousForCall, hwnd, iMsg, wParam, lParam);
}

}  // namespace tarvo::MSubclass
