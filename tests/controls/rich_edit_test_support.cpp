#include "rich_edit_test_support.h"

#include "controls/accelerator_routing.h"

namespace tarvo::testing {

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void RichEditFixture::SetUp() {
    form.reset(CreateProbeWindow(formLog));
    ASSERT_TRUE(form);
    ASSERT_TRUE(edit.Create(form.get(), 0, 0, 280, 160));
    edit.Init();
    ASSERT_TRUE(Edit()) << "no RichEdit20W window";
    ::SetForegroundWindow(form.get());
    ::SetFocus(edit.hWnd());
    PumpMessages();
}

void RichEditFixture::TearDown() { AcceleratorRouting::PreviewKeysWith(nullptr); }

void RichEditFixture::PostKeyDown(WPARAM key) {
    ::PostMessageW(Edit(), WM_KEYDOWN, key, 1);
    PumpMessages();
}

void RichEditFixture::PressKey(WPARAM key) {
    ::PostMessageW(Edit(), WM_KEYDOWN, key, 1);
    ::PostMessageW(Edit(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    PumpMessages();
}

void RichEditFixture::TypeChar(wchar_t c) {
    ::PostMessageW(Edit(), WM_CHAR, c, 1);
    PumpMessages();
}

void RichEditFixture::SendModifier(WORD modifier, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = modifier;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
    PumpMessages();
}

std::wstring RichEditFixture::Text() const {
    const int length = ::GetWindowTextLengthW(Edit());
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(Edit(), text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void RichEditFixture::Text(const std::wstring& text) {
    ::SetWindowTextW(Edit(), text.c_str());
    PumpMessages();
}

}  // namespace tarvo::testing
