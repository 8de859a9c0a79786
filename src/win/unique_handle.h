#pragma once

#include <windows.h>
#include <objbase.h>

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

// A directory search: empty is INVALID_HANDLE_VALUE, like a file, but FindClose ends it.
struct FindHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) { ::FindClose(h); }
};

// Memory the shell hands over (PIDLs, display names), freed by the COM task allocator.
template <class T> struct CoTaskMemTraits {
    using pointer = T*;
    static pointer invalid() { return nullptr; }
    static void close(pointer p) {
        ::CoTaskMemFree(const_cast<void*>(static_cast<const void*>(p)));
    }
};

using unique_hkey = unique_handle<HandleTraits<HKEY, ::RegCloseKey>>;
using unique_file = unique_handle<FileHandleTraits>;
using unique_window = unique_handle<HandleTraits<HWND, ::DestroyWindow>>;
using unique_menu = unique_handle<HandleTraits<HMENU, ::DestroyMenu>>;
using unique_icon = unique_handle<HandleTraits<HICON, ::DestroyIcon>>;
using unique_event_source = unique_handle<HandleTraits<HANDLE, ::DeregisterEventSource>>;
using unique_find = unique_handle<FindHandleTraits>;
// Process, thread and event handles, whose empty value is null (unlike a file's).
using unique_process = unique_handle<HandleTraits<HANDLE, ::CloseHandle>>;
using unique_module = unique_handle<HandleTraits<HMODULE, ::FreeLibrary>>;
template <class T> using unique_cotaskmem = unique_handle<CoTaskMemTraits<T>>;

// WinHTTP handles (HINTERNET, a void pointer; <winhttp.h> stays out of this header). Once
// closed, a value may name another thread's handle: WinHttpCloseHandle must run exactly once
// per handle, and nothing may use the value after. Closes are counted so tests can prove it.
struct InternetHandleTraits {
    using pointer = void*;
    static pointer invalid() { return nullptr; }
    static void close(pointer h);
};
using unique_hinternet = unique_handle<InternetHandleTraits>;
struct InternetHandleCloseCounts {
    long closed = 0; // WinHttpCloseHandle answered TRUE
    long failed = 0; // it answered FALSE: closed twice, or a value that was never a handle
};
InternetHandleCloseCounts InternetHandleCloses();

// One reference to a COM object, released with the owner.
template <class T> class com_ptr {
public:
    com_ptr() = default;
    // Takes over a reference the caller already holds (a creation call's out-parameter).
    explicit com_ptr(T* owned) : p_(owned) {}
    com_ptr(const com_ptr& other) : p_(other.p_) {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    com_ptr& operator=(com_ptr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~com_ptr() { reset(); }
    // A new reference to an object the caller only borrows (an argument of a COM method).
    static com_ptr Borrowed(T* object) {
        if (object != nullptr) {
            object->AddRef();
        }
        return com_ptr(object);
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (T* old = std::exchange(p_, nullptr)) {
            old->Release();
        }
    }
    T** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

private:
    T* p_ = nullptr;
};

} // namespace zelk
