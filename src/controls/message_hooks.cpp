#include <windows.h>
#include <commctrl.h>

#include "controls/message_hooks.h"

#include "win/boundary.h"
#include "win/ui_services.h"

namespace zelk {

// Lives until the window's procedure has been put back: possibly longer than its owner,
// when the owner goes while a message of the window is still being handled.
struct MessageHooks::Stub {
    HookStubState state;
    HWND hwnd = nullptr;
    MessageHooks* owner = nullptr;
    HookCallback* callback = nullptr;
    LPARAM lParamUser = 0;
    // Where an exception from the callback is logged; the services outlive every hook.
    UiServices* services = nullptr;
    std::wstring source;
};

MessageHooks::MessageHooks(std::wstring className, UiServices& services)
    : className_(std::move(className)), services_(services) {}

MessageHooks::~MessageHooks() {
    while (!stubs_.empty()) {
        ssc_UnSubclass(stubs_.begin()->first);
    }
}

bool MessageHooks::ssc_Subclass(HWND lng_hWnd, HookCallback& callback, LPARAM lParamUser) {
    if (!::IsWindow(lng_hWnd)) {
        Report(InvalidWindowError());
        return false;
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(lng_hWnd, &process);
    if (process != ::GetCurrentProcessId()) {
        Report(ForeignWindowError());
        return false;
    }
    if (IsHooked(lng_hWnd)) {
        ssc_UnSubclass(lng_hWnd);
    }
    auto* stub = new Stub{};
    stub->hwnd = lng_hWnd;
    stub->owner = this;
    stub->callback = &callback;
    stub->lParamUser = lParamUser;
    stub->services = &services_;
    stub->source = className_;
    if (!::SetWindowSubclass(lng_hWnd, &StubProc, reinterpret_cast<UINT_PTR>(stub),
                             reinterpret_cast<DWORD_PTR>(stub))) {
        const DWORD code = ::GetLastError();
        delete stub;
        Report(SubclassFailedError(code));
        return false;
    }
    stubs_[lng_hWnd] = stub;
    return true;
}

void MessageHooks::ssc_UnSubclass(HWND lng_hWnd) {
    Stub* stub = Find(lng_hWnd);
    if (stub == nullptr) {
        return;
    }
    stubs_.erase(lng_hWnd);
    stub->owner = nullptr;
    stub->callback = nullptr;
    stub->state.shutdown = true;
    stub->state.before.Clear();
    stub->state.after.Clear();
    // Let the stub run now so that it can put the previous procedure back; when it is
    // nested it does so once the outermost call returns.
    if (::IsWindow(lng_hWnd)) {
        ::SendMessageW(lng_hWnd, WM_NULL, 0, 0);
    } else {
        delete stub;
    }
}

void MessageHooks::ssc_AddMsg(HWND lng_hWnd, int32_t uMsg, int When) {
    Stub* stub = Find(lng_hWnd);
    if (stub == nullptr) {
        return;
    }
    if (When & MSG_BEFORE) {
        if (stub->state.before.Add(uMsg) == MessageTable::Result::Overflow) {
            Report(TableOverflowError());
        }
    }
    if (When & MSG_AFTER) {
        if (stub->state.after.Add(uMsg) == MessageTable::Result::Overflow) {
            Report(TableOverflowError());
        }
    }
}

void MessageHooks::ssc_DelMsg(HWND lng_hWnd, int32_t uMsg, int When) {
    Stub* stub = Find(lng_hWnd);
    if (stub == nullptr) {
        return;
    }
    if ((When & MSG_BEFORE) && stub->state.before.Del(uMsg) == MessageTable::Result::NotFound) {
        Report(MessageNotFoundError(uMsg));
    }
    if ((When & MSG_AFTER) && stub->state.after.Del(uMsg) == MessageTable::Result::NotFound) {
        Report(MessageNotFoundError(uMsg));
    }
}

MessageHooks::Stub* MessageHooks::Find(HWND lng_hWnd) {
    if (stubs_.empty()) {
        Report(NotInitialisedError());
        return nullptr;
    }
    const auto it = stubs_.find(lng_hWnd);
    if (it == stubs_.end()) {
        Report(UnknownWindowError(reinterpret_cast<intptr_t>(lng_hWnd)));
        return nullptr;
    }
    return it->second;
}

void MessageHooks::Report(const HookError& error) {
    const auto report = FormatHookError(className_, error);
    services_.LogEvent(EVENTLOG_ERROR_TYPE, className_, report.logLine);
    services_.ShowMessageBox(nullptr, report.boxText, report.boxTitle, MB_ICONEXCLAMATION);
}

LRESULT CALLBACK MessageHooks::StubProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data) {
    auto* stub = reinterpret_cast<Stub*>(data);
    const HookCalls calls{
        [&](bool before, bool& handled, intptr_t& result) {
            // Re-read the callback each time: the owner may unhook during the first call.
            if (stub->callback != nullptr) {
                LRESULT value = result;
                // Windows is below this frame: a throwing owner is logged and the message
                // goes on through the table as if the owner had done nothing.
                RunGuarded(*stub->services, stub->source, L"HookProc", [&] {
                    stub->callback->HookProc(before, handled, value, hwnd, msg, wParam, lParam,
                                             stub->lParamUser);
                });
                result = value;
            }
        },
        [&] { return static_cast<intptr_t>(::DefSubclassProc(hwnd, msg, wParam, lParam)); }};
    const HookOutcome outcome = RunHookStub(stub->state, msg, calls);
    if (outcome.removeNow) {
        ::RemoveWindowSubclass(hwnd, &StubProc, id);
        if (stub->owner != nullptr) {
            stub->owner->stubs_.erase(hwnd);
        }
        delete stub;
    }
    return outcome.result;
}

} // namespace zelk
