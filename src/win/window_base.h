#pragma once

#include <windows.h>

namespace zelk {

// A window as an object: `this` is stored at WM_NCCREATE, messages go to the derived
// class's HandleMessage, and the link is cut at WM_NCDESTROY. No exception may cross the
// window procedure: one that escapes a handler ends in the default handling.
template <class Derived> class WindowBase {
public:
    HWND hwnd() const { return hwnd_; }

protected:
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
