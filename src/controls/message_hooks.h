#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "core/hook_stub.h"

namespace zelk {

class UiServices;

// The owner's callback: called before and/or after the window's previous procedure for
// the messages in the window's tables. bHandled set before skips the previous procedure.
class HookCallback {
public:
    virtual ~HookCallback() = default;
    virtual void HookProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                          WPARAM wParam, LPARAM lParam, LPARAM& lParamUser) = 0;
};

enum eMsgWhen : int { MSG_BEFORE = 1, MSG_AFTER = 2, MSG_BEFORE_AND_AFTER = 3 };

// The set of windows one object has hooked, keyed by window. Misuse is reported through
// the UI services under the owning class's name, and the operation then does nothing.
class MessageHooks {
public:
    MessageHooks(std::wstring className, UiServices& services);
    ~MessageHooks(); // unhooks every window still hooked
    MessageHooks(const MessageHooks&) = delete;
    MessageHooks& operator=(const MessageHooks&) = delete;

    bool ssc_Subclass(HWND lng_hWnd, HookCallback& callback, LPARAM lParamUser = 0);
    void ssc_UnSubclass(HWND lng_hWnd);
    void ssc_AddMsg(HWND lng_hWnd, int32_t uMsg, int When = MSG_AFTER);
    void ssc_DelMsg(HWND lng_hWnd, int32_t uMsg, int When = MSG_AFTER);

    bool IsHooked(HWND lng_hWnd) const { return stubs_.count(lng_hWnd) != 0; }

private:
    struct Stub;
    static LRESULT CALLBACK StubProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    Stub* Find(HWND lng_hWnd);
    void Report(const HookError& error);

    std::wstring className_;
    UiServices& services_;
    std::map<HWND, Stub*> stubs_;
};

} // namespace zelk
