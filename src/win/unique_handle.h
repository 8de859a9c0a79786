#pragma once

#include <windows.h>

#include <utility>

namespace zelk {

// One owning wrapper per kind of handle, named after what frees it. Traits give the
// handle type, its "empty" value and the call that releases it.
template <class Traits> class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() = default;
    explicit unique_handle(pointer value) : value_(value) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~unique_handle() { reset(); }

    pointer get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::invalid(); }
    pointer release() { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) {
        if (value_ != Traits::invalid()) {
            Traits::close(value_);
        }
        value_ = value;
    }
    // For out-parameters of creation calls.
    pointer* put() {
        reset();
        return &value_;
    }

private:
    pointer value_ = Traits::invalid();
};

template <class T, auto Close, auto Invalid = static_cast<T>(nullptr)> struct HandleTraits {
    using pointer = T;
    static pointer invalid() { return Invalid; }
    static void close(pointer h) { Close(h); }
};

struct FileHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) { ::CloseHandle(h); }
};

using unique_hkey = unique_handle<HandleTraits<HKEY, ::RegCloseKey>>;
using unique_file = unique_handle<FileHandleTraits>;
using unique_window = unique_handle<HandleTraits<HWND, ::DestroyWindow>>;
using unique_menu = unique_handle<HandleTraits<HMENU, ::DestroyMenu>>;
using unique_icon = unique_handle<HandleTraits<HICON, ::DestroyIcon>>;
using unique_event_source = unique_handle<HandleTraits<HANDLE, ::DeregisterEventSource>>;

} // namespace zelk
