#pragma once

#include <string>
#include <string_view>

namespace zelk {

class UiServices;

// No exception may cross into Windows: out of a window procedure, a COM method or a thread's
// body it ends the process or leaves the caller half-way. Each such boundary catches
// everything, writes it to the event log and goes on.

// What the exception being handled says ("std::bad_alloc", a what() text); call it only
// inside a catch block.
std::wstring DescribeCurrentException();

// Writes "<where>: <what>" as an error under source; never throws.
void LogEscapedException(UiServices& log, const std::wstring& source,
                         std::wstring_view where) noexcept;

// Runs body; when it throws, logs the exception and answers false.
template <class Body>
bool RunGuarded(UiServices& log, const std::wstring& source, std::wstring_view where,
                Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        LogEscapedException(log, source, where);
        return false;
    }
}

} // namespace zelk
