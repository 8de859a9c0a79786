#pragma once

#include "controls/list/ucList.h"
#include "test_support.h"

// A top-level window to host lists; a visible one is brought to the front, as a dialog that
// hosts a drop-down is.
struct TestWindow {
    HWND window;
    TestWindow(int x, int y, int w, int h, bool visible = false) {
        window = ::CreateWindowExW(0, L"STATIC", L"",
                                   WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), x, y, w,
                                   h, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (visible) {
            ::SetForegroundWindow(window);
            PumpMessages();
        }
    }
    ~TestWindow() {
        if (::IsWindow(window)) {
            ::DestroyWindow(window);
        }
    }
};

// The visible form most list tests put their drop-down on.
struct Form : TestWindow {
    Form() : TestWindow(100, 100, 400, 300, true) {}
};

// A list of 24-pixel rows without a border, so row positions are easy to compute.
inline zelk::ListProperties PlainList(long style = 0) {
    zelk::ListProperties p;
    p.ListStyle = style;
    p.ItemHeight = 24;
    p.BorderVisible = false;
    return p;
}

inline void AddItems(zelk::ucList& list, std::initializer_list<const wchar_t*> texts) {
    for (const wchar_t* text : texts) {
        list.AddItem(text);
    }
}

inline void Show(zelk::ucList& list, long left = 150, long top = 150) {
    long btnLeft = 0, btnTop = 0;
    list.ShowList(left, top, btnLeft, btnTop);
}

// The pixel row a list shows row `index` at, for mouse messages.
inline LPARAM RowPoint(const zelk::ucList& list, long index) {
    const zelk::RowGeometry geometry{list.Scale(), list.Properties().ItemHeight, false, 0,
                                     static_cast<int>(list.ScrollValue())};
    const long top = list.Items().GetItemTop(index, geometry) -
                     list.Items().HeaderHeight(geometry) + list.HeaderHeight();
    return MAKELPARAM(20, top + list.RowHeight() / 2);
}

// Moves onto a row and clicks it, holding `keys` (MK_CONTROL...), with the right button if asked.
inline void Click(zelk::ucList& list, long row, WPARAM keys = 0, bool right = false) {
    const LPARAM at = RowPoint(list, row);
    ::SendMessageW(list.hWnd(), WM_MOUSEMOVE, keys, at);
    ::SendMessageW(list.hWnd(), right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN,
                   keys | (right ? MK_RBUTTON : MK_LBUTTON), at);
    ::SendMessageW(list.hWnd(), right ? WM_RBUTTONUP : WM_LBUTTONUP, keys, at);
}
