#pragma once
// Owning wrappers for the Win32 handles the program uses. Every acquisition is
// stored in one of these at once, so no error path needs its own clean-up.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <utility>

#include "common/unique_resource.h"

namespace tarvo {

namespace handle_traits {
template <typename T, T (*InvalidValue)(), void (*CloseFn)(T)>
struct Traits {
    using type = T;
    static T Invalid() noexcept { return InvalidValue(); }
    static void Close(T value) noexcept { CloseFn(value); }
};
template <typename T> T Null() { return nullptr; }
inline HANDLE InvalidFile() { return INVALID_HANDLE_VALUE; }
inline void CloseKernel(HANDLE h) { ::CloseHandle(h); }
inline void CloseKey(HKEY k) { ::RegCloseKey(k); }
inline void DeleteGdi(HGDIOBJ o) { ::DeleteObject(o); }
inline void DeleteMemoryDc(HDC dc) { ::DeleteDC(dc); }
inline void UnloadLibrary(HMODULE m) { ::FreeLibrary(m); }
inline void FreeIdList(LPITEMIDLIST p) { ::CoTaskMemFree(p); }
inline void DestroyWindowHandle(HWND w) { ::DestroyWindow(w); }
inline void DestroyRegion(HRGN r) { ::DeleteObject(r); }
inline void DestroyBrush(HBRUSH b) { ::DeleteObject(b); }
inline void DestroyFont(HFONT f) { ::DeleteObject(f); }
inline void DestroyBitmap(HBITMAP b) { ::DeleteObject(b); }
inline void DestroyIconHandle(HICON i) { ::DestroyIcon(i); }
inline void DestroyMenuHandle(HMENU m) { ::DestroyMenu(m); }
inline void CloseFind(HANDLE h) { ::FindClose(h); }
inline void FreeGlobal(HGLOBAL g) { ::GlobalFree(g); }
}  // namespace handle_traits

// Kernel handles whose "none" is NULL (processes, threads, pipes from CreatePipe).
using unique_handle = UniqueResource<handle_traits::Traits<HANDLE, handle_traits::Null<HANDLE>, handle_traits::CloseKernel>>;
// Kernel handles whose "none" is INVALID_HANDLE_VALUE (CreateFile).
using unique_hfile = UniqueResource<handle_traits::Traits<HANDLE, handle_traits::InvalidFile, handle_traits::CloseKernel>>;
// Directory searches from FindFirstFile.
using unique_hfind = UniqueResource<handle_traits::Traits<HANDLE, handle_traits::InvalidFile, handle_traits::CloseFind>>;
using unique_hkey = UniqueResource<handle_traits::Traits<HKEY, handle_traits::Null<HKEY>, handle_traits::CloseKey>>;
using unique_hgdiobj = UniqueResource<handle_traits::Traits<HGDIOBJ, handle_traits::Null<HGDIOBJ>, handle_traits::DeleteGdi>>;
using unique_hfont = UniqueResource<handle_traits::Traits<HFONT, handle_traits::Null<HFONT>, handle_traits::DestroyFont>>;
using unique_hbrush = UniqueResource<handle_traits::Traits<HBRUSH, handle_traits::Null<HBRUSH>, handle_traits::DestroyBrush>>;
using unique_hbitmap = UniqueResource<handle_traits::Traits<HBITMAP, handle_traits::Null<HBITMAP>, handle_traits::DestroyBitmap>>;
using unique_hrgn = UniqueResource<handle_traits::Traits<HRGN, handle_traits::Null<HRGN>, handle_traits::DestroyRegion>>;
using unique_hicon = UniqueResource<handle_traits::Traits<HICON, handle_traits::Null<HICON>, handle_traits::DestroyIconHandle>>;
using unique_hmenu = UniqueResource<handle_traits::Traits<HMENU, handle_traits::Null<HMENU>, handle_traits::DestroyMenuHandle>>;
// Memory DCs from CreateCompatibleDC.
using unique_hdc = UniqueResource<handle_traits::Traits<HDC, handle_traits::Null<HDC>, handle_traits::DeleteMemoryDc>>;
using unique_hmodule = UniqueResource<handle_traits::Traits<HMODULE, handle_traits::Null<HMODULE>, handle_traits::UnloadLibrary>>;
using unique_pidl = UniqueResource<handle_traits::Traits<LPITEMIDLIST, handle_traits::Null<LPITEMIDLIST>, handle_traits::FreeIdList>>;
using unique_hwnd = UniqueResource<handle_traits::Traits<HWND, handle_traits::Null<HWND>, handle_traits::DestroyWindowHandle>>;
// Global memory from GlobalAlloc, until the clipboard takes it over.
using unique_hglobal = UniqueResource<handle_traits::Traits<HGLOBAL, handle_traits::Null<HGLOBAL>, handle_traits::FreeGlobal>>;

// The clipboard, open for as long as the scope lasts.
class clipboard_scope {
public:
    explicit clipboard_scope(HWND owner) noexcept : open_(::OpenClipboard(owner) != FALSE) {}
    clipboard_scope(const clipboard_scope&) = delete;
    clipboard_scope& operator=(const clipboard_scope&) = delete;
    ~clipboard_scope() {
        if (open_) ::CloseClipboard();
    }
    bool is_open() const noexcept { return open_; }

private:
    bool open_;
};

// A DC from GetDC / GetWindowDC, released to its window.
class unique_window_dc {
public:
    explicit unique_window_dc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;
    ~unique_window_dc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint as a scope, so the window is validated however drawing ends.
class paint_scope {
public:
    explicit paint_scope(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    paint_scope(const paint_scope&) = delete;
    paint_scope& operator=(const paint_scope&) = delete;
    ~paint_scope() {
        if (dc_) ::EndPaint(window_, &paint_);
    }
    HDC dc() const noexcept { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class select_object_scope {
public:
    select_object_scope() noexcept = default;
    select_object_scope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    select_object_scope(select_object_scope&& other) noexcept
        : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr)) {}
    select_object_scope& operator=(select_object_scope&& other) noexcept {
        if (this != &other) {
            reset();
            dc_ = other.dc_;
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }
    ~select_object_scope() { reset(); }

    explicit operator bool() const noexcept { return previous_ != nullptr; }
    void reset() noexcept {
        if (previous_) ::SelectObject(dc_, std::exchange(previous_, nullptr));
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The two handles CreateProcess hands back.
struct process_handles {
    explicit process_handles(const PROCESS_INFORMATION& info) noexcept : thread(info.hThread), process(info.hProcess) {}
    unique_handle thread;
    unique_handle process;
};

// A COM interface pointer that releases its reference.
template <typename T>
class com_ptr {
public:
    com_ptr() noexcept = default;
    explicit com_ptr(T* p) noexcept : p_(p) {}  // takes over a reference
    com_ptr(const com_ptr& other) noexcept : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    com_ptr(com_ptr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    com_ptr& operator=(com_ptr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~com_ptr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

private:
    T* p_ = nullptr;
};

}  // namespace tarvo
