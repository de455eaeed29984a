#pragma once
// The rich edit control: one native "RichEdit20W" window inside the control's
// own container window. Its notifications become events; its operations are
// grouped in Behavior (input), Methods (text, selection, format) and View
// (appearance). Settings can be written before Init; they are kept and applied.
#include <windows.h>
#include <richedit.h>
#include <richole.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/handles.h"
#include "controls/accelerator_routing.h"
#include "controls/def_prefs_handles.h"
#include "controls/msubclass.h"

namespace tarvo {

class VRX_RichEdit;

class RichEditBehavior {
public:
    // True withholds Enter from the edit once KeyEnter has been raised.
    bool ConsumeEnter() const { return consumeEnter_; }
    void ConsumeEnter(bool value) { consumeEnter_ = value; }
    bool Enabled() const { return enabled_; }
    void Enabled(bool value);
    // False switches the edit's notifications off; True restores the mask it had.
    bool WantEvents() const { return wantEvents_; }
    void WantEvents(bool value);
    bool ReadOnly() const;
    void ReadOnly(bool value);
    bool Redraw() const { return redraw_; }
    void Redraw(bool value);
    // Read by Init only.
    bool UseOLECallback() const { return useOleCallback_; }
    void UseOLECallback(bool value) { useOleCallback_ = value; }

private:
    friend class VRX_RichEdit;
    void AttachWindow(HWND edit) { edit_ = edit; }

    HWND edit_ = nullptr;
    bool consumeEnter_ = false;
    bool enabled_ = true;
    bool wantEvents_ = true;
    bool readOnly_ = false;
    bool redraw_ = true;
    bool useOleCallback_ = false;
    long savedEventMask_ = 0;
};

class RichEditMethods {
public:
    // `range` of the Format members: 0 default format, 1 selection, 2 word, 4 all.
    // Replaces the selection; the text takes the format at the insertion point.
    void InsertText(const std::wstring& text);
    bool EditCanUndo() const;
    // The position of the first match in (startPos, endPos), -1 when none; endPos -1 is the end.
    long Find(const std::wstring& sText, long& startPos, long& endPos, bool WholeWord, bool MatchCase);
    std::wstring TextInRangeGet(long start, long end) const;
    long CharacterCount() const;
    void Paste();
    void Cut();
    std::wstring SelectedText() const;
    void SelectionCharRangeGet(long& start, long& end) const;
    void SelectionCharRangeSet(long start, long end);
    void SelectAll();
    void SelectNone();
    bool ModifiedGet() const;
    void ModifiedSet(bool flag);
    long LineForCharacterIndex(long index) const;
    long LineCount() const;
    long FirstVisibleLine() const;
    long CurrentLine() const;

    bool FormatBoldGet(long range = 1) const;
    void FormatBoldSet(bool value, long range = 1);
    bool FormatItalicGet(long range = 1) const;
    void FormatItalicSet(bool value, long range = 1);
    bool FormatUnderlineGet(long range = 1) const;
    void FormatUnderlineSet(bool value, long range = 1);
    bool FormatStrikeOutGet(long range = 1) const;
    void FormatStrikeOutSet(bool value, long range = 1);
    bool FormatLinkGet(long range = 1) const;
    void FormatLinkSet(bool value, long range = 1);
    bool FormatProtectedGet(long range = 1) const;
    void FormatProtectedSet(bool value, long range = 1);
    bool FormatSuperScriptGet(long range = 1) const;
    void FormatSuperScriptSet(bool value, long range = 1);
    bool FormatSubScriptGet(long range = 1) const;
    void FormatSubScriptSet(bool value, long range = 1);
    // Colours are OLE colours; -1 is the automatic colour.
    long FormatColourGet(long range = 1) const;
    void FormatColourSet(long colour, long range = 1);
    long FormatBgColourGet(long range = 1) const;
    void FormatBgColourSet(long colour, long range = 1);
    StdFontInfo FormatFontGet(long range = 1) const;
    // Error 9 for a face name over 16 characters (nothing applied).
    void FormatFontSet(const StdFontInfo& font, long range = 1);
    long ParagraphNumberingGet() const;
    void ParagraphNumberingSet(long style);

private:
    friend class VRX_RichEdit;
    void AttachWindow(HWND edit) { edit_ = edit; }
    bool HasEffect(DWORD mask, DWORD effect, long range) const;
    void ApplyEffect(DWORD mask, DWORD effect, long range);
    CHARFORMAT2W QueryFormat(DWORD mask, long range) const;

    HWND edit_ = nullptr;
};

class RichEditView {
public:
    bool WordWrap() const { return wordWrap_; }
    void WordWrap(bool value);
    bool AlwaysShowScrollBars() const { return alwaysShowScrollBars_; }
    void AlwaysShowScrollBars(bool value);
    bool AutoURLDetect() const { return autoUrlDetect_; }
    void AutoURLDetect(bool value);
    long BgColor() const { return bgColor_; }
    void BgColor(long oleColour);
    bool Border() const { return border_; }
    void Border(bool value);
    bool SingleLine() const { return singleLine_; }
    void SingleLine(bool value);
    bool TrapTab() const { return trapTab_; }
    void TrapTab(bool value) { trapTab_ = value; }
    bool HideSelectionWhenWindowInactive() const { return hideSelection_; }
    void HideSelectionWhenWindowInactive(bool value);
    bool ShowVScroll() const { return showVScroll_; }
    void ShowVScroll(bool value);
    bool ShowHScroll() const { return showHScroll_; }
    void ShowHScroll(bool value);
    bool PlainText() const { return plainText_; }
    void PlainText(bool value);
    bool RightToLeft() const { return rightToLeft_; }
    void RightToLeft(bool value);
    const std::optional<StdFontInfo>& DefaultFont() const { return defaultFont_; }
    // Error 9 for a face name over 16 characters (nothing changes).
    void DefaultFont(const StdFontInfo& font);
    long maxLength() const;
    void maxLength(long value);
    long MarginLeft() const { return marginLeft_; }
    void MarginLeft(long pixels);
    long MarginRight() const { return marginRight_; }
    // Error 6 when pixels x 65536 overflows.
    void MarginRight(long pixels);

private:
    friend class VRX_RichEdit;
    void AttachWindow(HWND edit) { edit_ = edit; }
    bool ApplyStyleBit(DWORD bit, bool value);

    HWND edit_ = nullptr;
    bool wordWrap_ = false;
    bool alwaysShowScrollBars_ = false;
    bool autoUrlDetect_ = false;
    long bgColor_ = 0xFFFFFF;
    bool border_ = false;
    bool singleLine_ = false;
    bool trapTab_ = true;
    bool hideSelection_ = false;
    bool showVScroll_ = false;
    bool showHScroll_ = false;
    bool plainText_ = false;
    bool rightToLeft_ = false;
    std::optional<StdFontInfo> defaultFont_;
    long maxLength_ = -1;
    long marginLeft_ = 8;
    long marginRight_ = 8;
};

class RichEditOleCallback;

class VRX_RichEdit : public ISubclass, public ITranslateAccelerator {
public:
    VRX_RichEdit();
    ~VRX_RichEdit();
    VRX_RichEdit(const VRX_RichEdit&) = delete;
    VRX_RichEdit& operator=(const VRX_RichEdit&) = delete;

    // Creates the container window; the edit itself comes with Init.
    bool Create(HWND parent, int x, int y, int width, int height);
    // Creates (or re-creates) the edit window from the current settings.
    void Init();
    void Move(int x, int y, int width, int height);
    HWND hWnd() const { return container_.get(); }
    HWND RichEdithWnd() const { return edit_; }
    void Refresh();

    // Flags 1 to 13; error 9 outside.
    bool AllowShortCut(int index) const;
    void AllowShortCut(int index, bool value);

    // `format` goes to the stream message unchanged (1 text, 2 rich text, +0x10 UTF-16).
    // Paths over 127 characters cannot be opened.
    bool LoadFromFile(const std::wstring& path, long format);
    bool SaveToFile(const std::wstring& path, long format);
    void RaiseLoadStatus(long amount, long total);

    // Members of the interface that nothing in the program uses.
    std::wstring SelectedContents(long format) const;
    std::wstring Contents(long format) const;
    void Contents(long format, const std::wstring& value);
    void InsertContents(long format, const std::wstring& text);
    void Copy();
    void PasteSpecial();
    void Undo();
    void Redo();

    RichEditBehavior& Behavior() { return behavior_; }
    RichEditMethods& Methods() { return methods_; }
    RichEditView& View() { return view_; }

    // The callback the edit holds while UseOLECallback was set at Init; null otherwise.
    IRichEditOleCallback* OleCallback() const;

    // Events, in their numbered order.
    std::function<void(long& lMin, long& lMax, long& eSelType)> SelectionChange;
    std::function<void(short& iType, long& lMin, long& lMax)> LinkOver;
    std::function<void(short& KeyCode, short& Shift)> KeyDown;
    std::function<void(short& KeyAscii)> KeyPress;
    std::function<void(short& KeyCode, short& Shift)> KeyUp;
    std::function<void(float& X, float& Y)> DblClick;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseDown;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseMove;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseUp;
    std::function<void(long& lAmount, long& lTotalAmount)> ProgressStatus;
    std::function<void(bool& bDoIt, long& lMin, long& lMax)> ModifyProtected;
    std::function<void()> VScroll;
    std::function<void()> HScroll;
    std::function<void()> Change;
    std::function<void()> KeyEnter;

    long MsgResponse(UINT& currentMessage) override;
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;
    long TranslateAccel(MSG& msg) override;

private:
    LRESULT ContainerMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Terminate();
    bool LoadEditLibrary();
    void CreateEditWindow();
    void Subscribe();
    void Unsubscribe();
    void Resize();
    void AttachWindowToParts(HWND edit);
    LRESULT OnNotify(const NMHDR& header, LPARAM lParam);
    LRESULT OnMessageFilter(const MSGFILTER& filter);
    void RaiseMouseEvent(UINT message);
    bool StreamFile(const std::wstring& path, long format, bool load);

    unique_hwnd container_;
    HWND edit_ = nullptr;
    unique_hmodule library_;
    unique_hmodule fallbackLibrary_;
    std::unique_ptr<RichEditOleCallback> oleCallback_;
    std::array<bool, 13> allowShortCut_;
    RichEditBehavior behavior_;
    RichEditMethods methods_;
    RichEditView view_;
};

}  // namespace tarvo
