#pragma once
// Move-only owners for Windows handles, so every path out of a routine
// closes what it opened.
#include <windows.h>
#include <oleauto.h>

namespace quorvel {

template <typename Traits> class UniqueHandle {
public:
    using T = typename Traits::type;
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T value) noexcept : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::empty(); }
    T release() noexcept {
        T v = value_;
        value_ = Traits::empty();
        return v;
    }
    void reset(T value = Traits::empty()) noexcept {
        if (value_ != Traits::empty())
            Traits::close(value_);
        value_ = value;
    }
    // For out-parameters of the Windows API: closes what is held first.
    T* put() noexcept {
        reset();
        return &value_;
    }

private:
    T value_ = Traits::empty();
};

namespace detail {
template <typename H, auto Close, H Empty = nullptr> struct Traits {
    using type = H;
    static H empty() noexcept { return Empty; }
    static void close(H h) noexcept { Close(h); }
};
inline void CloseKey(HKEY key) { ::RegCloseKey(key); }
inline void CloseKernel(HANDLE h) { ::CloseHandle(h); }
inline void CloseFind(HANDLE h) { ::FindClose(h); }
inline void DeleteGdi(HGDIOBJ h) { ::DeleteObject(h); }
inline void DeleteDc(HDC h) { ::DeleteDC(h); }
inline void DestroyMenuHandle(HMENU h) { ::DestroyMenu(h); }
inline void DestroyAccel(HACCEL h) { ::DestroyAcceleratorTable(h); }
inline void FreeFontResource(HANDLE h) { ::RemoveFontMemResourceEx(h); }
// INVALID_HANDLE_VALUE is not a constant expression; files and find
// handles compare against it at run time.
template <auto Close> struct InvalidTraits {
    using type = HANDLE;
    static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { Close(h); }
};
} // namespace detail

using UniqueHkey = UniqueHandle<detail::Traits<HKEY, detail::CloseKey>>;
using UniqueHfile = UniqueHandle<detail::InvalidTraits<detail::CloseKernel>>;
using UniqueFind = UniqueHandle<detail::InvalidTraits<detail::CloseFind>>;
using UniqueKernelHandle = UniqueHandle<detail::Traits<HANDLE, detail::CloseKernel>>;
using UniqueHfont = UniqueHandle<detail::Traits<HFONT, detail::DeleteGdi>>;
using UniqueHbrush = UniqueHandle<detail::Traits<HBRUSH, detail::DeleteGdi>>;
using UniqueHbitmap = UniqueHandle<detail::Traits<HBITMAP, detail::DeleteGdi>>;
// A memory device context (CreateCompatibleDC).
using UniqueHdc = UniqueHandle<detail::Traits<HDC, detail::DeleteDc>>;
using UniqueHmenu = UniqueHandle<detail::Traits<HMENU, detail::DestroyMenuHandle>>;
using UniqueHaccel = UniqueHandle<detail::Traits<HACCEL, detail::DestroyAccel>>;
using UniqueFontResource = UniqueHandle<detail::Traits<HANDLE, detail::FreeFontResource>>;

// A window's device context, released when the object goes.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_)
            ::ReleaseDC(hwnd_, dc_);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a device context and selects the old one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (old_)
            ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace quorvel
