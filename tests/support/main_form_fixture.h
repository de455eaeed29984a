#pragma once
// The real main window loaded in this process for a test: a scratch start
// folder, settings under a test key, keys posted to the console pane.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwindow/main_form.h"

namespace tarvo::test {

class MainFormFixture : public ::testing::Test {
protected:
    // Loads the window in the scratch folder `folderName` with its settings under `settingsKey`;
    // help and beeps are counted.
    void Open(const std::wstring& folderName, const std::wstring& settingsKey);
    void TearDown() override;

    // Lets the window handle what was posted to it.
    static void Pump();
    HWND Edit() { return form_.RichEdit().RichEdithWnd(); }
    RichEditMethods& Pane() { return form_.RichEdit().Methods(); }
    std::wstring Text() { return Pane().TextInRangeGet(0, Pane().CharacterCount()); }
    std::wstring Prompt() { return form_.Console().CurrentFolder() + L">"; }
    void Type(const std::wstring& text);
    // Types the line at the end of the pane and presses Enter.
    void Enter(const std::wstring& line);
    // Real key presses, so that the shift state the handlers read is true.
    static void Chord(std::vector<WORD> modifiers, WORD key);
    // A real left-button drag in the pane from one character position to another.
    void DragInPane(long from, long to);

    std::wstring folder_;
    std::wstring settingsKey_;
    int helpShown_ = 0;
    int beeps_ = 0;
    mainForm form_;
};

}  // namespace tarvo::test
