#include <gtest/gtest.h>

#include "core/dialog_rules.h"

using namespace zelk;

TEST(DialogRules, SortRowsSplitAtTheGap) {
    using Split = std::pair<std::wstring, std::wstring>;
    const std::wstring row = SortRowText(L"My  Tools", L"C:\\x y");
    EXPECT_EQ(row, L"My  Tools" + std::wstring(50, L' ') + L"C:\\x y");
    EXPECT_EQ(SplitSortRow(row), (Split{L"My  Tools", L"C:\\x y"}));
    EXPECT_EQ(SplitSortRow(L"no gap"), (Split{L"no gap", L""}));
}

TEST(DialogRules, PickerErrorsAndTexts) {
    struct Case {
        int32_t code, number;
        const wchar_t* description; // its start
    };
    const Case cases[] = {
        {kPickerCancelled, kPickerCancelled, L"Cancel was selected"},
        {0, kPickerCancelled, L"Cancel was selected"},
        {6, 6, L"The common dialog box function failed to find"},
        {7, 7, L"The common dialog box function failed to find"},
        {12290, 12290, L"A file name is invalid."},
        {65535, 65535, L"The dialog box could not be created"},
        {77, 77, L"Unknown error code of 77"},
    };
    for (const Case& c : cases) {
        const AppError error = PickerError(c.code, L"Open");
        EXPECT_EQ(error.number, c.number) << c.code;
        EXPECT_TRUE(error.description.starts_with(c.description)) << c.code;
        EXPECT_EQ(error.source, L"Common Dialog Open");
    }
    EXPECT_EQ(PickerError(1, L"").source, L"");
    EXPECT_EQ(PickerFailureText(-2147023673), L"Dialog failed with error: -2147023673");
    EXPECT_EQ(VersionText(1, 0, 12), L"Version : 1.0.12");
    EXPECT_EQ(StartUpCommand(L"C:\\Apps\\Bars", L"ZelkToolBars"),
              L"\"C:\\Apps\\Bars\\ZelkToolBars.exe\"");
    EXPECT_EQ(StartUpCommand(L"C:\\", L"Z"), L"\"C:\\Z.exe\"");
}

TEST(DialogRules, AltArrowsMoveTheSelectedRowButNotPastAnEnd) {
    EXPECT_EQ(MovedRow(3, 1, -1), 0);
    EXPECT_EQ(MovedRow(3, 1, +1), 2);
    for (const auto& [selected, step] : {std::pair{0L, -1}, {2L, +1}, {-1L, +1}, {3L, -1}}) {
        EXPECT_EQ(MovedRow(3, selected, step), std::nullopt) << selected << " " << step;
    }
}
