#include <windows.h>

#include "win/ansi_codec.h"

#include <climits>

namespace zelk {

std::optional<std::string> WindowsAnsiCodec::Encode(std::wstring_view text) const {
    if (text.empty()) {
        return std::string();
    }
    if (text.size() > INT_MAX / 4) {
        return std::nullopt;
    }
    const UINT codePage = ::GetACP();
    if (codePage == CP_UTF8) {
        return WideToUtf8(text);
    }
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int needed = ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                             nullptr, 0, nullptr, &usedDefault);
    if (needed <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string out(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(), needed,
                          nullptr, &usedDefault);
    // Some code pages map a character without reporting it; only an exact round trip counts.
    if (usedDefault || Decode(out) != text) {
        return std::nullopt;
    }
    return out;
}

std::wstring WindowsAnsiCodec::Decode(std::string_view bytes) const {
    if (bytes.empty() || bytes.size() > INT_MAX / 2) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring out(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, out.data(), needed);
    return out;
}

} // namespace zelk
