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
