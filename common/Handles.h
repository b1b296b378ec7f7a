#pragma once
// Move-only owners for Windows handles, so every path out of a routine
// closes what it opened.
#include <windows.h>

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
template <typename H, void (*Close)(H)> struct NullTraits {
    using type = H;
    static H empty() noexcept { return nullptr; }
    static void close(H h) noexcept { Close(h); }
};
inline void CloseKey(HKEY key) { ::RegCloseKey(key); }
inline void CloseFile(HANDLE h) { ::CloseHandle(h); }
inline void DeleteFont(HFONT h) { ::DeleteObject(h); }
inline void DeleteBrush(HBRUSH h) { ::DeleteObject(h); }
struct FileTraits {
    using type = HANDLE;
    static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
} // namespace detail

using UniqueHkey = UniqueHandle<detail::NullTraits<HKEY, detail::CloseKey>>;
using UniqueHfile = UniqueHandle<detail::FileTraits>;
using UniqueKernelHandle = UniqueHandle<detail::NullTraits<HANDLE, detail::CloseFile>>;
using UniqueHfont = UniqueHandle<detail::NullTraits<HFONT, detail::DeleteFont>>;
using UniqueHbrush = UniqueHandle<detail::NullTraits<HBRUSH, detail::DeleteBrush>>;

} // namespace quorvel
