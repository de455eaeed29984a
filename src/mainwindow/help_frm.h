#pragma once
// The help browser: rich-text pages from a folder, every mention of another
// page's name a link, a back/forward history and a home page "index". It is
// loaded hidden once and only hidden when the user closes it.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "common/handles.h"
#include "controls/rich_edit.h"
#include "controls/style_button.h"

namespace tarvo {

class HelpFrm {
public:
    static constexpr int kBack = 0;
    static constexpr int kHome = 1;
    static constexpr int kForward = 2;
    static constexpr int kStripHeight = 28;

    HelpFrm();
    HelpFrm(const HelpFrm&) = delete;
    HelpFrm& operator=(const HelpFrm&) = delete;
    ~HelpFrm();

    // Creates the window hidden and shows the start page; the pages come from
    // `programFolder` + "\help\".
    bool Load(const std::wstring& programFolder);
    // The unload by code: destroys the window and forgets pages and history.
    void Unload();
    void Show();
    HWND hWnd() const { return window_.get(); }

    void ShowPage(const std::wstring& name);
    bool LoadPage(const std::wstring& name);
    void MarkLinks();
    void ToolBtn_Click(int index);

    const std::wstring& HelpDir() const { return helpDir_; }
    const std::vector<std::wstring>& Pages() const { return pages_; }
    const std::vector<std::wstring>& History() const { return history_; }
    // 1-based position of the shown page in History; 0 before the first page.
    std::size_t HistoryPos() const { return historyPos_; }
    VRX_StyleButton& ToolBtn(int index) { return toolBtn_.at(static_cast<std::size_t>(index)); }
    VRX_RichEdit& RichHelp() { return richHelp_; }
    HWND Picture1() const { return picture1_.get(); }
    VRX_StyleButton& ToolBack() { return toolBack_; }
    std::wstring ShownText();

private:
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleStripMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool CreateForm();
    void PrepareToolbar();
    void PrepareRichHelp();
    void CollectPages();
    void Form_Resize();
    void Picture1_Resize();
    void RichHelp_LinkOver(short message, long start, long end);
    void StepHistory(int step);
    bool LoadFile(const std::wstring& name);
    void PaneQuiet(bool quiet);
    void NavigateToPendingLink();

    unique_hwnd window_;
    unique_hwnd picture1_;
    VRX_StyleButton toolBack_;
    std::array<VRX_StyleButton, 3> toolBtn_;
    VRX_RichEdit richHelp_;
    std::wstring helpDir_;
    std::vector<std::wstring> pages_;
    std::vector<std::wstring> history_;
    std::size_t historyPos_ = 0;
    std::wstring pendingLink_;
};

}  // namespace tarvo
