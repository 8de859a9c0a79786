#include "core/hook_stub.h"

#include <cstdio>

namespace zelk {

HookOutcome RunHookStub(HookStubState& state, uint32_t message, const HookCalls& calls) {
    ++state.nesting;
    bool handled = false;
    intptr_t result = 0;
    if (state.before.Contains(message)) {
        calls.callback(true, handled, result);
    }
    if (message == kWmDestroy) {
        state.shutdown = true;
    }
    if (!handled) {
        result = calls.callPrevious();
    }
    if (state.shutdown && state.nesting == 1) {
        --state.nesting;
        return {result, true};
    }
    if (state.after.Contains(message)) {
        calls.callback(false, handled, result);
    }
    --state.nesting;
    return {result, false};
}

HookError InvalidWindowError() {
    return {L"ssc_Subclass", L"Invalid window handle"};
}

HookError ForeignWindowError() {
    return {L"ssc_Subclass", L"Window handle belongs to another process"};
}

HookError SubclassFailedError(unsigned long code) {
    return {L"ssc_Subclass", L"SetWindowLong failed, error #" + std::to_wstring(code)};
}

HookError TableOverflowError() {
    return {L"zAddMsg", L"Message table overflow. Either increase the value of Const "
                        L"MSG_ENTRIES or use ALL_MESSAGES instead of specific message values"};
}

HookError MessageNotFoundError(int32_t message) {
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%X", static_cast<unsigned>(message));
    return {L"zDelMsg", L"Message &H" + std::wstring(hex) + L" not found in table"};
}

HookError NotInitialisedError() {
    return {L"zMap_VFunction", L"Thunk hasn't been initialized"};
}

HookError UnknownWindowError(intptr_t window) {
    return {L"zMap_VFunction",
            L"Thunk type for ID of " + std::to_wstring(window) + L" does not exist"};
}

HookErrorReport FormatHookError(std::wstring_view className, const HookError& error) {
    const std::wstring where = std::wstring(className) + L"." + error.routine;
    return {where + L": " + error.message, L"Error in " + where, error.message + L"."};
}

} // namespace zelk
