#include "controls/accelerator_routing.h"

#include <algorithm>
#include <vector>

#include "common/guarded_call.h"

namespace tarvo::AcceleratorRouting {

namespace {

ITranslateAccelerator* g_target = nullptr;
HWND g_targetWindow = nullptr;
KeyPreview g_preview;

bool IsKeyboardMessage(const MSG& msg) { return msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST; }

bool IsAimedAtTarget(const MSG& msg) {
    return g_target && (msg.hwnd == g_targetWindow || ::IsChild(g_targetWindow, msg.hwnd));
}

BOOL CALLBACK CollectTabStop(HWND window, LPARAM list) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    if ((style & WS_TABSTOP) != 0 && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

// Where the window holding `from` (itself or an ancestor below `root`) stands; -1 when nowhere.
std::ptrdiff_t PositionOf(const std::vector<HWND>& stops, HWND root, HWND from) {
    for (HWND w = from; w && w != root; w = ::GetParent(w)) {
        const auto found = std::find(stops.begin(), stops.end(), w);
        if (found != stops.end()) return found - stops.begin();
    }
    return -1;
}

}  // namespace

HWND NextTabStop(HWND root, HWND from, bool backward) {
    std::vector<HWND> stops;
    ::EnumChildWindows(root, CollectTabStop, reinterpret_cast<LPARAM>(&stops));
    if (stops.empty()) return nullptr;
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    std::ptrdiff_t at = PositionOf(stops, root, from);
    if (at < 0) at = backward ? 0 : count - 1;  // outside the order: begin at an end
    return stops[static_cast<std::size_t>((at + (backward ? count - 1 : 1)) % count)];
}

void Activate(ITranslateAccelerator* target, HWND window) {
    g_target = target;
    g_targetWindow = window;
}

void Release(ITranslateAccelerator* target) {
    if (g_target == target) {
        g_target = nullptr;
        g_targetWindow = nullptr;
    }
}

ITranslateAccelerator* ActiveTarget() { return g_target; }

void PreviewKeysWith(KeyPreview preview) { g_preview = std::move(preview); }

void ProcessMessage(MSG& msg) {
    if (IsKeyboardMessage(msg)) {
        // A failing handler must not stop the loop; the key is dispatched normally.
        const bool consumed = GuardedCall(
            [&] { return (IsAimedAtTarget(msg) && g_target->TranslateAccel(msg) == 0) || (g_preview && g_preview(msg)); },
            false);
        if (consumed) return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        ProcessMessage(msg);
    }
    return true;
}

std::vector<MSG> TakeWaitingKeys() {
    std::vector<MSG> keys;
    MSG key;
    while (::PeekMessageW(&key, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) keys.push_back(key);
    return keys;
}

void PostKeysAgain(const std::vector<MSG>& keys) {
    for (const MSG& key : keys) ::PostMessageW(key.hwnd, key.message, key.wParam, key.lParam);
}

int RunMessageLoop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ProcessMessage(msg);
    return static_cast<int>(msg.wParam);
}

}  // namespace tarvo::AcceleratorRouting
