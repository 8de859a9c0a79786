#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/message_table.h"

namespace zelk {

// The per-window state of a message hook and the order in which one message passes
// through it. The Windows side supplies the calls; the decisions are made here.
struct HookStubState {
    MessageTable before;
    MessageTable after;
    int nesting = 0;
    bool shutdown = false;
};

struct HookCalls {
    // bBefore, bHandled (by reference), lReturn (by reference).
    std::function<void(bool, bool&, intptr_t&)> callback;
    std::function<intptr_t()> callPrevious;
};

struct HookOutcome {
    intptr_t result = 0;
    bool removeNow = false; // put the previous procedure back and free the stub
};

inline constexpr uint32_t kWmDestroy = 2;

HookOutcome RunHookStub(HookStubState& state, uint32_t message, const HookCalls& calls);

// Error texts of the hook machinery, reported as "<class>.<routine>: <message>".
struct HookError {
    std::wstring routine;
    std::wstring message;
};
HookError InvalidWindowError();
HookError ForeignWindowError();
HookError SubclassFailedError(unsigned long code);
HookError TableOverflowError();
HookError MessageNotFoundError(int32_t message);
HookError NotInitialisedError();
HookError UnknownWindowError(intptr_t window);

// The texts a report produces: the event-log line and the message box's title and text.
struct HookErrorReport {
    std::wstring logLine;
    std::wstring boxTitle;
    std::wstring boxText;
};
HookErrorReport FormatHookError(std::wstring_view className, const HookError& error);

} // namespace zelk
