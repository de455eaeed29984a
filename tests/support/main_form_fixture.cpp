#include "main_form_fixture.h"

#include <utility>

#include "controls/accelerator_routing.h"
#include "test_support.h"

namespace tarvo::test {

void MainFormFixture::Open(const std::wstring& folderName, const std::wstring& settingsKey, MainFormOptions options) {
    folder_ = TempFolder(folderName);
    settingsKey_ = settingsKey;
    options.startFolder = folder_;
    options.settings.subkey = settingsKey;
    ASSERT_TRUE(form_.Load(std::move(options)));
    ::SetForegroundWindow(form_.hWnd());
    ::SetFocus(Edit());
    Pump();
}

void MainFormFixture::TearDown() {
    ::DestroyWindow(form_.hWnd());
    // The window ends the message loop when it goes; the next test's window must not see that.
    while (TakeQuit()) {
    }
    if (!settingsKey_.empty()) ::RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
}

void MainFormFixture::Pump() {
    for (int i = 0; i < 4; ++i) {
        AcceleratorRouting::PumpPending();
        ::Sleep(10);
    }
}

void MainFormFixture::Type(const std::wstring& text) {
    PostText(Edit(), text);
    Pump();
}

void MainFormFixture::Enter(const std::wstring& line) {
    form_.Console().Renderer().CaretToEnd();  // a find or a click may have left the caret in the history
    PostText(Edit(), line);
    PostKey(Edit(), VK_RETURN);
    Pump();
}

void MainFormFixture::Chord(std::vector<WORD> modifiers, WORD key) {
    std::vector<INPUT> inputs;
    auto push = [&](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    // The handlers read the modifiers' state when they run, so they stay down until then.
    for (WORD m : modifiers) push(m, false);
    push(key, false);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump();
    inputs.clear();
    push(key, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) push(*it, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump();
}

void MainFormFixture::DragInPane(long from, long to) {
    auto screenPoint = [this](long position) {
        POINTL at{};
        ::SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), position);
        POINT point{at.x + 2, at.y + 4};
        ::ClientToScreen(Edit(), &point);
        return point;
    };
    auto mouse = [](POINT at, DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
        ::SendInput(1, &in, sizeof(INPUT));
        Pump();
    };
    const POINT start = screenPoint(from), end = screenPoint(to);
    mouse(start, MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 4; ++step) {
        mouse({start.x + (end.x - start.x) * step / 4, start.y + (end.y - start.y) * step / 4}, 0);
    }
    mouse(end, MOUSEEVENTF_LEFTUP);
}

}  // namespace tarvo::test
