#pragma once

#include <functional>

#include "controls/message_hooks.h"

namespace zelk {

// Hooks windows and reports their messages through the WindowProc event. Destroying the
// object unhooks every window it hooked.
class clsSubClass : public HookCallback {
public:
    explicit clsSubClass(UiServices& services) : hooks_(L"clsSubClass", services) {}

    // Without a callback object the messages come back as WindowProc events.
    bool ssc_Subclass(HWND lng_hWnd, LPARAM lParamUser = 0, HookCallback* oCallback = nullptr) {
        return hooks_.ssc_Subclass(lng_hWnd, oCallback ? *oCallback : *this, lParamUser);
    }
    void ssc_UnSubclass(HWND lng_hWnd) { hooks_.ssc_UnSubclass(lng_hWnd); }
    void ssc_AddMsg(HWND lng_hWnd, int32_t uMsg, int When = MSG_AFTER) {
        hooks_.ssc_AddMsg(lng_hWnd, uMsg, When);
    }
    void ssc_DelMsg(HWND lng_hWnd, int32_t uMsg, int When = MSG_AFTER) {
        hooks_.ssc_DelMsg(lng_hWnd, uMsg, When);
    }

    // WindowProc(bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam), all by reference.
    std::function<void(bool&, LRESULT&, HWND&, UINT&, WPARAM&, LPARAM&)> WindowProc;

private:
    void HookProc(bool, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg, WPARAM wParam,
                  LPARAM lParam, LPARAM&) override {
        if (WindowProc) {
            WindowProc(bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam);
        }
    }

    MessageHooks hooks_;
};

} // namespace zelk
