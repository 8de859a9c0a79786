#pragma once

#include <windows.h>

#include <utility>

namespace zelk {

// A window as an object: `this` is stored at WM_NCCREATE, messages go to the derived
// class's HandleMessage, and the link is cut at WM_NCDESTROY. No exception may cross the
// window procedure: one that escapes a handler ends in the default handling.
// The object owns its window: it goes with the object at the latest.
template <class Derived> class WindowBase {
public:
    HWND hwnd() const { return hwnd_; }
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

protected:
    WindowBase() = default;
    // By now the derived object is gone: the window is cut loose first, so its last messages
    // meet the default handling instead of a destroyed object.
    ~WindowBase() {
        if (hwnd_ != nullptr) {
            ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            ::DestroyWindow(std::exchange(hwnd_, nullptr));
        }
    }

    // Ends the window while the derived object still answers its last messages (WM_DESTROY),
    // for a class whose handlers must see them.
    void DestroyOwnWindow() {
        if (hwnd_ != nullptr && !::DestroyWindow(hwnd_) && hwnd_ != nullptr) {
            // Refused (called from another thread): no message may reach this object again.
            ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
        }
    }

    static ATOM RegisterWindowClass(HINSTANCE instance, const wchar_t* className, UINT style = 0) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = style;
        wc.lpfnWndProc = &WindowBase::StaticProc;
        wc.hInstance = instance;
        wc.lpszClassName = className;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        const ATOM atom = ::RegisterClassExW(&wc);
        return atom != 0 ? atom : static_cast<ATOM>(::GetClassInfoExW(instance, className, &wc));
    }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (self == nullptr) {
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        }
        LRESULT result = 0;
        try {
            result = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            result = ::DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }
};

} // namespace zelk
