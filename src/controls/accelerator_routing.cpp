#include "controls/accelerator_routing.h"

#include <vector>

namespace tarvo::AcceleratorRouting {

namespace {

ITranslateAccelerator* g_target = nullptr;
HWND g_targetWindow = nullptr;
KeyPreview g_preview;

bool IsKeyboardMessage(const MSG& msg) { return msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST; }

bool IsAimedAtTarget(const MSG& msg) {
    return g_target && (msg.hwnd == g_targetWindow || ::IsChild(g_targetWindow, msg.hwnd));
}

}  // namespace

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

void SetKeyPreview(KeyPreview preview) { g_preview = std::move(preview); }

void ProcessMessage(MSG& msg) {
    if (IsKeyboardMessage(msg)) {
        try {
            if (IsAimedAtTarget(msg) && g_target->TranslateAccel(msg) == 0) return;
            if (g_preview && g_preview(msg)) return;
        } catch (...) {
            // A failing handler must not stop the loop; the key is dispatched normally.
        }
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
