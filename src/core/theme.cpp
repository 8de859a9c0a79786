#include "core/theme.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace zelk {

namespace {

bool IsValSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

} // namespace

double LeadingNumber(std::wstring_view text) {
    // Val ignores white space anywhere inside the number, so collect the significant
    // characters first and parse them with the C library.
    std::string number;
    bool seenDigit = false, seenPoint = false, seenExponent = false;
    for (size_t i = 0; i < text.size() && number.size() < 400; ++i) {
        const wchar_t c = text[i];
        if (IsValSpace(c)) {
            continue;
        }
        if (IsDigit(c)) {
            seenDigit = true;
        } else if ((c == L'+' || c == L'-') && (number.empty() || number.back() == 'e')) {
        } else if (c == L'.' && !seenPoint && !seenExponent) {
            seenPoint = true;
        } else if ((c == L'e' || c == L'E' || c == L'd' || c == L'D') && seenDigit &&
                   !seenExponent) {
            seenExponent = true;
            number.push_back('e');
            continue;
        } else {
            break;
        }
        number.push_back(static_cast<char>(c));
    }
    if (!seenDigit) {
        return 0.0;
    }
    // A dangling exponent marker or sign is not part of the number.
    while (!number.empty() &&
           (number.back() == 'e' || number.back() == '+' || number.back() == '-')) {
        number.pop_back();
    }
    return std::strtod(number.c_str(), nullptr);
}

bool ThemeIsDark(std::wstring_view settingValue) {
    // Rounding halves to even sends 0.5 and -0.5 to 0: only magnitudes above one half
    // round to a non-zero integer.
    return std::fabs(LeadingNumber(settingValue)) > 0.5;
}

MenuThemeColours MenuTheme(bool dark) {
    return dark ? MenuThemeColours{0x000000, 0x8000000A, 0}
                : MenuThemeColours{0xFFFFFF, 0x000000, 1};
}

ListColours ChooseListColours(Colour back, Colour selection, Colour findText,
                              const HighContrast& highContrast) {
    if (!highContrast) {
        return {back, selection, findText, DerivePalette(back, selection), false};
    }
    const SystemColours& s = *highContrast;
    // Hover takes the selection's colours too: a blend of the two would be a colour the
    // user did not choose.
    const ListPalette palette{s.windowText, s.highlightText, s.highlight, s.grayText, s.grayText};
    return {s.window, s.highlight, s.hotLight, palette, true};
}

} // namespace zelk
