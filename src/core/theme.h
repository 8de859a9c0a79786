#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/colour.h"

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

// The system colours a high-contrast theme asks every window to use, as GetSysColor gives
// them; the Windows side hands them over only while high contrast is on.
struct SystemColours {
    Colour window, windowText, highlight, highlightText, grayText, hotLight;
};
using HighContrast = std::optional<SystemColours>;

// What one list paints with. Its own colours (and so the Theme setting, which made them)
// count only without high contrast; with it the system's replace them, rows lose their own
// colours and the selected row gets a focus rectangle, so nothing depends on the theme.
struct ListColours {
    Colour back, selection, findText;
    ListPalette palette;
    bool systemColours;
};
ListColours ChooseListColours(Colour back, Colour selection, Colour findText,
                              const HighContrast& highContrast);

} // namespace zelk
