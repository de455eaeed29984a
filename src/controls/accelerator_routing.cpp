#include "controls/accelerator_routing.h"

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

int RunMessageLoop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ProcessMessage(msg);
    return static_cast<int>(msg.wParam);
}

}  // namespace tarvo::AcceleratorRouting
