#pragma once
// Move-only owners of Win32 handles: each frees its handle exactly once, when it is
// dropped or reset. None can be copied, so a handle never has two owners.
#include <windows.h>
#include <commctrl.h>
#include <winsvc.h>

#include <utility>

#include "common/win32/system_functions.h"

namespace vantora::win32 {

// Traits: a Handle type, `static void free(Handle)` and `static Handle invalid()`.
template <typename Traits>
class Owner {
    using Handle = typename Traits::Handle;

public:
    Owner() = default;
    explicit Owner(Handle h) : h_(h) {}
    ~Owner() { reset(); }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    Owner(Owner&& other) noexcept : h_(other.release()) {}
    Owner& operator=(Owner&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }
    Handle release() { return std::exchange(h_, Traits::invalid()); }
    void reset(Handle h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::free(h_);
        h_ = h;
    }

private:
    Handle h_ = Traits::invalid();
};

namespace detail {
template <typename H, auto Free>
struct NullIsInvalid {
    using Handle = H;
    static void free(H h) { Free(h); }
    static H invalid() { return nullptr; }
};
template <auto Free>
struct MinusOneIsInvalid {
    using Handle = HANDLE;
    static void free(HANDLE h) { Free(h); }
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
};
inline void closeHandle(HANDLE h) { ::CloseHandle(h); }
inline void freeLibrary(HMODULE h) { ::FreeLibrary(h); }
inline void deleteObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void deleteDc(HDC h) { ::DeleteDC(h); }
inline void destroyMenu(HMENU h) { ::DestroyMenu(h); }
inline void destroyIcon(HICON h) { ::DestroyIcon(h); }
inline void destroyImageList(HIMAGELIST h) { later::ImageList_Destroy(h); }
inline void closeService(SC_HANDLE h) { ::CloseServiceHandle(h); }
inline void destroyWindow(HWND h) { ::DestroyWindow(h); }
inline void closeFind(HANDLE h) { ::FindClose(h); }
inline void closeKey(HKEY h) { ::RegCloseKey(h); }
inline void globalFree(HGLOBAL h) { ::GlobalFree(h); }
}  // namespace detail

using UniqueHandle = Owner<detail::NullIsInvalid<HANDLE, detail::closeHandle>>;  // process, thread, mutex, event
using UniqueFile = Owner<detail::MinusOneIsInvalid<detail::closeHandle>>;  // files, devices, snapshots
using UniqueFind = Owner<detail::MinusOneIsInvalid<detail::closeFind>>;
using UniqueModule = Owner<detail::NullIsInvalid<HMODULE, detail::freeLibrary>>;
using UniqueMemoryDc = Owner<detail::NullIsInvalid<HDC, detail::deleteDc>>;
using UniqueMenu = Owner<detail::NullIsInvalid<HMENU, detail::destroyMenu>>;
using UniqueIcon = Owner<detail::NullIsInvalid<HICON, detail::destroyIcon>>;
using UniqueImageList = Owner<detail::NullIsInvalid<HIMAGELIST, detail::destroyImageList>>;
using UniqueService = Owner<detail::NullIsInvalid<SC_HANDLE, detail::closeService>>;
using UniqueWindow = Owner<detail::NullIsInvalid<HWND, detail::destroyWindow>>;
using UniqueKey = Owner<detail::NullIsInvalid<HKEY, detail::closeKey>>;  // an opened registry key, never a root
using UniqueGlobal = Owner<detail::NullIsInvalid<HGLOBAL, detail::globalFree>>;  // until the clipboard takes it

// A GDI object of one kind (HFONT, HBRUSH, HPEN, HBITMAP).
template <typename Gdi>
using UniqueGdi = Owner<detail::NullIsInvalid<Gdi, detail::deleteObject>>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueBitmap = UniqueGdi<HBITMAP>;

// A device context of a window (or of the screen, for no window), released on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND window, bool wholeWindow = false)
        : window_(window), dc_(wholeWindow ? ::GetWindowDC(window) : ::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for one scope; the previous one comes back.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectScope() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The clipboard, open for this thread for one scope (no window: reading only).
class ClipboardScope {
public:
    ClipboardScope() : open_(::OpenClipboard(nullptr) != FALSE) {}
    ~ClipboardScope() {
        if (open_) ::CloseClipboard();
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// A global memory block locked for one scope; the block itself stays its owner's.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL block) : block_(block), memory_(::GlobalLock(block)) {}
    ~GlobalLockScope() {
        if (memory_) ::GlobalUnlock(block_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    explicit operator bool() const { return memory_ != nullptr; }
    const void* get() const { return memory_; }
    SIZE_T size() const { return ::GlobalSize(block_); }

private:
    HGLOBAL block_;
    void* memory_;
};

// The screen's horizontal resolution in dots per inch (96 when it cannot be had).
inline int screenDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace vantora::win32
