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
    MSG quit;
    while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
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

}  // namespace tarvo::test
