#include <windows.h>

#include "win/boundary.h"

#include <exception>
#include <new>

#include "win/ui_services.h"

namespace zelk {

namespace {

std::wstring FromAnsi(const char* text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length) != length) {
        return {};
    }
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

} // namespace

std::wstring DescribeCurrentException() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return L"out of memory (std::bad_alloc)";
    } catch (const std::exception& e) {
        const std::wstring what = FromAnsi(e.what());
        return what.empty() ? L"a standard exception" : what;
    } catch (...) {
        return L"an exception of an unknown type";
    }
}

void LogEscapedException(UiServices& log, const std::wstring& source,
                         std::wstring_view where) noexcept {
    try {
        log.LogEvent(EVENTLOG_ERROR_TYPE, source,
                     std::wstring(where) + L": stopped by " + DescribeCurrentException());
    } catch (...) {
        // Nothing is left to tell it with; going on is what matters here.
    }
}

} // namespace zelk
