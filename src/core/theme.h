#pragma once

#include <cstdint>
#include <string_view>

namespace zelk {

// The leading number of a text, as the forms toolkit's Val reads it: white space skipped,
// an optional sign, digits with one decimal point and an exponent; 0 when none.
double LeadingNumber(std::wstring_view text);

// The "Theme" setting's reading rule: the number rounded to an integer; 0 is light, any
// other value (including ones too large for 16 bits) is dark.
bool ThemeIsDark(std::wstring_view settingValue);

inline constexpr wchar_t kThemeDefault[] = L"1";

// The three properties of the top menu list that make the whole menu dark or light.
struct MenuThemeColours {
    uint32_t backColor;
    uint32_t borderColor;
    int listDesign;
    bool operator==(const MenuThemeColours&) const = default;
};
MenuThemeColours MenuTheme(bool dark);

} // namespace zelk
