#include <gtest/gtest.h>

#include "core/theme.h"

using namespace zelk;

TEST(Theme, ReadingRule) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"1", true},     {L"0", false},    {L"2", true},     {L"-1", true},    {L"", false},
        {L"dark", false}, {L"00", false},   {L" 1", true},    {L"1abc", true},  {L"0.5", false},
        {L"1.5", true},   {L"-0.5", false}, {L"0.51", true},  {L"1e3", true},   {L"99999", true},
        {L"1e999", true}, {L"+", false},    {L"1 2", true},   {L"0e", false},   {L".", false},
        {L"- 1", true},   {L"--1", false},  {L"5e-1", false}, {L"5E-1", false}, {L"5d-1", false},
        {L"5D-1", false}, {L"\t1", true},   {L"1e+1", true},
    };
    for (auto [value, dark] : cases) {
        EXPECT_EQ(ThemeIsDark(value), dark) << testing::PrintToString(std::wstring(value));
    }
    EXPECT_TRUE(ThemeIsDark(kThemeDefault));
    EXPECT_EQ(LeadingNumber(L"1 2"), 12.0);
}

TEST(Theme, MenuColours) {
    EXPECT_EQ(MenuTheme(true), (MenuThemeColours{0x000000, 0x8000000A, 0}));
    EXPECT_EQ(MenuTheme(false), (MenuThemeColours{0xFFFFFF, 0x000000, 1}));
}

// High contrast puts the system's colours in the menu whatever the Theme setting says.
TEST(Theme, HighContrastOverridesEitherTheme) {
    const SystemColours system{0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666};
    for (const bool dark : {true, false}) {
        const ListColours hc =
            ChooseListColours(MenuTheme(dark).backColor, 0xD77800, 0x00FFFF, system);
        EXPECT_EQ((std::vector{hc.back, hc.palette.contrast, hc.selection, hc.palette.selectionText,
                               hc.palette.disabledText, hc.findText}),
                  (std::vector<Colour>{0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666}))
            << dark;
    }
}
