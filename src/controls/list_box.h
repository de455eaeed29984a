#pragma once
// A single-selection list of strings: one native "ListBox" window inside the
// control's own container window, its messages turned into events.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "controls/accelerator_routing.h"
#include "controls/msubclass.h"
#include "controls/text_control_host.h"

namespace tarvo {

// Raised in this order of numbers; events 6 to 8 (mouse) are never raised.
struct ListBoxEvents {
    std::function<void()> SelectionChange;                                   // 1
    std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyDown;  // 2, any key but Enter
    std::function<void(std::int16_t& keyAscii)> KeyPress;                    // 3
    std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyUp;    // 4, any key but Enter
    std::function<void()> DblClickItem;                                      // 5
    std::function<void()> VScroll;                                           // 9
    std::function<void()> HScroll;                                           // 10
    std::function<void()> KeyEnter;                                          // 11
};

class ListBehavior {
public:
    bool Enabled() const { return enabled_; }
    void Enabled(bool value);
    bool Redraw() const { return redraw_; }
    void Redraw(bool value);
    // False silences the control's events; the list itself still reacts.
    bool WantEvents() const { return wantEvents_; }
    void WantEvents(bool value) { wantEvents_ = value; }

private:
    friend class VRX_ListBox;
    HWND list_ = nullptr;
    bool enabled_ = true;
    bool redraw_ = true;
    bool wantEvents_ = true;
};

class ListMethods {
public:
    // Reserves room for items; error 6 when `kilobytes` x 1024 overflows 32 bits.
    bool SetStorageSize(std::int32_t numberOfItems, std::int32_t kilobytes);
    // -1 appends, 0 or more inserts before that index; other negatives do nothing.
    // `itemData` and `checked` are accepted for the interface and ignored.
    bool AddItem(const std::wstring& text, std::int32_t beforeIndex = -1, std::int32_t itemData = 0,
                 bool checked = false);
    bool RemoveItem(std::int32_t index);
    void EraseAll();
    std::wstring ItemGet(std::int32_t index) const;
    std::int32_t ItemCountGet() const;
    std::int32_t CurSelIndexGet() const;
    void CurSelIndexSet(std::int32_t index);

private:
    friend class VRX_ListBox;
    HWND list_ = nullptr;
};

class ListView {
public:
    bool AlwaysShowScrollBars() const { return alwaysShowScrollBars_; }
    void AlwaysShowScrollBars(bool value);
    bool HideSelectionWhenWindowInactive() const { return hideSelectionWhenWindowInactive_; }
    void HideSelectionWhenWindowInactive(bool value);
    bool Border() const { return border_; }
    void Border(bool value);
    bool RightToLeft() const { return rightToLeft_; }
    void RightToLeft(bool value);
    bool ShowVScroll() const { return showVScroll_; }
    void ShowVScroll(bool value);
    bool ShowHScroll() const { return showHScroll_; }
    void ShowHScroll(bool value);
    // The list always uses the menu font; this holds no font and ignores writes.
    HFONT DefaultFont() const { return nullptr; }
    void DefaultFont(HFONT) {}

private:
    friend class VRX_ListBox;
    void ApplyExStyleBit(DWORD bit, bool on);
    bool ApplyStyleBit(DWORD bit, bool on);

    HWND list_ = nullptr;
    bool alwaysShowScrollBars_ = false;
    bool border_ = false;
    bool rightToLeft_ = false;
    bool hideSelectionWhenWindowInactive_ = false;
    bool showHScroll_ = false;
    bool showVScroll_ = false;
};

class VRX_ListBox final : public ISubclass, public ITranslateAccelerator {
public:
    ListBoxEvents Events;

    VRX_ListBox();
    VRX_ListBox(const VRX_ListBox&) = delete;
    VRX_ListBox& operator=(const VRX_ListBox&) = delete;
    ~VRX_ListBox();

    // Creates the container inside `parent` (first call only; later calls move
    // it) and a fresh list window filling it.
    void Init(HWND parent, const RECT& bounds);
    void Refresh();
    // Places the container; the list follows its size.
    void Move(const RECT& bounds);

    HWND ListBoxhWnd() const { return host_.Inner(); }
    HWND ContainerhWnd() const { return host_.Container(); }

    ListBehavior& Behavior() { return behavior_; }
    ListMethods& Methods() { return methods_; }
    ListView& View() { return view_; }
    const ListBehavior& Behavior() const { return behavior_; }
    const ListMethods& Methods() const { return methods_; }
    const ListView& View() const { return view_; }

    // Members kept for the interface; nothing uses them, so they hold nothing.
    bool Sort() const { return false; }
    void Sort(bool) {}
    std::int32_t SortLocale() const { return 0; }
    void SortLocale(std::int32_t) {}
    std::wstring Text() const { return {}; }
    void Text(const std::wstring&) {}
    std::int32_t TopIndex() const { return 0; }
    void TopIndex(std::int32_t) {}

    long MsgResponse(UINT& currentMessage) override;
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;
    long TranslateAccel(MSG& msg) override;

private:
    void CreateList();
    void DestroyList();
    void HandOver(HWND list);
    void RaiseEvent(UINT iMsg, WPARAM wParam);

    ControlHost host_;
    ListBehavior behavior_;
    ListMethods methods_;
    ListView view_;
};

}  // namespace tarvo
