#include <windows.h>

#include "win/user_case_folding.h"

#include <climits>

namespace zelk {

namespace {

class UserLocaleCaseFolding final : public CaseFolding {
public:
    std::wstring Fold(std::wstring_view text) const override {
        return FoldForLocale(LOCALE_NAME_USER_DEFAULT, text);
    }
};

} // namespace

const CaseFolding& UserCaseFolding() {
    static const UserLocaleCaseFolding folding;
    return folding;
}

std::wstring FoldForLocale(const wchar_t* localeName, std::wstring_view text) {
    // LCMapStringEx refuses an empty source.
    if (text.empty()) {
        return {};
    }
    if (text.size() > INT_MAX / 2) {
        return FallbackCaseFolding().Fold(text);
    }
    // Linguistic casing follows the locale's rules; the default is the file system's table.
    constexpr DWORD kFlags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
    const int length = static_cast<int>(text.size());
    const int needed =
        ::LCMapStringEx(localeName, kFlags, text.data(), length, nullptr, 0, nullptr, nullptr, 0);
    if (needed <= 0) {
        return FallbackCaseFolding().Fold(text);
    }
    std::wstring lower(static_cast<size_t>(needed), L'\0');
    const int written = ::LCMapStringEx(localeName, kFlags, text.data(), length, lower.data(),
                                        needed, nullptr, nullptr, 0);
    if (written <= 0) {
        return FallbackCaseFolding().Fold(text);
    }
    lower.resize(static_cast<size_t>(written));
    // Lower case alone leaves "ß" apart from "SS" (which lowers to "ss") and the final "ς"
    // apart from "Σ" (which lowers to "σ"); users expect both to match.
    std::wstring folded;
    folded.reserve(lower.size());
    for (const wchar_t c : lower) {
        if (c == 0x00DF || c == 0x1E9E) {
            folded += L"ss";
        } else if (c == 0x03C2) {
            folded.push_back(static_cast<wchar_t>(0x03C3));
        } else {
            folded.push_back(c);
        }
    }
    return folded;
}

} // namespace zelk
