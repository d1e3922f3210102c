// Owners of everything the library opens, creates or allocates: one template
// (a handle type plus the call that releases it) and a typed owner per kind.
// Each owner releases exactly what it holds, on every path; none is copyable,
// all are movable.  A scope guard covers the one-off clean-ups.
#pragma once
#include <windows.h>
#include <unknwn.h>

#include <utility>

#include "gtapi32.h"

namespace gt {

// Owner<Traits>: Traits supplies `using Type`, `static Type invalid()` and
// `static void release(Type)`.
template <typename Traits>
class Owner {
public:
    using Type = typename Traits::Type;

    Owner() = default;
    explicit Owner(Type h) : h_(h) {}
    ~Owner() { reset(); }
    Owner(Owner&& o) noexcept : h_(o.release()) {}
    Owner& operator=(Owner&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    Type get() const { return h_; }
    bool valid() const { return h_ != Traits::invalid(); }
    explicit operator bool() const { return valid(); }
    // Gives up ownership without releasing.
    Type release() { return std::exchange(h_, Traits::invalid()); }
    // Releases what is held and takes h.
    void reset(Type h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::release(h_);
        h_ = h;
    }
    // For out-parameters (RegOpenKeyExA(..., key.out())): releases first.
    Type* out() {
        reset();
        return &h_;
    }

private:
    Type h_ = Traits::invalid();
};

namespace owner_traits {
struct Handle {  // kernel objects whose failure value is NULL
    using Type = HANDLE;
    static Type invalid() { return nullptr; }
    static void release(Type h) { CloseHandle(h); }
};
struct File {  // CreateFileA results: failure is INVALID_HANDLE_VALUE
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void release(Type h) { CloseHandle(h); }
};
struct Find {  // FindFirstFileA results
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void release(Type h) { FindClose(h); }
};
struct Hfile {  // OpenFile results, closed with _lclose
    using Type = HFILE;
    static Type invalid() { return HFILE_ERROR; }
    static void release(Type h) { _lclose(h); }
};
struct Hkey {
    using Type = HKEY;
    static Type invalid() { return nullptr; }
    static void release(Type h) { RegCloseKey(h); }
};
struct Hmodule {
    using Type = HMODULE;
    static Type invalid() { return nullptr; }
    static void release(Type h) { FreeLibrary(h); }
};
struct Hdc {  // CreateCompatibleDC / CreateDC results
    using Type = HDC;
    static Type invalid() { return nullptr; }
    static void release(Type h) { DeleteDC(h); }
};
template <typename H>
struct Gdi {  // bitmaps, palettes, fonts, brushes, regions
    using Type = H;
    static Type invalid() { return nullptr; }
    static void release(Type h) { DeleteObject(h); }
};
struct Block {  // blocks of the library's allocator
    using Type = void*;
    static Type invalid() { return nullptr; }
    static void release(Type p) { gtGlobalFreePtr(p); }
};
struct Window {
    using Type = HWND;
    static Type invalid() { return nullptr; }
    static void release(Type h) { DestroyWindow(h); }
};
}  // namespace owner_traits

using Handle = Owner<owner_traits::Handle>;
using FileHandle = Owner<owner_traits::File>;
using FindHandle = Owner<owner_traits::Find>;
using Hfile = Owner<owner_traits::Hfile>;
using Hkey = Owner<owner_traits::Hkey>;
using Hmodule = Owner<owner_traits::Hmodule>;
using Hdc = Owner<owner_traits::Hdc>;
template <typename H>
using GdiObject = Owner<owner_traits::Gdi<H>>;
using Bitmap = GdiObject<HBITMAP>;
using Palette = GdiObject<HPALETTE>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Block = Owner<owner_traits::Block>;
using WindowOwner = Owner<owner_traits::Window>;

// A window's device context from GetDC; ReleaseDC needs the window too.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint ... EndPaint around a WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// An object selected into a DC; the previous one is put back on destruction
// (so that a bitmap can be deleted after its context lets go of it).  A null
// DC or object selects nothing.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), previous_(dc && obj ? SelectObject(dc, obj) : nullptr) {}
    ~Selection() {
        if (ok()) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    bool ok() const { return previous_ && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A palette selected (as a background palette when asked) and realised; the
// previous palette is selected back on destruction.
class PaletteSelection {
public:
    PaletteSelection(HDC dc, HPALETTE pal, BOOL background)
        : dc_(dc), previous_(dc && pal ? SelectPalette(dc, pal, background) : nullptr) {
        if (previous_) RealizePalette(dc_);
    }
    ~PaletteSelection() {
        if (previous_) SelectPalette(dc_, previous_, TRUE);
    }
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;

private:
    HDC dc_;
    HPALETTE previous_;
};

// A COM interface pointer; Release on destruction.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {}  // takes over a reference
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& o) noexcept : p_(o.release()) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T* release() { return std::exchange(p_, nullptr); }
    void reset(T* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }
    T** out() {
        reset();
        return &p_;
    }

private:
    T* p_ = nullptr;
};

// Runs a clean-up on scope exit unless dismissed.
template <typename F>
class ScopeGuard {
public:
    explicit ScopeGuard(F f) : f_(std::move(f)) {}
    ~ScopeGuard() {
        if (armed_) f_();
    }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;
    void dismiss() { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

}  // namespace gt
