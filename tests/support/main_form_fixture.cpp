#include "main_form_fixture.h"

#include <algorithm>

#include "controls/accelerator_routing.h"
#include "test_support.h"

namespace tarvo::test {

void MainFormFixture::Open(const std::wstring& folderName, const std::wstring& settingsKey) {
    folder_ = TempFolder(folderName);
    settingsKey_ = settingsKey;
    MainFormOptions options;
    options.homePage = L"https://tarvo.example.org/";
    options.ShowHelp = [this] { ++helpShown_; };
    options.Beep = [this] { ++beeps_; };
    options.startFolder = folder_;
    options.settings.subkey = settingsKey;
    ASSERT_TRUE(form_.Load(options));
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
    modifiers.push_back(key);
    // The handlers read the modifiers' state when they run, so they stay down until then.
    for (bool up : {false, true}) {
        std::vector<INPUT> inputs(modifiers.size());
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wVk = modifiers[up ? inputs.size() - 1 - i : i];
            inputs[i].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        }
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        Pump();
    }
}

void MainFormFixture::DragInPane(long from, long to) {
    POINTL start{}, end{};
    ::SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&start), from);
    ::SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&end), to);
    for (int step = 0; step <= 5; ++step) {
        POINT at{start.x + 2 + (end.x - start.x) * std::min(step, 4) / 4, start.y + 4 + (end.y - start.y) * std::min(step, 4) / 4};
        ::ClientToScreen(Edit(), &at);
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | (step == 0 ? MOUSEEVENTF_LEFTDOWN : step == 5 ? MOUSEEVENTF_LEFTUP : 0);
        ::SendInput(1, &in, sizeof(INPUT));
        Pump();
    }
}

}  // namespace tarvo::test
